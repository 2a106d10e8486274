// Controls that follow a box, a radio or a field of another page.
#include <gtest/gtest.h>

#include "support/form_rig.h"

namespace quillox {
namespace {

class PageStatesTest : public ::testing::Test {
protected:
    void SetUp() override { r.StartQuiet(); }
    TForm1& f() { return *r.form; }
    test::FormRig r;
};

TEST_F(PageStatesTest, EachShutdownBoxEnablesItsOwnPageControlsOnly) {
    const std::vector<std::pair<CheckBox*, std::vector<Control*>>> pages = {
        {&f().cb_shutdown_r26,
         {&f().rb_win_xp_r26, &f().rb_win_98_r26, &f().ed_shutdown_r26, &f().bt_Save_ini_r26}},
        {&f().cb_shutdown_r23,
         {&f().rb_win_xp_r23, &f().rb_win_98_r23, &f().ed_shutdown_r23, &f().bt_save_shutdown_r23}},
        {&f().cb_shutdown,
         {&f().rb_win_xp, &f().rb_win_98, &f().ed_sr_job, &f().bt_save_sr_shutdown}}};
    for (const auto& [box, controls] : pages) {
        box->click();
        for (const auto& [other, otherControls] : pages)
            for (Control* c : otherControls)
                EXPECT_EQ(c->enabled(), other == box) << box->name() << " " << c->name();
        box->click();
        for (Control* c : controls) EXPECT_FALSE(c->enabled()) << c->name();
    }
}

TEST_F(PageStatesTest, FineTuningGovernsTheCustomDelay) {
    // First run: fine tuning and custom delay both ticked (settings defaults).
    EXPECT_TRUE(f().ed_F_Tuning.enabled());
    f().cb_Fine_Tuning.click();
    EXPECT_FALSE(f().cb_custom_delay.enabled());
    EXPECT_FALSE(f().ed_F_Tuning.enabled());
    f().cb_Fine_Tuning.click();
    EXPECT_TRUE(f().ed_F_Tuning.enabled());
    f().cb_custom_delay.click();
    EXPECT_FALSE(f().ed_F_Tuning.enabled());
    f().rb_sr_range_custom.click();
    for (Control* c : std::initializer_list<Control*>{&f().ed_sr_range_from, &f().ed_sr_range_to,
                                                      &f().Label53, &f().Label73, &f().Label70})
        EXPECT_TRUE(c->enabled()) << c->name();
    f().rb_sr_all.click();
    EXPECT_FALSE(f().ed_sr_range_to.enabled());
}

TEST_F(PageStatesTest, SymbolRateClassSetsTheSweepRate) {
    const std::vector<std::pair<RadioButton*, const char*>> classes = {
        {&f().rb_sr_menor7500, "7500"}, {&f().rb_sr_menor, "15000"}, {&f().rb_sr_maior, "35000"}};
    for (const auto& [radio, ksps] : classes) {
        radio->click();
        EXPECT_EQ(f().ed_f_sr.text(), ksps) << radio->name();
    }
    f().TBar_custom.setPosition(4);  // not the custom class: only the label follows
    EXPECT_EQ(f().lb_custom.text(), "4000");
    EXPECT_EQ(f().ed_f_sr.text(), "35000");
    f().rb_sr_custom.click();
    EXPECT_EQ(f().ed_f_sr.text(), "4000");
    f().TBar_custom.setPosition(1);
    EXPECT_EQ(f().ed_f_sr.text(), "1000");
}

}  // namespace
}  // namespace quillox
