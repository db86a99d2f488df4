// movra-cli import: reads text game records (KIF, KI2, Morita, coded text; CP932 or UTF-8) into
// a store, creating the store when it does not exist yet.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "core/text/cp932.h"
#include "core/record/kif_data.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/textio/import_text.h"
#include "core/textio/lisvek_reader.h"
#include "core/text/sjis_literal.h"

#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;
using namespace movra::literals;

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli import STORE PATH... [--recursive] [--dat DIR] [--sjis] [--verbose]\n"
                 "       movra-cli import STORE --lisvek FOLDER/kifu.kif [--dat DIR] [--sjis]\n"
                 "  STORE is the store's .ipx (extended kind) or .idx (classic kind) file; a store\n"
                 "  that does not exist is created (extended unless the name ends in .idx).\n"
                 "  PATH is a game-record file or a folder, whose .kif/.ki2/.kifu/.ki2u files are\n"
                 "  read (with --recursive also those of every sub-folder).\n"
                 "  --lisvek reads every game of a Lisvek collection: kifu.kif, kifu.dat and\n"
                 "  Kaisetu.dat in its folder, Ksname.dat and Senkei.dat in the folder above.\n"
                 "  --dat DIR looks players, tournaments and openings up in the master files there.\n"
                 "exit status: 0 every file (game) stored whole, 1 some refused or a long game cut,\n"
                 "2 usage error.\n");
    return 2;
}


bool EndsWithIgnoringCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != tail[i]) return false;
    }
    return true;
}

// Whether any file of the store's set is there (the working comment file does not count).
bool AnyStoreFile(const StoreFiles& files) {
    for (std::string_view e : {ext::kIndex, ext::kGameData, ext::kOverflowGameData, ext::kDetail,
                               ext::kMoveInfo, ext::kMoveInfoOverflow}) {
        if (files.Exists(e)) return true;
    }
    for (int f = 0; f < 16; ++f) {
        if (files.Exists(ext::CommentFile(f))) return true;
    }
    return false;
}

// A Lisvek collection into the store, with the window's check that every file is there.
int ImportLisvek(const fs::path& kifuKif, GameStore& store, const MasterTables& masters,
                 TerminalPrompter& prompter) {
    if (const std::vector<std::string> missing = MissingLisvekFiles(kifuKif); !missing.empty()) {
        prompter.Warn(LisvekNotInstalledMessage());
        for (const std::string& name : missing) std::fprintf(stderr, "missing: %s\n", name.c_str());
        return 1;
    }
    ImportContext context{store, prompter, masters, {}, {}, kChosenFilesProgressDigits};
    const std::string banner = "【 棋譜インポート中 】"_sj;
    const LisvekImport run = ImportLisvekFolder(kifuKif, context, [&](long game, long count) {
        if (game % 100 == 1) prompter.Progress(banner, game - 1, count);
    });
    for (const auto& [game, reason] : run.refused) {
        std::printf("refused: game %ld: %s\n", game, prompter.Out(reason).c_str());
    }
    if (!run.error.empty()) std::fprintf(stderr, "movra-cli import: %s\n", run.error.c_str());
    std::printf("games stored: %ld, games refused: %zu\n", run.stored, run.refused.size());
    if (run.storeFull) {
        std::printf("the store is full: it holds %u games, the most it can\n", store.recordCount);
    }
    return run.refused.empty() && run.error.empty() && !run.storeFull ? 0 : 1;
}

}  // namespace

int RunImport(int argc, char** argv) {
    std::string storePath;
    std::vector<std::string> paths;
    bool recursive = false;
    bool sjis = false;
    bool verbose = false;
    std::string datFolder;
    std::string lisvek;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--recursive" || arg == "-r") {
            recursive = true;
        } else if (arg == "--sjis") {
            sjis = true;
        } else if (arg == "--verbose" || arg == "-v") {
            verbose = true;
        } else if (arg == "--dat" && i + 1 < argc) {
            datFolder = argv[++i];
        } else if (arg == "--lisvek" && i + 1 < argc) {
            lisvek = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (storePath.empty()) {
            storePath = arg;
        } else {
            paths.push_back(arg);
        }
    }
    if (storePath.empty() || paths.empty() == lisvek.empty()) return Usage();

    TerminalPrompter prompter(Terminal{sjis}, !verbose);
    GameStore store;
    store.files = StoreFiles(storePath);
    if (!AnyStoreFile(store.files)) {
        // Only a store with no file at all is made here: a file of an existing store is never
        // made anew or emptied.
        const bool extended = !EndsWithIgnoringCase(storePath, ".idx");
        const fs::path base = store.files.folder() / (store.files.baseName() + (extended ? ".ipx" : ".idx"));
        if (!CreateStoreFiles(base, extended)) {
            std::fprintf(stderr, "movra-cli import: cannot create the store %s\n", storePath.c_str());
            return 1;
        }
        std::fprintf(stderr, "created the %s store %s\n", extended ? "extended" : "classic",
                     base.string().c_str());
    }
    // The store is checked (and a half-done change of it repaired) before anything is written.
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStore(store.files.IndexPath(), count, prompter);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(store.files.IndexPath()));
        return 1;
    }
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(store.files.IndexPath()));
        return 1;
    }
    store.kind = check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic;
    store.recordCount = count;

    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    MasterTables masters;
    if (!datFolder.empty()) {
        if (players.Load(datFolder, false)) masters.players = &players;
        if (tournaments.Load(datFolder, prompter)) masters.tournaments = &tournaments;
        if (openings.Load(datFolder, prompter)) masters.openings = &openings;
    }

    if (!lisvek.empty()) return ImportLisvek(lisvek, store, masters, prompter);

    std::vector<fs::path> files;
    bool anyFolder = false;
    for (const std::string& p : paths) {
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            anyFolder = true;
            std::vector<fs::path> found = GameRecordFiles(p, recursive ? -1 : 0, &store.files);
            files.insert(files.end(), found.begin(), found.end());
        } else {
            files.emplace_back(p);
        }
    }

    ImportContext context{store, prompter, masters, {}, {},
                          anyFolder ? kFolderProgressDigits : kChosenFilesProgressDigits};
    if (verbose) {
        context.progressLine = [&](const std::string& line) {
            std::fprintf(stderr, "%s\n", prompter.Out(line).c_str());
        };
    }
    const ImportSummary summary = ImportFiles(files, context);
    for (const ImportSummary::Refused& r : summary.noted) {
        std::printf("noted: %s: %s\n", r.path.string().c_str(), prompter.Out(r.reason).c_str());
    }
    for (const ImportSummary::Refused& r : summary.refused) {
        std::printf("refused: %s: %s\n", r.path.string().c_str(), prompter.Out(r.reason).c_str());
    }
    std::printf("files read: %ld, games stored: %ld, files refused: %zu\n", summary.filesRead,
                summary.gamesStored, summary.refused.size());
    if (summary.gamesCut > 0) {
        std::printf("games cut to their first 256 slots (no overflow number free): %ld\n",
                    summary.gamesCut);
    }
    if (summary.storeFull) {
        std::printf("the store is full: it holds %u games, the most it can\n", context.store.recordCount);
    }
    return summary.refused.empty() && summary.gamesCut == 0 && !summary.storeFull ? 0 : 1;
}

}  // namespace movra::cli
