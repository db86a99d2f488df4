#include "core/list/game_list_page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "core/text/era.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/notation.h"
#include "core/rules/position.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"

namespace movra {

using namespace movra::literals;

namespace {

std::string Format(const char* format, int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The first `width` bytes of a text, one fewer when that would split a double-byte character.
std::string CutNoSplit(std::string_view text, std::size_t width) {
    if (text.size() <= width) return std::string(text);
    std::size_t n = width;
    if (!IsCharBoundary(text, n)) --n;
    return std::string(text.substr(0, n));
}

// A text padded or cut to a width without regard to double-byte characters.
std::string RawField(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, std::min(width, text.size())));
    out.resize(width, ' ');
    return out;
}

std::string WesternDate(int year, int month, int day) {
    return "  " + ZeroPad(year, 4) + "/" + ZeroPad(month, 2) + "/" + ZeroPad(day, 2);
}

}  // namespace

std::string InfoHeaderWord(InfoColumn column) {
    switch (column) {
        case InfoColumn::Move: return std::string("指し手"_sj);
        case InfoColumn::Ratings: return std::string("ﾚｰﾃｨﾝｸﾞ"_sj);
        case InfoColumn::Handicap: break;
    }
    return std::string("手合い"_sj);
}

std::string TournamentHeaderWord(bool subTournaments) {
    return subTournaments ? std::string("棋戦名詳細"_sj) : std::string("棋戦名"_sj);
}

int MatchedMove(const GameHeader& entry) {
    if (entry.positionHit < 0) return -1;
    if (entry.handicap != 0) return std::max(0, entry.positionHit - 1);
    return entry.positionHit;
}

// --- columns --------------------------------------------------------------------------------------

std::string ListDateColumn(int year, int month, int day, bool westernDates,
                           bool eraForIncompleteDates) {
    if (westernDates) return WesternDate(year, month, day);
    int workMonth = month;
    int workDay = day;
    if (eraForIncompleteDates) {
        if (workMonth == 0) {
            workMonth = 1;
            workDay = 1;
        } else if (workDay == 0) {
            workDay = 1;
        }
    }
    if (workMonth == 0 || workDay == 0) return WesternDate(year, month, day);
    std::string era;
    try {
        era = EraDateText(CivilDate{year, workMonth, workDay}, EraLayout::kSlash);
    } catch (const std::invalid_argument&) {
        // A day that does not exist, or one before the first era: no era text to show.
        return WesternDate(year, month, day);
    }
    if (era.size() < 12) return WesternDate(year, month, day);
    return CorrectShowa64(era.substr(0, 6) + "/" + ZeroPad(month, 2) + "/" + ZeroPad(day, 2));
}

std::string ListResultColumn(int result, int handicapNumber, bool longWording) {
    const std::string text = longWording ? ResultName(result, handicapNumber != 0)
                                         : ResultShortName(result);
    return PadOrCut(text, kResultColumnWidth);
}

InfoColumn InfoColumnOf(const GameHeader& entry, const ListDisplay& display, bool extended) {
    if (display.ratings && extended) return InfoColumn::Ratings;
    if (entry.positionHit >= 0) return InfoColumn::Move;
    return InfoColumn::Handicap;
}

std::string ListPlayerName(int number, std::string_view detailName, bool extended,
                           const PlayerTable& players) {
    if (number != 0 || !extended) return players.DisplayName(number);
    const std::string name = Trim(detailName);
    return name.empty() ? UnregisteredPlayerText() : name;
}

std::string FormatListLine(const GameHeader& entry, const ListLineData& data,
                           const ListTables& tables, const ListDisplay& display,
                           std::size_t nameWidth) {
    std::string line = " ";
    line += PadOrCut(ListPlayerName(entry.sentePlayer, data.senteName, data.extended, tables.players),
                     nameWidth);
    line += PadOrCut(ListPlayerName(entry.gotePlayer, data.goteName, data.extended, tables.players),
                     nameWidth);
    std::string tournament;
    if (!display.subTournaments) {
        tournament = tables.tournaments.DisplayName(entry.tournament);
    } else if (entry.tournament != 0 && entry.subTournament != 0) {
        tournament = tables.tournaments.SubDisplayName(entry.tournament, entry.subTournament);
    }
    line += PadOrCut(tournament, kListColumnWidth) + " ";
    line += (entry.gameNumber == 0 ? std::string("  ") : Format("%2d", entry.gameNumber)) + " ";
    line += ListDateColumn(entry.year, entry.month, entry.day, display.westernDates,
                           display.eraForIncompleteDates) +
            " ";
    line += ListResultColumn(entry.result, entry.handicap, display.longResults);
    line += Format("%3d", data.moveCount) + std::string("　"_sj);
    line += PadOrCut(tables.openings.DisplayName(entry.opening), kListColumnWidth) + " ";
    switch (InfoColumnOf(entry, display, data.extended)) {
        case InfoColumn::Ratings:
            line += Format("%4d", data.senteRating) + " " + Format("%4d", data.goteRating);
            break;
        case InfoColumn::Move:
            line += CutNoSplit(data.hitLine.size() > 5 ? std::string_view(data.hitLine).substr(5)
                                                       : std::string_view(),
                               16);
            break;
        case InfoColumn::Handicap:
            line += HandicapName(entry.handicap);
            break;
    }
    return line;
}

