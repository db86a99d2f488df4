#include "core/list/game_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

#include "core/list/position_matcher.h"
#include "core/text/sjis_literal.h"
#include "core/store/layout.h"
#include "core/store/overflow_slots.h"
#include "core/store/record_file.h"

namespace movra {

using namespace movra::literals;

std::string SearchProgressCaption() { return std::string{"【 検 索 中 】"_sj}; }

std::string SearchCounterText(long examined) {
    char text[32];
    std::snprintf(text, sizeof text, "(%7ld )", examined);
    return text;
}

std::string SearchResultMessage(long hits) {
    return std::string{"検索結果は "_sj} + std::to_string(hits) + std::string{"件です"_sj};
}

namespace {

// 256 KB of game data a block: it stays in the cache between the read and the replay.
constexpr std::size_t kBlockRecords = 512;
constexpr std::uint64_t kProgressStep = 100;
// Below this many games a second thread costs more than it saves.
constexpr std::uint64_t kTwoRangesFrom = 20000;
// The narrowing search reads through a gap of up to this many records rather than seek.
constexpr std::uint64_t kReadThroughGap = 64;

const std::uint8_t* ZeroRecord() {
    static const std::array<std::uint8_t, kGameDataRecordSize> zeros{};
    return zeros.data();
}

// What the ranges of one search share.
struct RunState {
    std::atomic<bool> stop{false};
    std::array<std::atomic<std::uint64_t>, 2> examined{};
    std::array<std::atomic<bool>, 2> finished{};
};

// Reports progress on the calling thread and turns a stop answer into the stop flag.
class Reporter {
public:
    Reporter(Prompter& prompter, RunState& run, std::uint64_t total)
        : prompter_(prompter), run_(run), total_(total), caption_(SearchProgressCaption()) {}
    void Report() {
        const std::uint64_t done = run_.examined[0].load(std::memory_order_relaxed) +
                                   run_.examined[1].load(std::memory_order_relaxed);
        reported_ = done;
        if (!prompter_.Progress(caption_, long(done), long(total_))) {
            run_.stop.store(true, std::memory_order_relaxed);
        }
    }
    // While waiting for the other range: a report whenever another hundred games are done.
    void ReportIfAdvanced() {
        const std::uint64_t done = run_.examined[0].load(std::memory_order_relaxed) +
                                   run_.examined[1].load(std::memory_order_relaxed);
        if (done >= reported_ + kProgressStep) Report();
    }

private:
    Prompter& prompter_;
    RunState& run_;
    std::uint64_t total_;
    std::uint64_t reported_ = 0;
    std::string caption_;
};

// Counts the games of one range, publishing the count (and reporting, on the calling thread)
// every 100 games. Returns false when the search is to stop.
class RangeCounter {
public:
    RangeCounter(RunState& run, int which, Reporter* reporter)
        : run_(run), which_(which), reporter_(reporter) {}
    bool Count() {
        ++count_;
        if (count_ % kProgressStep != 0) return true;
        run_.examined[std::size_t(which_)].store(count_, std::memory_order_relaxed);
        if (reporter_ != nullptr) reporter_->Report();
        return !run_.stop.load(std::memory_order_relaxed);
    }
    void Finish() {
        run_.examined[std::size_t(which_)].store(count_, std::memory_order_relaxed);
    }
    std::uint64_t count() const { return count_; }

private:
    RunState& run_;
    int which_;
    Reporter* reporter_;
    std::uint64_t count_ = 0;
};

// What one range of a search needs and what it found.
struct RangeResult {
    GameHeader* out = nullptr;       // where its hits go
    std::uint32_t capacity = 0;      // how many fit there
    std::uint32_t hits = 0;
    std::uint32_t unlisted = 0;
    std::uint64_t examined = 0;
    bool overCapacity = false;
    std::exception_ptr error;

