// Importing a folder of Kakinoki KIF files into an extended store: files of real size (about
// 120 moves, consumed times, comments on some moves), written from legal games of the movement
// rules with the move notation, then read back through the whole import path (detection, the
// reader, the moves played through, the header, the store append with comments and times).
// Beside it: the reader alone, everything before the store writes, and the store's append
// session alone on games already encoded.
//
// Environment: MOVRA_BENCH_IMPORT_FILES=N (default 10,000 files); MOVRA_BENCH_IMPORT_KEEP=DIR
// writes the files into DIR and leaves them there (for profiling the import on its own).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/store/store_files.h"
#include "store_sample.h"
#include "core/store/game_io.h"
#include "core/store/store_appender.h"
#include "core/textio/apply_coded_moves.h"
#include "core/textio/import_text.h"
#include "core/textio/kakinoki_reader.h"
#include "core/textio/text_lines.h"

namespace {

using namespace movra;
using namespace movra::literals;
namespace fs = std::filesystem;

constexpr std::string_view kCommentWords[] = {
    "ここで角を打つのが好手。"_sj, "後手は受けに回った。"_sj, "先手の攻めが続く。"_sj,
    "この手で形勢は互角。"_sj, "玉の早逃げ。"_sj, "駒得を目指す手。"_sj,
};

// The Kakinoki text of a played game: header, one line a move with its time, comments on some
// moves, the end line.
std::string KifText(const TKifData& record, sample::Rng& rng, int serial) {
    std::string t;
    const auto line = [&t](std::string_view s) {
        t.append(s);
        t.append("\r\n");
    };
    line("# ---- Kifu for Windows V7 V7.70 棋譜ファイル ----"_sj);
    char date[64];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d(土) %02d:%02d:00", 1980 + serial % 40,
                  1 + serial % 12, 1 + serial % 28, 9 + serial % 8, serial % 60);
    line("開始日時："_sj + std::string(date));
    line("棋戦：順位戦／Ａ級"_sj);
    line("持ち時間：各6時間"_sj);
    line("場所：東京・将棋会館"_sj);
    line("手合割："_sj + HandicapName(HandicapNumber(record.handicap)));
    line("先手：棋士"_sj + std::to_string(serial % 997) + "八段"_sj);
    line("後手：棋士"_sj + std::to_string((serial * 7) % 991) + "九段"_sj);
    line("手数----指手---------消費時間--"_sj);
    BoardPosition p;
    SetUpStandard(p, record.handicap);
    int totals[2] = {0, 0};
    int previousTo = -1;
    for (int n = 1; n <= record.moveCount + 1; ++n) {
        char head[16];
        std::snprintf(head, sizeof head, "%4d ", n);
        std::string text;
        const int side = record.SideOf(n);
        if (n > record.moveCount) {
            text = "投了"_sj;
        } else {
            const MoveRecord& m = record.moves[static_cast<std::size_t>(n)];
            const PieceCode before = p.pieces[m.piece].code;
            const int to = m.toFile * 10 + m.toRank;
            text = to == previousTo ? std::string("同　"_sj) : SquareText(m.toFile, m.toRank);
            text += PieceName(before);
            if (m.promotes) text += "成"_sj;
            if (m.isDrop()) {
                text += "打"_sj;
            } else {
                text += "(" + std::to_string(m.fromFile) + std::to_string(m.fromRank) + ")";
            }
            ApplyMove(p, m);
            previousTo = to;
        }
        while (text.size() < 14) text += ' ';
        const int seconds = rng.Between(1, 600);
        int& total = totals[side - 1];
        total += seconds;
        char time[48];
        std::snprintf(time, sizeof time, "   (%2d:%02d/%02d:%02d:%02d)", seconds / 60, seconds % 60,
                      total / 3600, total / 60 % 60, total % 60);
        line(head + text + time);
        if (n <= record.moveCount && rng.Percent(10.0)) {
            line("*"_sj + kCommentWords[rng.Below(6)]);
            if (rng.Percent(30.0)) line("*"_sj + kCommentWords[rng.Below(6)]);
        }
    }
    line("まで"_sj + std::to_string(record.moveCount) + "手で"_sj +
         (record.moveCount % 2 == 1 ? "先手の勝ち"_sj : "後手の勝ち"_sj));
    return t;
}

