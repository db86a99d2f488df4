#include "store/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace movra {

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(other.fd_), recordSize_(other.recordSize_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        recordSize_ = other.recordSize_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

RecordFile::~RecordFile() { Close(); }

bool RecordFile::Open(const std::filesystem::path& path, std::size_t recordSize, Access access) {
    Close();
    int flags = O_CLOEXEC;
    switch (access) {
        case Access::Read: flags |= O_RDONLY; break;
        case Access::ReadWrite: flags |= O_RDWR; break;
        case Access::ReadWriteCreate: flags |= O_RDWR | O_CREAT; break;
        case Access::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    recordSize_ = recordSize;
    path_ = path;
    return true;
}

void RecordFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::uint64_t RecordFile::SizeBytes() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return std::uint64_t(st.st_size);
}

std::size_t RecordFile::Read(std::uint64_t first, std::uint8_t* buffer, std::size_t count) const {
    const std::size_t want = count * recordSize_;
    std::size_t got = 0;
    if (fd_ >= 0) {
        const off_t start = off_t(first * recordSize_);
        while (got < want) {
            ssize_t n = ::pread(fd_, buffer + got, want - got, start + off_t(got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
    }
    if (got < want) std::memset(buffer + got, 0, want - got);
    return got;
}

bool RecordFile::Write(std::uint64_t first, const std::uint8_t* buffer, std::size_t count) {
    if (fd_ < 0) return false;
    const std::size_t want = count * recordSize_;
    const off_t start = off_t(first * recordSize_);
    std::size_t done = 0;
    while (done < want) {
        ssize_t n = ::pwrite(fd_, buffer + done, want - done, start + off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

bool RecordFile::Truncate(std::uint64_t records) {
    return fd_ >= 0 && ::ftruncate(fd_, off_t(records * recordSize_)) == 0;
}

bool RecordFile::Sync() { return fd_ >= 0 && ::fdatasync(fd_) == 0; }

// --- block reader -----------------------------------------------------------------------------

bool RecordBlockReader::Open(const std::filesystem::path& path, std::size_t recordSize,
                             std::uint64_t firstRecord, std::size_t blockRecords) {
    if (!file_.Open(path, recordSize, RecordFile::Access::Read)) return false;
    blockRecords_ = blockRecords == 0 ? 1 : blockRecords;
    buffer_.assign(blockRecords_ * recordSize, 0);
    next_ = firstRecord;
    return true;
}

std::size_t RecordBlockReader::Next(const std::uint8_t*& records) {
    records = buffer_.data();
    if (!file_.isOpen()) return 0;
    const std::uint64_t total = file_.RecordCount();
    if (next_ >= total) return 0;
    const std::size_t count = std::size_t(std::min<std::uint64_t>(blockRecords_, total - next_));
    const std::size_t got = file_.Read(next_, buffer_.data(), count);
    const std::size_t whole = got / file_.recordSize();
    next_ += whole;
    return whole;
}

// --- block writer -----------------------------------------------------------------------------

bool RecordBlockWriter::Create(const std::filesystem::path& path, std::size_t recordSize,
                               std::size_t blockRecords) {
    if (!file_.Open(path, recordSize, RecordFile::Access::Create)) return false;
    blockRecords_ = blockRecords == 0 ? 1 : blockRecords;
    buffer_.assign(blockRecords_ * recordSize, 0);
    pending_ = 0;
    written_ = 0;
    flushed_ = 0;
    return true;
}

void RecordBlockWriter::Append(const std::uint8_t* record) {
    const std::size_t size = file_.recordSize();
    std::memcpy(buffer_.data() + pending_ * size, record, size);
    ++pending_;
    ++written_;
    if (pending_ == blockRecords_) Flush();
}

void RecordBlockWriter::Flush() {
    if (pending_ == 0) return;
    if (!file_.Write(flushed_, buffer_.data(), pending_)) {
        throw StoreIoError("cannot write", file_.path());
    }
    flushed_ += pending_;
    pending_ = 0;
}

void RecordBlockWriter::Finish() {
    if (!file_.isOpen()) return;
    Flush();
    if (!file_.Sync()) throw StoreIoError("cannot write", file_.path());
    file_.Close();
}

}  // namespace movra
