#include "core/list/position_matcher.h"

#include <algorithm>
#include <cstring>

#include "core/rules/move.h"
#include "core/rules/piece.h"
#include "core/text/range_error.h"

namespace movra {
namespace {

constexpr std::uint64_t kGuardBits = 0x8080808080808080ull;
constexpr int kSquares = 81;
constexpr int kFirstRecordSlots = kSlotsPerRecord;

// Every hand count (at most 40 pieces of a set) stays below 128, so a guard bit per byte lets one
// subtraction compare all eight kinds: no byte borrows from its guard unless have < want there.
constexpr bool HandsAtLeast(std::uint64_t have, std::uint64_t want) {
    return (((have | kGuardBits) - want) & kGuardBits) == kGuardBits;
}

std::uint64_t PackHand(const HandCounts& hand) {
    std::uint64_t packed = 0;
    for (int k = 1; k <= 8; ++k) {
        const std::uint64_t count = std::min<std::uint64_t>(hand[std::size_t(k)], 127);
        packed |= count << (8 * (k - 1));
    }
    return packed;
}

constexpr PieceCode ReversedCode(PieceCode c) {
    return c < 15 ? PieceCode(c + piece::kGoteOffset) : PieceCode(c - piece::kGoteOffset);
}

// Per piece code (0-31): the kind a captured piece adds to the hand, and whether it may promote.
struct CodeTables {
    std::array<std::uint64_t, 32> handUnit{};  // one piece of the code's kind, packed
    std::array<bool, 32> promotable{};
    std::array<std::uint8_t, 9> codeOfKind{};  // sente's unpromoted code of a kind
    CodeTables() {
        for (int k = 1; k <= 8; ++k) codeOfKind[std::size_t(k)] = CodeOfKind(PieceKind(k));
        for (int c = 1; c <= piece::kLastCode; ++c) {
            handUnit[std::size_t(c)] = std::uint64_t(1) << (8 * (KindOf(PieceCode(c)) - 1));
            promotable[std::size_t(c)] = IsPromotable(PieceCode(c));
        }
    }
};
const CodeTables& Tables() {
    static const CodeTables tables;
    return tables;
}

// The kind a drop number names in a packed hand: the hand is listed 飛 角 金 銀 桂 香 歩, each kind
// as often as it is held, and n (1-based) is the place of the first piece of the dropped kind.
// 0 when n lies past the end of the list.
inline int DroppedKind(std::uint64_t hand, int n) {
    // Bytes 1-7 of the byte-reversed hand (king left out) are the counts of 飛 down to 歩;
    // multiplying by 0x0101… sums them from the top, so byte j holds how many pieces come before
    // the kind after it. Each sum is at most 40, far from a carry into the next byte.
    const std::uint64_t listed = __builtin_bswap64(hand & 0x00FFFFFFFFFFFFFFull) * 0x0101010101010101ull;
    if (n > int(listed >> 56)) return 0;
    // Count the sums below n: byte j is below n exactly when (n − 1) − byte keeps its guard bit.
    const std::uint64_t below =
        ((std::uint64_t(n - 1) * 0x0101010101010101ull | kGuardBits) - listed) & kGuardBits;
    // The sums never fall, so the bytes below n come first; adding up their guard bits counts
    // the kinds passed over.
    const int passed = int((((below & ~0xFFull) >> 7) * 0x0101010101010101ull) >> 56);
    return 7 - passed;
}

}  // namespace

PositionMatcher::PositionMatcher(const SearchPattern& pattern, PositionMode mode, int depth)
    : source_(pattern), mode_(mode), depth_(std::clamp(depth, 0, kMaxSlots)) {
    std::array<std::uint8_t, kBoardSize> same{}, reversed{};  // by store square code
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode c = pattern.board[std::size_t(BoardIndex(file, rank))];
            if (c == 0) continue;
            const int s = SquareCode(file, rank);
            same[std::size_t(s)] = c;
            // Turning the board round maps square 82 − s onto s in either numbering.
            if (mode == PositionMode::SameOrReversed) {
                reversed[std::size_t(kBoardSize - s)] = ReversedCode(c);
            }
        }
    }
    for (int s = 1; s <= kSquares; ++s) {
        for (int code = 0; code < 32; ++code) {
            const std::uint8_t p = same[std::size_t(s)];
            const std::uint8_t r = reversed[std::size_t(s)];
            cost_[std::size_t(s)][std::size_t(code)] =
                std::uint16_t((p != 0 && code != p ? 1 : 0) + (r != 0 && code != r ? 256 : 0));
        }
    }
    patternSente_ = PackHand(pattern.senteHand);
    patternGote_ = PackHand(pattern.goteHand);

    for (int h = 0; h < kHandicapCount; ++h) {
        SlotScratch scratch;
        scratch.SetUp(h);
        Start& st = starts_[std::size_t(h)];
        st.board = scratch.board;
        st.senteHand = PackHand(scratch.hands[0]);
        st.goteHand = PackHand(scratch.hands[1]);
        st.disagreement = mode == PositionMode::SameOrReversed ? 0 : 256;
        for (int s = 1; s <= kSquares; ++s) {
            st.disagreement += cost_[std::size_t(s)][st.board[std::size_t(s)]];
        }
    }
}

