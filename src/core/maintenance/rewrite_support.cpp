#include "core/maintenance/rewrite_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>

#include "core/text/cp932.h"
#include "core/store/comment_layout.h"
#include "core/store/open_store.h"

namespace movra::maintenance {

namespace fs = std::filesystem;

void AlignedBytes::Free::operator()(std::uint8_t* p) const { std::free(p); }

void AlignedBytes::Assign(std::size_t size) {
    constexpr std::size_t kAlign = RecordFile::kDirectAlignment;
    const std::size_t rounded = std::max<std::size_t>(kAlign, (size + kAlign - 1) / kAlign * kAlign);
    bytes_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kAlign, rounded)));
    if (!bytes_) throw std::bad_alloc();
    std::memset(bytes_.get(), 0, rounded);
}

namespace {

// Writes worth sending straight to the disk: large ones of whole blocks.
bool DirectWorthy(std::uint64_t offset, std::size_t size) {
    constexpr std::size_t kAlign = RecordFile::kDirectAlignment;
    constexpr std::size_t kLeast = std::size_t(64) << 10;  // a small write would wait for little gain
    return size >= kLeast && offset % kAlign == 0 && size % kAlign == 0;
}

}  // namespace

bool WriteThrough(RecordWriter& layer, RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
                  std::size_t size) {
    if (!DirectWorthy(offset, size) || reinterpret_cast<std::uintptr_t>(bytes) % RecordFile::kDirectAlignment != 0 ||
        !file.SetDirectWrites(true)) {
        return layer.Write(file, offset, bytes, size);
    }
    const bool written = layer.Write(file, offset, bytes, size);
    return file.SetDirectWrites(false) && written;
}

bool WorkingStoreLayer::Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
    if (!DirectWorthy(offset, size)) return inner_.Write(file, offset, bytes, size);
    if (reinterpret_cast<std::uintptr_t>(bytes) % RecordFile::kDirectAlignment != 0) {
        if (alignedSize_ < size) {
            aligned_.Assign(size);
            alignedSize_ = size;
        }
        std::memcpy(aligned_.data(), bytes, size);
        bytes = aligned_.data();
    }
    return WriteThrough(inner_, file, offset, bytes, size);
}

void LayeredBlockWriter::Create(const fs::path& path, std::size_t recordSize, std::size_t blockRecords) {
    if (!layer_.OpenForWriting(file_, path, recordSize, RecordFile::Access::Create)) {
        throw StoreIoError("cannot create", path);
    }
    recordSize_ = recordSize;
    blockRecords_ = blockRecords;
    buffer_.Assign(recordSize * blockRecords);
    pending_ = 0;
    written_ = 0;
    offset_ = 0;
}

void LayeredBlockWriter::Append(const std::uint8_t* record) {
    std::memcpy(buffer_.data() + pending_ * recordSize_, record, recordSize_);
    ++written_;
    if (++pending_ == blockRecords_) Flush();
}

void LayeredBlockWriter::Flush() {
    if (pending_ == 0) return;
    const std::size_t size = pending_ * recordSize_;
    if (!WriteThrough(layer_, file_, offset_, buffer_.data(), size)) {
        throw StoreIoError("cannot write", file_.path());
    }
    offset_ += size;
    pending_ = 0;
}

void LayeredBlockWriter::Finish() {
    Flush();
    if (!layer_.Sync(file_)) throw StoreIoError("cannot write", file_.path());
    file_.Close();
}

void CopyFileThrough(const fs::path& from, const fs::path& to, RecordWriter& layer) {
    constexpr std::size_t kBlock = 1 << 20;
    RecordFile in;
    if (!in.Open(from, 1, RecordFile::Access::Read)) throw StoreIoError("cannot open", from);
    RecordFile out;
    if (!layer.OpenForWriting(out, to, 1, RecordFile::Access::Create)) throw StoreIoError("cannot create", to);
    AlignedBytes buffer;
    buffer.Assign(kBlock);
    const std::uint64_t size = in.SizeBytes();
    for (std::uint64_t offset = 0; offset < size;) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(kBlock, size - offset));
        if (in.ReadBytes(offset, buffer.data(), want) != want) throw StoreIoError("cannot read", from);
        if (!WriteThrough(layer, out, offset, buffer.data(), want)) throw StoreIoError("cannot write", to);
        offset += want;
    }
    if (!layer.Sync(out)) throw StoreIoError("cannot write", to);
}

