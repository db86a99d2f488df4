#pragma once
// The master data files and the three tables the games refer to by number: players
// ("Ksname.dat"), tournaments with their sub-tournaments ("Movra.dat") and openings
// ("Senkei.dat"). The files are CP932 text with CR LF line ends, kept together in the DAT folder.
//
// "Ksname.dat", one line per player slot (columns are 1-based byte positions):
//   1-3 number ("%3d"), 4 blank, 5 category letter A-E, 6 blank, 7-26 kanji name, 27-46 kana name
//   (both padded with blanks to 20 bytes). A free slot has "　" in columns 6-7 and 39 blanks.
// "Movra.dat":
//   tournament line:      1-2 number ("%2d"), 3 blank, 4-23 name
//   sub-tournament line:  1-2 "++", 3-4 number "01"-"10", 5 blank, 6-25 name; it belongs to the
//                         nearest tournament line above it
// "Senkei.dat": 1-3 number ("%3d"), 4 blank, 5-24 name.
//
// Every table has a fixed capacity and every lookup answers 0 or an empty text for a number or
// position outside it. Names are compared after removing every half-width and full-width blank
// from both sides.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/store_files.h"

namespace movra {

inline constexpr int kPlayerCapacity = 10000;   // player numbers 0-9999
inline constexpr int kLargestFilePlayer = 999;  // what the three-digit column can hold
inline constexpr int kTournamentRows = 100;
inline constexpr int kTournamentFileRows = 99;  // what the two-digit column can hold
inline constexpr int kSubTournamentRows = 10;
inline constexpr int kOpeningRows = 100;
inline constexpr std::size_t kMasterNameBytes = 20;
inline constexpr std::size_t kPlayerShortNameBytes = 14;

// The file names as they are written; finding them is case-insensitive.
inline constexpr std::string_view kPlayerFileName = "Ksname.dat";
inline constexpr std::string_view kTournamentFileName = "Movra.dat";
inline constexpr std::string_view kOpeningFileName = "Senkei.dat";

// The text shown for a player number 0 ("(未登録)").
std::string UnregisteredPlayerText();

// ---------------------------------------------------------------------------------------------
// Players

struct PlayerEntry {
    std::uint16_t number = 0;  // 0 = empty entry
    char category = ' ';       // 'A' 現役棋士 … 'E' アマ棋士; blank when empty
    std::string name;          // kanji name as in the file, trailing blanks included, <= 20 bytes
    std::string kana;          // <= 20 bytes
    std::string shortName;     // name without blanks, <= 14 bytes, never split inside a character
};

class PlayerTable {
public:
    PlayerTable();

    // Clears the table and reads "Ksname.dat" from the folder. With sortByKana (the setting
    // KsOrder = 0) the player order is category, kana, name; otherwise file order. False when
    // the file cannot be read; the table then stays cleared.
    bool Load(const std::filesystem::path& datFolder, bool sortByKana);
    void Clear();

    // Rewrites "Ksname.dat" in the folder from entries 1-999 (a larger number does not fit the
    // file's column and is left out; see FileCannotHold). False on a write error, when the old
    // file stays as it was.
    bool Write(const std::filesystem::path& datFolder) const;
    // Numbers of entries that Write would leave out because the file cannot hold them.
    std::vector<int> FileCannotHold() const;

    // Entry by number; an empty entry for a number outside 0-9999.
    const PlayerEntry& Entry(int number) const;
    // For the maintenance dialogs: the entry at a number 0-9999 (RangeError outside).
    PlayerEntry& MutableEntry(int number);
    // Sets an entry from its parts, cutting name and kana to 20 bytes and making the short name.
    void SetEntry(int number, char category, std::string_view name, std::string_view kana);

    // Number of the first entry 1-9999 whose short name equals the name; 0 when none.
    int NumberByName(std::string_view name) const;
    // "(未登録)" for 0, the kanji name for an entry with a name, else "[#n]"; padded with blanks
    // and cut to 30 bytes.
    std::string DisplayName(int number) const;
    // 1-based position in the player order of the line carrying the number; 0 when none.
    int OrderPosition(int number) const;