bool PositionMatcher::HandsMatch(std::uint32_t disagreement, std::uint64_t senteHand,
                                 std::uint64_t goteHand) const {
    return ((disagreement & 0xFF) == 0 && HandsAtLeast(senteHand, patternSente_) &&
            HandsAtLeast(goteHand, patternGote_)) ||
           ((disagreement >> 8) == 0 && HandsAtLeast(senteHand, patternGote_) &&
            HandsAtLeast(goteHand, patternSente_));
}

int PositionMatcher::Scan(const std::uint8_t* slots, const std::uint8_t* overflowSlots,
                          int handicapNumber) const {
    if (handicapNumber < 0 || handicapNumber >= kHandicapCount) {
        return ScanByRules(slots, overflowSlots, handicapNumber);
    }
    const CodeTables& t = Tables();
    const Start& st = starts_[std::size_t(handicapNumber)];
    std::uint8_t board[kBoardSize];
    std::memcpy(board, st.board.data(), kBoardSize);
    std::uint32_t disagreement = st.disagreement;
    const int first = FirstMoveSlot(handicapNumber);
    // The hands of the side to move and of the other side, exchanged after every move.
    std::uint64_t mover = first == 1 ? st.senteHand : st.goteHand;
    std::uint64_t other = first == 1 ? st.goteHand : st.senteHand;
    // The code a dropped kind gets: sente's for odd slots, gote's for even ones.
    std::uint8_t dropOffset = first == 1 ? 0 : piece::kGoteOffset;
    bool moverIsGote = first != 1;

    const auto matchesNow = [&](bool sideToMoveIsGote) {
        // After a move the mover and the other side have been exchanged.
        return sideToMoveIsGote ? HandsMatch(disagreement, other, mover)
                                : HandsMatch(disagreement, mover, other);
    };
    if (((disagreement & 0xFF) == 0 || (disagreement >> 8) == 0) && matchesNow(moverIsGote)) {
        return first - 1;
    }
    const int last = std::min(depth_, kMaxSlots);

    for (int slot = first; slot <= last; ++slot) {
        const std::uint8_t* b;
        if (slot <= kFirstRecordSlots) {
            b = slots + 2 * (slot - 1);
        } else if (overflowSlots != nullptr) {
            b = overflowSlots + 2 * (slot - 1 - kFirstRecordSlots);
        } else {
            return -1;  // no slots past 256
        }
        unsigned destination = b[0];
        const unsigned origin = b[1];
        if (destination == 0) return -1;  // the moves end here
        const bool promotes = destination > unsigned(kPromotionAdd);
        if (promotes) destination -= kPromotionAdd;
        if (destination - 1 >= unsigned(kSquares)) return -1;  // bytes that are no move

        if (origin - 1 < unsigned(kSquares)) {
            if (origin == destination) return -1;
            const std::uint8_t piece = board[origin];
            if (piece == 0) return -1;  // no piece to move: loading stops before this move
            std::uint8_t moved = piece;
            if (promotes) {
                if (!t.promotable[piece]) return ScanByRules(slots, overflowSlots, handicapNumber);
                ++moved;
            }
            const std::uint8_t taken = board[destination];
            // The rules give a taken piece to the side of the other colour, the stored moves to
            // the mover: they differ only when the taken piece is the mover's own.
            if ((taken != 0) & ((taken > piece::kGoteOffset) == moverIsGote)) {
                return ScanByRules(slots, overflowSlots, handicapNumber);
            }
            mover += t.handUnit[taken];  // nothing for an empty square
            const auto& from = cost_[origin];
            const auto& to = cost_[destination];
            disagreement += std::uint32_t(from[0]) - from[piece] + to[moved] - to[taken];
            board[origin] = 0;
            board[destination] = moved;
        } else {
            if (origin <= unsigned(kDropOriginBase) || promotes) return -1;
            if (board[destination] != 0) return -1;
            const int kind = DroppedKind(mover, int(origin - kDropOriginBase));
            if (kind == 0) return -1;
            mover -= std::uint64_t(1) << (8 * (kind - 1));
            const std::uint8_t dropped = std::uint8_t(t.codeOfKind[std::size_t(kind)] + dropOffset);
            const auto& to = cost_[destination];
            disagreement += std::uint32_t(to[dropped]) - to[0];
            board[destination] = dropped;
        }
        std::swap(mover, other);
        moverIsGote = !moverIsGote;
        dropOffset = std::uint8_t(piece::kGoteOffset - dropOffset);
        if (((disagreement & 0xFF) == 0 || (disagreement >> 8) == 0) && matchesNow(moverIsGote)) {
            return slot;
        }
    }
    return -1;
}

