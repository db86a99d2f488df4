// Decoding every stored game and appending games.
//
// By default a store of 20,000 games is generated in a temporary folder. MOVRA_BENCH_STORE names
// an existing store instead (e.g. one made by gen_store --games 1000000), and
// MOVRA_BENCH_GAMES changes the size of the generated one.
//
// Figures: items_per_second is moves a second for the decoding benchmarks and games a second
// for the appends.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/record/kif_data.h"
#include "core/store/game_io.h"
#include "core/store/store_files.h"
#include "store_sample.h"

namespace {

using namespace movra;
namespace fs = std::filesystem;

class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = (fs::temp_directory_path() / "movra-bench-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp");
        path_ = buffer.data();
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The store the decoding benchmarks read, made once.
struct BenchStore {
    std::unique_ptr<BenchFolder> folder;
    GameStore store;
};

BenchStore& TheStore() {
    static BenchStore s = [] {
        BenchStore b;
        if (const char* named = std::getenv("MOVRA_BENCH_STORE"); named && *named) {
            const StoreFiles files{fs::path(named)};
            b.store = GameStore(named, files.Exists(ext::kDetail) ? StoreKind::Extended
                                                                  : StoreKind::Classic);
        } else {
            b.folder = std::make_unique<BenchFolder>();
            sample::StoreOptions options;
            options.path = b.folder->path() / "bench.ipx";
            options.games = 20000;
            if (const char* n = std::getenv("MOVRA_BENCH_GAMES"); n && *n) options.games = std::atol(n);
            options.pool = 2000;
            options.randomStart = 2024;
            sample::GenerateStore(options);
            b.store = GameStore(options.path, StoreKind::Extended);
        }
        ReadGameCount(b.store, b.store.recordCount);
        return b;
    }();
    return s;
}

// Every game's handicap and overflow number, from the index file in large blocks.
struct IndexFacts {
    std::vector<std::uint8_t> handicap;
    std::vector<std::uint16_t> overflow;
};

IndexFacts ReadFacts(const GameStore& store) {
    IndexFacts f;
    f.handicap.reserve(store.recordCount);
    f.overflow.reserve(store.recordCount);
    RecordBlockReader reader;
    OpenIndexReader(store, reader, 8192);
    const std::uint8_t* block = nullptr;
    for (std::size_t n; (n = reader.Next(block)) != 0 && f.handicap.size() < store.recordCount;) {
        for (std::size_t i = 0; i < n; ++i) {
            const IndexRecord r = IndexRecord::FromBytes(block + i * kIndexRecordSize);
            f.handicap.push_back(std::uint8_t(r.handicap()));
            f.overflow.push_back(r.overflowNumber());
        }
    }
    return f;
}

// Streams the game-data file in blocks and decodes every game into move codes (the overflow
// records are read by number for the long games).
void BM_DecodeEveryGame(benchmark::State& state) {
    const GameStore& store = TheStore().store;
    const IndexFacts facts = ReadFacts(store);
    StoreReader overflow(store);
    std::array<MoveCode, kMaxSlots> codes;
    long moves = 0;
    for (auto _ : state) {
        RecordBlockReader reader;
        OpenGameDataReader(store, reader, 2048);
        const std::uint8_t* block = nullptr;
        std::size_t game = 0;
        MoveBytes bytes;
        for (std::size_t n; (n = reader.Next(block)) != 0;) {
            for (std::size_t i = 0; i < n && game < facts.handicap.size(); ++i, ++game) {
                std::memcpy(bytes.bytes.data(), block + i * kGameDataRecordSize, kGameDataRecordSize);
                if (bytes.bytes[kGameDataRecordSize - 2] != 0 && facts.overflow[game] != 0) {
                    overflow.ReadGameData(long(game + 1), facts.overflow[game], bytes);
                } else {
                    std::memset(bytes.overflowRecord(), 0, kGameDataRecordSize);
                }
                bool damaged = false;
                moves += DecodeMoveBytes(bytes, facts.handicap[game], kMaxSlots, codes, damaged);
                benchmark::DoNotOptimize(codes.data());
            }
        }
    }
    state.SetItemsProcessed(moves);
    state.counters["games"] = double(facts.handicap.size());
}
BENCHMARK(BM_DecodeEveryGame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Games already in memory: the decoder alone, and the decoder with the moves applied to the game
// record as ReadGameMoves does (without and with the move-list lines).
struct InMemory {
    std::vector<MoveBytes> moves;
    std::vector<std::uint8_t> handicap;
};

const InMemory& FirstGames() {
    static InMemory m = [] {
        InMemory in;
        const GameStore& store = TheStore().store;
        const IndexFacts facts = ReadFacts(store);
        const std::size_t n = std::min<std::size_t>(facts.handicap.size(), 50000);
        StoreReader reader(store);
        in.moves.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            reader.ReadGameData(long(k + 1), facts.overflow[k], in.moves[k]);
        }
        in.handicap.assign(facts.handicap.begin(), facts.handicap.begin() + long(n));
        return in;
    }();
    return m;
}

void BM_DecodeInMemory(benchmark::State& state) {
    const InMemory& in = FirstGames();
    std::array<MoveCode, kMaxSlots> codes;
    long moves = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < in.moves.size(); ++k) {
            bool damaged = false;
            moves += DecodeMoveBytes(in.moves[k], in.handicap[k], kMaxSlots, codes, damaged);
            benchmark::DoNotOptimize(codes.data());
        }
    }
    state.SetItemsProcessed(moves);
}
BENCHMARK(BM_DecodeInMemory)->Unit(benchmark::kMillisecond);

