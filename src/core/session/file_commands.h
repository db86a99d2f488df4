#pragma once
// The parts of the main window's File-menu commands that need no window: the questions of the
// import commands, the clipboard import (the text split into games, each read through a
// temporary file), which store a file dropped on the window opens, and the fixed
// data-collection stores.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/textio/import_text.h"

namespace movra {

// --- importing ------------------------------------------------------------------------------------

// "<path> を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？" with the full path of one
// file, or "選択された n個の棋譜ファイル" for several.
std::string ImportFilesQuestion(const std::vector<std::filesystem::path>& files);
// "<folder> 内の\r棋譜ファイルをMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"
std::string ImportFolderQuestion(std::string_view folderText);
// "クリップボードの棋譜を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"
std::string ImportClipboardQuestion();
// "\rクリップボードは空です。"
std::string ClipboardEmptyMessage();
// "\r局面作成画面での棋譜インポートはできません。"
std::string ImportWhileEditingMessage();

// The files the folder command reads: the game-record files of the folder and, with
// [Import] SubFldr, those of its direct sub-folders (one level only); never the open store's
// own game-data file.
std::vector<std::filesystem::path> FolderImportFiles(const std::filesystem::path& folder,
                                                     bool subFolders, const StoreFiles* store);

// The clipboard's text as CP932 lines: UTF-8 is converted, CP932 kept.
std::vector<std::string> ClipboardLines(std::string_view bytes);

// The games of a clipboard text, each as its lines (trimmed). A game begins at the first
// non-blank line not yet used; its moves begin at the first line from there that holds "▲" or
// "△", and it ends at the first line from the moves on that is empty or holds "まで" (or at the
// last line). A text without "▲" and "△" (a Kakinoki move list) is one game to its end.
std::vector<std::vector<std::string>> SplitClipboardGames(const std::vector<std::string>& lines);

// The name of the clipboard's temporary file in the master data folder.
inline constexpr std::string_view kClipboardTempName = "$TEMP.KIF";

// The clipboard import run: each game written to the temporary file (replacing it), read with
// ImportTextFile and the file deleted again; the progress line "%5d: クリップボード" counts the
// games stored so far plus one. The frame is the import run's: every refused game told with the
// temporary file's path, and the run ends with the count or "\r棋譜はインポートされませんでした。". Throws
// StoreIoError when the temporary file cannot be written.
ImportSummary ImportClipboardGames(const std::vector<std::vector<std::string>>& games,
                                   const std::filesystem::path& temporaryFile,
                                   ImportContext& context);

// --- opening stores --------------------------------------------------------------------------------

// The store a file dropped on the main window opens: an existing ".ipx" itself; for ".idx",
// ".kif", ".kpf" or ".cp0" (any case) the ".ipx" of the same name when it exists. nullopt for
// anything else, and for a file that does not exist.
std::optional<std::filesystem::path> DroppedStore(const std::filesystem::path& dropped);

// The data collections the File menu offers: stores distributed with the program, kept in the
// "Collections" folder of the program folder under fixed names. Only those that exist.
std::vector<std::filesystem::path> DataCollectionStores(const std::filesystem::path& programFolder);
// The fixed names, relative to the program folder.
const std::vector<std::string>& DataCollectionNames();

}  // namespace movra