    bool Add(const GameHeader& h) {
        if (hits >= capacity) {
            overCapacity = true;
            return false;
        }
        out[hits++] = h;
        return true;
    }
};

struct SearchTools {
    const HeaderFilter& filter;
    const PositionMatcher* matcher;  // null without a position mode
    const OverflowSlots& overflow;
};

// --- the full search -------------------------------------------------------------------------------

struct FullRange {
    std::uint64_t begin = 0;  // game positions (record number − 1), end exclusive
    std::uint64_t end = 0;
    RecordBlockReader index;
    RecordBlockReader data;
    RangeResult result;
};

void SearchFullRange(FullRange& r, const SearchTools& tools, RunState& run, int which,
                     Reporter* reporter) {
    RangeCounter counter(run, which, reporter);
    const std::uint8_t* indexBlock = nullptr;
    std::size_t indexLeft = 0;
    const std::uint8_t* dataBlock = nullptr;
    std::size_t dataLeft = 0;
    bool dataEnded = false;
    try {
        for (std::uint64_t i = r.begin; i < r.end; ++i) {
            if (indexLeft == 0 && (indexLeft = r.index.Next(indexBlock)) == 0) break;
            const std::uint8_t* record = indexBlock;
            indexBlock += kIndexRecordSize;
            --indexLeft;
            const std::uint8_t* slots = ZeroRecord();
            if (tools.matcher != nullptr && !dataEnded) {
                if (dataLeft == 0 && (dataLeft = r.data.Next(dataBlock)) == 0) dataEnded = true;
                if (!dataEnded) {
                    slots = dataBlock;
                    dataBlock += kGameDataRecordSize;
                    --dataLeft;
                }
            }
            if (!counter.Count()) break;

            if (!tools.filter.Passes(HeaderFields::FromIndexBytes(record))) continue;
            int hit = -1;
            if (tools.matcher != nullptr) {
                const int overflowNumber = LoadU16(record + indexword::kOverflow * 2);
                const int handicap = LoadU16(record + indexword::kHandicap * 2);
                hit = tools.matcher->Scan(slots, tools.overflow.Get(overflowNumber), handicap);
                if (hit < 0) continue;
            }
            GameHeader h;
            if (!HeaderFromIndexBytes(record, std::uint32_t(i + 1), h)) {
                ++r.result.unlisted;
                continue;
            }
            h.positionHit = std::int16_t(hit);
            if (!r.result.Add(h)) break;
        }
    } catch (...) {
        r.result.error = std::current_exception();
    }
    counter.Finish();
    r.result.examined = counter.count();
}

// --- the narrowing search ------------------------------------------------------------------------

// Game-data records by record number for entries in catalogue order: a block is read from the
// record asked for through the records the next entries ask for, as long as they ascend closely,
// so a catalogue in store order is read sequentially and a scattered one record by record.
class DataCursor {
public:
    void Open(const GameStore& store) {
        file_.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, RecordFile::Access::Read);
        buffer_.resize(kBlockRecords * kGameDataRecordSize);
    }
    const std::uint8_t* Get(std::span<const GameHeader> entries, std::size_t p, std::size_t end) {
        const std::uint32_t k = entries[p].recordNumber;
        if (k == 0) return ZeroRecord();
        const std::uint64_t r = k - 1;
        if (r >= first_ && r < first_ + count_) return buffer_.data() + (r - first_) * kGameDataRecordSize;
        std::uint64_t last = r;
        for (std::size_t q = p + 1; q < end; ++q) {
            const std::uint32_t next = entries[q].recordNumber;
            if (next == 0) break;
            const std::uint64_t rq = next - 1;
            if (rq <= last || rq - last > kReadThroughGap || rq >= r + kBlockRecords) break;
            last = rq;
        }
        first_ = r;
        count_ = last - r + 1;
        file_.Read(r, buffer_.data(), std::size_t(count_));
        return buffer_.data();
    }

private:
    RecordFile file_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t first_ = 0;
    std::uint64_t count_ = 0;
};

struct NarrowRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    DataCursor data;
    RangeResult result;
};

