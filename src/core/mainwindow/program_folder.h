#pragma once
// The program folder: where the settings, master data, pictures, sounds and the sample store
// live. It is `--home DIR`, else $MOVRA_HOME, else $XDG_DATA_HOME/movra (~/.local/share/movra),
// and is filled from the installed data folder the first time it is used.
//
// Names inside it keep their spelling, but are looked up without regard to the case of ASCII
// letters, as on the system the file formats come from ("KOMA1L.BMP" finds "koma1l.bmp"), and
// stored paths written with "\" are read with "/".
#include <filesystem>
#include <string>
#include <string_view>

namespace movra {

// The folder from the option, the environment values (null or empty when unset) and the user's
// home folder, in that order of preference.
std::filesystem::path ChooseProgramFolder(std::string_view homeOption, const char* movraHome,
                                          const char* xdgDataHome, const char* home);

// Creates the folder and, when it did not exist or was empty, copies the data folder's contents
// into it (sub-folders included). Files already there are never replaced. False, with the reason
// in `error`, when the folder cannot be created or a file cannot be copied.
bool PrepareProgramFolder(const std::filesystem::path& folder,
                          const std::filesystem::path& dataFolder, std::string* error);

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
// The text with ASCII letters in upper case (CP932 trail bytes untouched).
std::string UpperCaseAscii(std::string_view text);

}  // namespace movra
