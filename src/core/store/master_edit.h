#pragma once
// The editing rules of the three master-data dialogs (players, tournaments, openings): which
// rows a list shows, where a new player goes, the byte limits of names and their messages.
// The dialogs work on their own copies of the tables and write them with the tables' writers.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/master_data.h"

namespace movra {

// --- players ----------------------------------------------------------------------------------

// Reads "Ksname.dat" for editing: unlike PlayerTable::Load it keeps the free slots, whose kanji
// name then begins with "@" (the second byte of the "　" that marks them). Each line goes to the
// entry of its number. False when the file cannot be read (the table is then empty).
bool LoadPlayersForEditing(const std::filesystem::path& datFolder, PlayerTable& table);

// A slot freed for a new player: a number and a kanji name beginning with "@".
bool IsFreePlayerSlot(const PlayerEntry& e);

enum class PlayerColumn { Number, Kanji, Kana };

// The numbers of the used (not free) slots of a category ('A'-'E') in the order of a column
// (ties in number order).
std::vector<int> PlayerListNumbers(const PlayerTable& table, char category, PlayerColumn order);

// Where a new player of the category goes: its lowest free slot, else the lowest number 1-999
// that no line uses; 0 when there is neither.
int SlotForNewPlayer(const PlayerTable& table, char category);

// The message that refuses the names (trimmed): an empty kanji name, one above 20 bytes, a kana
// name above 20 bytes; empty when they are accepted.
std::string CheckPlayerNames(std::string_view kanji, std::string_view kana);
// Stores the trimmed names padded with blanks to 20 bytes at the number, keeping the slot's
// category (`category` for a number that had no line).
void StorePlayer(PlayerTable& table, int number, char category, std::string_view kanji,
                 std::string_view kana);
// The slot becomes free: kanji "@" padded with blanks, kana blanks.
void FreePlayer(PlayerTable& table, int number);

// --- tournaments and openings -----------------------------------------------------------------

enum class MasterNameKind { Tournament, SubTournament, Opening };

// The message refusing a name above 20 bytes (trimmed), empty when it fits.
std::string CheckMasterName(MasterNameKind kind, std::string_view name);
// Row `position` (1-based) gets the trimmed name and the position as its number; an empty name
// empties the row. Sub-tournament `sub` (1-10) of the tournament at `position` likewise.
void RenameTournament(TournamentTable& table, int position, std::string_view name);
void RenameSubTournament(TournamentTable& table, int position, int sub, std::string_view name);
void RenameOpening(OpeningTable& table, int position, std::string_view name);
// The sub-rows shown for the tournament at `position`: those of its number.
const MasterRow& SubTournamentOfRow(const TournamentTable& table, int position, int sub);

// A line of the tournament and opening lists: "%6d     %s".
std::string MasterRowText(int position, std::string_view name);

// --- the dialogs' texts -----------------------------------------------------------------------

std::string MasterUpdatedMessage(MasterNameKind kind);         // "\r棋士名データを更新しました。" …
std::string MasterCloseQuestion(MasterNameKind kind);          // "棋士名データが変更されています！…"
// The same for the player dialog (its own kind).
std::string PlayersUpdatedMessage();
std::string PlayersCloseQuestion();
// "Ksname.dat" cannot be read: "\r棋士名データが読めません。"
std::string PlayersUnreadableMessage();
// No slot and no number left for a new player of the category.
std::string NoPlayerSlotMessage();
// "\r棋戦名が登録されていません。"
std::string TournamentNotNamedMessage();
// A file that could not be written: "\r" + the path + "\r\rに書き込めませんでした。"
std::string MasterWriteFailedMessage(const std::filesystem::path& path);

}  // namespace movra
