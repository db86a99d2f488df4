// movra-cli merge, sort, dedupe, backup, convert-store, player-numbers and replace-player: the store
// maintenance jobs of the File menu, with their questions (answered yes) and messages on the
// terminal and their progress on standard error.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "master_folder.h"
#include "core/maintenance/backup.h"
#include "core/maintenance/classic_conversion.h"
#include "core/maintenance/command_texts.h"
#include "core/maintenance/player_numbers.h"
#include "core/maintenance/store_merge.h"
#include "core/maintenance/store_sort.h"
#include "core/text/sjis_literal.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"

#include "terminal.h"

namespace movra::cli {
namespace {

using namespace movra::literals;
using namespace movra::maintenance;
namespace fs = std::filesystem;

// The terminal prompter with the progress panel as one line of standard error that is rewritten.
class ProgressPrompter : public TerminalPrompter {
public:
    explicit ProgressPrompter(Terminal t) : TerminalPrompter(t) {}
    bool Progress(const std::string& caption, long done, long total) override {
        std::fprintf(stderr, "\r%s %ld / %ld", Out(caption).c_str(), done, total);
        std::fflush(stderr);
        shown_ = true;
        return true;
    }
    void EndProgress() override {
        if (shown_) std::fprintf(stderr, "\n");
        shown_ = false;
    }
    ~ProgressPrompter() override { EndProgress(); }

private:
    bool shown_ = false;
};

struct Options {
    std::vector<std::string> words;  // the arguments that are not options
    bool ascending = false, sjis = false, help = false, noCheck = false;
    std::string mode, dat, otherDat;
    bool bad = false;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") o.help = true;
        else if (a == "--ascending") o.ascending = true;
        else if (a == "--descending") o.ascending = false;
        else if (a == "--sjis") o.sjis = true;
        else if (a == "--no-check") o.noCheck = true;
        else if (a == "--complete" || a == "--merge" || a == "--concat" || a == "--distributed") o.mode = a.substr(2);
        else if (a == "--dat" && i + 1 < argc) o.dat = argv[++i];
        else if (a == "--other-dat" && i + 1 < argc) o.otherDat = argv[++i];
        else if (!a.empty() && a[0] == '-') o.bad = true;
        else o.words.push_back(a);
    }
    return o;
}

int Usage(const char* text, bool help) {
    std::fprintf(help ? stdout : stderr, "%s", text);
    return help ? 0 : 2;
}

// The store named on the command line, when it is whole; its kind and count filled in.
bool OpenNamedStore(const std::string& name, GameStore& store, Prompter& prompter) {
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStore(name, count, prompter);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(name));
        return false;
    }
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(StoreFiles(name).IndexPath()));
        return false;
    }
    store = GameStore(StoreFiles(name).IndexPath(), check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                      count);
    return true;
}

int Fail(const char* command, const std::exception& e) {
    std::fprintf(stderr, "movra-cli %s: %s\n", command, e.what());
    return 1;
}

constexpr const char* kMergeHelp =
    "usage: movra-cli merge STORE OTHER [--complete | --merge | --concat | --distributed]\n"
    "                 [--ascending] [--dat DIR] [--other-dat DIR] [--sjis]\n"
    "  brings the games of OTHER into STORE:\n"
    "    --complete     both stores' games, identical games removed, sorted (the default)\n"
    "    --merge        both stores' games, sorted\n"
    "    --concat       OTHER's games after STORE's\n"
    "    --distributed  OTHER is distributed data (classic, sorted newest first): its games,\n"
    "                   then STORE's games older than its oldest day\n"
    "  Sorting is newest first unless --ascending. When OTHER's master files (--other-dat, or\n"
    "  OTHER's folder) disagree with STORE's (--dat, $MOVRA_HOME or STORE's folder), names STORE's\n"
    "  files lack are added to them and OTHER's games are renumbered to keep every name.\n"
    "exit status: 0 merged, 1 refused or failed, 2 usage error.\n";

}  // namespace

