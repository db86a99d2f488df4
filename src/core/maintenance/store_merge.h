#pragma once
// Combining two stores, and bringing distributed data into the open store.
//
// Every job here builds the combined store as a working store beside the open one (B~mrg.*):
// the open store's files are copied there, the other store's games are appended with overflow
// numbers and comment numbers of their own, and the working store is sorted or rid of identical
// games as the job asks. Only then does it take the open store's names, in one replacement of the
// store's journal, so that a failure or a stop anywhere leaves the open store exactly as it was.
//
// The games of the other store refer to players, tournaments and openings by number in the
// master tables of their own folder. When those tables are given and disagree with the open
// store's, every name is kept: a number is mapped to the open store's number of the same name,
// and a name the open tables lack is added to them under a free number (the master files are
// written before the store changes, so a failure leaves at most a name nobody uses yet).
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/prompter.h"
#include "core/maintenance/store_sort.h"
#include "core/store/layout.h"
#include "core/store/master_data.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

enum class MergeKind {
    Complete,     // 完全合併: the games of both, identical games removed, sorted
    Merge,        // 合併: the games of both, sorted
    Concatenate,  // 接合: the other store's games after the open store's
};

// The master tables of both sides and the folder the open store's tables are written to.
struct MasterMerge {
    const PlayerTable* fromPlayers = nullptr;
    const TournamentTable* fromTournaments = nullptr;
    const OpeningTable* fromOpenings = nullptr;
    PlayerTable* players = nullptr;
    TournamentTable* tournaments = nullptr;
    OpeningTable* openings = nullptr;
    std::filesystem::path datFolder;  // where the open store's tables are written
};

// The numbers the other store's games use, turned into the open store's numbers of the same
// names. A number the other tables do not name stays as it is.
struct NumberMaps {
    std::vector<std::uint16_t> players;                    // by player number 0-9999
    std::vector<std::uint16_t> tournaments;                // by tournament number 0-100
    std::vector<std::array<std::uint8_t, 11>> subTournaments;  // [tournament][sub 0-10]
    std::vector<std::uint16_t> openings;                   // by opening number 0-100
    int added = 0;        // names added to the open store's tables
    int notKept = 0;      // names that found no free number (their games get number 0)
    // Applies the maps to index words 0, 1, 2, 11 and 7.
    void Apply(IndexRecord& record) const;
};
// Works out the maps, adding to the open store's tables the names they lack.
NumberMaps MapMasterNumbers(const MasterMerge& masters);

// The question before a merge: T + " に\r" + S + " を\r併合します。\r\r　　　　よろしいですか？",
// the names being the stores' index files, or their detail files in the extended kind.
std::string ConfirmMergeText(const std::string& target, const std::string& source);
// The name a store is shown by in the questions: the ".ipx" file in the extended kind.
std::string MergeShownName(const StoreFiles& files, bool extended);

struct MergeResult {
    bool ok = false;            // the open store holds the combined games
    bool asked = false;         // the user said no, or the other store was refused: nothing done
    std::uint32_t added = 0;    // games of the other store
    std::uint32_t removed = 0;  // identical games removed (complete merge)
    std::uint32_t count = 0;    // games in the open store afterwards
    NumberMaps maps;
};

// The whole command after the file and order dialogs: the other store is checked (the same file
// as the open store: "\r同一ファイルの合併はできません！" / "\r同一ファイルの接合はできません！"; a
// store that cannot be used, or for a concatenation onto an extended store one that is not
// extended: "合併する棋譜ファイルが壊れているか、\r読み取り専用ファイルのため使用できません。" /
// "接合する…"), the merge is confirmed, the games combined, and the closing message shown
// ("ファイル合併が終わりました。\r\r" + d + "件の重複棋譜を削除しました。",
// "\rファイル合併が終わりました。", "\rファイル接合が終わりました。"). An extended open store
// takes only extended stores; a classic one takes either kind, keeping what the classic kind
// holds. The caller reopens the store when `ok`.
MergeResult MergeStores(GameStore& store, const std::filesystem::path& other, MergeKind kind, SortOrder order,
                        Prompter& prompter, const MasterMerge* masters = nullptr,
                        RecordWriter& layer = DirectRecordWriter());

// The open store's own sorted check before distributed data comes in:
// "併合元の棋譜データがソートされていません。\r\r（" + path + "）" when it is not sorted.
bool CheckStoreSortedForDistribution(const GameStore& store, Prompter& prompter);

// Brings distributed data into the open store: both are sorted newest first; the result is every
// game of the distribution followed by the open store's games older than the distribution's
// oldest day (the distribution is taken as complete for its period). The distribution must be a
// whole classic store ("併合する棋譜ファイルが壊れているか、\r読み取り専用ファイルのため使用で
// きません。"), another file than the open store ("\r同一ファイルの併合はできません！"), and sorted
// ("配布データがソートされていません。\r\r（" + path + "）"). The question shows the period in
// the era form; "\r配布データ併合処理が終わりました。" at the end. Long games keep their overflow
// part (new overflow numbers in the open store).
MergeResult MergeDistributedData(GameStore& store, const std::filesystem::path& distribution, Prompter& prompter,
                                 const MasterMerge* masters = nullptr, RecordWriter& layer = DirectRecordWriter());

// The first part of the distribution question: the date as "gggee/mm/dd" with the 昭和64 and
// 令和 corrections; empty when the date cannot be written so.
std::string DistributionDateText(std::uint32_t date);

}  // namespace movra::maintenance
