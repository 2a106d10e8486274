// The File menu's export of the found transponders for the Linux DVB tools and their
// comparison with an earlier transponder file.
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "files/dvbv5_export.h"
#include "files/list_files.h"
#include "files/transponder_compare.h"

namespace quillox {

Lines& TForm1::ShownTransponderList() {
    return pc_main.activePage() == &ts_ss2r23 ? r_ed_trans_good_r23 : r_ed_trans_good;
}

void TForm1::Export1Click() {
    const std::vector<std::string> lines = ShownTransponderList().lines();
    if (lines.empty()) {
        platform().dialogs.ErrorBox("There are no transponders to export.");
        return;
    }
    if (!sd_export.Execute()) return;
    const std::string path = sd_export.fileName();
    if (ListFileExists(path) &&
        !platform().dialogs.ConfirmBox(path + "\nAlready exists!\n\nDo you want to replace it?"))
        return;
    const Dvbv5Export exported = WriteDvbv5File(path, lines);
    if (!exported.ok) {
        platform().dialogs.ErrorBox("Cannot export to:\n" + path + "\n" + exported.error);
        return;
    }
    NoteWritten(ShownTransponderList(), lines);
    ShowStatus("Exported " + std::to_string(exported.written) + " transponders to " + path);
    if (exported.skipped > 0)
        platform().dialogs.MessageBox(
            std::to_string(exported.written) + " transponders exported, " +
            std::to_string(exported.skipped) + " lines without frequency or polarity left out.");
}

void TForm1::Compare1Click() {
    if (!od_compare.Execute()) return;
    const std::string path = od_compare.fileName();
    const std::optional<std::vector<TransponderLine>> before = ReadTransponderIniLines(path);
    if (!before) {
        platform().dialogs.ErrorBox("The File:\n" + path + "\nis no transponder file!");
        return;
    }
    Lines& list = ShownTransponderList();
    const TransponderChanges changes = CompareTransponders(
        *before, ParseTransponderLines(list.lines()), ScannedRangesOf(list));
    std::string report = "Since " + path + ":\n\n" + FormatTransponderChanges(changes);
    if (const std::string shift = FormatLnbShiftSince(changes, CurrentOscillators()); !shift.empty())
        report += "\n" + shift;
    platform().dialogs.MessageBox(report);
}

}  // namespace quillox
