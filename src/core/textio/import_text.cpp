#include "textio/import_text.h"

#include <algorithm>
#include <cstdio>

#include "record/cp932.h"
#include "record/sjis_literal.h"
#include "store/comments.h"
#include "store/game_io.h"
#include "textio/apply_coded_moves.h"
#include "textio/coded_file_reader.h"
#include "textio/flavour.h"
#include "textio/kakinoki_reader.h"
#include "textio/ki2_reader.h"
#include "textio/morita_reader.h"
#include "textio/text_lines.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

std::string UpperExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return ext;
}

// A path as the messages show it: CP932, whatever the file system spells names with.
std::string PathText(const fs::path& path) {
    const std::string bytes = path.string();
    return IsValidUtf8(bytes) ? Utf8ToCp932(bytes) : bytes;
}

std::string Describe(const char* what, const std::string& detail) {
    return detail.empty() ? std::string(what) : std::string(what) + ": " + detail;
}

// The comments of a game as the temporary comment area would hold them: its 255 slots taken in
// the order the reader found the comments (a comment beyond them is not kept), each text as a
// slot keeps it (256 bytes, up to its first zero byte), then stored in move order.
void ImportedComments(const ReadGame& game, int moveCount,
                      std::vector<std::array<std::uint8_t, kCommentSlotSize>>& texts,
                      std::vector<StoreAppender::GameComment>& out) {
    out.clear();
    texts.clear();
    const int last = moveCount + 1;
    for (const MoveComment& c : game.comments) {
        if (c.move < 0 || c.move > last || c.move > kMaxMoves) continue;
        if (out.size() == static_cast<std::size_t>(kWorkingSlotCount)) break;
        texts.emplace_back();
        TextToCommentSlot(texts.back().data(), c.text);
        out.push_back({c.move, {}, {}});
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* slot = texts[i].data();
        std::size_t n = 0;
        while (n < kCommentSlotSize && slot[n] != 0) ++n;
        out[i].text = std::string_view(reinterpret_cast<const char*>(slot), n);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const StoreAppender::GameComment& a, const StoreAppender::GameComment& b) {
                         return a.move < b.move;
                     });
}

// Reads a file and stores its games through the session; a store that cannot be written raises
// StoreIoError (the session is then back at its last commit).
FileImport ImportTextFileInto(const fs::path& path, ImportContext& context, StoreAppender& appender);

}  // namespace

ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context,
                          StoreAppender& appender) {
    TKifData& record = context.record;
    const ImportFields& fields = game.fields;
    record.ClearMoves();
    record.ResetHeader(HandicapNumberOfChar(fields.handicap));
    record.SetUpStandard();

    AppliedMoves applied;
    if (ReadStatus s = ApplyCodedMoves(game.coded, record, applied); !s.ok()) return s;
    for (int m = 1; m <= record.moveCount; ++m) {
        record.moves[static_cast<std::size_t>(m)].consumedTime =
            game.consumedTimes[static_cast<std::size_t>(m)];
    }

    IndexRecord index;
    DetailRecord detail;
    // The time of the end line is the closing time, unless the game goes on past what the
    // store holds.
    const int limit = record.handicap != '0' ? kMaxMoves - 1 : kMaxMoves;
    const bool whole = !applied.truncated && record.moveCount <= limit;
    const std::uint16_t closing =
        whole ? game.consumedTimes[static_cast<std::size_t>(record.moveCount + 1)] : 0;
    MakeImportedHeader(fields, applied, closing, context.masters, record, index, detail);
    SetAllowedTimes(fields, withBreaks, detail);

    MoveBytes moves;
    MoveInfo info;
    const int encoded = FillMoveBuffers(record, moves, info);
    if (encoded != record.moveCount) {
        return ReadStatus::Refuse("move " + std::to_string(encoded + 1) +
                                  " is one the store cannot keep");
    }
    // The store's part: the game appended with its comments and consumed times.
    std::vector<std::array<std::uint8_t, kCommentSlotSize>> texts;
    std::vector<StoreAppender::GameComment> comments;
    if (context.store.extended()) ImportedComments(game, record.moveCount, texts, comments);
    const StoreAppender::AppendedGame appended =
        appender.AppendGame(index, moves, detail, info, record.moveCount,
                            std::max(0, HandicapNumber(record.handicap)), comments);
    if (!appended.written.ok) return ReadStatus::Refuse("the store did not take the game");
    context.store.recordCount = appended.written.recordNumber;
    for (const StoreAppender::GameComment& c : comments) {
        if (c.stored.number == 0) continue;
        MoveRecord& move = record.moves[static_cast<std::size_t>(c.move)];
        move.commentFile = static_cast<std::uint8_t>(c.stored.file);
        move.commentRecord = static_cast<std::uint16_t>(c.stored.number);
    }
    return ReadStatus::Ok();
}

ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context) {
    const std::uint32_t before = context.store.recordCount;
    StoreAppender appender(context.store, context.prompter);
    try {
        const ReadStatus status = StoreReadGame(game, withBreaks, context, appender);
        appender.Commit();
        return status;
    } catch (const StoreIoError& e) {
        context.store.recordCount = before;
        return ReadStatus::Refuse(Describe("the store could not be written", e.what()));
    }
}

