#include "core/explorer/opening_tree.h"

#include <algorithm>
#include <array>
#include <exception>
#include <thread>

#include "core/explorer/opening_index.h"
#include "core/store/layout.h"
#include "core/store/overflow_slots.h"
#include "core/store/record_file.h"

namespace movra {
namespace {

// 256 KB of game data a block.
constexpr std::size_t kBlockRecords = 512;
constexpr std::uint64_t kCancelStep = 4096;
constexpr std::uint64_t kTwoRangesFrom = 20000;
constexpr int kMaxDepth = kMaxSlots - 2;

const std::uint8_t* ZeroRecord() {
    static const std::array<std::uint8_t, kGameDataRecordSize> zeros{};
    return zeros.data();
}

bool Cancelled(const TreeQuery& q) {
    return q.cancel != nullptr && q.cancel->load(std::memory_order_relaxed);
}

GameFacts FactsOf(const std::uint8_t* index, std::uint32_t record) {
    const auto w = [index](int i) { return LoadU16(index + i * 2); };
    GameFacts g;
    g.record = record;
    g.date = w(indexword::kYear) * 10000u + w(indexword::kMonth) * 100u + w(indexword::kDay);
    g.sentePlayer = w(indexword::kSentePlayer);
    g.gotePlayer = w(indexword::kGotePlayer);
    const std::uint16_t result = w(indexword::kResult);
    g.result = result > 0xFF ? 0xFF : std::uint8_t(result);
    return g;
}

struct ScanShared {
    const TreeQuery& query;
    const ExplorerPosition& position;
    int depth;
    const OverflowSlots& overflow;
    const std::vector<std::uint8_t>* allowed;  // by record number; null: every game
};

struct ScanRange {
    explicit ScanRange(bool keepRecords) : tallies(keepRecords) {}
    std::uint64_t begin = 0;  // record number − 1, end exclusive
    std::uint64_t end = 0;
    TreeTallies tallies;
    std::uint64_t examined = 0;
    bool cancelled = false;
    std::exception_ptr error;
};

void Look(const ScanShared& s, const std::uint8_t* index, const std::uint8_t* slots,
          std::uint32_t record, ScanRange& r) {
    ++r.examined;
    const int handicap = LoadU16(index + indexword::kHandicap * 2);
    const int overflowNumber = LoadU16(index + indexword::kOverflow * 2);
    MoveKey next = 0;
    if (FindInGame(s.position, s.depth, slots, s.overflow.Get(overflowNumber), handicap, next) < 0) {
        return;
    }
    r.tallies.Add(next, FactsOf(index, record));
}

// Every game of the range, the index and game-data files read side by side.
void ScanSequential(const GameStore& store, const ScanShared& s, ScanRange& r) {
    RecordBlockReader index, data;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, 1 + r.begin, kBlockRecords)) {
        throw StoreIoError("cannot open", store.files.IndexPath());
    }
    if (!data.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, r.begin, kBlockRecords)) {
        throw StoreIoError("cannot open", store.files.Path(ext::kGameData));
    }
    const std::uint8_t* indexBlock = nullptr;
    const std::uint8_t* dataBlock = nullptr;
    std::size_t indexLeft = 0, dataLeft = 0;
    bool dataEnded = false;
    for (std::uint64_t i = r.begin; i < r.end; ++i) {
        if ((i - r.begin) % kCancelStep == 0 && Cancelled(s.query)) {
            r.cancelled = true;
            return;
        }
        if (indexLeft == 0 && (indexLeft = index.Next(indexBlock)) == 0) break;
        const std::uint8_t* record = indexBlock;
        indexBlock += kIndexRecordSize;
        --indexLeft;
        const std::uint8_t* slots = ZeroRecord();
        if (!dataEnded && dataLeft == 0 && (dataLeft = data.Next(dataBlock)) == 0) dataEnded = true;
        if (!dataEnded) {
            slots = dataBlock;
            dataBlock += kGameDataRecordSize;
            --dataLeft;
        }
        const std::uint32_t number = std::uint32_t(i + 1);
        if (s.allowed != nullptr && (*s.allowed)[number] == 0) continue;
        Look(s, record, slots, number, r);
    }
}

