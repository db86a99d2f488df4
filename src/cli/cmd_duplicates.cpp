// movra-cli duplicates / anomalies: the duplicate search and the checks for unusual games of the
// duplicate dialog, over the whole store. The games found are printed one a line as `list`
// prints them: with their set number (duplicates) or the move where the check matched.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "core/duplicates/anomaly_search.h"
#include "core/duplicates/duplicate_search.h"
#include "core/store/catalogue.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

#include "game_line.h"
#include "master_folder.h"
#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

// The terminal prompter with a progress line on standard error when that is a terminal.
class ProgressPrompter : public TerminalPrompter {
public:
    ProgressPrompter(Terminal terminal, bool quiet)
        : TerminalPrompter(terminal, quiet), shown_(::isatty(2) == 1) {}
    bool Progress(const std::string& caption, long done, long total) override {
        if (shown_) {
            std::fprintf(stderr, "\r%s %ld / %ld ", Out(caption).c_str(), done, total);
            std::fflush(stderr);
            open_ = true;
        }
        return true;
    }
    void EndProgress() override {
        if (open_) std::fprintf(stderr, "\n");
        open_ = false;
    }

private:
    bool shown_;
    bool open_ = false;
};

struct Args {
    std::string store;
    std::string dat;
    Terminal terminal;
    int threads = 0;
    bool quiet = false;
    DuplicateCriteria criteria;
    bool anyCriterion = false;
    std::string check;
    std::optional<int> length;
};

int DuplicatesUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: movra-cli duplicates STORE [--fields LIST] [--moves] [--final]\n"
                 "         [--threads N] [--dat DIR] [--quiet] [--sjis]\n"
                 "  Finds games that look like copies of each other and prints them set by set:\n"
                 "  the set number, then the game as `list` prints it.\n"
                 "  --fields LIST  header fields that must be equal, comma-separated, from\n"
                 "                 players (sente and gote, side by side), date, result, tournament,\n"
                 "                 game (the game number in a series), opening, handicap\n"
                 "  --moves        the moves must be equal (slots 1-256)\n"
                 "  --final        the final positions must be equal (after slots 1-256)\n"
                 "  Without players or date, --moves and --final ignore the other fields;\n"
                 "  --moves wins over --final. With no option: --fields players.\n"
                 "  --threads N    1: one thread; 2: two halves read side by side (default: as the\n"
                 "                 machine allows)\n");
    return out == stdout ? 0 : 2;
}

int AnomaliesUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: movra-cli anomalies STORE --check CHECK [--length V] [--threads N]\n"
                 "         [--dat DIR] [--quiet] [--sjis]\n"
                 "  Replays every game's slots 1-256 and prints the games with the anomaly, each\n"
                 "  with the move where it was found (\"hit\"; -1 for the length check).\n"
                 "  --check repetition     the same position with the same side to move a fourth time\n"
                 "          full-file      all nine squares of a file occupied\n"
                 "          empty-hands    neither side holds a piece at the end\n"
                 "          captured-king  a king in a hand at the end\n"
                 "          length         --length V: more than V moves, or with V < 0 at most -V\n"
                 "                         moves (V from -255 to 255)\n");
    return out == stdout ? 0 : 2;
}

bool SetFields(const std::string& list, DuplicateCriteria& c) {
    c.players = false;
    std::stringstream in(list);
    std::string field;
    while (std::getline(in, field, ',')) {
        if (field == "players") c.players = true;
        else if (field == "date") c.date = true;
        else if (field == "result") c.result = true;
        else if (field == "tournament") c.tournament = true;
        else if (field == "game") c.gameNumber = true;
        else if (field == "opening") c.opening = true;
        else if (field == "handicap") c.handicap = true;
        else return false;
    }
    return true;
}

