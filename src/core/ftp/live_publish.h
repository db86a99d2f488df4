#pragma once
// The question live publishing asks after each move entered while automatic transfer is on: the
// move-list line selected (or the starting position) and whether to send the game.
#include <optional>
#include <string>

namespace movra {

// "開始盤面です。" when no line is selected, else the line + " です。" with the move number and
// comment mark (its first five bytes) removed when its fifth byte is a blank, so that a move line
// reads from its side mark; then two line breaks and "送信しますか？". CP932.
std::string LivePublishQuestion(const std::optional<std::string>& selectedLine);

}  // namespace movra
