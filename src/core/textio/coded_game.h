#pragma once
// The coded form of one game that every text reader produces, the header values a reader
// collects, and the helpers the readers share (handicap names, dates, allowed times).
//
// `CodedGameText` lines, in this order:
//   "##"                      start of the game
//   "#:" + title              the Kakinoki and KI2 readers always write "#:Title"
//   "S:" / "G:" + name        sente's (下手's) and gote's (上手's) name as read
//   "N:" / "U:" + date        start and end date, "yyyy-mm-dd hh:mm:ss"
//   "I:" + character          handicap character; left out for an even game
//   "C:" + character          the end character; left out when blank
//   "K:" + codes              up to ten five-character move codes back to back
//   "  " + codes              continuation lines, same form
//   "##"                      end of the game
// A move code whose characters could not be worked out is kUnreadableMoveCode.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"

namespace movra {

inline constexpr std::string_view kUnreadableMoveCode = "0000 ";

struct CodedGameText {
    std::vector<std::string> lines;
};

// How a game ended, one character.
namespace endchar {
inline constexpr char kResigned = '0';     // 投了: the side that made the last move won
inline constexpr char kRepetition = '1';   // 千日手
inline constexpr char kImpasse = '2';      // 持将棋
inline constexpr char kMate = '3';         // 詰み: the side that made the last move won
inline constexpr char kLastMoverLost = '9';  // 反則負け of the side that made the last move
inline constexpr char kNone = ' ';         // 中断, or not stated
inline constexpr char kError = '*';        // the reader found an error
}  // namespace endchar

// The header values of the game being read. Every reader clears them first.
struct ImportFields {
    std::string title = "Title";
    std::string senteName, goteName;
    std::uint16_t senteRating = 0, goteRating = 0;
    std::string startDate;                         // "yyyy-mm-dd hh:mm:ss"
    std::string endDate = "0000-00-00 00:00:00";
    std::string tournament, subTournament, opening;
    std::string place, recorder, remarks;
    std::string senteHours, senteMinutes, goteHours, goteMinutes;
    // Lunch start hour, start minute, end hour, end minute, then the same for dinner.
    std::array<std::string, 8> breaks;
    char handicap = '0';
    // The 手合割 value named no standard setup ("左七枚落ち", "その他"); the file must then show
    // its start in a board diagram.
    std::string unknownHandicap;
    char endCharacter = endchar::kNone;

    // Back to the defaults, with `now` ("yyyy-mm-dd hh:mm:ss") as the start date.
    void Clear(std::string_view now);
};

// A comment a reader found, for move record `move` (0 = before the first move).
struct MoveComment {
    int move = 0;
    std::string text;
};

// Everything a reader hands on for one game. The consumed times are indexed like the game
// record's move records (1 = first move; move count + 1 = the time of the end line).
struct ReadGame {
    CodedGameText coded;
    ImportFields fields;
    std::array<std::uint16_t, kMaxMoves + 2> consumedTimes{};
    std::vector<MoveComment> comments;
    // Set by a reader that found the game's start only in a board diagram.
    bool fromDiagram = false;
    // What the reader had to decide for itself about the game (an end word it does not know),
    // told in the import summary; the game is stored all the same.
    std::vector<std::string> notes;

    void Clear(std::string_view now);
    // Adds a comment; a second comment for the same move is joined to the first.
    void AddComment(int move, std::string_view text);
    void SetConsumedTime(int move, std::uint32_t seconds);
};

// The refusal of a game whose start the store cannot keep.
inline constexpr std::string_view kNonStandardStart =
    "the game starts from a position that is not one of the standard setups";

// The outcome of reading: an empty refusal means the game (or file) was read.
struct ReadStatus {
    std::string refusal;
    bool ok() const { return refusal.empty(); }
    static ReadStatus Ok() { return {}; }
    static ReadStatus Refuse(std::string why) { return ReadStatus{std::move(why)}; }
};

// "yyyy-mm-dd hh:mm:ss" of the local time now.
std::string NowText();

// The handicap character named by a 手合割 value ("平手" "0", "香落ち" "1", ...; "0" for an
// unknown name).
char HandicapFromName(std::string_view value);
// Whether a 手合割 value names one of the standard setups (an empty value counts as the even
// game): "左七枚落ち" or "その他" do not.
bool HandicapNameKnown(std::string_view value);
// The end character a summary line gives ("まで81手で先手の勝ち", "…で上手の反則負け", "千日手",
// "詰み"): who won, by its words, compared with `lastMover` (1 sente, 2 gote; 0 before any
// move). A line that names no side's win or loss gives 投了.
char SummaryEndCharacter(std::string_view line, int lastMover);
// The handicap number of a handicap character; lower-case letters read like capitals, anything
// else gives 0.
int HandicapNumberOfChar(char c);

// A Kakinoki or KI2 date value: "2004/05/06(木) 10:00:00" → "2004-05-06 10:00:00",
// "99/1/2" → "1999-01-02 00:00:00". Anything unreadable gives "0000/00/00 00:00:00".
std::string ParseKifDate(std::string_view value);

// The allowed-time value of a 持ち時間 line (the 40 bytes after its key) into the four
// hour/minute fields, both sides alike. A value with 手 but without 各 is ignored.
void ParseAllowedTime(std::string_view value, ImportFields& fields);
// A break line (昼食休憩：12:10～12:50): the four texts from the line.
void ParseBreak(std::string_view line, std::string* four);

// A comment text cut to 256 bytes (255 when the 256th byte would split a character).
std::string CutComment(std::string_view text);

// Writes "S:", "G:", "N:", "U:" and "I:" lines for the fields.
void WriteCodedHeader(const ImportFields& fields, CodedGameText& coded);
// Appends the codes (five characters each, back to back) as "K:" and continuation lines of ten
// codes.
void WriteCodeLines(std::string_view codes, CodedGameText& coded);
// A player's name after a three-character key such as "先手：" at keyAt: the 30 bytes after the
// key, leading blanks skipped, cut before the first ";".
std::string NameAfter(std::string_view line, std::size_t keyAt);

// Inserts "C:" + end character at `position` when the end character is neither blank nor "*".
void InsertEndLine(const ImportFields& fields, std::size_t position, CodedGameText& coded);

}  // namespace movra
