#include "core/store/store_appender.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "core/store/store_journal.h"

#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

bool IsCommentFileNumber(int f) { return f >= 0 && f < kCommentFileCount; }

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Putting back after a failed commit tries the session's layer, then the files directly: the
// layer is how the commit's writes reach the disk, and it may be what failed.
class PutBackWriter : public RecordWriter {
public:
    explicit PutBackWriter(RecordWriter& layer) : layer_(layer) {}
    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
               std::size_t size) override {
        return layer_.Write(file, offset, bytes, size) || RecordWriter::Write(file, offset, bytes, size);
    }
    bool Truncate(RecordFile& file, std::uint64_t size) override {
        return layer_.Truncate(file, size) || RecordWriter::Truncate(file, size);
    }
    bool Remove(const fs::path& path) override {
        return layer_.Remove(path) || RecordWriter::Remove(path);
    }
    bool SyncFolder(const fs::path& folder) override {
        return layer_.SyncFolder(folder) || RecordWriter::SyncFolder(folder);
    }

private:
    RecordWriter& layer_;
};

}  // namespace

StoreAppender::StoreAppender(const GameStore& store, Prompter& prompter, RecordWriter& writer)
    : store_(store), prompter_(prompter), writer_(writer), comments_(kCommentFileCount) {}

StoreAppender::~StoreAppender() = default;

// --- files --------------------------------------------------------------------------------------

BufferedRecordFile& StoreAppender::Required(BufferedRecordFile& file, std::string_view extension,
                                            std::size_t recordSize) {
    if (!file.isOpen() &&
        !file.Open(store_.files.Path(extension), recordSize, RecordFile::Access::ReadWrite, writer_)) {
        throw StoreIoError("cannot open", store_.files.Path(extension));
    }
    return file;
}

BufferedRecordFile* StoreAppender::Optional(BufferedRecordFile& file, std::string_view extension,
                                            std::size_t recordSize, RecordFile::Access access) {
    if (file.isOpen()) return &file;
    return file.Open(store_.files.Path(extension), recordSize, access, writer_) ? &file : nullptr;
}

bool StoreAppender::OpenOrMake(BufferedRecordFile& file, const fs::path& path,
                               std::size_t recordSize) {
    if (file.isOpen()) return true;
    const bool existed = IsFile(path);
    if (!file.Open(path, recordSize, RecordFile::Access::ReadWriteCreate, writer_)) return false;
    if (!existed) made_.push_back(path);
    return true;
}

BufferedRecordFile* StoreAppender::OverflowGameData(bool create) {
    if (!create) {
        return Optional(overflowGameData_, ext::kOverflowGameData, kGameDataRecordSize,
                        RecordFile::Access::ReadWrite);
    }
    return OpenOrMake(overflowGameData_, store_.files.Path(ext::kOverflowGameData),
                      kGameDataRecordSize)
               ? &overflowGameData_
               : nullptr;
}

BufferedRecordFile* StoreAppender::MoveInfoOverflow() {
    return Optional(moveInfoOverflow_, ext::kMoveInfoOverflow, kMoveInfoRecordSize,
                    RecordFile::Access::ReadWrite);
}

void StoreAppender::Put(BufferedRecordFile& file, std::uint64_t record, const std::uint8_t* bytes) {
    file.Put(record, bytes);
    pendingBytes_ += file.recordSize();
    pending_ = true;
}

std::uint32_t StoreAppender::gameCount() {
    return std::uint32_t(Required(gameData_, ext::kGameData, kGameDataRecordSize).RecordCount());
}

// --- overflow numbers -------------------------------------------------------------------------------

