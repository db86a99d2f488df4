// Whole-store maintenance on a generated store: sorting by date (the whole store rewritten) and
// the complete merge of two stores of half that size each (both stores' games, identical games
// removed, sorted, put in place of the open store).
//
// By default the stores are made in a temporary folder by the generator of gen_store: one of
// 1,000,000 games and two of 500,000 (different games). Environment:
//   MOVRA_BENCH_GAMES=N        another size (the merged stores hold N/2 each)
//   MOVRA_BENCH_KIND=classic   classic stores instead of extended ones
//   MOVRA_BENCH_STORES=DIR     keep the generated stores in DIR and use them again next time
//                              (whole, first and second of the kind; made when missing)
// Each run works on fresh copies (made while the clock is paused). The counter max_rss_mib is
// the process's peak resident memory so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/maintenance/store_merge.h"
#include "core/maintenance/store_sort.h"
#include "core/store/store_files.h"
#include "store_sample.h"

namespace {

using namespace movra;
using namespace movra::maintenance;
namespace fs = std::filesystem;

long Games() {
    const char* v = std::getenv("MOVRA_BENCH_GAMES");
    return v ? std::atol(v) : 1000000;
}

bool Extended() {
    const char* v = std::getenv("MOVRA_BENCH_KIND");
    return !(v && std::string(v) == "classic");
}

double MaxRssMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct Stores {
    fs::path folder;
    fs::path whole, first, second;  // the pristine stores
    bool keep = false;              // a folder of the user's: only the copies go
    ~Stores() {
        std::error_code ec;
        fs::remove_all(keep ? folder / "work" : folder, ec);
    }
};

fs::path Generate(const fs::path& folder, const std::string& name, long games, std::uint64_t start) {
    sample::StoreOptions options;
    options.path = folder / (name + (Extended() ? ".ipx" : ".idx"));
    if (fs::exists(options.path)) return StoreFiles(options.path).IndexPath();
    options.games = games;
    options.randomStart = start;
    options.extended = Extended();
    sample::GenerateStore(options);
    return StoreFiles(options.path).IndexPath();
}

Stores& TheStores() {
    static std::unique_ptr<Stores> stores = [] {
        auto s = std::make_unique<Stores>();
        if (const char* kept = std::getenv("MOVRA_BENCH_STORES")) {
            s->folder = kept;
            s->keep = true;
            fs::create_directories(s->folder);
        } else {
            std::string pattern = (fs::temp_directory_path() / "movra-bench-XXXXXX").string();
            std::vector<char> buffer(pattern.begin(), pattern.end());
            buffer.push_back('\0');
            if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp");
            s->folder = buffer.data();
        }
        const long games = Games();
        s->whole = Generate(s->folder, "whole", games, 1);
        s->first = Generate(s->folder, "first", games / 2, 2);
        s->second = Generate(s->folder, "second", games / 2, 3);
        return s;
    }();
    return *stores;
}

// A copy of every file of the set `from` under the base name `name` in the work folder.
GameStore FreshCopy(const fs::path& from, const std::string& name) {
    const StoreFiles source(from);
    const fs::path work = source.folder() / "work";
    fs::create_directories(work);
    for (const auto& e : fs::directory_iterator(source.folder())) {
        if (!e.is_regular_file() || e.path().stem() != source.baseName()) continue;
        fs::copy_file(e.path(), work / (name + e.path().extension().string()), fs::copy_options::overwrite_existing);
    }
    std::uint32_t count = 0;
    GameStore store(work / (name + ".idx"), Extended() ? StoreKind::Extended : StoreKind::Classic);
    ReadGameCount(store, count);
    store.recordCount = count;
    return store;
}

void BM_SortByDate(benchmark::State& state) {
    Stores& stores = TheStores();
    SilentPrompter quiet;
    bool ascending = true;
    for (auto _ : state) {
        state.PauseTiming();
        GameStore store = FreshCopy(stores.whole, "sorted");
        state.ResumeTiming();
        const RewriteResult r = SortStore(store, ascending ? SortOrder::Ascending : SortOrder::Descending, quiet);
        if (!r.ok) state.SkipWithError("the sort failed");
        ascending = !ascending;
    }
    state.counters["games"] = double(Games());
    state.counters["max_rss_mib"] = MaxRssMib();
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_CompleteMergeOfTwoHalves(benchmark::State& state) {
    Stores& stores = TheStores();
    SilentPrompter quiet;
    for (auto _ : state) {
        state.PauseTiming();
        GameStore store = FreshCopy(stores.first, "merged");
        const fs::path other = stores.second.parent_path() / (stores.second.stem().string() + (Extended() ? ".ipx" : ".idx"));
        state.ResumeTiming();
        const MergeResult r = MergeStores(store, other, MergeKind::Complete, SortOrder::Descending, quiet);
        if (!r.ok) state.SkipWithError("the merge failed");
        state.counters["games_after"] = double(r.count);
    }
    state.counters["max_rss_mib"] = MaxRssMib();
}
BENCHMARK(BM_CompleteMergeOfTwoHalves)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
