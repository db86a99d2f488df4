#pragma once
// Writing the highlighted game, or the marked games, of the game list into another store: the
// name the user gave checked and completed, and the texts of the command.
#include <cstdint>
#include <filesystem>
#include <string>

namespace movra {

struct SaveAsTarget {
    std::string refusal;          // a message when the name cannot be used; empty otherwise
    std::filesystem::path index;  // the target's index file (extension ".idx")
    bool exists = false;          // the target's index file is there: append or overwrite?
};

// The chosen file name: no extension takes the store kind's own (".IDX" classic, ".IPX"
// extended), any other extension than that is refused; the name then stands for the index file.
// The open store itself is refused, and so is a store of the other kind from a classic store
// (an extended ".ipx" beside the target).
SaveAsTarget CheckSaveAsTarget(const std::filesystem::path& chosen, bool extended,
                               const std::filesystem::path& openStoreIndex);

// "\r保存する棋譜を選択してください！"
std::string SaveAsNothingMarkedMessage();
// "選択された n個の棋譜を\rファイルに保存します。\r\rよろしいですか？"
std::string SaveAsMarkedQuestion(std::uint32_t n);
// name + " は既に存在します。\r\r追加書きしてよろしいですか？\r\r上書きする場合は「いいえ」をクリックしてください。"
std::string SaveAsExistsQuestion(const std::string& name);
// name + " に出力しました。"
std::string SaveAsDoneMessage(const std::string& name);
// "\r" + name + " に書き込めませんでした。" (the target's files failed)
std::string SaveAsFailedMessage(const std::string& name);
// The save dialog's filter for the store kind.
std::string SaveAsFilter(bool extended);

}  // namespace movra
