// movra-cli edit: correcting a stored game, or entering a new one, without the board: header
// fields, the moves from a given move on, and comments, saved through the same path as the main
// window's input mode (one writing session, so a failed write changes nothing).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "game_numbers.h"
#include "master_folder.h"
#include "core/input/game_input.h"
#include "core/input/save_game.h"
#include "core/record/game_text.h"
#include "core/record/kif_data.h"
#include "core/rules/sfen.h"
#include "core/store/comments.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/text/sjis_literal.h"
#include "core/viewing/move_entry.h"

#include "terminal.h"

namespace movra::cli {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

int Usage(std::FILE* out = stderr) {
    std::fprintf(out,
        "usage: movra-cli edit STORE N|new [OPTIONS] [--sjis]\n"
        "  corrects game N of STORE, or with 'new' enters a new game at the end, and saves it.\n"
        "header:\n"
        "  --sente NAME, --gote NAME   a player: a name of the player table (spaces ignored)\n"
        "                              sets the player number; any other name (at most 14 bytes\n"
        "                              in Shift-JIS) goes into the game's own name field\n"
        "  --sente-rank T, --gote-rank T   rank or title (16 bytes)\n"
        "  --tournament NAME|NUMBER    a tournament of the tournament table (0: none)\n"
        "  --tournament-text T         the tournament in detail (20 bytes)\n"
        "  --opening NAME|NUMBER       an opening of the opening table (0: none)\n"
        "  --game-number N             the game in a series, 0-255\n"
        "  --date YYYY/MM/DD           a real date; MM/DD of 00 for a month or day not known\n"
        "  --result CODE               0 interrupted, 1 sente wins, 2 gote wins, 3 千日手,\n"
        "                              4 持将棋, 5-8 the same marked 以下\n"
        "  --place T (20 bytes), --recorder T (20 bytes), --remarks T (40 bytes)\n"
        "  --handicap C                (new games) handicap character 0-9, X, Y, Z, A, B\n"
        "moves:\n"
        "  --moves-from M --moves \"CODES\"   replaces the moves from move M (1 … moves + 1) on\n"
        "                              with CODES, separated by blanks or commas: the store's\n"
        "                              move codes (7776, 2822+, 0155 drops a 歩 on 5五) or USI\n"
        "                              (7g7f, 2b3a+, P*5e). A move equal to the stored one keeps\n"
        "                              its comment and time. An empty CODES cuts the game.\n"
        "comments (extended stores):\n"
        "  --comment M TEXT            the comment on the position after move M (0 the start,\n"
        "                              moves + 1 the final position); 256 bytes are kept\n"
        "  --clear-comment M           removes that comment\n"
        "  --dat DIR                   the master files (default: $MOVRA_HOME or the store's folder)\n"
        "Texts are UTF-8 unless --sjis. Bad input changes nothing.\n"
        "exit status: 0 saved, 1 refused or failed, 2 usage error.\n");
    return 2;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "movra-cli edit: %s\n", why.c_str());
    return 1;
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' && value >= low && value <= high;
}