struct KifFolder {
    fs::path folder;
    std::vector<fs::path> files;
    bool keep = false;
    ~KifFolder() {
        std::error_code ec;
        if (!folder.empty() && !keep) fs::remove_all(folder, ec);
    }
};

KifFolder& Files() {
    static KifFolder kifs = [] {
        KifFolder k;
        long count = 10000;
        if (const char* env = std::getenv("MOVRA_BENCH_IMPORT_FILES")) count = std::atol(env);
        k.folder = fs::temp_directory_path() / ("movra_bench_import_" + std::to_string(::getpid()));
        if (const char* keep = std::getenv("MOVRA_BENCH_IMPORT_KEEP")) {
            k.folder = keep;
            k.keep = true;
        }
        fs::create_directories(k.folder / "kif");
        sample::Rng rng(20240607);
        auto record = std::make_unique<TKifData>();
        std::vector<MoveCode> scratch;
        // A pool of played games, each written many times with its own header, times and
        // comments: playing 10,000 games out would take longer than the import itself.
        std::vector<std::unique_ptr<TKifData>> pool;
        for (int i = 0; i < 400; ++i) {
            const int handicap = i % 20 == 0 ? 1 + i % 9 : 0;
            sample::PlayGame(rng, handicap, rng.Between(100, 140), *record, scratch);
            pool.push_back(std::make_unique<TKifData>(*record));
        }
        for (long i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "g%06ld.kif", i);
            const fs::path path = k.folder / "kif" / name;
            std::ofstream out(path, std::ios::binary);
            out << KifText(*pool[static_cast<std::size_t>(i) % pool.size()], rng, static_cast<int>(i));
            k.files.push_back(path);
        }
        return k;
    }();
    return kifs;
}

