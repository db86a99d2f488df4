#pragma once
// Turning an open classic store into the extended kind in place: the detail file, the move-info
// file and comment file 0 are made from what the classic files hold. They are written under
// working names and take the store's names together in one replacement of the store's journal,
// so a failure or a stop anywhere leaves the classic store as it was (files an earlier attempt
// left under the extended names are replaced or removed).
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/text/prompter.h"
#include "core/store/master_data.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

std::string ConvertCaption();  // "【 コンバート中 】"
// path + " を\rMovraプラス形式に変換します。\r\rよろしいですか？"
std::string ConvertQuestion(const std::filesystem::path& indexPath);
// "\rMovraプラス形式への変換は正常に終わりました。"
std::string ConvertDoneText();
// "\rMovra形式の棋譜ファイルが読み込まれていません。"
std::string NoClassicStoreText();

struct Conversion {
    bool ok = false;
    std::uint32_t games = 0;
    std::uint32_t damaged = 0;  // games whose stored moves stop early (kept as far as they go)
};

// Converts the whole classic store. Each game's detail record gets the player display names of
// the table for its two numbers ("(未登録)" for 0), the copies of the index words, the move count
// of slots 1-256 and no times; its move-info record the entries of those moves, with no times
// and no comments (entry 0 of a handicap game stays zero). Progress every 100 games. A store that
// is not a whole classic store is refused with its message. The caller reopens the store.
Conversion ConvertToExtended(GameStore& store, const PlayerTable& players, Prompter& prompter,
                             RecordWriter& layer = DirectRecordWriter());

}  // namespace movra::maintenance
