#include "core/gameinfo/detail_info.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "core/gameinfo/game_info.h"
#include "core/store/master_data.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

// Lists the user keeps are a few lines; anything larger is not such a list.
constexpr std::size_t kMaxListFileBytes = 1 << 20;

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

std::string Two(int v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

// The lines of a text file of the program folder (CR LF or LF), trailing blanks cut, empty lines
// left out.
std::vector<std::string> FileLines(const std::filesystem::path& folder, std::string_view name) {
    std::string content;
    if (ReadRegularFile(FindFileNoCase(folder, name), kMaxListFileBytes, content) !=
        FileReadStatus::Ok) {
        return {};
    }
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!Trim(line).empty()) lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

// The first `width` bytes of a text, one fewer when the last would split a character.
std::size_t CutAt(std::string_view text, std::size_t width) {
    if (text.size() <= width) return text.size();
    return IsCharBoundary(text, width) ? width : width - 1;
}

// A date-time of the form: all five empty clears it; otherwise every field filled, month < 13,
// day < 32, hour < 24, minute < 60. Returns the first wrong field (0-4) or -1.
int CheckDateTime(const std::array<std::string, 5>& f, DetailDateTime& out) {
    if (std::all_of(f.begin(), f.end(), [](const std::string& s) { return Trim(s).empty(); })) {
        out = {};
        return -1;
    }
    const int limits[5] = {10000, 13, 32, 24, 60};
    int values[5];
    for (int i = 0; i < 5; ++i) {
        const auto v = FieldNumber(f[std::size_t(i)], i == 0 ? 4 : 2);
        if (!v || *v >= limits[i]) return i;
        values[i] = *v;
    }
    out = {std::uint16_t(values[0]), std::uint8_t(values[1]), std::uint8_t(values[2]),
           std::uint8_t(values[3]), std::uint8_t(values[4])};
    return -1;
}

// A break: empty fields count 0; hours above 23 or minutes above 59 are wrong.
int CheckBreak(const std::array<std::string, 4>& f, BreakTime& out) {
    int values[4];
    for (int i = 0; i < 4; ++i) {
        const std::string t = Trim(f[std::size_t(i)]);
        const auto v = t.empty() ? std::optional<int>(0) : FieldNumber(t, 2);
        if (!v || *v > (i % 2 == 0 ? 23 : 59)) return i;
        values[i] = *v;
    }
    out = {std::uint8_t(values[0]), std::uint8_t(values[1]), std::uint8_t(values[2]),
           std::uint8_t(values[3])};
    return -1;
}

// An allowance: hours and minutes, empty counting 0; minutes above 59 are wrong.
int CheckAllowance(const std::array<std::string, 2>& f, std::uint16_t& minutes) {
    const std::string h = Trim(f[0]);
    const std::string m = Trim(f[1]);
    const auto hours = h.empty() ? std::optional<int>(0) : FieldNumber(h, 3);
    if (!hours) return 0;
    const auto mins = m.empty() ? std::optional<int>(0) : FieldNumber(m, 2);
    if (!mins || *mins > 59) return 1;
    minutes = std::uint16_t(*hours * 60 + *mins);
    return -1;
}

bool Contains(std::string_view text, std::string_view part) {
    // CP932: a match must start on a character, so walk the text character by character.
    for (std::size_t i = 0; i + part.size() <= text.size();) {
        if (text.substr(i, part.size()) == part) return true;
        const auto b = std::uint8_t(text[i]);
        i += (b < 0x80 || (b >= 0xA0 && b <= 0xDF)) ? 1 : 2;
    }
    return false;
}

}  // namespace

// --- lists -------------------------------------------------------------------------------------------

std::vector<std::string> RankList(const std::filesystem::path& programFolder) {
    std::vector<std::string> list{std::string(NotGivenText())};
    std::vector<std::string> lines = FileLines(programFolder, "DanKyu.txt");
    if (!IsRegularFile(FindFileNoCase(programFolder, "DanKyu.txt"))) {
        for (std::string_view r : std::initializer_list<std::string_view>{"九段"_sj, "八段"_sj, "七段"_sj, "六段"_sj, "五段"_sj, "四段"_sj,
                                   "三段"_sj, "二段"_sj, "初段"_sj, "１級"_sj, "２級"_sj, "３級"_sj,
                                   "４級"_sj, "５級"_sj, "６級"_sj, "７級"_sj, "８級"_sj, "９級"_sj,
                                   "10級"_sj}) {
            list.emplace_back(r);
        }
        return list;
    }
    for (std::string& line : lines) list.push_back(TrimFullWidth(line));
    return list;
}

std::vector<std::string> RecorderList(const std::filesystem::path& programFolder) {
    return FileLines(programFolder, "kiroku.txt");
}

