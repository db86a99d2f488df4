#pragma once
// The opening index: a file beside the store ("<store>.oix") that answers the explorer's query
// without reading the game data.
//
// It holds the games' first moves as a tree. The games are sorted by handicap and then by their
// first `depth` + 1 moves, so that the games sharing a beginning lie side by side; every distinct
// beginning is a node, in depth-first order, holding the key of the position it reaches, the
// games below it (a range of the sorted games) and where its subtree ends. A query looks the key
// up in a sorted table, takes the nodes no deeper than the query's depth, drops those that lie
// below another hit (a game that comes back to the position counts once, at its first visit) and
// reads the next moves off the hit nodes' children. Positions are told apart by their 64-bit key
// alone.
//
// The index is stamped with the size and modification time of the store's index, game-data and
// overflow files and with the game count; any change to them makes it stale, and a stale or
// missing index is never used (the explorer scans instead). It is written to a temporary file
// that replaces the old index only when complete. Nothing else reads it: a store opens and works
// without it.
//
// File layout (little-endian):
//   header  96 bytes: "MOVRAOIX", version u32, depth u32, the store stamp (6 × u64 + game
//           count u32), game count u32, node count u32, lookup count u32, zero padding
//   games   16 bytes each: record u32, date u32, sente u16, gote u16, end code u8, 3 zero bytes
//   nodes   24 bytes each: key u64, first game u32, end game u32, subtree end u32, move key u16,
//           move number u16 (0 for a root)
//   lookup  12 bytes each: key u64, node u32 — by key, then node
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/explorer/opening_tree.h"
#include "core/store/store_files.h"

namespace movra {

inline constexpr std::string_view kOpeningIndexExtension = ".oix";
inline constexpr std::string_view kOpeningIndexTemp = ".oi$";

struct IndexBuildOutcome {
    bool built = false;
    bool cancelled = false;
    std::uint64_t games = 0;
    std::uint64_t nodes = 0;
    std::uint64_t bytes = 0;
    std::string error;  // why it was not built
};

// Builds (or rebuilds) the index of the store for positions up to `depth` moves. The old index
// stays as it was when the build fails or is cancelled.
IndexBuildOutcome BuildOpeningIndex(const GameStore& store, int depth = kDefaultTreeDepth,
                                    const std::atomic<bool>* cancel = nullptr);

std::filesystem::path OpeningIndexPath(const GameStore& store);

class OpeningIndex {
public:
    OpeningIndex() = default;
    OpeningIndex(const OpeningIndex&) = delete;
    OpeningIndex& operator=(const OpeningIndex&) = delete;
    ~OpeningIndex();

    // Maps the store's index when it exists, is well formed and is fresh; false otherwise.
    bool Open(const GameStore& store);
    int depth() const { return depth_; }
    std::uint64_t nodeCount() const { return nodes_; }
    std::uint64_t sizeBytes() const { return size_; }

    // The explorer's answer from the index (the query's depth at most depth()).
    TreeResult Query(const TreeQuery& query) const;

private:
    void Close();
    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
    int depth_ = 0;
    std::uint64_t games_ = 0;
    std::uint64_t nodes_ = 0;
    std::uint64_t lookups_ = 0;
};

// Whether the store has a fresh index.
bool OpeningIndexFresh(const GameStore& store);

}  // namespace movra
