#include "core/list/search_form.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "core/text/era.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kPlayerNameBytes = 30;
constexpr int kSubTournaments = 10;

std::string TwoDigits(int v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

std::string FourDigits(int v) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", v);
    return text;
}

}  // namespace

// --- the condition lists ---------------------------------------------------------------------------

std::vector<std::string> PlayerSearchList(const PlayerTable& players) {
    std::vector<std::string> list;
    list.reserve(players.Order().size() + 1);
    list.emplace_back(NoConditionText());
    for (const std::string& line : players.Order()) {
        const int number = PlayerTable::OrderLineNumber(line);
        list.push_back(PadOrCut(players.DisplayName(number), kPlayerNameBytes) + FourDigits(number));
    }
    return list;
}

int PlayerNumberOfListEntry(std::string_view entry) {
    if (entry.size() < kPlayerNameBytes + 4) return 0;
    return FieldNumber(entry.substr(kPlayerNameBytes, 4), 4).value_or(0);
}

namespace {

// "指定なし" and then the names of the rows that have a place in selection lists, in row order.
template <typename RowAt>
std::vector<std::string> SearchList(int rows, RowAt rowAt) {
    std::vector<std::string> list{std::string(NoConditionText())};
    for (int i = 0; i < rows; ++i) {
        const MasterRow& row = rowAt(i);
        if (row.order > 0) list.push_back(row.name);
    }
    return list;
}

}  // namespace

std::vector<std::string> TournamentSearchList(const TournamentTable& tournaments) {
    return SearchList(kTournamentRows, [&](int i) -> const MasterRow& { return tournaments.Row(i); });
}

std::vector<std::string> SubTournamentSearchList(const TournamentTable& tournaments, int tournament) {
    // No tournament chosen: nothing to choose among but 指定なし.
    return SearchList(tournament > 0 ? kSubTournaments : 0,
                      [&](int i) -> const MasterRow& { return tournaments.SubRow(tournament, i); });
}

std::vector<std::string> OpeningSearchList(const OpeningTable& openings) {
    return SearchList(kOpeningRows, [&](int i) -> const MasterRow& { return openings.Row(i); });
}

std::vector<std::string> HandicapSearchList() {
    std::vector<std::string> list{std::string(NoConditionText())};
    for (int h = 0; h < kHandicapCount; ++h) list.push_back(HandicapName(h));
    return list;
}

// --- checks and conditions -------------------------------------------------------------------------

SearchDateCheck CheckSearchDates(const SearchDates& dates) {
    SearchDateCheck check;
    const std::string monthMessage{"月の入力が間違っています！ 正しく入力して下さい。"_sj};
    const std::string yearMessage{"年の入力が間違っています！ 正しく入力して下さい。"_sj};
    const auto fromMonth = FieldNumber(dates.fromMonth, 2);
    if (!fromMonth || *fromMonth >= 13) return {SearchField::FromMonth, monthMessage};
    const auto toMonth = FieldNumber(dates.toMonth, 2);
    if (!toMonth || *toMonth >= 13) return {SearchField::ToMonth, monthMessage};
    const auto fromYear = FieldNumber(dates.fromYear, 5);
    if (!fromYear) return {SearchField::FromYear, yearMessage};
    const auto toYear = FieldNumber(dates.toYear, 5);
    if (!toYear) return {SearchField::ToYear, yearMessage};
    check.from = DateFromValue(*fromYear, *fromMonth);
    check.to = DateToValue(*toYear, *toMonth);
    if (check.from > check.to) {
        return {SearchField::FromYear, std::string{"対局日の設定範囲が間違っています。"_sj}};
    }
    return check;
}

