#pragma once
// Shared pieces of the search tests: random stored games (legal ones and damaged ones), the
// positions of a game replayed plainly through the game record, and patterns cut from them.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "core/list/search_conditions.h"
#include "core/store/store_files.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/rules/move_list.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_test_support.h"

namespace movra::testing {

struct StoredGame {
    int handicap = 0;
    MoveBytes moves;
    MoveInfo info;
    int moveCount = 0;  // moves of the legal game before any damage
};

// One position of a replay and the slot after which it stands.
struct ReplayedPosition {
    int slot = 0;
    Board board{};
    HandCounts sente{};
    HandCounts gote{};
};

// A legal game of random moves, stored as the store keeps it.
inline StoredGame RandomStoredGame(std::mt19937& rng, int handicap, int length) {
    StoredGame g;
    g.handicap = handicap;
    TKifData record;
    PlayRandomGame(rng, handicap, length, record);
    g.moveCount = FillMoveBuffers(record, g.moves, g.info);
    return g;
}

// Damages a stored game the ways a broken store does: random bytes in a slot, a promotion flag
// on a move, a move's destination or origin moved to another square, a handicap number no
// handicap has.
inline void Damage(std::mt19937& rng, StoredGame& g) {
    const int first = FirstMoveSlot(g.handicap);
    const int last = std::max(first, first + g.moveCount - 1);
    const int slot = std::uniform_int_distribution<int>(first, last)(rng);
    const std::uint8_t d = g.moves.destination(slot);
    const std::uint8_t o = g.moves.origin(slot);
    switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
        case 0:
            g.moves.setSlot(slot, std::uint8_t(rng() & 0xFF), std::uint8_t(rng() & 0xFF));
            break;
        case 1:
            if (d != 0 && d <= 81) g.moves.setSlot(slot, std::uint8_t(d + 100), o);
            break;
        case 2:
            g.moves.setSlot(slot, std::uint8_t(std::uniform_int_distribution<int>(1, 81)(rng) +
                                               (d > 100 ? 100 : 0)),
                            o);
            break;
        case 3:
            if (o >= 1 && o <= 81) {
                g.moves.setSlot(slot, d, std::uint8_t(std::uniform_int_distribution<int>(1, 81)(rng)));
            }
            break;
        default:
            g.handicap = std::uniform_int_distribution<int>(15, 40)(rng);
            break;
    }
}

// Every position of a stored game as loading it through the rules gives them: the game loaded
// with LoadGameMoves, then replayed from its starting position with ApplyMove, the board and
// hands rebuilt after every move. At most `depth` slots.
inline std::vector<ReplayedPosition> ReplayThroughRules(const MoveBytes& moves, int handicap,
                                                        int depth = kMaxSlots) {
    TKifData record;
    SilentPrompter quiet;
    LoadGameMoves(moves, nullptr, handicap, false, 0, record, quiet);
    const int first = handicap != 0 ? 2 : 1;
    std::vector<ReplayedPosition> out;
    record.SetUpStandard();
    out.push_back({first - 1, record.position.board, record.position.senteHand,
                   record.position.goteHand});
    for (int m = 1; m <= record.moveCount && m + first - 1 <= depth; ++m) {
        record.ApplyMove(m);
        record.Rebuild();
        out.push_back({m + first - 1, record.position.board, record.position.senteHand,
                       record.position.goteHand});
    }
    return out;
}

// Whether a position matches a pattern, square by square, written from the rule itself.
inline bool PlainMatch(const ReplayedPosition& p, const SearchPattern& pattern, bool reversed) {
    bool same = true;
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const int s = BoardIndex(file, rank);
            const PieceCode want = pattern.board[std::size_t(s)];
            if (want != 0 && p.board[std::size_t(s)] != want) same = false;
        }
    }
    for (int k = 1; k <= 8; ++k) {
        if (p.sente[std::size_t(k)] < pattern.senteHand[std::size_t(k)]) same = false;
        if (p.gote[std::size_t(k)] < pattern.goteHand[std::size_t(k)]) same = false;
    }
    if (same || !reversed) return same;
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const PieceCode want = pattern.board[std::size_t(BoardIndex(file, rank))];
            if (want == 0) continue;
            const PieceCode other = want < 15 ? PieceCode(want + 14) : PieceCode(want - 14);
            if (p.board[std::size_t(BoardIndex(10 - file, 10 - rank))] != other) return false;
        }
    }
    for (int k = 1; k <= 8; ++k) {
        if (p.sente[std::size_t(k)] < pattern.goteHand[std::size_t(k)]) return false;
        if (p.gote[std::size_t(k)] < pattern.senteHand[std::size_t(k)]) return false;
    }
    return true;
}