bool HasRecorderList(const std::filesystem::path& programFolder) {
    return IsRegularFile(FindFileNoCase(programFolder, "kiroku.txt"));
}

// --- ranks -------------------------------------------------------------------------------------------

void StoreRank(DetailRecord& detail, bool sente, std::string_view rank) {
    const std::size_t first = sente ? detail::kSenteRank : detail::kGoteRank;
    const std::size_t more = sente ? detail::kSenteRankMore : detail::kGoteRankMore;
    std::string text = TrimFullWidth(rank);
    if (text == NotGivenText()) text.clear();
    const std::size_t head = CutAt(text, detail::kRankPartWidth);
    const std::string_view rest = std::string_view(text).substr(head);
    TextToField(&detail.bytes[first], detail::kRankPartWidth, std::string_view(text).substr(0, head),
                detail::kRankPartWidth);
    TextToField(&detail.bytes[more], detail::kRankPartWidth, rest, detail::kRankPartWidth);
}

std::string ReadRank(const DetailRecord& detail, bool sente) {
    return sente ? detail.senteRank() : detail.goteRank();
}

// --- the form --------------------------------------------------------------------------------------

DetailForm DetailFormFromRecord(const DetailRecord& detail, int mainYear, int mainMonth,
                                int mainDay, const std::vector<std::string>& rankList) {
    DetailForm form;
    form.names = {TrimFullWidth(detail.senteName()), TrimFullWidth(detail.goteName())};
    for (int side = 0; side < 2; ++side) {
        const std::string rank = TrimFullWidth(ReadRank(detail, side == 0));
        std::string shown = rank.empty() ? std::string(NotGivenText()) : rank;
        for (const std::string& entry : rankList) {
            if (!rank.empty() && TrimFullWidth(entry) == rank) shown = entry;
        }
        form.ranks[std::size_t(side)] = shown;
    }
    form.tournamentText = TrimFullWidth(detail.tournamentText());
    form.place = TrimFullWidth(detail.place());
    form.recorder = TrimFullWidth(detail.recorder());
    form.remarks = TrimFullWidth(detail.remarks());
    const auto dateTime = [](const DetailDateTime& d) {
        char year[16];
        std::snprintf(year, sizeof year, "%04d", d.year);
        return std::array<std::string, 5>{year, Two(d.month), Two(d.day), Two(d.hour), Two(d.minute)};
    };
    const DetailDateTime start = detail.start();
    form.start = start.year != 0 ? dateTime(start)
                                 : dateTime({std::uint16_t(mainYear), std::uint8_t(mainMonth),
                                             std::uint8_t(mainDay), 0, 0});
    if (detail.end().year != 0) form.end = dateTime(detail.end());
    const auto breakTexts = [](const BreakTime& b) {
        std::array<std::string, 4> f;
        if (b.fromHour != 0 || b.fromMinute != 0) f[0] = Two(b.fromHour), f[1] = Two(b.fromMinute);
        if (b.toHour != 0 || b.toMinute != 0) f[2] = Two(b.toHour), f[3] = Two(b.toMinute);
        return f;
    };
    form.lunch = breakTexts(detail.lunch());
    form.supper = breakTexts(detail.dinner());
    const auto allowance = [](std::uint16_t minutes) {
        return std::array<std::string, 2>{std::to_string(minutes / 60), Two(minutes % 60)};
    };
    form.senteAllowance = allowance(detail.senteAllowedMinutes());
    form.goteAllowance = allowance(detail.goteAllowedMinutes());
    return form;
}

