// Load, save and clear of the page's three lists, and the pruning of unusable lines before a
// symbol-rate scan starts.
#include "files/list_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/form1.h"
#include "app/number_text.h"

namespace quillox {
namespace {

// Raw bytes enough for the character limit even if every character is a CR LF pair, plus one
// byte to see whether a CR at the edge is followed by its LF.
constexpr size_t kRawReadLimit = 2 * kListFileCharacterLimit + 1;
constexpr int32_t kMaxSymbolRate = 45000;

std::optional<std::string> ReadRawPrefix(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string raw(kRawReadLimit, '\0');
    size_t size = 0;
    bool failed = false;
    while (size < raw.size()) {
        const ssize_t got = ::read(fd, raw.data() + size, raw.size() - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed = true;
        if (got <= 0) break;
        size += static_cast<size_t>(got);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    raw.resize(size);
    return raw;
}

// Deletes the lines that `keep` refuses, re-examining a position after each deletion, and
// returns how many went.
int PruneLines(Lines& list, const std::function<bool(int32_t)>& keep) {
    int deleted = 0;
    for (int i = 0; i < list.count();) {
        if (keep(LenientInt(list.line(i)))) {
            ++i;
        } else {
            list.removeLine(i);
            ++deleted;
        }
    }
    return deleted;
}

}  // namespace

bool ListFileExists(const std::string& path) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::optional<std::string> ReadListText(const std::string& path) {
    std::optional<std::string> raw = ReadRawPrefix(path);
    if (!raw) return std::nullopt;
    std::string text;
    for (size_t i = 0; i < raw->size() && text.size() < kListFileCharacterLimit; ++i) {
        const char c = (*raw)[i];
        if (c == '\0') break;
        if (c == '\r' && i + 1 < raw->size() && (*raw)[i + 1] == '\n') {
            text += '\n';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

bool WriteListLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    return !out.fail();
}

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

void TForm1::ValidateScanLists() {
    const Band band = SelectedBand();
    const auto inBand = [band](int32_t mhz) { return FrequencyInBand(band, mhz); };
    const auto report = [this](int deleted, const std::string& what) {
        if (deleted > 0)
            platform().dialogs.ErrorBox("Deleted, " + std::to_string(deleted) + " " + what);
    };
    report(PruneLines(r_edt_freq_v, inBand), "invalid frequencies in the VERTICAL list.");
    report(PruneLines(r_edt_freq_h, inBand), "invalid frequencies in the HORIZONTAL list.");
    report(PruneLines(r_edt_symbolrate,
                      [](int32_t ksps) { return ksps >= 1 && ksps <= kMaxSymbolRate; }),
           "invalid Symbol Rates in the SYMBOL RATES LIST.");
}

}  // namespace quillox
