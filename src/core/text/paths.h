#pragma once
// Paths as the system stores them and as this file system names them. Stored paths are CP932
// with "\\" or "/" separators; names on disk are UTF-8. Names keep their spelling but are looked
// up without regard to the case of ASCII letters, as on the system the file formats come from
// ("KOMA1L.BMP" finds "koma1l.bmp").
#include <filesystem>
#include <string>
#include <string_view>

namespace movra {

// A stored path (CP932, "\" or "/" separators) as a path of this file system (UTF-8 names).
std::filesystem::path NativePath(std::string_view storedPath);
// A file-system path as the settings store it (CP932, "/" separators).
std::string StoredPath(const std::filesystem::path& path);

// The existing file or folder that `name` names, relative to `folder` unless it is absolute,
// each part matched without regard to ASCII case (an exact match is preferred). When nothing
// matches, the path as given (with "/" separators).
std::filesystem::path ResolvePath(const std::filesystem::path& folder, std::string_view name);
// Whether ResolvePath finds an existing regular file.
bool FileExistsNoCase(const std::filesystem::path& folder, std::string_view name);

// File-name comparison of this system: ASCII letters fold, nothing else does.
bool FileNamesEqual(std::string_view a, std::string_view b);
// The same comparison for names of this file system (UTF-8).
bool NativeNamesEqual(std::string_view a, std::string_view b);
// The text with ASCII letters in upper case (CP932 trail bytes untouched).
std::string UpperCaseAscii(std::string_view text);
// The file's extension with its dot and its ASCII letters in upper case (".IPX" for
// "Games.ipx"), for telling file kinds apart the way the stores' own system does; empty when
// the name has none.
std::string UpperExtension(const std::filesystem::path& path);

}  // namespace movra
