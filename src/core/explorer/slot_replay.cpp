#include "core/explorer/slot_replay.h"

#include "core/rules/piece.h"
#include "core/store/layout.h"

namespace movra {
namespace {

constexpr int kSquares = 81;
// The order the stored drop numbers list a hand: 飛 角 金 銀 桂 香 歩.
constexpr std::array<int, 7> kDropOrder{kind::Hi, kind::Kaku, kind::Kin, kind::Gin,
                                         kind::Kei, kind::Kyo, kind::Fu};
constexpr char kUsiDropLetter[9] = {'?', 'P', 'L', 'N', 'S', 'G', 'B', 'R', 'K'};

}  // namespace

MoveCode MoveKeyToCode(MoveKey key) {
    MoveCode code;
    const int to = key & 0x7F;
    const int from = key >> 8;
    if (to < 1 || to > kSquares) return code;
    if (from > kDropOriginBase) {
        code.text[0] = '0';
        code.text[1] = char('0' + (from - kDropOriginBase));
    } else {
        code.text[0] = char('0' + FileOfSquareCode(from));
        code.text[1] = char('0' + RankOfSquareCode(from));
    }
    code.text[2] = char('0' + FileOfSquareCode(to));
    code.text[3] = char('0' + RankOfSquareCode(to));
    code.text[4] = (key & 0x80) != 0 ? '+' : ' ';
    return code;
}

std::string MoveKeyToUsi(MoveKey key) {
    const int to = key & 0x7F;
    const int from = key >> 8;
    if (to < 1 || to > kSquares || from == 0) return {};
    std::string usi;
    const auto square = [&usi](int code) {
        usi += char('0' + FileOfSquareCode(code));
        usi += char('a' + RankOfSquareCode(code) - 1);
    };
    if (from > kDropOriginBase) {
        const int k = from - kDropOriginBase;
        usi += k >= 1 && k <= 8 ? kUsiDropLetter[k] : '?';
        usi += '*';
    } else {
        square(from);
    }
    square(to);
    if ((key & 0x80) != 0) usi += '+';
    return usi;
}

MoveKey MoveKeyOf(const MoveCode& code) {
    const int toFile = code.toFile(), toRank = code.toRank();
    if (!IsBoardSquare(toFile, toRank)) return 0;
    int from = 0;
    if (code.isDrop()) {
        if (code.fromRank() < 1 || code.fromRank() > 8) return 0;
        from = kDropOriginBase + code.fromRank();
    } else {
        if (!IsBoardSquare(code.fromFile(), code.fromRank())) return 0;
        from = SquareCode(code.fromFile(), code.fromRank());
    }
    return MoveKey(SquareCode(toFile, toRank) | (code.promotes() ? 0x80 : 0) | (from << 8));
}

bool SlotReplay::Start(int handicapNumber, bool keyed) {
    keyed_ = keyed;
    if (handicapNumber < 0 || handicapNumber >= kHandicapCount) return false;
    SlotScratch scratch;
    scratch.SetUp(handicapNumber);
    ExplorerPosition p;
    for (std::size_t s = 1; s < kBoardSize; ++s) p.squares[s] = scratch.board[s];
    p.senteHand = scratch.hands[0];
    p.goteHand = scratch.hands[1];
    p.sideToMove = FirstMoveSlot(handicapNumber) == 1 ? side::kSente : side::kGote;
    squares_ = p.squares;
    hands_[0] = p.senteHand;
    hands_[1] = p.goteHand;
    sideToMove_ = p.sideToMove;
    key_ = PositionKey(p);
    return true;
}

bool SlotReplay::Apply(std::uint8_t destinationByte, std::uint8_t originByte, MoveKey& key,
                       std::array<std::uint8_t, 2>& changed) {
    const ZobristKeys& z = Zobrist();
    unsigned destination = destinationByte;
    const unsigned origin = originByte;
    if (destination == 0) return false;
    const bool promotes = destination > unsigned(kPromotionAdd);
    if (promotes) destination -= kPromotionAdd;
    if (destination - 1 >= unsigned(kSquares)) return false;
    const std::size_t me = std::size_t(sideToMove_ - 1);
    const bool gote = sideToMove_ == side::kGote;

    if (origin - 1 < unsigned(kSquares)) {
        if (origin == destination) return false;
        const std::uint8_t piece = squares_[origin];
        if (piece == 0 || IsGote(piece) != gote) return false;
        std::uint8_t moved = piece;
        if (promotes) {
            if (!IsPromotable(piece)) return false;
            ++moved;
        }
        const std::uint8_t taken = squares_[destination];
        if (taken != 0 && IsGote(taken) == gote) return false;
        if (taken != 0) {
            const std::size_t k = KindOf(taken);
            std::uint8_t& count = hands_[me][k];
            if (count >= 63) return false;
            if (keyed_) key_ ^= z.hand[me][k][count] ^ z.hand[me][k][count + 1];
            ++count;
        }
        if (keyed_) key_ ^= z.square[origin][piece] ^ z.square[destination][taken] ^ z.square[destination][moved];
        squares_[origin] = 0;
        squares_[destination] = moved;
        key = MoveKey(destination | (promotes ? 0x80 : 0) | (origin << 8));
        changed = {std::uint8_t(origin), std::uint8_t(destination)};
    } else {
        if (origin <= unsigned(kDropOriginBase) || promotes) return false;
        if (squares_[destination] != 0) return false;
        // The n-th piece of the hand listed 飛 角 金 銀 桂 香 歩, each kind as often as held.
        int n = int(origin) - kDropOriginBase;
        int dropped = 0;
        for (int k : kDropOrder) {
            const int held = hands_[me][std::size_t(k)];
            if (n <= held) {
                dropped = k;
                break;
            }
            n -= held;
        }
        if (dropped == 0) return false;
        std::uint8_t& count = hands_[me][std::size_t(dropped)];
        if (keyed_) key_ ^= z.hand[me][std::size_t(dropped)][count] ^ z.hand[me][std::size_t(dropped)][count - 1];
        --count;
        const std::uint8_t code = std::uint8_t(CodeOfKind(PieceKind(dropped)) + (gote ? piece::kGoteOffset : 0));
        if (keyed_) key_ ^= z.square[destination][code];
        squares_[destination] = code;
        key = MoveKey(destination | ((kDropOriginBase + dropped) << 8));
        changed = {std::uint8_t(destination), 0};
    }
    sideToMove_ = side::Opponent(sideToMove_);
    if (keyed_) key_ ^= z.goteToMove;
    return true;
}

bool SlotReplay::ApplyKey(MoveKey key) {
    const int to = key & 0x7F;
    const int from = key >> 8;
    std::uint8_t destination = std::uint8_t(to + ((key & 0x80) != 0 ? kPromotionAdd : 0));
    std::uint8_t origin = std::uint8_t(from);
    if (from > kDropOriginBase) {
        // The drop number: the place of the first piece of the kind in the listed hand.
        const std::size_t me = std::size_t(sideToMove_ - 1);
        const int dropped = from - kDropOriginBase;
        if (dropped < 1 || dropped > 7 || hands_[me][std::size_t(dropped)] == 0) return false;
        int n = 1;
        for (int k : kDropOrder) {
            if (k == dropped) break;
            n += hands_[me][std::size_t(k)];
        }
        if (n > 255 - kDropOriginBase) return false;
        origin = std::uint8_t(kDropOriginBase + n);
    }
    MoveKey applied = 0;
    std::array<std::uint8_t, 2> changed{};
    return Apply(destination, origin, applied, changed) && applied == key;
}

bool SlotReplay::Equals(const ExplorerPosition& p) const {
    return sideToMove_ == p.sideToMove && squares_ == p.squares && hands_[0] == p.senteHand &&
           hands_[1] == p.goteHand;
}

}  // namespace movra
