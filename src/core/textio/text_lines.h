#pragma once
// A text game record as lines of CP932 bytes, whatever the file was written with.
//
// A file in UTF-8 is recognised by a byte-order mark, by the extension ".kifu" or ".ki2u", by the
// encoding a Kakinoki file declares on its first line ("#KIF version=2.0 encoding=UTF-8") where
// the bytes bear it out, or by content that is valid UTF-8 but not valid CP932; it is turned into CP932 before any reader sees
// it. LF, CR LF, the broken CR CR LF of some writers and a lone CR all end a line, and a last
// line without a line end is read like any other.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace movra {

// Files larger than this are not game records; reading them is refused.
inline constexpr std::size_t kMaxTextFileBytes = 64u << 20;

struct TextLines {
    std::string text;                     // the whole file as CP932
    std::vector<std::string_view> lines;  // views into text, without their line ends

    std::size_t size() const { return lines.size(); }
    std::string_view operator[](std::size_t i) const { return lines[i]; }
};

// Whether the bytes (with the name they came under) are UTF-8 text that must be converted.
bool IsUtf8Input(std::string_view bytes, const std::filesystem::path& name);

// Fills `out` from raw bytes: UTF-8 becomes CP932 (a byte-order mark is dropped), then the lines
// are split. `name` only serves the extension test; it may be empty.
void MakeTextLines(std::string_view bytes, const std::filesystem::path& name, TextLines& out);

// Splits text into lines in place of out.lines (views into `text`).
void SplitLines(std::string_view text, std::vector<std::string_view>& lines);

// Reads a file into `out`. Returns an empty text on success, else the reason (the file cannot be
// opened or read, or it is too large).
std::string LoadTextLines(const std::filesystem::path& path, TextLines& out);

}  // namespace movra
