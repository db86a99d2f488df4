#include "core/explorer/opening_index.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "core/store/layout.h"
#include "core/store/record_file.h"

namespace movra {
namespace {

constexpr std::array<char, 8> kMagic{'M', 'O', 'V', 'R', 'A', 'O', 'I', 'X'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 96;
constexpr std::size_t kGameSize = 16;
constexpr std::size_t kNodeSize = 24;
constexpr std::size_t kLookupSize = 12;
constexpr std::size_t kBlockRecords = 512;
constexpr std::uint64_t kCancelStep = 4096;
// The tree keeps its moves in 8-bit move numbers and never needs the overflow game data.
constexpr int kMaxIndexDepth = 250;

std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
std::uint32_t Load32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
void Put64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

// What the index is stamped with: size and modification time of the files it is made from.
struct StoreStamp {
    std::array<std::uint64_t, 6> files{};
    std::uint32_t games = 0;

    static StoreStamp Of(const GameStore& store) {
        StoreStamp s;
        const std::filesystem::path paths[3] = {store.files.IndexPath(),
                                                store.files.Path(ext::kGameData),
                                                store.files.Path(ext::kOverflowGameData)};
        for (std::size_t i = 0; i < 3; ++i) {
            struct stat st {};
            if (::stat(paths[i].c_str(), &st) != 0) continue;
            s.files[2 * i] = std::uint64_t(st.st_size);
            s.files[2 * i + 1] =
                std::uint64_t(st.st_mtim.tv_sec) * 1000000000ull + std::uint64_t(st.st_mtim.tv_nsec);
        }
        s.games = s.files[0] >= kIndexRecordSize ? std::uint32_t(s.files[0] / kIndexRecordSize - 1) : 0;
        return s;
    }
    friend bool operator==(const StoreStamp&, const StoreStamp&) = default;
};

struct Node {
    std::uint64_t key = 0;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::uint32_t subtreeEnd = 0;
    MoveKey move = 0;
    std::uint16_t ply = 0;
};

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

bool WriteWhole(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += std::size_t(n);
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

}  // namespace

std::filesystem::path OpeningIndexPath(const GameStore& store) {
    return store.files.Path(kOpeningIndexExtension);
}

// --- building --------------------------------------------------------------------------------------

IndexBuildOutcome BuildOpeningIndex(const GameStore& store, int depth,
                                    const std::atomic<bool>* cancel) {
    IndexBuildOutcome out;
    depth = std::clamp(depth, 0, kMaxIndexDepth);
    const std::size_t stride = std::size_t(depth) + 1;  // the moves to the depth and the next one
    const StoreStamp stamp = StoreStamp::Of(store);
    const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(std::memory_order_relaxed); };

    // 1. Every game's first moves as move keys.
    RecordBlockReader index, data;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, 1, kBlockRecords)) {
        out.error = "cannot open " + store.files.IndexPath().string();
        return out;
    }
    const bool haveData = data.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, 0, kBlockRecords);
    const std::uint64_t games = stamp.games;
    std::vector<MoveKey> moves;
    std::vector<std::uint8_t> lengths, handicaps;
    std::vector<GameFacts> facts;
    moves.reserve(std::size_t(games) * stride);
    lengths.reserve(std::size_t(games));
    handicaps.reserve(std::size_t(games));
    facts.reserve(std::size_t(games));
    static const std::array<std::uint8_t, kGameDataRecordSize> kNoMoves{};
    const std::uint8_t* indexBlock = nullptr;
    const std::uint8_t* dataBlock = nullptr;
    std::size_t indexLeft = 0, dataLeft = 0;
    bool dataEnded = !haveData;
    for (std::uint64_t i = 0; i < games; ++i) {
        if (i % kCancelStep == 0 && cancelled()) {
            out.cancelled = true;
            return out;
        }
        if (indexLeft == 0 && (indexLeft = index.Next(indexBlock)) == 0) break;
        const std::uint8_t* record = indexBlock;
        indexBlock += kIndexRecordSize;
        --indexLeft;
        const std::uint8_t* slots = kNoMoves.data();
        if (!dataEnded && dataLeft == 0 && (dataLeft = data.Next(dataBlock)) == 0) dataEnded = true;
        if (!dataEnded) {
            slots = dataBlock;
            dataBlock += kGameDataRecordSize;
            --dataLeft;
        }
        const int handicap = LoadU16(record + indexword::kHandicap * 2);
        SlotReplay replay;
        if (!replay.Start(handicap)) continue;  // no starting position: the scan skips it too
        const int first = FirstMoveSlot(handicap);
        std::size_t n = 0;
        std::array<std::uint8_t, 2> changed{};
        for (; n < stride; ++n) {
            const int slot = first + int(n);
            if (slot > kSlotsPerRecord) break;
            const std::uint8_t* b = slots + 2 * (slot - 1);
            MoveKey key = 0;
            if (!replay.Apply(b[0], b[1], key, changed)) break;
            moves.push_back(key);
        }
        moves.resize(facts.size() * stride + stride, 0);
        lengths.push_back(std::uint8_t(n));
        handicaps.push_back(std::uint8_t(handicap));
        facts.push_back(FactsOf(record, std::uint32_t(i + 1)));
    }

    // 2. The games sorted by handicap and moves, so that shared beginnings lie side by side.
    const std::size_t count = facts.size();
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = std::uint32_t(i);
    const auto movesOf = [&](std::uint32_t g) { return moves.data() + std::size_t(g) * stride; };
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (handicaps[a] != handicaps[b]) return handicaps[a] < handicaps[b];
        const MoveKey* ma = movesOf(a);
        const MoveKey* mb = movesOf(b);
        const std::size_t n = std::min(lengths[a], lengths[b]);
        for (std::size_t i = 0; i < n; ++i) {
            if (ma[i] != mb[i]) return ma[i] < mb[i];
        }
        if (lengths[a] != lengths[b]) return lengths[a] < lengths[b];
        return a < b;
    });
    if (cancelled()) {
        out.cancelled = true;
        return out;
    }

    // 3. The tree, depth first: a node for every distinct beginning.
    std::vector<Node> nodes;
    std::vector<std::uint32_t> open;  // open[p]: the node of move number p on the current path
    std::vector<SlotReplay> path(stride + 1);
    const auto close = [&](std::size_t keep, std::uint32_t at) {
        while (open.size() > keep) {
            Node& n = nodes[open.back()];
            n.end = at;
            n.subtreeEnd = std::uint32_t(nodes.size());
            open.pop_back();
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t g = order[i];
        const MoveKey* m = movesOf(g);
        std::size_t shared = 0;  // nodes of the path this game shares with the one before
        if (i > 0 && handicaps[order[i - 1]] == handicaps[g]) {
            const MoveKey* p = movesOf(order[i - 1]);
            const std::size_t n = std::min(lengths[order[i - 1]], lengths[g]);
            std::size_t common = 0;
            while (common < n && p[common] == m[common]) ++common;
            shared = common + 1;  // the root and the common moves
        }
        close(shared, std::uint32_t(i));
        if (shared == 0) {
            path[0].Start(handicaps[g]);
            open.push_back(std::uint32_t(nodes.size()));
            nodes.push_back(Node{path[0].key(), std::uint32_t(i), 0, 0, 0, 0});
        }
        for (std::size_t p = open.size(); p <= lengths[g]; ++p) {
            path[p] = path[p - 1];
            if (!path[p].ApplyKey(m[p - 1])) break;  // cannot happen: the keys came from this replay
            open.push_back(std::uint32_t(nodes.size()));
            nodes.push_back(Node{path[p].key(), std::uint32_t(i), 0, 0, m[p - 1], std::uint16_t(p)});
        }
    }
    close(0, std::uint32_t(count));
    std::vector<MoveKey>().swap(moves);

    std::vector<std::pair<std::uint64_t, std::uint32_t>> lookup;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].ply <= depth) lookup.emplace_back(nodes[n].key, std::uint32_t(n));
    }
    std::sort(lookup.begin(), lookup.end());
    if (cancelled()) {
        out.cancelled = true;
        return out;
    }

    // 4. The file, through a temporary one.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kHeaderSize + count * kGameSize + nodes.size() * kNodeSize + lookup.size() * kLookupSize);
    bytes.insert(bytes.end(), kMagic.begin(), kMagic.end());
    Put32(bytes, kVersion);
    Put32(bytes, std::uint32_t(depth));
    for (std::uint64_t v : stamp.files) Put64(bytes, v);
    Put32(bytes, stamp.games);
    Put32(bytes, std::uint32_t(count));
    Put32(bytes, std::uint32_t(nodes.size()));
    Put32(bytes, std::uint32_t(lookup.size()));
    bytes.resize(kHeaderSize, 0);
    for (std::uint32_t g : order) {
        const GameFacts& f = facts[g];
        Put32(bytes, f.record);
        Put32(bytes, f.date);
        Put16(bytes, f.sentePlayer);
        Put16(bytes, f.gotePlayer);
        bytes.push_back(f.result);
        bytes.insert(bytes.end(), 3, 0);
    }
    for (const Node& n : nodes) {
        Put64(bytes, n.key);
        Put32(bytes, n.begin);
        Put32(bytes, n.end);
        Put32(bytes, n.subtreeEnd);
        Put16(bytes, n.move);
        Put16(bytes, n.ply);
    }
    for (const auto& [key, node] : lookup) {
        Put64(bytes, key);
        Put32(bytes, node);
    }
    const std::filesystem::path temp = store.files.Path(kOpeningIndexTemp);
    const std::filesystem::path final = OpeningIndexPath(store);
    if (!WriteWhole(temp, bytes)) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        out.error = "cannot write " + temp.string();
        return out;
    }
    // The store changed while the index was made: it would describe other games.
    if (!(StoreStamp::Of(store) == stamp)) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        out.error = "the store changed while its opening index was made";
        return out;
    }
    std::error_code ec;
    std::filesystem::rename(temp, final, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        out.error = "cannot replace " + final.string();
        return out;
    }
    out.built = true;
    out.games = count;
    out.nodes = nodes.size();
    out.bytes = bytes.size();
    return out;
}

