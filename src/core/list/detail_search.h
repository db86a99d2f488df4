#pragma once
// The detailed search: the whole store searched by the free texts, ratings and comments that
// only the extended kind keeps in its detail records, and the detailed-search dialog without its
// window (the checks, the condition record, the rating panel and the histories).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/list/game_search.h"
#include "core/list/search_conditions.h"
#include "core/config/settings.h"
#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra {

// The conditions of a detailed search. A condition string is a marker and a text: " " (alone)
// no condition, "=" the stored text equals the text, ">" the stored text contains it.
struct TKensaku2 {
    std::int16_t playerMode = 1;  // 1 either side, 2 as labelled
    std::int16_t ratingMode = 1;  // 1 both ranges, 2 either range, 3 rating difference
    std::uint16_t senteLow = 0;   // or the difference threshold in mode 3
    std::uint16_t senteHigh = 9999;
    std::uint16_t goteLow = 0;
    std::uint16_t goteHigh = 9999;
    std::int16_t commentCondition = 0;  // 0 none, 1 games with move comments, -1 without
    std::string player1 = " ";
    std::string player2 = " ";
    std::string tournamentText = " ";
    std::string place = " ";
    std::string recorder = " ";
    std::string remarks = " ";
    friend bool operator==(const TKensaku2&, const TKensaku2&) = default;
};

// --- matching -------------------------------------------------------------------------------------

// ASCII capitals made small; the bytes of double-byte characters stay as they are.
std::string LowerAscii(std::string_view text);
// A condition string tested on a stored text: the condition text is cut to `width` bytes (never
// inside a double-byte character); "=" wants the stored text (up to its zero byte) to equal it,
// ">" to contain it, starting on a character boundary. " " and an empty condition always pass.
bool ConditionPasses(std::string_view condition, std::string_view stored, std::size_t width);

// The rating test, the player test (lower-cased names, crosswise in mode 1) and the four text
// tests, in this order.
bool DetailRecordPasses(const TKensaku2& k, const DetailRecord& detail);
// Whether the comment condition needs the game's move info: only when it is set and the detail
// record names neither an opening nor a closing comment.
bool NeedsMoveInfo(const TKensaku2& k, const DetailRecord& detail);
// The comment condition: 1 passes for a game with an opening or closing comment, or a comment
// link on one of its 512 move-info entries; −1 for the others; 0 always. `info` is read only
// when NeedsMoveInfo.
bool CommentConditionPasses(const TKensaku2& k, const DetailRecord& detail, const MoveInfo& info);

// The detailed search over every game of the store: index and detail files in step (and the
// move-info files when the comment condition needs them), progress every 100 games with the
// caption of the search, the result message at the end. With hits the catalogue holds them
// (position hit −1, count = hits, page start 1); with none it stays as it was. Throws
// StoreIoError when the index file cannot be read.
SearchOutcome DetailSearch(const GameStore& store, const TKensaku2& k, GameCatalogue& catalogue,
                           Prompter& prompter, const SearchOptions& options = {});

// --- the dialog --------------------------------------------------------------------------------------

// The two rating rows of the rating panel, as typed.
struct RatingRanges {
    bool senteEnabled = false;
    std::string senteLow;
    std::string senteHigh;
    bool goteEnabled = false;
    std::string goteLow;
    std::string goteHigh;
    friend bool operator==(const RatingRanges&, const RatingRanges&) = default;
};

// What the detailed-search dialog's controls hold.
struct Kensaku2Form {
    bool players = false;  // "１．棋士名１" ticked
    std::string player1;
    std::string player2;
    bool playersContain = false;  // "含む"; default "一致"
    PlayerMode playerMode = PlayerMode::Either;
    bool tournament = false;  // "３．棋戦名(詳細)"
    std::string tournamentText;
    bool tournamentExact = false;  // "一致"; default "含む"
    bool place = false;            // "４．対局場所"
    std::string placeText;
    bool placeExact = false;
    bool recorder = false;  // "５．記録係"
    std::string recorderText;
    bool recorderExact = false;
    bool remarks = false;  // "６．備考"
    std::string remarksText;
    bool remarksExact = false;
    bool comments = false;      // "指し手コメント検索"
    bool withComments = true;   // "コメント有の棋譜", else "コメント無の棋譜"
    RatingRanges ratings;
    bool ratingOr = false;      // "または(OR)"; default "かつ(AND)"
};

enum class Kensaku2Field { None, Player1, Tournament, Place, Recorder, Remarks, SenteLow, GoteLow };

struct Kensaku2Check {
    Kensaku2Field focus = Kensaku2Field::None;
    std::string message;
    bool ok() const { return focus == Kensaku2Field::None; }
};

// The checks of "検索開始", in order: a ticked text condition with a blank box ("棋士名を入力して
// ください。" for both player boxes blank, "棋戦名(詳細)を入力してください。", "対局場所を入力して
// ください。", "記録係を入力してください。", "備考を入力してください。"), then nothing ticked at all:
// "検索条件を指定してください。" with the focus on player 1.
Kensaku2Check CheckKensaku2Form(const Kensaku2Form& form);

// The condition record of the form (after CheckKensaku2Form). A rating text that is not a number
// gives "レーティング指定が正しくありません。" with the focus on its row; `out` is then unchanged.
Kensaku2Check BuildKensaku2(const Kensaku2Form& form, TKensaku2& out);

// "OK" of the rating panel: each enabled row with both values 0 ("-" alone counts as 0) gives
// "レーティング点数を入力してください。"; a high value of 0 becomes "9999"; a high value below the
// low one, or either above 32767 (or not a number), gives "レーティング指定が正しくありません。".
// The focus goes to the row's low field.
Kensaku2Check CheckRatingPanel(RatingRanges& ranges);

// The rating rows the dialog opens with: the saved flags and texts, an enabled row whose high
// value is 0 getting "9999".
RatingRanges LoadRatingRanges(const Settings::Kensaku2& saved);
// Stores the rows into the saved settings.
void SaveRatingRanges(const RatingRanges& ranges, Settings::Kensaku2& saved);

// A text put at the front of a history of ten: taken from its old place when it is there, the
// others moving down, the tenth falling off. A blank text leaves the history as it is.
void PushHistory(std::array<std::string, kSearchListCount>& history, std::string_view text);
// After a search with hits: every ticked, non-blank text of the form into its history.
void PushHistories(const Kensaku2Form& form, Settings::Kensaku2& saved);

}  // namespace movra