// The arguments both commands share; false for one this command does not know.
bool ParseArgs(int argc, char** argv, bool duplicates, Args& a, bool& help) {
    bool fieldsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--sjis") {
            a.terminal.sjis = true;
        } else if (arg == "--quiet") {
            a.quiet = true;
        } else if (arg == "--dat" && hasValue) {
            a.dat = argv[++i];
        } else if (arg == "--threads" && hasValue) {
            a.threads = std::atoi(argv[++i]);
            if (a.threads < 1 || a.threads > 2) return false;
        } else if (duplicates && arg == "--fields" && hasValue) {
            if (!SetFields(argv[++i], a.criteria)) return false;
            fieldsGiven = true;
        } else if (duplicates && arg == "--moves") {
            a.criteria.moves = true;
        } else if (duplicates && arg == "--final") {
            a.criteria.finalPosition = true;
        } else if (!duplicates && arg == "--check" && hasValue) {
            a.check = argv[++i];
        } else if (!duplicates && arg == "--length" && hasValue) {
            a.length = ParseLengthValue(argv[++i]);
            if (!a.length) return false;
        } else if (!arg.empty() && arg[0] != '-' && a.store.empty()) {
            a.store = arg;
        } else {
            return false;
        }
    }
    // Only --moves or --final: the header fields are not asked for.
    if (!fieldsGiven && (a.criteria.moves || a.criteria.finalPosition)) a.criteria.players = false;
    return help || !a.store.empty();
}

std::optional<AnomalyCheck> CheckNamed(const std::string& name) {
    if (name == "repetition") return AnomalyCheck::Repetition;
    if (name == "full-file") return AnomalyCheck::FullFile;
    if (name == "empty-hands") return AnomalyCheck::EmptyHands;
    if (name == "captured-king") return AnomalyCheck::CapturedKing;
    if (name == "length") return AnomalyCheck::Length;
    return std::nullopt;
}

// Opens the store for reading as the session the searches run on; false after a message.
bool OpenSession(const char* command, const Args& a, Prompter& prompter, StoreSession& session) {
    std::uint32_t games = 0;
    const StoreCheck check = ValidateStoreForReading(a.store, games, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        std::fprintf(stderr, "movra-cli %s: %s: not a usable store\n", command, a.store.c_str());
        return false;
    }
    session.store = GameStore(a.store, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, games);
    session.storePath = session.store.files.IndexPath();
    session.openState = kOpenStateMovra;
    session.players.Load(MasterFolderFor(a.dat, a.store), true);
    return true;
}

}  // namespace

int RunDuplicates(int argc, char** argv) {
    Args a;
    bool help = false;
    if (!ParseArgs(argc, argv, true, a, help)) return DuplicatesUsage(stderr);
    if (help) return DuplicatesUsage(stdout);
    ProgressPrompter prompter(a.terminal, a.quiet);
    auto session = std::make_unique<StoreSession>();
    try {
        if (!OpenSession("duplicates", a, prompter, *session)) return 1;
        ScanOptions options;
        options.threads = a.threads;
        const DuplicateOutcome found = RunDuplicateSearch(*session, a.criteria, prompter, options);
        const StoreReader reader(session->store);
        const auto entries = session->catalogue.entries();
        std::size_t at = 0;
        for (std::size_t set = 0; set < found.setSizes.size(); ++set) {
            for (std::uint32_t n = 0; n < found.setSizes[set] && at < entries.size(); ++n, ++at) {
                std::printf("%zu  %s\n", set + 1,
                            a.terminal.out(GameLine(reader, entries[at], session->players)).c_str());
            }
        }
        if (found.memoryShort) return 1;
    } catch (const StoreIoError& e) {
        std::fprintf(stderr, "movra-cli duplicates: %s\n", e.what());
        return 1;
    }
    return 0;
}

int RunAnomalies(int argc, char** argv) {
    Args a;
    bool help = false;
    if (!ParseArgs(argc, argv, false, a, help)) return AnomaliesUsage(stderr);
    if (help) return AnomaliesUsage(stdout);
    const std::optional<AnomalyCheck> check = CheckNamed(a.check);
    if (!check || (*check == AnomalyCheck::Length) != a.length.has_value()) return AnomaliesUsage(stderr);
    ProgressPrompter prompter(a.terminal, a.quiet);
    auto session = std::make_unique<StoreSession>();
    try {
        if (!OpenSession("anomalies", a, prompter, *session)) return 1;
        LoadCatalogue(session->store, session->catalogue);
        ScanOptions options;
        options.threads = a.threads;
        if (RunAnomalyCheck(*session, *check, a.length.value_or(0), prompter, options) <= 0) return 0;
        const StoreReader reader(session->store);
        for (const GameHeader& h : session->catalogue.entries()) {
            std::printf("%s  hit %d\n", a.terminal.out(GameLine(reader, h, session->players)).c_str(),
                        int(h.positionHit));
        }
    } catch (const StoreIoError& e) {
        std::fprintf(stderr, "movra-cli anomalies: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace movra::cli
