// Importing a Lisvek collection into an extended store: 100,000 games (a pool of played games
// written again and again, about one in five with comments) read from the collection's files and
// stored through the import path (moves played through, header from the master tables, comments
// into the comment files). Reports games a second.
//
// Environment: MOVRA_BENCH_LISVEK_GAMES=N (default 100,000).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../tests/core/textio/lisvek_writer.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/textio/lisvek_reader.h"
#include "store_sample.h"

namespace {

using namespace movra;
using namespace movra::literals;
namespace fs = std::filesystem;

long GameCount() {
    const char* n = std::getenv("MOVRA_BENCH_LISVEK_GAMES");
    return n != nullptr ? std::max(1L, std::atol(n)) : 100000;
}

// Writes the collection once: a pool of 1,000 games, its moves and headers repeated up to the
// count asked for.
fs::path MakeCollection(const fs::path& folder, long games) {
    testing::CollectionWriter w;
    w.folder = folder;
    w.players = {"羽生善治"_sj, "谷川浩司"_sj, "森内俊之"_sj, "佐藤康光"_sj};
    w.openings = {"矢倉"_sj, "四間飛車"_sj, "角換わり腰掛け銀"_sj};
    sample::Rng rng(17);
    std::vector<MoveCode> scratch;
    const long pool = std::min(games, 1000L);
    for (long i = 0; i < pool; ++i) {
        testing::WrittenGame g;
        sample::PlayGame(rng, 0, rng.Between(60, 180), g.record, scratch);
        g.sente = 1 + int(i % 4);
        g.gote = 1 + int((i + 1) % 4);
        g.tournament = 1 + int(i % 30);
        g.opening = 1 + int(i % 3);
        g.result = 1 + int(i % 2);
        g.date = 19970415;
        if (i % 5 == 0) g.comments[10] = "ここが勝負所。"_sj;
        w.Add(g);
    }
    const fs::path kif = w.Write("2003/05/05");
    const auto time = fs::last_write_time(kif);
    std::ofstream headers(folder / "kifu" / "kifu.dat", std::ios::binary | std::ios::app);
    std::ofstream moves(kif, std::ios::binary | std::ios::app);
    for (long i = pool; i < games; ++i) {
        const std::size_t k = std::size_t(i % pool);
        headers.write(reinterpret_cast<const char*>(w.headers[k].bytes.data()), kLisvekHeaderSize);
        moves.write(reinterpret_cast<const char*>(w.games[k].bytes.data()), kLisvekGameSize);
    }
    moves.close();
    fs::last_write_time(kif, time);
    return kif;
}

void BM_ImportLisvekCollection(benchmark::State& state) {
    char pattern[] = "/tmp/movra-bench-lisvek-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    const long games = GameCount();
    const fs::path kif = MakeCollection(dir / "lisvek", games);
    SilentPrompter prompter;
    long stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir / "store");
        fs::create_directories(dir / "store");
        GameStore store(dir / "store" / "games.ipx", StoreKind::Extended, 0);
        if (!CreateStoreFiles(dir / "store" / "games.ipx", true)) state.SkipWithError("store");
        ImportContext context{store, prompter, {}, "2001-02-03 04:05:06", {}, 5};
        state.ResumeTiming();
        stored = ImportLisvekFolder(kif, context).stored;
    }
    state.counters["games"] = double(stored);
    state.counters["games_per_s"] =
        benchmark::Counter(double(stored) * double(state.iterations()), benchmark::Counter::kIsRate);
    fs::remove_all(dir);
}
BENCHMARK(BM_ImportLisvekCollection)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
