#include "core/gameinfo/game_info.h"

#include <cstdio>
#include <initializer_list>
#include <stdexcept>

#include "core/list/search_conditions.h"
#include "core/list/search_form.h"
#include "core/rules/position.h"
#include "core/text/era.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kPlayerTextBytes = 14;
constexpr int kGameNumbers = 99;
constexpr int kBulkGameNumbers = 9;

// A field as a number: digits only once blanks are trimmed, at most `maxDigits` of them.
std::optional<int> FieldNumber(std::string_view text, std::size_t maxDigits) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string Digits(int v, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, v);
    return text;
}

std::string_view FirstEntry(bool bulk) { return bulk ? NoChangeText() : NotGivenText(); }

// A master list from the search's list texts: position i stands for NumberByPosition(i).
template <typename Table>
std::vector<ListChoice> MasterList(const std::vector<std::string>& texts, bool bulk,
                                   const Table& numberAt) {
    std::vector<ListChoice> list;
    list.reserve(texts.size());
    list.push_back({std::string(FirstEntry(bulk)), 0});
    for (std::size_t i = 1; i < texts.size(); ++i) {
        list.push_back({texts[i], std::uint16_t(numberAt(int(i)))});
    }
    return list;
}

int DaysIn(int year, int month) {
    for (int d = 31; d > 28; --d) {
        if (IsValidDate(year, month, d)) return d;
    }
    return 28;
}

// A day that cannot be in the month the fields name. Without a month there is no such day; a
// year that is no number counts as a leap year, so that no day is refused for it.
bool ImpossibleDay(const DateTexts& date, int day) {
    const auto month = FieldNumber(date.month, 2);
    if (!month || *month < 1 || *month > 12) return false;
    const int year = FieldNumber(date.year, 4).value_or(2000);
    return day > DaysIn(year > 0 ? year : 2000, *month);
}

// The day button going down, from `day` (a number 0-99).
std::string DayDown(const DateTexts& date, std::optional<int> day) {
    if (!day) return "31";
    int d = *day - 1 <= 0 ? 31 : *day - 1;
    for (int tries = 0; ImpossibleDay(date, d); ++tries) {
        if (tries == 4) return date.day;
        --d;
    }
    return Digits(d, 2);
}

}  // namespace

std::string_view NotGivenText() { return NoConditionText(); }
std::string_view NoChangeText() {
    static constexpr std::string_view text = "変更なし"_sj;
    return text;
}

IndexRecord GameInfoBulkSet::TemplateRecord() const {
    IndexRecord r;
    r.setSentePlayer(sentePlayer);
    r.setGotePlayer(gotePlayer);
    r.setTournament(tournament);
    r.setSubTournament(subTournament);
    r.setGameNumber(gameNumber);
    r.setOpening(opening);
    r.setResult(result);
    return r;
}

// --- the lists -------------------------------------------------------------------------------------

std::vector<ListChoice> GameInfoPlayerList(const PlayerTable& players, bool bulk) {
    std::vector<ListChoice> list;
    list.reserve(players.Order().size() + 1);
    list.push_back({std::string(FirstEntry(bulk)), 0});
    for (const std::string& line : players.Order()) {
        const int number = PlayerTable::OrderLineNumber(line);
        if (number <= 0) continue;
        list.push_back({players.Entry(number).shortName, std::uint16_t(number)});
    }
    return list;
}

std::vector<ListChoice> GameInfoTournamentList(const TournamentTable& tournaments, bool bulk) {
    return MasterList(TournamentSearchList(tournaments), bulk,
                      [&](int i) { return tournaments.NumberByPosition(i); });
}

std::vector<ListChoice> GameInfoSubTournamentList(const TournamentTable& tournaments,
                                                  int tournament, bool bulk) {
    return MasterList(SubTournamentSearchList(tournaments, tournament), bulk,
                      [&](int i) { return tournaments.SubNumberByPosition(tournament, i); });
}

std::vector<ListChoice> GameInfoOpeningList(const OpeningTable& openings, bool bulk) {
    return MasterList(OpeningSearchList(openings), bulk,
                      [&](int i) { return openings.NumberByPosition(i); });
}

