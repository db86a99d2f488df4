#include "core/maintenance/classic_conversion.h"

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/record/kif_data.h"
#include "core/maintenance/rewrite_support.h"
#include "core/store/comment_layout.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_journal.h"

namespace movra::maintenance {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string ConvertCaption() { return std::string("【 コンバート中 】"_sj); }

std::string ConvertQuestion(const fs::path& indexPath) {
    return PathText(indexPath) + " を"_sj + "\r" + "Movraプラス形式に変換します。"_sj + "\r\r" + "よろしいですか？"_sj;
}

std::string ConvertDoneText() { return std::string("\rMovraプラス形式への変換は正常に終わりました。"_sj); }

std::string NoClassicStoreText() { return std::string("\rMovra形式の棋譜ファイルが読み込まれていません。"_sj); }

namespace {

constexpr long kConvertProgressEvery = 100;

// The name the detail record keeps: the display name without its padding, at most 24 bytes (the
// field then keeps what fits of it).
std::string DetailName(const PlayerTable& players, int number) {
    return TrimFullWidth(PadOrCut(players.DisplayName(number), 24));
}

}  // namespace

Conversion ConvertToExtended(GameStore& store, const PlayerTable& players, Prompter& prompter, RecordWriter& layer) {
    Conversion result;
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStore(store.files.IndexPath(), count, prompter, layer);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(store.files.IndexPath()));
        return result;
    }
    if (check != StoreCheck::Classic) {
        prompter.Warn(check == StoreCheck::Extended ? NoClassicStoreText() : BrokenStoreMessage(store.files.IndexPath()));
        return result;
    }
    const StoreFiles& files = store.files;
    const StoreFiles working = BesideStore(files, "~cnv");
    const fs::path detailPath = files.Path(ext::kTempDetail);
    const fs::path infoPath = files.Path(ext::kTempMoveInfo);
    const fs::path commentPath = working.Path(ext::CommentFile(0));
    const auto removeWorking = [&] {
        for (const fs::path& p : {detailPath, infoPath, commentPath}) {
            std::error_code ec;
            if (!fs::exists(p, ec)) continue;
            try {
                layer.Remove(p);
            } catch (...) {
                return;
            }
        }
    };
    const std::string caption = ConvertCaption();
    try {
        LayeredBlockWriter comments(layer);
        comments.Create(commentPath, kCommentRecordSize, 1);
        const CommentBitmap bitmap = CommentBitmap::Fresh();
        comments.Append(bitmap.bytes.data());
        comments.Finish();

        LayeredBlockWriter details(layer), infos(layer);
        details.Create(detailPath, kDetailRecordSize, 1024);
        infos.Create(infoPath, kMoveInfoRecordSize, 256);
        RecordBlockReader index, gameData;
        if (!OpenIndexReader(store, index, 4096) || !OpenGameDataReader(store, gameData, 1024)) {
            throw StoreIoError("cannot open", files.IndexPath());
        }
        SilentPrompter quiet;
        TKifData record;
        MoveBytes moves, refilled;
        MoveInfo info;
        DetailRecord detail;
        const std::uint8_t* indexBlock = nullptr;
        const std::uint8_t* movesBlock = nullptr;
        std::size_t indexLeft = 0, movesLeft = 0;
        prompter.Progress(caption, 0, long(count));
        for (std::uint32_t k = 1; k <= count; ++k) {
            if (indexLeft == 0 && (indexLeft = index.Next(indexBlock)) == 0) throw StoreIoError("cannot read", files.IndexPath());
            if (movesLeft == 0 && (movesLeft = gameData.Next(movesBlock)) == 0) {
                throw StoreIoError("cannot read", files.Path(ext::kGameData));
            }
            const IndexRecord ix = IndexRecord::FromBytes(indexBlock);
            std::copy(movesBlock, movesBlock + kGameDataRecordSize, moves.bytes.begin());
            std::fill(moves.bytes.begin() + kGameDataRecordSize, moves.bytes.end(), std::uint8_t(0));
            indexBlock += kIndexRecordSize;
            movesBlock += kGameDataRecordSize;
            --indexLeft;
            --movesLeft;

            // The game as the main window would load it (slots 1-256), then its move info made as
            // saving a game makes it.
            if (LoadGameMoves(moves, nullptr, ix.handicap(), false, 0, record, quiet).damaged) ++result.damaged;
            FillMoveBuffers(record, refilled, info);
            if (ix.handicap() != 0) info.setEntry(0, MoveInfoEntry{});
            std::fill(info.bytes.begin() + kMoveInfoRecordSize, info.bytes.end(), std::uint8_t(0));

            detail = DetailRecord{};
            detail.setSenteName(DetailName(players, ix.sentePlayer()));
            detail.setGoteName(DetailName(players, ix.gotePlayer()));
            detail.CopyIndexWords(ix);
            detail.setMoveCount(std::uint16_t(record.moveCount));
            details.Append(detail.bytes.data());
            infos.Append(info.firstRecord());
            if (k % kConvertProgressEvery == 0 && !prompter.Progress(caption, long(k), long(count))) throw Stopped{};
        }
        details.Finish();
        infos.Finish();
    } catch (const Stopped&) {
        removeWorking();
        prompter.EndProgress();
        return result;
    } catch (...) {
        removeWorking();
        prompter.EndProgress();
        throw;
    }
    prompter.EndProgress();
    // Comment file 0 first and the move-info file last: the store reads as extended only once
    // all three are in, and the journal completes or takes back the three together.
    StoreReplacement plan;
    const StoreFiles aside = BesideStore(files, "~old");
    plan.files.push_back({commentPath, files.Path(ext::CommentFile(0)), aside.Path(ext::CommentFile(0)), {}, {}});
    plan.files.push_back({detailPath, files.Path(ext::kDetail), files.Path(ext::kOldDetail), {}, "RenameError! No.03"});
    plan.files.push_back({infoPath, files.Path(ext::kMoveInfo), files.Path(ext::kOldMoveInfo), {}, "RenameError! No.04"});
    for (int f = 1; f < kCommentFileCount; ++f) {
        if (files.Exists(ext::CommentFile(f))) plan.removals.push_back(files.Path(ext::CommentFile(f)));
    }
    if (!ReplaceStoreFiles(files, plan, prompter, layer)) {
        removeWorking();
        return result;
    }
    store.kind = StoreKind::Extended;
    store.recordCount = count;
    result.ok = true;
    result.games = count;
    return result;
}

}  // namespace movra::maintenance
