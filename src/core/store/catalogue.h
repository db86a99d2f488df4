#pragma once
// The in-memory catalogue of the open store: one GameHeader a game, plus a working array of the
// same capacity that searches and checks filter or sort in before copying results back.
//
// Both arrays are allocated once, for a million entries each, when the catalogue is made, and
// kept until it goes: 2 × 1,000,000 × 28 bytes. The memory comes zero-filled from the system and
// is only touched as entries are written, so a small store does not pay for the capacity.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/record/game_header.h"
#include "core/store/store_files.h"

namespace movra {

inline constexpr std::uint32_t kCatalogueCapacity = 1000000;

class GameCatalogue {
public:
    GameCatalogue();
    GameCatalogue(const GameCatalogue&) = delete;
    GameCatalogue& operator=(const GameCatalogue&) = delete;

    static constexpr std::uint32_t capacity() { return kCatalogueCapacity; }

    // The valid entries 0 … count - 1. After loading, entry p describes game p + 1.
    std::uint32_t count() const { return count_; }
    // Sets the count (searches narrow the catalogue); raises RangeError above the capacity.
    void setCount(std::uint32_t count);
    std::span<GameHeader> entries() { return {entries_.get(), count_}; }
    std::span<const GameHeader> entries() const { return {entries_.get(), count_}; }
    // Every slot of the fixed array, valid or not.
    std::span<GameHeader> allEntries() { return {entries_.get(), kCatalogueCapacity}; }
    // Entry p (0-based); raises RangeError at or beyond the capacity.
    GameHeader& at(std::uint32_t p);
    const GameHeader& at(std::uint32_t p) const;

    // The working array (capacity entries).
    std::span<GameHeader> working() { return {working_.get(), kCatalogueCapacity}; }
    std::span<const GameHeader> working() const { return {working_.get(), kCatalogueCapacity}; }

    // 1-based position of the first entry the game list shows; 0 when there is none.
    std::uint32_t pageStart() const { return pageStart_; }
    void setPageStart(std::uint32_t p) { pageStart_ = p; }

    // No entries, no page.
    void Clear() {
        count_ = 0;
        pageStart_ = 0;
    }

private:
    struct FreeDeleter {
        void operator()(GameHeader* p) const;
    };
    std::unique_ptr<GameHeader[], FreeDeleter> entries_;
    std::unique_ptr<GameHeader[], FreeDeleter> working_;
    std::uint32_t count_ = 0;
    std::uint32_t pageStart_ = 0;
};

struct CatalogueLoad {
    bool opened = false;             // the index file could be read
    std::uint32_t headerCount = 0;   // the game count of the header
    std::uint32_t loaded = 0;        // entries made
    // Why loading ended before the end of the index file: a record whose words do not fit a
    // GameHeader (its record number), or the capacity.
    std::uint32_t badRecord = 0;
    bool overCapacity = false;
};

// Reads the index file into the catalogue: record i becomes entry i - 1 with record number i,
// position hit -1 and selection mark 0, from record 1 to the end of the file. A record that
// cannot be converted, or a record past the capacity, ends the loading; the entries read so far
// stay. The count becomes the number of entries made and the page start 1 (0 when empty).
CatalogueLoad LoadCatalogue(const GameStore& store, GameCatalogue& catalogue);

}  // namespace movra
