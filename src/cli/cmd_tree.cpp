// movra-cli tree: the opening explorer. For a position (an SFEN, a position of a stored game, or
// the starting position) every game of the store reaching it, by the move played next, as a
// table or as JSON.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "core/explorer/opening_index.h"
#include "core/explorer/opening_tree.h"
#include "core/explorer/tree_text.h"
#include "core/record/kif_data.h"
#include "core/rules/sfen.h"
#include "core/store/game_io.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

#include "master_folder.h"
#include "terminal.h"

namespace movra::cli {
namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli tree STORE [--position SFEN | --game N --move M] [--depth D]\n"
                 "         [--json] [--within FILE] [--index use|build|no] [--threads N] [--dat DIR] [--sjis]\n"
                 "  Every game reaching the position (the starting position without --position or\n"
                 "  --game) within D moves (default 60), transpositions included, by the move played\n"
                 "  next: games, sente wins, gote wins, draws, other results, share, latest date and\n"
                 "  the players of the most recent game.\n"
                 "  --json: a JSON array, one object a next move (usi, games, sente_wins, gote_wins,\n"
                 "  draws, other, share, last_date, last_game, players, move); games ending in the\n"
                 "  position are not in it.\n"
                 "  --within FILE: only the games listed there (record numbers, one a line).\n"
                 "  --index: use the opening index beside the store when it is fresh (default),\n"
                 "  build it first when it is missing or stale, or never use it.\n");
    return 2;
}

std::optional<long> Number(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string JsonText(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

bool ReadRecordList(const std::string& file, std::vector<std::uint32_t>& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        const auto n = Number(word);
        if (!n || *n == 0) return false;
        out.push_back(std::uint32_t(*n));
    }
    return true;
}

}  // namespace