std::vector<std::string> GameNumberList(bool bulk) {
    std::vector<std::string> list{std::string(FirstEntry(bulk))};
    const int last = bulk ? kBulkGameNumbers : kGameNumbers;
    for (int i = 1; i <= last; ++i) list.push_back(std::to_string(i));
    return list;
}

std::vector<std::string> HandicapList() {
    std::vector<std::string> list;
    for (int h = 0; h < kHandicapCount; ++h) list.push_back(HandicapName(h));
    return list;
}

std::vector<std::string> ResultList(bool bulk) {
    std::vector<std::string> list{std::string(bulk ? NoChangeText() : "勝敗未登録"_sj)};
    for (std::string_view t : std::initializer_list<std::string_view>{"先手勝ち"_sj, "後手勝ち"_sj, "千日手"_sj, "持将棋"_sj,
                               "以下先手勝ち"_sj, "以下後手勝ち"_sj, "以下千日手"_sj, "以下持将棋"_sj}) {
        list.emplace_back(t);
    }
    return list;
}

int PositionOfNumber(const std::vector<ListChoice>& list, int number) {
    if (number == 0) return 0;
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (list[i].number == number) return int(i);
    }
    return 0;
}

// --- players -----------------------------------------------------------------------------------

PlayerPick ResolvePlayer(const std::vector<ListChoice>& list, int position, std::string_view typed,
                         const PlayerTable& players) {
    if (position > 0 && std::size_t(position) < list.size()) return {list[std::size_t(position)].number, {}};
    const std::string trimmed = TrimFullWidth(typed);
    if (trimmed.empty() || trimmed == NotGivenText() || trimmed == NoChangeText()) {
        return {0, std::string()};
    }
    const int number = players.NumberByName(RemoveSpaces(trimmed));
    if (number > 0) return {std::uint16_t(number), {}};
    return {0, trimmed};
}

std::string PlayerNameTooLongMessage() {
    return std::string{"棋士名は全角７文字以内で入力して下さい。"_sj};
}

bool PlayerNameFits(std::string_view typed) { return TrimFullWidth(typed).size() <= kPlayerTextBytes; }

// --- the date ----------------------------------------------------------------------------------

std::string GameDateMessage() { return std::string{"対局日が正しくありません！"_sj}; }

std::optional<GameDate> CheckGameDate(const DateTexts& date) {
    const auto year = FieldNumber(date.year, 4);
    const auto month = FieldNumber(date.month, 2);
    const auto day = FieldNumber(date.day, 2);
    if (!year || !month || !day) return std::nullopt;
    // An unknown month or day is kept as 0, but a month 13 or a day 32 is no date at all.
    if (*month > 12 || *day > 31) return std::nullopt;
    if (*month > 0 && *day > 0 && !IsValidDate(*year, *month, *day)) return std::nullopt;
    return GameDate{*year, *month, *day};
}

namespace {

// The date the label reads, or nullopt.
std::optional<CivilDate> LabelDate(const DateTexts& date, bool eraForIncomplete) {
    const auto year = FieldNumber(date.year, 4);
    int month = FieldNumber(date.month, 2).value_or(0);
    int day = FieldNumber(date.day, 2).value_or(0);
    if (!year) return std::nullopt;
    if (eraForIncomplete) {
        if (month == 0) {
            month = 1;
            day = 1;
        } else if (day == 0) {
            day = 1;
        }
    }
    if (month == 0 || day == 0 || !IsValidDate(*year, month, day)) return std::nullopt;
    return CivilDate{*year, month, day};
}

}  // namespace

std::string GameInfoEraLabel(const DateTexts& date, bool eraForIncomplete) {
    const auto d = LabelDate(date, eraForIncomplete);
    if (d) {
        try {
            return EraYearText(Digits(d->year, 4) + "/" + Digits(d->month, 2) + "/" +
                               Digits(d->day, 2));
        } catch (const std::invalid_argument&) {
            // before 明治: no era
        }
    }
    return std::string{"(　　  　)"_sj};
}

bool GameInfoEraLabelValid(const DateTexts& date, bool eraForIncomplete) {
    return GameInfoEraLabel(date, eraForIncomplete) != std::string{"(　　  　)"_sj};
}

