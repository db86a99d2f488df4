#pragma once
// Reading a whole file that the user may have replaced by something else. Only regular files are
// read: a folder, a pipe, a device or a link to one reads as nothing and says why, and a file
// larger than the caller's limit is refused before it fills memory. A pipe with no writer never
// blocks the reader, because the file is opened without waiting and checked before reading.
#include <cstddef>
#include <filesystem>
#include <string>

namespace movra {

enum class FileReadStatus {
    Ok,
    Missing,      // no such file
    NotRegular,   // a folder, pipe, device or socket (or a link to one)
    TooLarge,     // more bytes than the limit
    Unreadable,   // no permission or a read error
};

// Reads the whole file into `content` (cleared first; left empty unless Ok).
FileReadStatus ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                               std::string& content);

// Whether the path names a regular file (links followed), without opening it.
bool IsRegularFile(const std::filesystem::path& path);

}  // namespace movra
