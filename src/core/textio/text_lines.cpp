#include "core/textio/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/text/cp932.h"

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
    if (text.empty()) return;
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    const char* at = start;
    // The next LF, found once and kept until the scan passes it, so that a file of lone CRs is
    // still read in one pass.
    const char* lf = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)));
    while (at < end) {
        if (lf != nullptr && lf < at) {
            lf = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)));
        }
        const char* const stop = lf != nullptr ? lf : end;
        const char* const cr = static_cast<const char*>(std::memchr(at, '\r', std::size_t(stop - at)));
        if (cr == nullptr) {
            if (lf == nullptr) break;
            lines.emplace_back(start, std::size_t(lf - start));
            start = at = lf + 1;
            continue;
        }
        // CR LF, CR CR LF and a lone CR all end the line once.
        lines.emplace_back(start, std::size_t(cr - start));
        at = cr;
        while (at < end && *at == '\r') ++at;
        if (at < end && *at == '\n') ++at;
        start = at;
    }
    if (start < end) lines.emplace_back(start, std::size_t(end - start));
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
    // One open, one read of the whole file straight into the text (a folder import reads ten
    // thousand files in a row), and a second read only when the file turns out longer.
    int fd;
    do {
        // Without waiting: a pipe named like a game record must not hold the import up.
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return "cannot open the file";
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return "cannot read the file";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    if (std::uint64_t(st.st_size) > kMaxTextFileBytes) return "the file is too large for a game record";
    // Read into the text itself, so that a TextLines used for file after file keeps its buffer.
    std::string& bytes = out.text;
    std::size_t size = 0;
    bytes.resize(std::max<std::size_t>(std::size_t(st.st_size) + 1, 4096));
    for (;;) {
        if (size == bytes.size()) {
            if (size > kMaxTextFileBytes) {
                bytes.clear();
                return "the file is too large for a game record";
            }
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            bytes.clear();
            return "cannot read the file";
        }
        if (got == 0) break;
        size += std::size_t(got);
    }
    bytes.resize(size);
    if (size > kMaxTextFileBytes) {
        bytes.clear();
        return "the file is too large for a game record";
    }
    if (IsUtf8Input(bytes, path)) {
        const std::string raw = std::move(bytes);
        MakeTextLines(raw, path, out);
    } else {
        SplitLines(out.text, out.lines);
    }
    return {};
}

}  // namespace movra