int RunMerge(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    if (o.help || o.bad || o.words.size() != 2) return Usage(kMergeHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    try {
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        const fs::path other = o.words[1];
        // Both sides' master tables, when both folders hold them and they are not the same files.
        const fs::path dat = MasterFolderFor(o.dat, store.files.IndexPath());
        const fs::path otherDat = o.otherDat.empty() ? StoreFiles(other).folder() : fs::path(o.otherDat);
        PlayerTable players, otherPlayers;
        TournamentTable tournaments, otherTournaments;
        OpeningTable openings, otherOpenings;
        MasterMerge masters{&otherPlayers, &otherTournaments, &otherOpenings, &players, &tournaments, &openings, dat};
        std::error_code ec;
        const bool remap = CheckDatFolder(dat, nullptr) && CheckDatFolder(otherDat, nullptr) &&
                           !fs::equivalent(FindFileNoCase(dat, kPlayerFileName), FindFileNoCase(otherDat, kPlayerFileName), ec);
        if (remap) {
            players.Load(dat, false);
            tournaments.Load(dat, prompter);
            openings.Load(dat, prompter);
            otherPlayers.Load(otherDat, false);
            otherTournaments.Load(otherDat, prompter);
            otherOpenings.Load(otherDat, prompter);
        }
        const SortOrder order = o.ascending ? SortOrder::Ascending : SortOrder::Descending;
        MergeResult r;
        if (o.mode == "distributed") {
            if (!CheckStoreSortedForDistribution(store, prompter)) return 1;
            r = MergeDistributedData(store, other, prompter, remap ? &masters : nullptr);
        } else {
            const MergeKind kind = o.mode == "merge"    ? MergeKind::Merge
                                   : o.mode == "concat" ? MergeKind::Concatenate
                                                        : MergeKind::Complete;
            r = MergeStores(store, other, kind, order, prompter, remap ? &masters : nullptr);
        }
        if (!r.ok) return 1;
        std::printf("%u games brought in, %u removed, the store holds %u\n", r.added, r.removed, r.count);
        if (r.maps.added > 0) std::printf("%d names added to the master files in %s\n", r.maps.added, dat.string().c_str());
        return 0;
    } catch (const std::exception& e) {
        return Fail("merge", e);
    }
}

namespace {
constexpr const char* kSortHelp =
    "usage: movra-cli sort STORE [--ascending] [--sjis]\n"
    "  sorts the games by date, newest first (oldest first with --ascending); games of one day by\n"
    "  sente, gote, then tournament, game number, opening, result and handicap.\n"
    "exit status: 0 sorted, 1 refused or failed, 2 usage error.\n";
constexpr const char* kDedupeHelp =
    "usage: movra-cli dedupe STORE [--ascending] [--sjis]\n"
    "  sorts the store and removes every game whose date, players, result, tournament, opening,\n"
    "  handicap and moves repeat an earlier game's; the first of each is kept.\n"
    "exit status: 0 done, 1 refused or failed, 2 usage error.\n";

int SortOrDedupe(int argc, char** argv, bool dedupe) {
    const Options o = Parse(argc, argv);
    if (o.help || o.bad || o.words.size() != 1) return Usage(dedupe ? kDedupeHelp : kSortHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    try {
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        const SortOrder order = o.ascending ? SortOrder::Ascending : SortOrder::Descending;
        if (dedupe) {
            prompter.Confirm(RemoveSameQuestion(), false, true);
        } else {
            prompter.Confirm(SortTakesTimeText(), false, true);
            prompter.Confirm(SortQuestion(store, order), true, false);
        }
        if (!EnoughSpaceToRewrite(store)) {
            prompter.Warn(dedupe ? NoSpaceToRemoveText() : NoSpaceToSortText());
            return 1;
        }
        const RewriteResult r = dedupe ? RemoveSameGames(store, order, prompter) : SortStore(store, order, prompter);
        prompter.EndProgress();
        if (!r.ok) return 1;
        prompter.Inform(dedupe ? RemoveSameDoneText(r.removed) : SortDoneText());
        std::printf("the store holds %u games\n", r.count);
        return 0;
    } catch (const std::exception& e) {
        return Fail(dedupe ? "dedupe" : "sort", e);
    }
}
}  // namespace

int RunSort(int argc, char** argv) { return SortOrDedupe(argc, argv, false); }
int RunDedupe(int argc, char** argv) { return SortOrDedupe(argc, argv, true); }

namespace {
constexpr const char* kBackupHelp =
    "usage: movra-cli backup STORE FOLDER [--sjis]\n"
    "       movra-cli backup --dat DIR FOLDER [--sjis]\n"
    "  copies every file of the store (but its working comment file) into FOLDER, or the master\n"
    "  files Ksname.dat, Movra.dat and Senkei.dat of DIR. FOLDER must exist.\n"
    "exit status: 0 copied, 1 refused, 2 usage error.\n";
constexpr const char* kConvertHelp =
    "usage: movra-cli convert-store STORE.idx [--dat DIR] [--sjis]\n"
    "  turns a classic store into the extended kind in place: detail records with the players'\n"
    "  names from the master files (--dat, $MOVRA_HOME or the store's folder), no times, no\n"
    "  comments.\n"
    "exit status: 0 converted, 1 refused or failed, 2 usage error.\n";
constexpr const char* kPlayerNumbersHelp =
    "usage: movra-cli player-numbers STORE.ipx [--dat DIR] [--sjis]\n"
    "  gives every game a player number where it has none and the name in its detail record is\n"
    "  a player of the master files (--dat, $MOVRA_HOME or the store's folder).\n"
    "exit status: 0 done, 1 refused or failed, 2 usage error.\n";
constexpr const char* kReplacePlayerHelp =
    "usage: movra-cli replace-player STORE OLD NEW [--no-check] [--sjis]\n"
    "  replaces player number OLD by NEW (1-999) on both sides of every game. Unless --no-check,\n"
    "  nothing changes when some game already has NEW.\n"
    "exit status: 0 done, 1 refused or failed, 2 usage error.\n";
}  // namespace

int RunBackup(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    const bool dat = !o.dat.empty();
    if (o.help || o.bad || o.words.size() != (dat ? 1u : 2u)) return Usage(kBackupHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    const fs::path target = o.words.back();
    if (!fs::is_directory(target)) {
        std::fprintf(stderr, "movra-cli backup: %s is not a folder\n", target.string().c_str());
        return 1;
    }
    try {
        if (dat) {
            if (!CheckDatFolder(o.dat, &prompter)) return 1;
            return BackupDatFiles(o.dat, target, prompter) == BackupOutcome::Done ? 0 : 1;
        }
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        return BackupStore(store.files, target, prompter) == BackupOutcome::Done ? 0 : 1;
    } catch (const std::exception& e) {
        return Fail("backup", e);
    }
}

int RunConvertStore(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    if (o.help || o.bad || o.words.size() != 1) return Usage(kConvertHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    try {
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        if (store.extended()) {
            prompter.Warn(NoClassicStoreText());
            return 1;
        }
        PlayerTable players;
        players.Load(MasterFolderFor(o.dat, store.files.IndexPath()), false);
        prompter.Confirm(ConvertQuestion(store.files.IndexPath()), true, false);
        const Conversion c = ConvertToExtended(store, players, prompter);
        if (!c.ok) return 1;
        prompter.Inform(ConvertDoneText());
        std::printf("%u games converted\n", c.games);
        return 0;
    } catch (const std::exception& e) {
        return Fail("convert-store", e);
    }
}

int RunPlayerNumbers(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    if (o.help || o.bad || o.words.size() != 1) return Usage(kPlayerNumbersHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    try {
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        if (!store.extended()) {
            prompter.Warn(NoMovraStoreText());
            return 1;
        }
        PlayerTable players;
        if (!players.Load(MasterFolderFor(o.dat, store.files.IndexPath()), false)) {
            std::fprintf(stderr, "movra-cli player-numbers: the player file cannot be read\n");
            return 1;
        }
        prompter.Confirm(SetFromNamesQuestion(), false, true);
        const IndexRewrite r = SetPlayerNumbersFromNames(store, players, prompter);
        if (!r.ok) return 1;
        prompter.Inform(SetFromNamesDoneText(r.changed));
        return 0;
    } catch (const std::exception& e) {
        return Fail("player-numbers", e);
    }
}

int RunReplacePlayer(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    if (o.help || o.bad || o.words.size() != 3) return Usage(kReplacePlayerHelp, o.help);
    ProgressPrompter prompter(Terminal{o.sjis});
    const PlayerNumberPair pair = CheckPlayerNumberPair(o.words[1], o.words[2]);
    if (pair.field != 0) {
        prompter.Warn(pair.message);
        return 1;
    }
    try {
        GameStore store;
        if (!OpenNamedStore(o.words[0], store, prompter)) return 1;
        if (!o.noCheck) {
            const std::uint32_t c = CountGamesOfPlayer(store, pair.to);
            if (c > 0) {
                prompter.Warn(TargetNumberInUseText(c));
                return 1;
            }
        }
        const IndexRewrite r = ReplacePlayerNumber(store, pair.from, pair.to, prompter);
        if (!r.ok) return 1;
        prompter.Inform(ReplacedNumbersText(r.changed));
        return 0;
    } catch (const std::exception& e) {
        return Fail("replace-player", e);
    }
}

}  // namespace movra::cli
