#pragma once
// Reading a move aloud: the words of a move-list line and of the closing line, as the sound
// queue's text of voice files ("sente.wav;76.wav;fu.wav;"). Lines and words are CP932.
#include <string>
#include <string_view>

namespace movra {

// The words of a move: `line` is the move's line of the visible list from its side mark on
// ("▲７六歩", "△同　角成", "▲５五金左上"); `handicap` the record's handicap character ('0' for an
// even game, where the sides are 先手 and 後手 rather than 下手 and 上手).
std::string SpeakMove(std::string_view line, char handicap);

// The words of the closing line ("95手まで先手勝ち"); `endCode` the record's end code, where '0' or a
// blank marks an interrupted game.
std::string SpeakClosing(std::string_view line, char endCode);

}  // namespace movra