std::string ListTitleText(std::size_t nameWidth, bool subTournaments, InfoColumn info) {
    std::string title = " ";
    title += PadOrCut("先手"_sj, nameWidth);
    title += PadOrCut("後手"_sj, nameWidth);
    title += PadOrCut(TournamentHeaderWord(subTournaments), kListColumnWidth + 1);
    title += PadOrCut("局"_sj, 3);
    title += PadOrCut("  対局日"_sj, kListColumnWidth + 1);
    title += PadOrCut("勝敗"_sj, kResultColumnWidth);
    title += PadOrCut("手数"_sj, 5);
    title += PadOrCut("戦型"_sj, kListColumnWidth + 1);
    title += InfoHeaderWord(info);
    return title;
}

// --- the caption ------------------------------------------------------------------------------------

std::string ResultSummary(std::span<const GameHeader> entries) {
    std::array<long, 5> counts{};  // sente, gote, repetition, impasse, other
    for (const GameHeader& e : entries) {
        switch (e.result) {
            case 1: case 5: ++counts[0]; break;
            case 2: case 6: ++counts[1]; break;
            case 3: case 7: ++counts[2]; break;
            case 4: case 8: ++counts[3]; break;
            default: ++counts[4]; break;
        }
    }
    const auto n = [&](int i) { return std::to_string(counts[std::size_t(i)]); };
    return "先手:"_sj + n(0) + "勝 "_sj + "後手:"_sj + n(1) + "勝 "_sj + "千日手:"_sj + n(2) +
           "局 "_sj + "持将棋:"_sj + n(3) + "局 "_sj + "未登録:"_sj + n(4) + "局"_sj;
}

std::string GameListCaption(std::uint32_t position, std::uint32_t count, std::string_view summary) {
    std::string caption = "棋譜一覧 ( "_sj + std::to_string(position) + " / " +
                          std::to_string(count) + " 局)"_sj;
    if (!summary.empty()) caption += "  " + std::string(summary);
    return caption;
}

// --- pages --------------------------------------------------------------------------------------------

std::uint32_t ListPaging::rowsOnPage() const {
    if (count == 0 || pageStart == 0 || pageStart > count) return 0;
    return std::min(kListPageSize, count - (pageStart - 1));
}

bool ListPaging::GoToScroll(std::uint32_t position) {
    position = std::min(position, scrollMax());
    const std::uint32_t start = position * kListPageSize + 1;
    const bool changed = start != pageStart;
    pageStart = start;
    return changed;
}

bool ListPaging::NextPage() {
    if (onLastPage()) return false;
    return GoToScroll(scrollPosition() + 1);
}

bool ListPaging::PreviousPage() {
    if (onFirstPage()) return false;
    return GoToScroll(scrollPosition() - 1);
}

void ListPaging::KeepWithinCount() {
    while (pageStart > count && pageStart > kListPageSize) pageStart -= kListPageSize;
    if (pageStart < 1) pageStart = 1;
}

ListMove MoveInList(ListPaging& paging, int row, ListKey key) {
    ListMove m;
    m.row = row;
    switch (key) {
        case ListKey::PageDown:
            m.handled = true;
            if (paging.NextPage()) {
                m.pageChanged = true;
                m.row = 0;
            }
            break;
        case ListKey::PageUp:
            m.handled = true;
            if (paging.PreviousPage()) {
                m.pageChanged = true;
                m.row = 0;
            }
            break;
        case ListKey::Home:
        case ListKey::End:
            m.handled = true;
            m.pageChanged = true;
            m.row = 0;
            if (key == ListKey::Home) {
                paging.FirstPage();
            } else {
                paging.LastPage();
            }
            break;
        case ListKey::Down:
            if (paging.rowsOnPage() == kListPageSize && row == int(kListPageSize) - 1 &&
                paging.NextPage()) {
                m.handled = true;
                m.pageChanged = true;
                m.row = 0;
            }
            break;
        case ListKey::Up:
            if (row == 0 && paging.PreviousPage()) {
                m.handled = true;
                m.pageChanged = true;
                m.row = int(kListPageSize) - 1;
            }
            break;
    }
    return m;
}

