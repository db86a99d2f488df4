#pragma once
// The program folder: where the settings, master data, pictures, sounds and the sample store
// live. It is `--home DIR`, else $MOVRA_HOME, else $XDG_DATA_HOME/movra (~/.local/share/movra),
// and is filled from the installed data folder the first time it is used. Names inside it are
// looked up through ResolvePath (core/text/paths.h).
#include <filesystem>
#include <string>
#include <string_view>

#include "core/text/paths.h"

namespace movra {

// The folder from the option, the environment values (null or empty when unset) and the user's
// home folder, in that order of preference.
std::filesystem::path ChooseProgramFolder(std::string_view homeOption, const char* movraHome,
                                          const char* xdgDataHome, const char* home);

// Creates the folder and copies into it every file and sub-folder of the data folder that it
// lacks, on every start: a folder that holds only some of them (a voice set put in by hand, say)
// gets the rest. What is there already, under any ASCII case of the name, is never replaced.
// False, with the reason in `error`, when the folder cannot be created or a file cannot be
// copied.
bool PrepareProgramFolder(const std::filesystem::path& folder,
                          const std::filesystem::path& dataFolder, std::string* error);

}  // namespace movra