    // One line per player read: category, kana padded or cut to 30 bytes, name padded or cut
    // to 30 bytes, the number as 4 digits and the line's position in the file as 4 digits.
    const std::vector<std::string>& Order() const { return order_; }
    // The number a player order line carries.
    static int OrderLineNumber(std::string_view line);

private:
    std::vector<PlayerEntry> entries_;  // kPlayerCapacity entries, allocated once
    std::vector<std::string> order_;
};

// The short name: every blank removed, cut to 14 bytes (13 when the 14th would split a
// double-byte character).
std::string PlayerShortName(std::string_view name);

// ---------------------------------------------------------------------------------------------
// Tournaments and openings

struct MasterRow {
    std::uint16_t number = 0;  // 0 = empty row
    std::int16_t order = -1;   // position in a selection list whose position 0 is "指定なし"
    std::string name;          // trimmed, <= 20 bytes
    bool empty() const { return number == 0 && order == -1 && name.empty(); }
};

class TournamentTable {
public:
    // Clears the table and reads "Movra.dat". When it cannot be read: the warning
    // "\r棋戦名データが読めません。", the table stays empty, false.
    bool Load(const std::filesystem::path& datFolder, Prompter& prompter);
    void Clear();
    // Rewrites "Movra.dat" from rows 1-99; a tournament's number becomes its row position.
    bool Write(const std::filesystem::path& datFolder) const;

    // Rows 0-99 in file order; sub-rows by tournament number 0-100.
    const MasterRow& Row(int index) const;
    MasterRow& MutableRow(int index);
    const MasterRow& SubRow(int tournament, int index) const;
    MasterRow& MutableSubRow(int tournament, int index);

    int NumberByPosition(int position) const;
    int NumberByName(std::string_view name) const;
    int Order(int number) const;  // -1 when no row has the number
    std::string NameByPosition(int position) const;
    // The row's name, "[#n]" when no row has the number, nothing for 0; padded to 20 bytes.
    std::string DisplayName(int number) const;

    int SubNumberByPosition(int tournament, int position) const;
    int SubNumberByName(int tournament, std::string_view name) const;
    int SubOrder(int tournament, int number) const;  // -1 when none
    // The sub-row's name, "[#n]" when there is none, nothing when either number is 0; padded
    // to 20 bytes.
    std::string SubDisplayName(int tournament, int number) const;

private:
    // The sub-rows of a tournament number; none outside 0-100.
    std::span<const MasterRow> SubRows(int tournament) const;

    std::array<MasterRow, kTournamentRows> rows_{};
    std::array<std::array<MasterRow, kSubTournamentRows>, kTournamentRows + 1> subRows_{};
};

class OpeningTable {
public:
    // Clears the table and reads "Senkei.dat". When it cannot be read: the warning
    // "\r戦型名データが読めません。", the table stays empty, false.
    bool Load(const std::filesystem::path& datFolder, Prompter& prompter);
    void Clear();
    // Rewrites "Senkei.dat" from rows 1-100, numbered by row position.
    bool Write(const std::filesystem::path& datFolder) const;

    const MasterRow& Row(int index) const;
    MasterRow& MutableRow(int index);

    int NumberByPosition(int position) const;
    int NumberByName(std::string_view name) const;
    int Order(int number) const;  // -1 when none
    // The row's name, "[#n]" when there is none, nothing for 0; padded to 30 bytes.
    std::string DisplayName(int number) const;

private:
    std::array<MasterRow, kOpeningRows> rows_{};
};

// ---------------------------------------------------------------------------------------------
// Names kept with a game

// The two names of game k's detail record (shown when its player numbers are 0), each
// "(未登録)" when empty; both "(未登録)" in the classic kind or when the record cannot be read.
struct GameNames {
    std::string sente;
    std::string gote;
};
GameNames ReadGameNames(const StoreReader& reader, long k);

// ---------------------------------------------------------------------------------------------
// The DAT folder

// The folder the master files are read from: the DAT folder, or the program folder when the
// DAT folder is empty.
std::filesystem::path MasterFolder(const std::filesystem::path& datFolder,
                                   const std::filesystem::path& programFolder);

// Whether all three files are in the folder. With a prompter, a missing file gives the warning
// "以下のファイルがありません！\r" and "\r" + the name of each missing file.
bool CheckDatFolder(const std::filesystem::path& folder, Prompter* prompter);

// The file of that name in the folder, found without regard to case; the name as given when no
// such file exists.
std::filesystem::path FindFileNoCase(const std::filesystem::path& folder, std::string_view name);

// The text padded with blanks or cut (never inside a double-byte character) to width bytes.
std::string PadOrCut(std::string_view text, std::size_t width);

}  // namespace movra