void SearchNarrowRange(NarrowRange& r, std::span<const GameHeader> entries, const SearchTools& tools,
                       RunState& run, int which, Reporter* reporter) {
    RangeCounter counter(run, which, reporter);
    try {
        for (std::size_t p = r.begin; p < r.end; ++p) {
            if (!counter.Count()) break;
            const GameHeader& h = entries[p];
            if (!tools.filter.Passes(HeaderFields::FromHeader(h))) continue;
            int hit = -1;
            if (tools.matcher != nullptr) {
                const std::uint8_t* slots = r.data.Get(entries, p, r.end);
                hit = tools.matcher->Scan(slots, tools.overflow.Get(h.overflowNumber), h.handicap);
                if (hit < 0) continue;
            }
            GameHeader e = h;
            e.positionHit = std::int16_t(hit);
            if (!r.result.Add(e)) break;
        }
    } catch (...) {
        r.result.error = std::current_exception();
    }
    counter.Finish();
    r.result.examined = counter.count();
}

// --- running ranges side by side -------------------------------------------------------------------

int RangesFor(const SearchOptions& options, std::uint64_t games) {
    if (options.threads == 1 || games < 2) return 1;
    if (options.threads >= 2) return 2;
    return std::thread::hardware_concurrency() >= 2 && games >= kTwoRangesFrom ? 2 : 1;
}

// Runs range 1 on a second thread and range 0 on this one (both here when no thread can be
// started), reporting progress from this thread until both are done.
template <typename RunRange>
void RunRanges(int ranges, RunState& run, Reporter& reporter, RunRange runRange) {
    if (ranges == 1) {
        runRange(0, &reporter);
        return;
    }
    std::thread second;
    try {
        second = std::thread([&] {
            runRange(1, nullptr);
            run.finished[1].store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        runRange(0, &reporter);
        if (!run.stop.load()) runRange(1, &reporter);
        return;
    }
    // The second range must end before this frame goes, whatever happens here.
    struct Joiner {
        std::thread& t;
        RunState& run;
        ~Joiner() {
            if (t.joinable()) {
                run.stop.store(true);
                t.join();
            }
        }
    } joiner{second, run};
    runRange(0, &reporter);
    while (!run.finished[1].load(std::memory_order_acquire)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        reporter.ReportIfAdvanced();
    }
    second.join();
}

// Puts the hits of both ranges together in order and, unless stopped or empty, over the
// catalogue.
SearchOutcome Finish(std::span<const RangeResult* const> results, GameHeader* working,
                     const RunState& run, GameCatalogue& catalogue, Prompter& prompter,
                     const SearchOptions& options) {
    SearchOutcome outcome;
    for (const RangeResult* r : results) {
        if (r->error) std::rethrow_exception(r->error);
    }
    std::uint32_t total = 0;
    bool full = false;
    for (const RangeResult* r : results) {
        outcome.examined += r->examined;
        outcome.unlisted += r->unlisted;
        // The second range's hits follow the first's; once the first filled the catalogue there
        // is no room for them.
        if (full) {
            outcome.overCapacity = outcome.overCapacity || r->hits > 0;
            continue;
        }
        if (r->out != working + total) std::memmove(working + total, r->out, r->hits * sizeof(GameHeader));
        total += r->hits;
        outcome.overCapacity = outcome.overCapacity || r->overCapacity;
        full = r->overCapacity;
    }
    outcome.stopped = run.stop.load() && !outcome.overCapacity;
    if (outcome.stopped) return outcome;
    outcome.hits = total;
    if (total > 0) {
        std::copy_n(working, total, catalogue.allEntries().data());
        catalogue.setCount(total);
        catalogue.setPageStart(1);
    }
    if (options.announce) prompter.Inform(SearchResultMessage(long(total)));
    return outcome;
}

std::optional<PositionMatcher> MatcherFor(const SearchConditions& c) {
    if (c.positionMode == PositionMode::None) return std::nullopt;
    return PositionMatcher(c.pattern, c.positionMode, c.depth);
}

}  // namespace

SearchOutcome FullSearch(const GameStore& store, const SearchConditions& conditions,
                         GameCatalogue& catalogue, Prompter& prompter,
                         const SearchOptions& options) {
    const HeaderFilter filter(conditions);
    const std::optional<PositionMatcher> matcher = MatcherFor(conditions);
    OverflowSlots overflow;
    if (matcher && matcher->depth() > kSlotsPerRecord) overflow.Load(store);
    const SearchTools tools{filter, matcher ? &*matcher : nullptr, overflow};

    std::uint64_t games = 0;
    {
        RecordFile index;
        if (!index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read)) {
            throw StoreIoError("cannot open", store.files.IndexPath());
        }
        games = index.RecordCount() > 0 ? index.RecordCount() - 1 : 0;
    }
    const std::uint32_t capacity = GameCatalogue::capacity();
    // Two ranges write their hits into the working array at their own starts, which needs the
    // whole store to fit it.
    const int ranges = games <= capacity ? RangesFor(options, games) : 1;
    const std::uint64_t split = ranges == 2 ? games / 2 : games;
    GameHeader* working = catalogue.working().data();

    std::array<FullRange, 2> r;
    r[0].begin = 0;
    r[0].end = split;
    r[1].begin = split;
    r[1].end = games;
    for (int i = 0; i < ranges; ++i) {
        FullRange& range = r[std::size_t(i)];
        if (!range.index.Open(store.files.IndexPath(), kIndexRecordSize, 1 + range.begin, kBlockRecords)) {
            throw StoreIoError("cannot open", store.files.IndexPath());
        }
        if (matcher && !range.data.Open(store.files.Path(ext::kGameData), kGameDataRecordSize,
                                        range.begin, kBlockRecords)) {
            throw StoreIoError("cannot open", store.files.Path(ext::kGameData));
        }
        range.result.out = working + range.begin;
        range.result.capacity =
            std::uint32_t(std::min<std::uint64_t>(capacity - range.begin, range.end - range.begin));
        if (ranges == 1) range.result.capacity = capacity;
    }

    RunState run;
    Reporter reporter(prompter, run, games);
    RunRanges(ranges, run, reporter, [&](int which, Reporter* rep) {
        SearchFullRange(r[std::size_t(which)], tools, run, which, rep);
    });
    const RangeResult* results[2] = {&r[0].result, &r[1].result};
    return Finish(std::span<const RangeResult* const>(results, std::size_t(ranges)), working, run,
                  catalogue, prompter, options);
}