OverflowBitmap* StoreAppender::LoadOverflowBitmap() {
    if (overflowBitmap_) return overflowBitmap_.get();
    BufferedRecordFile* file = MoveInfoOverflow();
    if (file == nullptr) {
        // A bitmap file that is there but cannot be opened for writing is a write failure, not
        // a full bitmap.
        if (IsFile(store_.files.Path(ext::kMoveInfoOverflow))) {
            throw StoreIoError("cannot open", store_.files.Path(ext::kMoveInfoOverflow));
        }
        return nullptr;
    }
    overflowBitmap_ = std::make_unique<OverflowBitmap>();
    if (file->BytesHeld(0) == 0) {
        // Made and never written (a process stopped right after making it): every number free.
        overflowBitmapDirty_ = true;
        pending_ = true;
        return overflowBitmap_.get();
    }
    if (file->BytesHeld(0) < kOverflowBitmapSize) {
        overflowBitmap_.reset();
        return nullptr;
    }
    const std::uint8_t* bytes = file->Read(0);
    std::copy(bytes, bytes + kOverflowBitmapSize, overflowBitmap_->bytes.begin());
    return overflowBitmap_.get();
}

int StoreAppender::AllocateOverflowNumber() {
    const fs::path bitmapPath = store_.files.Path(ext::kMoveInfoOverflow);
    if (MoveInfoOverflow() == nullptr && !IsFile(bitmapPath)) {
        // The first number of the store: the bitmap file is made with every number free, its
        // bitmap written with the commit. The overflow game-data file may already hold records
        // (games copied from another store): it is only made when missing, never emptied.
        if (!OpenOrMake(moveInfoOverflow_, bitmapPath, kMoveInfoRecordSize)) {
            throw StoreIoError("cannot create", bitmapPath);
        }
        if (OverflowGameData(true) == nullptr) {
            throw StoreIoError("cannot create", store_.files.Path(ext::kOverflowGameData));
        }
    }
    OverflowBitmap* bitmap = LoadOverflowBitmap();
    if (bitmap == nullptr) {
        prompter_.Warn("\r棋譜ファイルが壊れています。[GetChainNo]\r\r"_sj + "\"" +
                       bitmapPath.string() + "\"");
        return 0;
    }
    const int n = bitmap->FirstFree();
    if (n == 0) return 0;
    bitmap->Set(n);
    overflowBitmapDirty_ = true;
    pending_ = true;
    return n;
}

bool StoreAppender::ReleaseOverflowNumber(int n) {
    if (!IsOverflowNumber(n)) return false;
    OverflowBitmap* bitmap = LoadOverflowBitmap();
    if (bitmap == nullptr) return false;
    bitmap->Clear(n);
    overflowBitmapDirty_ = true;
    pending_ = true;
    return true;
}

// --- the two halves of a game ---------------------------------------------------------------------

