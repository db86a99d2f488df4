#pragma once
// Where the commands that show names (list, search, export) read the master files from.
#include <filesystem>
#include <string>

namespace movra::cli {

// The folder given with --dat; else $MOVRA_HOME when it holds all three master files (a
// program folder); else the store's own folder ("." for a store named without a folder).
std::filesystem::path MasterFolderFor(const std::string& datOption,
                                      const std::filesystem::path& store);

}  // namespace movra::cli
