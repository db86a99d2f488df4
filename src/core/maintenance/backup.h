#pragma once
// Copying the store's files, or the master data files, into a backup folder. Each file is
// copied under a working name in the target folder and takes its own name only when whole, so
// that a failed copy never leaves a cut file in place of an earlier backup.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"

namespace movra::maintenance {

// The store's files to back up: every file of its folder named B.<anything> (B compared without
// regard to case) but the working comment file B.cp$.
std::vector<std::filesystem::path> StoreBackupFiles(const StoreFiles& files);
// Their sizes, each rounded up to whole kilobytes, summed.
std::uint64_t BackupRequiredBytes(const std::vector<std::filesystem::path>& files);

// "バックアップ先のフォルダを指定して下さい。" — the folder picker's title.
std::string BackupFolderTitle();

enum class BackupOutcome { Done, Refused, Cancelled };

// 棋譜ファイルのバックアップ: the store's own folder is refused ("元ファイルと同じフォルダには\r\r
// バックアップできません！"); nothing is copied unless the files need some space and the target
// has at least that much free (when the free space is known and above 0: "バックアップ先の容量が
// 足りません！\r\r約 " + required div 1000 + "KB の空き容量が必要です！"); an index file of the
// same name in the target is overwritten only after the question "バックアップ先に同名の棋譜
// ファイルがあります。\r\r上書きしてよろしいですか？". A failed copy tells "\"name\"のコピーに失敗し
// ました！" and the others go on. "\r棋譜のバックアップが終わりました！" at the end.
BackupOutcome BackupStore(const StoreFiles& files, const std::filesystem::path& target, Prompter& prompter,
                          const FreeSpaceProbe& freeSpace = nullptr);

// DATファイルのバックアップ: "KSNAME.DAT", "MOVRA.DAT" and "SENKEI.DAT" of the DAT folder into the
// target (the DAT folder itself refused with the same message), after the question "バックアップ
// 先に同名のＤＡＴファイルがあります。\r\r上書きしてよろしいですか？" when the target has a
// KSNAME.DAT. "\rＤＡＴファイルのバックアップが終わりました！" at the end.
BackupOutcome BackupDatFiles(const std::filesystem::path& datFolder, const std::filesystem::path& target,
                             Prompter& prompter);

}  // namespace movra::maintenance
