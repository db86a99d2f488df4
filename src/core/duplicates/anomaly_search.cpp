#include "core/duplicates/anomaly_search.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include "core/duplicates/duplicate_search.h"
#include "core/duplicates/slot_replay.h"
#include "core/rules/piece.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

// The word each check's captions and messages are made of.
std::string CheckWord(AnomalyCheck check) {
    switch (check) {
        case AnomalyCheck::Repetition: return "千日手"_sj;
        case AnomalyCheck::FullFile: return "駒柱"_sj;
        case AnomalyCheck::EmptyHands: return "持駒なし終局"_sj;
        case AnomalyCheck::CapturedKing: return "玉素抜き"_sj;
        case AnomalyCheck::Length: return "指定手数"_sj;
    }
    return {};
}

constexpr std::int16_t kNotFound = std::numeric_limits<std::int16_t>::min();

// Positions seen in one game, by Zobrist key and the parity of the move: an open-addressed
// table cleared by a generation number instead of by writing, since a million games use it.
class SeenPositions {
public:
    void NextGame() {
        if (++generation_ == 0) {
            std::fill(slots_.begin(), slots_.end(), Slot{});
            generation_ = 1;
        }
    }
    // How often the key has been seen now, this time included.
    int Count(std::uint64_t key) {
        std::size_t at = std::size_t(key ^ (key >> 29)) & (kSize - 1);
        for (;;) {
            Slot& s = slots_[at];
            if (s.generation != generation_) {
                s = {key, generation_, 1};
                return 1;
            }
            if (s.key == key) return ++s.count;
            at = (at + 1) & (kSize - 1);
        }
    }

private:
    // At most 256 positions a game: the table stays at most a quarter full.
    static constexpr std::size_t kSize = 1024;
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t generation = 0;
        std::uint32_t count = 0;
    };
    std::vector<Slot> slots_ = std::vector<Slot>(kSize);
    std::uint32_t generation_ = 0;
};

constexpr std::uint64_t kGoteToMove = 0x9E3779B97F4A7C15ull;

int RepetitionHit(SlotReplay& replay, SeenPositions& seen, const std::uint8_t* record, int handicap) {
    seen.NextGame();
    bool candidate = false;
    replay.Run(record, handicap, [&](int t) {
        const std::uint64_t key = replay.key() ^ ((t & 1) ? kGoteToMove : 0);
        if (seen.Count(key) >= 4) candidate = true;
        return !candidate;
    });
    // Equal positions always have equal keys, so the fast pass never misses one; the plain form
    // confirms it and gives the answer.
    return candidate ? FirstFourfoldRepetition(record, handicap) : 0;
}

// The moves as stored in slots 1-256 (the placeholder of a handicap game not counted); a game
// that fills its first record and goes on in an overflow record counts 256, more than any
// number the check is asked about.
int StoredMoves(const std::uint8_t* record, const GameHeader& h) {
    int slots = 0;
    while (slots < kSlotsPerRecord && record[std::size_t(slots) * 2] != 0) ++slots;
    if (slots == kSlotsPerRecord && h.overflowNumber != 0) return kSlotsPerRecord;
    if (slots > 0 && record[0] == kPlaceholderByte) --slots;
    return slots;
}

}  // namespace

std::string AnomalyCaption(AnomalyCheck check) {
    if (check == AnomalyCheck::Length) return "【 指定手数棋譜検索中 】"_sj;
    return "【 "_sj + CheckWord(check) + "検索中 】"_sj;
}

std::string AnomalyMessage(AnomalyCheck check, long found) {
    if (found <= 0) return "\r"_sj + CheckWord(check) + "棋譜はありませんでした。"_sj;
    return "\r"_sj + std::to_string(found) + "件の"_sj + CheckWord(check) + "棋譜がありました。"_sj;
}

std::string AnomalyCounterText(long examined) {
    char text[32];
    std::snprintf(text, sizeof text, "( %5ld )", examined);
    return text;
}

std::optional<ChordRequest> AnomalyChords::Press(const ChordKey& key) {
    if (key.modifierOnly) return std::nullopt;
    const Armed armed = armed_;
    armed_ = Armed::None;
    const bool ctrlShift = key.ctrl && key.shift && !key.alt;
    if (armed == Armed::K && ctrlShift && key.letter == 'H') return ChordRequest{AnomalyCheck::FullFile};
    if (armed == Armed::T && ctrlShift && key.letter == 'M') return ChordRequest{AnomalyCheck::EmptyHands};
    if (armed == Armed::CharAfterT) {
        if (key.typed == 'O' || key.typed == 'o') return ChordRequest{AnomalyCheck::CapturedKing};
        if ((key.typed >= '0' && key.typed <= '9') || key.typed == '-') {
            return ChordRequest{AnomalyCheck::Length, key.typed};
        }
    }
    if (ctrlShift && key.letter == 'S') return ChordRequest{AnomalyCheck::Repetition};
    if (ctrlShift && key.letter == 'K') armed_ = Armed::K;
    if (ctrlShift && key.letter == 'T') armed_ = Armed::T;
    if (key.ctrl && key.alt && !key.shift && key.letter == 'T') armed_ = Armed::CharAfterT;
    return std::nullopt;
}

