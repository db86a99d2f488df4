#include "master_folder.h"

#include <cstdlib>

#include "core/store/master_data.h"

namespace movra::cli {

std::filesystem::path MasterFolderFor(const std::string& datOption,
                                      const std::filesystem::path& store) {
    if (!datOption.empty()) return datOption;
    if (const char* home = std::getenv("MOVRA_HOME"); home != nullptr && *home != '\0') {
        if (CheckDatFolder(home, nullptr)) return home;
    }
    const std::filesystem::path folder = store.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

}  // namespace movra::cli
