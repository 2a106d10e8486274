#pragma once
// An ini ("profile") file held in memory: "[Section]" lines followed by "Key=Value" lines.
// Sections and keys match case-insensitively; the first occurrence wins. Every line that is not
// ours (comments, unknown sections and keys, even garbage) is kept as it was, so writing our keys
// never loses anything else in the file. Lines are written with CR LF.
//
// Not thread-safe: one thread builds, reads and saves a ProfileFile.
#include <cstdint>
#include <string>
#include <vector>

namespace quillox {

class ProfileFile {
public:
    ProfileFile() = default;
    // Parses the bytes of a file; never fails (anything unparseable is kept as plain lines).
    static ProfileFile Parse(const std::string& bytes);
    // Reads the file at path; a missing or unreadable file gives an empty profile.
    static ProfileFile Load(const std::string& path);

    // Value of the key, or the fallback when the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal 32-bit integer; a missing key or a value that is not an integer gives the fallback.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    // True when the stored integer is not 0; the fallback as for ReadInteger.
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    bool HasKey(const std::string& section, const std::string& key) const;
    // True when a "[section]" header is in the file, even with nothing under it.
    bool HasSection(const std::string& section) const;
    // Every "key=value" line of the section, trimmed, in file order and repeated keys included
    // (the Read functions see only the first): for sections that hold a list.
    std::vector<std::string> EntryLines(const std::string& section) const;

    // Replaces the value of an existing key in place, or appends the key to its section
    // (appending the section at the end when it is missing). Line breaks in the value would
    // break the file's structure, so they are written as blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    std::string Serialize() const;  // every line followed by CR LF
    // Writes through a temporary file renamed over the target, so an interrupted write never
    // leaves a truncated file. Returns false when the file could not be written.
    bool Save(const std::string& path) const;

private:
    struct Line {
        std::string text;     // the line as read or as last written, without its line end
        std::string section;  // lower-case name of its section ("\n", matching none, before any)
        std::string key;      // lower-case key when the line is "key=value", else ""
        bool isHeader = false;
    };

    const Line* Find(const std::string& section, const std::string& key) const;
    int IndexOf(const std::string& section, const std::string& key) const;  // -1 when missing
    static std::string ValueOf(const Line& line);

    std::vector<Line> lines_;
};

}  // namespace quillox
