#include "core/duplicates/game_data_scan.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "core/store/record_file.h"

namespace movra {
namespace {

// Below this many games a second thread costs more than it saves.
constexpr std::size_t kTwoHalvesFrom = 20000;
// Records read at a time: 1 MB.
constexpr std::uint32_t kBlockRecords = 2048;

struct Shared {
    std::atomic<long> visited{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> secondDone{false};
    std::exception_ptr error[2];
};

// Reports on the calling thread whenever the count has passed another step.
class Reporter {
public:
    Reporter(Prompter& prompter, const std::string& caption, long total, long every, Shared& shared)
        : prompter_(prompter), caption_(caption), total_(total), every_(std::max(1L, every)),
          shared_(shared) {}
    void Poll() {
        const long now = shared_.visited.load(std::memory_order_relaxed);
        if (now / every_ == reported_ / every_) return;
        reported_ = now;
        if (!prompter_.Progress(caption_, now, total_)) shared_.stop.store(true);
    }

private:
    Prompter& prompter_;
    const std::string& caption_;
    long total_;
    long every_;
    Shared& shared_;
    long reported_ = 0;
};

void ScanHalf(const RecordFile& file, std::span<const ScanItem> items, int worker,
              const ScanVisitor& visit, Shared& shared, Reporter* reporter) {
    std::vector<std::uint8_t> block(std::size_t(kBlockRecords) * kGameDataRecordSize);
    std::size_t i = 0;
    while (i < items.size()) {
        if (shared.stop.load(std::memory_order_relaxed)) return;
        const std::uint32_t first = items[i].record;
        std::size_t j = i;
        while (j < items.size() && items[j].record - first < kBlockRecords) ++j;
        const std::uint32_t last = items[j - 1].record;
        // Record k is at k - 1; a record 0 (no game) reads as zeros like one past the end.
        if (first == 0) {
            std::memset(block.data(), 0, block.size());
            if (last > 0) file.Read(0, block.data() + kGameDataRecordSize, last);
        } else {
            file.Read(first - 1, block.data(), last - first + 1);
        }
        for (std::size_t n = i; n < j; ++n) {
            visit(worker, items[n], block.data() + std::size_t(items[n].record - first) * kGameDataRecordSize);
            if (reporter != nullptr && ((n - i) & 63) == 63) {
                shared.visited.fetch_add(64, std::memory_order_relaxed);
                reporter->Poll();
            }
        }
        if (reporter != nullptr) {
            shared.visited.fetch_add(long((j - i) & 63), std::memory_order_relaxed);
            reporter->Poll();
        } else {
            shared.visited.fetch_add(long(j - i), std::memory_order_relaxed);
        }
        i = j;
    }
}

}  // namespace

bool ScanGameData(const GameStore& store, std::span<const ScanItem> items, const ScanVisitor& visit,
                  Prompter& prompter, const std::string& caption, const ScanOptions& options) {
    const auto path = store.files.Path(ext::kGameData);
    RecordFile files[2];
    if (!files[0].Open(path, kGameDataRecordSize, RecordFile::Access::Read)) {
        throw StoreIoError("cannot open the game-data file", path);
    }
    Shared shared;
    Reporter reporter(prompter, caption, long(items.size()), options.progressEvery, shared);
    if (!prompter.Progress(caption, 0, long(items.size()))) return false;

    const bool two = options.threads != 1 && items.size() >= 2 &&
                     (options.threads >= 2 ||
                      (std::thread::hardware_concurrency() >= 2 && items.size() >= kTwoHalvesFrom));
    if (!two || !files[1].Open(path, kGameDataRecordSize, RecordFile::Access::Read)) {
        try {
            ScanHalf(files[0], items, 0, visit, shared, &reporter);
        } catch (...) {
            shared.error[0] = std::current_exception();
        }
    } else {
        const std::size_t half = items.size() / 2;
        std::thread second;
        bool started = true;
        try {
            second = std::thread([&] {
                try {
                    ScanHalf(files[1], items.subspan(half), 1, visit, shared, nullptr);
                } catch (...) {
                    shared.error[1] = std::current_exception();
                    shared.stop.store(true);
                }
                shared.secondDone.store(true, std::memory_order_release);
            });
        } catch (const std::system_error&) {
            started = false;
        }
        try {
            ScanHalf(files[0], started ? items.first(half) : items, 0, visit, shared, &reporter);
        } catch (...) {
            shared.error[0] = std::current_exception();
            shared.stop.store(true);
        }
        if (started) {
            while (!shared.secondDone.load(std::memory_order_acquire)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                reporter.Poll();
            }
            second.join();
        }
    }
    for (const auto& e : shared.error) {
        if (e) std::rethrow_exception(e);
    }
    if (shared.stop.load()) return false;
    prompter.Progress(caption, long(items.size()), long(items.size()));
    return true;
}

}  // namespace movra
