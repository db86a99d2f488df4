#pragma once
// Record numbers on the command line: "12" or a range "3-40", at most a million at once.
#include <cstdlib>
#include <string>
#include <vector>

namespace movra::cli {

// A whole positive number and nothing else.
inline bool ParsePositive(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && value > 0;
}

// "12" or "3-40" appended to the list; false for anything else.
template <typename Number>
bool AddGameNumbers(const std::string& arg, std::vector<Number>& games) {
    const std::size_t dash = arg.find('-');
    long first = 0, last = 0;
    if (dash == std::string::npos) {
        if (!ParsePositive(arg, first)) return false;
        last = first;
    } else if (!ParsePositive(arg.substr(0, dash), first) || !ParsePositive(arg.substr(dash + 1), last) ||
               last < first || last - first >= 1000000) {
        return false;
    }
    for (long k = first; k <= last; ++k) games.push_back(Number(k));
    return true;
}

}  // namespace movra::cli