DateTexts SpinGameDate(const DateTexts& date, DatePart part, bool up, bool labelWasValid) {
    DateTexts next = date;
    switch (part) {
        case DatePart::Year:
            next.year = SpinYear(date.year, up);
            break;
        case DatePart::Month: {
            next.month = SpinMonth(date.month, up);
            const auto day = FieldNumber(next.day, 2);
            if (labelWasValid && day && ImpossibleDay(next, *day)) {
                const std::string stepped = DayDown(next, day);
                const auto d = FieldNumber(stepped, 2);
                if (d && !ImpossibleDay(next, *d)) next.day = stepped;
            }
            break;
        }
        case DatePart::Day: {
            const auto day = FieldNumber(date.day, 2);
            if (!up) {
                next.day = DayDown(date, day);
            } else if (!day) {
                next.day = "01";
            } else {
                const int d = *day >= 31 ? 1 : *day + 1;
                next.day = ImpossibleDay(date, d) ? "01" : Digits(d, 2);
            }
            break;
        }
    }
    return next;
}

// --- the whole main form -------------------------------------------------------------------------

GameInfoLists GameInfoLists::Make(const PlayerTable& players, const TournamentTable& tournaments,
                                  const OpeningTable& openings, bool bulk) {
    return {GameInfoPlayerList(players, bulk), GameInfoTournamentList(tournaments, bulk),
            GameInfoOpeningList(openings, bulk)};
}

GameInfoForm GameInfoFormFromImages(GameInfoMode mode, bool editMovesPreset,
                                    const IndexRecord& index, const DetailRecord& detail,
                                    bool extended, const GameInfoLists& lists,
                                    const TournamentTable& tournaments) {
    GameInfoForm form;
    const std::uint16_t numbers[2] = {index.sentePlayer(), index.gotePlayer()};
    const std::string names[2] = {detail.senteName(), detail.goteName()};
    for (int side = 0; side < 2; ++side) {
        if (numbers[side] != 0) {
            form.player[side] = PositionOfNumber(lists.players, numbers[side]);
        } else if (extended && !TrimFullWidth(names[side]).empty()) {
            form.playerText[side] = TrimFullWidth(names[side]);
        }
    }
    form.tournament = PositionOfNumber(lists.tournaments, index.tournament());
    form.subTournament = PositionOfNumber(
        GameInfoSubTournamentList(tournaments, index.tournament(), false), index.subTournament());
    form.gameNumber = index.gameNumber() <= kGameNumbers ? index.gameNumber() : 0;
    form.opening = PositionOfNumber(lists.openings, index.opening());
    form.date = {Digits(index.year(), 4), Digits(index.month(), 2), Digits(index.day(), 2)};
    form.handicap = index.handicap() < kHandicapCount ? index.handicap() : 0;
    form.result = mode == GameInfoMode::NewGame || index.result() > 8 ? 0 : index.result();
    if (extended) {
        const std::int16_t ratings[2] = {detail.senteRating(), detail.goteRating()};
        for (int side = 0; side < 2; ++side) {
            if (ratings[side] != 0) form.rating[side] = std::to_string(ratings[side]);
        }
    }
    form.editMoves = mode == GameInfoMode::Correction && editMovesPreset;
    return form;
}

GameInfoForm BulkForm() { return GameInfoForm{}; }

