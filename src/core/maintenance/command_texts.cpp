#include "core/maintenance/command_texts.h"

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

namespace movra::maintenance {

using namespace movra::literals;

std::string SortTakesTimeText() { return std::string("棋譜件数が多い場合はソートに\r数分時間が掛かる場合があります。"_sj); }

std::string SortQuestion(const GameStore& store, SortOrder order) {
    const std::string name = PathText(store.extended() ? store.files.Path(ext::kDetail) : store.files.IndexPath());
    return name + " を "_sj + "\r" +
           (order == SortOrder::Descending ? "日付逆順にソートします。"_sj : "日付昇順にソートします。"_sj) + "\r\r" +
           "よろしいですか？"_sj;
}

std::string NoSpaceToSortText() { return std::string("ディスクの空き容量が不十分のため\r\rソート処理が行えません。"_sj); }
std::string SortDoneText() { return std::string("\rファイルのソートが終わりました。"_sj); }

std::string RemoveSameQuestion() {
    return std::string(
        "対局日、対局者、勝敗、棋戦、戦型、手合割および手順が\rすべて同じ棋譜を削除します。\r\rよろしいですか？"_sj);
}
std::string NoSpaceToRemoveText() {
    return std::string("ディスクの空き容量が不十分のため\r\r同一棋譜削除処理が行えません。"_sj);
}
std::string RemoveSameDoneText(std::uint32_t removed) {
    if (removed == 0) return std::string("\r同一棋譜はありませんでした。"_sj);
    return "\r" + std::to_string(removed) + "件の重複棋譜を削除しました。"_sj;
}

std::string OrderDialogCaption() { return std::string("ソート順指定ダイアログ"_sj); }
std::string DescendingChoiceText() { return std::string("日付逆順（新しい棋譜順）"_sj); }
std::string AscendingChoiceText() { return std::string("日付昇順（古い棋譜順）"_sj); }

std::string NoStoreText() { return std::string("\r棋譜ファイルが読み込まれていません。"_sj); }
std::string NoMovraStoreText() { return std::string("\rMovra形式の棋譜ファイルが読み込まれていません。"_sj); }
std::string NoStoreToMergeText() {
    return std::string("棋譜ファイルが読み込まれていません！\r\r先に棋譜ファイルを読み込んでください。"_sj);
}
std::string NotMovraStoreText() {
    return std::string("現在読み込まれている棋譜ファイルは\r\rMovra形式の棋譜ファイルではありません。"_sj);
}

}  // namespace movra::maintenance
