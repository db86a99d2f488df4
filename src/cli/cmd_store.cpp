// movra-cli new, show, delete and swap: making an empty store, one stored game with its header
// fields and its move list, deleting games and exchanging two.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "game_numbers.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "core/store/store_edit.h"
#include "core/store/store_files.h"

#include "terminal.h"

namespace movra::cli {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;


int NewUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli new STORE.ipx|STORE.idx [--sjis]\n"
                 "  .ipx (or no extension) makes the extended kind (Movraプラス形式), .idx the\n"
                 "  classic kind (Movra形式).\n");
    return 2;
}

int ShowUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli show STORE.ipx|STORE.idx N [--codes] [--sjis]\n"
                 "  the header fields of game N and its move list; --codes prints the stored move\n"
                 "  codes instead of the notation.\n");
    return 2;
}

int DeleteUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli delete STORE N... [--sjis]\n"
                 "  deletes games N (a number or a range 3-40) from the store; the other games\n"
                 "  close up in their order.\n");
    return 2;
}

int SwapUsage() {
    std::fprintf(stderr, "usage: movra-cli swap STORE N M [--sjis]\n  exchanges games N and M.\n");
    return 2;
}

// The store a writing command works on: checked (a half-done change repaired) and writable.
std::optional<GameStore> WritableStore(const std::string& name, Prompter& prompter) {
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStore(name, count, prompter);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(name));
        return std::nullopt;
    }
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(name));
        return std::nullopt;
    }
    return GameStore(name, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                     count);
}

}  // namespace

int RunDelete(int argc, char** argv) {
    Terminal out;
    std::string name;
    std::vector<std::uint32_t> games;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            out.sjis = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return DeleteUsage();
        } else if (name.empty()) {
            name = arg;
        } else if (!AddGameNumbers(arg, games)) {
            return DeleteUsage();
        }
    }
    if (name.empty() || games.empty()) return DeleteUsage();
    TerminalPrompter prompter(out);
    try {
        std::optional<GameStore> store = WritableStore(name, prompter);
        if (!store) return 1;
        std::vector<GameHeader> marked;
        for (const std::uint32_t k : games) {
            if (k > store->recordCount) {
                std::fprintf(stderr, "movra-cli delete: the store holds %u games\n", store->recordCount);
                return 1;
            }
            GameHeader h;
            h.recordNumber = k;
            h.selectionMark = 1;
            marked.push_back(h);
        }
        DeleteOptions options;
        if (store->extended()) options.releaseComments = CommentReleaser(*store, prompter);
        const std::uint32_t deleted =
            DeleteGames(*store, 0, marked, std::uint32_t(marked.size()), prompter, options);
        if (deleted == 0) {
            std::fprintf(stderr, "movra-cli delete: nothing was deleted\n");
            return 1;
        }
        std::printf("%u games deleted, the store holds %u\n", deleted, store->recordCount);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli delete: %s\n", e.what());
        return 1;
    }
}

int RunSwap(int argc, char** argv) {
    Terminal out;
    std::string name;
    std::vector<long> games;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long k = 0;
        if (arg == "--sjis") {
            out.sjis = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return SwapUsage();
        } else if (name.empty()) {
            name = arg;
        } else if (ParsePositive(arg, k)) {
            games.push_back(k);
        } else {
            return SwapUsage();
        }
    }
    if (name.empty() || games.size() != 2) return SwapUsage();
    TerminalPrompter prompter(out);
    try {
        std::optional<GameStore> store = WritableStore(name, prompter);
        if (!store) return 1;
        if (!SwapGames(*store, std::uint32_t(games[0]), std::uint32_t(games[1]))) {
            std::fprintf(stderr, "movra-cli swap: games %ld and %ld of %u cannot be exchanged\n",
                         games[0], games[1], store->recordCount);
            return 1;
        }
        std::printf("games %ld and %ld exchanged\n", games[0], games[1]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli swap: %s\n", e.what());
        return 1;
    }
}

