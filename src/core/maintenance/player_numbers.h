#pragma once
// Player numbers in every game: filling them in from the names kept in the detail records, and
// replacing one number by another. Both write the whole index file anew under its working name
// (B.id$) and give it the store's name in one replacement of the store's journal, so that a
// failure leaves every game as it was.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/prompter.h"
#include "core/store/master_data.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

std::string PlayerNumbersCaption();  // "【 棋士番号設定中 】"

struct IndexRewrite {
    bool ok = false;             // the store holds the change (or there was nothing to change)
    std::uint32_t changed = 0;   // games whose index record changed
};

// Extended kind: every game with a player number 0 on a side whose name (detail record, blanks
// removed) names a player of the table gets that player's number. The store must be whole
// (ValidateStore; told otherwise).
IndexRewrite SetPlayerNumbersFromNames(GameStore& store, const PlayerTable& players, Prompter& prompter,
                                       RecordWriter& layer = DirectRecordWriter());

// Games whose sente or gote number is `number` (a game counts once).
std::uint32_t CountGamesOfPlayer(const GameStore& store, int number);

// Every game with `from` on either side gets `to` there (a game counts once).
IndexRewrite ReplacePlayerNumber(GameStore& store, int from, int to, Prompter& prompter,
                                 RecordWriter& layer = DirectRecordWriter());

// The bulk-replacement dialog's checks of its two fields: the message, and the field that gets
// the focus (1 the first, 2 the second); field 0 when both are good.
struct PlayerNumberPair {
    std::string message;
    int field = 0;
    int from = 0, to = 0;
};
PlayerNumberPair CheckPlayerNumberPair(std::string_view first, std::string_view second);

// The question of the bulk setting, and the texts that close the two jobs.
std::string SetFromNamesQuestion();
std::string SetFromNamesDoneText(std::uint32_t count);
// c + "件 の棋譜に\r変更後棋士番号が存在します。\r\r変換処理を中止します。"
std::string TargetNumberInUseText(std::uint32_t count);
// "\r" + n + "件 の棋譜の棋士番号を変換しました。"
std::string ReplacedNumbersText(std::uint32_t changed);

}  // namespace movra::maintenance