WrittenGame StoreAppender::WriteGame(IndexRecord& index, const MoveBytes& moves, long k,
                                     bool keepMoves) {
    BufferedRecordFile& indexFile = Required(index_, ext::kIndex, kIndexRecordSize);
    BufferedRecordFile& gameData = Required(gameData_, ext::kGameData, kGameDataRecordSize);
    const std::uint64_t c = gameData.RecordCount();
    const bool append = k < 0 || std::uint64_t(k) == c + 1;
    if (!append && (k == 0 || std::uint64_t(k) > c)) return WrittenGame{};
    if (append && c + 1 > 0xFFFFFFFFull) return WrittenGame{};
    if (append) k = long(c + 1);
    const bool writeMoves = append || !keepMoves;

    // The overflow part is settled before anything of the game is kept, so that a file that
    // cannot be made leaves no part of the game pending.
    int number = index.overflowNumber();
    BufferedRecordFile* overflow = nullptr;
    bool zeroOld = false;
    if (writeMoves && store_.extended()) {
        if (!IsOverflowNumber(number)) number = 0;
        const bool reachesOverflow = moves.usesOverflow();
        if (number != 0 && !reachesOverflow) {
            ReleaseOverflowNumber(number);
            overflow = OverflowGameData(true);
            zeroOld = overflow != nullptr;
        } else if (number == 0 && reachesOverflow) {
            number = AllocateOverflowNumber();
        }
        if (number != 0 && reachesOverflow) {
            overflow = OverflowGameData(true);
            if (overflow == nullptr) {
                throw StoreIoError("cannot open", store_.files.Path(ext::kOverflowGameData));
            }
        }
    }

    const bool cut = writeMoves && store_.extended() && moves.usesOverflow() && number == 0;

    if (append) {
        // The count follows the game-data file, whatever the header said before.
        StoreHeader header;
        header.SetGameCount(std::uint32_t(k));
        Put(indexFile, 0, header.bytes.data());
        ++pendingGames_;
    }
    if (writeMoves) {
        Put(gameData, std::uint64_t(k - 1), moves.firstRecord());
        if (store_.extended()) {
            if (zeroOld) {
                const std::array<std::uint8_t, kGameDataRecordSize> zeros{};
                Put(*overflow, std::uint64_t(index.overflowNumber() - 1), zeros.data());
                number = 0;
            } else if (number != 0 && moves.usesOverflow()) {
                Put(*overflow, std::uint64_t(number - 1), moves.overflowRecord());
            } else {
                number = 0;
            }
            index.setOverflowNumber(std::uint16_t(number));
        }
    }
    Put(indexFile, std::uint64_t(k), index.bytes.data());
    if (cut) {
        // No overflow number to be had: the game keeps its first 256 slots, and the user is told.
        ++cutGames_;
        prompter_.Warn(LongGameCutMessage(std::uint32_t(k)));
    }
    return WrittenGame{true, std::uint32_t(k)};
}

WrittenGame StoreAppender::WriteGameDetail(const DetailRecord& detail, const MoveInfo& info,
                                           long k, bool keepMoves) {
    BufferedRecordFile& detailFile = Required(detail_, ext::kDetail, kDetailRecordSize);
    BufferedRecordFile& moveInfo = Required(moveInfo_, ext::kMoveInfo, kMoveInfoRecordSize);
    const std::uint64_t c = moveInfo.RecordCount();
    const bool append = k < 0 || std::uint64_t(k) == c + 1;
    if (!append && (k == 0 || std::uint64_t(k) > c)) return WrittenGame{};
    if (append) k = long(c + 1);

    Put(detailFile, std::uint64_t(k - 1), detail.bytes.data());
    if (append || !keepMoves) {
        Put(moveInfo, std::uint64_t(k - 1), info.firstRecord());
        const int number = detail.overflowNumber();
        // The file exists whenever a number has been handed out (it holds the bitmap).
        BufferedRecordFile* overflow = IsOverflowNumber(number) ? MoveInfoOverflow() : nullptr;
        if (overflow != nullptr) {
            const std::array<std::uint8_t, kMoveInfoRecordSize> zeros{};
            Put(*overflow, std::uint64_t(number),
                info.usesOverflow() ? info.overflowRecord() : zeros.data());
        }
    }
    return WrittenGame{true, std::uint32_t(k)};
}

// --- comments ------------------------------------------------------------------------------------------

StoreAppender::CommentFileState* StoreAppender::CommentFile(int f, bool create) {
    CommentFileState& state = comments_[std::size_t(f)];
    if (!state.file.isOpen()) {
        const fs::path path = store_.files.Path(ext::CommentFile(f));
        const bool opened =
            create ? OpenOrMake(state.file, path, kCommentRecordSize)
                   : state.file.Open(path, kCommentRecordSize, RecordFile::Access::ReadWrite,
                                     writer_);
        if (!opened) return nullptr;
        state.bitmap.reset();
    }
    if (create && state.file.BytesHeld(0) < kCommentRecordSize && !state.dirty &&
        state.file.pendingBytes() == 0) {
        // A comment file made (or found empty) gets its bitmap with the next commit.
        const CommentBitmap fresh = CommentBitmap::Fresh();
        state.file.Put(0, fresh.bytes.data());
        pending_ = true;
        state.bitmap.reset();
    }
    if (!state.bitmap) {
        // Releasing needs a bitmap to clear bits in; a file without one has nothing to free.
        if (!create && state.file.BytesHeld(0) == 0) return nullptr;
        state.bitmap = std::make_unique<CommentBitmap>();
        const std::uint8_t* bytes = state.file.Read(0);
        std::copy(bytes, bytes + kCommentRecordSize, state.bitmap->bytes.begin());
        state.firstMaybeFree = 1;
        state.dirty = false;
    }
    return &state;
}