SearchDateCheck BuildSearchConditions(const SearchChoices& choices,
                                      const std::vector<std::string>& playerList,
                                      const TournamentTable& tournaments,
                                      const OpeningTable& openings, const SearchPattern& board,
                                      SearchConditions& out) {
    const SearchDateCheck check = CheckSearchDates(choices.dates);
    if (!check.ok()) return check;
    const auto player = [&](int index) {
        return index > 0 && std::size_t(index) < playerList.size()
                   ? PlayerNumberOfListEntry(playerList[std::size_t(index)])
                   : 0;
    };
    SearchConditions c;
    c.player1 = player(choices.player1);
    c.player2 = player(choices.player2);
    c.playerMode = choices.playerMode;
    c.tournament = choices.tournament > 0 ? tournaments.NumberByPosition(choices.tournament) : 0;
    c.subTournament = c.tournament > 0 && choices.subTournament > 0
                          ? tournaments.SubNumberByPosition(c.tournament, choices.subTournament)
                          : 0;
    c.opening = choices.opening > 0 ? openings.NumberByPosition(choices.opening) : 0;
    c.resultIndex = choices.result;
    c.handicap = HandicapOfListIndex(choices.handicap);
    c.dateFrom = check.from;
    c.dateTo = check.to;
    c.positionMode = choices.position == 1   ? PositionMode::Same
                     : choices.position == 2 ? PositionMode::SameOrReversed
                                             : PositionMode::None;
    c.depth = DepthOfListIndex(choices.depth);
    if (c.positionMode != PositionMode::None) c.pattern = board;
    out = c;
    return check;
}

// --- saved conditions ------------------------------------------------------------------------------

Settings::Kensaku SaveSearchChoices(const SearchChoices& choices,
                                    const TournamentTable& tournaments,
                                    const OpeningTable& openings) {
    Settings::Kensaku k;
    k.KsMode = int(choices.playerMode);
    k.Sente = choices.player1;
    k.Gote = choices.player2;
    k.Movra = choices.tournament > 0 ? tournaments.NumberByPosition(choices.tournament) : 0;
    k.Movra2 = k.Movra > 0 && choices.subTournament > 0
                   ? tournaments.SubNumberByPosition(k.Movra, choices.subTournament)
                   : 0;
    k.Senkei = choices.opening > 0 ? openings.NumberByPosition(choices.opening) : 0;
    k.Shohai = choices.result;
    k.Teai = choices.handicap;
    k.FromYY = FieldNumber(choices.dates.fromYear, 5).value_or(0);
    k.FromMM = FieldNumber(choices.dates.fromMonth, 2).value_or(0);
    k.ToYY = FieldNumber(choices.dates.toYear, 5).value_or(0);
    k.ToMM = FieldNumber(choices.dates.toMonth, 2).value_or(0);
    return k;
}

SearchChoices RestoreSearchChoices(const Settings::Kensaku& saved, bool freshLists,
                                   bool positionPreset, const TournamentTable& tournaments,
                                   const OpeningTable& openings, std::size_t playerListSize,
                                   int currentYear, int currentMonth) {
    SearchChoices c;
    c.dates.fromYear = FourDigits(saved.FromYY);
    c.dates.fromMonth = TwoDigits(saved.FromMM);
    if (saved.ToYY == 0) {
        c.dates.toYear = FourDigits(currentYear);
        c.dates.toMonth = TwoDigits(currentMonth);
    } else {
        c.dates.toYear = FourDigits(saved.ToYY);
        c.dates.toMonth = TwoDigits(saved.ToMM);
    }
    c.position = positionPreset ? 1 : 0;
    if (freshLists) return c;

    const auto inRange = [](int v, std::size_t size) {
        return v > 0 && std::size_t(v) < size ? v : 0;
    };
    c.player1 = inRange(saved.Sente, playerListSize);
    c.player2 = inRange(saved.Gote, playerListSize);
    c.playerMode = saved.KsMode == 2   ? PlayerMode::Labelled
                   : saved.KsMode == 3 ? PlayerMode::Swapped
                                       : PlayerMode::Either;
    if (saved.Movra > 0) c.tournament = std::max(0, tournaments.Order(saved.Movra));
    if (c.tournament > 0 && saved.Movra2 > 0) {
        c.subTournament = std::max(0, tournaments.SubOrder(saved.Movra, saved.Movra2));
    }
    if (saved.Senkei > 0) c.opening = std::max(0, openings.Order(saved.Senkei));
    c.result = inRange(saved.Shohai, ResultListTexts().size());
    c.handicap = inRange(saved.Teai, std::size_t(kHandicapCount) + 1);
    return c;
}

