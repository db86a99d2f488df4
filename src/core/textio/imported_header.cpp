#include "core/textio/imported_header.h"

#include <charconv>
#include <optional>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/position.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

// A decimal number made of ASCII digits only.
std::optional<unsigned> Number(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view Part(std::string_view date, std::size_t at, std::size_t length) {
    return at < date.size() ? date.substr(at, length) : std::string_view{};
}

// Year, month, day, hour and minute of "yyyy-mm-dd hh:mm:ss"; a part that is not a number
// leaves it and the parts after it 0.
DetailDateTime ReadDate(std::string_view date, int parts) {
    DetailDateTime d;
    const std::size_t at[5] = {0, 5, 8, 11, 14};
    const std::size_t len[5] = {4, 2, 2, 2, 2};
    for (int i = 0; i < parts; ++i) {
        const std::optional<unsigned> v = Number(Part(date, at[i], len[i]));
        if (!v || (i > 0 && *v > 255)) break;
        switch (i) {
            case 0: d.year = static_cast<std::uint16_t>(*v); break;
            case 1: d.month = static_cast<std::uint8_t>(*v); break;
            case 2: d.day = static_cast<std::uint8_t>(*v); break;
            case 3: d.hour = static_cast<std::uint8_t>(*v); break;
            default: d.minute = static_cast<std::uint8_t>(*v); break;
        }
    }
    return d;
}

// Titles and ranks that follow a name, the longer ones first.
constexpr std::string_view kRankSuffixes[] = {
    "女流九段"_sj, "女流八段"_sj, "女流七段"_sj, "女流六段"_sj, "女流五段"_sj, "女流四段"_sj,
    "女流三段"_sj, "女流二段"_sj, "女流初段"_sj, "女流名人"_sj, "女流王位"_sj, "女流王将"_sj,
    "女流王座"_sj, "倉敷藤花"_sj, "九段"_sj, "八段"_sj, "七段"_sj, "六段"_sj, "五段"_sj,
    "四段"_sj, "三段"_sj, "二段"_sj, "初段"_sj, "名人"_sj, "竜王"_sj, "龍王"_sj, "王位"_sj,
    "王座"_sj, "棋王"_sj, "王将"_sj, "棋聖"_sj, "叡王"_sj, "女王"_sj, "清麗"_sj, "白玲"_sj,
};

// "１級", "10級", "三級" at the end: where the rank starts, npos when there is none.
std::size_t GradeStart(std::string_view name) {
    if (name.size() < 4 || name.substr(name.size() - 2) != "級"_sj) return sjis::npos;
    std::size_t at = name.size() - 2;
    constexpr std::string_view kWide = "０１２３４５６７８９一二三四五六七八九十"_sj;
    while (at > 0) {
        if (sjis::IsDigit(name[at - 1])) {
            --at;
        } else if (at >= 2 && sjis::IndexInList(kWide, name, at - 2) != 0 &&
                   IsCp932LeadByte(static_cast<std::uint8_t>(name[at - 2]))) {
            at -= 2;
        } else {
            break;
        }
    }
    return at < name.size() - 2 ? at : sjis::npos;
}

bool OnBoundary(std::string_view text, std::size_t at) {
    std::size_t i = 0;
    while (i < at) i += sjis::CharLength(text, i);
    return i == at;
}

}  // namespace

SplitName SplitPlayerName(std::string_view readName) {
    SplitName out;
    if (sjis::StartsWith(readName, "\"")) {
        out.name = TrimFullWidth(readName.substr(1));
        return out;
    }
    std::string name = TrimFullWidth(readName);
    if (const std::size_t blank = name.find(' '); blank != std::string::npos) {
        out.rank = TrimFullWidth(std::string_view(name).substr(blank + 1));
        name = TrimFullWidth(std::string_view(name).substr(0, blank));
    }
    if (out.rank.empty()) {
        for (std::string_view suffix : kRankSuffixes) {
            if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                OnBoundary(name, name.size() - suffix.size())) {
                out.rank = std::string(suffix);
                name = TrimFullWidth(std::string_view(name).substr(0, name.size() - suffix.size()));
                break;
            }
        }
        if (out.rank.empty()) {
            const std::size_t at = GradeStart(name);
            if (at != sjis::npos && at > 0 && OnBoundary(name, at)) {
                out.rank = name.substr(at);
                name = TrimFullWidth(std::string_view(name).substr(0, at));
            }
        }
    }
    out.name = std::move(name);
    return out;
}

namespace {

// The player number of a name: the name as read (cut at its first blank unless it came with a
// rating), without blanks; failing that, the name without its rank or title.
int PlayerNumber(const PlayerTable* players, std::string_view readName, const SplitName& split) {
    if (players == nullptr || readName.empty()) return 0;
    std::string name;
    if (sjis::StartsWith(readName, "\"")) {
        name = Trim(readName.substr(1));
    } else {
        const std::string trimmed = Trim(readName);
        name = trimmed.substr(0, trimmed.find(' '));
    }
    const std::string key = RemoveSpaces(name);
    if (!key.empty()) {
        if (const int n = players->NumberByName(key); n != 0) return n;
    }
    const std::string shorter = RemoveSpaces(split.name);
    if (!shorter.empty() && shorter != key) return players->NumberByName(shorter);
    return 0;
}

}  // namespace