// A few games of a long store: each read where it lies.
void ScanScattered(const GameStore& store, const ScanShared& s, const std::vector<std::uint32_t>& records,
                   ScanRange& r) {
    RecordFile index, data;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read)) {
        throw StoreIoError("cannot open", store.files.IndexPath());
    }
    if (!data.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, RecordFile::Access::Read)) {
        throw StoreIoError("cannot open", store.files.Path(ext::kGameData));
    }
    std::array<std::uint8_t, kIndexRecordSize> ix{};
    std::array<std::uint8_t, kGameDataRecordSize> slots{};
    std::uint64_t n = 0;
    for (std::uint32_t k : records) {
        if (n++ % kCancelStep == 0 && Cancelled(s.query)) {
            r.cancelled = true;
            return;
        }
        if (k - 1 < r.begin || k - 1 >= r.end) continue;
        if (index.Read(k, ix.data()) != kIndexRecordSize) continue;
        data.Read(k - 1, slots.data());  // zeroed past the end: no moves
        Look(s, ix.data(), slots.data(), k, r);
    }
}

int RangesFor(int threads, std::uint64_t games) {
    if (threads == 1 || games < 2) return 1;
    if (threads >= 2) return 2;
    return std::thread::hardware_concurrency() >= 2 && games >= kTwoRangesFrom ? 2 : 1;
}

}  // namespace

// --- tallies ---------------------------------------------------------------------------------------

int ResultColumn(int endCode) {
    switch (endCode) {
        case 1: case 5: return 1;
        case 2: case 6: return 2;
        case 3: case 4: case 7: case 8: return 3;
        default: return 0;
    }
}

void MoveTally::Add(const GameFacts& g, bool keepRecord) {
    ++games;
    switch (ResultColumn(g.result)) {
        case 1: ++senteWins; break;
        case 2: ++goteWins; break;
        case 3: ++draws; break;
        default: ++other; break;
    }
    if (games == 1 || g.date > lastDate || (g.date == lastDate && g.record > lastRecord)) {
        lastDate = g.date;
        lastRecord = g.record;
        lastSente = g.sentePlayer;
        lastGote = g.gotePlayer;
    }
    if (keepRecord) records.push_back(g.record);
}

void MoveTally::Merge(const MoveTally& o) {
    if (o.games == 0) return;
    if (games == 0 || o.lastDate > lastDate || (o.lastDate == lastDate && o.lastRecord > lastRecord)) {
        lastDate = o.lastDate;
        lastRecord = o.lastRecord;
        lastSente = o.lastSente;
        lastGote = o.lastGote;
    }
    games += o.games;
    senteWins += o.senteWins;
    goteWins += o.goteWins;
    draws += o.draws;
    other += o.other;
    records.insert(records.end(), o.records.begin(), o.records.end());
}

TreeTallies::TreeTallies(bool keepRecords) : slot_(65536, -1), keepRecords_(keepRecords) {}

void TreeTallies::Add(MoveKey next, const GameFacts& g) {
    std::int32_t& at = slot_[next];
    if (at < 0) {
        at = std::int32_t(tallies_.size());
        tallies_.emplace_back();
        tallies_.back().key = next;
    }
    tallies_[std::size_t(at)].Add(g, keepRecords_);
}

void TreeTallies::Merge(const TreeTallies& other) {
    for (const MoveTally& t : other.tallies_) {
        std::int32_t& at = slot_[t.key];
        if (at < 0) {
            at = std::int32_t(tallies_.size());
            tallies_.emplace_back();
            tallies_.back().key = t.key;
        }
        tallies_[std::size_t(at)].Merge(t);
    }
}

TreeResult TreeTallies::Finish() const {
    TreeResult result;
    for (const MoveTally& t : tallies_) {
        result.games += t.games;
        if (t.key == 0) {
            result.ended = t;
        } else {
            result.moves.push_back(t);
        }
    }
    for (MoveTally& t : result.moves) std::sort(t.records.begin(), t.records.end());
    std::sort(result.ended.records.begin(), result.ended.records.end());
    std::sort(result.moves.begin(), result.moves.end(), [](const MoveTally& a, const MoveTally& b) {
        if (a.games != b.games) return a.games > b.games;
        return a.usi() < b.usi();
    });
    return result;
}

// --- one game ------------------------------------------------------------------------------------

