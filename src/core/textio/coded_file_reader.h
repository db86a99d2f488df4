#pragma once
// The system's own coded game text as a file of many games (flavour 5): each game begins at a
// "#:" line and runs to the next "#:" or "##" line.
#include <functional>
#include <string_view>

#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// Calls `take` for each game of the file in turn, with its header values read into game.fields
// and its lines in game.coded. The dates of a game without "N:" or "U:" lines stay as the game
// before left them (the first game starts from `now` and no end date). `take` answers false to
// stop. Answers the number of games found.
int ReadCodedFile(const TextLines& lines, std::string_view now,
                  const std::function<bool(ReadGame& game)>& take);

}  // namespace movra
