#pragma once
// Which game store the program opens at start-up, the check of the recent-store list that comes
// before it, and the main window's caption that names the store.
//
// Adding to the recent list and opening the store are the store's own operations; this module
// only decides what to add and what to open.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/settings.h"
#include "core/store/open_store.h"

namespace movra {

// The application title.
inline constexpr char kApplicationTitle[] = "Movra for Win";

// The kind of store a path names, by its extension in any case: kOpenStateMovra for ".idx" and
// ".ipx", kOpenStateShiroyama for ".mix", kOpenStateHalvik for ".kif", kOpenStateNone else.
int StoreKindOfPath(std::string_view path);

// The stores a fresh installation brings, relative to the program folder, in the order they are
// looked for when no store was used before.
const std::vector<std::string>& DefaultStorePaths();

// Clears every recent entry, and LastKifFile, that names a missing file on this machine's own
// disks. Paths on removable media (below /media, /run/media or /mnt) are not checked, as
// entries on removable drives never were.
void ValidateRecentStores(Settings& settings, const std::filesystem::path& programFolder);

struct StartupStore {
    std::string path;  // the store to open (CP932, as stored); empty when there is none
    int kind = kOpenStateNone;  // StoreKindOfPath(path)
    // Paths to add to the recent list, in this order (the store to open comes last, so that it
    // ends up first).
    std::vector<std::string> addToRecent;
};

// The store to open at start-up: the one used last (LastKifFile, or its ".ipx" twin when the
// ".IDX" has one), else the first default store that exists. When LastKifFile is set and the
// first default store exists, that store is added to the recent list at every start.
// Sets LastKifMode to the kind when a store is chosen.
StartupStore ChooseStartupStore(Settings& settings, const std::filesystem::path& programFolder,
                                const std::vector<std::string>& defaultStores);

// " Movra for Win　（棋譜ファイル： path）", naming the other program for the kinds
// kOpenStateShiroyama and kOpenStateHalvik (CP932). An empty path gives the plain title.
std::string WindowCaption(int kind, std::string_view shownPath);

}  // namespace movra
