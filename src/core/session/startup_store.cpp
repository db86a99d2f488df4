#include "core/session/startup_store.h"


#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace fs = std::filesystem;
using namespace movra::literals;

namespace {

bool OnRemovableMedia(const fs::path& p) {
    const std::string s = p.generic_string();
    for (std::string_view prefix : {"/media/", "/run/media/", "/mnt/"}) {
        if (s.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

// The ".ipx" twin of an ".IDX" path when that file exists, else the path itself.
std::string PreferIpx(const fs::path& programFolder, const std::string& path) {
    if (UpperExtension(NativePath(path)) != ".IDX") return path;
    const std::string ipx = path.substr(0, path.size() - 4) + ".ipx";
    return FileExistsNoCase(programFolder, ipx) ? ipx : path;
}

}  // namespace

int StoreKindOfPath(std::string_view path) {
    const std::string ext = UpperExtension(NativePath(path));
    if (ext == ".IDX" || ext == ".IPX") return kOpenStateMovra;
    if (ext == ".MIX") return kOpenStateShiroyama;
    if (ext == ".KIF") return kOpenStateHalvik;
    return kOpenStateNone;
}

const std::vector<std::string>& DefaultStorePaths() {
    static const std::vector<std::string> kPaths{
        "Kifu\\Sample.idx",
        "Kifu\\Movra.idx",
        "Sample.idx",
        "Movra.idx",
    };
    return kPaths;
}

void ValidateRecentStores(Settings& settings, const fs::path& programFolder) {
    auto check = [&](std::string& entry) {
        if (entry.empty()) return;
        const fs::path resolved = ResolvePath(programFolder, entry);
        if (OnRemovableMedia(resolved)) return;
        if (!FileExistsNoCase(programFolder, entry)) entry.clear();
    };
    for (std::string& entry : settings.shogi.Recent) check(entry);
    check(settings.shogi.LastKifFile);
}

StartupStore ChooseStartupStore(Settings& settings, const fs::path& programFolder,
                                const std::vector<std::string>& defaultStores) {
    StartupStore result;
    const std::string& last = settings.shogi.LastKifFile;
    if (!last.empty()) {
        result.path = PreferIpx(programFolder, last);
        if (!defaultStores.empty() && FileExistsNoCase(programFolder, defaultStores.front())) {
            result.addToRecent.push_back(defaultStores.front());
        }
    } else {
        for (const std::string& candidate : defaultStores) {
            if (FileExistsNoCase(programFolder, candidate)) {
                result.path = candidate;
                break;
            }
        }
    }
    if (result.path.empty()) return result;
    result.kind = StoreKindOfPath(result.path);
    if (result.kind != kOpenStateNone) settings.shogi.LastKifMode = result.kind;
    result.addToRecent.push_back(result.path);
    return result;
}

std::string WindowCaption(int kind, std::string_view shownPath) {
    std::string caption = std::string(" ") + kApplicationTitle;
    if (shownPath.empty()) return caption;
    switch (kind) {
        case kOpenStateHalvik:
            caption += "　（棋譜ファイル【Halvik】： "_sj;
            break;
        case kOpenStateShiroyama:
            caption += "　（棋譜ファイル【城山】： "_sj;
            break;
        default:
            caption += "　（棋譜ファイル： "_sj;
            break;
    }
    return caption + std::string(shownPath) + "）"_sj;
}

}  // namespace movra