SearchChoices ClearedSearchChoices(int currentYear, int currentMonth) {
    SearchChoices c;
    c.dates.fromYear = "1900";
    c.dates.fromMonth = "01";
    c.dates.toYear = FourDigits(currentYear);
    c.dates.toMonth = TwoDigits(currentMonth);
    return c;
}

void RemapSavedPlayers(Settings::Kensaku& saved, const std::vector<std::string>& oldList,
                       const std::vector<std::string>& newList) {
    const auto remap = [&](int index) {
        if (index <= 0 || std::size_t(index) >= oldList.size()) return 0;
        const int number = PlayerNumberOfListEntry(oldList[std::size_t(index)]);
        for (std::size_t i = 1; i < newList.size(); ++i) {
            if (PlayerNumberOfListEntry(newList[i]) == number) return int(i);
        }
        return 0;
    };
    saved.Sente = remap(saved.Sente);
    saved.Gote = remap(saved.Gote);
}

// --- labels and spin buttons ------------------------------------------------------------------------

std::string SearchEraLabel(std::string_view yearText, std::string_view monthText) {
    const std::string blank{"(　　  　)"_sj};
    const std::string date = std::string(yearText) + "/" + std::string(monthText) + "/01";
    if (date.size() < 10) return blank;
    std::string label;
    try {
        label = EraYearText(date);
    } catch (const std::exception&) {
        return blank;
    }
    // Formatters that do not know the start of 平成 leave the rest of 1989 in 昭和64.
    if (label.rfind("(昭和64"_sj, 0) == 0 && Trim(monthText) != "01") return std::string{"(平成01年)"_sj};
    return label;
}

std::string SpinYear(std::string_view yearText, bool up) {
    const auto v = FieldNumber(yearText, 9);
    if (!v) return up ? "1900" : "2000";
    if (up) {
        const std::string next = FourDigits(*v + 1);
        return next.size() > 4 ? "1900" : next;
    }
    return *v - 1 <= 0 ? "2000" : FourDigits(*v - 1);
}

std::string SpinMonth(std::string_view monthText, bool up) {
    const auto v = FieldNumber(monthText, 9);
    if (!v) return up ? "01" : "12";
    if (up) return *v + 1 >= 13 ? "01" : TwoDigits(*v + 1);
    return *v - 1 <= 0 ? "12" : TwoDigits(*v - 1);
}

std::pair<std::string, std::string> SearchPlayerLabels(PlayerMode mode, int handicapIndex) {
    if (mode == PlayerMode::Either) {
        return {std::string{"１．棋士名１"_sj}, std::string{"２．棋士名２"_sj}};
    }
    const bool handicapGame = handicapIndex >= 2;
    std::string s{handicapGame ? "下手"_sj : "先手"_sj};
    std::string g{handicapGame ? "上手"_sj : "後手"_sj};
    if (mode == PlayerMode::Swapped) std::swap(s, g);
    return {"１．"_sj + s + "棋士名"_sj, "２．"_sj + g + "棋士名"_sj};
}

PlayerMode NextPlayerMode(PlayerMode mode) {
    switch (mode) {
        case PlayerMode::Either: return PlayerMode::Labelled;
        case PlayerMode::Labelled: return PlayerMode::Swapped;
        case PlayerMode::Swapped: break;
    }
    return PlayerMode::Either;
}

}  // namespace movra