int PositionMatcher::ScanByRules(const std::uint8_t* slots, const std::uint8_t* overflowSlots,
                                 int handicapNumber) const {
    MoveBytes moves;
    std::memcpy(moves.firstRecord(), slots, kGameDataRecordSize);
    if (overflowSlots != nullptr) std::memcpy(moves.overflowRecord(), overflowSlots, kGameDataRecordSize);

    const char handicapChar = HandicapChar(handicapNumber);
    BoardPosition position;
    SetUpStandard(position, handicapChar);
    const int first = FirstMoveSlot(handicapNumber);
    if (Matches(position.board, position.senteHand, position.goteHand)) return first - 1;

    const int last = std::min(depth_, kMaxSlots);
    std::array<MoveCode, kMaxSlots> codes;
    bool damaged = false;
    const int decoded = DecodeMoveBytes(moves, handicapNumber, last - first + 1, codes, damaged);
    for (int n = 1; n <= decoded; ++n) {
        MoveRecord move;
        if (!ResolveMove(position, codes[std::size_t(n - 1)], SideToMove(n, 0, handicapChar), move)) {
            return -1;
        }
        try {
            ApplyMove(position, move);
            Rebuild(position);
        } catch (const RangeError&) {
            return -1;
        }
        if (Matches(position.board, position.senteHand, position.goteHand)) return n + first - 1;
    }
    return -1;
}

bool PositionMatcher::Matches(const Board& board, const HandCounts& senteHand,
                              const HandCounts& goteHand) const {
    const std::uint64_t sente = PackHand(senteHand);
    const std::uint64_t gote = PackHand(goteHand);
    bool same = HandsAtLeast(sente, patternSente_) && HandsAtLeast(gote, patternGote_);
    for (int s = 1; same && s < kBoardSize; ++s) {
        const PieceCode p = source_.board[std::size_t(s)];
        if (p != 0 && board[std::size_t(s)] != p) same = false;
    }
    if (same || mode_ != PositionMode::SameOrReversed) return same;
    if (!HandsAtLeast(sente, patternGote_) || !HandsAtLeast(gote, patternSente_)) return false;
    for (int s = 1; s < kBoardSize; ++s) {
        const PieceCode p = source_.board[std::size_t(s)];
        if (p != 0 && board[std::size_t(kBoardSize - s)] != ReversedCode(p)) return false;
    }
    return true;
}

}  // namespace movra
