// The main window's control set: the Qt layer and the settings file find controls by name.
#include <gtest/gtest.h>

#include <set>

#include "quillox.h"  // the umbrella header must stay self-contained
#include "support/test_platform.h"

namespace quillox {
namespace {

TEST(Form1ControlsTest, EveryControlHasAUniqueName) {
    test::TestRig rig;
    TForm1 form(rig.platform);
    std::set<std::string> names;
    for (const Control* control : form.controls()) {
        EXPECT_FALSE(control->name().empty());
        EXPECT_TRUE(names.insert(control->name()).second) << "duplicate " << control->name();
        EXPECT_EQ(form.findControl(control->name()), control);
    }
    EXPECT_GT(names.size(), 200u);
}

TEST(Form1ControlsTest, ConstantFieldsCannotBeSeenOrEdited) {
    test::TestRig rig;
    TForm1 form(rig.platform);
    for (const char* name : {"ed_f_delay2", "ed_Sig_L", "ed_sr_delay2", "b_GO", "ed_f_delay2_r23",
                             "ed_sr_r23", "Edit14", "bAplly2", "ed_delay2", "ed_sr_Sig_L"}) {
        const Control* control = form.findControl(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_FALSE(control->visible()) << name;
        EXPECT_FALSE(control->enabled()) << name;
    }
    EXPECT_FALSE(form.Panel2.visible());
    EXPECT_EQ(form.r_edt_symbolrate.count(), 39);
    EXPECT_EQ(form.r_edt_symbolrate.line(38), "17000");
}

TEST(Form1ControlsTest, FoldersDefaultToTheHomeFolder) {
    test::TestRig rig;
    TForm1 form(rig.platform);
    EXPECT_EQ(form.ed_shutdown_r26.text(), rig.homeDir.str());
    EXPECT_EQ(form.ed_shutdown_r23.text(), rig.homeDir.str());
    EXPECT_EQ(form.ed_sr_job.text(), rig.homeDir.str() + "Get_-_Symbol_Rate_(result).txt");
    EXPECT_EQ(form.sd_sr_shutdown.fileName(), rig.homeDir.str() + "Get_-_Symbol_Rate_(result).txt");
}

}  // namespace
}  // namespace quillox
