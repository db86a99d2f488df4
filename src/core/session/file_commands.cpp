#include "core/session/file_commands.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <thread>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/master_data.h"
#include "core/store/record_file.h"
#include "core/text/sjis_text.h"
#include "core/textio/text_lines.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

// --- importing ------------------------------------------------------------------------------------

std::string ImportFilesQuestion(const std::vector<fs::path>& files) {
    const std::string subject = files.size() == 1
                                    ? PathText(files.front())
                                    : "選択された "_sj + std::to_string(files.size()) + "個の棋譜ファイル"_sj;
    return subject + " を"_sj + "\r" + "Movraプラス形式に変換して取り込みます。"_sj + "\r\r" +
           "よろしいですか？"_sj;
}

std::string ImportFolderQuestion(std::string_view folderText) {
    return std::string(folderText) + " 内の"_sj + "\r" + "棋譜ファイルをMovraプラス形式に変換して取り込みます。"_sj +
           "\r\r" + "よろしいですか？"_sj;
}

std::string ImportClipboardQuestion() {
    return "クリップボードの棋譜を\rMovraプラス形式に変換して取り込みます。\r\rよろしいですか？"_sj;
}

std::string ClipboardEmptyMessage() { return "\rクリップボードは空です。"_sj; }

std::string ImportWhileEditingMessage() { return "\r局面作成画面での棋譜インポートはできません。"_sj; }

std::vector<fs::path> FolderImportFiles(const fs::path& folder, bool subFolders,
                                        const StoreFiles* store) {
    return GameRecordFiles(folder, subFolders ? 1 : 0, store);
}

std::vector<std::string> ClipboardLines(std::string_view bytes) {
    TextLines text;
    MakeTextLines(bytes, fs::path(), text);
    std::vector<std::string> lines;
    lines.reserve(text.size());
    for (std::string_view line : text.lines) lines.emplace_back(line);
    return lines;
}

std::vector<std::vector<std::string>> SplitClipboardGames(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> games;
    const std::string sente{"▲"_sj};
    const std::string gote{"△"_sj};
    const std::string made{"まで"_sj};
    std::size_t i = 0;
    const std::size_t n = lines.size();
    while (i < n) {
        // The game's first line: the next line that is not blank.
        while (i < n && Trim(lines[i]).empty()) ++i;
        if (i >= n) break;
        const std::size_t first = i;
        std::size_t moves = first;
        while (moves < n && !sjis::Contains(lines[moves], sente) && !sjis::Contains(lines[moves], gote)) {
            ++moves;
        }
        std::size_t last = n - 1;
        if (moves < n) {
            for (std::size_t j = moves; j < n; ++j) {
                if (lines[j].empty() || sjis::Contains(lines[j], made)) {
                    last = j;
                    break;
                }
            }
        }
        std::vector<std::string> game;
        for (std::size_t j = first; j <= last; ++j) game.push_back(Trim(lines[j]));
        games.push_back(std::move(game));
        i = last + 1;
    }
    return games;
}

ImportSummary ImportClipboardGames(const std::vector<std::vector<std::string>>& games,
                                   const fs::path& temporaryFile, ImportContext& context) {
    ImportSummary summary;
    const std::string banner = "【 棋譜インポート中 】"_sj;
    const long total = long(games.size());
    long done = 0;
    for (const std::vector<std::string>& game : games) {
        if (IsRegularFile(temporaryFile)) {
            // The reader of the game before may still be letting go of the file.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        {
            std::ofstream out(temporaryFile, std::ios::binary | std::ios::trunc);
            for (const std::string& line : game) out << line << "\r\n";
            out.close();
            if (!out) throw StoreIoError("cannot write the clipboard's temporary file", temporaryFile);
        }
        if (context.progressLine) {
            char number[32];
            std::snprintf(number, sizeof number, "%5ld: ", summary.gamesStored + 1);
            context.progressLine(number + std::string("クリップボード"_sj));
        }
        context.prompter.Progress(banner, done, total);
        const FileImport one = ImportTextFile(temporaryFile, context);
        std::error_code ec;
        fs::remove(temporaryFile, ec);
        ++done;
        ++summary.filesRead;
        summary.gamesStored += one.stored;
        if (one.stored < 1) {
            summary.refused.push_back({temporaryFile, one.refusal});
            context.prompter.Inform(ImportFailedMessage(temporaryFile));
        }
    }
    EndImportRun(banner, total, summary, context.prompter);
    return summary;
}

// --- opening stores --------------------------------------------------------------------------------

std::optional<fs::path> DroppedStore(const fs::path& dropped) {
    if (!IsRegularFile(dropped)) return std::nullopt;
    const std::string e = UpperExtension(dropped);
    if (e == ".IPX") return dropped;
    if (e != ".IDX" && e != ".KIF" && e != ".KPF" && e != ".CP0") return std::nullopt;
    const fs::path folder = dropped.parent_path().empty() ? fs::path(".") : dropped.parent_path();
    const fs::path ipx = FindFileNoCase(folder, dropped.stem().string() + ".ipx");
    if (!IsRegularFile(ipx)) return std::nullopt;
    return ipx;
}

const std::vector<std::string>& DataCollectionNames() {
    static const std::vector<std::string> kNames{
        "Collections/Kisei.ipx",
        "Collections/Meijin.ipx",
        "Collections/Ryuou.ipx",
        "Collections/Oui.ipx",
    };
    return kNames;
}

std::vector<fs::path> DataCollectionStores(const fs::path& programFolder) {
    std::vector<fs::path> out;
    for (const std::string& name : DataCollectionNames()) {
        const fs::path folder = FindFileNoCase(programFolder, "Collections");
        const fs::path file = FindFileNoCase(folder, fs::path(name).filename().string());
        if (IsRegularFile(file)) out.push_back(file);
    }
    return out;
}

}  // namespace movra
