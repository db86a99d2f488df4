// movra-cli search: the search dialog's conditions, the position search and the detailed search
// from the command line. The hits are printed one a line as `list` prints games, with the move
// where a position search matched; --within narrows a list of record numbers saved by --save.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "core/list/detail_search.h"
#include "core/list/game_search.h"
#include "core/list/search_conditions.h"
#include "core/list/search_form.h"
#include "core/text/cp932.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/rules/sfen.h"
#include "core/store/catalogue.h"
#include "core/store/game_io.h"
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


int Usage() {
    std::fprintf(
        stderr,
        "usage: movra-cli search STORE [--player NAME|NUMBER]... [--mode either|labelled|swapped]\n"
        "         [--tournament NAME|NUMBER] [--sub NAME|NUMBER] [--opening NAME|NUMBER]\n"
        "         [--result NAME|CODE] [--handicap NAME|NUMBER] [--from YYYY/MM] [--to YYYY/MM]\n"
        "         [--position SFEN | --position-of N:M] [--reversed] [--depth D|end]\n"
        "         [--within FILE] [--save FILE] [--threads N] [--dat DIR] [--sjis]\n"
        "       detailed conditions (extended stores; the whole store, then the conditions above):\n"
        "         [--name TEXT]... [--name-contains] [--event TEXT] [--place TEXT]\n"
        "         [--recorder TEXT] [--remarks TEXT] [--exact] [--rating-sente LO:HI]\n"
        "         [--rating-gote LO:HI] [--rating-or] [--rating-diff N] [--comments yes|no]\n"
        "  Prints the hits as `list` does, and with a position the hit move slot and its move.\n"
        "  --result: a result code 0-8 or its name (先手勝ち, 以下後手勝ち, ...).\n"
        "  --from/--to: inclusive months; month 00 takes in the games dated without a month.\n"
        "  --depth: move slots replayed (default 50); above 100, or \"end\", the whole game.\n"
        "  --within FILE: narrow the games listed in FILE (record numbers, one a line);\n"
        "  --save FILE: write the hits' record numbers there (left as it was without hits).\n"
        "  Names come from the master files in --dat DIR (default: $MOVRA_HOME, else the\n"
        "  store's folder).\n");
    return 2;
}

std::optional<long> Number(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The result code of a name or number; -1 when it is neither.
int ResultCodeOf(const std::string& cp932) {
    if (auto n = Number(cp932); n && *n <= 8) return int(*n);
    const auto& texts = ResultListTexts();
    for (std::size_t i = 1; i < texts.size(); ++i) {
        if (texts[i] == cp932) return int(i) - 1;
    }
    static const char* const kWords[] = {"unregistered", "sente", "gote", "sennichite", "jishogi",
                                         "later-sente", "later-gote", "later-sennichite",
                                         "later-jishogi"};
    for (int code = 0; code <= 8; ++code) {
        if (cp932 == kWords[code]) return code;
    }
    return -1;
}

int HandicapOf(const std::string& cp932) {
    if (auto n = Number(cp932); n && *n < kHandicapCount) return int(*n);
    for (int h = 0; h < kHandicapCount; ++h) {
        if (HandicapName(h) == cp932) return h;
    }
    return -1;
}

// "YYYY/MM" or "YYYY" (the month then `defaultMonth`).
void SplitMonth(const std::string& text, std::string& year, std::string& month,
                const char* defaultMonth) {
    const std::size_t slash = text.find('/');
    year = text.substr(0, slash);
    month = slash == std::string::npos ? defaultMonth : text.substr(slash + 1);
}

// Record numbers, one a line (the first word of each; blank lines and "#" lines skipped).
bool ReadRecordList(const fs::path& file, std::vector<std::uint32_t>& out, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read " + file.string();
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        const auto n = Number(word);
        if (!n || *n == 0) {
            error = file.string() + ":" + std::to_string(lineNumber) + ": not a record number";
            return false;
        }
        out.push_back(std::uint32_t(*n));
    }
    return true;
}

bool WriteRecordList(const fs::path& file, const GameCatalogue& catalogue) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const GameHeader& h : catalogue.entries()) out << h.recordNumber << '\n';
    return bool(out);
}

