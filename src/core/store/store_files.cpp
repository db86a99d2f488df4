#include "core/store/store_files.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/store/comment_layout.h"
#include "core/store/store_appender.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace ext {
std::string CommentFile(int fileNumber) {
    std::string e = ".cp";
    e += kCommentFileLetters[std::size_t(fileNumber) & 0x0F];
    return e;
}
}  // namespace ext

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::string Quoted(const fs::path& p) { return "\"" + PathText(p) + "\""; }

std::string ReadErrorMessage(const fs::path& p) { return PathText(p) + " 読込エラー！"_sj; }
std::string WriteErrorMessage(const fs::path& p) { return PathText(p) + " 書込エラー！"_sj; }

}  // namespace

std::string BrokenStoreMessage(const fs::path& path) {
    return "\r棋譜ファイルが壊れています。\r\r"_sj + Quoted(path);
}

// --- the file set -----------------------------------------------------------------------------

StoreFiles::StoreFiles(const fs::path& anyFileOfTheSet) {
    folder_ = anyFileOfTheSet.parent_path();
    base_ = anyFileOfTheSet.has_extension() ? anyFileOfTheSet.stem().string()
                                            : anyFileOfTheSet.filename().string();
}

fs::path StoreFiles::Path(std::string_view extension) const {
    const std::string name = base_ + std::string(extension);
    const fs::path exact = folder_ / name;
    if (IsFile(exact)) return exact;
    std::error_code ec;
    const fs::path where = folder_.empty() ? fs::path(".") : folder_;
    for (fs::directory_iterator it(where, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringCase(candidate, name)) return folder_ / candidate;
    }
    return exact;
}

bool StoreFiles::Exists(std::string_view extension) const { return IsFile(Path(extension)); }

// --- header and index records -------------------------------------------------------------------

bool ReadGameCount(const GameStore& store, std::uint32_t& count) {
    RecordFile index;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read)) {
        return false;
    }
    StoreHeader header;
    if (index.Read(0, header.bytes.data()) != kIndexRecordSize) return false;
    count = header.GameCount(index.RecordCount());
    return true;
}

bool ReadIndexRecord(const GameStore& store, std::uint32_t k, IndexRecord& record) {
    return StoreReader(store).ReadIndexRecord(k, record);
}

bool WriteIndexRecord(const GameStore& store, std::uint32_t k, const IndexRecord& record) {
    if (k == 0) return false;
    RecordFile index;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::ReadWrite)) {
        throw StoreIoError("cannot open", store.files.IndexPath());
    }
    if (k > index.RecordCount()) return false;
    return index.Write(k, record.bytes.data());
}

// --- detail records, move info, game data ------------------------------------------------------

bool ReadDetailRecord(const GameStore& store, long k, DetailRecord& detail, Prompter& prompter) {
    detail = DetailRecord{};
    if (k <= 0) return false;
    const fs::path path = store.files.Path(ext::kDetail);
    RecordFile file;
    if (!file.Open(path, kDetailRecordSize, RecordFile::Access::Read)) {
        prompter.Warn(ReadErrorMessage(path));
        return false;
    }
    // A detail file that is shorter than the game store reads as empty details.
    if (std::uint64_t(k) > file.RecordCount()) return true;
    if (file.Read(std::uint64_t(k - 1), detail.bytes.data()) != kDetailRecordSize) {
        detail = DetailRecord{};
        prompter.Warn(ReadErrorMessage(path));
        return false;
    }
    return true;
}

bool WriteDetailRecord(const GameStore& store, long k, const DetailRecord& detail,
                       Prompter& prompter) {
    const fs::path path = store.files.Path(ext::kDetail);
    RecordFile file;
    if (k <= 0 || !file.Open(path, kDetailRecordSize, RecordFile::Access::ReadWrite) ||
        std::uint64_t(k - 1) > file.RecordCount() ||
        !file.Write(std::uint64_t(k - 1), detail.bytes.data())) {
        prompter.Warn(WriteErrorMessage(path));
        return false;
    }
    return true;
}

