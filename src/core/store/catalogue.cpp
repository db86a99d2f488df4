#include "core/store/catalogue.h"

#include <cstdlib>
#include <new>
#include <string>
#include <type_traits>

#include "core/text/range_error.h"
#include "core/store/layout.h"
#include "core/store/record_file.h"

namespace movra {

namespace {

// The index file is read in blocks of this many records (1 MB).
constexpr std::size_t kIndexBlockRecords = 32768;

// calloc gives zero pages the system maps only when written; a GameHeader is an aggregate of
// plain integers, so zero bytes are a valid (if meaningless) entry until loading fills it.
static_assert(std::is_trivially_copyable_v<GameHeader>);
static_assert(std::is_trivially_destructible_v<GameHeader>);
static_assert(std::is_aggregate_v<GameHeader>);

GameHeader* AllocateEntries() {
    void* p = std::calloc(kCatalogueCapacity, sizeof(GameHeader));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<GameHeader*>(p);
}

}  // namespace

void GameCatalogue::FreeDeleter::operator()(GameHeader* p) const { std::free(p); }

GameCatalogue::GameCatalogue() : entries_(AllocateEntries()), working_(AllocateEntries()) {}

void GameCatalogue::setCount(std::uint32_t count) {
    if (count > kCatalogueCapacity) {
        throw RangeError("catalogue count " + std::to_string(count) + " above the capacity");
    }
    count_ = count;
}

GameHeader& GameCatalogue::at(std::uint32_t p) {
    if (p >= kCatalogueCapacity) throw RangeError("catalogue entry outside the table");
    return entries_[p];
}

const GameHeader& GameCatalogue::at(std::uint32_t p) const {
    if (p >= kCatalogueCapacity) throw RangeError("catalogue entry outside the table");
    return entries_[p];
}

CatalogueLoad LoadCatalogue(const GameStore& store, GameCatalogue& catalogue) {
    CatalogueLoad result;
    catalogue.Clear();
    RecordFile index;
    StoreHeader header;
    if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read) ||
        index.Read(0, header.bytes.data()) != kIndexRecordSize) {
        return result;
    }
    result.opened = true;
    result.headerCount = header.GameCount(index.RecordCount());
    index.Close();

    RecordBlockReader reader;
    if (!OpenIndexReader(store, reader, kIndexBlockRecords)) return result;
    GameHeader* out = catalogue.allEntries().data();
    std::uint32_t made = 0;
    bool stop = false;
    const std::uint8_t* block = nullptr;
    while (!stop) {
        const std::size_t n = reader.Next(block);
        if (n == 0) break;
        for (std::size_t i = 0; i < n; ++i) {
            if (made == kCatalogueCapacity) {
                result.overCapacity = true;
                stop = true;
                break;
            }
            if (!HeaderFromIndexBytes(block + i * kIndexRecordSize, made + 1, out[made])) {
                result.badRecord = made + 1;
                stop = true;
                break;
            }
            ++made;
        }
    }
    catalogue.setCount(made);
    catalogue.setPageStart(made > 0 ? 1 : 0);
    result.loaded = made;
    return result;
}

}  // namespace movra
