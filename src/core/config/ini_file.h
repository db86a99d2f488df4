#pragma once
// Profile files ("MOVRAWIN.INI", "MULTIFTP.INI", "Html.ini"): sections in brackets and key=value
// lines, CP932 bytes, read and written the way the Windows profile functions do it.
//
//   * Section and key names compare without regard to the case of ASCII letters (the trail byte
//     of a double-byte character is never folded), after trimming blanks.
//   * The first section of a name and the first key of a name in it win; later duplicates are
//     kept in the file but never read or written.
//   * A value is trimmed, and a pair of double or single quotes enclosing the whole of it is
//     removed on reading; writing stores the value exactly as given.
//   * Lines whose first non-blank character is ";" are comments. Nothing after a value is a
//     comment: "a ; b" reads as "a ; b".
//   * A missing or unreadable file reads as empty, so every read gives its default. So does
//     anything that is not a regular file (a folder, a pipe, a link to a device) and a file
//     larger than kMaxProfileBytes: such a file is never read, and never replaced on saving.
//   * Writing one key keeps every other line of the file as it was, in its order. The file is
//     written with CR LF line ends through a temporary file that replaces it at the end.
//     A new key goes at the end of its section (before the blank lines that close it), a new
//     section at the end of the file.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/regular_file.h"

namespace movra {

// Profiles are a few kilobytes; anything far larger is not a profile.
inline constexpr std::size_t kMaxProfileBytes = 1 << 20;

class IniFile {
public:
    IniFile() = default;

    // Reads the file; a missing or unreadable file gives an empty profile (and false), with the
    // reason in `status` when asked.
    bool Load(const std::string& path, FileReadStatus* status = nullptr);
    // Parses profile text (CR LF, LF or CR line ends).
    void Parse(std::string_view text);
    // The whole profile as file bytes, every line ended by CR LF.
    std::string Text() const;
    // Writes Text() to path through path + ".$$$"; false when it cannot be written (the old file
    // is then left as it was).
    bool Save(const std::string& path) const;

    bool HasKey(std::string_view section, std::string_view key) const;

    // The value with enclosing quotes removed, or the default when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // A decimal number (optional sign; "$1F" and "0x1F" hexadecimal); the default when the key
    // is missing, empty or not a number as a whole, or out of the int range.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Read as an integer: 0 is false, any other number true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);

private:
    struct Line {
        std::string raw;  // the line as read (or as last written), without its line end
        std::string key;  // trimmed key name; empty for comments, blank lines and odd lines
        std::string value;
        bool isKey = false;
    };
    struct Section {
        std::string header;  // the "[name]" line as read
        std::string name;
        std::vector<Line> lines;
    };

    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    static Line* FindKey(Section& section, std::string_view key);
    static const Line* FindKey(const Section& section, std::string_view key);

    std::vector<Line> leading_;  // lines before the first section; never read as keys
    std::vector<Section> sections_;
};

// Profile-name comparison: ASCII letters fold, double-byte characters compare byte for byte.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

// Reads the profile file, lets `change` write its keys and writes the file back with every other
// line as it was. False when the file cannot be written, or when it exists but cannot be read:
// it is then left alone rather than replaced by the changed keys alone.
bool UpdateProfileFile(const std::string& path, const std::function<void(IniFile&)>& change);

// What to tell the user when a profile that is there cannot be used (CP932; empty for a profile
// that was read or is simply missing).
std::string ProfileProblemText(std::string_view fileName, FileReadStatus status);

}  // namespace movra
