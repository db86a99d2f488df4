#include "core/textio/export_game.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/position.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/master_data.h"

namespace movra {

using namespace movra::literals;

namespace {

// A player as the main window names one: the table's name, "(未登録)" for number 0, "[#n]"
// for a number without a row.
std::string PlayerText(const PlayerTable* players, int number) {
    if (players != nullptr) return Trim(players->DisplayName(number));
    return number == 0 ? UnregisteredPlayerText() : "[#" + std::to_string(number) + "]";
}

std::string TournamentText(const TournamentTable* tournaments, int number) {
    if (tournaments != nullptr) return Trim(tournaments->DisplayName(number));
    return number == 0 ? std::string() : "[#" + std::to_string(number) + "]";
}

std::string OpeningText(const OpeningTable* openings, int number) {
    if (openings != nullptr) return Trim(openings->DisplayName(number));
    return number == 0 ? std::string() : "[#" + std::to_string(number) + "]";
}

}  // namespace

const std::string& ExportGame::Comment(int i) const {
    static const std::string kNone;
    if (i < 0 || static_cast<std::size_t>(i) >= comments.size()) return kNone;
    return comments[static_cast<std::size_t>(i)];
}

std::optional<ExportGame> LoadExportGame(const GameStore& store, const MasterTables& masters,
                                         long k, Prompter& prompter) {
    if (k <= 0) return std::nullopt;
    IndexRecord index;
    if (!ReadIndexRecord(store, static_cast<std::uint32_t>(k), index)) return std::nullopt;

    ExportGame game;
    game.year = index.year();
    game.month = index.month();
    game.day = index.day();
    game.result = index.result();
    // A handicap number the rules do not know is read as the last one, as the main window does.
    game.handicapNumber = std::min<int>(index.handicap(), kHandicapCount - 1);
    TKifData& record = game.record;
    record.ResetHeader(game.handicapNumber);
    const GameMoves moves = ReadGameMoves(store, k, index.overflowNumber(), game.handicapNumber,
                                          true, 0, record, prompter);
    if (!moves.found) return std::nullopt;
    record.endCode = game.result <= 8 ? static_cast<char>('0' + game.result) : endcode::kInterrupted;

    game.senteName = PlayerText(masters.players, index.sentePlayer());
    game.goteName = PlayerText(masters.players, index.gotePlayer());
    game.tournament = TournamentText(masters.tournaments, index.tournament());
    game.opening = OpeningText(masters.openings, index.opening());

    const int count = record.moveCount;
    game.comments.assign(static_cast<std::size_t>(count) + 2, std::string());
    if (!store.extended()) return game;

    game.details = true;
    ReadDetailRecord(store, k, game.detail, prompter);
    const DetailRecord& detail = game.detail;
    // Players without a table entry are named in the detail record.
    if (index.sentePlayer() == 0 && !Trim(detail.senteName()).empty()) {
        game.senteName = Trim(detail.senteName());
    }
    if (index.gotePlayer() == 0 && !Trim(detail.goteName()).empty()) {
        game.goteName = Trim(detail.goteName());
    }
    game.closingTime = detail.closingTime();
    const auto read = [&](int file, int number) {
        return number == 0 ? std::string() : ReadComment(store, file, number, prompter);
    };
    game.comments.front() = read(detail.openingCommentFile(), detail.openingCommentNumber());
    for (int i = 1; i <= count; ++i) {
        const MoveRecord& m = record.moves[static_cast<std::size_t>(i)];
        game.comments[static_cast<std::size_t>(i)] = read(m.commentFile, m.commentRecord);
    }
    game.comments.back() = read(detail.closingCommentFile(), detail.closingCommentNumber());
    return game;
}

std::string WeekdayText(int year, int month, int day) {
    using namespace std::chrono;
    constexpr std::array<std::string_view, 7> kDays{"日"_sj, "月"_sj, "火"_sj, "水"_sj,
                                                    "木"_sj, "金"_sj, "土"_sj};
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(std::max(month, 0))},
                              std::chrono::day{static_cast<unsigned>(std::max(day, 0))}};
    // The calendar of the dates the system shows runs from year 1 to 9999.
    if (year < 1 || year > 9999 || month < 1 || day < 1 || !date.ok()) return "(　)"_sj;
    const weekday w{sys_days{date}};
    return "(" + std::string(kDays[w.c_encoding()]) + ")";
}

std::string ExportDateTime(int year, int month, int day, int hour, int minute) {
    return ZeroPad(year, 4) + "/" + ZeroPad(month, 2) + "/" + ZeroPad(day, 2) +
           WeekdayText(year, month, day) + " " + ZeroPad(hour, 2) + ":" + ZeroPad(minute, 2) +
           ":00";
}

std::vector<std::string> CommentLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has begun that no break has ended yet
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

}  // namespace movra
