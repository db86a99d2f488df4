#pragma once
// The game record: the one game on the board with its moves, consumed times, comment links and
// position, plus five game slots for games entered side by side. An operation that changes the
// game for a while (study mode, the mate search, correcting a stored game) keeps a Snapshot of
// it and restores that.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/rules/move.h"
#include "core/rules/position.h"
#include "core/record/game_header.h"

namespace movra {

inline constexpr int kMaxMoves = 512;
inline constexpr int kSlotCount = 5;
// Append instead of filling an existing move record.
inline constexpr int kAppendMove = -1;

// Where a piece's picture stands on the screen; only the board display uses it.
struct ScreenPoint {
    std::int32_t left = 0;
    std::int32_t top = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// End codes: how a game ended; the same numbers are the result code of the store.
namespace endcode {
inline constexpr char kInterrupted = '0';  // 中断
inline constexpr char kSenteWins = '1';
inline constexpr char kGoteWins = '2';
inline constexpr char kRepetition = '3';   // 千日手
inline constexpr char kImpasse = '4';      // 持将棋
inline constexpr char kLaterSenteWins = '5';
inline constexpr char kLaterGoteWins = '6';
inline constexpr char kLaterRepetition = '7';
inline constexpr char kLaterImpasse = '8';
}  // namespace endcode

using MoveList = std::array<MoveRecord, kMaxMoves + 1>;
using PiecePlaces = std::array<ScreenPoint, kPieceCount + 1>;

struct SlotContents {
    std::int32_t recordNumber = 0;
    std::string label;
    GameHeader header;
};

class TKifData {
public:
    TKifData();

    // --- the game on the board -------------------------------------------------------------
    std::int16_t parityOffset = 0;
    std::int16_t moveCount = 0;
    std::int16_t currentMove = 0;
    char handicap = '0';
    char endCode = endcode::kInterrupted;
    std::uint8_t boardFlipped = 0;
    std::int32_t currentSlot = 0;
    // Index 0 holds no move; its comment fields carry the comment on the starting position, and
    // those of index moveCount + 1 the comment on the final position.
    MoveList moves{};
    BoardPosition position{};
    PiecePlaces places{};

    // --- operations ------------------------------------------------------------------------
    // Handicap from its number, end code "0", no moves shown. The move array is left as it is.
    void ResetHeader(int handicapNumber);
    void ClearMoves() { moves = MoveList{}; }

    void SetUpStandard() { movra::SetUpStandard(position, handicap); }
    void SetUpEmpty() { movra::SetUpEmpty(position); }
    void Rebuild() { movra::Rebuild(position); }

    // The side (1 sente, 2 gote) that makes move n of this game.
    int SideOf(int moveNumber) const { return SideToMove(moveNumber, parityOffset, handicap); }

    // Resolves a move code into move record `recordNumber` (1-512), or appends it with
    // kAppendMove. Returns the stored copy; nullopt when no piece can make the move (then nothing
    // is stored and the move count stays). Throws RangeError for a record number outside 1-512
    // or an append to a full record.
    std::optional<MoveRecord> ResolveMove(const MoveCode& code, int side, int recordNumber);
    // Applies move n to the position; returns the code the piece had before the move.
    PieceCode ApplyMove(int moveNumber);
    // Takes back move n, which must be the last one applied.
    void UndoMove(int moveNumber);

    // Appends a move at the end of the game and shows the position after it. Returns false (and
    // changes nothing) when the move cannot be resolved.
    bool AppendAndApply(const MoveCode& code);
    // Steps of the replay: forward applies move current + 1, back takes back move current. Both
    // return false at the ends. The current slot remembers the current move.
    bool StepForward();
    bool StepBack();
    // Steps until `moveNumber` (clamped to 0..moveCount) is shown.
    void GoToMove(int moveNumber);

    // A stored position text: 81 piece letters from character 33, 81 side characters from 114,
    // and the hand counts of both sides from 195 (see the position editor). Throws RangeError
    // for a text shorter than 210 characters.
    void LoadPositionText(std::string_view text);

    // --- game slots ------------------------------------------------------------------------
    int FindFreeSlot(int fallback) const;
    void SaveSlot(int slot, std::int32_t recordNumber, const std::string& label,
                  const GameHeader& header);
    SlotContents LoadSlot(int slot);
    bool SlotInUse(int slot) const;
    void SetSlotInUse(int slot, bool inUse);
    std::int16_t SlotCurrentMove(int slot) const;
    std::int32_t SlotRecordNumber(int slot) const { return SlotAt(slot).recordNumber; }
    // The store moved the slot's game to another record number (0: it is no longer stored).
    void SetSlotRecordNumber(int slot, std::int32_t recordNumber);
    const std::string& SlotLabel(int slot) const { return SlotAt(slot).label; }
    // Writes the current move into the current slot (a game put back as it was shown).
    void WriteCurrentMoveToSlot();

    // Everything equal: the game, the slots and how the game is looked at.
    friend bool operator==(const TKifData&, const TKifData&) = default;

    // --- snapshots --------------------------------------------------------------------------
    // The game on the board as it was when the snapshot was taken: moves (with their comment
    // links and consumed times), move count, current move, handicap, parity, end code, position
    // and piece places. The board's orientation and the chosen slot are how the game is looked
    // at, not part of it, and the slots are left alone.
    class Snapshot {
    public:
        std::int16_t moveCount() const { return moveCount_; }
        std::int16_t currentMove() const { return currentMove_; }
        const MoveList& moves() const { return moves_; }

    private:
        friend class TKifData;
        std::int16_t parityOffset_ = 0;
        std::int16_t moveCount_ = 0;
        std::int16_t currentMove_ = 0;
        char handicap_ = '0';
        char endCode_ = endcode::kInterrupted;
        MoveList moves_{};
        BoardPosition position_{};
        PiecePlaces places_{};
    };
    Snapshot TakeSnapshot() const;
    // Puts back everything the snapshot holds; the snapshot stays as it was.
    void Restore(const Snapshot& snapshot);

private:
    struct Slot {
        std::int32_t recordNumber = 0;
        std::int16_t parityOffset = 0;
        std::int16_t moveCount = 0;
        std::int16_t currentMove = 0;
        char endCode = endcode::kInterrupted;
        GameHeader header;
        std::uint8_t inUse = 0;
        MoveList moves{};
        PieceTable pieces{};
        PiecePlaces places{};
        std::string label;
        friend bool operator==(const Slot&, const Slot&) = default;
    };

    Slot& SlotAt(int slot);
    const Slot& SlotAt(int slot) const;
    void CheckMoveNumber(int moveNumber) const;

    std::array<Slot, kSlotCount> slots_{};
};

}  // namespace movra
