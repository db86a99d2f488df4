#pragma once
// The opening explorer: for one position (board, hands, side to move), every game of the store
// that reaches exactly that position within a number of moves, and what was played next.
//
// A game counts once, at the first move after which it stands in the position, whatever order of
// moves led there (transpositions count). Its next move is the move after that; a game whose
// record ends there counts among the games without a next move. Per next move the explorer
// gathers the games, their results (sente wins, gote wins, draws, other), the latest date and the
// most recent game's players; with `within` only the games of that list are looked at (the
// catalogue, as the narrowing search uses it).
//
// Results by the index record's end code: 1 and 5 are sente's (下手's) wins, 2 and 6 gote's
// (上手's), 3, 4, 7 and 8 draws (千日手, 持将棋), 0 (not registered) and anything else "other".
//
// The scan reads the index and game-data files once, sequentially in large blocks, in two ranges
// side by side on a machine with two cores; a game is given up as soon as it cannot reach the
// position within the depth any more (a move changes at most two squares, so a game whose board
// differs from the position on more than twice the moves left never gets there). A fresh opening
// index beside the store (explorer/opening_index.h) answers the same question without reading
// the game data.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/explorer/position_key.h"
#include "core/explorer/slot_replay.h"
#include "core/store/store_files.h"

namespace movra {

inline constexpr int kDefaultTreeDepth = 60;

struct TreeQuery {
    ExplorerPosition position;
    // The position must be reached after at most this many moves (0 = the starting position
    // only); at most 510.
    int depth = kDefaultTreeDepth;
    // Record numbers the query is narrowed to (any order); null for every game of the store.
    const std::vector<std::uint32_t>* within = nullptr;
    // Checked every few thousand games; once set the query ends with `cancelled`.
    const std::atomic<bool>* cancel = nullptr;
    // 0: as the machine allows; 1: the calling thread only; 2: two ranges side by side.
    int threads = 0;
    // Use the opening index when it is fresh and deep enough (never builds it).
    bool useIndex = true;
    // Keep every game's record number in its tally (for listing the games).
    bool records = false;
};

// What one game contributes.
struct GameFacts {
    std::uint32_t record = 0;
    std::uint32_t date = 0;  // year × 10000 + month × 100 + day, as the index record holds it
    std::uint16_t sentePlayer = 0;
    std::uint16_t gotePlayer = 0;
    std::uint8_t result = 0;  // end code
};

struct MoveTally {
    MoveKey key = 0;  // 0: the games that end in the position
    std::uint32_t games = 0;
    std::uint32_t senteWins = 0;
    std::uint32_t goteWins = 0;
    std::uint32_t draws = 0;
    std::uint32_t other = 0;
    // The most recent game: the latest date, of equal dates the highest record number.
    std::uint32_t lastDate = 0;
    std::uint32_t lastRecord = 0;
    std::uint16_t lastSente = 0;
    std::uint16_t lastGote = 0;
    std::vector<std::uint32_t> records;  // every game, ascending, when the query asked for them

    std::string usi() const { return MoveKeyToUsi(key); }
    MoveCode code() const { return MoveKeyToCode(key); }
    void Add(const GameFacts& g, bool keepRecord);
    void Merge(const MoveTally& other);
};

struct TreeResult {
    std::vector<MoveTally> moves;  // by games, most first; then by USI text
    MoveTally ended;               // the games whose record ends in the position
    std::uint32_t games = 0;       // every game reaching the position
    std::uint64_t examined = 0;    // games looked at
    bool cancelled = false;
    bool fromIndex = false;
    // A next move's share of the games reaching the position, 0-1.
    double Share(const MoveTally& t) const { return games == 0 ? 0.0 : double(t.games) / games; }
};

// Sorts the tallies into a result (moves with key 0 become `ended`).
class TreeTallies {
public:
    explicit TreeTallies(bool keepRecords);
    void Add(MoveKey next, const GameFacts& g);
    void Merge(const TreeTallies& other);
    TreeResult Finish() const;

private:
    std::vector<std::int32_t> slot_;  // by move key: place in tallies_, −1 when none
    std::vector<MoveTally> tallies_;
    bool keepRecords_;
};

// Which result column an end code counts in: 1 sente, 2 gote, 3 draw, 0 other.
int ResultColumn(int endCode);

// The explorer's answer. Throws StoreIoError when the store's files cannot be read.
TreeResult ExploreStore(const GameStore& store, const TreeQuery& query);
// The same by reading every game, whatever index there is.
TreeResult ScanStore(const GameStore& store, const TreeQuery& query);

// One game's part of a query: the first move number 0..depth after which the game stands in
// the position and the move that follows (0 when the record ends there); −1 when it never does.
// `slots` are its 512 bytes of slots 1-256, `overflowSlots` those of slots 257-512 or null.
int FindInGame(const ExplorerPosition& position, int depth, const std::uint8_t* slots,
               const std::uint8_t* overflowSlots, int handicapNumber, MoveKey& next);

}  // namespace movra