int RunTree(int argc, char** argv) {
    std::string storePath, sfen, dat, within, indexMode = "use";
    std::optional<long> game, move, depth, threads;
    bool json = false;
    Terminal terminal;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--json") {
            json = true;
        } else if (arg == "--sjis") {
            terminal.sjis = true;
        } else if (arg == "--help") {
            return Usage();
        } else if (hasValue && arg == "--position") {
            sfen = argv[++i];
        } else if (hasValue && arg == "--game") {
            game = Number(argv[++i]);
            if (!game || *game == 0) return Usage();
        } else if (hasValue && arg == "--move") {
            move = Number(argv[++i]);
            if (!move) return Usage();
        } else if (hasValue && arg == "--depth") {
            depth = Number(argv[++i]);
            if (!depth || *depth > 510) return Usage();
        } else if (hasValue && arg == "--threads") {
            threads = Number(argv[++i]);
            if (!threads || *threads > 2) return Usage();
        } else if (hasValue && arg == "--within") {
            within = argv[++i];
        } else if (hasValue && arg == "--dat") {
            dat = argv[++i];
        } else if (hasValue && arg == "--index") {
            indexMode = argv[++i];
            if (indexMode != "use" && indexMode != "build" && indexMode != "no") return Usage();
        } else if (storePath.empty() && !arg.empty() && arg[0] != '-') {
            storePath = arg;
        } else {
            return Usage();
        }
    }
    if (storePath.empty() || (!sfen.empty() && game) || (move && !game)) return Usage();

    TerminalPrompter prompter(terminal, true);
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStoreForReading(storePath, count, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        std::fprintf(stderr, "movra-cli tree: %s: not a usable store\n", storePath.c_str());
        return 1;
    }
    const GameStore store(storePath, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                          count);

    TreeQuery query;
    if (!sfen.empty()) {
        std::string error;
        const auto parsed = ParseSfen(sfen, &error);
        if (!parsed) {
            std::fprintf(stderr, "movra-cli tree: not a position: %s\n", error.c_str());
            return 1;
        }
        query.position = ExplorerPosition::From(parsed->position, parsed->sideToMove);
    } else if (game) {
        IndexRecord index;
        if (!ReadIndexRecord(store, std::uint32_t(*game), index)) {
            std::fprintf(stderr, "movra-cli tree: no game %ld\n", *game);
            return 1;
        }
        TKifData record;
        const long m = move.value_or(0);
        if (m == 0) {
            record.ResetHeader(index.handicap());
            record.SetUpStandard();
        } else {
            SilentPrompter quiet;
            ReadGameMoves(store, *game, index.overflowNumber(), index.handicap(), false,
                          int(std::min<long>(m, kMaxSlots)), record, quiet);
            if (record.moveCount < m) {
                std::fprintf(stderr, "movra-cli tree: game %ld has %d moves\n", *game, int(record.moveCount));
                return 1;
            }
        }
        query.position = ExplorerPosition::From(record.position, record.SideOf(int(m) + 1));
    } else {
        BoardPosition start;
        SetUpStandard(start, '0');
        query.position = ExplorerPosition::From(start, side::kSente);
    }
    query.depth = int(depth.value_or(kDefaultTreeDepth));
    query.threads = int(threads.value_or(0));
    query.useIndex = indexMode != "no";
    std::vector<std::uint32_t> records;
    if (!within.empty()) {
        if (!ReadRecordList(within, records)) {
            std::fprintf(stderr, "movra-cli tree: cannot read the record numbers in %s\n", within.c_str());
            return 1;
        }
        query.within = &records;
    }

    TreeResult result;
    try {
        if (indexMode == "build" && !OpeningIndexFresh(store)) {
            const auto started = std::chrono::steady_clock::now();
            const IndexBuildOutcome built = BuildOpeningIndex(store, std::max(query.depth, kDefaultTreeDepth));
            if (!built.built) {
                std::fprintf(stderr, "movra-cli tree: no opening index: %s\n", built.error.c_str());
            } else {
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                std::fprintf(stderr, "opening index: %llu games, %llu nodes, %llu bytes, %.1f s\n",
                             static_cast<unsigned long long>(built.games),
                             static_cast<unsigned long long>(built.nodes),
                             static_cast<unsigned long long>(built.bytes), seconds);
            }
        }
        result = ExploreStore(store, query);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli tree: %s\n", e.what());
        return 1;
    }

    PlayerTable players;
    players.Load(MasterFolderFor(dat, storePath), true);
    if (json) {
        std::string out = "[";
        for (std::size_t i = 0; i < result.moves.size(); ++i) {
            const MoveTally& t = result.moves[i];
            char numbers[256];
            std::snprintf(numbers, sizeof numbers,
                          "\"games\":%u,\"sente_wins\":%u,\"gote_wins\":%u,\"draws\":%u,\"other\":%u,"
                          "\"share\":%.4f,\"last_game\":%u,",
                          t.games, t.senteWins, t.goteWins, t.draws, t.other, result.Share(t), t.lastRecord);
            out += i == 0 ? "\n  {" : ",\n  {";
            out += "\"usi\":" + JsonText(t.usi()) + ",";
            out += "\"move\":" + JsonText(Cp932ToUtf8(TreeMoveText(query.position, t.key))) + ",";
            out += numbers;
            out += "\"last_date\":" + JsonText(TreeDateText(t.lastDate)) + ",";
            out += "\"players\":" + JsonText(Cp932ToUtf8(TreePlayersText(store, players, t))) + "}";
        }
        out += result.moves.empty() ? "]\n" : "\n]\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    std::printf("%u games reach the position (%u end there)%s\n", result.games, result.ended.games,
                result.fromIndex ? ", from the opening index" : "");
    std::printf("%-16s %-7s %7s %6s %6s %6s %6s %6s  %-10s %s\n", "move", "usi", "games", "share",
                "sente", "gote", "draws", "other", "latest", "players of the latest game");
    for (const MoveTally& t : result.moves) {
        std::string text = terminal.out(TreeMoveText(query.position, t.key));
        // Full-width characters take two columns: pad by the CP932 byte width.
        const std::size_t width = TreeMoveText(query.position, t.key).size();
        text += std::string(width < 16 ? 16 - width : 0, ' ');
        std::printf("%s %-7s %7u %5.1f%% %6u %6u %6u %6u  %-10s %s\n", text.c_str(), t.usi().c_str(),
                    t.games, 100.0 * result.Share(t), t.senteWins, t.goteWins, t.draws, t.other,
                    TreeDateText(t.lastDate).c_str(), terminal.out(TreePlayersText(store, players, t)).c_str());
    }
    return 0;
}

}  // namespace movra::cli
