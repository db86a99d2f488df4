#include "core/text/text_helpers.h"

#include <optional>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"

namespace movra {

using namespace movra::literals;

namespace {

bool IsSingleByte(std::uint8_t b) { return b < 0x80 || (b >= 0xA0 && b <= 0xDF); }

// The byte length of the character at text[at]; a lead byte at the very end counts as one.
std::size_t CharLengthAt(std::string_view text, std::size_t at) {
    if (IsSingleByte(static_cast<std::uint8_t>(text[at])) || at + 1 >= text.size()) return 1;
    return 2;
}

// The text without every character that `drop` accepts; characters, not bytes, are compared,
// so the trail byte of one character and the next byte are never taken for a third.
template <typename Drop>
std::string RemoveChars(std::string_view text, Drop drop) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharLengthAt(text, at);
        const std::string_view c = text.substr(at, length);
        if (!drop(c)) out.append(c);
        at += length;
    }
    return out;
}

// Replaces each occurrence of `from` that starts on a character boundary.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at, from.size()) == from) {
            out.append(to);
            at += from.size();
            continue;
        }
        const std::size_t length = CharLengthAt(text, at);
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

bool ContainsChar(std::string_view text, std::string_view c) {
    for (std::size_t at = 0; at < text.size(); at += CharLengthAt(text, at)) {
        if (text.substr(at, c.size()) == c) return true;
    }
    return false;
}

// "\040" and the other octal escapes of /proc/mounts.
std::string UnescapeMountField(std::string_view field) {
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            out.push_back(static_cast<char>(((field[i + 1] - '0') << 6) |
                                            ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

bool ReadsOne(const std::filesystem::path& file) {
    std::ifstream in(file);
    char c = 0;
    return in.get(c) && c == '1';
}

// Whether the disk holding a device (sdb1 -> sdb, mmcblk0p1 -> mmcblk0, nvme0n1p2 -> nvme0n1)
// says it is removable.
bool IsRemovableDevice(const std::filesystem::path& sysBlock, std::string name) {
    std::error_code error;
    while (!name.empty()) {
        const std::filesystem::path removable = sysBlock / name / "removable";
        if (std::filesystem::exists(removable, error)) return ReadsOne(removable);
        std::size_t end = name.size();
        while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
        if (end == name.size() || end == 0) return false;  // no partition number to strip
        if (name[end - 1] == 'p' && end >= 2 && name[end - 2] >= '0' && name[end - 2] <= '9') {
            --end;
        }
        name.resize(end);
    }
    return false;
}

bool UnderFolder(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
           path[folder.size()] == '/';
}

}  // namespace

std::string FieldToText(const std::uint8_t* bytes, std::size_t count) {
    if (count > kMaxFieldBytes) {
        throw RangeError("FieldToText: a field of " + std::to_string(count) + " bytes");
    }
    const auto* begin = reinterpret_cast<const char*>(bytes);
    const void* zero = count == 0 ? nullptr : std::memchr(begin, 0, count);
    const std::size_t length = zero ? static_cast<const char*>(zero) - begin : count;
    return std::string(begin, length);
}

void TextToField(std::uint8_t* destination, std::size_t capacity, std::string_view text,
                 std::size_t length) {
    if (length > capacity) {
        throw RangeError("TextToField: " + std::to_string(length) + " bytes into a field of " +
                         std::to_string(capacity));
    }
    if (length == 0) return;
    std::memset(destination, 0, length);
    std::size_t copied = text.size() < length ? text.size() : length;
    if (!IsCharBoundary(text, copied)) --copied;
    // An empty view may carry no data pointer at all, which memcpy must never be given.
    if (copied > 0) std::memcpy(destination, text.data(), copied);
}

bool IsCharBoundary(std::string_view text, std::size_t length) {
    std::size_t at = 0;
    while (at < length && at < text.size()) {
        at += IsSingleByte(static_cast<std::uint8_t>(text[at])) ? 1 : 2;
    }
    return at == length && at <= text.size();
}

bool IsLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<std::uint8_t>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<std::uint8_t>(text[end - 1]) <= 0x20) --end;
    return std::string(text.substr(begin, end - begin));
}

