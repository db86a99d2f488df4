// movra-cli info, list and comments-check: what a store is, its games one line each, and the
// check of its comment references.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "core/text/cp932.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/store/catalogue.h"
#include "core/store/comments.h"
#include "core/store/layout.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"

#include "game_line.h"
#include "master_folder.h"
#include "terminal.h"

namespace movra::cli {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;


struct CommonArgs {
    std::string store;
    Terminal out;
};

const char* CheckName(StoreCheck r) {
    switch (r) {
        case StoreCheck::Classic: return "classic";
        case StoreCheck::Extended: return "extended";
        case StoreCheck::ReadOnly: return "read-only";
        case StoreCheck::Unusable: break;
    }
    return "unusable";
}

int InfoUsage() {
    std::fprintf(stderr, "usage: movra-cli info STORE.ipx|STORE.idx [--sjis]\n");
    return 2;
}

int ListUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli list STORE.ipx|STORE.idx [--from N] [--count M] [--dat DIR] "
                 "[--sjis]\n"
                 "  one line a game: record number, sente, gote, date, result, move count;\n"
                 "  names come from Ksname.dat in DIR (default: $MOVRA_HOME, else the store's "
                 "folder)\n");
    return 2;
}

int CheckUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli comments-check STORE.ipx|STORE.idx [--out DIR] [--sjis]\n"
                 "  writes ComErr.txt and ComIdx.txt into DIR (default: the current folder)\n");
    return 2;
}

bool ParseCount(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int RunInfo(int argc, char** argv) {
    CommonArgs a;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            a.out.sjis = true;
        } else if (arg == "--help" || arg == "-h" || (!arg.empty() && arg[0] == '-') ||
                   !a.store.empty()) {
            return InfoUsage();
        } else {
            a.store = arg;
        }
    }
    if (a.store.empty()) return InfoUsage();
    TerminalPrompter prompter(a.out);
    std::uint32_t count = 0;
    StoreCheck r = StoreCheck::Unusable;
    try {
        r = ValidateStore(a.store, count, prompter);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli info: %s\n", e.what());
        return 1;
    }
    const StoreFiles files(a.store);
    std::printf("store: %s\n", files.IndexPath().string().c_str());
    std::printf("validation: %s (%d)\n", CheckName(r), static_cast<int>(r));
    if (r == StoreCheck::Classic || r == StoreCheck::Extended) {
        const bool extended = r == StoreCheck::Extended;
        std::printf("kind: %s\n",
                    a.out(extended ? std::string_view("Movraプラス形式"_sj)
                                   : std::string_view("Movra形式"_sj)).c_str());
        std::printf("games: %u\n", count);
        GameCatalogue catalogue;
        const CatalogueLoad load =
            LoadCatalogue(GameStore(a.store, extended ? StoreKind::Extended : StoreKind::Classic,
                                    count),
                          catalogue);
        if (load.loaded != count) {
            std::printf("catalogue: %u of %u games (", load.loaded, count);
            if (load.badRecord != 0) std::printf("record %u does not fit a header", load.badRecord);
            if (load.overCapacity) std::printf("more than %u games", kCatalogueCapacity);
            std::printf(")\n");
        }
        return 0;
    }
    if (r == StoreCheck::Unusable) {
        std::printf("message: %s\n", a.out(OneLine(BrokenStoreMessage(a.store))).c_str());
    } else {
        std::printf("message: %s\n",
                    a.out("\"" + a.store + "\"" + "は"_sj + "読み取り専用ファイルのため使用できません。"_sj)
                        .c_str());
    }
    return 1;
}

int RunList(int argc, char** argv) {
    CommonArgs a;
    long from = 1;
    long count = -1;
    std::string dat;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            a.out.sjis = true;
        } else if (arg == "--from" && i + 1 < argc) {
            if (!ParseCount(argv[++i], from) || from < 1) return ListUsage();
        } else if (arg == "--count" && i + 1 < argc) {
            if (!ParseCount(argv[++i], count)) return ListUsage();
        } else if (arg == "--dat" && i + 1 < argc) {
            dat = argv[++i];
        } else if ((!arg.empty() && arg[0] == '-') || !a.store.empty()) {
            return ListUsage();
        } else {
            a.store = arg;
        }
    }
    if (a.store.empty()) return ListUsage();
    TerminalPrompter prompter(a.out);
    try {
        std::uint32_t games = 0;
        const StoreCheck r = ValidateStore(a.store, games, prompter);
        if (r != StoreCheck::Classic && r != StoreCheck::Extended) {
            std::fprintf(stderr, "movra-cli list: %s: not a usable store (%s)\n", a.store.c_str(),
                         CheckName(r));
            return 1;
        }
        const GameStore store(a.store, r == StoreCheck::Extended ? StoreKind::Extended
                                                                   : StoreKind::Classic,
                              games);
        GameCatalogue catalogue;
        LoadCatalogue(store, catalogue);
        PlayerTable players;
        const fs::path master = MasterFolderFor(dat, a.store);
        players.Load(master, true);

        const StoreReader reader(store);
        const auto entries = catalogue.entries();
        const std::size_t first = static_cast<std::size_t>(from - 1);
        const std::size_t last =
            count < 0 ? entries.size()
                      : std::min(entries.size(), first + static_cast<std::size_t>(count));
        for (std::size_t p = first; p < last; ++p) {
            const std::string line = GameLine(reader, entries[p], players);
            std::printf("%s\n", a.out(line).c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli list: %s\n", e.what());
        return 1;
    }
    return 0;
}

int RunCommentsCheck(int argc, char** argv) {
    CommonArgs a;
    std::string outFolder = ".";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            a.out.sjis = true;
        } else if (arg == "--out" && i + 1 < argc) {
            outFolder = argv[++i];
        } else if ((!arg.empty() && arg[0] == '-') || !a.store.empty()) {
            return CheckUsage();
        } else {
            a.store = arg;
        }
    }
    if (a.store.empty()) return CheckUsage();
    TerminalPrompter prompter(a.out);
    try {
        std::uint32_t games = 0;
        const StoreCheck r = ValidateStore(a.store, games, prompter);
        if (r != StoreCheck::Extended) {
            std::fprintf(stderr, "movra-cli comments-check: %s: not a usable store of the "
                                 "extended kind (%s)\n",
                         a.store.c_str(), CheckName(r));
            return 1;
        }
        const GameStore store(a.store, StoreKind::Extended, games);
        const CommentCheckResult result = CheckComments(store, outFolder, prompter);
        std::printf("games: %ld\nreferences: %ld\nerrors: %ld\nduplicates: %ld\n", result.games,
                    result.references, result.errors, result.duplicates);
        std::printf("reports: %s, %s\n", (fs::path(outFolder) / "ComErr.txt").string().c_str(),
                    (fs::path(outFolder) / "ComIdx.txt").string().c_str());
        return result.errors == 0 && result.duplicates == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli comments-check: %s\n", e.what());
        return 1;
    }
}

}  // namespace movra::cli
