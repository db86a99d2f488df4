#include "core/config/program_folder.h"

#include <map>
#include <system_error>

namespace movra {
namespace fs = std::filesystem;

namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// The entry of `folder` named `name` without regard to ASCII case (an exact match first), or
// folder / name when there is none.
fs::path ExistingEntryNoCase(const fs::path& folder, const fs::path& name) {
    std::error_code ec;
    const fs::path exact = folder / name;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    const std::string wanted = name.string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (FileNamesEqual(it->path().filename().string(), wanted)) return it->path();
    }
    return exact;
}

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
    fs::create_directories(folder, ec);
    if (ec) {
        if (error) *error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    if (dataFolder.empty() || !fs::is_directory(dataFolder, ec)) return true;
    // Walks the data folder; each entry's place in the program folder is found by name without
    // regard to ASCII case, as the program looks names up, so that a user's "koma1l.bmp" stands
    // for "KOMA1L.BMP" and is left alone.
    std::map<fs::path, fs::path> places{{(dataFolder / "x").parent_path(), folder}};
    fs::recursive_directory_iterator it(dataFolder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& source = it->path();
        const fs::path target = ExistingEntryNoCase(places[source.parent_path()], source.filename());
        const bool isFolder = it->is_directory(ec);
        if (fs::exists(fs::symlink_status(target, ec))) {
            if (isFolder && fs::is_directory(target, ec)) {
                places[source] = target;
            } else if (isFolder) {
                it.disable_recursion_pending();  // a file of the user's has the folder's name
            }
            continue;
        }
        if (isFolder) {
            fs::create_directory(target, ec);
            places[source] = target;
        } else {
            fs::copy_file(source, target, fs::copy_options::skip_existing, ec);
        }
        if (ec) {
            if (error) *error = "cannot copy " + source.string() + " to " + target.string() + ": " + ec.message();
            return false;
        }
    }
    if (ec) {
        if (error) *error = "cannot read " + dataFolder.string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace movra