bool ReadMoveInfo(const GameStore& store, long k, int overflowNumber, MoveInfo& info,
                  Prompter& prompter) {
    info = MoveInfo{};
    StoreReader reader(store);
    if (!reader.ReadMoveInfo(k, overflowNumber, info)) {
        prompter.Warn(ReadErrorMessage(store.files.Path(ext::kMoveInfo)));
        return false;
    }
    return true;
}

bool WriteMoveInfo(const GameStore& store, long k, int overflowNumber, const MoveInfo& info,
                   Prompter& prompter) {
    const fs::path path = store.files.Path(ext::kMoveInfo);
    RecordFile file;
    if (k <= 0 || !file.Open(path, kMoveInfoRecordSize, RecordFile::Access::ReadWrite) ||
        std::uint64_t(k - 1) > file.RecordCount() ||
        !file.Write(std::uint64_t(k - 1), info.firstRecord())) {
        prompter.Warn(WriteErrorMessage(path));
        return false;
    }
    if (overflowNumber != 0 && IsOverflowNumber(overflowNumber)) {
        RecordFile overflow;
        if (overflow.Open(store.files.Path(ext::kMoveInfoOverflow), kMoveInfoRecordSize,
                          RecordFile::Access::ReadWrite) &&
            overflow.RecordCount() >= std::uint64_t(overflowNumber)) {
            if (!overflow.Write(std::uint64_t(overflowNumber), info.overflowRecord())) {
                prompter.Warn(WriteErrorMessage(overflow.path()));
                return false;
            }
        }
    }
    return true;
}

bool ReadGameData(const GameStore& store, long k, int overflowNumber, MoveBytes& moves) {
    return StoreReader(store).ReadGameData(k, overflowNumber, moves);
}

bool WriteGameData(const GameStore& store, long k, int overflowNumber, const MoveBytes& moves) {
    if (k <= 0) return false;
    RecordFile gameData;
    if (!gameData.Open(store.files.Path(ext::kGameData), kGameDataRecordSize,
                       RecordFile::Access::ReadWrite)) {
        throw StoreIoError("cannot open", store.files.Path(ext::kGameData));
    }
    if (std::uint64_t(k - 1) > gameData.RecordCount()) return false;
    if (!gameData.Write(std::uint64_t(k - 1), moves.firstRecord())) return false;
    if (overflowNumber != 0 && IsOverflowNumber(overflowNumber)) {
        RecordFile overflow;
        if (!overflow.Open(store.files.Path(ext::kOverflowGameData), kGameDataRecordSize,
                           RecordFile::Access::ReadWriteCreate)) {
            throw StoreIoError("cannot open", store.files.Path(ext::kOverflowGameData));
        }
        if (!overflow.Write(std::uint64_t(overflowNumber - 1), moves.overflowRecord())) return false;
    }
    return true;
}

// --- overflow numbers ----------------------------------------------------------------------------

int AllocateOverflowNumber(const GameStore& store, Prompter& prompter) {
    StoreAppender appender(store, prompter);
    const int n = appender.AllocateOverflowNumber();
    appender.Commit();
    return n;
}

bool ReleaseOverflowNumber(const GameStore& store, int n) {
    SilentPrompter quiet;
    StoreAppender appender(store, quiet);
    if (!appender.ReleaseOverflowNumber(n)) return false;
    try {
        appender.Commit();
    } catch (const StoreIoError&) {
        return false;
    }
    return true;
}

// --- creating a store ----------------------------------------------------------------------------

