#pragma once
// CSA game records, as computer and online play writes them (version 2.2 and the older 2.1 and 1
// forms): "N+"/"N-" names, "$" header keys, the start position ("PI" with removed pieces, the
// rows "P1"-"P9", the piece lists "P+"/"P-"), moves "+7776FU", times "T12", comments "'*", the
// closing words ("%TORYO", "%TIME_UP", ...), and several games in one file separated by "/".
//
// A game is handed on as the coded text every reader makes, so it is stored as an imported KIF
// game is. The store keeps games from the even position or one of the handicap set-ups only: a
// game from any other position is refused with the reason.
#include <functional>
#include <string>
#include <string_view>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// Whether the lines look like a CSA record: a version line, a name, a "$" key, a position line
// or a move such as "+7776FU" before anything that is not CSA.
bool LooksLikeCsa(const TextLines& lines);

// The end character of a CSA closing word ("%TORYO" …), or endchar::kError for one that is not
// a closing word.
char CsaEndCharacter(std::string_view word);

// Reads every game of the file in turn into `game` and hands it to `take` together with the
// status of its reading (a refusal names why the game cannot be stored); `take` answers false to
// stop. Answers the number of games found.
int ReadCsaFile(const TextLines& lines, std::string_view now,
                const std::function<bool(ReadGame& game, const ReadStatus& status)>& take);
// The same, reading each game into the caller's `game`, so that a game of a file of one game
// can be kept after the call.
int ReadCsaFile(const TextLines& lines, std::string_view now, ReadGame& game,
                const std::function<bool(ReadGame& game, const ReadStatus& status)>& take);

// Whether the file separates games with a "/" line, so may hold more than one.
bool CsaHasSeveralGames(const TextLines& lines);

}  // namespace movra