std::optional<int> ParseLengthValue(std::string_view text) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc{} || ptr != end || begin == end) return std::nullopt;
    if (value < -255 || value > 255) return std::nullopt;
    return value;
}

int FirstFourfoldRepetition(const std::uint8_t* record, int handicapNumber) {
    struct Seen {
        PositionBytes position;
        int parity;
        int move;
    };
    std::vector<Seen> seen;
    seen.reserve(kSlotsPerRecord);
    SlotReplay replay;
    replay.Run(record, handicapNumber, [&](int t) {
        seen.push_back({replay.Bytes(), t & 1, t});
        return true;
    });
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) {
        if (a.position != b.position) return a.position < b.position;
        if (a.parity != b.parity) return a.parity < b.parity;
        return a.move < b.move;
    });
    int best = 0;
    for (std::size_t i = 0; i < seen.size();) {
        std::size_t j = i + 1;
        while (j < seen.size() && seen[j].position == seen[i].position && seen[j].parity == seen[i].parity) ++j;
        if (j - i >= 4 && (best == 0 || seen[i + 3].move < best)) best = seen[i + 3].move;
        i = j;
    }
    return best;
}

AnomalyOutcome FindAnomalies(const GameStore& store, GameCatalogue& catalogue, AnomalyCheck check,
                             int lengthValue, Prompter& prompter, const ScanOptions& options) {
    AnomalyOutcome outcome;
    const std::uint32_t n = catalogue.count();
    auto entries = catalogue.entries();
    auto working = catalogue.working();
    std::copy(entries.begin(), entries.end(), working.begin());
    const int limit = lengthValue < 0 ? -lengthValue : lengthValue;

    try {
        std::vector<std::int16_t> hits(n, kNotFound);
        std::vector<ScanItem> items(n);
        for (std::uint32_t i = 0; i < n; ++i) items[i] = {working[i].recordNumber, i};
        std::sort(items.begin(), items.end(), [](const ScanItem& a, const ScanItem& b) {
            return a.record != b.record ? a.record < b.record : a.index < b.index;
        });
        SlotReplay replays[2];
        SeenPositions seen[2];
        ScanOptions scan = options;
        scan.progressEvery = 100;
        const bool done = ScanGameData(
            store, items,
            [&](int worker, const ScanItem& item, const std::uint8_t* record) {
                const GameHeader& h = working[item.index];
                SlotReplay& replay = replays[worker];
                std::int16_t& hit = hits[item.index];
                switch (check) {
                    case AnomalyCheck::Repetition: {
                        const int t = RepetitionHit(replay, seen[worker], record, h.handicap);
                        if (t > 0) hit = std::int16_t(t);
                        break;
                    }
                    case AnomalyCheck::FullFile: {
                        int full = 0;
                        replay.Run(record, h.handicap, [&](int t) {
                            if (replay.lastFileFull()) full = t;
                            return full == 0;
                        });
                        if (full > 0) hit = std::int16_t(full);
                        break;
                    }
                    case AnomalyCheck::EmptyHands: {
                        const int moves = replay.Run(record, h.handicap);
                        bool empty = true;
                        for (int side = 1; side <= 2; ++side) {
                            for (int k = kind::Fu; k <= kind::Hi; ++k) empty = empty && replay.held(side, k) == 0;
                        }
                        if (empty) hit = std::int16_t(moves);
                        break;
                    }
                    case AnomalyCheck::CapturedKing: {
                        const int moves = replay.Run(record, h.handicap);
                        if (replay.held(1, kind::Gyoku) > 0 || replay.held(2, kind::Gyoku) > 0) {
                            hit = std::int16_t(moves);
                        }
                        break;
                    }
                    case AnomalyCheck::Length: {
                        const int moves = StoredMoves(record, h);
                        if (lengthValue >= 0 ? moves > limit : moves <= limit) hit = -1;
                        break;
                    }
                }
            },
            prompter, AnomalyCaption(check), scan);
        prompter.EndProgress();
        if (!done) {
            outcome.stopped = true;
            return outcome;
        }
        std::uint32_t listed = 0;
        auto all = catalogue.allEntries();
        for (std::uint32_t i = 0; i < n; ++i) {
            if (hits[i] == kNotFound) continue;
            GameHeader h = working[i];
            h.positionHit = hits[i];
            all[listed++] = h;
        }
        outcome.found = long(listed);
        if (listed > 0) {
            catalogue.setCount(listed);
            catalogue.setPageStart(1);
        }
    } catch (const std::bad_alloc&) {
        prompter.EndProgress();
        outcome = AnomalyOutcome{};
        outcome.memoryShort = true;
    }
    return outcome;
}

long RunAnomalyCheck(StoreSession& session, AnomalyCheck check, int lengthValue, Prompter& prompter,
                     const ScanOptions& options) {
    if (!session.isOpen()) {
        prompter.Warn(NoStoreMessage());
        return 0;
    }
    const AnomalyOutcome outcome =
        FindAnomalies(session.store, session.catalogue, check, lengthValue, prompter, options);
    if (outcome.memoryShort) {
        prompter.Warn(MemoryShortMessage());
        return 0;
    }
    if (outcome.stopped) return 0;
    prompter.Inform(AnomalyMessage(check, outcome.found));
    return outcome.found;
}

}  // namespace movra
