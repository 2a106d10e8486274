#include "files/profile_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/number_text.h"
#include "files/atomic_file.h"

namespace quillox {
namespace {

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string OneLine(std::string value) {
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return value;
}

}  // namespace

ProfileFile ProfileFile::Parse(const std::string& bytes) {
    ProfileFile file;
    std::string section;  // lower-case; stays "" until the first header
    bool inSection = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        Line line{bytes.substr(start, stop - start), "", "", false};
        start = end + 1;

        const std::string trimmed = Trim(line.text);
        const size_t close = trimmed.find(']');
        if (!trimmed.empty() && trimmed[0] == '[' && close != std::string::npos) {
            section = Lower(Trim(trimmed.substr(1, close - 1)));
            inSection = true;
            line.isHeader = true;
        } else if (inSection && !trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#') {
            const size_t equals = trimmed.find('=');
            if (equals != std::string::npos) line.key = Lower(Trim(trimmed.substr(0, equals)));
        }
        // Lines before the first header belong to no section and are only carried along.
        line.section = inSection ? section : std::string("\n");
        file.lines_.push_back(std::move(line));
    }
    return file;
}

ProfileFile ProfileFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return Parse(bytes.str());
}

const ProfileFile::Line* ProfileFile::Find(const std::string& section,
                                           const std::string& key) const {
    const int index = IndexOf(section, key);
    return index >= 0 ? &lines_[index] : nullptr;
}

int ProfileFile::IndexOf(const std::string& section, const std::string& key) const {
    const std::string wantedSection = Lower(section);
    const std::string wantedKey = Lower(key);
    for (size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].key.empty() && lines_[i].section == wantedSection &&
            lines_[i].key == wantedKey)
            return static_cast<int>(i);
    return -1;
}

std::string ProfileFile::ValueOf(const Line& line) {
    const std::string trimmed = Trim(line.text);
    return Trim(trimmed.substr(trimmed.find('=') + 1));
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
    const Line* line = Find(section, key);
    return line != nullptr ? ValueOf(*line) : fallback;
}

int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                 int32_t fallback) const {
    const Line* line = Find(section, key);
    return line != nullptr ? IntOr(ValueOf(*line), fallback) : fallback;
}

bool ProfileFile::ReadBool(const std::string& section, const std::string& key,
                           bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool ProfileFile::HasKey(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

bool ProfileFile::HasSection(const std::string& section) const {
    const std::string wanted = Lower(section);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const Line& l) { return l.isHeader && l.section == wanted; });
}

std::vector<std::string> ProfileFile::EntryLines(const std::string& section) const {
    const std::string wanted = Lower(section);
    std::vector<std::string> entries;
    for (const Line& line : lines_)
        if (!line.key.empty() && line.section == wanted) entries.push_back(Trim(line.text));
    return entries;
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    const std::string text = key + "=" + OneLine(value);
    if (const int index = IndexOf(section, key); index >= 0) {
        lines_[index].text = text;
        return;
    }
    const std::string wantedSection = Lower(section);
    Line line{text, wantedSection, Lower(key), false};
    // Append after the last non-blank line of the first such section, keeping blank separators.
    auto header = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.isHeader && l.section == wantedSection;
    });
    if (header == lines_.end()) {
        lines_.push_back({"[" + section + "]", wantedSection, "", true});
        lines_.push_back(std::move(line));
        return;
    }
    auto insertAt = header + 1;
    for (auto it = header + 1; it != lines_.end() && !it->isHeader; ++it)
        if (!Trim(it->text).empty()) insertAt = it + 1;
    lines_.insert(insertAt, std::move(line));
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string ProfileFile::Serialize() const {
    std::string bytes;
    for (const Line& line : lines_) bytes += line.text + "\r\n";
    return bytes;
}

bool ProfileFile::Save(const std::string& path) const {
    const std::filesystem::path target(path);
    std::error_code ignored;  // a folder that cannot be made shows in the write's failure
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ignored);
    return WriteFileAtomically(path, Serialize()).ok;
}

}  // namespace quillox
