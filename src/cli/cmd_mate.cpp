// movra-cli mate: the mate search on a position, run as the main window runs it: depths 1, 3,
// 5, ... up to the limit on the search thread, stopping at the first depth that mates.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "commands.h"
#include "core/matesearch/mate_search.h"
#include "core/text/cp932.h"
#include "core/record/kif_data.h"
#include "core/rules/sfen.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "terminal.h"

namespace movra::cli {
namespace {

// The deepest bound asked for when there is no limit.
constexpr int kNoLimitDepth = 4095;

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli mate (SFEN | --game STORE N --move M) [--depth N] [--king sente|gote]\n"
                 "                      [--table-mb MB] [--timeout S] [--library FILE] [--usi] [--sjis]\n"
                 "  --depth N      the most plies to search (odd depths 1, 3, ... up to N); 0: no limit;\n"
                 "                 default 11\n"
                 "  --king K       the king to mate; default: the king of the side not to move\n"
                 "  --table-mb MB  size of the solver's table (default 64)\n"
                 "  --timeout S    give up after S seconds: prints 'unknown', exit status 3\n"
                 "  --library FILE an external mate library with the entry plova_h instead of the\n"
                 "                 built-in solver\n"
                 "  --usi          one line: 'mate L MOVE' or 'nomate'\n"
                 "  --sjis         write the texts as CP932 bytes instead of UTF-8\n");
    return 2;
}

// The system's texts are CP932 with "\r" line breaks; the terminal gets lines, in UTF-8 unless
// asked for the bytes themselves.
void PrintText(const std::string& cp932, bool sjis) {
    std::string text = sjis ? cp932 : Cp932ToUtf8(cp932);
    for (char& c : text)
        if (c == '\r') c = '\n';
    if (!text.empty() && text.front() == '\n') text.erase(0, 1);
    std::printf("%s\n", text.c_str());
}

bool ParseCount(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

// The position to search and what numbering its first move gets.
struct SearchStart {
    BoardPosition position;
    int sideToMove = 1;
    int moveNumber = 1;     // the number the next move gets
    int parityOffset = 0;
    char handicap = '0';
    MoveRecord previous;    // the move before it (for 同)
};

// Game k of the store, shown at move m (0: the starting position), as the main window shows it.
std::optional<SearchStart> StartFromStore(const std::string& path, long k, long m, bool sjis) {
    TerminalPrompter prompter(Terminal{sjis});
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStoreForReading(path, count, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(path));
        return std::nullopt;
    }
    const GameStore store(path, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);
    IndexRecord index;
    if (std::uint32_t(k) > count || !ReadIndexRecord(store, std::uint32_t(k), index)) {
        std::fprintf(stderr, "movra-cli mate: the store holds %u games, not game %ld\n", count, k);
        return std::nullopt;
    }
    TKifData record;
    const int handicap = std::min<int>(index.handicap(), kHandicapCount - 1);
    record.ResetHeader(handicap);
    const GameMoves moves = ReadGameMoves(store, k, index.overflowNumber(), handicap, false, 0, record, prompter);
    if (!moves.found) {
        std::fprintf(stderr, "movra-cli mate: game %ld cannot be read\n", k);
        return std::nullopt;
    }
    if (m > record.moveCount) {
        std::fprintf(stderr, "movra-cli mate: game %ld has %d moves, not %ld\n", k, int(record.moveCount), m);
        return std::nullopt;
    }
    record.GoToMove(int(m));
    SearchStart start;
    start.position = record.position;
    start.moveNumber = int(m) + 1;
    start.sideToMove = record.SideOf(start.moveNumber);
    start.parityOffset = record.parityOffset;
    start.handicap = record.handicap;
    if (m > 0) start.previous = record.moves[std::size_t(m)];
    return start;
}

}  // namespace

