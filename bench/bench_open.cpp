// Opening a store: validation, the master tables and loading the catalogue of every game.
//
// By default a store of 1,000,000 games of the extended kind is made in a temporary folder: a
// real index file (32 MB, varied headers) and sparse record files of the right sizes (validation
// and catalogue loading read only the index file and the sizes of the others). Environment:
//   MOVRA_BENCH_GAMES=N      another game count
//   MOVRA_BENCH_STORE=PATH   an existing store (e.g. one made by gen_store) instead
// The files are read once before timing, so the figures are for files in the page cache.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/comment_layout.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"

namespace {

using namespace movra;
namespace fs = std::filesystem;

struct BenchStore {
    fs::path folder;
    fs::path index;
    bool temporary = false;

    ~BenchStore() {
        if (temporary) {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    }
};

void WriteBytes(const fs::path& p, const void* data, std::size_t size) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A store of `games` games with headers as a real store has them: players from thousands,
// dates over decades, tournaments and openings 1-100, a few handicap and overflow games.
void MakeStore(const fs::path& folder, std::uint32_t games) {
    std::mt19937 rng(20240601);
    std::vector<std::uint8_t> index((std::size_t(games) + 1) * kIndexRecordSize);
    StoreHeader header;
    header.SetGameCount(games);
    std::copy(header.bytes.begin(), header.bytes.end(), index.begin());
    int overflow = 0;
    for (std::uint32_t k = 1; k <= games; ++k) {
        IndexRecord r;
        r.setSentePlayer(std::uint16_t(1 + rng() % 3000));
        r.setGotePlayer(std::uint16_t(1 + rng() % 3000));
        r.setTournament(std::uint16_t(rng() % 100));
        r.setSubTournament(std::uint16_t(rng() % 11));
        r.setGameNumber(std::uint16_t(rng() % 8));
        r.setYear(std::uint16_t(1950 + rng() % 75));
        r.setMonth(std::uint16_t(1 + rng() % 12));
        r.setDay(std::uint16_t(1 + rng() % 28));
        r.setOpening(std::uint16_t(rng() % 101));
        r.setResult(std::uint16_t(rng() % 9));
        r.setHandicap(std::uint16_t(rng() % 20 == 0 ? 1 + rng() % 14 : 0));
        if (rng() % 100 == 0 && overflow < kMaxOverflowNumber) r.setOverflowNumber(std::uint16_t(++overflow));
        std::copy(r.bytes.begin(), r.bytes.end(), index.begin() + std::ptrdiff_t(k * kIndexRecordSize));
    }
    WriteBytes(folder / "bench.idx", index.data(), index.size());
    const auto sparse = [&](const char* name, std::uint64_t size) {
        WriteBytes(folder / name, nullptr, 0);
        fs::resize_file(folder / name, size);
    };
    sparse("bench.kif", std::uint64_t(games) * kGameDataRecordSize);
    sparse("bench.ipx", std::uint64_t(games) * kDetailRecordSize);
    sparse("bench.kpf", std::uint64_t(games) * kMoveInfoRecordSize);
    const CommentBitmap bitmap = CommentBitmap::Fresh();
    WriteBytes(folder / "bench.cp0", bitmap.bytes.data(), bitmap.bytes.size());
    std::ofstream(folder / "Ksname.dat", std::ios::binary) << "  1 A Player\r\n";
    std::ofstream(folder / "Movra.dat", std::ios::binary) << " 1 Tournament\r\n";
    std::ofstream(folder / "Senkei.dat", std::ios::binary) << "  1 Opening\r\n";
}

BenchStore& Store() {
    static std::unique_ptr<BenchStore> store = [] {
        auto s = std::make_unique<BenchStore>();
        if (const char* given = std::getenv("MOVRA_BENCH_STORE"); given != nullptr && *given) {
            s->index = StoreFiles(given).IndexPath();
            s->folder = s->index.parent_path();
            return s;
        }
        std::uint32_t games = 1000000;
        if (const char* n = std::getenv("MOVRA_BENCH_GAMES"); n != nullptr && *n) {
            games = std::uint32_t(std::strtoul(n, nullptr, 10));
        }
        s->folder = fs::temp_directory_path() / ("movra-bench-open-" + std::to_string(::getpid()));
        fs::create_directories(s->folder);
        s->temporary = true;
        MakeStore(s->folder, games);
        s->index = s->folder / "bench.idx";
        return s;
    }();
    return *store;
}

// Validation and the catalogue: what opening a store costs apart from the master tables.
void BM_ValidateAndLoadCatalogue(benchmark::State& state) {
    const BenchStore& store = Store();
    SilentPrompter prompter;
    auto catalogue = std::make_unique<GameCatalogue>();
    std::uint32_t count = 0;
    ValidateStore(store.index, count, prompter);  // warms the page cache
    for (auto _ : state) {
        const StoreCheck r = ValidateStore(store.index, count, prompter);
        const GameStore gameStore(store.index, r == StoreCheck::Extended ? StoreKind::Extended
                                                                         : StoreKind::Classic,
                                  count);
        const CatalogueLoad load = LoadCatalogue(gameStore, *catalogue);
        benchmark::DoNotOptimize(load.loaded);
    }
    state.counters["games"] = double(catalogue->count());
    state.counters["catalogue_MB"] =
        double(2 * sizeof(GameHeader) * std::size_t(kCatalogueCapacity)) / (1024.0 * 1024.0);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * catalogue->count());
}
BENCHMARK(BM_ValidateAndLoadCatalogue)->Unit(benchmark::kMillisecond);

// The whole of OpenStore: validation, the three master tables and the catalogue.
void BM_OpenStore(benchmark::State& state) {
    const BenchStore& store = Store();
    SilentPrompter prompter;
    auto session = std::make_unique<StoreSession>();
    session->programFolder = store.folder;
    OpenStore(*session, store.index, true, prompter);
    for (auto _ : state) {
        const OpenStoreResult r = OpenStore(*session, store.index, true, prompter);
        benchmark::DoNotOptimize(r.catalogue.loaded);
    }
    state.counters["games"] = double(session->catalogue.count());
}
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
