#include "core/diagram/bitmap_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>

namespace movra {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

}  // namespace

std::filesystem::path ProposedBitmapPath(const std::filesystem::path& folder, std::string_view base) {
    if (base != "BANT") return folder / (std::string(base) + ".bmp");
    std::set<std::string> names;  // the folder's names, read once
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.insert(Lower(it->path().filename().string()));
    }
    for (int n = 1; n <= 999; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "BANT%03d.bmp", n);
        if (!names.contains(Lower(name))) return folder / name;
    }
    return folder;
}

}  // namespace movra
