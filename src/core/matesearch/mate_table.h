#pragma once
// The transposition table of the mate solver: a fixed-size array of buckets of eight entries.
//
// An entry belongs to a position (board and side to move) and the attacker's hand, and holds one
// of three kinds of knowledge:
// - proven: the attacker mates within `plies` plies. It holds for every hand with at least these
//   pieces (more pieces for the attacker means fewer for the defender to interpose, never fewer
//   moves for the attacker), and for every depth of at least `plies`.
// - disproven: there is no mate within `plies` plies. It holds for every hand with at most these
//   pieces and every depth of at most `plies`; kNoMateAtAll means no mate at any depth.
// - unknown: the proof and disproof numbers of a search to exactly `plies` plies with exactly
//   this hand.
// Every node of the search is a position together with its remaining depth, and the depth
// strictly falls along every path, so the search graph has no cycles: no stored result depends
// on the path that reached it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/matesearch/solver_position.h"

namespace movra::mate {

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;  // proof or disproof number of a solved node
inline constexpr int kNoMateAtAll = 0xFFFF;

struct NodeValue {
    std::uint32_t pn = 1;
    std::uint32_t dn = 1;
    int plies = 0;       // proven: mate length; disproven: plies without mate
    Move move = kNoMove;  // proven attacker's node: the mating move
    Move hint = kNoMove;  // the best move an entry of this position and hand knew, at any depth
    bool seen = false;    // some entry of this position and hand exists (any depth)

    bool proven() const { return pn == 0; }
    bool disproven() const { return dn == 0; }
};

class MateTable {
public:
    // At least one bucket; the size is rounded down to a power of two buckets.
    explicit MateTable(std::size_t megabytes);

    // Entries written before count as free from now on.
    void Clear();

    NodeValue Lookup(std::uint64_t key, std::uint32_t hand, int depth) const;
    // Starts fetching the bucket of a key that is about to be looked up.
    void Prefetch(std::uint64_t key) const { __builtin_prefetch(&bucketOf(key)); }
    void StoreProven(std::uint64_t key, std::uint32_t hand, int plies, Move move, std::uint32_t amount);
    // `move` is the defender's refutation, kept as a hint for deeper searches of the position.
    void StoreDisproven(std::uint64_t key, std::uint32_t hand, int plies, Move move, std::uint32_t amount);
    // `move` is the child the search was following, a hint for the next visit.
    void StoreUnknown(std::uint64_t key, std::uint32_t hand, int depth, std::uint32_t pn,
                      std::uint32_t dn, Move move, std::uint32_t amount);

    std::size_t entryCount() const { return bucketCount_ * kBucketSize; }
    // Entries in use by the current search, per thousand (sampled from the first buckets).
    int usagePermille() const;

private:
    enum State : std::uint8_t { kFree = 0, kUnknown = 1, kProven = 2, kDisproven = 3 };
    struct Entry {
        std::uint64_t key;
        std::uint32_t hand;
        std::uint32_t pn;
        std::uint32_t dn;
        std::uint32_t amount;  // search effort behind the entry: the replacement keeps costly ones
        std::uint16_t plies;
        Move move;
        State state;
        std::uint8_t generation;
        std::uint16_t unused;
    };
    static_assert(sizeof(Entry) == 32);
    static constexpr std::size_t kBucketSize = 8;
    struct alignas(64) Bucket {
        Entry entries[kBucketSize];
    };

    Bucket& bucketOf(std::uint64_t key) const { return buckets_[(key >> 20) & (bucketCount_ - 1)]; }
    bool live(const Entry& e) const { return e.state != kFree && e.generation == generation_; }
    // The entry to overwrite: one the new knowledge makes useless, else a free or stale one, else
    // the one with the least effort behind it.
    Entry& victim(Bucket& b, std::uint64_t key, std::uint32_t hand, State state, int plies);

    struct Release {
        void operator()(Bucket* b) const;
    };
    std::size_t bucketCount_;
    std::unique_ptr<Bucket[], Release> buckets_;
    std::uint8_t generation_ = 1;
};

}  // namespace movra::mate
