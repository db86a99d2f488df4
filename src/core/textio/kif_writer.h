#pragma once
// The Kakinoki KIF file of a game: the "Kifu for Windows95" header, one move a line with the
// square the piece came from and the consumed time, comments on "*" lines, the end line and the
// closing sentence. Other shogi programs read these files, so the layout is Kakinoki's to the
// byte.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/textio/export_game.h"

namespace movra {

// "# ----  Kifu for Windows95 V3.47 棋譜ファイル  ----"
std::string KakinokiFirstLine();

// "( 0:05/00:00:05)": the move's minutes ("%2d") and seconds, then the side's running total as
// hours, minutes and seconds of two digits each. A total of 100 hours or more keeps all its
// hour digits: cut to two, the total would be wrong.
std::string KifTimeField(std::uint32_t secondsOfMove, std::uint32_t totalSeconds);

// The part of a move line before its time: "%4d " + text, padded with blanks (or cut, never
// inside a character) to 18 bytes.
std::string KifMoveField(int number, std::string_view text);

// The move as a Kakinoki file writes it, from bytes 8 to 21 of its move-list line: without
// relative words and 不成, "同　" with its full-width blank, 龍 for 竜, 打 on a drop, and for a
// move on the board "(" + file + rank + ")" of the square it came from: "同　銀(31)".
std::string KifMoveText(std::string_view moveListLine, const MoveRecord& move);

// The file's lines. `pathText` is the full path of the file (CP932) for its "# ファイル名："
// line. A game whose handicap has no Kakinoki name (裸玉, 歩三兵, the two 九枚落ち) gets
// "手合割：その他" and a board diagram of its starting position, which every Kakinoki reader
// starts the game from. A game without a result ends after its last move unless it has a
// closing comment or closing time: those go with a 中断 end line, as they would be lost
// otherwise. The closing sentence of a game that went on beyond its record (results 5 to 8)
// names the outcome without 以下 ("まで64手で先手の勝ち"), which Kakinoki readers refuse.
std::vector<std::string> KakinokiLines(const ExportGame& game, std::string_view pathText);

// Creates or replaces the file at `path` with KakinokiLines (CP932, CR LF),
// naming the file by its absolute path. An empty text on success, else the reason.
std::string WriteKakinokiFile(const ExportGame& game, const std::filesystem::path& path);

}  // namespace movra
