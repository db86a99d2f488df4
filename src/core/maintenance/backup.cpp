#include "core/maintenance/backup.h"

#include <algorithm>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/store/master_data.h"

namespace movra::maintenance {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// A folder as given; the current folder for an empty path (a store named without its folder).
fs::path Folder(const fs::path& p) { return p.empty() ? fs::path(".") : p; }

bool SameFolder(const fs::path& given, const fs::path& other) {
    const fs::path a = Folder(given), b = Folder(other);
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return UpperCaseAscii(PathText(fs::absolute(a).lexically_normal() / "")) ==
           UpperCaseAscii(PathText(fs::absolute(b).lexically_normal() / ""));
}

// Copies `from` into the folder under its own name, through a working name; false on failure
// (the working copy is removed, an earlier file of that name stays).
bool CopyInto(const fs::path& from, const fs::path& folder) {
    const fs::path to = folder / from.filename();
    const fs::path working = folder / (from.filename().string() + ".bk$");
    std::error_code ec;
    fs::copy_file(from, working, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(working, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(working, ignored);
        return false;
    }
    return true;
}

std::string NotSameFolderText() { return std::string("元ファイルと同じフォルダには\r\rバックアップできません！"_sj); }

}  // namespace

std::string BackupFolderTitle() { return std::string("バックアップ先のフォルダを指定して下さい。"_sj); }

std::vector<fs::path> StoreBackupFiles(const StoreFiles& files) {
    std::vector<fs::path> found;
    const std::string base = UpperCaseAscii(files.baseName()) + ".";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Folder(files.folder()), ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = UpperCaseAscii(entry.path().filename().string());
        if (name.size() <= base.size() || name.compare(0, base.size(), base) != 0) continue;
        if (name.substr(base.size()) == "CP$") continue;
        found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::uint64_t BackupRequiredBytes(const std::vector<fs::path>& files) {
    std::uint64_t total = 0;
    for (const fs::path& p : files) {
        std::error_code ec;
        const std::uint64_t size = fs::file_size(p, ec);
        if (ec) continue;
        // (size - 1) div 1024 × 1024 + 1024, as whole kilobytes; an empty file takes none.
        if (size > 0) total += (size - 1) / 1024 * 1024 + 1024;
    }
    return total;
}

BackupOutcome BackupStore(const StoreFiles& files, const fs::path& target, Prompter& prompter,
                          const FreeSpaceProbe& freeSpace) {
    if (SameFolder(target, files.folder())) {
        prompter.Warn(NotSameFolderText());
        return BackupOutcome::Refused;
    }
    const std::vector<fs::path> all = StoreBackupFiles(files);
    const std::uint64_t required = BackupRequiredBytes(all);
    const std::optional<std::uint64_t> free = freeSpace ? freeSpace(target) : FreeDiskSpace(target);
    if (required == 0 || (free && required > *free)) {
        if (free && *free > 0) {
            prompter.Warn("バックアップ先の容量が足りません！\r\r約 "_sj + std::to_string(required / 1000) +
                          "KB の空き容量が必要です！"_sj);
        }
        return BackupOutcome::Refused;
    }
    std::error_code ec;
    if (fs::exists(target / files.IndexPath().filename(), ec) &&
        prompter.Confirm(std::string("バックアップ先に同名の棋譜ファイルがあります。\r\r上書きしてよろしいですか？"_sj), false,
                         true) != Answer::Yes) {
        return BackupOutcome::Cancelled;
    }
    for (const fs::path& p : all) {
        if (!CopyInto(p, target)) prompter.Warn("\"" + PathText(p.filename()) + "\"" + "のコピーに失敗しました！"_sj);
    }
    prompter.Inform(std::string("\r棋譜のバックアップが終わりました！"_sj));
    return BackupOutcome::Done;
}

BackupOutcome BackupDatFiles(const fs::path& datFolder, const fs::path& target, Prompter& prompter) {
    if (SameFolder(target, datFolder)) {
        prompter.Warn(NotSameFolderText());
        return BackupOutcome::Refused;
    }
    std::error_code ec;
    if (fs::exists(FindFileNoCase(target, "KSNAME.DAT"), ec) &&
        prompter.Confirm(std::string("バックアップ先に同名のＤＡＴファイルがあります。\r\r上書きしてよろしいですか？"_sj), false,
                         true) != Answer::Yes) {
        return BackupOutcome::Cancelled;
    }
    for (std::string_view name : {"KSNAME.DAT", "MOVRA.DAT", "SENKEI.DAT"}) {
        const fs::path from = FindFileNoCase(datFolder, name);
        if (!CopyInto(from, target)) prompter.Warn(std::string(name) + "のコピーに失敗しました！"_sj);
    }
    prompter.Inform(std::string("\rＤＡＴファイルのバックアップが終わりました！"_sj));
    return BackupOutcome::Done;
}

}  // namespace movra::maintenance
