// Export… and Compare… of the File menu: which list they take and what they show.
#include <gtest/gtest.h>
#include <libdvbv5/dvb-file.h>

#include <memory>

#include "app/form1.h"
#include "support/test_platform.h"

namespace quillox::test {
namespace {

class FileMenuTest : public ::testing::TestWithParam<bool> {
protected:
    FileMenuTest() {
        form.r_ed_trans_good.setText("1=10719,V,27500,34\r\n2=10758,H,22000,56\r\n");
        form.r_ed_trans_good_r23.setText("1=11034,V,27500,34\r\n");
        if (secondPage()) form.pc_main.setActivePage(&form.ts_ss2r23);
    }
    bool secondPage() const { return GetParam(); }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const DialogEvent& e : rig.dialogs.events())
            if (e.kind == "MessageBox") texts.push_back(e.text);
        return texts;
    }

    TestRig rig;
    TForm1 form{rig.platform};
    TempDir dir;
};

TEST_P(FileMenuTest, ExportWritesTheShownPagesList) {
    const std::string path = dir.str() + "sat.conf";
    rig.dialogs.AnswerFile(path);
    form.Export1.click();
    EXPECT_TRUE(rig.dialogs.errors().empty());
    std::unique_ptr<dvb_file, void (*)(dvb_file*)> file(dvb_read_file(path.c_str()), dvb_file_free);
    ASSERT_TRUE(file);
    std::vector<uint32_t> khz;  // the reader leaves n_entries alone: walk the entries
    for (dvb_entry* e = file->first_entry; e != nullptr; e = e->next)
        dvb_retrieve_entry_prop(e, DTV_FREQUENCY, &khz.emplace_back());
    const std::vector<uint32_t> expected =
        secondPage() ? std::vector<uint32_t>{11034000} : std::vector<uint32_t>{10719000, 10758000};
    EXPECT_EQ(khz, expected);
    EXPECT_EQ(form.lb_status.text(),
              "Exported " + std::to_string(expected.size()) + " transponders to " + path);
}

TEST_P(FileMenuTest, CompareShowsTheChangesOfTheShownPagesList) {
    WriteFileBytes(dir.path() / "0130.ini", "[DVB]\r\n0=1\r\n1=10719,V,27500,34\r\n");
    rig.dialogs.AnswerFile(dir.str() + "0130.ini");
    form.Compare1.click();
    // No job filled the lists: each covers its own span, which 10719 V lies outside of on the
    // second page.
    const std::string expected = secondPage() ? "New (1)\n  11034,V,27500,34\n"
                                                "Not scanned (1)\n  10719,V,27500,34\n"
                                              : "New (1)\n  10758,H,22000,56\n";
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Since " + dir.str() + "0130.ini:\n\n" + expected});
}

TEST_P(FileMenuTest, EmptyListOrUnreadableFileIsAnError) {
    (secondPage() ? form.r_ed_trans_good_r23 : form.r_ed_trans_good).setText("");
    form.Export1.click();  // no dialog is asked for: the answer queue stays untouched
    rig.dialogs.AnswerFile(dir.str() + "missing.ini");
    form.Compare1.click();
    EXPECT_EQ(rig.dialogs.errors().size(), 2u);
    EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, FileMenuTest, ::testing::Bool());

}  // namespace
}  // namespace quillox::test
