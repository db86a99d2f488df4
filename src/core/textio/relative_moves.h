#pragma once
// Moves written the way they are read aloud (KI2 and Morita): destination, piece and, where
// several pieces could go there, a relative word ("▲５八金右", "△同　銀上"). The reader keeps
// its own copy of the position and finds each move's starting square on it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/move.h"
#include "core/rules/position.h"
#include "core/textio/coded_game.h"
#include "core/textio/text_lines.h"

namespace movra {

// Splits a line into move tokens: "▲７六歩　△３四歩" and "▲７六歩△３四歩" both give two,
// "同　歩" stays one. Tokens shorter than four bytes or not starting with a mark or with
// "１".."９" or "同" are dropped.
void ScanMoveTokens(std::string_view line, std::vector<std::string_view>& tokens);

// Mark characters a move token may begin with: ▲ △ ▼ ▽, the two user-defined marks EB A7 and
// EB A5 of Morita files, and ・.
bool StartsWithMark(std::string_view text);

class RelativeMoveReader {
public:
    // `start` is the starting position of the handicap whose character is given.
    RelativeMoveReader(const BoardPosition& start, char handicap);

    enum class Kind { Move, End, Error };
    struct Result {
        Kind kind = Kind::Error;
        std::string code;        // the move code, for Kind::Move
        char endCharacter = ' ';  // for Kind::End
        std::string error;       // "This kifu made a mistake at N move.", for Kind::Error
    };

    // Resolves one token against the reader position and, for a move, applies it there.
    Result Resolve(std::string_view token);

    int moveCount() const { return moveCount_; }
    // The side (1 sente, 2 gote) that makes the next move.
    int SideToMove() const;
    const BoardPosition& position() const { return position_; }

private:
    Result Error() const;
    bool LeavesKingInCheck(int fromFile, int fromRank, int toFile, int toRank, int side) const;

    BoardPosition position_;
    char handicap_;
    int moveCount_ = 0;
    std::string previousCode_;
    ConfirmIllegalMove refuse_;
};

enum class RelativeFlavour { Ki2, Morita };

// Reads the moves from line `first` to the end (or to the end line) into game.coded ("K:" lines,
// "C:" after the header lines that end at `endLinePosition`, "##"), with comments and, for
// Morita, consumed times. Refused with the reader's error when a move cannot be resolved.
ReadStatus ReadRelativeMoves(const TextLines& lines, std::size_t first, RelativeFlavour flavour,
                             const BoardPosition& start, std::size_t endLinePosition,
                             ReadGame& game);

}  // namespace movra