bool ParseRange(const std::string& text, std::string& low, std::string& high) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    low = text.substr(0, colon);
    high = text.substr(colon + 1);
    return true;
}

struct Args {
    std::string store;
    Terminal terminal;
    std::vector<std::string> players;
    std::string mode;
    std::string tournament, sub, opening, result, handicap;
    std::string from, to;
    std::string position, positionOf;
    bool reversed = false;
    std::string depth;
    std::string within, save, dat;
    int threads = 0;
    // detailed conditions
    std::vector<std::string> names;
    bool nameContains = false;
    std::string event, place, recorder, remarks;
    bool haveEvent = false, havePlace = false, haveRecorder = false, haveRemarks = false;
    bool exact = false;
    std::string ratingSente, ratingGote, ratingDiff;
    bool ratingOr = false;
    std::string comments;

    bool detailed() const {
        return !names.empty() || haveEvent || havePlace || haveRecorder || haveRemarks ||
               !ratingSente.empty() || !ratingGote.empty() || !ratingDiff.empty() ||
               !comments.empty();
    }
    bool headerConditions() const {
        return !players.empty() || !tournament.empty() || !sub.empty() || !opening.empty() ||
               !result.empty() || !handicap.empty() || !from.empty() || !to.empty() ||
               !position.empty() || !positionOf.empty();
    }
};

bool ParseArgs(int argc, char** argv, Args& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto value = [&] { return std::string(argv[++i]); };
        if (arg == "--sjis") {
            a.terminal.sjis = true;
        } else if (arg == "--reversed") {
            a.reversed = true;
        } else if (arg == "--name-contains") {
            a.nameContains = true;
        } else if (arg == "--exact") {
            a.exact = true;
        } else if (arg == "--rating-or") {
            a.ratingOr = true;
        } else if (!hasValue && !arg.empty() && arg[0] == '-') {
            return false;
        } else if (arg == "--player") {
            a.players.push_back(value());
        } else if (arg == "--mode") {
            a.mode = value();
        } else if (arg == "--tournament") {
            a.tournament = value();
        } else if (arg == "--sub") {
            a.sub = value();
        } else if (arg == "--opening") {
            a.opening = value();
        } else if (arg == "--result") {
            a.result = value();
        } else if (arg == "--handicap") {
            a.handicap = value();
        } else if (arg == "--from") {
            a.from = value();
        } else if (arg == "--to") {
            a.to = value();
        } else if (arg == "--position") {
            a.position = value();
        } else if (arg == "--position-of") {
            a.positionOf = value();
        } else if (arg == "--depth") {
            a.depth = value();
        } else if (arg == "--within") {
            a.within = value();
        } else if (arg == "--save") {
            a.save = value();
        } else if (arg == "--dat") {
            a.dat = value();
        } else if (arg == "--threads") {
            const auto n = Number(value());
            if (!n || *n > 2) return false;
            a.threads = int(*n);
        } else if (arg == "--name") {
            a.names.push_back(value());
        } else if (arg == "--event") {
            a.event = value();
            a.haveEvent = true;
        } else if (arg == "--place") {
            a.place = value();
            a.havePlace = true;
        } else if (arg == "--recorder") {
            a.recorder = value();
            a.haveRecorder = true;
        } else if (arg == "--remarks") {
            a.remarks = value();
            a.haveRemarks = true;
        } else if (arg == "--rating-sente") {
            a.ratingSente = value();
        } else if (arg == "--rating-gote") {
            a.ratingGote = value();
        } else if (arg == "--rating-diff") {
            a.ratingDiff = value();
        } else if (arg == "--comments") {
            a.comments = value();
        } else if ((!arg.empty() && arg[0] == '-') || !a.store.empty()) {
            return false;
        } else {
            a.store = arg;
        }
    }
    if (a.store.empty() || a.players.size() > 2 || a.names.size() > 2) return false;
    if (!a.position.empty() && !a.positionOf.empty()) return false;
    if (a.reversed && a.position.empty() && a.positionOf.empty()) return false;
    if (!a.mode.empty() && a.mode != "either" && a.mode != "labelled" && a.mode != "swapped") return false;
    if (!a.comments.empty() && a.comments != "yes" && a.comments != "no") return false;
    if (a.detailed() && !a.within.empty()) return false;
    return true;
}

