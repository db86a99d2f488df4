#include "core/text/paths.h"

#include <cstdint>
#include <system_error>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/regular_file.h"

namespace movra {
namespace fs = std::filesystem;

namespace {

// The parts of a stored path, empty parts (doubled separators) dropped.
std::vector<std::string> SplitParts(std::string_view path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}


}  // namespace

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(out[i]);
        if (IsCp932LeadByte(b) && i + 1 < out.size()) {
            ++i;
        } else if (b >= 'a' && b <= 'z') {
            out[i] = static_cast<char>(b - 'a' + 'A');
        }
    }
    return out;
}

// Names on this file system are UTF-8, where every byte of a multi-byte character is 80 or
// above: folding the ASCII letters alone is right without any lead-byte rule.
bool NativeNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::string UpperExtension(const fs::path& path) {
    // A file-system name is UTF-8: every byte of a multi-byte character is 80 hex or above, so
    // only the ASCII letters change.
    std::string extension = path.extension().string();
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return extension;
}

bool FileNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperCaseAscii(a) == UpperCaseAscii(b);
}

fs::path NativePath(std::string_view storedPath) {
    std::string utf8 = Cp932ToUtf8(storedPath);
    for (char& c : utf8) {
        if (c == '\\') c = '/';
    }
    return fs::path(utf8);
}

std::string StoredPath(const fs::path& path) { return Utf8ToCp932(path.generic_string()); }

fs::path ResolvePath(const fs::path& folder, std::string_view name) {
    const fs::path given = NativePath(name);
    const bool absolute = given.is_absolute();
    fs::path current = absolute ? fs::path("/") : folder;
    const std::vector<std::string> parts = SplitParts(given.generic_string());
    std::error_code ec;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        fs::path exact = current / part;
        if (part == "." || part == ".." || fs::exists(exact, ec)) {
            current = std::move(exact);
            continue;
        }
        bool found = false;
        if (fs::is_directory(current, ec)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(current, ec)) {
                if (NativeNamesEqual(entry.path().filename().string(), part)) {
                    current = entry.path();
                    found = true;
                    break;
                }
            }
        }
        if (!found) {
            // Nothing matches: the rest is spelled as given.
            for (; i < parts.size(); ++i) current /= parts[i];
            return current;
        }
    }
    return current;
}

bool FileExistsNoCase(const fs::path& folder, std::string_view name) {
    return IsRegularFile(ResolvePath(folder, name));
}

}  // namespace movra
