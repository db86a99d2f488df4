#pragma once
// The game information dialog ("棋譜情報設定") without its window: the modes and answers, the
// lists it shows, the date check, finding a player by a typed name, the era label and the date
// spin buttons, and what OK makes of the controls (the index and detail images, or the bulk set
// of the game list's bulk change).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/layout.h"
#include "core/store/master_data.h"

namespace movra {

// Who opens the dialog and for what.
enum class GameInfoMode {
    NewGame = 1,       // a new game entered on the board: handicap editable, no result
    Correction = 2,    // correcting a stored game: "棋譜も変更する" / "棋譜は変更しない"
    HeaderChange = 3,  // changing the header of the game shown: no result
    Bulk = 4,          // the game list's bulk change: every list starts at "変更なし"
};

// How the dialog closed. OkEditMoves: OK with "棋譜も変更する" chosen.
enum class GameInfoAnswer { Ok = 1, Cancel = 2, OkEditMoves = 4 };

// The values of the bulk change; 0 leaves the field of the marked games as it is.
struct GameInfoBulkSet {
    std::uint16_t sentePlayer = 0;
    std::uint16_t gotePlayer = 0;
    std::uint16_t tournament = 0;
    std::uint16_t subTournament = 0;
    std::uint16_t gameNumber = 0;
    std::uint16_t opening = 0;
    std::uint16_t result = 0;  // 1-8
    bool empty() const {
        return (sentePlayer | gotePlayer | tournament | subTournament | gameNumber | opening |
                result) == 0;
    }
    // The template record UpdateMarkedGames takes (words 0, 1, 2, 11, 3, 7, 8).
    IndexRecord TemplateRecord() const;
    friend bool operator==(const GameInfoBulkSet&, const GameInfoBulkSet&) = default;
};

// What the consumed-time editor stored, for the caller to take into the game record: the
// per-entry times of the 512 move-info entries (entry e belongs to slot e + 1), the closing time
// and the input mode (0 per move, 1 running totals).
struct ConsumedTimes {
    std::array<std::uint16_t, kMoveInfoEntries> entryTimes{};
    std::uint16_t closingTime = 0;
    std::uint8_t inputMode = 0;
    friend bool operator==(const ConsumedTimes&, const ConsumedTimes&) = default;
};

// --- the lists ---------------------------------------------------------------------------------

// One entry of a selection list and the number it stands for (0 for the first entry).
struct ListChoice {
    std::string text;
    std::uint16_t number = 0;
    friend bool operator==(const ListChoice&, const ListChoice&) = default;
};

// "指定なし" (or "変更なし" in the bulk form) then the players in the player order, each by its
// short name (the table name without blanks, at most 14 bytes).
std::vector<ListChoice> GameInfoPlayerList(const PlayerTable& players, bool bulk);
// The same first entry, then the named tournaments, openings, or sub-tournaments of a
// tournament, in list order.
std::vector<ListChoice> GameInfoTournamentList(const TournamentTable& tournaments, bool bulk);
std::vector<ListChoice> GameInfoSubTournamentList(const TournamentTable& tournaments,
                                                  int tournament, bool bulk);
std::vector<ListChoice> GameInfoOpeningList(const OpeningTable& openings, bool bulk);
// "指定なし", "1" … "99"; in the bulk form "変更なし", "1" … "9".
std::vector<std::string> GameNumberList(bool bulk);
// The handicap names of numbers 0-14.
std::vector<std::string> HandicapList();
// "勝敗未登録", "先手勝ち" … "以下持将棋" (index = result code); in the bulk form "変更なし" first.
std::vector<std::string> ResultList(bool bulk);
// The position of a number in a list; 0 when it is not there.
int PositionOfNumber(const std::vector<ListChoice>& list, int number);

// "指定なし" / "変更なし" in CP932.
std::string_view NotGivenText();
std::string_view NoChangeText();

// --- players -----------------------------------------------------------------------------------

// What a player box stands for.
struct PlayerPick {
    std::uint16_t number = 0;
    // Set: the detail record's name field takes this text (empty clears it).
    std::optional<std::string> detailName;
    friend bool operator==(const PlayerPick&, const PlayerPick&) = default;
};

// A list entry chosen (position > 0) gives its number and leaves the name field. Otherwise the
// typed text: blank, "指定なし" or "変更なし" give 0 and clear the name; any other text, with every
// half-width and full-width space removed, is looked up among the table's names (kept without
// spaces): a match gives its number, no match gives 0 with the trimmed text as the name.
PlayerPick ResolvePlayer(const std::vector<ListChoice>& list, int position, std::string_view typed,
                         const PlayerTable& players);

// "棋士名は全角７文字以内で入力して下さい。": a trimmed player text over 14 bytes.
std::string PlayerNameTooLongMessage();
bool PlayerNameFits(std::string_view typed);

// --- the date ----------------------------------------------------------------------------------

struct DateTexts {
    std::string year;
    std::string month;
    std::string day;
    friend bool operator==(const DateTexts&, const DateTexts&) = default;
};

// "対局日が正しくありません！"
std::string GameDateMessage();

// The date check of OK: year, month and day must be numbers (year up to 4 digits, month 0-12,
// day 0-31); with month and day both above 0 it must be a real calendar day. A month or day of 0
// (unknown) passes without the calendar check. nullopt when the date is refused.
struct GameDate {
    int year = 0;
    int month = 0;
    int day = 0;
};
std::optional<GameDate> CheckGameDate(const DateTexts& date);

// The era label beside the date: "(" + era name + two-digit era year + "年)". "0" in the month or
// day counts as "00"; with `eraForIncomplete` (the setting WarekiDisp) an unknown day counts as
// 01 and an unknown month as 01/01. A date still incomplete, or no date, gives "(　　  　)".
std::string GameInfoEraLabel(const DateTexts& date, bool eraForIncomplete);
// Whether the label shows an era (a date the label could read).
bool GameInfoEraLabelValid(const DateTexts& date, bool eraForIncomplete);

enum class DatePart { Year, Month, Day };

// The spin buttons of the date. Year as in the search dialog. Month down: "00" or less becomes
// "12"; up: "13" or more becomes "01"; when the label was valid before and the new month makes
// the day impossible, the day steps down as with its own button, and comes back if that does not
// help. Day down: "00" or less becomes "31", then an impossible day goes down, at most four
// times, else the old day stays; day up: from "31" or more to "01", an impossible day becomes
// "01". Empty fields become "2000"/"1900", "12"/"01", "31"/"01".
DateTexts SpinGameDate(const DateTexts& date, DatePart part, bool up, bool labelWasValid);

// --- the whole main form -------------------------------------------------------------------------

// What the controls of the main form hold: list positions and texts.
struct GameInfoForm {
    // Player boxes: the list position chosen, or 0 with the typed text (blank for the first
    // entry). A position > 0 wins over the text.
    std::array<int, 2> player{};
    std::array<std::string, 2> playerText;
    int tournament = 0;     // position in GameInfoTournamentList
    int subTournament = 0;  // position in GameInfoSubTournamentList
    int gameNumber = 0;     // index in GameNumberList
    int opening = 0;        // position in GameInfoOpeningList
    DateTexts date;
    int handicap = 0;  // index in HandicapList = handicap number
    int result = 0;    // index in ResultList
    std::array<std::string, 2> rating;  // "R:" (extended kind)
    bool editMoves = false;             // "棋譜も変更する" (mode 2)
    friend bool operator==(const GameInfoForm&, const GameInfoForm&) = default;
};

// The lists the form's positions refer to.
struct GameInfoLists {
    std::vector<ListChoice> players;
    std::vector<ListChoice> tournaments;
    std::vector<ListChoice> openings;
    static GameInfoLists Make(const PlayerTable& players, const TournamentTable& tournaments,
                              const OpeningTable& openings, bool bulk);
};

// The form for the images (modes 1-3): players by their entries, or in the extended kind by the
// detail record's name when the number is 0 (blank: the first entry); a player number missing
// from the list shows "指定なし". Date as four-digit year and two-digit month and day; ratings
// blank when 0. Mode 1 shows result 0.
GameInfoForm GameInfoFormFromImages(GameInfoMode mode, bool editMovesPreset,
                                    const IndexRecord& index, const DetailRecord& detail,
                                    bool extended, const GameInfoLists& lists,
                                    const TournamentTable& tournaments);
// The bulk form: everything at "変更なし".
GameInfoForm BulkForm();

// Which control a refusal focuses.
enum class GameInfoField { None, SentePlayer, GotePlayer, Month };

struct GameInfoCheck {
    GameInfoField focus = GameInfoField::None;
    std::string message;
    bool ok() const { return focus == GameInfoField::None; }
};

// OK in modes 1-3: the player texts (over 14 bytes: PlayerNameTooLongMessage), then the date
// (GameDateMessage, focus on the month). On success the images take the players (and names),
// tournament, sub-tournament, game number, opening, date, handicap (mode 1 only: the others keep
// the stored one), result (mode 1: 0; mode 3 and mode 2 with "棋譜も変更する": the stored one) and
// in the extended kind the ratings. On a refusal the images are as they were.
GameInfoCheck ApplyGameInfoForm(const GameInfoForm& form, GameInfoMode mode, bool extended,
                                const GameInfoLists& lists, const PlayerTable& players,
                                const TournamentTable& tournaments, IndexRecord& index,
                                DetailRecord& detail);
// The setting DateUp: whenever the era label reads the main date, the date also becomes the
// detail record's start date (its hour and minute kept). False when the label cannot read it.
bool CopyDateToStart(const DateTexts& date, bool eraForIncomplete, DetailRecord& detail);
// The answer OK gives: OkEditMoves in modes 1-3 with "棋譜も変更する" chosen, else Ok.
GameInfoAnswer OkAnswer(GameInfoMode mode, const GameInfoForm& form);

// "棋譜情報を一括変更します。\r\rよろしいですか？"
std::string BulkConfirmText();
// OK in mode 4: the bulk set of the form (a typed name without a match leaves the player).
GameInfoBulkSet BulkSetFromForm(const GameInfoForm& form, const GameInfoLists& lists,
                                const PlayerTable& players, const TournamentTable& tournaments);

// "詳細情報": the detail image handed to the detailed dialog: the typed player names (not blank
// and not "指定なし") in the name fields, and when the detailed tournament name is blank and a
// tournament is chosen, the tournament's name cut to 20 bytes.
DetailRecord DetailForDetailedDialog(const GameInfoForm& form, const DetailRecord& detail,
                                     const GameInfoLists& lists,
                                     const TournamentTable& tournaments);

}  // namespace movra
