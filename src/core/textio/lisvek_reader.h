#pragma once
// Lisvek game collections: another product's folder of binary files (lisvek_layout.h), read
// game by game into the store. Each game becomes the coded text every reader hands on, so it is
// stored exactly as an imported text game is: moves played through, header from the master
// tables, comments into the comment files.
//
// The product came in several editions that differ in their tournament numbers, result words and
// opening names; the edition is told by the date "kifu.kif" was last written.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/textio/coded_game.h"
#include "core/textio/import_text.h"
#include "core/textio/lisvek_layout.h"

namespace movra {

// The files of a collection next to "kifu.kif" and in its parent folder.
inline constexpr char kLisvekMoves[] = "kifu.kif";
inline constexpr char kLisvekHeaders[] = "kifu.dat";
inline constexpr char kLisvekComments[] = "Kaisetu.dat";
inline constexpr char kLisvekPlayers[] = "Ksname.dat";
inline constexpr char kLisvekOpenings[] = "Senkei.dat";

// The edition (1-7) by the date "yyyy/mm/dd" kifu.kif was last written; 7 for any date not
// one of the six known releases.
int LisvekEditionOfDate(std::string_view date);
// The edition of the collection whose kifu.kif is given, by its local last-write date.
int LisvekEdition(const std::filesystem::path& kifuKif);

// The store's move code of a move entry: destination d and origin o as the collection keeps
// them ("7767 " for 76 and 77, "3332+" for -23 and 33, "0155 " for a 歩 dropped on 55).
std::string LisvekMoveCode(std::int16_t destination, std::int16_t origin);

// The name of this system's opening that the edition's opening name stands for (may be empty).
std::string MapLisvekOpening(int edition, std::string_view name);

// The tournament name of a header's tournament number in the edition: editions 2 and 3 count
// 16 and 17 one lower than the fixed list. Empty outside the list.
std::string LisvekTournamentName(int edition, int number);

// "yyyy-mm-dd 00:00:00" of a date word yyyymmdd; a part that is not there counts 0.
std::string LisvekDateText(std::uint32_t date);

// The number of games: the whole header records of kifu.dat in the folder; 0 when it cannot be
// opened.
long CountLisvekGames(const std::filesystem::path& folder);

// The files the import needs that are missing: kifu.dat and Kaisetu.dat beside kifu.kif,
// Ksname.dat and Senkei.dat in the parent folder (names compared without regard to case).
std::vector<std::string> MissingLisvekFiles(const std::filesystem::path& kifuKif);

// An open collection: the names and comments in memory, the headers and moves read game by game.
class LisvekCollection {
public:
    // Opens the collection of the kifu.kif given. A missing names or comments file leaves its
    // names or comments empty; false with the reason when kifu.kif or kifu.dat cannot be read.
    bool Open(const std::filesystem::path& kifuKif, std::string* error);

    int edition() const { return edition_; }
    long count() const { return count_; }
    // Reads game r (1-based) into `game` as coded text with its header and comments. A refusal
    // names why the game cannot be read (its moves are missing or make no move).
    ReadStatus Read(long r, std::string_view now, ReadGame& game);

private:
    std::string PlayerName(int number) const;
    std::string OpeningName(int number) const;
    // The text of the first comment record with the key; empty when none has it.
    std::string Comment(std::uint32_t key) const;

    std::filesystem::path folder_;
    int edition_ = 7;
    long count_ = 0;
    std::vector<std::string> players_, openings_;
    std::vector<LisvekComment> comments_;
    std::unordered_map<std::uint32_t, std::size_t> commentByKey_;
    std::vector<std::uint8_t> headers_;  // kifu.dat whole: 34 bytes a game
    std::FILE* moves_ = nullptr;
    std::uint64_t movesSize_ = 0;
    LisvekHeader header_;
    LisvekGame gameBytes_;
    std::string codes_;

public:
    LisvekCollection() = default;
    LisvekCollection(const LisvekCollection&) = delete;
    LisvekCollection& operator=(const LisvekCollection&) = delete;
    ~LisvekCollection();
};

struct LisvekImport {
    long stored = 0;
    // Games not stored, by their number in the collection, with the reason.
    std::vector<std::pair<long, std::string>> refused;
    bool storeFull = false;
    // The store could not be written (the run ended there) or the collection could not be read.
    std::string error;
};

// Stores every game of the collection as a new game, in order. Each game that cannot be read is
// told ("棋譜変換エラー！No.N\r\rsente x gote") and skipped; the run goes on. `progress` hears the
// game number before each game. A store that cannot be written ends the run with the games of
// the commits before kept.
LisvekImport ImportLisvekFolder(const std::filesystem::path& kifuKif, ImportContext& context,
                                const std::function<void(long game, long count)>& progress = {},
                                RecordWriter& writer = DirectRecordWriter());

// "N 件のLisvek 棋譜を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"
std::string LisvekImportQuestion(long count);
// "\rLisvekが正しくインストールされていません。"
std::string LisvekNotInstalledMessage();

}  // namespace movra
