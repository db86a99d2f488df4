// The opening explorer over a store of 1,000,000 games: the scan of the store's files and the
// opening index (its build and its queries), from the starting position and from positions after
// moves 12 and 30 of a game of the store, to the default depth of 60 moves.
//
// By default the store is generated in a temporary folder with the games of bench/gen_store
// (extended kind, the generator's default numbers) and removed at the end. Environment:
//   MOVRA_BENCH_STORE=PATH   an existing store (e.g. made by gen_store) instead; its opening
//                            index is rebuilt beside it
//   MOVRA_BENCH_GAMES=N      another game count for the generated store
// The files are read once before timing, so the figures are for files in the page cache.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/explorer/opening_index.h"
#include "core/explorer/opening_tree.h"
#include "core/record/kif_data.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "core/text/prompter.h"
#include "store_sample.h"

namespace {

using namespace movra;
namespace fs = std::filesystem;

struct BenchStore {
    fs::path folder;
    bool temporary = false;
    std::unique_ptr<GameStore> store;
    ExplorerPosition start, move12, move30;

    ~BenchStore() {
        if (temporary) {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    }
};

BenchStore& Store() {
    static std::unique_ptr<BenchStore> s = [] {
        auto b = std::make_unique<BenchStore>();
        fs::path index;
        if (const char* given = std::getenv("MOVRA_BENCH_STORE"); given != nullptr && *given) {
            index = StoreFiles(given).IndexPath();
        } else {
            long games = 1000000;
            if (const char* n = std::getenv("MOVRA_BENCH_GAMES"); n != nullptr && *n) {
                games = std::strtol(n, nullptr, 10);
            }
            b->folder = fs::temp_directory_path() / ("movra-bench-explorer-" + std::to_string(::getpid()));
            fs::create_directories(b->folder);
            b->temporary = true;
            sample::StoreOptions options;
            options.path = b->folder / "bench.ipx";
            options.games = games;
            sample::GenerateStore(options);
            index = b->folder / "bench.idx";
        }
        SilentPrompter quiet;
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStore(index, count, quiet);
        b->store = std::make_unique<GameStore>(
            index, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);

        BoardPosition start;
        SetUpStandard(start, '0');
        b->start = ExplorerPosition::From(start, side::kSente);
        // Positions of the first even game with at least 30 moves.
        StoreReader reader(*b->store);
        TKifData record;
        for (std::uint32_t k = 1; k <= count; ++k) {
            IndexRecord ix;
            reader.ReadIndexRecord(k, ix);
            if (ix.handicap() != 0) continue;
            ReadGameMoves(reader, k, ix.overflowNumber(), 0, false, 30, record, quiet);
            if (record.moveCount < 30) continue;
            record.SetUpStandard();
            for (int m = 1; m <= 30; ++m) {
                record.ApplyMove(m);
                record.Rebuild();
                if (m == 12) b->move12 = ExplorerPosition::From(record.position, record.SideOf(13));
            }
            b->move30 = ExplorerPosition::From(record.position, record.SideOf(31));
            break;
        }
        // Warm the page cache.
        TreeQuery warm;
        warm.position = b->move30;
        warm.useIndex = false;
        ScanStore(*b->store, warm);
        return b;
    }();
    return *s;
}

void RunScan(benchmark::State& state, const ExplorerPosition& position) {
    BenchStore& b = Store();
    TreeQuery q;
    q.position = position;
    q.useIndex = false;
    q.threads = int(state.range(0));
    TreeResult r;
    for (auto _ : state) {
        r = ScanStore(*b.store, q);
        benchmark::DoNotOptimize(r.games);
    }
    state.counters["games"] = double(r.examined);
    state.counters["reaching"] = double(r.games);
    state.counters["next_moves"] = double(r.moves.size());
}

void BM_ScanStart(benchmark::State& state) { RunScan(state, Store().start); }
void BM_ScanMove12(benchmark::State& state) { RunScan(state, Store().move12); }
void BM_ScanMove30(benchmark::State& state) { RunScan(state, Store().move30); }
BENCHMARK(BM_ScanStart)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMove12)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMove30)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Building the index, once: its size and node count as counters.
void BM_IndexBuild(benchmark::State& state) {
    BenchStore& b = Store();
    IndexBuildOutcome built;
    for (auto _ : state) {
        built = BuildOpeningIndex(*b.store);
        if (!built.built) state.SkipWithError(built.error.c_str());
    }
    state.counters["index_bytes"] = double(built.bytes);
    state.counters["nodes"] = double(built.nodes);
}
BENCHMARK(BM_IndexBuild)->Iterations(1)->Unit(benchmark::kMillisecond);

void RunIndex(benchmark::State& state, const ExplorerPosition& position) {
    BenchStore& b = Store();
    if (!OpeningIndexFresh(*b.store) && !BuildOpeningIndex(*b.store).built) {
        state.SkipWithError("no opening index");
        return;
    }
    TreeQuery q;
    q.position = position;
    TreeResult r;
    for (auto _ : state) {
        // Opening (mapping and checking the stamp) is part of every query, as the panel does it.
        r = ExploreStore(*b.store, q);
        benchmark::DoNotOptimize(r.games);
    }
    if (!r.fromIndex) state.SkipWithError("the index was not used");
    state.counters["reaching"] = double(r.games);
    state.counters["next_moves"] = double(r.moves.size());
}
void BM_IndexStart(benchmark::State& state) { RunIndex(state, Store().start); }
void BM_IndexMove12(benchmark::State& state) { RunIndex(state, Store().move12); }
void BM_IndexMove30(benchmark::State& state) { RunIndex(state, Store().move30); }
BENCHMARK(BM_IndexStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexMove12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexMove30)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