int RunNew(int argc, char** argv) {
    Terminal out;
    std::string name;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            out.sjis = true;
        } else if ((!arg.empty() && arg[0] == '-') || !name.empty()) {
            return NewUsage();
        } else {
            name = arg;
        }
    }
    if (name.empty()) return NewUsage();
    TerminalPrompter prompter(out);
    const fs::path chosen(name);
    const std::string e = UpperExtension(chosen);
    if (!e.empty() && e != ".IDX" && e != ".IPX") {
        prompter.Warn(std::string{"\rファイル名が正しくありません！"_sj});
        return 1;
    }
    const bool extended = e != ".IDX";
    const StoreFiles files(chosen);
    for (std::string_view x : {ext::kIndex, ext::kDetail}) {
        if (x == ext::kDetail && !extended) break;
        if (files.Exists(x)) {
            prompter.Warn("\r" + PathText(files.Path(x)) + " は既に存在します。"_sj);
            return 1;
        }
    }
    if (!CreateStoreFiles(chosen, extended)) {
        std::fprintf(stderr, "movra-cli new: cannot create the files of %s\n",
                     files.IndexPath().string().c_str());
        return 1;
    }
    std::printf("%s: %s\n", (extended ? files.Path(ext::kDetail) : files.IndexPath()).string().c_str(),
                out(extended ? std::string_view("Movraプラス形式"_sj)
                             : std::string_view("Movra形式"_sj)).c_str());
    return 0;
}

int RunShow(int argc, char** argv) {
    Terminal out;
    std::string name;
    long k = 0;
    bool codes = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            out.sjis = true;
        } else if (arg == "--codes") {
            codes = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return ShowUsage();
        } else if (name.empty()) {
            name = arg;
        } else if (k == 0) {
            char* end = nullptr;
            k = std::strtol(arg.c_str(), &end, 10);
            if (end == arg.c_str() || *end != '\0' || k <= 0) return ShowUsage();
        } else {
            return ShowUsage();
        }
    }
    if (name.empty() || k == 0) return ShowUsage();
    TerminalPrompter prompter(out);
    try {
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStoreForReading(name, count, prompter);
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            prompter.Warn(BrokenStoreMessage(name));
            return 1;
        }
        const GameStore store(name,
                              check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                              count);
        if (std::uint32_t(k) > count) {
            std::fprintf(stderr, "movra-cli show: the store holds %u games\n", count);
            return 1;
        }
        IndexRecord index;
        if (!ReadIndexRecord(store, std::uint32_t(k), index)) {
            std::fprintf(stderr, "movra-cli show: index record %ld cannot be read\n", k);
            return 1;
        }
        DetailRecord detail;
        if (store.extended()) ReadDetailRecord(store, k, detail, prompter);

        const bool handicapGame = index.handicap() != 0;
        std::printf("game %ld of %u (%s)\n", k, count,
                    out(store.extended() ? std::string_view("Movraプラス形式"_sj)
                                         : std::string_view("Movra形式"_sj)).c_str());
        std::printf("sente: %u %s\n", index.sentePlayer(), out(detail.senteName()).c_str());
        std::printf("gote: %u %s\n", index.gotePlayer(), out(detail.goteName()).c_str());
        std::printf("date: %04u/%02u/%02u\n", index.year(), index.month(), index.day());
        std::printf("tournament: %u  sub-tournament: %u  game number: %u\n", index.tournament(),
                    index.subTournament(), index.gameNumber());
        std::printf("opening: %u\n", index.opening());
        std::printf("handicap: %u %s\n", index.handicap(), out(HandicapName(index.handicap())).c_str());
        std::printf("result: %u %s\n", index.result(),
                    out(ResultName(index.result() <= result::kLaterImpasse ? int(index.result()) : -1, handicapGame)).c_str());
        std::printf("overflow number: %u\n", index.overflowNumber());
        if (store.extended()) {
            if (!detail.senteRank().empty() || !detail.goteRank().empty()) {
                std::printf("ranks: %s / %s\n", out(detail.senteRank()).c_str(),
                            out(detail.goteRank()).c_str());
            }
            if (!detail.tournamentText().empty()) {
                std::printf("tournament text: %s\n", out(detail.tournamentText()).c_str());
            }
            if (!detail.place().empty()) std::printf("place: %s\n", out(detail.place()).c_str());
        }

        TKifData record;
        record.endCode = index.result() <= 8 ? char('0' + index.result()) : '9';
        const GameMoves moves = ReadGameMoves(store, k, index.overflowNumber(), index.handicap(),
                                              !codes, 0, record, prompter);
        std::printf("moves: %d\n", int(record.moveCount));
        if (codes) {
            for (int n = 1; n <= record.moveCount; ++n) {
                std::printf("%03d %s\n", n, record.moves[std::size_t(n)].moveCode().str().c_str());
            }
        } else {
            for (const std::string& line : moves.lines) std::printf("%s\n", out(line).c_str());
        }
        return moves.damaged ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli show: %s\n", e.what());
        return 1;
    }
}

}  // namespace movra::cli
