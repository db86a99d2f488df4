#include "core/store/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

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
    return ReadBytes(first * recordSize_, buffer, count * recordSize_);
}

std::size_t RecordFile::ReadBytes(std::uint64_t offset, std::uint8_t* buffer,
                                  std::size_t size) const {
    std::size_t got = 0;
    if (fd_ >= 0) {
        while (got < size) {
            ssize_t n = ::pread(fd_, buffer + got, size - got, off_t(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
    }
    if (got < size) std::memset(buffer + got, 0, size - got);
    return got;
}

bool RecordFile::Write(std::uint64_t first, const std::uint8_t* buffer, std::size_t count) {
    return WriteBytes(first * recordSize_, buffer, count * recordSize_);
}

bool RecordFile::WriteBytes(std::uint64_t offset, const std::uint8_t* buffer, std::size_t size) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(fd_, buffer + done, size - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

bool RecordFile::TruncateBytes(std::uint64_t size) {
    return fd_ >= 0 && ::ftruncate(fd_, off_t(size)) == 0;
}

bool RecordFile::Sync() { return fd_ >= 0 && ::fdatasync(fd_) == 0; }

bool RecordFile::SetDirectWrites(bool on) {
    if (fd_ < 0) return false;
    const int flags = ::fcntl(fd_, F_GETFL);
    return flags >= 0 && ::fcntl(fd_, F_SETFL, on ? (flags | O_DIRECT) : (flags & ~O_DIRECT)) == 0;
}

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

// --- buffered record file ----------------------------------------------------------------------

bool RecordWriter::Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
                         std::size_t size) {
    return file.WriteBytes(offset, bytes, size);
}

bool RecordWriter::Truncate(RecordFile& file, std::uint64_t size) { return file.TruncateBytes(size); }

bool RecordWriter::Sync(RecordFile& file) { return file.Sync(); }

bool RecordWriter::OpenForWriting(RecordFile& file, const std::filesystem::path& path,
                                  std::size_t recordSize, RecordFile::Access access) {
    return file.Open(path, recordSize, access);
}

bool RecordWriter::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
}

bool RecordWriter::Remove(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
}

bool RecordWriter::SyncFolder(const std::filesystem::path& folder) {
    const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
    int fd;
    do {
        fd = ::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

RecordWriter& DirectRecordWriter() {
    static RecordWriter direct;  // no state: the real file system
    return direct;
}

bool BufferedRecordFile::Open(const std::filesystem::path& path, std::size_t recordSize,
                              RecordFile::Access access, RecordWriter& layer) {
    Close();
    if (recordSize == 0) return false;
    const bool opened = access == RecordFile::Access::Read
                            ? file_.Open(path, recordSize, access)
                            : layer.OpenForWriting(file_, path, recordSize, access);
    if (!opened) return false;
    recordSize_ = recordSize;
    zeros_.assign(recordSize, 0);
    ResetBase();
    return true;
}

void BufferedRecordFile::Close() {
    Discard();
    file_.Close();
}

void BufferedRecordFile::ResetBase() {
    baseBytes_ = file_.isOpen() ? file_.SizeBytes() : 0;
    baseRecords_ = recordSize_ == 0 ? 0 : (baseBytes_ + recordSize_ - 1) / recordSize_;
    written_ = false;
}

void BufferedRecordFile::Discard() {
    tail_.clear();
    tailRecords_ = 0;
    inside_.clear();
    saved_.clear();
}

std::uint64_t BufferedRecordFile::RecordCount() const {
    if (tailRecords_ > 0) return baseRecords_ + tailRecords_;
    // A part record at the end counts only once written whole.
    std::uint64_t whole = baseBytes_ / std::max<std::size_t>(recordSize_, 1);
    if (whole < baseRecords_) {
        const auto last = inside_.find(baseRecords_ - 1);
        if (last != inside_.end() && last->second.dirty) whole = baseRecords_;
    }
    return whole;
}

std::size_t BufferedRecordFile::BytesHeld(std::uint64_t r) const {
    if (r >= baseRecords_) return r - baseRecords_ < tailRecords_ ? recordSize_ : 0;
    const auto in = inside_.find(r);
    if (in != inside_.end() && in->second.dirty) return recordSize_;
    return std::size_t(std::min<std::uint64_t>(recordSize_, baseBytes_ - r * recordSize_));
}

std::uint8_t* BufferedRecordFile::Tail(std::uint64_t r) {
    const std::uint64_t at = r - baseRecords_;
    if (at >= tailRecords_) {
        tailRecords_ = at + 1;
        tail_.resize(std::size_t(tailRecords_) * recordSize_, 0);
    }
    return tail_.data() + std::size_t(at) * recordSize_;
}

BufferedRecordFile::Inside& BufferedRecordFile::Load(std::uint64_t r, bool read) {
    auto [it, added] = inside_.try_emplace(r);
    if (added) {
        it->second.bytes.assign(recordSize_, 0);
        if (read) file_.Read(r, it->second.bytes.data());
    }
    return it->second;
}

const std::uint8_t* BufferedRecordFile::Read(std::uint64_t r) {
    if (r >= baseRecords_) return r - baseRecords_ < tailRecords_ ? Tail(r) : zeros_.data();
    return Load(r, true).bytes.data();
}

std::uint8_t* BufferedRecordFile::Modify(std::uint64_t r) {
    if (r >= baseRecords_) return Tail(r);
    Inside& in = Load(r, true);
    in.dirty = true;
    return in.bytes.data();
}

void BufferedRecordFile::Put(std::uint64_t r, const std::uint8_t* bytes) {
    std::uint8_t* to;
    if (r >= baseRecords_) {
        to = Tail(r);
    } else {
        Inside& in = Load(r, false);
        in.dirty = true;
        to = in.bytes.data();
    }
    std::memcpy(to, bytes, recordSize_);
}

std::size_t BufferedRecordFile::pendingBytes() const {
    std::size_t n = tail_.size();
    for (const auto& [r, in] : inside_) {
        if (in.dirty) n += recordSize_;
    }
    return n;
}

bool BufferedRecordFile::Flush(RecordWriter& writer, std::uint64_t first, std::uint64_t last) {
    if (!file_.isOpen()) return inside_.empty() && tailRecords_ == 0;
    for (auto it = inside_.lower_bound(first); it != inside_.end() && it->first < last; ++it) {
        Inside& in = it->second;
        if (!in.dirty) continue;
        // The old bytes, as far as the file holds them, go back on an Undo.
        const std::uint64_t offset = it->first * recordSize_;
        Saved old{it->first, std::vector<std::uint8_t>(recordSize_)};
        old.bytes.resize(file_.ReadBytes(offset, old.bytes.data(), recordSize_));
        saved_.push_back(std::move(old));
        written_ = true;
        if (!writer.Write(file_, offset, in.bytes.data(), recordSize_)) return false;
        in.dirty = false;
    }
    const std::uint64_t from = std::max(first, baseRecords_);
    const std::uint64_t to = std::min(last, baseRecords_ + tailRecords_);
    if (from < to) {
        written_ = true;
        const std::size_t at = std::size_t(from - baseRecords_) * recordSize_;
        if (!writer.Write(file_, from * recordSize_, tail_.data() + at,
                          std::size_t(to - from) * recordSize_)) {
            return false;
        }
    }
    return true;
}

void BufferedRecordFile::Settle() {
    Discard();
    ResetBase();
}

std::vector<BufferedRecordFile::OldRecord> BufferedRecordFile::PendingOldRecords() const {
    std::vector<OldRecord> old;
    if (!file_.isOpen()) return old;
    for (const auto& [r, in] : inside_) {
        if (!in.dirty) continue;
        OldRecord o{r * recordSize_, std::vector<std::uint8_t>(recordSize_)};
        o.bytes.resize(file_.ReadBytes(o.offset, o.bytes.data(), recordSize_));
        old.push_back(std::move(o));
    }
    return old;
}

bool BufferedRecordFile::Undo(RecordWriter& writer) {
    bool ok = true;
    if (file_.isOpen() && written_) {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            ok = writer.Write(file_, it->record * recordSize_, it->bytes.data(), it->bytes.size()) && ok;
        }
        if (file_.SizeBytes() != baseBytes_) ok = writer.Truncate(file_, baseBytes_) && ok;
    }
    Discard();
    if (file_.isOpen()) ResetBase();
    return ok;
}

}  // namespace movra
