#include "store/store_copy.h"

#include <system_error>
#include <vector>

#include "record/sjis_literal.h"
#include "store/comments.h"
#include "store/layout.h"
#include "store/open_store.h"
#include "store/store_appender.h"

namespace movra {
using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kProgressEvery = 1000;

// The files a store made anew must not keep: overflow records and comments of the old games.
void RemoveLeftovers(const StoreFiles& files) {
    std::error_code ignored;
    fs::remove(files.Path(ext::kOverflowGameData), ignored);
    fs::remove(files.Path(ext::kMoveInfoOverflow), ignored);
    for (int f = 0; f < kCommentFileCount; ++f) fs::remove(files.Path(ext::CommentFile(f)), ignored);
}

// Stores `text` as a new comment in the target; the reference, or none when the text is empty or
// every comment file is full.
CommentRef CopyComment(StoreAppender& appender, const std::string& text, bool& limitReached) {
    if (text.empty()) return {};
    const CommentWriteResult r = appender.AddComment(text);
    if (r.failed) throw StoreIoError("cannot write", appender.store().files.Path(ext::CommentFile(r.file)));
    if (r.limitReached) limitReached = true;
    return CommentRef{r.file, r.number};
}

}  // namespace

std::string CopyProgressCaption() { return std::string("【 併 合 中 】"_sj); }

StoreCopyResult CopyGames(const GameStore& source, std::span<const std::uint32_t> games, const fs::path& target,
                          bool append, Prompter& prompter) {
    StoreCopyResult result;
    const StoreFiles targetFiles(target);
    const bool extended = source.extended();
    std::error_code same;
    if (fs::equivalent(targetFiles.IndexPath(), source.files.IndexPath(), same)) {
        result.error = "the target is the store itself: " + targetFiles.IndexPath().string();
        return result;
    }
    GameStore out;
    out.files = targetFiles;
    out.kind = source.kind;
    if (!append || !fs::exists(targetFiles.IndexPath())) {
        RemoveLeftovers(targetFiles);
        if (!CreateStoreFiles(targetFiles.IndexPath(), extended)) {
            result.error = "cannot create " + targetFiles.IndexPath().string();
            return result;
        }
    } else if (extended && !fs::exists(targetFiles.Path(ext::kDetail))) {
        result.error = "the target is not of the source's kind: " + targetFiles.IndexPath().string();
        return result;
    }

    const StoreReader reader(source);
    StoreAppender appender(out, prompter);
    const std::string caption = CopyProgressCaption();
    IndexRecord index;
    MoveBytes moves;
    DetailRecord detail;
    MoveInfo info;
    std::uint32_t done = 0;
    try {
        for (const std::uint32_t k : games) {
            if (!reader.ReadIndexRecord(k, index) || !reader.ReadGameData(long(k), index.overflowNumber(), moves)) {
                throw StoreIoError("cannot read game " + std::to_string(k) + " of", source.files.IndexPath());
            }
            const int sourceOverflow = index.overflowNumber();
            // The target hands out its own overflow number when the moves need one.
            index.setOverflowNumber(0);
            if (!extended) {
                if (!appender.WriteGame(index, moves, kAppendGame, false).ok) {
                    throw StoreIoError("cannot append to", out.files.IndexPath());
                }
            } else {
                if (!reader.ReadDetailRecord(long(k), detail)) detail = DetailRecord{};
                if (!reader.ReadMoveInfo(long(k), sourceOverflow, info)) info = MoveInfo{};
                // The texts are read before anything of the game is written.
                const std::string opening = ReadComment(source, detail.openingCommentFile(), detail.openingCommentNumber(), prompter);
                const std::string closing = ReadComment(source, detail.closingCommentFile(), detail.closingCommentNumber(), prompter);
                std::vector<std::pair<int, std::string>> moveComments;
                for (int e = 0; e < kMoveInfoEntries; ++e) {
                    if (info.commentNumber(e) != 0) {
                        moveComments.emplace_back(e, ReadComment(source, info.commentFile(e), info.commentNumber(e), prompter));
                    }
                }
                if (!appender.WriteGame(index, moves, kAppendGame, false).ok) {
                    throw StoreIoError("cannot append to", out.files.IndexPath());
                }
                const CommentRef o = CopyComment(appender, opening, result.commentLimitReached);
                detail.setOpeningComment(std::uint8_t(o.file), std::uint16_t(o.number));
                const CommentRef c = CopyComment(appender, closing, result.commentLimitReached);
                detail.setClosingComment(std::uint8_t(c.file), std::uint16_t(c.number));
                for (const auto& [e, text] : moveComments) {
                    const CommentRef m = CopyComment(appender, text, result.commentLimitReached);
                    info.setCommentFile(e, m.file);
                    info.setCommentNumber(e, std::uint16_t(m.number));
                }
                detail.CopyIndexWords(index);
                appender.WriteGameDetail(detail, info, kAppendGame, false);
            }
            ++done;
            if (appender.CommitDue()) {
                appender.Commit();
                result.copied = done;
            }
            if (done % kProgressEvery == 0) prompter.Progress(caption, long(done), long(games.size()));
        }
        appender.Commit();
        result.copied = done;
        result.ok = true;
    } catch (const StoreIoError& e) {
        appender.Abandon();
        result.error = e.what();
    }
    result.targetCount = appender.gameCount();
    if (result.commentLimitReached) prompter.Warn(CommentLimitText());
    return result;
}

StoreCopyResult CopyStore(const GameStore& source, const fs::path& target, bool append, Prompter& prompter) {
    std::vector<std::uint32_t> games(source.recordCount);
    for (std::uint32_t k = 1; k <= source.recordCount; ++k) games[k - 1] = k;
    return CopyGames(source, games, target, append, prompter);
}

StoreCopyResult CopyCatalogueGames(const GameStore& source, std::span<const GameHeader> catalogue, bool markedOnly,
                                   const fs::path& target, bool append, Prompter& prompter) {
    std::vector<std::uint32_t> games;
    games.reserve(catalogue.size());
    for (const GameHeader& h : catalogue) {
        if (!markedOnly || h.selectionMark == 1) games.push_back(h.recordNumber);
    }
    return CopyGames(source, games, target, append, prompter);
}

}  // namespace movra
