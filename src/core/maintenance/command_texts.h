#pragma once
// The questions and closing messages of the maintenance commands, shared by the windows and the
// command line.
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/maintenance/store_sort.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

// "棋譜件数が多い場合はソートに\r数分時間が掛かる場合があります。"
std::string SortTakesTimeText();
// The store's name (".ipx" in the extended kind) + " を \r日付逆順にソートします。\r\rよろしいですか？"
// (or 日付昇順).
std::string SortQuestion(const GameStore& store, SortOrder order);
// "ディスクの空き容量が不十分のため\r\rソート処理が行えません。"
std::string NoSpaceToSortText();
// "\rファイルのソートが終わりました。"
std::string SortDoneText();

// "対局日、対局者、勝敗、棋戦、戦型、手合割および手順が\rすべて同じ棋譜を削除します。\r\rよろしいですか？"
std::string RemoveSameQuestion();
// "ディスクの空き容量が不十分のため\r\r同一棋譜削除処理が行えません。"
std::string NoSpaceToRemoveText();
// "\r" + d + "件の重複棋譜を削除しました。", or "\r同一棋譜はありませんでした。" for 0.
std::string RemoveSameDoneText(std::uint32_t removed);

// The order dialog: "ソート順指定ダイアログ", "日付逆順（新しい棋譜順）", "日付昇順（古い棋譜順）".
std::string OrderDialogCaption();
std::string DescendingChoiceText();
std::string AscendingChoiceText();

// Without a store: "\r棋譜ファイルが読み込まれていません。" (sorting, bulk setting, backup),
// "\rMovra形式の棋譜ファイルが読み込まれていません。" (same-game removal, conversion), and for the
// merges "棋譜ファイルが読み込まれていません！\r\r先に棋譜ファイルを読み込んでください。".
std::string NoStoreText();
std::string NoMovraStoreText();
std::string NoStoreToMergeText();
// A store of another program's format open, for the merges:
// "現在読み込まれている棋譜ファイルは\r\rMovra形式の棋譜ファイルではありません。"
std::string NotMovraStoreText();

}  // namespace movra::maintenance
