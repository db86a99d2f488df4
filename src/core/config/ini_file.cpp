#include "core/config/ini_file.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/text/cp932.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Position of the first single-byte `c` that is not the trail byte of a double-byte
// character, or npos. "]" (5D) is a possible trail byte, so a plain find would cut "ソ]".
std::size_t FindSingleByte(std::string_view s, char c) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(s[i]);
        if (IsCp932LeadByte(b) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (s[i] == c) return i;
    }
    return std::string_view::npos;
}

std::string StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return std::string(value);
}

bool ParseNumber(std::string_view text, int& out) {
    if (text.empty()) return false;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    long long value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * base + digit;
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<std::uint8_t>(a[i]);
        const auto y = static_cast<std::uint8_t>(b[i]);
        if (IsCp932LeadByte(x) && i + 1 < a.size()) {
            // A double-byte character compares as it is, trail byte included.
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        const auto fold = [](std::uint8_t c) {
            return (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
        };
        if (fold(x) != fold(y)) return false;
    }
    return true;
}

bool IniFile::Load(const std::string& path, FileReadStatus* status) {
    leading_.clear();
    sections_.clear();
    std::string text;
    const FileReadStatus read = ReadRegularFile(path, kMaxProfileBytes, text);
    if (status != nullptr) *status = read;
    if (read != FileReadStatus::Ok) return false;
    Parse(text);
    return true;
}

void IniFile::Parse(std::string_view text) {
    leading_.clear();
    sections_.clear();
    // A UTF-8 byte-order mark left by an editor would hide the first section.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view raw = text.substr(at, end - at);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n') {
            ++end;
        }
        at = end + 1;

        const std::string_view trimmed = TrimBlanks(raw);
        if (!trimmed.empty() && trimmed.front() == '[') {
            std::string_view name = trimmed.substr(1);
            const std::size_t close = FindSingleByte(name, ']');
            if (close != std::string_view::npos) name = name.substr(0, close);
            sections_.push_back({std::string(raw), std::string(TrimBlanks(name)), {}});
            continue;
        }
        Line line{std::string(raw), {}, {}, false};
        if (!trimmed.empty() && trimmed.front() != ';') {
            const std::size_t eq = FindSingleByte(trimmed, '=');
            if (eq == std::string_view::npos) {
                // A line without "=" is a key without a value, as the profile functions see it.
                line.key = std::string(trimmed);
            } else {
                line.key = std::string(TrimBlanks(trimmed.substr(0, eq)));
                line.value = std::string(TrimBlanks(trimmed.substr(eq + 1)));
            }
            line.isKey = !line.key.empty();
        }
        (sections_.empty() ? leading_ : sections_.back().lines).push_back(std::move(line));
    }
}

std::string IniFile::Text() const {
    std::string out;
    for (const Line& l : leading_) out += l.raw + "\r\n";
    for (const Section& s : sections_) {
        out += s.header + "\r\n";
        for (const Line& l : s.lines) out += l.raw + "\r\n";
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    const std::string temp = path + ".$$$";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        const std::string text = Text();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const std::string_view wanted = TrimBlanks(name);
    for (Section& s : sections_) {
        if (ProfileNamesEqual(s.name, wanted)) return &s;
    }
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

IniFile::Line* IniFile::FindKey(Section& section, std::string_view key) {
    const std::string_view wanted = TrimBlanks(key);
    for (Line& l : section.lines) {
        if (l.isKey && ProfileNamesEqual(l.key, wanted)) return &l;
    }
    return nullptr;
}

const IniFile::Line* IniFile::FindKey(const Section& section, std::string_view key) {
    return FindKey(const_cast<Section&>(section), key);
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s != nullptr && FindKey(*s, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return std::string(defaultValue);
    const Line* l = FindKey(*s, key);
    if (l == nullptr) return std::string(defaultValue);
    return StripQuotes(l->value);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    if (!HasKey(section, key)) return defaultValue;
    int value = 0;
    return ParseNumber(TrimBlanks(ReadString(section, key, "")), value) ? value : defaultValue;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view valueText) {
    // A line break inside a value would end the line and turn the rest into a line of its own.
    std::string value(valueText);
    for (char& c : value) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    const std::string_view keyName = TrimBlanks(key);
    Section* s = FindSection(section);
    if (s == nullptr) {
        // A new section goes to the end, set off from the lines before it by a blank line.
        std::vector<Line>& last = sections_.empty() ? leading_ : sections_.back().lines;
        const bool fileEmpty = sections_.empty() && leading_.empty();
        const bool endsBlank = !last.empty() && TrimBlanks(last.back().raw).empty();
        if (!fileEmpty && !endsBlank) last.push_back({});
        const std::string name(TrimBlanks(section));
        sections_.push_back({"[" + name + "]", name, {}});
        s = &sections_.back();
    }
    if (Line* l = FindKey(*s, keyName)) {
        l->value = std::string(TrimBlanks(value));
        l->raw = l->key + "=" + value;
        return;
    }
    // After the last non-blank line of the section, so the blank line before the next section
    // stays where it is.
    std::size_t insertAt = s->lines.size();
    while (insertAt > 0 && TrimBlanks(s->lines[insertAt - 1].raw).empty()) --insertAt;
    Line line{std::string(keyName) + "=" + value, std::string(keyName),
              std::string(TrimBlanks(value)), true};
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool UpdateProfileFile(const std::string& path, const std::function<void(IniFile&)>& change) {
    IniFile ini;
    // A file that is there but cannot be read is left alone: writing the changed keys alone
    // would lose the rest.
    FileReadStatus status = FileReadStatus::Ok;
    if (!ini.Load(path, &status) && status != FileReadStatus::Missing) return false;
    change(ini);
    return ini.Save(path);
}

std::string ProfileProblemText(std::string_view fileName, FileReadStatus status) {
    using namespace movra::literals;
    std::string reason;
    switch (status) {
        case FileReadStatus::Ok:
        case FileReadStatus::Missing: return {};
        case FileReadStatus::NotRegular: reason = "は通常のファイルではないため"_sj; break;
        case FileReadStatus::TooLarge: reason = "が大きすぎるため"_sj; break;
        case FileReadStatus::Unreadable: reason = "を読み込めないため"_sj; break;
    }
    return std::string(fileName) + " " + reason + "使えません。\r既定の設定を使います。"_sj;
}

}  // namespace movra
