// Load, save and clear of the three lists, and the pruning before a symbol-rate scan.
#include "files/list_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/form1.h"
#include "support/test_platform.h"

namespace quillox::test {
namespace {

using Texts = std::vector<std::string>;

class ListFilesTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (dir.path() / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir.path() / name, bytes);
        return Path(name);
    }

    TestRig rig;
    TForm1 form{rig.platform};
    TempDir dir;
};

// ---- Which dialog and list each button uses -----------------------------------------------------

struct ButtonCase {
    const char* button;
    const char* dialog;
    const char* list;
    bool load;
};

class ListButtonTest : public ListFilesTest, public ::testing::WithParamInterface<ButtonCase> {
protected:
    Lines& list() { return *static_cast<Lines*>(form.findControl(GetParam().list)); }
    void Click() { static_cast<Button*>(form.findControl(GetParam().button))->click(); }
};

TEST_P(ListButtonTest, UsesItsOwnDialogAndList) {
    const std::string path = Path("list.txt");
    if (GetParam().load) {
        WriteFileBytes(path, "111\r\n222\r\n");
    } else {
        list().setText("333\r\n444");
    }
    rig.dialogs.AnswerFile(path);
    Click();
    ASSERT_EQ(rig.dialogs.events().size(), 1u);
    EXPECT_EQ(rig.dialogs.events()[0].text, GetParam().dialog);
    if (GetParam().load) {
        EXPECT_EQ(list().lines(), (Texts{"111", "222"}));
    } else {
        EXPECT_EQ(ReadFileBytes(path), "333\r\n444\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ListButtonTest,
    ::testing::Values(ButtonCase{"bt_Load_v", "od_freq_list", "r_edt_freq_v", true},
                      ButtonCase{"bt_Save_v", "sd_freq_list", "r_edt_freq_v", false},
                      ButtonCase{"bt_Load_h", "od_freq_list", "r_edt_freq_h", true},
                      ButtonCase{"bt_Save_h", "sd_freq_list", "r_edt_freq_h", false},
                      ButtonCase{"b_Load", "od_sr_list", "r_edt_symbolrate", true},
                      ButtonCase{"b_Save", "sd_sr_list", "r_edt_symbolrate", false}),
    [](const auto& info) { return std::string(info.param.button); });

TEST_F(ListFilesTest, DefaultSymbolRatesSurviveASaveAndLoad) {
    const Texts defaults = form.r_edt_symbolrate.lines();
    ASSERT_EQ(defaults.size(), 39u);
    rig.dialogs.AnswerFile(Path("SymbolRates.Zyl"));
    form.b_Save.click();
    form.b_Clear.click();
    EXPECT_EQ(form.r_edt_symbolrate.count(), 0);
    rig.dialogs.AnswerFile(Path("SymbolRates.Zyl"));
    form.b_Load.click();
    EXPECT_EQ(form.r_edt_symbolrate.lines(), defaults);
}

// ---- Load --------------------------------------------------------------------------------------

TEST_F(ListFilesTest, LoadTakesAtMost4096CharactersCountingCrLfAsOne) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += std::to_string(10000 + i) + "\r\n";  // 6 chars each
    rig.dialogs.AnswerFile(Write("long.frl", bytes));
    form.bt_Load_v.click();
    // 682 whole lines take 4092 characters; the last four cut the 683rd value short.
    const Texts lines = form.r_edt_freq_v.lines();
    ASSERT_EQ(lines.size(), 683u);
    EXPECT_EQ(lines[681], "10681");
    EXPECT_EQ(lines.back(), "1068");
}

TEST_F(ListFilesTest, LoadStopsAtANulCharacter) {
    rig.dialogs.AnswerFile(Write("nul.frl", std::string("10700\r\n107", 10) + '\0' + "50\r\n"));
    form.bt_Load_h.click();
    EXPECT_EQ(form.r_edt_freq_h.lines(), (Texts{"10700", "107"}));
}

TEST_F(ListFilesTest, LoadKeepsLinesUnvalidatedAndAcceptsBareLineFeeds) {
    rig.dialogs.AnswerFile(Write("mixed.frl", "10700\n\nwords here\r\n 12000\r\n"));
    form.bt_Load_v.click();
    EXPECT_EQ(form.r_edt_freq_v.lines(), (Texts{"10700", "", "words here", " 12000"}));
}

TEST_F(ListFilesTest, EmptyFileEmptiesTheList) {
    form.r_edt_freq_v.setText("10700");
    rig.dialogs.AnswerFile(Write("empty.frl", ""));
    form.bt_Load_v.click();
    EXPECT_EQ(form.r_edt_freq_v.count(), 0);
}

TEST_F(ListFilesTest, MissingFileOrFolderIsReportedAndKeepsTheList) {
    form.r_edt_symbolrate.setText("27500");
    for (const std::string& path : {Path("nowhere.Zyl"), dir.str()}) {
        rig.dialogs.clear();
        rig.dialogs.AnswerFile(path);
        form.b_Load.click();
        EXPECT_EQ(rig.dialogs.errors(), Texts{"The File:\n" + path + "\nDon't Exist!"});
        EXPECT_EQ(form.r_edt_symbolrate.lines(), Texts{"27500"});
    }
}

TEST_F(ListFilesTest, AFileThatExistsButCannotBeReadKeepsTheList) {
    // Reading this process's memory file from offset 0 fails (nothing is mapped there).
    const std::string unreadable = "/proc/self/mem";
    if (!ListFileExists(unreadable)) GTEST_SKIP() << "no " << unreadable;
    form.r_edt_freq_v.setText("10700");
    rig.dialogs.AnswerFile(unreadable);
    form.bt_Load_v.click();
    EXPECT_EQ(form.r_edt_freq_v.lines(), Texts{"10700"});
    EXPECT_TRUE(rig.dialogs.errors().empty());
}

TEST_F(ListFilesTest, CancelledDialogsChangeNothing) {
    form.r_edt_freq_v.setText("10700");
    form.bt_Load_v.click();
    form.bt_Save_v.click();
    EXPECT_EQ(form.r_edt_freq_v.lines(), Texts{"10700"});
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(form.od_freq_list.fileName(), "Freq_List.frl");
}

// ---- Save --------------------------------------------------------------------------------------

TEST_F(ListFilesTest, SavingOverAnExistingFileAsksFirst) {
    const std::string path = Write("v.frl", "old");
    form.r_edt_freq_v.setText("10719\r\n10744");

    rig.dialogs.AnswerFile(path);
    rig.dialogs.AnswerConfirm(false);
    form.bt_Save_v.click();
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(rig.dialogs.events().back().text,
              path + "\nAlready exists!\n\nDo you want to replace it?");

    rig.dialogs.AnswerFile(path);
    rig.dialogs.AnswerConfirm(true);
    form.bt_Save_v.click();
    EXPECT_EQ(ReadFileBytes(path), "10719\r\n10744\r\n");
}

TEST_F(ListFilesTest, SaveNeedsNoQuestionForANewFileAndIsSilentWhenItCannotWrite) {
    form.r_edt_freq_h.setText("10719");
    rig.dialogs.AnswerFile(Path("new.frl"));
    form.bt_Save_h.click();
    EXPECT_EQ(ReadFileBytes(Path("new.frl")), "10719\r\n");

    rig.dialogs.clear();
    rig.dialogs.AnswerFile(Path("no/such/folder/h.frl"));
    form.bt_Save_h.click();
    ASSERT_EQ(rig.dialogs.events().size(), 1u) << "only the dialog itself";
    EXPECT_FALSE(std::filesystem::exists(Path("no")));
}

// ---- Pruning before a symbol-rate scan ---------------------------------------------------------

struct PruneCase {
    const char* label;
    Band band;
    Texts vertical, horizontal, rates;
    Texts keptVertical, keptHorizontal, keptRates;
    Texts messages;
};

class ValidateScanListsTest : public ListFilesTest,
                              public ::testing::WithParamInterface<PruneCase> {};

std::string Joined(const Texts& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

TEST_P(ValidateScanListsTest, DeletesOutOfRangeLinesAndCountsThemPerList) {
    const PruneCase& c = GetParam();
    if (c.band == Band::C) form.rb_Cband.setChecked(true);
    if (c.band == Band::Custom) form.rb_Custom.setChecked(true);
    form.r_edt_freq_v.setText(Joined(c.vertical));
    form.r_edt_freq_h.setText(Joined(c.horizontal));
    form.r_edt_symbolrate.setText(Joined(c.rates));
    form.ValidateScanLists();
    EXPECT_EQ(form.r_edt_freq_v.lines(), c.keptVertical);
    EXPECT_EQ(form.r_edt_freq_h.lines(), c.keptHorizontal);
    EXPECT_EQ(form.r_edt_symbolrate.lines(), c.keptRates);
    EXPECT_EQ(rig.dialogs.errors(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ValidateScanListsTest,
    ::testing::Values(PruneCase{"KuLinear",
                                Band::KuLinear,
                                {"10700", "9750", "a word", "12750", "12751"},
                                {"10719"},
                                {"27500"},
                                {"10700", "12750"},
                                {"10719"},
                                {"27500"},
                                {"Deleted, 3 invalid frequencies in the VERTICAL list."}},
                      PruneCase{"CBandBothListsInOrder",
                                Band::C,
                                {"3399", "3400"},
                                {"4200", "4201", "", "4000", "4000"},
                                {"27500"},
                                {"3400"},
                                {"4200", "4000", "4000"},
                                {"27500"},
                                {"Deleted, 1 invalid frequencies in the VERTICAL list.",
                                 "Deleted, 2 invalid frequencies in the HORIZONTAL list."}},
                      PruneCase{"CustomKeepsEveryPositiveValue",
                                Band::Custom,
                                {"0", "-5", "1", "99999"},
                                {},
                                {},
                                {"1", "99999"},
                                {},
                                {},
                                {"Deleted, 2 invalid frequencies in the VERTICAL list."}},
                      PruneCase{"SymbolRatesWhateverTheBand",
                                Band::Custom,
                                {},
                                {},
                                {"", "45001", "45000", "1", "0", "x"},
                                {},
                                {},
                                {"45000", "1"},
                                {"Deleted, 4 invalid Symbol Rates in the SYMBOL RATES LIST."}},
                      PruneCase{"AllThreeMessagesInOrder",
                                Band::KuLinear,
                                {"1"},
                                {"2", "3"},
                                {"-1"},
                                {},
                                {},
                                {},
                                {"Deleted, 1 invalid frequencies in the VERTICAL list.",
                                 "Deleted, 2 invalid frequencies in the HORIZONTAL list.",
                                 "Deleted, 1 invalid Symbol Rates in the SYMBOL RATES LIST."}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace quillox::test
