#pragma once
// Slots 257-512 of the games that have them, for the whole-store scans: the whole overflow
// game-data file read at once. It holds at most 16384 records of 512 bytes (8 MiB), so a scan
// looks a game's overflow number up in memory instead of reading a record per game.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/store/layout.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra {

class OverflowSlots {
public:
    void Load(const GameStore& store) {
        if (!store.files.Exists(ext::kOverflowGameData)) return;
        RecordFile file;
        if (!file.Open(store.files.Path(ext::kOverflowGameData), kGameDataRecordSize,
                       RecordFile::Access::Read)) {
            return;
        }
        records_ = std::min<std::uint64_t>(file.RecordCount(), kMaxOverflowNumber);
        bytes_.resize(std::size_t(records_) * kGameDataRecordSize);
        file.Read(0, bytes_.data(), std::size_t(records_));
    }
    // Null (no slots there) for 0, a number outside 1-16384 or past the end of the file.
    const std::uint8_t* Get(int n) const {
        if (n < 1 || std::uint64_t(n) > records_) return nullptr;
        return bytes_.data() + std::size_t(n - 1) * kGameDataRecordSize;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t records_ = 0;
};

}  // namespace movra