bool IsLeapYear(long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "YYYY/MM/DD": a date of the calendar, or with month and day 00 (or day 00) not known.
bool ParseDate(const std::string& text, long& y, long& m, long& d) {
    const std::size_t a = text.find('/');
    const std::size_t b = a == std::string::npos ? a : text.find('/', a + 1);
    if (b == std::string::npos) return false;
    if (!ParseNumber(text.substr(0, a), 1, 9999, y) || !ParseNumber(text.substr(a + 1, b - a - 1), 0, 12, m) ||
        !ParseNumber(text.substr(b + 1), 0, 31, d)) {
        return false;
    }
    if (m == 0) return d == 0;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const long last = kDays[m - 1] + (m == 2 && IsLeapYear(y) ? 1 : 0);
    return d <= last;
}

std::optional<MoveCode> ParseMove(const std::string& text) {
    if (auto code = MoveCode::Parse(text)) return code;
    return UsiToMoveCode(text);
}

std::vector<std::string> SplitMoves(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

struct TextOption {
    std::optional<std::string> value;
    std::size_t width = 0;
    const char* name = "";
};

struct CommentEdit {
    long move = 0;
    std::optional<std::string> text;  // none: clear
};

struct MasterLookup {
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    bool playersRead = false;
    bool tournamentsRead = false;
    bool openingsRead = false;
};

// A number of a master table given by number or by name; nullopt when neither fits.
template <typename Table>
std::optional<long> MasterNumber(const Table& table, bool read, const std::string& given,
                                 const std::string& cp932) {
    long n = 0;
    if (ParseNumber(given, 0, 9999, n)) return n;
    if (!read) return std::nullopt;
    const int found = table.NumberByName(cp932);
    if (found == 0) return std::nullopt;
    return found;
}

}  // namespace

int RunEdit(int argc, char** argv) {
    Terminal out;
    std::string storeName, gameWord, datFolder;
    std::optional<std::string> sente, gote, tournament, opening, date, movesText;
    std::optional<long> gameNumber, result, movesFrom;
    std::optional<char> handicap;
    TextOption senteRank{{}, detail::kRankWidth, "--sente-rank"};
    TextOption goteRank{{}, detail::kRankWidth, "--gote-rank"};
    TextOption tournamentText{{}, detail::kTournamentTextWidth, "--tournament-text"};
    TextOption place{{}, detail::kPlaceWidth, "--place"};
    TextOption recorder{{}, detail::kRecorderWidth, "--recorder"};
    TextOption remarks{{}, detail::kRemarksWidth, "--remarks"};
    std::vector<CommentEdit> comments;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (arg == "--sjis") {
            out.sjis = true;
        } else if (arg == "--sente" && hasValue) {
            sente = argv[++i];
        } else if (arg == "--gote" && hasValue) {
            gote = argv[++i];
        } else if (arg == "--tournament" && hasValue) {
            tournament = argv[++i];
        } else if (arg == "--opening" && hasValue) {
            opening = argv[++i];
        } else if (arg == "--date" && hasValue) {
            date = argv[++i];
        } else if (arg == "--game-number" && hasValue) {
            if (!ParseNumber(argv[++i], 0, 255, n)) return Fail("--game-number takes 0-255");
            gameNumber = n;
        } else if (arg == "--result" && hasValue) {
            if (!ParseNumber(argv[++i], 0, 8, n)) return Fail("--result takes a code 0-8");
            result = n;
        } else if (arg == "--handicap" && hasValue) {
            const std::string value = argv[++i];
            if (value.size() != 1 || HandicapNumber(value[0]) < 0) return Fail("unknown handicap '" + value + "'");
            handicap = value[0];
        } else if (arg == "--moves-from" && hasValue) {
            if (!ParseNumber(argv[++i], 1, kMaxMoves, n)) return Fail("--moves-from takes a move number 1-512");
            movesFrom = n;
        } else if (arg == "--moves" && hasValue) {
            movesText = argv[++i];
        } else if (arg == "--comment" && i + 2 < argc) {
            if (!ParseNumber(argv[i + 1], 0, kMaxMoves, n)) return Fail("--comment takes a move number 0-512");
            comments.push_back({n, std::string(argv[i + 2])});
            i += 2;
        } else if (arg == "--clear-comment" && hasValue) {
            if (!ParseNumber(argv[++i], 0, kMaxMoves, n)) return Fail("--clear-comment takes a move number 0-512");
            comments.push_back({n, std::nullopt});
        } else if (arg == "--dat" && hasValue) {
            datFolder = argv[++i];
        } else if (TextOption* option = arg == senteRank.name ? &senteRank
                                        : arg == goteRank.name ? &goteRank
                                        : arg == tournamentText.name ? &tournamentText
                                        : arg == place.name ? &place
                                        : arg == recorder.name ? &recorder
                                        : arg == remarks.name ? &remarks : nullptr;
                   option != nullptr && hasValue) {
            option->value = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (storeName.empty()) {
            storeName = arg;
        } else if (gameWord.empty()) {
            gameWord = arg;
        } else {
            return Usage();
        }
    }
    if (storeName.empty() || gameWord.empty()) return Usage();
    if (movesFrom.has_value() != movesText.has_value()) return Fail("--moves-from and --moves go together");
    const bool newGame = gameWord == "new";
    long k = 0;
    if (!newGame && !ParsePositive(gameWord, k)) return Usage();
    if (handicap && !newGame) return Fail("--handicap is for new games only");

    // Every text as the store keeps it, checked against its field before anything is read.
    std::string senteName, goteName;
    if (sente) senteName = out.in(*sente);
    if (gote) goteName = out.in(*gote);
    for (const auto& [name, text] : {std::pair{"--sente", &senteName}, std::pair{"--gote", &goteName}}) {
        if (text->size() > detail::kNameWidth) {
            return Fail(std::string(name) + ": a name is at most 14 bytes in Shift-JIS (7 full-width characters)");
        }
    }
    for (TextOption* option : {&senteRank, &goteRank, &tournamentText, &place, &recorder, &remarks}) {
        if (!option->value) continue;
        option->value = out.in(*option->value);
        if (option->value->size() > option->width) {
            return Fail(std::string(option->name) + ": at most " + std::to_string(option->width) +
                        " bytes in Shift-JIS");
        }
    }
    long year = 0, month = 0, day = 0;
    if (date && !ParseDate(*date, year, month, day)) return Fail("'" + *date + "' is not a date (YYYY/MM/DD)");

    TerminalPrompter prompter(out);
    try {
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStore(storeName, count, prompter);
        if (check == StoreCheck::ReadOnly) {
            prompter.Warn(ReadOnlyStoreMessage(storeName));
            return 1;
        }
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            prompter.Warn(BrokenStoreMessage(storeName));
            return 1;
        }
        const GameStore store(storeName, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                              count);
        if (!newGame && std::uint32_t(k) > count) {
            return Fail("the store holds " + std::to_string(count) + " games, there is no game " + std::to_string(k));
        }
        if (!comments.empty() && !store.extended()) return Fail("a classic store keeps no comments");

        MasterLookup masters;
        const fs::path masterFolder = MasterFolderFor(datFolder, store.files.IndexPath());
        masters.playersRead = masters.players.Load(masterFolder, false);
        SilentPrompter quiet;
        masters.tournamentsRead = masters.tournaments.Load(masterFolder, quiet);
        masters.openingsRead = masters.openings.Load(masterFolder, quiet);

        // The game as stored.
        IndexRecord index;
        DetailRecord detail;
        auto record = std::make_unique<TKifData>();
        if (newGame) {
            record->ResetHeader(handicap ? HandicapNumber(*handicap) : 0);
            record->ClearMoves();
            record->SetUpStandard();
        } else {
            if (!LoadGameForCorrection(store, k, *record, index, detail, prompter)) {
                return Fail("game " + std::to_string(k) + " cannot be read or is damaged; it is not edited");
            }
        }
        const TKifData::Snapshot asStored = record->TakeSnapshot();

        // The header.
        const auto player = [&](const std::string& name, const char* option, auto setNumber, auto setName) -> bool {
            const int number = masters.playersRead ? masters.players.NumberByName(name) : 0;
            if (number == 0 && !store.extended()) {
                Fail(std::string(option) + ": '" + out(name) + "' is not in the player table, and a classic store keeps no names");
                return false;
            }
            setNumber(std::uint16_t(number));
            setName(name);
            return true;
        };
        if (sente && !player(senteName, "--sente", [&](std::uint16_t n) { index.setSentePlayer(n); },
                             [&](const std::string& s) { detail.setSenteName(s); })) {
            return 1;
        }
        if (gote && !player(goteName, "--gote", [&](std::uint16_t n) { index.setGotePlayer(n); },
                            [&](const std::string& s) { detail.setGoteName(s); })) {
            return 1;
        }
        if (tournament) {
            const auto n = MasterNumber(masters.tournaments, masters.tournamentsRead, *tournament, out.in(*tournament));
            if (!n || *n > 255) return Fail("--tournament: '" + *tournament + "' is not in the tournament table");
            index.setTournament(std::uint16_t(*n));
            if (*n == 0) index.setSubTournament(0);
        }
        if (opening) {
            const auto n = MasterNumber(masters.openings, masters.openingsRead, *opening, out.in(*opening));
            if (!n || *n > 255) return Fail("--opening: '" + *opening + "' is not in the opening table");
            index.setOpening(std::uint16_t(*n));
        }
        if (gameNumber) index.setGameNumber(std::uint16_t(*gameNumber));
        if (date) {
            index.setYear(std::uint16_t(year));
            index.setMonth(std::uint16_t(month));
            index.setDay(std::uint16_t(day));
        }
        if (result) {
            index.setResult(std::uint16_t(*result));
            record->endCode = char('0' + *result);
        }
        if (senteRank.value) detail.setSenteRank(*senteRank.value);
        if (goteRank.value) detail.setGoteRank(*goteRank.value);
        if (tournamentText.value) detail.setTournamentText(*tournamentText.value);
        if (place.value) detail.setPlace(*place.value);
        if (recorder.value) detail.setRecorder(*recorder.value);
        if (remarks.value) detail.setRemarks(*remarks.value);

        // The moves, entered one by one as on the board from the move before M.
        if (movesFrom) {
            if (*movesFrom > record->moveCount + 1) {
                return Fail("--moves-from " + std::to_string(*movesFrom) + ": the game has " +
                            std::to_string(record->moveCount) + " moves");
            }
            std::vector<std::string> full = MoveListLines(*record);
            if (!full.empty()) full.pop_back();  // input has no closing line
            std::vector<std::string> visible = full;
            record->GoToMove(int(*movesFrom) - 1);
            const std::vector<std::string> words = SplitMoves(*movesText);
            const int limit = MoveLimit(store.extended(), record->handicap);
            for (std::size_t i = 0; i < words.size(); ++i) {
                const int n = record->currentMove + 1;
                const std::optional<MoveCode> code = ParseMove(words[i]);
                if (!code) return Fail("move " + std::to_string(n) + " '" + words[i] + "' is neither a move code nor USI");
                if (n > limit) {
                    prompter.Inform(MoveLimitMessage());
                    return Fail("move " + std::to_string(n) + " is past the limit of " + std::to_string(limit) + " moves");
                }
                if (const char* why = EnterMove(*record, full, visible, *code)) {
                    return Fail("move " + std::to_string(n) + " '" + words[i] + "' " + why);
                }
            }
            CutGame(*record, record->currentMove);
        }

        // The comments, through the working comment file as the comment window writes them.
        for (const CommentEdit& c : comments) {
            if (c.move > record->moveCount + 1) {
                return Fail("comment on move " + std::to_string(c.move) + ": the game has " +
                            std::to_string(record->moveCount) + " moves");
            }
        }
        if (!comments.empty()) {
            if (!CreateWorkingCommentFile(store, prompter)) return Fail("the working comment file cannot be written");
            for (const CommentEdit& c : comments) {
                MoveRecord& move = record->moves[std::size_t(c.move)];
                if (!c.text) {
                    move.workingComment = 0;
                    move.commentFile = 0;
                    move.commentRecord = 0;
                    continue;
                }
                const CommentWriteResult slot =
                    WriteComment(store, kWorkingCommentFile, move.workingComment, out.in(*c.text), prompter);
                if (slot.number == 0) {
                    DeleteWorkingCommentFile(store.files);
                    return Fail("the comment on move " + std::to_string(c.move) + " cannot be kept");
                }
                move.workingComment = std::uint8_t(slot.number);
            }
        }

        const bool headerOnly = !newGame && !movesFrom && comments.empty();
        const SavedGame saved =
            newGame ? SaveNewGame(store, *record, index, detail, prompter)
                    : SaveOverStoredGame(store, k, *record, index, detail, asStored, headerOnly, prompter);
        if (store.extended() && !comments.empty()) DeleteWorkingCommentFile(store.files);
        if (!saved.ok) return Fail("nothing was saved");
        prompter.Inform(GameSavedMessage());
        std::printf("game %u saved: %d moves, result %u%s\n", saved.recordNumber, int(record->moveCount),
                    index.result(), headerOnly ? " (header only)" : "");
        return saved.cut || saved.commentLimitReached ? 1 : 0;
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}

}  // namespace movra::cli