bool OpenStoreIsWhole(const GameStore& store, Prompter& prompter, RecordWriter& layer, std::uint32_t& count) {
    const StoreCheck check = ValidateStore(store.files.IndexPath(), count, prompter, layer);
    if (check == StoreCheck::ReadOnly) {
        prompter.Warn(ReadOnlyStoreMessage(store.files.IndexPath()));
        return false;
    }
    if (check != (store.extended() ? StoreCheck::Extended : StoreCheck::Classic)) {
        prompter.Warn(BrokenStoreMessage(store.files.IndexPath()));
        return false;
    }
    return true;
}

void SyncStoreSet(const StoreFiles& files, RecordWriter& layer) {
    for (const std::string& e : StoreFileExtensions()) {
        if (!files.Exists(e)) continue;
        RecordFile file;
        if (!layer.OpenForWriting(file, files.Path(e), 1, RecordFile::Access::ReadWrite) || !layer.Sync(file)) {
            throw StoreIoError("cannot write", files.Path(e));
        }
    }
    if (!layer.SyncFolder(files.folder().empty() ? std::filesystem::path(".") : files.folder())) {
        throw StoreIoError("cannot write", files.folder());
    }
}

std::vector<std::string> StoreFileExtensions() {
    std::vector<std::string> all = {std::string(ext::kIndex),         std::string(ext::kGameData),
                                    std::string(ext::kOverflowGameData), std::string(ext::kDetail),
                                    std::string(ext::kMoveInfo),      std::string(ext::kMoveInfoOverflow)};
    for (int f = 0; f < kCommentFileCount; ++f) all.push_back(ext::CommentFile(f));
    return all;
}

StoreFiles BesideStore(const StoreFiles& files, std::string_view suffix) {
    return StoreFiles(files.folder() / (files.baseName() + std::string(suffix) + std::string(ext::kIndex)));
}

void RemoveStoreSet(const StoreFiles& files, RecordWriter& layer) {
    std::vector<std::string> all = StoreFileExtensions();
    for (std::string_view e : {ext::kWorkingComments, ext::kJournal, ext::kTempIndex, ext::kTempGameData,
                               ext::kTempDetail, ext::kTempMoveInfo}) {
        all.emplace_back(e);
    }
    for (const std::string& e : all) {
        if (!files.Exists(e)) continue;
        try {
            layer.Remove(files.Path(e));
        } catch (...) {
            // A file layer that has stopped working leaves the working files behind: they are
            // beside the store under names of their own and the next job overwrites them.
            return;
        }
    }
}

StoreReplacement WholeStoreReplacement(const StoreFiles& written, const StoreFiles& store) {
    const StoreFiles aside = BesideStore(store, "~old");
    StoreReplacement plan;
    for (const std::string& e : StoreFileExtensions()) {
        if (written.Exists(e)) {
            std::string failure;
            if (e == ext::kIndex || e == ext::kGameData) failure = "DeleteError! (" + PathText(store.Path(e)) + ")";
            plan.files.push_back({written.Path(e), store.Path(e), aside.Path(e), failure, {}});
        } else if (store.Exists(e)) {
            plan.removals.push_back(store.Path(e));
        }
    }
    return plan;
}

std::uint64_t FileBytes(const StoreFiles& files, std::initializer_list<std::string_view> extensions) {
    std::uint64_t total = 0;
    for (std::string_view e : extensions) {
        std::error_code ec;
        const std::uint64_t size = fs::file_size(files.Path(e), ec);
        if (!ec) total += size;
    }
    return total;
}

}  // namespace movra::maintenance