FileImport ImportTextFile(const fs::path& path, ImportContext& context) {
    const std::uint32_t before = context.store.recordCount;
    StoreAppender appender(context.store, context.prompter);
    try {
        FileImport result = ImportTextFileInto(path, context, appender);
        appender.Commit();
        return result;
    } catch (const StoreIoError& e) {
        context.store.recordCount = before;
        return FileImport{0, Describe("the store could not be written", e.what())};
    }
}

namespace {

FileImport ImportTextFileInto(const fs::path& path, ImportContext& context, StoreAppender& appender) {
    FileImport result;
    TextLines lines;
    if (std::string why = LoadTextLines(path, lines); !why.empty()) {
        result.refusal = why;
        return result;
    }
    const std::string now = context.now.empty() ? NowText() : context.now;
    const std::string ext = UpperExtension(path);
    const TextFlavour flavour =
        ext == ".KI2" || ext == ".KI2U" ? TextFlavour::Ki2 : DetectFlavour(lines);

    ReadGame game;
    ReadStatus read;
    bool breaks = false;
    switch (flavour) {
        case TextFlavour::Kakinoki:
        case TextFlavour::Todai:
            read = ReadKakinoki(lines, now, game);
            breaks = true;
            break;
        case TextFlavour::Ki2:
            read = ReadKi2(lines, now, game);
            break;
        case TextFlavour::Morita:
            read = ReadMorita(lines, now, game);
            // Morita files carry no allowed time.
            game.fields.senteHours.clear();
            game.fields.senteMinutes.clear();
            game.fields.goteHours.clear();
            game.fields.goteMinutes.clear();
            break;
        case TextFlavour::CodedFile: {
            int ordinal = 0;
            ReadCodedFile(lines, now, [&](ReadGame& g) {
                ++ordinal;
                const ReadStatus s = StoreReadGame(g, false, context, appender);
                if (s.ok()) {
                    ++result.stored;
                } else {
                    context.prompter.Warn("棋譜変換エラー！No."_sj + std::to_string(result.stored + 1) +
                                          "\r\r" + g.fields.senteName + " x " + g.fields.goteName);
                    if (result.refusal.empty()) {
                        result.refusal = "game " + std::to_string(ordinal) + ": " + s.refusal;
                    }
                }
                return true;
            });
            if (ordinal == 0) result.refusal = "the coded file holds no game";
            return result;
        }
        case TextFlavour::Unreadable:
            result.refusal = "not a text game record (a line is not text)";
            return result;
        default:
            result.refusal = "not a game record this system reads";
            return result;
    }
    if (!read.ok()) {
        result.refusal = read.refusal;
        return result;
    }
    const ReadStatus stored = StoreReadGame(game, breaks, context, appender);
    if (!stored.ok()) {
        result.refusal = stored.refusal;
        return result;
    }
    result.stored = 1;
    return result;
}

}  // namespace

std::string ImportFailedMessage(const fs::path& path) {
    return "棋譜のインポートに失敗しました。\r\r( "_sj + PathText(path) + " )";
}

std::string ImportedCountMessage(long count) {
    return "\r" + std::to_string(count) + "件の棋譜をインポートしました。"_sj;
}

std::string NothingImportedMessage() { return std::string("\r棋譜はインポートされませんでした。"_sj); }

ImportSummary ImportFiles(const std::vector<fs::path>& files, ImportContext& context) {
    ImportSummary summary;
    context.record.SaveState(2);
    const std::string banner = "【 棋譜インポート中 】"_sj;
    long ordinal = 0;
    const long total = static_cast<long>(files.size());
    for (const fs::path& path : files) {
        ++ordinal;
        if (context.progressLine) {
            char number[32];
            std::snprintf(number, sizeof number, "%*ld: ", context.progressDigits, ordinal);
            context.progressLine(number + PathText(path.filename()));
        }
        context.prompter.Progress(banner, ordinal - 1, total);
        const FileImport one = ImportTextFile(path, context);
        ++summary.filesRead;
        summary.gamesStored += one.stored;
        if (one.stored < 1) {
            summary.refused.push_back({path, one.refusal});
            context.prompter.Inform(ImportFailedMessage(path));
        }
    }
    context.prompter.Progress(banner, total, total);
    if (summary.gamesStored < 1) {
        context.record.RestoreState(2);
        context.prompter.Inform(NothingImportedMessage());
    } else {
        context.prompter.Inform(ImportedCountMessage(summary.gamesStored));
    }
    return summary;
}

std::vector<fs::path> GameRecordFiles(const fs::path& folder, int levels, const StoreFiles* store) {
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    std::error_code ec;
    const fs::path ownData =
        store != nullptr && !store->empty() ? store->Path(ext::kGameData) : fs::path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            // A linked folder may lead back to where the search came from.
            if (!it->is_symlink(typeError)) folders.push_back(it->path());
            continue;
        }
        const std::string ext = UpperExtension(it->path());
        if (ext != ".KIF" && ext != ".KI2" && ext != ".KIFU" && ext != ".KI2U") continue;
        if (!ownData.empty()) {
            std::error_code same;
            if (fs::equivalent(it->path(), ownData, same)) continue;
        }
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    if (levels != 0) {
        std::sort(folders.begin(), folders.end());
        for (const fs::path& sub : folders) {
            std::vector<fs::path> inner = GameRecordFiles(sub, levels < 0 ? levels : levels - 1, store);
            files.insert(files.end(), inner.begin(), inner.end());
        }
    }
    return files;
}

}  // namespace movra
