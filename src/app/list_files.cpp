// Load, save and clear of the page's three lists, and the pruning of unusable lines before a
// symbol-rate scan starts.
#include "files/list_files.h"

#include <functional>
#include <optional>
#include <string>

#include "app/form1.h"

namespace quillox {
namespace {
constexpr int32_t kMaxSymbolRate = 45000;
}  // namespace

void TForm1::ReadListFile(FileDialog& dialog, Lines& list) {
    if (!dialog.Execute()) return;
    const std::string path = dialog.fileName();
    if (!ListFileExists(path)) {
        platform().dialogs.ErrorBox("The File:\n" + path + "\nDon't Exist!");
        return;
    }
    // A file that cannot be read leaves the list as it was.
    if (std::optional<std::string> text = ReadListText(path)) list.setText(*text);
}

void TForm1::WriteListFile(FileDialog& dialog, Lines& list) {
    if (!dialog.Execute()) return;
    const std::string path = dialog.fileName();
    if (ListFileExists(path) &&
        !platform().dialogs.ConfirmBox(path + "\nAlready exists!\n\nDo you want to replace it?"))
        return;
    WriteListLines(path, list.lines());  // a file that cannot be written is skipped silently
}

void TForm1::bt_Load_vClick() {
    ReadListFile(od_freq_list, r_edt_freq_v);
}
void TForm1::bt_Save_vClick() {
    WriteListFile(sd_freq_list, r_edt_freq_v);
}
void TForm1::bt_Load_hClick() {
    ReadListFile(od_freq_list, r_edt_freq_h);
}
void TForm1::bt_Save_hClick() {
    WriteListFile(sd_freq_list, r_edt_freq_h);
}
void TForm1::b_LoadClick() {
    ReadListFile(od_sr_list, r_edt_symbolrate);
}
void TForm1::b_SaveClick() {
    WriteListFile(sd_sr_list, r_edt_symbolrate);
}
void TForm1::b_ClearClick() {
    r_edt_symbolrate.setText("");
}

namespace {

// Removes the lines that `keep` refuses and says how many went, if any.
void PruneScanList(TForm1& form, Lines& list, const std::function<bool(int32_t)>& keep,
                   const std::string& what) {
    const ListPruning pruned = PruneList(list.lines(), keep);
    if (pruned.deleted == 0) return;
    std::string text;
    for (const std::string& line : pruned.kept) text += line + "\r\n";
    list.setText(text);
    form.platform().dialogs.ErrorBox("Deleted, " + std::to_string(pruned.deleted) + " " + what);
}

}  // namespace

void TForm1::ValidateScanLists() {
    const Band band = SelectedBand();
    const auto inBand = [band](int32_t mhz) { return FrequencyInBand(band, mhz); };
    PruneScanList(*this, r_edt_freq_v, inBand, "invalid frequencies in the VERTICAL list.");
    PruneScanList(*this, r_edt_freq_h, inBand, "invalid frequencies in the HORIZONTAL list.");
    PruneScanList(
        *this, r_edt_symbolrate, [](int32_t ksps) { return ksps >= 1 && ksps <= kMaxSymbolRate; },
        "invalid Symbol Rates in the SYMBOL RATES LIST.");
}

}  // namespace quillox
