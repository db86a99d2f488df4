#include "core/matesearch/bitboard.h"

#include <memory>

namespace movra::mate {
namespace {

bool OnBoard(int file, int rank) { return file >= 1 && file <= 9 && rank >= 1 && rank <= 9; }

// One-step moves of the unpromoted pieces and the gold-like moves, as (file, rank) offsets seen
// by sente; gote's are mirrored in rank.
struct Offsets {
    int count;
    int df[8];
    int dr[8];
};
constexpr Offsets kPawnSteps{1, {0}, {-1}};
constexpr Offsets kKnightSteps{2, {1, -1}, {-2, -2}};
constexpr Offsets kSilverSteps{5, {0, 1, -1, 1, -1}, {-1, -1, -1, 1, 1}};
constexpr Offsets kGoldSteps{6, {0, 1, -1, 1, -1, 0}, {-1, -1, -1, 0, 0, 1}};
constexpr Offsets kKingSteps{8, {0, 1, -1, 1, -1, 0, 1, -1}, {-1, -1, -1, 0, 0, 1, 1, 1}};

Bitboard StepBoard(const Offsets& o, Color c, Sq s) {
    Bitboard b;
    int f = FileOf(s), r = RankOf(s);
    for (int i = 0; i < o.count; ++i) {
        int tf = f + o.df[i];
        int tr = r + (c == kSente ? o.dr[i] : -o.dr[i]);
        if (OnBoard(tf, tr)) b.set(MakeSq(tf, tr));
    }
    return b;
}

std::uint64_t SplitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::unique_ptr<AttackTables> BuildTables() {
    auto t = std::make_unique<AttackTables>();
    for (int c = 0; c < 2; ++c) {
        for (Sq s = 0; s < kSquareCount; ++s) {
            Color color = Color(c);
            t->step[c][pt::kPawn][s] = StepBoard(kPawnSteps, color, s);
            t->step[c][pt::kKnight][s] = StepBoard(kKnightSteps, color, s);
            t->step[c][pt::kSilver][s] = StepBoard(kSilverSteps, color, s);
            Bitboard gold = StepBoard(kGoldSteps, color, s);
            for (int type : {pt::kGold, pt::kProPawn, pt::kProLance, pt::kProKnight, pt::kProSilver})
                t->step[c][type][s] = gold;
            t->step[c][pt::kKing][s] = StepBoard(kKingSteps, color, s);
        }
    }
    for (int d = 0; d < 8; ++d) {
        for (Sq s = 0; s < kSquareCount; ++s) {
            int f = FileOf(s) + kDirFile[d], r = RankOf(s) + kDirRank[d];
            for (; OnBoard(f, r); f += kDirFile[d], r += kDirRank[d]) t->ray[d][s].set(MakeSq(f, r));
            (d < 4 ? t->rookPseudo[s] : t->bishopPseudo[s]) |= t->ray[d][s];
        }
    }
    for (Sq a = 0; a < kSquareCount; ++a) {
        for (int d = 0; d < 8; ++d) {
            Bitboard passed;
            int f = FileOf(a) + kDirFile[d], r = RankOf(a) + kDirRank[d];
            for (; OnBoard(f, r); f += kDirFile[d], r += kDirRank[d]) {
                Sq b = MakeSq(f, r);
                t->between[a][b] = passed;
                t->line[a][b] = t->ray[d][a] | t->ray[d ^ 1][a] | Bitboard::Square(a);
                passed.set(b);
            }
        }
    }
    std::uint64_t state = 0x4D6F7672614D6174ull;
    for (auto& bySquare : t->zobrist)
        for (auto& key : bySquare) key = SplitMix(state);
    t->sideKey = SplitMix(state);
    return t;
}

}  // namespace

namespace {
const std::unique_ptr<const AttackTables> gTables = BuildTables();
}  // namespace

const AttackTables& kTables = *gTables;

}  // namespace movra::mate
