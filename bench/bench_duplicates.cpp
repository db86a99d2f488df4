// The duplicate search and the checks for unusual games over a store of 1,000,000 games: identical
// moves, identical final positions, players with identical moves, and the replays of the
// repetition, full-file, empty-hands and captured-king checks.
//
// By default the store is generated in a temporary folder with the games of bench/gen_store
// (classic kind: only the index and game-data files are read) and removed at the end.
// Environment:
//   MOVRA_BENCH_STORE=PATH   an existing store (e.g. made by gen_store) instead
//   MOVRA_BENCH_GAMES=N      another game count for the generated store
// The files are read once before timing, so the figures are for files in the page cache. Each
// benchmark reloads the catalogue (every game in store order) before its search, as the dialog
// does; "peak_MiB" is the process's peak resident memory so far, "all_threads_cpu_s" the processor
// time of all threads per iteration.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/duplicates/anomaly_search.h"
#include "core/duplicates/duplicate_search.h"
#include "core/store/catalogue.h"
#include "core/store/open_store.h"
#include "core/store/record_file.h"
#include "core/text/prompter.h"
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
            b->folder = fs::temp_directory_path() / ("movra-bench-duplicates-" + std::to_string(::getpid()));
            fs::create_directories(b->folder);
            b->temporary = true;
            sample::StoreOptions options;
            options.path = b->folder / "bench.idx";
            options.games = games;
            options.extended = false;
            sample::GenerateStore(options);
            b->index = b->folder / "bench.idx";
        }
        SilentPrompter quiet;
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStoreForReading(b->index, count, quiet);
        b->store = std::make_unique<GameStore>(
            b->index, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);
        b->catalogue = std::make_unique<GameCatalogue>();
        // Into the page cache.
        RecordBlockReader reader;
        if (OpenGameDataReader(*b->store, reader, 4096)) {
            const std::uint8_t* records = nullptr;
            while (reader.Next(records) > 0) {
            }
        }
        return b;
    }();
    return *s;
}

// Seconds of processor time the process (all its threads) has used.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The peak resident memory, and the processor time of both threads per iteration: on a machine
// shared with other work the wall-clock figure says more about the others than about the search.
void ReportMemory(benchmark::State& state, double cpuBefore) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
    state.counters["all_threads_cpu_s"] = (ProcessCpuSeconds() - cpuBefore) / double(state.iterations());
}

void RunDuplicates(benchmark::State& state, const DuplicateCriteria& criteria) {
    BenchStore& b = Store();
    SilentPrompter quiet;
    long sets = 0;
    const double cpu = ProcessCpuSeconds();
    for (auto _ : state) {
        LoadCatalogue(*b.store, *b.catalogue);
        const DuplicateOutcome outcome = FindDuplicates(*b.store, *b.catalogue, criteria, quiet);
        sets = outcome.sets;
        benchmark::DoNotOptimize(sets);
    }
    state.counters["games"] = double(b.store->recordCount);
    state.counters["sets"] = double(sets);
    ReportMemory(state, cpu);
}

void RunCheck(benchmark::State& state, AnomalyCheck check) {
    BenchStore& b = Store();
    SilentPrompter quiet;
    long found = 0;
    const double cpu = ProcessCpuSeconds();
    for (auto _ : state) {
        LoadCatalogue(*b.store, *b.catalogue);
        found = FindAnomalies(*b.store, *b.catalogue, check, 0, quiet).found;
        benchmark::DoNotOptimize(found);
    }
    state.counters["games"] = double(b.store->recordCount);
    state.counters["found"] = double(found);
    ReportMemory(state, cpu);
}

void BM_IdenticalMoves(benchmark::State& state) {
    DuplicateCriteria c{};
    c.players = false;
    c.moves = true;
    RunDuplicates(state, c);
}
void BM_IdenticalFinalPositions(benchmark::State& state) {
    DuplicateCriteria c{};
    c.players = false;
    c.finalPosition = true;
    RunDuplicates(state, c);
}
void BM_PlayersAndMoves(benchmark::State& state) {
    DuplicateCriteria c;
    c.moves = true;
    RunDuplicates(state, c);
}
void BM_PlayersDateResult(benchmark::State& state) {
    DuplicateCriteria c;
    c.date = true;
    c.result = true;
    RunDuplicates(state, c);
}
void BM_RepetitionCheck(benchmark::State& state) { RunCheck(state, AnomalyCheck::Repetition); }
void BM_FullFileCheck(benchmark::State& state) { RunCheck(state, AnomalyCheck::FullFile); }
void BM_EmptyHandsCheck(benchmark::State& state) { RunCheck(state, AnomalyCheck::EmptyHands); }
void BM_CapturedKingCheck(benchmark::State& state) { RunCheck(state, AnomalyCheck::CapturedKing); }

#define MOVRA_DUPLICATE_BENCH(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)

MOVRA_DUPLICATE_BENCH(BM_IdenticalMoves);
MOVRA_DUPLICATE_BENCH(BM_IdenticalFinalPositions);
MOVRA_DUPLICATE_BENCH(BM_PlayersAndMoves);
MOVRA_DUPLICATE_BENCH(BM_PlayersDateResult);
MOVRA_DUPLICATE_BENCH(BM_RepetitionCheck);
MOVRA_DUPLICATE_BENCH(BM_FullFileCheck);
MOVRA_DUPLICATE_BENCH(BM_EmptyHandsCheck);
MOVRA_DUPLICATE_BENCH(BM_CapturedKingCheck);

}  // namespace

BENCHMARK_MAIN();
