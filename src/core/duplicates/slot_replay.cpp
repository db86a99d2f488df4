#include "core/duplicates/slot_replay.h"

#include "core/rules/piece.h"
#include "core/rules/position.h"

namespace movra {
namespace {

constexpr std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// One random number per (square, piece code), code 0 (an empty square) contributing nothing,
// and one per (side, kind) added once for every piece held.
struct ZobristTables {
    std::uint64_t square[82][29]{};
    std::uint64_t hand[2][9]{};
};

constexpr ZobristTables MakeZobrist() {
    ZobristTables t;
    std::uint64_t state = 0x4D6F7672614B6579ull;
    for (auto& sq : t.square) {
        for (int c = 1; c < 29; ++c) sq[c] = SplitMix(state);
    }
    for (auto& side : t.hand) {
        for (auto& k : side) k = SplitMix(state);
    }
    return t;
}
constexpr ZobristTables kZobrist = MakeZobrist();

// The kind a captured piece is held as and whether a code can promote, by piece code 0-28
// (the numbering of rules/piece.h: 歩 と 香 成香 桂 成桂 銀 成銀 金 角 馬 飛 龍 玉, gote + 14),
// and the file of each square code. The replay test holds them to KindOf and IsPromotable.
struct CodeTables {
    std::uint8_t kind[29]{};
    bool promotable[29]{};
    std::uint8_t file[82]{};
};
constexpr CodeTables MakeCodeTables() {
    constexpr std::uint8_t kinds[15] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 7, 8};
    constexpr bool promotable[15] = {false, true, false, true, false, true, false, true,
                                     false, false, true, false, true, false, false};
    CodeTables t;
    for (int c = 1; c < 29; ++c) {
        const int own = c > 14 ? c - 14 : c;
        t.kind[c] = kinds[own];
        t.promotable[c] = promotable[own];
    }
    for (int sq = 1; sq < 82; ++sq) t.file[sq] = std::uint8_t(FileOfSquareCode(sq));
    return t;
}
constexpr CodeTables kCodes = MakeCodeTables();

// The fifteen starting positions, made once.
struct Starts {
    SlotReplay replay[kHandicapCount];
};

}  // namespace

void SlotReplay::Put(int square, std::uint8_t code) {
    std::uint8_t& there = board_[std::size_t(square)];
    const int file = kCodes.file[square];
    key_ ^= kZobrist.square[square][there] ^ kZobrist.square[square][code];
    fileCount_[std::size_t(file)] = std::uint8_t(fileCount_[std::size_t(file)] - (there != 0) + (code != 0));
    there = code;
}

void SlotReplay::AddToHand(int side, int kind) {
    std::uint8_t& count = hands_[std::size_t(side - 1)][std::size_t(kind)];
    if (count < 255) {
        ++count;
        key_ += kZobrist.hand[side - 1][kind];
    }
}

void SlotReplay::SetUp(int handicapNumber) {
    static const Starts starts = [] {
        Starts s;
        for (int h = 0; h < kHandicapCount; ++h) {
            SlotScratch scratch;
            scratch.SetUp(h);
            SlotReplay& r = s.replay[h];
            r = SlotReplay{};
            for (int sq = 1; sq <= 81; ++sq) r.Put(sq, scratch.board[std::size_t(sq)]);
            for (int side = 1; side <= 2; ++side) {
                for (int k = 0; k < 9; ++k) {
                    for (int n = 0; n < scratch.hands[std::size_t(side - 1)][std::size_t(k)]; ++n) r.AddToHand(side, k);
                }
            }
            r.lastFile_ = 0;
        }
        return s;
    }();
    *this = starts.replay[handicapNumber >= 0 && handicapNumber < kHandicapCount ? handicapNumber : 0];
}

bool SlotReplay::Apply(int side, std::uint8_t destinationByte, std::uint8_t originByte) {
    int destination = destinationByte;
    bool promotes = false;
    if (destination > kPromotionAdd) {
        destination -= kPromotionAdd;
        promotes = true;
    }
    if (destination < 1 || destination > 81) return false;
    const CodeTables& codes = kCodes;

    if (originByte >= 1 && originByte <= 81) {
        if (originByte == destination) return false;
        std::uint8_t moving = board_[originByte];
        const std::uint8_t taken = board_[std::size_t(destination)];
        if (taken != 0) AddToHand(side, codes.kind[taken]);
        if (promotes && codes.promotable[moving]) ++moving;  // the promoted form follows its piece
        Put(originByte, 0);
        Put(destination, moving);
        lastFile_ = codes.file[destination];
        return true;
    }
    if (originByte <= kDropOriginBase || promotes) return false;
    if (board_[std::size_t(destination)] != 0) return false;
    // The hand is listed 飛 角 金 銀 桂 香 歩, each kind as often as it is held.
    int n = originByte - kDropOriginBase;
    auto& hand = hands_[std::size_t(side - 1)];
    for (int k = kind::Hi; k >= kind::Fu; --k) {
        if (n <= hand[std::size_t(k)]) {
            --hand[std::size_t(k)];
            key_ -= kZobrist.hand[side - 1][k];
            PieceCode code = CodeOfKind(PieceKind(k));
            if (side == side::kGote) code = PieceCode(code + piece::kGoteOffset);
            Put(destination, code);
            lastFile_ = codes.file[destination];
            return true;
        }
        n -= hand[std::size_t(k)];
    }
    return false;
}

PositionBytes SlotReplay::Bytes() const {
    PositionBytes out{};
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            out[std::size_t(BoardIndex(file, rank))] = board_[std::size_t(SquareCode(file, rank))];
        }
    }
    for (int k = 0; k < 9; ++k) {
        out[std::size_t(kBoardSize + k)] = hands_[0][std::size_t(k)];
        out[std::size_t(kBoardSize + 9 + k)] = hands_[1][std::size_t(k)];
    }
    return out;
}

}  // namespace movra