DetailCheck ApplyDetailForm(const DetailForm& form, DetailRecord& detail) {
    for (int side = 0; side < 2; ++side) {
        const std::string rank = TrimFullWidth(form.ranks[std::size_t(side)]);
        if (rank.size() > detail::kRankWidth) {
            return {side == 0 ? DetailField::SenteRank : DetailField::GoteRank, 0,
                    std::string{"\r段級位は全角８文字以内で入力して下さい。"_sj}};
        }
    }
    struct TextCheck {
        const std::string& text;
        std::size_t width;
        DetailField field;
        std::string_view message;
    };
    const TextCheck texts[] = {
        {form.tournamentText, detail::kTournamentTextWidth, DetailField::TournamentText,
         "\r棋戦名(詳細)は全角10文字以内で入力して下さい。"_sj},
        {form.place, detail::kPlaceWidth, DetailField::Place,
         "\r対局場所は全角10文字以内で入力して下さい。"_sj},
        {form.recorder, detail::kRecorderWidth, DetailField::Recorder,
         "\r記録係は全角10文字以内で入力して下さい。"_sj},
        {form.remarks, detail::kRemarksWidth, DetailField::Remarks,
         "\r備考は全角20文字以内で入力して下さい。"_sj},
    };
    for (const TextCheck& t : texts) {
        if (TrimFullWidth(t.text).size() > t.width) return {t.field, 0, std::string(t.message)};
    }
    DetailDateTime start, end;
    if (int bad = CheckDateTime(form.start, start); bad >= 0) {
        return {DetailField::Start, bad, std::string{"\r対局開始日時が正しくありません。"_sj}};
    }
    if (int bad = CheckDateTime(form.end, end); bad >= 0) {
        return {DetailField::End, bad, std::string{"\r対局終了日時が正しくありません。"_sj}};
    }
    BreakTime lunch, supper;
    if (int bad = CheckBreak(form.lunch, lunch); bad >= 0) {
        return {DetailField::Lunch, bad, std::string{"\r昼休の時分が正しくありません。"_sj}};
    }
    if (int bad = CheckBreak(form.supper, supper); bad >= 0) {
        return {DetailField::Supper, bad, std::string{"\r夕休の時分が正しくありません。"_sj}};
    }
    std::uint16_t senteMinutes = 0, goteMinutes = 0;
    if (int bad = CheckAllowance(form.senteAllowance, senteMinutes); bad >= 0) {
        return {DetailField::SenteAllowance, bad, std::string{"\r先手持時間が正しくありません。"_sj}};
    }
    if (int bad = CheckAllowance(form.goteAllowance, goteMinutes); bad >= 0) {
        return {DetailField::GoteAllowance, bad, std::string{"\r後手持時間が正しくありません。"_sj}};
    }

    StoreRank(detail, true, form.ranks[0]);
    StoreRank(detail, false, form.ranks[1]);
    detail.setTournamentText(TrimFullWidth(form.tournamentText));
    detail.setPlace(TrimFullWidth(form.place));
    detail.setRecorder(TrimFullWidth(form.recorder));
    detail.setRemarks(TrimFullWidth(form.remarks));
    detail.setStart(start);
    detail.setEnd(end);
    detail.setLunch(lunch);
    detail.setDinner(supper);
    detail.setSenteAllowedMinutes(senteMinutes);
    detail.setGoteAllowedMinutes(goteMinutes);
    return {};
}

void CopyAllowanceToGote(DetailForm& form, int part) {
    if (part < 0 || part > 1) return;
    std::string& gote = form.goteAllowance[std::size_t(part)];
    const std::string g = Trim(gote);
    if (g.empty() || g == "0" || g == "00") gote = form.senteAllowance[std::size_t(part)];
}

// --- presets -------------------------------------------------------------------------------------------

std::optional<std::string> NumberedTournamentText(std::string_view text, std::string_view startYear,
                                                  std::string_view startMonth, int subTournament) {
    const std::string t = TrimFullWidth(text);
    const auto year = FieldNumber(startYear, 4);
    const int month = FieldNumber(startMonth, 2).value_or(0);
    std::string_view series;
    int n = 0;
    if (t == "竜王戦"_sj) {
        series = "期竜王戦"_sj;
        if (year) n = month == 12 && subTournament != 1 ? *year - 1986 : *year - 1987;
    } else if (t == "名人戦"_sj) {
        series = "期名人戦"_sj;
        if (year) n = *year - 1942;
    } else if (t == "順位戦"_sj) {
        series = "期順位戦"_sj;
        if (year) n = month > 3 ? *year - 1941 : *year - 1942;
    } else {
        return std::nullopt;
    }
    const std::string number = n >= 1 ? std::to_string(n) : std::string("??");
    return "第"_sj + number + std::string(series);
}

std::array<std::string, 4> LunchPreset(std::string_view text, int subTournament) {
    if (Contains(text, "竜王戦"_sj) && subTournament == 1) return {"12", "30", "13", "30"};
    return {"12", "10", "13", "00"};
}

std::array<std::string, 4> SupperPreset(std::string_view text, int subTournament) {
    if (Contains(text, "竜王戦"_sj) && subTournament == 1) return {};
    return {"18", "10", "19", "00"};
}

std::optional<int> AllowancePreset(std::string_view text, int subTournament) {
    if (Contains(text, "順位戦"_sj)) return 6;
    if (Contains(text, "名人戦"_sj)) return 9;
    if (Contains(text, "竜王戦"_sj)) return subTournament == 1 ? 8 : 5;
    return std::nullopt;
}

std::string NextTwoDigits(std::string_view field) {
    return Two(FieldNumber(field, 2).value_or(0) + 1);
}

std::string TokyoPlaceText() { return std::string{"東京将棋会館"_sj}; }
std::string KansaiPlaceText() { return std::string{"関西将棋会館"_sj}; }

}  // namespace movra
