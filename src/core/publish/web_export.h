#pragma once
// Publishing the game on the board as web files: the JavaScript data file for a viewer page and
// its English twin, the applet data file, up to three HTML pages filled from templates and the
// pages for mobile phones. Every file is CP932 text with CR LF line ends, written through a
// temporary file that replaces the old one only when it is complete.
//
// The functions that build a file's lines are pure (they read PublishInputs and the settings);
// PublishGame reads the templates and writes the files in order, stopping at the first file
// that cannot be written.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/settings.h"
#include "core/record/kif_data.h"
#include "core/rules/notation.h"

namespace movra {

// Everything of the game the web files show.
struct PublishInputs {
    const TKifData* record = nullptr;     // moves, consumed times, handicap, end code, position
    std::vector<std::string> moveLines;   // the move-list line of every move 1..n (CP932)
    std::vector<std::string> shownLines;  // the list as the main window shows it
    bool wholeGame = true;                // the list is in whole-game style
    bool extendedStore = false;           // times and comments exist
    int senteAllowedMinutes = 0;          // from the detail record
    int goteAllowedMinutes = 0;
    std::string openingComment;           // the stored comments of the detail record
    std::string closingComment;
    // The comment of move k (1..n): the working one while the game is being entered, else the
    // stored one. Null: no move has a comment.
    std::function<std::string(int moveNumber)> moveComment;
    std::string senteName, goteName;      // as the main window shows them
    std::string clockText = "00:00";      // "hh:mm" for %UPDATE
    HandTextOptions handText;             // hands on the mobile page

    int moveCount() const { return record->moveCount; }
    char endCode() const { return record->endCode; }
    // The consumed time of move record k; 0 beyond the table (the closing time of a game of the
    // full 512 moves has no record).
    std::uint16_t timeOf(int moveNumber) const {
        return moveNumber >= 0 && moveNumber <= kMaxMoves ? record->moves[std::size_t(moveNumber)].consumedTime : 0;
    }
};

// Makes the pictures of the mobile pages; the windows draw them, the command line has none.
class PublishPictures {
public:
    virtual ~PublishPictures() = default;
    // The 94 x 84 picture of the position, saved as a bitmap. False when it cannot be written.
    virtual bool WriteMobilePicture(const std::filesystem::path& path, const BoardPosition& position) = 0;
    // The full diagram of [HTML] i_BmpPath02 in size mode i_BmpSize02, then GixConv. Skipped when
    // no diagram is drawn (its title was cancelled): the publication goes on without it.
    enum class Outcome { Written, Skipped, Failed };
    virtual Outcome WriteFullDiagram(const std::filesystem::path& path) = 0;
};

// --- texts ---------------------------------------------------------------------------------------

// Bytes 8-23 of a move-list line (the move text) and bytes 6-21 (with the side mark), never cut
// inside a double-byte character.
std::string MoveTextOf(std::string_view line);
std::string MarkedTextOf(std::string_view line);
// "７六歩" → "7-6 Fu ", "同　歩" → "Dou Fu ", "２三銀不成" → "2-3 Gin Narazu ".
std::string EnglishMoveText(std::string_view text);
// "95手まで先手勝ち" → "at 95moves, Black won. ".
std::string EnglishEndText(std::string_view text);
// A text put between double quotes of a script: backslash, double quote and line breaks are
// escaped (only where a character starts: the second byte of 表 is a backslash too), so that a
// comment can neither break the data file nor run as script.
std::string ScriptString(std::string_view text);

// --- the files -------------------------------------------------------------------------------------

// The data lines that replace a "%KIF" line of the script template (Japanese and English).
std::vector<std::string> ScriptDataLines(const PublishInputs& in);
std::vector<std::string> EnglishScriptLines(const PublishInputs& in);
// The script file: the template's lines with every "%KIF" line replaced by the data lines.
std::vector<std::string> FillScriptTemplate(const std::vector<std::string>& templateLines,
                                            const std::vector<std::string>& dataLines);
// The applet data file.
std::vector<std::string> AppletDataLines(const PublishInputs& in, bool useTime);

// An HTML page from its template, with its three flags starting cleared.
std::vector<std::string> FillHtmlTemplate(const std::vector<std::string>& templateLines,
                                          const PublishInputs& in, bool useTime);

// --- files on disk ---------------------------------------------------------------------------------

// A template's lines (CR LF, LF or CR). A template saved in UTF-8 (any byte above 7F and the
// whole valid UTF-8) is read as CP932, so templates may be kept in either encoding. nullopt when
// it is not a readable regular file.
std::optional<std::vector<std::string>> ReadTemplateLines(const std::filesystem::path& path);
// Writes the lines, each ended by CR LF, to path + ".$$$" and renames that over path. False
// (the old file untouched, the temporary one removed) when it cannot.
bool WriteWebFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

struct PublishResult {
    bool published = false;   // the conditions held and every file was written
    std::vector<std::filesystem::path> written;
    std::string failedPath;   // the file that could not be read or written (CP932), else empty
    bool failedReading = false;  // failedPath is a template that could not be read
};

// The path of a setting: a stored path (CP932, "\" or "/"), relative ones to the program folder.
std::filesystem::path WebPath(const std::filesystem::path& programFolder, std::string_view setting);

// Writes every web file whose path is set: the script data, the applet data, the English
// script, the HTML pages and the mobile pages, in that order. Nothing happens when the list as
// shown is empty or [FTP] Func is off. `pictures` may be null (no pictures are made).
PublishResult PublishGame(const PublishInputs& in, const Settings& settings,
                          const std::filesystem::path& programFolder, PublishPictures* pictures);

// The script data written to a chosen file (Ctrl+J), with the template of the settings.
bool WriteScriptDataTo(const std::filesystem::path& path, const PublishInputs& in,
                       const Settings& settings, const std::filesystem::path& programFolder);
bool WriteAppletDataTo(const std::filesystem::path& path, const PublishInputs& in, const Settings& settings);

// "\rWeb用棋譜を出力しました。" and "\r棋譜が入力されていません。".
std::string PublishedMessage();
std::string NoMovesMessage();

}  // namespace movra