int RunMate(int argc, char** argv) {
    std::string sfen;
    long depth = kDefaultMateDepthLimit;
    long tableMb = long(kDefaultMateTableMegabytes);
    double timeout = 0;
    int defender = 0;
    bool usi = false;
    bool sjis = false;
    bool fromStore = false;
    std::string storePath;
    long gameNumber = 0;
    long moveNumber = -1;
    std::string library;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--depth" && hasValue) {
            if (!ParseCount(argv[++i], 0, kNoLimitDepth, depth)) return Usage();
        } else if (arg == "--table-mb" && hasValue) {
            if (!ParseCount(argv[++i], 1, 65536, tableMb)) return Usage();
        } else if (arg == "--timeout" && hasValue) {
            char* end = nullptr;
            timeout = std::strtod(argv[++i], &end);
            if (*end != '\0' || timeout <= 0) return Usage();
        } else if (arg == "--king" && hasValue) {
            std::string king = argv[++i];
            if (king == "sente") defender = 1;
            else if (king == "gote") defender = 2;
            else return Usage();
        } else if (arg == "--library" && hasValue) {
            library = argv[++i];
        } else if (arg == "--usi") {
            usi = true;
        } else if (arg == "--sjis") {
            sjis = true;
        } else if (arg == "--game" && i + 2 < argc) {
            fromStore = true;
            storePath = argv[++i];
            if (!ParseCount(argv[++i], 1, 1000000000, gameNumber)) return Usage();
        } else if (arg == "--move" && hasValue) {
            if (!ParseCount(argv[++i], 0, 100000, moveNumber)) return Usage();
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            sfen += (sfen.empty() ? "" : " ") + arg;  // an unquoted SFEN arrives in pieces
        }
    }
    SearchStart start;
    if (fromStore) {
        if (!sfen.empty() || moveNumber < 0) return Usage();
        std::optional<SearchStart> loaded = StartFromStore(storePath, gameNumber, moveNumber, sjis);
        if (!loaded) return 2;
        start = *loaded;
    } else {
        if (sfen.empty() || moveNumber >= 0) return Usage();
        std::string error;
        std::optional<SfenPosition> parsed = ParseSfen(sfen, &error);
        if (!parsed) {
            std::fprintf(stderr, "movra-cli mate: bad position: %s\n", error.c_str());
            return 2;
        }
        start.position = parsed->position;
        start.sideToMove = parsed->sideToMove;
        start.moveNumber = parsed->moveNumber;
        // The SFEN's move number counts from sente's first move, as in an even game.
        start.parityOffset = SideToMove(start.moveNumber, 0, '0') == start.sideToMove ? 0 : 1;
    }
    const BoardPosition& position = start.position;
    if (defender == 0) defender = PreselectedDefender(false, start.sideToMove);
    if (std::string problem = DefendingKingProblem(position, defender); !problem.empty()) {
        PrintText(problem, sjis);
        return 1;
    }
    const int attacker = AttackerOf(defender);
    const int limit = depth == 0 ? kNoLimitDepth : int(depth);

    MateSearchSettings settings;
    settings.depthLimit = [limit] { return limit; };
    settings.libraryPath = library;
    settings.tableMegabytes = std::size_t(tableMb);
    MateSearch search(settings);
    search.Start(MakeEnginePosition(position), EngineSide(attacker));
    const auto started = std::chrono::steady_clock::now();
    while (!search.Done()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (timeout > 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() >= timeout)
            search.Stop();
    }
    MateOutcome outcome = search.Finish();
    if (outcome.stopped) {
        std::printf("unknown\n");
        return 3;
    }
    if (usi) {
        if (outcome.depth > 0 && outcome.move) std::printf("mate %d %s\n", outcome.depth, MoveCodeToUsi(*outcome.move).c_str());
        else std::printf("nomate\n");
        return 0;
    }
    // The first move is numbered after the position's move number, and after a pass when the
    // defender was to move; the pass leaves no move before it for 同.
    const bool pass = NeedsPass(start.sideToMove, attacker);
    const int firstNumber = start.moveNumber + (pass ? 1 : 0);
    const MoveRecord previous = pass ? MoveRecord{} : start.previous;
    auto moveLine = [&](const MoveCode& m) {
        return MateMoveLine(position, m, attacker, firstNumber, start.parityOffset, start.handicap, previous);
    };
    PrintText(MateReportText(outcome, limit, position, moveLine), sjis);
    if (outcome.depth > 0 && outcome.move)
        std::printf("%s %s\n", outcome.move->str().c_str(), MoveCodeToUsi(*outcome.move).c_str());
    return 0;
}

}  // namespace movra::cli
