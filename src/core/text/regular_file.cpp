#include "core/text/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace movra {

namespace {

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileReadStatus ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                               std::string& content) {
    content.clear();
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::Missing;
        return errno == EISDIR ? FileReadStatus::NotRegular : FileReadStatus::Unreadable;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return FileReadStatus::Unreadable;
    if (!S_ISREG(info.st_mode)) return FileReadStatus::NotRegular;
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return FileReadStatus::TooLarge;

    // The file may grow while it is read: read at most one byte past the limit to tell.
    content.resize(static_cast<std::size_t>(info.st_size));
    std::size_t have = 0;
    for (;;) {
        if (have == content.size()) {
            if (content.size() > maxBytes) {
                content.clear();
                return FileReadStatus::TooLarge;
            }
            content.resize(std::min(maxBytes + 1, content.size() + 4096));
        }
        const ssize_t got = ::read(file.get(), content.data() + have, content.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            content.clear();
            return FileReadStatus::Unreadable;
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    content.resize(have);
    return FileReadStatus::Ok;
}

bool IsRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace movra
