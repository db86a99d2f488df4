#pragma once
// Reading and writing whole position collection files (layout in collection_layout.h), writing
// one page of the working copy in place, and the compaction that renumbers the positions.
//
// A file is read whole (a collection holds at most 32767 positions, 16 MB). A slot that cannot
// be shown (see PositionSlot::Problem) or that the end of the file cuts off is reported and
// cleared; every other slot is kept as it was, byte for byte.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/positions/collection_layout.h"

namespace movra {

inline constexpr std::uint64_t kMaxCollectionBytes = 32u << 20;

struct DamagedSlot {
    int page = 0;  // 0-based
    int slot = 0;  // 0-3
    std::string why;
};

struct CollectionContents {
    std::vector<CollectionPage> pages;  // at least one page
    std::vector<DamagedSlot> damaged;   // cleared in `pages`
    std::uint64_t fileBytes = 0;
    bool partPage = false;  // the file did not end on a page boundary
};

// The file's pages. nullopt when the file cannot be read at all (missing, not a regular file,
// larger than kMaxCollectionBytes); `error` (when given) then says why. An empty file reads as
// one empty page.
std::optional<CollectionContents> ReadCollection(const std::filesystem::path& path, std::string* error = nullptr);

// The message for a file with damaged slots: which positions were left out, and that the others
// were read.
std::string DamagedCollectionMessage(const std::filesystem::path& path, const CollectionContents& contents);

// Writes the pages to `temp`, puts them on the disk and gives `temp` the name `path`, so that
// `path` is either the old file or the whole new one. False when any step failed (the temporary
// file is then removed and `path` is as it was).
bool WriteCollection(const std::filesystem::path& path, const std::vector<CollectionPage>& pages,
                     const std::filesystem::path& temp);
// The same with bytes already laid out (a file copied as it is).
bool WriteFileReplacing(const std::filesystem::path& path, const std::string& bytes, const std::filesystem::path& temp);

// Writes one page at page number `page` of the working copy. With `create` the file is made anew
// first (any older content dropped). False on a write failure.
bool WriteCollectionPage(const std::filesystem::path& path, int page, const CollectionPage& contents, bool create);

// The positions of `pages` packed into pages in order and renumbered 1, 2, 3 …; one empty page
// when there is none. With `insert`, `inserted` goes in just before the slot insert->slot of page
// insert->page (filled or not). `count` receives the number of positions.
struct SlotPlace {
    int page = 0;
    int slot = 0;
};
std::vector<CollectionPage> CompactPages(const std::vector<CollectionPage>& pages, int* count = nullptr,
                                         std::optional<SlotPlace> insert = std::nullopt,
                                         const PositionSlot& inserted = {});

// The number of positions in pages.
int PositionCount(const std::vector<CollectionPage>& pages);

}  // namespace movra
