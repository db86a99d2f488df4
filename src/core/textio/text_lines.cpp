#include "textio/text_lines.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "record/cp932.h"

namespace movra {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HasUtf8Extension(const std::filesystem::path& name) {
    std::string ext = name.extension().string();
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return ext == ".kifu" || ext == ".ki2u";
}

bool IsAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The encoding a Kakinoki file declares on its first line ("#KIF version=2.0
// encoding=Shift_JIS"): 1 UTF-8, 0 Shift_JIS, -1 none.
int DeclaredEncoding(std::string_view bytes) {
    std::string first(bytes.substr(0, std::min<std::size_t>(bytes.find('\n'), 200)));
    if (first.compare(0, 5, "#KIF ") != 0) return -1;
    for (char& c : first) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (first.find("encoding=utf-8") != std::string::npos) return 1;
    if (first.find("encoding=shift_jis") != std::string::npos ||
        first.find("encoding=cp932") != std::string::npos) {
        return 0;
    }
    return -1;
}

}  // namespace

bool IsUtf8Input(std::string_view bytes, const std::filesystem::path& name) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return true;
    if (HasUtf8Extension(name)) return true;
    // Some writers declare one encoding and write the other: the declaration counts only where
    // the bytes bear it out.
    const int declared = DeclaredEncoding(bytes);
    if (declared == 1 && IsValidUtf8(bytes)) return true;
    if (declared == 0 && IsValidCp932(bytes)) return false;
    if (IsAscii(bytes)) return false;
    return IsValidUtf8(bytes) && !IsValidCp932(bytes);
}

void SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
    lines.clear();
    std::size_t start = 0;
    std::size_t at = 0;
    const std::size_t n = text.size();
    while (at < n) {
        const char c = text[at];
        if (c == '\n') {
            lines.push_back(text.substr(start, at - start));
            start = ++at;
        } else if (c == '\r') {
            // CR LF, CR CR LF and a lone CR all end the line once.
            lines.push_back(text.substr(start, at - start));
            while (at < n && text[at] == '\r') ++at;
            if (at < n && text[at] == '\n') ++at;
            start = at;
        } else {
            ++at;
        }
    }
    if (start < n) lines.push_back(text.substr(start));
}

void MakeTextLines(std::string_view bytes, const std::filesystem::path& name, TextLines& out) {
    if (IsUtf8Input(bytes, name)) {
        if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
        out.text = Utf8ToCp932(bytes);
    } else {
        out.text.assign(bytes.data(), bytes.size());
    }
    SplitLines(out.text, out.lines);
}

std::string LoadTextLines(const std::filesystem::path& path, TextLines& out) {
    out.text.clear();
    out.lines.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return "cannot open the file";
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        if (got > 0) {
            if (bytes.size() + got > kMaxTextFileBytes) return "the file is too large for a game record";
            bytes.append(buffer, got);
        }
        if (got < sizeof buffer) {
            if (std::ferror(file.get())) return "cannot read the file";
            break;
        }
    }
    if (IsUtf8Input(bytes, path)) {
        MakeTextLines(bytes, path, out);
    } else {
        out.text = std::move(bytes);  // CP932 already: no copy
        SplitLines(out.text, out.lines);
    }
    return {};
}

}  // namespace movra