SearchOutcome NarrowSearch(const GameStore& store, const SearchConditions& conditions,
                           GameCatalogue& catalogue, Prompter& prompter,
                           const SearchOptions& options) {
    const HeaderFilter filter(conditions);
    const std::optional<PositionMatcher> matcher = MatcherFor(conditions);
    OverflowSlots overflow;
    if (matcher && matcher->depth() > kSlotsPerRecord) overflow.Load(store);
    const SearchTools tools{filter, matcher ? &*matcher : nullptr, overflow};

    const std::span<const GameHeader> entries = catalogue.entries();
    const int ranges = RangesFor(options, entries.size());
    const std::size_t split = ranges == 2 ? entries.size() / 2 : entries.size();
    GameHeader* working = catalogue.working().data();

    std::array<NarrowRange, 2> r;
    r[0].begin = 0;
    r[0].end = split;
    r[1].begin = split;
    r[1].end = entries.size();
    for (int i = 0; i < ranges; ++i) {
        NarrowRange& range = r[std::size_t(i)];
        if (matcher) range.data.Open(store);
        range.result.out = working + range.begin;
        range.result.capacity = std::uint32_t(range.end - range.begin);
    }

    RunState run;
    Reporter reporter(prompter, run, entries.size());
    RunRanges(ranges, run, reporter, [&](int which, Reporter* rep) {
        SearchNarrowRange(r[std::size_t(which)], entries, tools, run, which, rep);
    });
    const RangeResult* results[2] = {&r[0].result, &r[1].result};
    return Finish(std::span<const RangeResult* const>(results, std::size_t(ranges)), working, run,
                  catalogue, prompter, options);
}

}  // namespace movra
