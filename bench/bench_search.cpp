// The game search over a store of 1,000,000 games: position searches to depth 50 and to the end
// of every game, the colour-reversed form, a header-only search, and a narrowing search.
//
// By default the store is generated in a temporary folder with the games of bench/gen_store
// (extended kind, the generator's default numbers) and removed at the end. Environment:
//   MOVRA_BENCH_STORE=PATH   an existing store (e.g. made by gen_store) instead
//   MOVRA_BENCH_GAMES=N      another game count for the generated store
// The files are read once before timing, so the figures are for files in the page cache.
//
// The patterns: "real" is the whole position after move 30 of a game of the store, which its
// copies and any game passing through it match; "never" asks for that position with every pawn in
// sente's hand, which no game reaches, so every game is replayed to the depth (the worst case).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/list/game_search.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "store_sample.h"

namespace {

using namespace movra;
namespace fs = std::filesystem;

struct BenchStore {
    fs::path folder;
    fs::path index;
    bool temporary = false;
    std::unique_ptr<GameStore> store;
    std::unique_ptr<GameCatalogue> catalogue;
    SearchPattern real;
    SearchPattern never;

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
        if (const char* given = std::getenv("MOVRA_BENCH_STORE"); given != nullptr && *given) {
            b->index = StoreFiles(given).IndexPath();
        } else {
            long games = 1000000;
            if (const char* n = std::getenv("MOVRA_BENCH_GAMES"); n != nullptr && *n) {
                games = std::strtol(n, nullptr, 10);
            }
            b->folder = fs::temp_directory_path() / ("movra-bench-search-" + std::to_string(::getpid()));
            fs::create_directories(b->folder);
            b->temporary = true;
            sample::StoreOptions options;
            options.path = b->folder / "bench.ipx";
            options.games = games;
            sample::GenerateStore(options);
            b->index = b->folder / "bench.idx";
        }
        SilentPrompter quiet;
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStore(b->index, count, quiet);
        b->store = std::make_unique<GameStore>(
            b->index, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);
        b->catalogue = std::make_unique<GameCatalogue>();

        // The position after move 30 of the first even game with that many moves.
        StoreReader reader(*b->store);
        TKifData record;
        for (std::uint32_t k = 1; k <= count; ++k) {
            IndexRecord ix;
            reader.ReadIndexRecord(k, ix);
            if (ix.handicap() != 0) continue;
            const GameMoves m = ReadGameMoves(reader, k, ix.overflowNumber(), 0, false, 30, record, quiet);
            if (record.moveCount < 30) continue;
            b->real = SearchPattern::FromPosition(record.position);
            break;
        }
        b->never = b->real;
        b->never.senteHand[kind::Fu] = 18;

        // Warm the page cache.
        SearchConditions warm;
        warm.positionMode = PositionMode::Same;
        warm.pattern = b->never;
        warm.depth = kSearchToEnd;
        SearchOptions options;
        options.announce = false;
        FullSearch(*b->store, warm, *b->catalogue, quiet, options);
        return b;
    }();
    return *s;
}

void RunFull(benchmark::State& state, const SearchConditions& c) {
    BenchStore& b = Store();
    SilentPrompter quiet;
    SearchOptions options;
    options.announce = false;
    options.threads = int(state.range(0));
    SearchOutcome outcome;
    for (auto _ : state) {
        outcome = FullSearch(*b.store, c, *b.catalogue, quiet, options);
        benchmark::DoNotOptimize(outcome.hits);
    }
    state.counters["games"] = double(outcome.examined);
    state.counters["hits"] = double(outcome.hits);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(outcome.examined));
}

SearchConditions PositionSearch(const SearchPattern& pattern, PositionMode mode, int depth) {
    SearchConditions c;
    c.positionMode = mode;
    c.pattern = pattern;
    c.depth = depth;
    return c;
}

void BM_PositionDepth50Never(benchmark::State& state) {
    RunFull(state, PositionSearch(Store().never, PositionMode::Same, 50));
}
void BM_PositionDepth50Real(benchmark::State& state) {
    RunFull(state, PositionSearch(Store().real, PositionMode::Same, 50));
}
void BM_PositionToEndNever(benchmark::State& state) {
    RunFull(state, PositionSearch(Store().never, PositionMode::Same, kSearchToEnd));
}
void BM_PositionToEndReversedNever(benchmark::State& state) {
    RunFull(state, PositionSearch(Store().never, PositionMode::SameOrReversed, kSearchToEnd));
}
// A few pieces only: many games pass through it early.
void BM_PositionToEndSparse(benchmark::State& state) {
    SearchPattern sparse;
    sparse.board[std::size_t(BoardIndex(7, 6))] = piece::Fu;
    sparse.board[std::size_t(BoardIndex(3, 4))] = piece::Fu + piece::kGoteOffset;
    sparse.senteHand[kind::Kaku] = 1;
    RunFull(state, PositionSearch(sparse, PositionMode::SameOrReversed, kSearchToEnd));
}
// Players and dates: the index file only.
void BM_HeaderOnly(benchmark::State& state) {
    SearchConditions c;
    c.player1 = 17;
    c.playerMode = PlayerMode::Either;
    c.dateFrom = DateFromValue(1970, 0);
    c.dateTo = DateToValue(2010, 12);
    RunFull(state, c);
}

BENCHMARK(BM_PositionDepth50Never)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionDepth50Real)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionToEndNever)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionToEndReversedNever)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionToEndSparse)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeaderOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Narrowing a list of every game by a position, to the end.
void BM_NarrowToEndNever(benchmark::State& state) {
    BenchStore& b = Store();
    SilentPrompter quiet;
    const SearchConditions c = PositionSearch(b.never, PositionMode::Same, kSearchToEnd);
    SearchOptions options;
    options.announce = false;
    std::uint64_t examined = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LoadCatalogue(*b.store, *b.catalogue);
        state.ResumeTiming();
        const SearchOutcome outcome = NarrowSearch(*b.store, c, *b.catalogue, quiet, options);
        examined = outcome.examined;
        benchmark::DoNotOptimize(outcome.hits);
    }
    state.counters["games"] = double(examined);
}
BENCHMARK(BM_NarrowToEndNever)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
