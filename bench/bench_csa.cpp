// Importing a folder of CSA records into an extended store: 10,000 files of real size (60-180
// moves with their times, comments on some moves, names and a start time), written by the CSA
// writer from played games and read back through the whole import path. Reports games a second.
//
// Environment: MOVRA_BENCH_CSA_FILES=N (default 10,000 files).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/store/store_files.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/textio/csa_writer.h"
#include "core/textio/export_file.h"
#include "core/textio/import_text.h"
#include "store_sample.h"

namespace {

using namespace movra;
using namespace movra::literals;
namespace fs = std::filesystem;

struct CsaFolder {
    fs::path folder;
    std::vector<fs::path> files;
};

CsaFolder& Files() {
    static CsaFolder csa = [] {
        CsaFolder c;
        char pattern[] = "/tmp/movra-bench-csa-XXXXXX";
        c.folder = ::mkdtemp(pattern);
        fs::create_directories(c.folder / "csa");
        const char* n = std::getenv("MOVRA_BENCH_CSA_FILES");
        const long count = n != nullptr ? std::max(1L, std::atol(n)) : 10000;
        sample::Rng rng(31);
        std::vector<MoveCode> scratch;
        std::vector<std::unique_ptr<ExportGame>> pool;
        for (int i = 0; i < 200; ++i) {
            auto g = std::make_unique<ExportGame>();
            sample::PlayGame(rng, 0, rng.Between(60, 180), g->record, scratch);
            for (int m = 1; m <= g->record.moveCount; ++m) {
                g->record.moves[std::size_t(m)].consumedTime = std::uint16_t(rng.Between(0, 600));
            }
            g->senteName = "先手"_sj + std::to_string(i);
            g->goteName = "後手"_sj + std::to_string(i);
            g->tournament = "順位戦"_sj;
            g->year = 2020;
            g->month = 1 + i % 12;
            g->day = 1 + i % 28;
            g->result = 1 + i % 2;
            g->comments.assign(std::size_t(g->record.moveCount + 2), std::string());
            for (int m = 5; m <= g->record.moveCount; m += 20) g->comments[std::size_t(m)] = "ここが勝負所。"_sj;
            pool.push_back(std::move(g));
        }
        for (long i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "g%06ld.csa", i);
            const fs::path path = c.folder / "csa" / name;
            WriteTextLines(path, CsaLines(*pool[std::size_t(i) % pool.size()]), WriteMode::Replace);
            c.files.push_back(path);
        }
        return c;
    }();
    return csa;
}

void BM_ImportCsaFolder(benchmark::State& state) {
    CsaFolder& csa = Files();
    SilentPrompter prompter;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path storeFolder = csa.folder / ("store" + std::to_string(run++));
        fs::create_directories(storeFolder);
        CreateStoreFiles(storeFolder / "bench.ipx", true);
        GameStore store(storeFolder / "bench.ipx", StoreKind::Extended, 0);
        ImportContext context{store, prompter, {}, "2000-01-01 00:00:00", {}, 5};
        state.ResumeTiming();
        const ImportSummary summary = ImportFiles(csa.files, context);
        state.PauseTiming();
        if (summary.gamesStored != long(csa.files.size())) state.SkipWithError("not every file was stored");
        std::error_code ec;
        fs::remove_all(storeFolder, ec);
        state.ResumeTiming();
    }
    state.counters["games/s"] = benchmark::Counter(
        double(state.iterations() * long(csa.files.size())), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportCsaFolder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
