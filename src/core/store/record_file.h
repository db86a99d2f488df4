#pragma once
// Files of fixed-size records, addressed by zero-based record number, and the sequential block
// reader and writer that whole-store paths use (a million-game store is read in large blocks,
// never record by record).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace movra {

// An input/output failure the store has no message of its own for (a file that cannot be
// opened or created, a disk full). It ends the operation; the files written so far stay as they
// are, and the caller's general handler reports it.
class StoreIoError : public std::runtime_error {
public:
    StoreIoError(const std::string& what, std::filesystem::path path)
        : std::runtime_error(what + ": " + path.string()), path_(std::move(path)) {}
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class RecordFile {
public:
    enum class Access {
        Read,             // an existing file, read only
        ReadWrite,        // an existing file
        ReadWriteCreate,  // created empty when missing, kept otherwise
        Create,           // created, or emptied when it exists
    };

    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    ~RecordFile();

    // False when the file cannot be opened (missing, no permission).
    bool Open(const std::filesystem::path& path, std::size_t recordSize, Access access);
    void Close();
    bool isOpen() const { return fd_ >= 0; }
    const std::filesystem::path& path() const { return path_; }
    std::size_t recordSize() const { return recordSize_; }

    std::uint64_t SizeBytes() const;
    // Whole records only: a trailing part record does not count.
    std::uint64_t RecordCount() const { return recordSize_ ? SizeBytes() / recordSize_ : 0; }

    // Reads `count` records from record `first`. Returns the bytes delivered (fewer at the end of
    // the file, 0 past it or on an error); the rest of the buffer is zeroed.
    std::size_t Read(std::uint64_t first, std::uint8_t* buffer, std::size_t count = 1) const;
    // Writes `count` records at record `first`; false unless every byte was written.
    bool Write(std::uint64_t first, const std::uint8_t* buffer, std::size_t count = 1);
    // The same by byte position and length, for parts of records.
    std::size_t ReadBytes(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) const;
    bool WriteBytes(std::uint64_t offset, const std::uint8_t* buffer, std::size_t size);
    bool TruncateBytes(std::uint64_t size);
    // Puts the file's data on the disk (before a rewrite swaps files).
    bool Sync();
    // Whether the writes from now on go to the disk directly, past the page cache (O_DIRECT):
    // each write's offset, size and buffer address must then be multiples of kDirectAlignment.
    // False when the file system does not offer it (the writes stay as they were).
    static constexpr std::size_t kDirectAlignment = 4096;
    bool SetDirectWrites(bool on);

private:
    int fd_ = -1;
    std::size_t recordSize_ = 0;
    std::filesystem::path path_;
};

// Reads a record file from a given record to its end, a block of records at a time, into one
// buffer allocated when the reader opens.
class RecordBlockReader {
public:
    // False when the file cannot be opened.
    bool Open(const std::filesystem::path& path, std::size_t recordSize,
              std::uint64_t firstRecord = 0, std::size_t blockRecords = 4096);
    // The next block of whole records: their count (0 at the end of the file) and, in
    // `records`, where they start. A part record at the end of the file is not delivered.
    // The block stays valid until the next call.
    std::size_t Next(const std::uint8_t*& records);
    // Record number of the first record the next call delivers.
    std::uint64_t nextRecord() const { return next_; }
    std::uint64_t recordCount() const { return file_.RecordCount(); }
    std::size_t recordSize() const { return file_.recordSize(); }
    const std::filesystem::path& path() const { return file_.path(); }

private:
    RecordFile file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t blockRecords_ = 0;
    std::uint64_t next_ = 0;
};

// Writes a new record file from its start, record after record, a block at a time.
class RecordBlockWriter {
public:
    // Creates (or empties) the file. False when it cannot be created.
    bool Create(const std::filesystem::path& path, std::size_t recordSize,
                std::size_t blockRecords = 4096);
    // Throws StoreIoError when a full block cannot be written.
    void Append(const std::uint8_t* record);
    // Writes what is left, puts the data on the disk and closes. Throws StoreIoError on failure.
    void Finish();
    std::uint64_t written() const { return written_; }
    const std::filesystem::path& path() const { return file_.path(); }

private:
    void Flush();
    RecordFile file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t blockRecords_ = 0;
    std::size_t pending_ = 0;
    std::uint64_t written_ = 0;
    std::uint64_t flushed_ = 0;
};

// The file layer every write of a store goes through: writing, cutting and syncing open files,
// opening them for writing, renaming and removing files. Tests replace it to make one step fail,
// or every step from some point on (a process killed there).
class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    // False unless every byte was written.
    virtual bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
                       std::size_t size);
    virtual bool Truncate(RecordFile& file, std::uint64_t size);
    // Puts the file's data on the disk.
    virtual bool Sync(RecordFile& file);
    // Opens a file for writing (any access but Read).
    virtual bool OpenForWriting(RecordFile& file, const std::filesystem::path& path,
                                std::size_t recordSize, RecordFile::Access access);
    // Gives `from` the name `to`, replacing a file of that name.
    virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to);
    virtual bool Remove(const std::filesystem::path& path);
    // Puts the folder's entries (names made, renamed, removed) on the disk.
    virtual bool SyncFolder(const std::filesystem::path& folder);
};
// The layer that writes to the real file system (no state of its own).
RecordWriter& DirectRecordWriter();

