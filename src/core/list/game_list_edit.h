#pragma once
// What the game list does to the store and the catalogue: deleting the highlighted or the
// marked games, exchanging neighbours, the list dump "Ichiran.txt", and the file names of the
// timed export. The store's own operations (DeleteGames, SwapGames) change the files; these
// keep the catalogue in step with them.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/list/game_list_page.h"
#include "core/text/prompter.h"
#include "core/store/catalogue.h"
#include "core/store/open_store.h"

namespace movra {

// --- deleting ------------------------------------------------------------------------------------

// "「sente」 x 「gote」 の\r 棋譜を削除します！\r\rよろしいですか？" with the first 12 bytes of
// each name, trimmed.
std::string DeleteOneQuestion(std::string_view senteName, std::string_view goteName);
// "選択された n個の棋譜を削除します。\r\rよろしいですか？"
std::string DeleteMarkedQuestion(std::uint32_t count);
// "\r削除する棋譜を選択してください！"
std::string NothingMarkedToDeleteMessage();
// "ディスクの空き容量が不十分のため\r\r削除処理が行えません。"
std::string NoSpaceToDeleteMessage();

// Whether the store's drive has room to rewrite it: more free bytes than the index file and the
// game-data file together plus 4096.
bool EnoughSpaceToDelete(const GameStore& store, const FreeSpaceProbe& freeSpace = nullptr);

// The number of entries that carry the selection mark.
std::uint32_t CountMarked(std::span<const GameHeader> entries);

// After the store deleted games: the entries of those games leave the catalogue (those behind
// move up), and every record number above a deleted one drops by one for each deleted number
// below it. `deleted` are record numbers in any order.
void RemoveDeletedGames(GameCatalogue& catalogue, std::span<const std::uint32_t> deleted);

struct ListDeletion {
    std::uint32_t deleted = 0;  // games the store deleted (0: store and catalogue unchanged)
    bool refused = false;       // no room on the drive (warned)
    std::vector<std::uint32_t> records;  // their record numbers, as they were before
};

// Deletes the game at catalogue position `position` (0-based) from the store, then from the
// catalogue. Without `checkSpace` (Ctrl+Alt+D) the free space is not asked.
ListDeletion DeleteListedGame(StoreSession& session, std::uint32_t position, bool checkSpace,
                              Prompter& prompter, const FreeSpaceProbe& freeSpace = nullptr);
// Deletes every marked game of the catalogue.
ListDeletion DeleteMarkedGames(StoreSession& session, Prompter& prompter,
                               const FreeSpaceProbe& freeSpace = nullptr);

// --- exchanging neighbours -----------------------------------------------------------------------

// Exchanges the game at catalogue position `position` with the one before (`up`) or after it,
// in the store and in the catalogue: the entries change places while the record numbers stay
// with the places. False when there is no such neighbour or the store refused.
bool SwapListedGames(StoreSession& session, std::uint32_t position, bool up);

// --- following games through deletions and exchanges ----------------------------------------------

// What the list did to the store's record numbers while it was open, in order, so that a game
// held elsewhere (the one on the board, the game slots) can find its new number. A game that was
// deleted has none (0).
class RecordRenumbering {
public:
    void Deleted(std::span<const std::uint32_t> records);
    void Exchanged(std::uint32_t a, std::uint32_t b);
    void Clear() { steps_.clear(); }
    bool empty() const { return steps_.empty(); }
    bool anyDeleted() const;
    // The number record `number` has now; 0 when it was deleted. A number beyond the store (a
    // new game not saved yet) moves down with the deletions below it, as the store's end does.
    std::uint32_t Follow(std::uint32_t number) const;

private:
    struct Step {
        bool exchange = false;
        std::vector<std::uint32_t> records;  // deleted ones (sorted), or the two exchanged
    };
    std::vector<Step> steps_;
};

// --- the list dump -------------------------------------------------------------------------------

inline constexpr std::string_view kListDumpFileName = "Ichiran.txt";

// The lines of "Ichiran.txt": "     No." and the title, then for every entry " %7d " and its
// line of name width 14 without its first blank, at most 120 bytes.
std::vector<std::string> ListDumpLines(const StoreSession& session, const ListDisplay& display);
// Writes them (CP932, CR LF) into the folder, replacing the file, and tells
// "\rIchiran.txtを出力しました。". Nothing for an empty catalogue. False when it cannot be written.
bool WriteListDump(const StoreSession& session, const ListDisplay& display,
                   const std::filesystem::path& folder, Prompter& prompter);

// --- list printing -------------------------------------------------------------------------------

inline constexpr std::uint32_t kListPrintEntriesPerPage = 50;

struct PrintedLine {
    std::string text;
    bool entry = false;  // an entry line: a small gap follows it on paper
};
// The pages of "一覧印刷": every 50 entries a page, which begins with an empty line (the first
// page; the others begin on a new sheet), two empty lines, "     No." and the title, and one
// empty line; then the entries as "   %5d " and the line of name width 12 without its first
// blank, at most 120 bytes.
std::vector<std::vector<PrintedLine>> ListPrintPages(const StoreSession& session,
                                                     const ListDisplay& display);
// "プリンタ・エラー！"
std::string PrinterErrorMessage();

// --- the timed export ----------------------------------------------------------------------------

// "選択された n個の棋譜を変換します。\r\rよろしいですか？"
std::string ExportMarkedQuestion(std::uint32_t count);
// "\r変換する棋譜を選択してください！"
std::string NothingMarkedToExportMessage();
// "( k / n )"
std::string ExportProgressText(std::uint32_t k, std::uint32_t n);

// The catalogue positions (0-based) of the marked entries, in catalogue order.
std::vector<std::uint32_t> MarkedPositions(std::span<const GameHeader> entries);

}  // namespace movra