std::string RemoveSpaces(std::string_view text) {
    const std::string trimmed = Trim(text);
    return RemoveChars(trimmed, [](std::string_view c) { return c == " " || c == "　"_sj; });
}

std::string TrimFullWidth(std::string_view text) {
    const std::string trimmed = Trim(text);
    const std::string_view space = "　"_sj;
    std::size_t begin = 0;
    while (std::string_view(trimmed).substr(begin, 2) == space) begin += 2;
    // The end is found by walking characters from the start: "メ@" ends in the bytes 81 40
    // without ending in a full-width space.
    std::size_t end = begin;
    for (std::size_t at = begin; at < trimmed.size();) {
        const std::size_t length = CharLengthAt(trimmed, at);
        if (std::string_view(trimmed).substr(at, length) != space) end = at + length;
        at += length;
    }
    return trimmed.substr(begin, end - begin);
}

std::optional<int> FieldNumber(std::string_view text, std::size_t maxDigits) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string ZeroPad(long long number, int width) {
    if (width < 0 || width > 10) throw RangeError("ZeroPad: width " + std::to_string(width));
    std::string digits = std::to_string(number);
    const auto wanted = static_cast<std::size_t>(width);
    if (digits.size() < wanted) return std::string(wanted - digits.size(), '0') + digits;
    digits.resize(wanted);
    return digits;
}

std::string TimeText(std::uint32_t secondsOfMove, std::uint32_t totalSeconds) {
    char minutes[16];
    std::snprintf(minutes, sizeof minutes, "%2u:", secondsOfMove / 60);
    return "(" + std::string(minutes) + ZeroPad(secondsOfMove % 60, 2) + "/" +
           ZeroPad(totalSeconds / 3600, 2) + ":" + ZeroPad(totalSeconds % 3600 / 60, 2) + ":" +
           ZeroPad(totalSeconds % 60, 2) + ")";
}

std::string ExportMoveText(std::string_view moveText, int fromFile) {
    const std::string trimmed = Trim(moveText);
    std::string text = RemoveChars(trimmed, [](std::string_view c) {
        return c == "　"_sj || c == "右"_sj || c == "左"_sj || c == "直"_sj || c == "寄"_sj ||
               c == "上"_sj || c == "引"_sj || c == "行"_sj || c == "入"_sj;
    });
    text = ReplaceAll(text, "不成"_sj, "");
    if (std::string_view(text).substr(0, 2) == "同"_sj) text.insert(2, "　"_sj);
    text = ReplaceAll(text, "竜"_sj, "龍"_sj);
    if ((fromFile == 0 || fromFile > 9) && !ContainsChar(text, "打"_sj)) text += "打"_sj;
    return text;
}

std::string FirstRemovableDrive() { return FirstRemovableDrive("/"); }

std::string FirstRemovableDrive(const std::filesystem::path& systemRoot) {
    std::ifstream mounts(systemRoot / "proc" / "mounts");
    const std::filesystem::path sysBlock = systemRoot / "sys" / "block";
    std::string line;
    while (std::getline(mounts, line)) {
        const std::size_t deviceEnd = line.find(' ');
        if (deviceEnd == std::string::npos) continue;
        const std::size_t pointEnd = line.find(' ', deviceEnd + 1);
        const std::string device = UnescapeMountField(std::string_view(line).substr(0, deviceEnd));
        std::string point = UnescapeMountField(std::string_view(line).substr(
            deviceEnd + 1, pointEnd == std::string::npos ? std::string::npos : pointEnd - deviceEnd - 1));
        if (point.empty()) continue;
        bool removable = UnderFolder(point, "/media") || UnderFolder(point, "/run/media");
        if (!removable && device.rfind("/dev/", 0) == 0) {
            removable = IsRemovableDevice(sysBlock, device.substr(device.rfind('/') + 1));
        }
        if (removable) {
            if (point.back() != '/') point.push_back('/');
            return point;
        }
    }
    return {};
}

}  // namespace movra
