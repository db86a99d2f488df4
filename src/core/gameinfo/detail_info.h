#pragma once
// The detailed game information dialog ("棋譜詳細情報設定") without its window: the rank list, the
// form the dialog shows for a detail record, its checks on OK with their messages, the presets
// of its labels, and the recorder list ("記録係一覧").
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/layout.h"

namespace movra {

// The ranks: the lines of "DanKyu.txt" in the program folder with "指定なし" first, or when the
// file is missing the built-in list "指定なし", "九段" … "初段", "１級" … "10級".
std::vector<std::string> RankList(const std::filesystem::path& programFolder);
// The lines of "kiroku.txt" in the program folder; empty when there is no such file.
std::vector<std::string> RecorderList(const std::filesystem::path& programFolder);
bool HasRecorderList(const std::filesystem::path& programFolder);

// A rank or title kept in the detail record's two 8-byte parts: the first 8 bytes (7 when the
// 8th is the first half of a double-byte character) in the first part, the following bytes, at
// most 8, in the second; "指定なし" or a blank text clears both. Reading joins the two parts.
void StoreRank(DetailRecord& detail, bool sente, std::string_view rank);
std::string ReadRank(const DetailRecord& detail, bool sente);

// What the dialog's fields hold, as texts.
struct DetailForm {
    std::array<std::string, 2> names;   // read-only
    std::array<std::string, 2> ranks;   // the list's text
    std::string tournamentText;
    std::string place;
    std::string recorder;
    std::string remarks;
    std::array<std::string, 5> start;   // year, month, day, hour, minute
    std::array<std::string, 5> end;
    std::array<std::string, 4> lunch;   // from hour, from minute, to hour, to minute
    std::array<std::string, 4> supper;
    std::array<std::string, 2> senteAllowance;  // hours, minutes
    std::array<std::string, 2> goteAllowance;
    friend bool operator==(const DetailForm&, const DetailForm&) = default;
};

// The form for a detail record. Ranks: a stored rank equal to a list entry (after trimming half-
// and full-width blanks) shows that entry, an empty one "指定なし", any other the stored text.
// Texts trimmed. Start: the stored date-time when its year is not 0, else the main form's date at
// 00:00; end only when its year is not 0; each break's from (to) only when one of its from (to)
// values is not 0, two digits each; allowances as hours and two-digit minutes.
DetailForm DetailFormFromRecord(const DetailRecord& detail, int mainYear, int mainMonth,
                                int mainDay, const std::vector<std::string>& rankList);

// Which field a refusal focuses.
enum class DetailField {
    None, SenteRank, GoteRank, TournamentText, Place, Recorder, Remarks, Start, End, Lunch,
    Supper, SenteAllowance, GoteAllowance
};

struct DetailCheck {
    DetailField focus = DetailField::None;
    int part = 0;  // the first field of a date-time, break or allowance that is wrong
    std::string message;
    bool ok() const { return focus == DetailField::None; }
};

// OK: the checks in their order (rank over 16 bytes, texts over their widths, start and end
// date-times, breaks, allowance minutes). On success the record takes every field (ranks by
// StoreRank, texts cut to their widths, allowances as hours × 60 + minutes); on a refusal it is
// as it was.
DetailCheck ApplyDetailForm(const DetailForm& form, DetailRecord& detail);

// Leaving the sente allowance's hours (part 0) or minutes (part 1) copies them to gote's when
// gote's are blank, "0" or "00".
void CopyAllowanceToGote(DetailForm& form, int part);

// --- the label presets ---------------------------------------------------------------------------

// "３．棋戦名(詳細)": for exactly "竜王戦", "名人戦" or "順位戦" the numbered name of that year's
// series ("第" N "期竜王戦"); nullopt for any other text. N: 竜王戦 start year − 1987, in
// December − 1986 unless the sub-tournament is 1; 名人戦 − 1942; 順位戦 − 1941 from April, else
// − 1942. A year that is no number, or an N below 1, gives "第??期…".
std::optional<std::string> NumberedTournamentText(std::string_view text, std::string_view startYear,
                                                  std::string_view startMonth, int subTournament);
// "７．昼休" / "８．夕休": the break times for the tournament text (four texts; the supper of a
// 竜王戦 with sub-tournament 1 is four empty fields).
std::array<std::string, 4> LunchPreset(std::string_view text, int subTournament);
std::array<std::string, 4> SupperPreset(std::string_view text, int subTournament);
// "９．持時間": hours for both sides; nullopt when the text names no series.
std::optional<int> AllowancePreset(std::string_view text, int subTournament);
// "分" beside the start minute, "日" beside the end day: the field + 1 as two digits.
std::string NextTwoDigits(std::string_view field);

// "東京将棋会館" and "関西将棋会館".
std::string TokyoPlaceText();
std::string KansaiPlaceText();

}  // namespace movra
