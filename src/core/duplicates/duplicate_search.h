#pragma once
// The search for games that look like copies of each other: by the header fields the user
// ticks, by identical moves or by identical final positions. Nothing on disk changes; the games
// found replace the catalogue, set after set.
//
// Moves and final positions are compared through 128-bit XXH3 digests computed in one
// sequential pass over the game-data file (two halves side by side on two cores), then sorted:
// a million games need 16 MB of digests instead of a gigabyte of move strings, and the chance
// that two different games share a digest is far below that of a disk error.
#include <cstdint>
#include <string>
#include <vector>

#include "core/duplicates/game_data_scan.h"
#include "core/store/catalogue.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

// The ticks of the dialog.
struct DuplicateCriteria {
    bool players = true;       // 対局者: sente and gote numbers equal, side by side
    bool date = false;         // 対局日
    bool result = false;       // 勝敗
    bool tournament = false;   // 棋戦名
    bool gameNumber = false;   // 局
    bool opening = false;      // 戦型
    bool handicap = false;     // 手合い
    bool moves = false;        // 棋譜（手順）: slots 1-256 equal up to the first zero byte
    bool finalPosition = false;// 最終図: the positions after slots 1-256 equal

    bool any() const {
        return players || date || result || tournament || gameNumber || opening || handicap ||
               moves || finalPosition;
    }
    // While moves or final position is ticked without players and date, the five other header
    // boxes do not take part (the dialog disables them).
    bool otherFieldsDisabled() const { return (moves || finalPosition) && !players && !date; }
};

struct DuplicateOutcome {
    long sets = 0;           // sets of copies found; the catalogue holds their games
    long games = 0;          // games listed
    bool stopped = false;    // stopped through Progress: the catalogue is unchanged
    bool memoryShort = false;
    std::vector<std::uint32_t> setSizes;  // games of each set, in the order listed
};

// The search over the catalogue's entries as they are (the caller reloads the whole store
// first). Games equal on every ticked field and, when ticked, in their moves (or else their
// final positions) form a set. With sets found the catalogue holds, set by set, each set's
// games (position hit -1), count = games listed, page start 1; with none it is unchanged.
// Sets come in the order of their first game, the entries sorted by date newest first, then
// sente, gote, tournament, game number, opening, result and handicap (each only when ticked),
// then record order. No message is shown; progress captions "【 棋譜手順確認中 】" or
// "【 最終図確認中 】", "【 ソート中 】" and "【 重複棋譜検索中 】".
DuplicateOutcome FindDuplicates(const GameStore& store, GameCatalogue& catalogue,
                                const DuplicateCriteria& criteria, Prompter& prompter,
                                const ScanOptions& options = {});

// The OK button of the dialog on the open store: needs an own-format store
// ("\rMovra形式の棋譜ファイルが読み込まれていません。"), a tick ("\rチェック項目を選択して下さい！"),
// reloads the catalogue (every game in store order), searches and tells the number of sets
// ("\r" + n + "組の重複棋譜がありました。" or "\r重複棋譜はありませんでした。"). A memory
// shortage shows "\rメモリ不足のため処理できません。". Returns what the search found (no sets
// also when nothing was done).
DuplicateOutcome RunDuplicateSearch(StoreSession& session, const DuplicateCriteria& criteria, Prompter& prompter,
                        const ScanOptions& options = {});

std::string NoStoreMessage();
std::string NoCriterionMessage();
std::string MemoryShortMessage();
std::string DuplicatesFoundMessage(long sets);

}  // namespace movra