bool CreateStoreFiles(const fs::path& path, bool extended, RecordWriter& layer) {
    const StoreFiles files(path);
    std::vector<fs::path> made;
    // Each file is made (emptied when it is there: this is the one path that may), its first
    // record written and put on the disk; the first failure removes every file it made, so that
    // nothing of a half-made store stays behind. Callers check first that no store is there.
    const auto make = [&](std::string_view extension, std::size_t recordSize,
                          const std::uint8_t* firstRecord) {
        const fs::path p = files.Path(extension);
        RecordFile file;
        if (!layer.OpenForWriting(file, p, recordSize, RecordFile::Access::Create)) return false;
        made.push_back(p);
        return (firstRecord == nullptr || layer.Write(file, 0, firstRecord, recordSize)) &&
               layer.Sync(file);
    };
    const StoreHeader header;  // 32 zero bytes: no games
    const CommentBitmap bitmap = CommentBitmap::Fresh();
    bool ok = make(ext::kIndex, kIndexRecordSize, header.bytes.data()) &&
              make(ext::kGameData, kGameDataRecordSize, nullptr);
    if (ok && extended) {
        ok = make(ext::kDetail, kDetailRecordSize, nullptr) &&
             make(ext::kMoveInfo, kMoveInfoRecordSize, nullptr) &&
             make(ext::CommentFile(0), kCommentRecordSize, bitmap.bytes.data());
    }
    ok = ok && layer.SyncFolder(files.folder());
    if (!ok) {
        for (auto it = made.rbegin(); it != made.rend(); ++it) layer.Remove(*it);
        layer.SyncFolder(files.folder());
    }
    return ok;
}

// --- sequential readers ----------------------------------------------------------------------------

bool OpenIndexReader(const GameStore& store, RecordBlockReader& reader, std::size_t blockRecords) {
    return reader.Open(store.files.IndexPath(), kIndexRecordSize, 1, blockRecords);
}

bool OpenGameDataReader(const GameStore& store, RecordBlockReader& reader,
                        std::size_t blockRecords) {
    return reader.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, 0, blockRecords);
}

StoreReader::StoreReader(const GameStore& store) : store_(store) {
    using A = RecordFile::Access;
    const StoreFiles& f = store.files;
    index_.Open(f.IndexPath(), kIndexRecordSize, A::Read);
    gameData_.Open(f.Path(ext::kGameData), kGameDataRecordSize, A::Read);
    overflowGameData_.Open(f.Path(ext::kOverflowGameData), kGameDataRecordSize, A::Read);
    if (store.extended()) {
        detail_.Open(f.Path(ext::kDetail), kDetailRecordSize, A::Read);
        moveInfo_.Open(f.Path(ext::kMoveInfo), kMoveInfoRecordSize, A::Read);
        moveInfoOverflow_.Open(f.Path(ext::kMoveInfoOverflow), kMoveInfoRecordSize, A::Read);
    }
}

bool StoreReader::ReadIndexRecord(std::uint32_t k, IndexRecord& record) const {
    record = IndexRecord{};
    if (k == 0) return false;
    if (index_.Read(k, record.bytes.data()) != kIndexRecordSize) {
        record = IndexRecord{};
        return false;
    }
    return true;
}

bool StoreReader::ReadGameData(long k, int overflowNumber, MoveBytes& moves) const {
    moves = MoveBytes{};
    if (k <= 0) return false;
    // A part record at the end of a damaged file keeps what was read; the moves end at the
    // first zero byte anyway.
    if (gameData_.Read(std::uint64_t(k - 1), moves.firstRecord()) == 0) return false;
    if (overflowNumber != 0 && IsOverflowNumber(overflowNumber)) {
        overflowGameData_.Read(std::uint64_t(overflowNumber - 1), moves.overflowRecord());
    }
    return true;
}

bool StoreReader::ReadDetailRecord(long k, DetailRecord& detail) const {
    detail = DetailRecord{};
    if (k <= 0 || !detail_.isOpen()) return false;
    if (std::uint64_t(k) > detail_.RecordCount()) return true;
    if (detail_.Read(std::uint64_t(k - 1), detail.bytes.data()) != kDetailRecordSize) {
        detail = DetailRecord{};
        return false;
    }
    return true;
}

bool StoreReader::ReadMoveInfo(long k, int overflowNumber, MoveInfo& info) const {
    info = MoveInfo{};
    if (k <= 0) return false;
    if (moveInfo_.Read(std::uint64_t(k - 1), info.firstRecord()) == 0) return false;
    if (overflowNumber != 0 && IsOverflowNumber(overflowNumber)) {
        moveInfoOverflow_.Read(std::uint64_t(overflowNumber), info.overflowRecord());
    }
    return true;
}

// --- swapping rewritten files in ---------------------------------------------------------------

FileSystemHooks& RealFileSystem() {
    return DirectRecordWriter();
}

}  // namespace movra