// --- reading -----------------------------------------------------------------------------------------

OpeningIndex::~OpeningIndex() { Close(); }

void OpeningIndex::Close() {
    if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

bool OpeningIndex::Open(const GameStore& store) {
    Close();
    const int fd = ::open(OpeningIndexPath(store).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || std::uint64_t(st.st_size) < kHeaderSize) {
        ::close(fd);
        return false;
    }
    void* map = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return false;
    data_ = static_cast<const std::uint8_t*>(map);
    size_ = std::uint64_t(st.st_size);

    StoreStamp stamp;
    const std::uint8_t* h = data_;
    bool ok = std::memcmp(h, kMagic.data(), kMagic.size()) == 0 && Load32(h + 8) == kVersion;
    depth_ = int(Load32(h + 12));
    for (std::size_t i = 0; i < stamp.files.size(); ++i) stamp.files[i] = Load64(h + 16 + 8 * i);
    stamp.games = Load32(h + 64);
    games_ = Load32(h + 68);
    nodes_ = Load32(h + 72);
    lookups_ = Load32(h + 76);
    ok = ok && depth_ <= kMaxIndexDepth &&
         size_ == kHeaderSize + games_ * kGameSize + nodes_ * kNodeSize + lookups_ * kLookupSize &&
         stamp == StoreStamp::Of(store);
    if (!ok) Close();
    return ok;
}

bool OpeningIndexFresh(const GameStore& store) {
    OpeningIndex index;
    return index.Open(store);
}

TreeResult OpeningIndex::Query(const TreeQuery& query) const {
    TreeResult none;
    if (data_ == nullptr) return none;
    const std::uint8_t* gamesAt = data_ + kHeaderSize;
    const std::uint8_t* nodesAt = gamesAt + games_ * kGameSize;
    const std::uint8_t* lookupAt = nodesAt + nodes_ * kNodeSize;
    const auto nodeAt = [&](std::uint64_t n) {
        const std::uint8_t* p = nodesAt + n * kNodeSize;
        return Node{Load64(p), Load32(p + 8), Load32(p + 12), Load32(p + 16),
                    MoveKey(p[20] | p[21] << 8), std::uint16_t(p[22] | p[23] << 8)};
    };
    const int depth = std::min(query.depth, depth_);
    const std::uint64_t key = PositionKey(query.position);

    // The nodes of the key, in tree order.
    std::uint64_t lo = 0, hi = lookups_;
    while (lo < hi) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        if (Load64(lookupAt + mid * kLookupSize) < key) lo = mid + 1; else hi = mid;
    }
    std::vector<std::uint32_t> hits;
    for (std::uint64_t i = lo; i < lookups_ && Load64(lookupAt + i * kLookupSize) == key; ++i) {
        const std::uint32_t n = Load32(lookupAt + i * kLookupSize + 8);
        if (n < nodes_ && nodeAt(n).ply <= depth) hits.push_back(n);
    }

    std::vector<std::uint8_t> allowed;
    if (query.within != nullptr) {
        std::uint32_t most = 0;
        for (std::uint32_t k : *query.within) most = std::max(most, k);
        allowed.assign(std::size_t(most) + 1, 0);
        for (std::uint32_t k : *query.within) allowed[k] = 1;
    }
    TreeTallies tallies(query.records);
    std::uint64_t seen = 0;
    bool cancelled = false;
    const auto addGames = [&](std::uint32_t from, std::uint32_t to, MoveKey move) {
        for (std::uint32_t g = from; g < to && g < games_; ++g) {
            if (++seen % kCancelStep == 0 && query.cancel != nullptr &&
                query.cancel->load(std::memory_order_relaxed)) {
                cancelled = true;
                return;
            }
            const std::uint8_t* p = gamesAt + std::uint64_t(g) * kGameSize;
            GameFacts f;
            f.record = Load32(p);
            if (query.within != nullptr && (f.record >= allowed.size() || allowed[f.record] == 0)) continue;
            f.date = Load32(p + 4);
            f.sentePlayer = std::uint16_t(p[8] | p[9] << 8);
            f.gotePlayer = std::uint16_t(p[10] | p[11] << 8);
            f.result = p[12];
            tallies.Add(move, f);
        }
    };
    // A hit below another hit is a game coming back to the position: counted at its first visit.
    std::uint32_t coveredTo = 0;
    for (std::uint32_t n : hits) {
        if (cancelled) break;
        if (n < coveredTo) continue;
        const Node node = nodeAt(n);
        coveredTo = node.subtreeEnd;
        std::uint32_t at = node.begin;
        for (std::uint32_t c = n + 1; c < node.subtreeEnd && !cancelled;) {
            const Node child = nodeAt(c);
            addGames(at, child.begin, 0);  // games whose moves end in the position
            addGames(child.begin, child.end, child.move);
            at = child.end;
            c = child.subtreeEnd > c ? child.subtreeEnd : c + 1;
        }
        addGames(at, node.end, 0);
    }
    TreeResult result = tallies.Finish();
    result.examined = seen;
    result.cancelled = cancelled;
    result.fromIndex = true;
    return result;
}

}  // namespace movra