// Failures that end the command with a message.
struct Failure {
    std::string text;  // CP932 or plain ASCII
};

class SearchCommand {
public:
    SearchCommand(Args& a, TerminalPrompter& prompter) : a_(a), prompter_(prompter) {}

    int Run() {
        std::uint32_t games = 0;
        const StoreCheck check = ValidateStore(a_.store, games, prompter_);
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            std::fprintf(stderr, "movra-cli search: %s: not a usable store\n", a_.store.c_str());
            return 1;
        }
        store_ = GameStore(a_.store, check == StoreCheck::Extended ? StoreKind::Extended
                                                                     : StoreKind::Classic,
                           games);
        catalogue_ = std::make_unique<GameCatalogue>();
        players_.Load(MasterFolderFor(a_.dat, a_.store), true);

        SearchConditions conditions;
        if (!BuildConditions(conditions)) return 1;
        SearchOptions options;
        options.threads = a_.threads;

        SearchOutcome outcome;
        if (a_.detailed()) {
            if (!store_.extended()) {
                std::fprintf(stderr, "movra-cli search: the detailed conditions need a store of the extended kind\n");
                return 1;
            }
            TKensaku2 k;
            if (!BuildDetailed(k)) return 1;
            SearchOptions first = options;
            first.announce = !a_.headerConditions();
            outcome = DetailSearch(store_, k, *catalogue_, prompter_, first);
            if (a_.headerConditions()) {
                if (outcome.hits > 0) {
                    outcome = NarrowSearch(store_, conditions, *catalogue_, prompter_, options);
                } else {
                    prompter_.Inform(SearchResultMessage(0));
                }
            }
        } else if (!a_.within.empty()) {
            if (!LoadWithin()) return 1;
            outcome = NarrowSearch(store_, conditions, *catalogue_, prompter_, options);
        } else {
            outcome = FullSearch(store_, conditions, *catalogue_, prompter_, options);
        }
        if (outcome.hits == 0) return 0;
        if (!a_.save.empty() && !WriteRecordList(a_.save, *catalogue_)) {
            std::fprintf(stderr, "movra-cli search: cannot write %s\n", a_.save.c_str());
            return 1;
        }
        PrintHits(conditions.positionMode != PositionMode::None);
        return 0;
    }

