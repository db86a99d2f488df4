#pragma once
// Errors raised when an operation would read or write outside one of the fixed tables of the
// rules, the game record or the text helpers. The operation is abandoned; nothing outside the
// table has been touched.
#include <stdexcept>
#include <string>

namespace movra {

class RangeError : public std::out_of_range {
public:
    explicit RangeError(const std::string& what) : std::out_of_range(what) {}
};

// A piece table whose contents cannot be turned into a board and hands (a hand kind above 8,
// a count above 255, a square outside the board).
class CorruptPosition : public RangeError {
public:
    explicit CorruptPosition(const std::string& what) : RangeError(what) {}
};

}  // namespace movra
