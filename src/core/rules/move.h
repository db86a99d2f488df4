#pragma once
// Moves: the five-character move code, the move record, the movement check, promotion, and
// applying a move to a position and taking it back.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/rules/position.h"

namespace movra {

// A move as five characters: from-file, from-rank, to-file, to-rank, then "+" for a promotion or
// a blank. A drop has from-file "0" and the dropped piece's kind as from-rank.
struct MoveCode {
    std::array<char, 5> text{'0', '0', '0', '0', ' '};

    // Reads "7776", "7776 " or "2822+"; nullopt for anything else (digits out of range, a drop
    // of kind 0 or above 8, a bad fifth character).
    static std::optional<MoveCode> Parse(std::string_view s);

    int fromFile() const { return text[0] - '0'; }
    int fromRank() const { return text[1] - '0'; }
    int toFile() const { return text[2] - '0'; }
    int toRank() const { return text[3] - '0'; }
    bool promotes() const { return text[4] == '+'; }
    bool isDrop() const { return text[0] == '0'; }
    std::string_view view() const { return {text.data(), text.size()}; }
    std::string str() const { return std::string(view()); }
    friend bool operator==(const MoveCode&, const MoveCode&) = default;
};

// One move of a game (20 bytes). The first eight bytes belong to the rules; the comment links and
// the consumed time are the game record's.
struct MoveRecord {
    std::uint8_t fromFile = 0;        // 0 for a drop
    std::uint8_t fromRank = 0;        // the piece kind for a drop
    std::uint8_t toFile = 0;
    std::uint8_t toRank = 0;
    std::uint8_t piece = 0;           // index of the moving piece in the piece table, 1-40
    std::uint8_t promotes = 0;        // 1 when the move promotes
    std::uint8_t capturedPiece = 0;   // index of the captured piece, 0 = none
    std::uint8_t capturedCode = 0;    // its code before the capture
    std::uint8_t workingComment = 0;  // comment number in the working comment file, 0 = none
    std::uint8_t commentFile = 0;     // comment file 0-15 of the stored comment
    std::uint16_t commentRecord = 0;  // record in that file, 0 = no comment
    std::uint16_t consumedTime = 0;   // seconds
    std::uint8_t codeLength = 0;      // the move code as a short string: length, then characters
    std::array<char, 5> code{};

    bool isDrop() const { return fromFile == 0 || fromFile == 10; }
    MoveCode moveCode() const;
    void setMoveCode(const MoveCode& c);
    friend bool operator==(const MoveRecord&, const MoveRecord&) = default;
};
static_assert(sizeof(MoveRecord) == 20, "a move record is 20 bytes");

// The question asked when a move breaks the movement rules; returns true to enter it anyway.
using ConfirmIllegalMove = std::function<bool(const std::string& question)>;

// The question's text (CP932): "反則手です！\rこのまま入力しますか？".
std::string IllegalMoveQuestion();

// The movement check of move entry. from.file 0 or 10 marks a drop (from.rank is then the kind).
// Only movement, dead-end drops and doubled pawns are checked: not check, mate or repetition.
bool CheckMove(Square from, Square to, PieceCode code, const Board& board,
               const ConfirmIllegalMove& confirm);

enum class Promotion { None = 0, Forced = 1, Optional = 2 };
Promotion PromotionOption(PieceCode code, Square from, Square to);

// from.file 10 (gote's hand) is written as 0; promotionChar is '+' or ' '.
MoveCode MakeMoveCode(Square from, Square to, char promotionChar);

// Fills `record` from the move code (its comment and time bytes stay as they were): finds the
// moving piece (for a drop the highest-numbered one of that kind in the mover's hand) and the
// piece on the destination. Returns false, with the capture bytes cleared, when no piece can
// make the move; the move must then not be applied.
bool ResolveMove(const BoardPosition& position, const MoveCode& code, int side, MoveRecord& record);

// Applies a resolved move and returns the code the moving piece had before it. The board is
// updated; the hands are brought up to date by the next Rebuild.
PieceCode ApplyMove(BoardPosition& position, const MoveRecord& move);
// Takes back the last applied move; side is the side that made it. Ends with a Rebuild.
void UndoMove(BoardPosition& position, const MoveRecord& move, int side);

}  // namespace movra
