#pragma once
// The small pages for mobile phones: a page of the current move and two lists of every move
// (ascending and descending), filled from the user's templates by a filler of four-character
// placeholders that the position-collection window uses as well.
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/notation.h"

namespace movra {

// What the caller gives the filler; every text may be empty.
struct MobilePageValues {
    const TKifData* record = nullptr;    // the game: its closing line and move lines
    const BoardPosition* position = nullptr;  // the hands shown
    std::vector<std::string> moveLines;  // the move-list lines of moves 1..n
    std::string fileName, title, hint;
    std::string senteName, goteName;
    std::string currentMove;             // for %SAS
    int width = 94;
    int height = 84;
    HandTextOptions handText;
};

// Move k's line of the move lists: bytes 1-3 and 6-19 of its move-list line, the minutes
// ("%3d") when 60 <= t < 59940 seconds, then "<BR>".
std::string MobileMoveLine(std::string_view moveListLine, std::uint16_t seconds);
// "2手目<BR>△８四歩<BR>" for the current move m >= 1; empty at the starting position.
std::string MobileCurrentMoveText(int currentMove, std::string_view moveListLine);

// Fills the template lines (see the placeholder table of the mobile pages): each placeholder
// with a non-empty value replaces its first occurrence; "%KIF" and "%KF2" also collect the move
// lines, inserted before the last line that held one of them.
std::vector<std::string> FillMobilePage(const std::vector<std::string>& templateLines,
                                        const MobilePageValues& values);

}  // namespace movra
