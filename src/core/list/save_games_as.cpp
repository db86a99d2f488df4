#include "core/list/save_games_as.h"

#include <system_error>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/store/store_files.h"

namespace movra {
using namespace movra::literals;
namespace fs = std::filesystem;


SaveAsTarget CheckSaveAsTarget(const fs::path& chosen, bool extended, const fs::path& openStoreIndex) {
    SaveAsTarget t;
    const std::string own = extended ? ".IPX" : ".IDX";
    fs::path name = chosen;
    if (!name.has_extension()) name += own;
    if (UpperCaseAscii(name.extension().string()) != own) {
        t.refusal = std::string("\rファイル名が正しくありません！"_sj);
        return t;
    }
    name.replace_extension(ext::kIndex);
    const StoreFiles files(name);
    t.index = files.IndexPath();
    std::error_code ignored;
    if (fs::equivalent(t.index, openStoreIndex, ignored) ||
        (t.index.lexically_normal() == openStoreIndex.lexically_normal())) {
        t.refusal = std::string("\r指定したファイルは現在使用中です！"_sj);
        return t;
    }
    t.exists = fs::exists(t.index);
    if (!extended && fs::exists(files.Path(ext::kDetail))) {
        t.refusal = std::string("\rファイル形式が異なるため書込み出来ません！"_sj);
    }
    return t;
}

std::string SaveAsNothingMarkedMessage() { return std::string("\r保存する棋譜を選択してください！"_sj); }

std::string SaveAsMarkedQuestion(std::uint32_t n) {
    return "選択された "_sj + std::to_string(n) + "個の棋譜を"_sj + "\r" + "ファイルに保存します。"_sj + "\r\r" +
           "よろしいですか？"_sj;
}

std::string SaveAsExistsQuestion(const std::string& name) {
    return name + " は既に存在します。"_sj + "\r\r" + "追加書きしてよろしいですか？"_sj + "\r\r" +
           "上書きする場合は「いいえ」をクリックしてください。"_sj;
}

std::string SaveAsDoneMessage(const std::string& name) { return name + " に出力しました。"_sj; }

std::string SaveAsFailedMessage(const std::string& name) { return "\r" + name + " に書き込めませんでした。"_sj; }

std::string SaveAsFilter(bool extended) {
    return extended ? std::string("Movraﾌﾟﾗｽｲﾝﾃﾞｯｸｽ (*.ipx)"_sj) : std::string("Movraｲﾝﾃﾞｯｸｽ･ﾌｧｲﾙ (*.idx)"_sj);
}

}  // namespace movra