void BM_ImportKifFolder(benchmark::State& state) {
    KifFolder& kifs = Files();
    SilentPrompter prompter;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path storeFolder = kifs.folder / ("store" + std::to_string(run++));
        fs::create_directories(storeFolder);
        const fs::path storePath = storeFolder / "bench.ipx";
        CreateStoreFiles(storePath, true);
        GameStore store(storePath, StoreKind::Extended, 0);
        ImportContext context{store, prompter, {}, "2000-01-01 00:00:00", {}, 5};
        state.ResumeTiming();
        const ImportSummary summary = ImportFiles(kifs.files, context);
        state.PauseTiming();
        if (summary.gamesStored != static_cast<long>(kifs.files.size())) {
            state.SkipWithError("not every file was stored");
        }
        std::error_code ec;
        fs::remove_all(storeFolder, ec);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kifs.files.size()));
    state.counters["games/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * static_cast<long>(kifs.files.size())),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportKifFolder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The reader alone on one file in memory, for comparison.
void BM_ReadKakinoki(benchmark::State& state) {
    KifFolder& kifs = Files();
    TextLines lines;
    std::ifstream in(kifs.files.front(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MakeTextLines(bytes, kifs.files.front(), lines);
    ReadGame game;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadKakinoki(lines, "2000-01-01 00:00:00", game));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadKakinoki);

// Everything an import does before the store writes: read, play the moves through, build the
// header and the store encoding. The difference to the folder import is the store's share.
void BM_ReadAndEncode(benchmark::State& state) {
    KifFolder& kifs = Files();
    std::vector<std::string> files;
    for (std::size_t i = 0; i < 200 && i < kifs.files.size(); ++i) {
        std::ifstream in(kifs.files[i], std::ios::binary);
        files.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    TextLines lines;
    ReadGame game;
    auto record = std::make_unique<TKifData>();
    std::size_t next = 0;
    for (auto _ : state) {
        MakeTextLines(files[next], "g.kif", lines);
        next = (next + 1) % files.size();
        if (!ReadKakinoki(lines, "2000-01-01 00:00:00", game).ok()) state.SkipWithError("read");
        record->ClearMoves();
        record->ResetHeader(HandicapNumberOfChar(game.fields.handicap));
        record->SetUpStandard();
        AppliedMoves applied;
        if (!ApplyCodedMoves(game.coded, *record, applied).ok()) state.SkipWithError("moves");
        IndexRecord index;
        DetailRecord detail;
        MakeImportedHeader(game.fields, applied, 0, MasterTables{}, *record, index, detail);
        MoveBytes moves;
        MoveInfo info;
        benchmark::DoNotOptimize(FillMoveBuffers(*record, moves, info));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadAndEncode);

// The store's share alone: games already read and encoded, with their comments and times,
// appended to a new extended store through one append session committed as an import commits
// it. As many games as the folder holds files.
void BM_StoreAppend(benchmark::State& state) {
    KifFolder& kifs = Files();
    struct Encoded {
        IndexRecord index;
        DetailRecord detail;
        MoveBytes moves;
        MoveInfo info;
        int moveCount = 0;
        int handicap = 0;
        std::vector<std::pair<int, std::string>> comments;
    };
    std::vector<Encoded> games;
    TextLines lines;
    ReadGame game;
    auto record = std::make_unique<TKifData>();
    for (std::size_t i = 0; i < 200 && i < kifs.files.size(); ++i) {
        if (!LoadTextLines(kifs.files[i], lines).empty() ||
            !ReadKakinoki(lines, "2000-01-01 00:00:00", game).ok()) {
            state.SkipWithError("read");
            return;
        }
        record->ClearMoves();
        record->ResetHeader(HandicapNumberOfChar(game.fields.handicap));
        record->SetUpStandard();
        AppliedMoves applied;
        if (!ApplyCodedMoves(game.coded, *record, applied).ok()) {
            state.SkipWithError("moves");
            return;
        }
        Encoded e;
        MakeImportedHeader(game.fields, applied, 0, MasterTables{}, *record, e.index, e.detail);
        FillMoveBuffers(*record, e.moves, e.info);
        e.moveCount = record->moveCount;
        e.handicap = HandicapNumberOfChar(game.fields.handicap);
        for (const MoveComment& c : game.comments) e.comments.push_back({c.move, c.text});
        std::sort(e.comments.begin(), e.comments.end());
        games.push_back(std::move(e));
    }
    SilentPrompter prompter;
    const long count = static_cast<long>(kifs.files.size());
    int run = 0;
    std::vector<StoreAppender::GameComment> comments;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path storeFolder = kifs.folder / ("append" + std::to_string(run++));
        fs::create_directories(storeFolder);
        CreateStoreFiles(storeFolder / "bench.ipx", true);
        const GameStore store(storeFolder / "bench.ipx", StoreKind::Extended, 0);
        state.ResumeTiming();
        StoreAppender appender(store, prompter);
        for (long i = 0; i < count; ++i) {
            const Encoded& g = games[static_cast<std::size_t>(i) % games.size()];
            IndexRecord index = g.index;
            DetailRecord detail = g.detail;
            MoveInfo info = g.info;
            comments.clear();
            for (const auto& [move, text] : g.comments) comments.push_back({move, text, {}});
            appender.AppendGame(index, g.moves, detail, info, g.moveCount, g.handicap, comments);
            if (appender.CommitDue()) appender.Commit();
        }
        appender.Commit();
        state.PauseTiming();
        std::error_code ec;
        fs::remove_all(storeFolder, ec);
        state.ResumeTiming();
    }
    state.counters["games/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StoreAppend)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
