// The " INI file " groups of both blind-scan pages: the numbered transponder lists with their
// counters, the file name that follows from the position, and the four writers of the file.
#include <algorithm>
#include <filesystem>
#include <string>

#include "app/about_box.h"
#include "app/form1.h"
#include "base/number_text.h"
#include "files/transponder_compare.h"
#include "files/transponder_ini.h"
#include "files/transponder_line.h"

namespace quillox {

void TForm1::AppendTransponder(Lines& list, int32_t& counter, const FoundTransponder& t) {
    std::lock_guard lock(transponderLists_);
    list.append(FormatTransponderLine(
        {counter, t.mhz, t.polarityCode, t.ksps, TransponderFecText(t.fecCode)}));
    ++counter;
}

void TForm1::bt_trans_clearClick() {
    std::lock_guard lock(transponderLists_);
    r_ed_trans_good.clear();
    trans_counter = 1;
    scannedRanges_.erase(&r_ed_trans_good);
}

void TForm1::bt_trans_clear_r23Click() {
    std::lock_guard lock(transponderLists_);
    r_ed_trans_good_r23.clear();
    trans_counter_r23 = 1;
    scannedRanges_.erase(&r_ed_trans_good_r23);
}

void TForm1::NoteScanned(const Lines& list, const ScannedRange& range) {
    std::lock_guard lock(transponderLists_);
    std::vector<ScannedRange>& ranges = scannedRanges_[&list];
    if (std::find(ranges.begin(), ranges.end(), range) == ranges.end()) ranges.push_back(range);
}

std::vector<ScannedRange> TForm1::ScannedRangesOf(const Lines& list) {
    {
        std::lock_guard lock(transponderLists_);
        auto found = scannedRanges_.find(&list);
        if (found != scannedRanges_.end()) return found->second;
    }
    return SpanOf(ParseTransponderLines(list.lines()));
}

// ---- File name ------------------------------------------------------------------------------

// A field that is no integer keeps the name and says why, as any conversion error on the
// window does; it must not end the settings load that set the field.
void TForm1::MakeIniFileName(Edit& degrees, Edit& tenths, ComboBox& eastWest, Edit& fileName) {
    try {
        if (auto name = IniFileNameOf(degrees.text(), tenths.text(), eastWest.text()))
            fileName.setText(*name);
    } catch (const ConversionError& error) {
        platform().dialogs.ErrorBox(error.what());
    }
}

void TForm1::ed_sat_pos1Change() {
    MakeIniFileName(ed_sat_pos1, ed_sat_pos2, cb_E_W, ed_file_name);
}
void TForm1::ed_sat_pos1_r23Change() {
    MakeIniFileName(ed_sat_pos1_r23, ed_sat_pos2_r23, cb_E_W_r23, ed_file_name_r23);
}

// ---- Writers --------------------------------------------------------------------------------

// The count comes from the counter, not from the list; both are read in one step, so a save
// during a scan writes a count that matches its lines.
FileWriteResult TForm1::WriteTransponderIni(const std::string& path, const Edit& name,
                                            const Edit& fileName, Lines& list, int32_t& counter) {
    TransponderIni ini;
    ini.fileName = fileName.text();
    ini.satelliteName = name.text();
    {
        std::lock_guard lock(transponderLists_);
        ini.count = counter - 1;
        ini.lines = list.lines();
    }
    ini.homePage = kHomePageUrl;
    ini.written = platform().clock.Now();
    FileWriteResult result = WriteFileAtomically(path, FormatTransponderIni(ini));
    if (result) NoteWritten(list, std::move(ini.lines));
    return result;
}

void TForm1::NoteWritten(const Lines& list, std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    std::lock_guard lock(transponderLists_);
    writtenLines_[&list] = std::move(lines);
}

int TForm1::UnsavedTransponders() {
    std::lock_guard lock(transponderLists_);
    int unsaved = 0;
    for (const Lines* list : {&r_ed_trans_good, &r_ed_trans_good_r23}) {
        const std::vector<std::string>& written = writtenLines_[list];
        for (const std::string& line : list->lines())
            if (!std::binary_search(written.begin(), written.end(), line)) ++unsaved;
    }
    return unsaved;
}

namespace {

// The dialog proposes the page's file name; an existing file is replaced only on Yes, and a
// file that cannot be written says so.
void SaveTransponderIni(TForm1& form, Edit& name, Edit& fileName, Lines& list, int32_t& counter) {
    form.SaveDialog.setFileName(fileName.text());
    if (!form.SaveDialog.Execute()) return;
    const std::string path = form.SaveDialog.fileName();
    Dialogs& dialogs = form.platform().dialogs;
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored) &&
        !dialogs.ConfirmBox(path + "\nAlready exists!\n\nDo you want to replace it?"))
        return;
    const FileWriteResult written = form.WriteTransponderIni(path, name, fileName, list, counter);
    if (!written)
        dialogs.ErrorBox("The File:\n" + path + "\nCan't be written!\n\n" + written.error);
}

}  // namespace

void TForm1::bt_Save_iniClick() {
    SaveTransponderIni(*this, ed_sat_name, ed_file_name, r_ed_trans_good, trans_counter);
}

void TForm1::bt_Save_ini_r23Click() {
    SaveTransponderIni(*this, ed_sat_name_r23, ed_file_name_r23, r_ed_trans_good_r23,
                       trans_counter_r23);
}

// Folder and file name are joined as they stand: the folder fields end with a separator.
FileWriteResult TForm1::bt_write_file_shutdown_r23Click() {
    return WriteTransponderIni(ed_shutdown_r23.text() + ed_file_name_r23.text(), ed_sat_name_r23,
                               ed_file_name_r23, r_ed_trans_good_r23, trans_counter_r23);
}

FileWriteResult TForm1::bt_write_file_r26Click() {
    return WriteTransponderIni(ed_shutdown_r26.text() + ed_file_name.text(), ed_sat_name,
                               ed_file_name, r_ed_trans_good, trans_counter);
}

}  // namespace quillox
