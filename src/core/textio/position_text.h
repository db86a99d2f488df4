#pragma once
// The position on the board as a text diagram: the standard form (a 9 × 9 grid of three-byte
// cells in the manner of Kakinoki diagrams, the hands written out below it) and the gaiji form
// (a framed diagram in the characters of the system's own user-defined font, the hands in
// columns beside the board).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"
#include "core/rules/position.h"

namespace movra {

// The texts around the board.
struct PositionTextHeader {
    std::string senteLine;       // "先手：" + name (or "下手：" + name)
    std::string goteLine;        // "後手：" + name (or "上手：" + name)
    std::string senteHandTitle;  // "先手持駒：" (or "下手持駒：")
    std::string goteHandTitle;   // "後手持駒：" (or "上手持駒：")
    std::string moveLine;        // "手数=" + n + " まで"
    std::string sideText;        // "先手番", "後手番", ... or empty
};

// The game view after move n: the names, the hand titles and the side to move of a handicap
// game say 下手 and 上手; the side text is the side that makes move n + 1.
PositionTextHeader GameViewHeader(char handicap, int parityOffset, int shownMove,
                                  std::string_view senteName, std::string_view goteName);
// Any other screen (position editing): no names, move 0, the side text as the command supplies
// it (EditingFileSideText for a file, the answer of AskEditingSide for the clipboard).
PositionTextHeader EditingHeader(std::string_view sideText);
// "先手（下手）番": the side text of a position written to a file while it is being edited.
std::string EditingFileSideText();
// The clipboard's question while a position is edited: Yes "先手番", No "後手番", Cancel nullopt.
std::string EditingSideQuestion();
std::optional<std::string> AskEditingSide(Prompter& prompter);

// A count of pieces in hand in kanji: nothing for 1 (or less), 二 … 十, 十一 … 十八.
std::string KanjiCount(int count);

// The three-byte cell of a piece code in the standard form: " ・" for an empty square, " 歩" for
// sente's pawn, "v歩" for gote's, promoted lance, knight and silver as 杏 圭 全. A code above 28
// is written as an empty square.
std::string StandardCell(PieceCode code);

// The standard form: the two name lines, nine rows ("|" and nine cells, rank 1 first, file 9 at
// the left), sente's and gote's hand lines, the move line and the side text. The board and hands
// are rebuilt from the piece table first.
std::vector<std::string> StandardPositionLines(const BoardPosition& position,
                                               const PositionTextHeader& header);
// The gaiji form: the two name lines, the top border, nine rows (gote's hand column, nine
// squares, the rank label, sente's hand column), the move line and the side text.
std::vector<std::string> GaijiPositionLines(const BoardPosition& position,
                                            const PositionTextHeader& header);

// What a position file receives: three empty lines, then the diagram.
std::vector<std::string> PositionFileLines(const std::vector<std::string>& diagram);

}  // namespace movra