void BM_LoadIntoGameRecord(benchmark::State& state) {
    const InMemory& in = FirstGames();
    const bool lists = state.range(0) != 0;
    TKifData record;
    SilentPrompter prompter;
    long moves = 0;
    const std::size_t games = lists ? std::min<std::size_t>(in.moves.size(), 5000) : in.moves.size();
    for (auto _ : state) {
        for (std::size_t k = 0; k < games; ++k) {
            GameMoves g = LoadGameMoves(in.moves[k], nullptr, in.handicap[k], lists, 0, record,
                                        prompter);
            moves += record.moveCount;
            benchmark::DoNotOptimize(g.lines.data());
        }
    }
    state.SetItemsProcessed(moves);
}
BENCHMARK(BM_LoadIntoGameRecord)->Arg(0)->Arg(1)->ArgNames({"lists"})->Unit(benchmark::kMillisecond);

// Appending through WriteGame and WriteGameDetail, as saving and importing do, to a store that
// starts empty for each batch of 1000 games.
void BM_AppendGames(benchmark::State& state) {
    const bool extended = state.range(0) != 0;
    sample::Rng rng(77);
    const std::vector<sample::PoolGame> pool = sample::MakePool(rng, 200);
    BenchFolder folder;
    const fs::path path = folder.path() / (extended ? "append.ipx" : "append.idx");
    SilentPrompter prompter;
    long games = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CreateStoreFiles(path, extended);
        std::error_code ec;
        fs::remove(folder.path() / "append.kf2", ec);
        fs::remove(folder.path() / "append.kp2", ec);
        const GameStore store(path, extended ? StoreKind::Extended : StoreKind::Classic);
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) {
            const sample::PoolGame& g = pool[std::size_t(i) % pool.size()];
            IndexRecord index;
            index.setHandicap(std::uint16_t(g.handicap));
            index.setYear(2000);
            const WrittenGame w = WriteGame(store, index, g.moves, kAppendGame, false, prompter);
            if (extended) {
                DetailRecord detail;
                detail.CopyIndexWords(index);
                WriteGameDetail(store, detail, g.info, long(w.recordNumber), false);
            }
        }
        games += 1000;
    }
    state.SetItemsProcessed(games);
}
BENCHMARK(BM_AppendGames)->Arg(0)->Arg(1)->ArgNames({"extended"})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