ListLineData ReadListLineData(const StoreReader& reader, const GameHeader& entry,
                              TKifData& scratch) {
    ListLineData data;
    data.extended = reader.store().extended();
    MoveBytes moves;
    if (reader.ReadGameData(long(entry.recordNumber), entry.overflowNumber, moves)) {
        data.moveCount = CountMoves(moves);
    }
    if (data.extended) {
        DetailRecord detail;
        if (reader.ReadDetailRecord(long(entry.recordNumber), detail)) {
            data.senteName = detail.senteName();
            data.goteName = detail.goteName();
            data.senteRating = detail.senteRating();
            data.goteRating = detail.goteRating();
        }
    }
    if (entry.positionHit >= 0) {
        // The game is replayed only as far as the move after the matched position; a damaged
        // game shows what could be read, without a message for every page it appears on.
        SilentPrompter quiet;
        const int handicap = std::min<int>(entry.handicap, kHandicapCount - 1);
        const GameMoves game = LoadGameMoves(moves, nullptr, handicap, false, MatchedMove(entry) + 1,
                                             scratch, quiet);
        data.hitLine = game.lineOfInterest;
    }
    return data;
}

ListPage FillListPage(const GameStore& store, std::span<const GameHeader> entries,
                      std::uint32_t pageStart, const ListTables& tables,
                      const ListDisplay& display, Prompter& prompter) {
    ListPage page;
    if (!store.files.Exists(ext::kGameData)) {
        prompter.Warn("Reset Error! No.01");
        return page;
    }
    page.opened = true;
    const StoreReader reader(store);
    TKifData scratch;
    const std::size_t first = pageStart == 0 ? 0 : pageStart - 1;
    for (std::size_t p = first; p < entries.size() && p < first + kListPageSize; ++p) {
        const GameHeader& entry = entries[p];
        ListLineData data = ReadListLineData(reader, entry, scratch);
        page.lines.push_back(FormatListLine(entry, data, tables, display, kListNameWidth));
        page.data.push_back(std::move(data));
    }
    if (first < entries.size()) {
        page.info = InfoColumnOf(entries[first], display, store.extended());
    } else {
        page.info = display.ratings && store.extended() ? InfoColumn::Ratings : InfoColumn::Handicap;
    }
    return page;
}

// --- the selected-game line -------------------------------------------------------------------------

std::string SelectedGameLine(const GameHeader& entry, std::string_view senteName,
                             std::string_view goteName, const ListTables& tables) {
    std::string line = ZeroPad(entry.recordNumber, 6) + "   ";
    line += RawField(senteName, 24);
    line += RawField(goteName, 24);
    line += PadOrCut(Trim(tables.tournaments.DisplayName(entry.tournament)), 20);
    line += PadOrCut(Trim(tables.tournaments.SubDisplayName(entry.tournament, entry.subTournament)), 20);
    line += ZeroPad(entry.year, 4) + "年"_sj + ZeroPad(entry.month, 2) + "月"_sj +
            ZeroPad(entry.day, 2) + "日"_sj + std::string(10, ' ');
    line += ZeroPad(entry.recordNumber, 6) + "000000000000";
    line += ZeroPad(std::min<int>(entry.result, 9), 1) + ZeroPad(entry.opening, 3) + "00";
    line += entry.positionHit > 0 ? ZeroPad(entry.positionHit, 3) : std::string("000");
    line += ZeroPad(entry.handicap, 2) + ZeroPad(entry.gameNumber, 2);
    return line;
}

std::optional<SelectedGame> ParseSelectedGameLine(std::string_view line) {
    constexpr std::size_t kLength = 152;
    if (line.size() < kLength) return std::nullopt;
    const auto number = [&](std::size_t from, std::size_t width) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = from; i < from + width; ++i) {
            const char c = line[i];
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    // Positions of the fields (0-based): after 9 + 24 + 24 + 20 + 20 + 14 + 10 bytes the record
    // number repeats at 121; the numeric tail starts at 139.
    const auto record = number(0, 6);
    const auto result = number(139, 1);
    const auto opening = number(140, 3);
    const auto hit = number(145, 3);
    const auto handicap = number(148, 2);
    const auto game = number(150, 2);
    if (!record || !result || !opening || !hit || !handicap || !game) return std::nullopt;
    SelectedGame out;
    out.recordNumber = std::uint32_t(*record);
    out.result = *result;
    out.opening = *opening;
    out.positionHit = *hit;
    out.handicap = *handicap;
    out.gameNumber = *game;
    return out;
}

}  // namespace movra
