#pragma once
// Files of fixed-size records, addressed by zero-based record number, and the sequential block
// reader and writer that whole-store paths use (a million-game store is read in large blocks,
// never record by record).
#include <cstddef>
#include <cstdint>
#include <filesystem>
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
    bool Truncate(std::uint64_t records);
    // Puts the file's data on the disk (before a rewrite swaps files).
    bool Sync();

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

}  // namespace movra