int StoreAppender::FindFreeComment(CommentFileState& state) {
    // The same number CommentBitmap::FirstFree gives, without scanning the numbers below the
    // lowest that can be free: a run hands out tens of thousands in a row.
    int n = state.firstMaybeFree;
    while (n <= kMaxCommentNumber && state.bitmap->InUse(n)) ++n;
    state.firstMaybeFree = n;
    return n <= kMaxCommentNumber ? n : 0;
}

void StoreAppender::WriteSlot(CommentFileState& state, int number, std::string_view text) {
    const CommentPlace place = PlaceOfComment(number);
    std::uint8_t* record = state.file.Modify(place.record);
    TextToCommentSlot(record + place.offset, text);
    pendingBytes_ += kCommentSlotSize;
    pending_ = true;
}

CommentWriteResult StoreAppender::FreeCommentNumber() {
    for (int f = 0; f < kCommentFileCount; ++f) {
        CommentFileState* state = CommentFile(f, true);
        if (state == nullptr) return CommentWriteResult{f, 0, false, true};
        const int n = FindFreeComment(*state);
        if (n != 0) return CommentWriteResult{f, n, false, false};
    }
    return CommentWriteResult{0, 0, true, false};
}

CommentWriteResult StoreAppender::AddComment(std::string_view text) {
    const CommentWriteResult chosen = FreeCommentNumber();
    if (chosen.number == 0) return chosen;
    CommentFileState& state = comments_[std::size_t(chosen.file)];
    state.bitmap->Set(chosen.number);
    state.firstMaybeFree = chosen.number + 1;
    state.dirty = true;
    WriteSlot(state, chosen.number, text);
    return chosen;
}

bool StoreAppender::WriteCommentText(int file, int number, std::string_view text) {
    if (!IsCommentFileNumber(file) || number < 1 || number > kMaxCommentNumber) return false;
    CommentFileState* state = CommentFile(file, true);
    if (state == nullptr) return false;
    WriteSlot(*state, number, text);
    return true;
}

CommentWriteResult StoreAppender::AddGameComment(int move, int moveCount, int handicapNumber,
                                                 std::string_view text, DetailRecord& detail,
                                                 MoveInfo& info) {
    enum class Place { None, Opening, Move, Closing } place = Place::None;
    int entry = 0;
    if (move == 0) {
        place = Place::Opening;
    } else if (move >= 1 && move <= moveCount) {
        entry = MoveInfoEntryOfMove(move, handicapNumber);
        if (entry < kMoveInfoEntries) place = Place::Move;
    } else if (move == moveCount + 1 && move <= kMaxMoves) {
        // The move record after the last move exists only while the game is shorter than 512.
        place = Place::Closing;
    }
    if (place == Place::None) return CommentWriteResult{};
    const CommentWriteResult written = AddComment(text);
    if (written.number == 0) return written;
    const auto f = std::uint8_t(written.file);
    const auto n = std::uint16_t(written.number);
    switch (place) {
        case Place::Opening: detail.setOpeningComment(f, n); break;
        case Place::Closing: detail.setClosingComment(f, n); break;
        default:
            info.setCommentFile(entry, f);
            info.setCommentNumber(entry, n);
            break;
    }
    return written;
}

