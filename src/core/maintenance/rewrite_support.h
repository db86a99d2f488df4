#pragma once
// What the whole-store jobs share: a block writer whose every write goes through the store's file
// layer (so that tests can make any write fail), the names of every file a store may have, a
// working store beside the open one, and the replacement that puts a working store in the open
// store's place.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
#include "core/store/store_journal.h"

namespace movra::maintenance {

// How often the long jobs report how far they are.
inline constexpr long kProgressEvery = 1000;

// Raised when the user asks a job to stop at a progress report.
struct Stopped {};

// Reports progress every kProgressEvery records; throws Stopped when the user asks to stop.
inline void Tick(Prompter& prompter, const std::string& caption, long done, long total) {
    if (done % kProgressEvery == 0 && !prompter.Progress(caption, done, total)) throw Stopped{};
}

// Memory whose start suits writes straight to the disk (RecordFile::kDirectAlignment).
class AlignedBytes {
public:
    // `size` bytes, zeroed; what was held before goes.
    void Assign(std::size_t size);
    std::uint8_t* data() const { return bytes_.get(); }

private:
    struct Free {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], Free> bytes_;
};

// Writes through the layer; a large write of whole disk blocks from aligned memory goes straight
// to the disk where the file system offers it (RecordFile::SetDirectWrites). A file written once
// that the job does not read again gains nothing from the page cache, which would first have to
// find fresh memory for every page: on a virtual machine that costs more than the disk itself.
// False when the write fails.
bool WriteThrough(RecordWriter& layer, RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
                  std::size_t size);

// Writes a new record file from its start, a block at a time, every write, the sync and the
// opening going through `layer`. Throws StoreIoError when a step fails. Blocks of whole disk
// blocks are written straight to the disk (WriteThrough).
class LayeredBlockWriter {
public:
    explicit LayeredBlockWriter(RecordWriter& layer) : layer_(layer) {}
    void Create(const std::filesystem::path& path, std::size_t recordSize,
                std::size_t blockRecords = 2048);
    void Append(const std::uint8_t* record);
    // Writes what is left, puts the file on the disk and closes it.
    void Finish();
    std::uint64_t written() const { return written_; }

private:
    void Flush();
    RecordWriter& layer_;
    RecordFile file_;
    AlignedBytes buffer_;
    std::size_t recordSize_ = 0, blockRecords_ = 0, pending_ = 0;
    std::uint64_t written_ = 0, offset_ = 0;
};

// The file layer for a working store that nobody reads until it takes the open store's place:
// its data need not be on the disk before then, so the syncs are left out here and done all at
// once by SyncStoreSet before the replacement. Large writes go as WriteThrough sends them (from
// an aligned copy when need be). Every other step goes to the given layer.
class WorkingStoreLayer : public RecordWriter {
public:
    explicit WorkingStoreLayer(RecordWriter& inner) : inner_(inner) {}
    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) override;
    bool Truncate(RecordFile& file, std::uint64_t size) override { return inner_.Truncate(file, size); }
    bool Sync(RecordFile&) override { return true; }
    bool OpenForWriting(RecordFile& file, const std::filesystem::path& path, std::size_t recordSize,
                        RecordFile::Access access) override {
        return inner_.OpenForWriting(file, path, recordSize, access);
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return inner_.Rename(from, to);
    }
    bool Remove(const std::filesystem::path& path) override { return inner_.Remove(path); }
    bool SyncFolder(const std::filesystem::path&) override { return true; }

private:
    RecordWriter& inner_;
    AlignedBytes aligned_;
    std::size_t alignedSize_ = 0;
};

// The store's game count when its files agree with it and with the session's kind (a half-done
// change is finished first); otherwise false, the user told with ReadOnlyStoreMessage or
// BrokenStoreMessage.
bool OpenStoreIsWhole(const GameStore& store, Prompter& prompter, RecordWriter& layer, std::uint32_t& count);

// Puts every file of the set on the disk through the layer; throws StoreIoError on failure.
void SyncStoreSet(const StoreFiles& files, RecordWriter& layer);

// Copies a whole file, block by block, through the layer (the copy is on the disk afterwards).
void CopyFileThrough(const std::filesystem::path& from, const std::filesystem::path& to,
                     RecordWriter& layer);

// Every file a store of either kind may have, without the working comment file and the journal.
std::vector<std::string> StoreFileExtensions();

// The set named like `files` with `suffix` after its base name, in the same folder.
StoreFiles BesideStore(const StoreFiles& files, std::string_view suffix);

// Removes every file of the set (the working comment file and the journal included), ignoring
// failures: used to clear away working stores.
void RemoveStoreSet(const StoreFiles& files, RecordWriter& layer);

// The replacement that gives every file of `written` the name of the open store's file of that
// kind; the open store's files it has no counterpart for go. The index and game-data files tell
// their failures with "DeleteError! (" + path + ")".
StoreReplacement WholeStoreReplacement(const StoreFiles& written, const StoreFiles& store);

// The sizes of the named files of the store, in bytes (missing files count 0).
std::uint64_t FileBytes(const StoreFiles& files, std::initializer_list<std::string_view> extensions);

}  // namespace movra::maintenance
