#include "core/config/program_folder.h"

#include <system_error>

namespace movra {
namespace fs = std::filesystem;

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

fs::path ChooseProgramFolder(std::string_view homeOption, const char* movraHome,
                             const char* xdgDataHome, const char* home) {
    if (!homeOption.empty()) return fs::path(std::string(homeOption));
    if (IsSet(movraHome)) return fs::path(movraHome);
    if (IsSet(xdgDataHome)) return fs::path(xdgDataHome) / "movra";
    if (IsSet(home)) return fs::path(home) / ".local" / "share" / "movra";
    return fs::current_path() / "movra";
}

bool PrepareProgramFolder(const fs::path& folder, const fs::path& dataFolder, std::string* error) {
    std::error_code ec;
    const bool existed = fs::exists(folder, ec);
    if (existed && !fs::is_directory(folder, ec)) {
        if (error) *error = folder.string() + " is not a folder";
        return false;
    }
    const bool empty = !existed || fs::is_empty(folder, ec);
    fs::create_directories(folder, ec);
    if (ec) {
        if (error) *error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    if (!empty || dataFolder.empty() || !fs::is_directory(dataFolder, ec)) return true;
    fs::copy(dataFolder, folder, fs::copy_options::recursive | fs::copy_options::skip_existing,
             ec);
    if (ec) {
        if (error) *error = "cannot copy " + dataFolder.string() + " into " + folder.string() +
                            ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace movra