int StoreAppender::ReleaseComments(std::span<const CommentRef> refs, bool& failed) {
    int released = 0;
    for (int f = 0; f < kCommentFileCount; ++f) {
        int count = 0;
        for (const CommentRef& r : refs) count += r.file == f && r.number > 0 ? 1 : 0;
        if (count == 0) continue;
        CommentFileState* state = CommentFile(f, false);
        if (state == nullptr) {
            failed = true;
            continue;
        }
        for (const CommentRef& r : refs) {
            if (r.file != f || r.number <= 0) continue;
            state->bitmap->Clear(r.number);
            state->firstMaybeFree = std::max(1, std::min(state->firstMaybeFree, r.number));
        }
        state->dirty = true;
        pending_ = true;
        released += count;
    }
    return released;
}

// --- a whole game -----------------------------------------------------------------------------------

StoreAppender::AppendedGame StoreAppender::AppendGame(IndexRecord& index, const MoveBytes& moves,
                                                      DetailRecord& detail, MoveInfo& info,
                                                      int moveCount, int handicapNumber,
                                                      std::span<GameComment> comments) {
    AppendedGame result;
    try {
        // Every file the game needs is opened first: a file that cannot be opened then stops
        // the game before any of it is kept.
        Required(index_, ext::kIndex, kIndexRecordSize);
        Required(gameData_, ext::kGameData, kGameDataRecordSize);
        if (store_.extended()) {
            Required(detail_, ext::kDetail, kDetailRecordSize);
            Required(moveInfo_, ext::kMoveInfo, kMoveInfoRecordSize);
        }
        result.written = WriteGame(index, moves, kAppendGame, false);
        if (!result.written.ok || !store_.extended()) return result;
        for (GameComment& c : comments) {
            const CommentWriteResult stored =
                AddGameComment(c.move, moveCount, handicapNumber, c.text, detail, info);
            if (stored.limitReached) result.commentLimitReached = true;
            if (stored.failed) throw StoreIoError("cannot write", store_.files.Path(ext::CommentFile(stored.file)));
            c.stored = CommentRef{stored.file, stored.number};
        }
        detail.CopyIndexWords(index);
        WriteGameDetail(detail, info, kAppendGame, false);
    } catch (...) {
        // Whatever stopped the game, no part of it may stay pending.
        Abandon();
        throw;
    }
    return result;
}

// --- committing ----------------------------------------------------------------------------------------

bool StoreAppender::CommitDue() const {
    return pendingGames_ >= kCommitGames || pendingBytes_ >= kCommitBytes;
}

void StoreAppender::Flush(BufferedRecordFile& file, std::uint64_t first, std::uint64_t last) {
    if (!file.Flush(writer_, first, last)) throw StoreIoError("cannot write", file.path());
}

std::vector<BufferedRecordFile*> StoreAppender::Files() {
    std::vector<BufferedRecordFile*> all{&gameData_, &moveInfoOverflow_, &overflowGameData_,
                                         &index_, &detail_, &moveInfo_};
    for (CommentFileState& c : comments_) all.push_back(&c.file);
    return all;
}