private:
    bool Fail(const std::string& text) {
        std::fprintf(stderr, "movra-cli search: %s\n", a_.terminal.out(text).c_str());
        return false;
    }

    // A player, tournament or opening given by number or by name.
    bool PlayerNumber(const std::string& given, int& number) {
        if (auto n = Number(given)) {
            number = int(*n);
            return true;
        }
        number = players_.NumberByName(a_.terminal.in(given));
        return number != 0 || Fail("no player named " + a_.terminal.in(given));
    }

    bool BuildConditions(SearchConditions& c) {
        for (std::size_t i = 0; i < a_.players.size(); ++i) {
            if (!PlayerNumber(a_.players[i], i == 0 ? c.player1 : c.player2)) return false;
        }
        c.playerMode = a_.mode == "labelled"  ? PlayerMode::Labelled
                       : a_.mode == "swapped" ? PlayerMode::Swapped
                                              : PlayerMode::Either;
        if (!a_.tournament.empty() || !a_.sub.empty() || !a_.opening.empty()) {
            const fs::path master = MasterFolderFor(a_.dat, a_.store);
            TournamentTable tournaments;
            OpeningTable openings;
            if (!a_.tournament.empty() || !a_.sub.empty()) tournaments.Load(master, prompter_);
            if (!a_.opening.empty()) openings.Load(master, prompter_);
            if (!a_.tournament.empty()) {
                const auto n = Number(a_.tournament);
                c.tournament = n ? int(*n) : tournaments.NumberByName(a_.terminal.in(a_.tournament));
                if (c.tournament == 0) return Fail("no tournament named " + a_.terminal.in(a_.tournament));
            }
            if (!a_.sub.empty()) {
                if (c.tournament == 0) return Fail("--sub needs --tournament");
                const auto n = Number(a_.sub);
                c.subTournament = n ? int(*n) : tournaments.SubNumberByName(c.tournament, a_.terminal.in(a_.sub));
                if (c.subTournament == 0) return Fail("no sub-tournament named " + a_.terminal.in(a_.sub));
            }
            if (!a_.opening.empty()) {
                const auto n = Number(a_.opening);
                c.opening = n ? int(*n) : openings.NumberByName(a_.terminal.in(a_.opening));
                if (c.opening == 0) return Fail("no opening named " + a_.terminal.in(a_.opening));
            }
        }
        if (!a_.result.empty()) {
            const int code = ResultCodeOf(a_.terminal.in(a_.result));
            if (code < 0) return Fail("not a result: " + a_.terminal.in(a_.result));
            c.resultIndex = code + 1;
        }
        if (!a_.handicap.empty()) {
            c.handicap = HandicapOf(a_.terminal.in(a_.handicap));
            if (c.handicap < 0) return Fail("not a handicap: " + a_.terminal.in(a_.handicap));
        }

        // Without a date the range is open; given dates go through the dialog's checks.
        SearchDates dates;
        dates.fromYear = "0";
        dates.fromMonth = "00";
        dates.toYear = "99999";
        dates.toMonth = "12";
        if (!a_.from.empty()) SplitMonth(a_.from, dates.fromYear, dates.fromMonth, "00");
        if (!a_.to.empty()) SplitMonth(a_.to, dates.toYear, dates.toMonth, "12");
        const SearchDateCheck check = CheckSearchDates(dates);
        if (!check.ok()) {
            prompter_.Warn(check.message);
            return false;
        }
        c.dateFrom = check.from;
        c.dateTo = check.to;

        if (!a_.position.empty() || !a_.positionOf.empty()) {
            c.positionMode = a_.reversed ? PositionMode::SameOrReversed : PositionMode::Same;
            if (!PatternOf(c.pattern)) return false;
        }
        c.depth = kDefaultSearchDepth;
        if (!a_.depth.empty()) {
            const auto d = Number(a_.depth);
            if (a_.depth == "end") {
                c.depth = kSearchToEnd;
            } else if (d && *d > 0) {
                c.depth = SearchDepth(int(std::min<long>(*d, 1000)));
            } else {
                return Fail("not a depth: " + a_.depth);
            }
        }
        return true;
    }

    bool PatternOf(SearchPattern& pattern) {
        if (!a_.position.empty()) {
            std::string error;
            const auto sfen = ParseSfen(a_.position, &error);
            if (!sfen) return Fail("not a position: " + error);
            pattern = SearchPattern::FromPosition(sfen->position);
            return true;
        }
        const std::size_t colon = a_.positionOf.find(':');
        const auto game = Number(a_.positionOf.substr(0, colon));
        const auto move = colon == std::string::npos ? std::optional<long>(0)
                                                     : Number(a_.positionOf.substr(colon + 1));
        IndexRecord index;
        if (!game || *game == 0 || !move || !ReadIndexRecord(store_, std::uint32_t(*game), index)) {
            return Fail("no game " + a_.positionOf);
        }
        TKifData record;
        if (*move == 0) {
            record.handicap = HandicapChar(index.handicap());
            record.SetUpStandard();
        } else {
            SilentPrompter quiet;
            ReadGameMoves(store_, long(*game), index.overflowNumber(), index.handicap(), false,
                          int(std::min<long>(*move, kMaxSlots)), record, quiet);
            if (record.moveCount < *move) {
                return Fail("game " + std::to_string(*game) + " has " +
                            std::to_string(record.moveCount) + " moves");
            }
        }
        pattern = SearchPattern::FromPosition(record.position);
        return true;
    }

    bool BuildDetailed(TKensaku2& k) {
        Kensaku2Form f;
        f.players = !a_.names.empty();
        if (!a_.names.empty()) f.player1 = a_.terminal.in(a_.names[0]);
        if (a_.names.size() > 1) f.player2 = a_.terminal.in(a_.names[1]);
        f.playersContain = a_.nameContains;
        f.playerMode = a_.mode == "labelled"  ? PlayerMode::Labelled
                       : a_.mode == "swapped" ? PlayerMode::Swapped
                                              : PlayerMode::Either;
        f.tournament = a_.haveEvent;
        f.tournamentText = a_.terminal.in(a_.event);
        f.place = a_.havePlace;
        f.placeText = a_.terminal.in(a_.place);
        f.recorder = a_.haveRecorder;
        f.recorderText = a_.terminal.in(a_.recorder);
        f.remarks = a_.haveRemarks;
        f.remarksText = a_.terminal.in(a_.remarks);
        f.tournamentExact = f.placeExact = f.recorderExact = f.remarksExact = a_.exact;
        f.comments = !a_.comments.empty();
        f.withComments = a_.comments == "yes";
        f.ratingOr = a_.ratingOr;
        RatingRanges& r = f.ratings;
        if (!a_.ratingSente.empty()) {
            r.senteEnabled = true;
            if (!ParseRange(a_.ratingSente, r.senteLow, r.senteHigh)) return Fail("--rating-sente LO:HI");
        }
        if (!a_.ratingGote.empty()) {
            r.goteEnabled = true;
            if (!ParseRange(a_.ratingGote, r.goteLow, r.goteHigh)) return Fail("--rating-gote LO:HI");
        }
        if (!a_.ratingDiff.empty()) {
            // The panel's way of asking for a difference: a negative sente low value.
            r.senteEnabled = true;
            r.senteLow = "-" + a_.ratingDiff;
            r.senteHigh = "0";
        }
        for (const Kensaku2Check& c : {CheckRatingPanel(r), CheckKensaku2Form(f)}) {
            if (!c.ok()) {
                prompter_.Warn(c.message);
                return false;
            }
        }
        const Kensaku2Check built = BuildKensaku2(f, k);
        if (!built.ok()) {
            prompter_.Warn(built.message);
            return false;
        }
        return true;
    }

    bool LoadWithin() {
        std::vector<std::uint32_t> records;
        std::string error;
        if (!ReadRecordList(a_.within, records, error)) return Fail(error);
        if (records.size() > GameCatalogue::capacity()) return Fail("more games than a list holds");
        StoreReader reader(store_);
        std::uint32_t count = 0;
        for (std::uint32_t k : records) {
            IndexRecord index;
            GameHeader h;
            if (!reader.ReadIndexRecord(k, index) || !HeaderFromIndexRecord(index, k, h)) {
                return Fail("record " + std::to_string(k) + " is not a game of the store");
            }
            catalogue_->allEntries()[count++] = h;
        }
        catalogue_->setCount(count);
        catalogue_->setPageStart(count > 0 ? 1 : 0);
        return true;
    }

    void PrintHits(bool withHit) {
        const StoreReader reader(store_);
        TKifData record;
        SilentPrompter quiet;
        for (const GameHeader& h : catalogue_->entries()) {
            std::string line = GameLine(reader, h, players_);
            if (withHit) {
                // The hit is a slot number: the move number, plus one in a handicap game.
                line += "  hit " + std::to_string(h.positionHit);
                const int move = h.positionHit - (FirstMoveSlot(h.handicap) - 1);
                if (move > 0) {
                    const GameMoves m = ReadGameMoves(reader, h.recordNumber, h.overflowNumber,
                                                      h.handicap, false, move, record, quiet);
                    if (m.lineOfInterest.size() > 5) line += " " + m.lineOfInterest.substr(5);
                }
            }
            std::printf("%s\n", a_.terminal.out(line).c_str());
        }
    }

    Args& a_;
    TerminalPrompter& prompter_;
    GameStore store_;
    std::unique_ptr<GameCatalogue> catalogue_;
    PlayerTable players_;
};

}  // namespace

int RunSearch(int argc, char** argv) {
    Args a;
    if (!ParseArgs(argc, argv, a)) return Usage();
    TerminalPrompter prompter(a.terminal);
    try {
        return SearchCommand(a, prompter).Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli search: %s\n", e.what());
        return 1;
    }
}

}  // namespace movra::cli
