// movra-cli copy: games of a store written into another store of the same kind, with their
// moves, times, header, detail record and comments; appended to an existing target or, with
// --overwrite, into a target made anew.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "game_numbers.h"
#include "core/list/save_games_as.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/store/open_store.h"
#include "core/store/store_copy.h"
#include "core/store/store_files.h"

#include "terminal.h"

namespace movra::cli {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

int CopyUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli copy STORE TARGET [--games N,M-K] [--overwrite] [--sjis]\n"
                 "  writes the games of STORE (all, or those of --games in the order given) into\n"
                 "  TARGET, a store of the same kind: .ipx (or no extension) for an extended store,\n"
                 "  .idx for a classic one. An existing TARGET gets the games after its own unless\n"
                 "  --overwrite, which makes it anew.\n"
                 "exit status: 0 copied, 1 refused or failed, 2 usage error.\n");
    return 2;
}

// "3,7-9,1" → 3 7 8 9 1; false on anything else.
bool ParseGames(const std::string& text, std::vector<std::uint32_t>& games) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (!AddGameNumbers(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), games))
            return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

}  // namespace

int RunCopy(int argc, char** argv) {
    Terminal out;
    std::string storeName, targetName;
    std::vector<std::uint32_t> games;
    bool gamesGiven = false, overwrite = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sjis") {
            out.sjis = true;
        } else if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg == "--games" && i + 1 < argc) {
            if (!ParseGames(argv[++i], games)) return CopyUsage();
            gamesGiven = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return CopyUsage();
        } else if (storeName.empty()) {
            storeName = arg;
        } else if (targetName.empty()) {
            targetName = arg;
        } else {
            return CopyUsage();
        }
    }
    if (storeName.empty() || targetName.empty()) return CopyUsage();
    TerminalPrompter prompter(out);
    try {
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStoreForReading(storeName, count, prompter);
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            prompter.Warn(BrokenStoreMessage(storeName));
            return 1;
        }
        const bool extended = check == StoreCheck::Extended;
        const GameStore source(storeName, extended ? StoreKind::Extended : StoreKind::Classic, count);
        for (const std::uint32_t k : games) {
            if (k > count) {
                std::fprintf(stderr, "movra-cli copy: the store holds %u games\n", count);
                return 1;
            }
        }

        // The target's name as the game list's "save as" takes it.
        const SaveAsTarget checked = CheckSaveAsTarget(targetName, extended, source.files.IndexPath());
        if (!checked.refusal.empty()) {
            prompter.Warn(checked.refusal);
            return 1;
        }
        const StoreFiles targetFiles(checked.index);
        const bool append = !overwrite && targetFiles.Exists(ext::kIndex);
        if (append) {
            std::uint32_t targetCount = 0;
            const StoreCheck t = ValidateStore(targetFiles.IndexPath(), targetCount, prompter);
            if (t != check) {
                prompter.Warn(t == StoreCheck::Classic || t == StoreCheck::Extended
                                  ? std::string("\rファイル形式が異なるため書込み出来ません！"_sj)
                                  : BrokenStoreMessage(targetFiles.IndexPath()));
                return 1;
            }
        }

        const StoreCopyResult r = gamesGiven ? CopyGames(source, games, targetFiles.IndexPath(), append, prompter)
                                             : CopyStore(source, targetFiles.IndexPath(), append, prompter);
        if (!r.ok) {
            std::fprintf(stderr, "movra-cli copy: %s (%u games written)\n", r.error.c_str(), r.copied);
            return 1;
        }
        const fs::path shown = extended ? StoreFiles(targetFiles.IndexPath()).Path(ext::kDetail)
                                        : StoreFiles(targetFiles.IndexPath()).IndexPath();
        std::printf("%s%s\n", shown.string().c_str(), out(" に出力しました。"_sj).c_str());
        std::printf("%u games %s, the target holds %u\n", r.copied, append ? "appended" : "written",
                    r.targetCount);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli copy: %s\n", e.what());
        return 1;
    }
}

}  // namespace movra::cli