void MakeImportedHeader(const ImportFields& fields, const AppliedMoves& applied,
                        std::uint16_t closingTime, const MasterTables& masters, TKifData& record,
                        IndexRecord& index, DetailRecord& detail) {
    const int handicapNumber = HandicapNumberOfChar(fields.handicap);
    const bool handicapGame = handicapNumber != 0;

    const SplitName sente = SplitPlayerName(fields.senteName);
    const SplitName gote = SplitPlayerName(fields.goteName);
    index.setSentePlayer(static_cast<std::uint16_t>(PlayerNumber(masters.players, fields.senteName, sente)));
    index.setGotePlayer(static_cast<std::uint16_t>(PlayerNumber(masters.players, fields.goteName, gote)));

    // Who made the last move: the parity of the moves as the file has them.
    const int moves = applied.codes;
    int lastMoverWins = 0;
    if (moves > 0) {
        const bool odd = moves % 2 == 1;
        lastMoverWins = handicapGame ? (odd ? 2 : 1) : (odd ? 1 : 2);
    }
    int result = 0;
    switch (fields.endCharacter) {
        case endchar::kResigned:
        case endchar::kMate:
            result = lastMoverWins;
            break;
        case endchar::kLastMoverLost:
            result = lastMoverWins == 0 ? 0 : 3 - lastMoverWins;
            break;
        case endchar::kRepetition:
            result = 3;
            break;
        case endchar::kImpasse:
            result = 4;
            break;
        default:
            break;
    }
    const int limit = handicapGame ? kMaxMoves - 1 : kMaxMoves;
    if (applied.truncated || record.moveCount > limit) {
        if (result >= 1 && result <= 4) result += 4;
        if (record.moveCount > limit) record.moveCount = static_cast<std::int16_t>(limit);
        record.currentMove = std::min(record.currentMove, record.moveCount);
    }
    index.setResult(static_cast<std::uint16_t>(result));
    index.setHandicap(static_cast<std::uint16_t>(handicapNumber));

    const DetailDateTime start = ReadDate(fields.startDate, 5);
    index.setYear(start.year);
    index.setMonth(start.month);
    index.setDay(start.day);

    int tournament = 0;
    if (masters.tournaments != nullptr && !fields.tournament.empty()) {
        tournament = masters.tournaments->NumberByName(fields.tournament);
    }
    index.setTournament(static_cast<std::uint16_t>(tournament));
    if (tournament != 0 && !fields.subTournament.empty()) {
        index.setSubTournament(static_cast<std::uint16_t>(
            masters.tournaments->SubNumberByName(tournament, fields.subTournament)));
    }
    if (masters.openings != nullptr && !fields.opening.empty()) {
        index.setOpening(static_cast<std::uint16_t>(masters.openings->NumberByName(fields.opening)));
    }

    detail.setStart(start);
    detail.setEnd(ReadDate(fields.endDate, 5));
    detail.setSenteRating(static_cast<std::int16_t>(fields.senteRating));
    detail.setGoteRating(static_cast<std::int16_t>(fields.goteRating));
    detail.setPlace(sjis::Cut(fields.place, 0, 19));
    detail.setRecorder(sjis::Cut(fields.recorder, 0, 19));
    detail.setRemarks(sjis::Cut(fields.remarks, 0, 39));
    detail.setTournamentText(fields.tournament);
    if (record.moveCount > 0 && closingTime != 0) detail.setClosingTime(closingTime);

    detail.setSenteName(sente.name);
    detail.setGoteName(gote.name);
    detail.setSenteRank(sente.rank);
    detail.setGoteRank(gote.rank);
    detail.setMoveCount(static_cast<std::uint16_t>(record.moveCount));
    detail.CopyIndexWords(index);
}

void SetAllowedTimes(const ImportFields& fields, bool breaks, DetailRecord& detail) {
    // A part that is absent counts 0; one that is not a number stops the group.
    const auto part = [](const std::string& text, unsigned& value) {
        if (text.empty()) {
            value = 0;
            return true;
        }
        const std::optional<unsigned> v = Number(Trim(text));
        if (!v) return false;
        value = *v;
        return true;
    };
    unsigned hours = 0, minutes = 0;
    if (part(fields.senteHours, hours) && part(fields.senteMinutes, minutes) &&
        hours * 60 + minutes <= 65535) {
        detail.setSenteAllowedMinutes(static_cast<std::uint16_t>(hours * 60 + minutes));
        if (part(fields.goteHours, hours) && part(fields.goteMinutes, minutes) &&
            hours * 60 + minutes <= 65535) {
            detail.setGoteAllowedMinutes(static_cast<std::uint16_t>(hours * 60 + minutes));
        }
    }
    if (!breaks) return;
    std::uint8_t values[8] = {};
    int filled = 0;
    for (; filled < 8; ++filled) {
        unsigned v = 0;
        if (!part(fields.breaks[static_cast<std::size_t>(filled)], v) || v > 255) break;
        values[filled] = static_cast<std::uint8_t>(v);
    }
    BreakTime lunch = detail.lunch();
    BreakTime dinner = detail.dinner();
    std::uint8_t* targets[8] = {&lunch.fromHour,  &lunch.fromMinute,  &lunch.toHour,  &lunch.toMinute,
                                &dinner.fromHour, &dinner.fromMinute, &dinner.toHour, &dinner.toMinute};
    for (int i = 0; i < filled; ++i) *targets[i] = values[i];
    detail.setLunch(lunch);
    detail.setDinner(dinner);
}

}  // namespace movra
