#pragma once
// Reading the game-data records of many games for the checks: the games are visited in record
// order, the file read in large blocks (a block stops at the last game wanted inside it, so a
// few scattered games cost a few small reads), and on a machine with two cores the games are
// split in two halves read side by side. Progress is reported on the calling thread only.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

// One game to visit: its record number (1-based) and the caller's index for it.
struct ScanItem {
    std::uint32_t record = 0;
    std::uint32_t index = 0;
};

struct ScanOptions {
    // 0: as the machine allows (two halves on two cores for enough games); 1: all on the
    // calling thread; 2: two halves whatever the number of games.
    int threads = 0;
    // Progress every this many games.
    long progressEvery = 1000;
};

// Visits the game-data record (512 bytes, slots 1-256) of each item, items sorted by record
// number. A record past the end of the file reads as zeros (a game without moves). `visit` runs
// on the worker given as its first argument (0 or 1) and must only touch what belongs to the
// item or to that worker. Progress is reported as (caption, games visited, games); a false
// answer stops the scan. Returns false when stopped. Throws StoreIoError when the game-data
// file cannot be opened; an exception from `visit` ends the scan and is thrown again here.
using ScanVisitor = std::function<void(int worker, const ScanItem& item, const std::uint8_t* record)>;
bool ScanGameData(const GameStore& store, std::span<const ScanItem> items, const ScanVisitor& visit,
                  Prompter& prompter, const std::string& caption, const ScanOptions& options = {});

}  // namespace movra