// The hit the plain replay finds: the slot of the first matching position within the depth.
inline int PlainHit(const std::vector<ReplayedPosition>& positions, const SearchPattern& pattern,
                    bool reversed, int depth) {
    for (const ReplayedPosition& p : positions) {
        if (&p != &positions.front() && p.slot > depth) break;
        if (PlainMatch(p, pattern, reversed)) return p.slot;
    }
    return -1;
}

// A pattern cut from a position: all of it, or a few squares; the hands at most what is held.
// With `turned` the position is first turned round with the colours swapped.
inline SearchPattern CutPattern(std::mt19937& rng, const ReplayedPosition& p, bool turned) {
    SearchPattern pattern;
    const bool whole = rng() % 3 == 0;
    const int keep = std::uniform_int_distribution<int>(1, 8)(rng);
    std::vector<int> occupied;
    for (int s = 1; s < kBoardSize; ++s) {
        if (p.board[std::size_t(s)] != 0) occupied.push_back(s);
    }
    std::shuffle(occupied.begin(), occupied.end(), rng);
    if (!whole && int(occupied.size()) > keep) occupied.resize(std::size_t(keep));
    // Now and then an empty square of the position is asked to hold a piece: a pattern that
    // this position does not match.
    for (int s : occupied) pattern.board[std::size_t(s)] = p.board[std::size_t(s)];
    if (rng() % 4 == 0) {
        const int s = std::uniform_int_distribution<int>(1, 81)(rng);
        if (p.board[std::size_t(s)] == 0) {
            pattern.board[std::size_t(s)] = PieceCode(std::uniform_int_distribution<int>(1, 28)(rng));
        }
    }
    for (int k = 1; k <= 8; ++k) {
        pattern.senteHand[std::size_t(k)] =
            std::uint8_t(std::uniform_int_distribution<int>(0, p.sente[std::size_t(k)])(rng));
        pattern.goteHand[std::size_t(k)] =
            std::uint8_t(std::uniform_int_distribution<int>(0, p.gote[std::size_t(k)])(rng));
    }
    if (!turned) return pattern;
    SearchPattern t;
    for (int s = 1; s < kBoardSize; ++s) {
        const PieceCode c = pattern.board[std::size_t(s)];
        if (c != 0) t.board[std::size_t(kBoardSize - s)] = c < 15 ? PieceCode(c + 14) : PieceCode(c - 14);
    }
    t.senteHand = pattern.goteHand;
    t.goteHand = pattern.senteHand;
    return t;
}

// A handicap number: mostly the even game, each handicap now and then.
inline int RandomHandicap(std::mt19937& rng) {
    return rng() % 4 == 0 ? std::uniform_int_distribution<int>(1, 14)(rng) : 0;
}

// A length: mostly 20-150 moves, some beyond slot 256, a few that stop at once.
inline int RandomLength(std::mt19937& rng) {
    const int r = std::uniform_int_distribution<int>(0, 99)(rng);
    if (r < 5) return std::uniform_int_distribution<int>(0, 3)(rng);
    if (r < 85) return std::uniform_int_distribution<int>(20, 150)(rng);
    return std::uniform_int_distribution<int>(200, 330)(rng);
}

// A game as a store keeps it: index record, detail record and move bytes.
struct StoreGame {
    IndexRecord index;
    DetailRecord detail;
    StoredGame game;
};

// Writes the games, in order, into a new store through the store's own append path.
inline GameStore WriteSearchStore(const std::filesystem::path& indexPath,
                                  std::vector<StoreGame>& games, bool extended) {
    EXPECT_TRUE(CreateStoreFiles(indexPath, extended));
    GameStore store(indexPath, extended ? StoreKind::Extended : StoreKind::Classic);
    SilentPrompter quiet;
    for (StoreGame& g : games) {
        g.index.setHandicap(std::uint16_t(g.game.handicap));
        const WrittenGame written = WriteGame(store, g.index, g.game.moves, kAppendGame, false, quiet);
        EXPECT_TRUE(written.ok);
        if (extended) {
            g.detail.CopyIndexWords(g.index);
            EXPECT_TRUE(WriteGameDetail(store, g.detail, g.game.info, written.recordNumber, false).ok);
        }
    }
    store.recordCount = std::uint32_t(games.size());
    return store;
}

}  // namespace movra::testing