int FindInGame(const ExplorerPosition& position, int depth, const std::uint8_t* slots,
               const std::uint8_t* overflowSlots, int handicapNumber, MoveKey& next) {
    next = 0;
    SlotReplay replay;
    // The scan compares boards square by square; it needs no key.
    if (!replay.Start(handicapNumber, false)) return -1;
    depth = std::clamp(depth, 0, kMaxDepth);
    const auto& want = position.squares;
    const auto& have = replay.squares();
    int differ = 0;
    for (std::size_t s = 1; s < kBoardSize; ++s) differ += have[s] != want[s];
    const auto bytesOf = [&](int slot) -> const std::uint8_t* {
        if (slot <= kSlotsPerRecord) return slots + 2 * (slot - 1);
        if (overflowSlots != nullptr && slot <= kMaxSlots) return overflowSlots + 2 * (slot - 1 - kSlotsPerRecord);
        return nullptr;
    };
    const auto mismatch = [&](unsigned square) {
        return square - 1 < 81u ? int(have[square] != want[square]) : 0;
    };
    const int first = FirstMoveSlot(handicapNumber);
    MoveKey key = 0;
    std::array<std::uint8_t, 2> changed{};
    for (int n = 0;; ++n) {
        if (differ == 0 && replay.Equals(position)) {
            if (const std::uint8_t* b = bytesOf(n + first)) {
                SlotReplay after = replay;
                if (after.Apply(b[0], b[1], key, changed)) next = key;
            }
            return n;
        }
        // A move changes two squares at most.
        if (n >= depth || differ > 2 * (depth - n)) return -1;
        const std::uint8_t* b = bytesOf(n + first);
        if (b == nullptr) return -1;
        const unsigned destination = b[0] > kPromotionAdd ? b[0] - kPromotionAdd : b[0];
        const unsigned origin = b[1];
        const int before = mismatch(destination) + mismatch(origin);
        if (!replay.Apply(b[0], b[1], key, changed)) return -1;
        differ += mismatch(destination) + mismatch(origin) - before;
    }
}

// --- the store -------------------------------------------------------------------------------------

TreeResult ScanStore(const GameStore& store, const TreeQuery& query) {
    const int depth = std::clamp(query.depth, 0, kMaxDepth);
    OverflowSlots overflow;
    if (depth + 2 > kSlotsPerRecord) overflow.Load(store);

    std::uint64_t games = 0;
    {
        RecordFile index;
        if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read)) {
            throw StoreIoError("cannot open", store.files.IndexPath());
        }
        games = index.RecordCount() > 0 ? index.RecordCount() - 1 : 0;
    }
    std::vector<std::uint8_t> allowed;
    std::vector<std::uint32_t> scattered;
    bool scatter = false;
    if (query.within != nullptr) {
        allowed.assign(std::size_t(games) + 1, 0);
        for (std::uint32_t k : *query.within) {
            if (k >= 1 && k <= games) allowed[k] = 1;
        }
        // A short list of a long store is read game by game rather than whole.
        if (query.within->size() < games / 32) {
            scatter = true;
            for (std::uint32_t k = 1; k <= games; ++k) {
                if (allowed[k] != 0) scattered.push_back(k);
            }
        }
    }
    const ScanShared shared{query, query.position, depth, overflow, query.within ? &allowed : nullptr};

    const int ranges = scatter ? 1 : RangesFor(query.threads, games);
    std::array<ScanRange, 2> r{ScanRange(query.records), ScanRange(query.records)};
    r[0].begin = 0;
    r[0].end = ranges == 2 ? games / 2 : games;
    r[1].begin = r[0].end;
    r[1].end = games;
    const auto run = [&](ScanRange& range) {
        try {
            if (scatter) {
                ScanScattered(store, shared, scattered, range);
            } else {
                ScanSequential(store, shared, range);
            }
        } catch (...) {
            range.error = std::current_exception();
        }
    };
    if (ranges == 2) {
        std::thread second([&] { run(r[1]); });
        run(r[0]);
        second.join();
    } else {
        run(r[0]);
    }
    for (int i = 0; i < ranges; ++i) {
        if (r[std::size_t(i)].error) std::rethrow_exception(r[std::size_t(i)].error);
    }
    if (ranges == 2) r[0].tallies.Merge(r[1].tallies);
    TreeResult result = r[0].tallies.Finish();
    result.examined = r[0].examined + (ranges == 2 ? r[1].examined : 0);
    result.cancelled = r[0].cancelled || r[1].cancelled || Cancelled(query);
    return result;
}

TreeResult ExploreStore(const GameStore& store, const TreeQuery& query) {
    if (query.useIndex) {
        OpeningIndex index;
        if (index.Open(store) && query.depth <= index.depth()) return index.Query(query);
    }
    return ScanStore(store, query);
}

}  // namespace movra