// A record file whose writes wait in memory until they are flushed, so that a session writing
// many records opens the file once and writes each run of records with one call.
//
// Records past the end of the file (the tail) are kept as one block and written in one piece;
// records inside the file are kept one by one, read from the file when first needed. A flush
// writes the pending records of a range in record order and keeps the old bytes of every record
// inside the file that it overwrites, so that Undo can put the file back as it was at the last
// Settle: old records written back, the file cut to its old length.
class BufferedRecordFile {
public:
    static constexpr std::uint64_t kEnd = std::numeric_limits<std::uint64_t>::max();

    BufferedRecordFile() = default;
    BufferedRecordFile(const BufferedRecordFile&) = delete;
    BufferedRecordFile& operator=(const BufferedRecordFile&) = delete;

    // False when the file cannot be opened. Anything pending is forgotten. Access other than Read
    // opens through `layer`.
    bool Open(const std::filesystem::path& path, std::size_t recordSize, RecordFile::Access access,
              RecordWriter& layer = DirectRecordWriter());
    void Close();
    bool isOpen() const { return file_.isOpen(); }
    const std::filesystem::path& path() const { return file_.path(); }
    std::size_t recordSize() const { return recordSize_; }

    // Whole records, the pending ones included (a part record at the end of the file counts
    // once it has been written whole).
    std::uint64_t RecordCount() const;
    // How many bytes of record r there are: all of it when pending, else what the file holds.
    std::size_t BytesHeld(std::uint64_t r) const;

    // The bytes of record r: pending, else from the file (a missing part reads as zeros).
    // The pointer is valid until the next call that changes this file.
    const std::uint8_t* Read(std::uint64_t r);
    // Record r to be changed in place: its current bytes, marked for writing.
    std::uint8_t* Modify(std::uint64_t r);
    // Replaces record r.
    void Put(std::uint64_t r, const std::uint8_t* bytes);

    std::size_t pendingBytes() const;

    // Writes the pending records r with first <= r < last, in record order, through `writer`.
    // False when a write fails; Undo then takes back what the flushes since Settle wrote.
    bool Flush(RecordWriter& writer, std::uint64_t first = 0, std::uint64_t last = kEnd);
    // Once every range has been flushed: what was written becomes the file's state to go back to.
    void Settle();
    // Puts back the records overwritten since Settle and cuts the file to its length then;
    // everything pending is forgotten. False when the file could not be put back.
    bool Undo(RecordWriter& writer);
    // The old bytes of every pending record inside the file (as the file holds them now, a part
    // record keeping its length), and the file's length: what Undo would put back.
    struct OldRecord {
        std::uint64_t offset = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::uint64_t settledBytes() const { return baseBytes_; }
    std::vector<OldRecord> PendingOldRecords() const;
    bool hasPending() const { return tailRecords_ > 0 || pendingBytes() > 0; }
    RecordFile& file() { return file_; }
    // Forgets what is pending without writing it.
    void Discard();

private:
    struct Inside {
        std::vector<std::uint8_t> bytes;
        bool dirty = false;
    };
    struct Saved {
        std::uint64_t record = 0;
        std::vector<std::uint8_t> bytes;  // as read: a part record keeps its length
    };
    std::uint8_t* Tail(std::uint64_t r);
    Inside& Load(std::uint64_t r, bool read);
    void ResetBase();

    RecordFile file_;
    std::size_t recordSize_ = 0;
    std::uint64_t baseBytes_ = 0;    // the file's length at the last Settle
    std::uint64_t baseRecords_ = 0;  // records that hold bytes then (a part record counts)
    std::vector<std::uint8_t> tail_;  // records baseRecords_ … baseRecords_ + tailRecords_ - 1
    std::uint64_t tailRecords_ = 0;
    std::map<std::uint64_t, Inside> inside_;
    std::vector<Saved> saved_;
    std::vector<std::uint8_t> zeros_;
    bool written_ = false;
};

}  // namespace movra