GameInfoCheck ApplyGameInfoForm(const GameInfoForm& form, GameInfoMode mode, bool extended,
                                const GameInfoLists& lists, const PlayerTable& players,
                                const TournamentTable& tournaments, IndexRecord& index,
                                DetailRecord& detail) {
    for (int side = 0; side < 2; ++side) {
        if (form.player[side] == 0 && !PlayerNameFits(form.playerText[side])) {
            return {side == 0 ? GameInfoField::SentePlayer : GameInfoField::GotePlayer,
                    PlayerNameTooLongMessage()};
        }
    }
    const auto date = CheckGameDate(form.date);
    if (!date) return {GameInfoField::Month, GameDateMessage()};

    IndexRecord in = index;
    DetailRecord de = detail;
    for (int side = 0; side < 2; ++side) {
        const PlayerPick pick =
            ResolvePlayer(lists.players, form.player[side], form.playerText[side], players);
        if (side == 0) {
            in.setSentePlayer(pick.number);
            if (pick.detailName) de.setSenteName(*pick.detailName);
        } else {
            in.setGotePlayer(pick.number);
            if (pick.detailName) de.setGoteName(*pick.detailName);
        }
    }
    const auto at = [](const std::vector<ListChoice>& list, int position) -> std::uint16_t {
        return position > 0 && std::size_t(position) < list.size() ? list[std::size_t(position)].number : 0;
    };
    const std::uint16_t tournament = at(lists.tournaments, form.tournament);
    in.setTournament(tournament);
    in.setSubTournament(
        at(GameInfoSubTournamentList(tournaments, tournament, false), form.subTournament));
    in.setGameNumber(std::uint16_t(form.gameNumber));
    in.setOpening(at(lists.openings, form.opening));
    in.setYear(std::uint16_t(date->year));
    in.setMonth(std::uint16_t(date->month));
    in.setDay(std::uint16_t(date->day));
    if (mode == GameInfoMode::NewGame) in.setHandicap(std::uint16_t(form.handicap));
    if (mode == GameInfoMode::NewGame) {
        in.setResult(0);
    } else if (mode == GameInfoMode::Correction && !form.editMoves) {
        in.setResult(std::uint16_t(form.result));
    }
    if (extended) {
        std::int16_t ratings[2] = {0, 0};
        for (int side = 0; side < 2; ++side) {
            ratings[side] = std::int16_t(FieldNumber(form.rating[side], 4).value_or(0));
        }
        de.setSenteRating(ratings[0]);
        de.setGoteRating(ratings[1]);
    }
    index = in;
    detail = de;
    return {};
}

bool CopyDateToStart(const DateTexts& date, bool eraForIncomplete, DetailRecord& detail) {
    if (!GameInfoEraLabelValid(date, eraForIncomplete)) return false;
    const auto checked = CheckGameDate(date);
    if (!checked) return false;
    DetailDateTime start = detail.start();
    start.year = std::uint16_t(checked->year);
    start.month = std::uint8_t(checked->month);
    start.day = std::uint8_t(checked->day);
    detail.setStart(start);
    return true;
}

GameInfoAnswer OkAnswer(GameInfoMode mode, const GameInfoForm& form) {
    return mode != GameInfoMode::Bulk && form.editMoves ? GameInfoAnswer::OkEditMoves
                                                        : GameInfoAnswer::Ok;
}

std::string BulkConfirmText() { return std::string{"棋譜情報を一括変更します。\r\rよろしいですか？"_sj}; }

GameInfoBulkSet BulkSetFromForm(const GameInfoForm& form, const GameInfoLists& lists,
                                const PlayerTable& players, const TournamentTable& tournaments) {
    GameInfoBulkSet set;
    set.sentePlayer = ResolvePlayer(lists.players, form.player[0], form.playerText[0], players).number;
    set.gotePlayer = ResolvePlayer(lists.players, form.player[1], form.playerText[1], players).number;
    const auto at = [](const std::vector<ListChoice>& list, int position) -> std::uint16_t {
        return position > 0 && std::size_t(position) < list.size() ? list[std::size_t(position)].number : 0;
    };
    set.tournament = at(lists.tournaments, form.tournament);
    set.subTournament =
        at(GameInfoSubTournamentList(tournaments, set.tournament, true), form.subTournament);
    set.gameNumber = std::uint16_t(form.gameNumber);
    set.opening = at(lists.openings, form.opening);
    set.result = std::uint16_t(form.result);
    return set;
}

DetailRecord DetailForDetailedDialog(const GameInfoForm& form, const DetailRecord& detail,
                                     const GameInfoLists& lists,
                                     const TournamentTable& tournaments) {
    DetailRecord d = detail;
    for (int side = 0; side < 2; ++side) {
        const int position = form.player[side];
        const std::string text = position > 0 && std::size_t(position) < lists.players.size()
                                     ? lists.players[std::size_t(position)].text
                                     : TrimFullWidth(form.playerText[side]);
        if (text.empty() || text == NotGivenText()) continue;
        if (side == 0) {
            d.setSenteName(text);
        } else {
            d.setGoteName(text);
        }
    }
    if (TrimFullWidth(d.tournamentText()).empty() && form.tournament > 0 &&
        std::size_t(form.tournament) < lists.tournaments.size()) {
        const int number = lists.tournaments[std::size_t(form.tournament)].number;
        d.setTournamentText(Trim(tournaments.DisplayName(number)));
    }
    return d;
}

}  // namespace movra