void StoreAppender::CommitWrites() {
    if (overflowBitmapDirty_) {
        if (BufferedRecordFile* file = MoveInfoOverflow()) file->Put(0, overflowBitmap_->bytes.data());
    }
    for (CommentFileState& c : comments_) {
        if (c.dirty) c.file.Put(0, c.bitmap->bytes.data());
    }
    // The journal first: what each file holds where the commit writes, and its length. A
    // process stopped anywhere below leaves it, and opening the store takes the commit back.
    if (HasStoreJournal(store_.files)) {
        throw StoreIoError("an unfinished change of the store is pending", store_.files.Path(ext::kJournal));
    }
    std::vector<FileUndo> undo;
    std::vector<BufferedRecordFile*> written;
    for (BufferedRecordFile* f : Files()) {
        if (!f->isOpen() || !f->hasPending()) continue;
        const bool made = std::find(made_.begin(), made_.end(), f->path()) != made_.end();
        undo.push_back(FileUndo{f->path(), !made, f->settledBytes(), f->PendingOldRecords()});
        written.push_back(f);
    }
    if (!WriteUndoJournal(store_.files, undo, writer_)) {
        throw StoreIoError("cannot write", store_.files.Path(ext::kJournal));
    }
    journal_ = true;
    Flush(gameData_);
    Flush(moveInfoOverflow_, 0, 1);
    Flush(overflowGameData_);
    Flush(index_, 1);
    for (CommentFileState& c : comments_) Flush(c.file);
    Flush(detail_);
    Flush(moveInfo_);
    Flush(moveInfoOverflow_, 1);
    // Everything but the count on the disk before the count that makes the games part of the store.
    for (BufferedRecordFile* f : written) {
        if (!writer_.Sync(f->file())) throw StoreIoError("cannot write", f->path());
    }
    if (index_.isOpen()) {
        Flush(index_, 0, 1);
        if (!writer_.Sync(index_.file())) throw StoreIoError("cannot write", index_.path());
    }
    if (!made_.empty()) writer_.SyncFolder(store_.files.folder());
    if (!RemoveStoreJournal(store_.files, writer_)) {
        throw StoreIoError("cannot remove", store_.files.Path(ext::kJournal));
    }
    journal_ = false;
}

void StoreAppender::Settle() {
    for (BufferedRecordFile* f : {&gameData_, &moveInfoOverflow_, &overflowGameData_, &index_,
                                  &detail_, &moveInfo_}) {
        f->Settle();
    }
    for (CommentFileState& c : comments_) {
        c.file.Settle();
        c.dirty = false;
    }
    overflowBitmapDirty_ = false;
    made_.clear();
    pendingGames_ = 0;
    pendingBytes_ = 0;
    pending_ = false;
}

void StoreAppender::Commit() {
    if (!pending_) {
        made_.clear();  // a file made with nothing else to write is part of the store now
        return;
    }
    try {
        CommitWrites();
    } catch (...) {
        Abandon();
        throw;
    }
    Settle();
}

void StoreAppender::Abandon() {
    // Whatever cannot be put back the journal puts back when the store is opened next.
    PutBackWriter direct(writer_);
    // The header first, so that the count never names a game that is being taken back.
    bool back = index_.Undo(direct);
    for (BufferedRecordFile* f : {&moveInfoOverflow_, &moveInfo_, &detail_}) back = f->Undo(direct) && back;
    for (CommentFileState& c : comments_) {
        back = c.file.Undo(direct) && back;
        c.bitmap.reset();
        c.dirty = false;
    }
    back = overflowGameData_.Undo(direct) && back;
    back = gameData_.Undo(direct) && back;
    overflowBitmap_.reset();
    overflowBitmapDirty_ = false;
    // Files made for the games taken back go again: the store has the files it had.
    for (const fs::path& path : made_) {
        for (BufferedRecordFile* f : {&overflowGameData_, &moveInfoOverflow_}) {
            if (f->isOpen() && f->path() == path) f->Close();
        }
        for (CommentFileState& c : comments_) {
            if (c.file.isOpen() && c.file.path() == path) c.file.Close();
        }
        if (IsFile(path)) back = direct.Remove(path) && back;
    }
    // The journal goes once everything is back; otherwise opening the store puts it back.
    if (journal_ && back && RemoveStoreJournal(store_.files, direct)) journal_ = false;
    made_.clear();
    pendingGames_ = 0;
    pendingBytes_ = 0;
    pending_ = false;
}

std::string LongGameCutMessage(std::uint32_t recordNumber) {
    return "\r延長番号に空きがないため、"_sj + std::to_string(recordNumber) +
           "番目の棋譜は257手目以降が保存されませんでした。"_sj;
}

}  // namespace movra
