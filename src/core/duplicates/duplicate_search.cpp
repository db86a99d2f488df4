#include "core/duplicates/duplicate_search.h"

#include <xxhash.h>

#include <algorithm>
#include <compare>
#include <cstring>
#include <new>
#include <vector>

#include "core/duplicates/slot_replay.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

std::string NoStoreMessage() { return "\rMovra形式の棋譜ファイルが読み込まれていません。"_sj; }
std::string NoCriterionMessage() { return "\rチェック項目を選択して下さい！"_sj; }
std::string MemoryShortMessage() { return "\rメモリ不足のため処理できません。"_sj; }
std::string DuplicatesFoundMessage(long sets) {
    if (sets <= 0) return "\r重複棋譜はありませんでした。"_sj;
    return "\r"_sj + std::to_string(sets) + "組の重複棋譜がありました。"_sj;
}

namespace {

struct Key128 {
    std::uint64_t hi = 0;
    std::uint64_t lo = 0;
    friend auto operator<=>(const Key128&, const Key128&) = default;
};

enum class Content { None, Moves, FinalPosition };

// The ticked header fields packed so that comparing keys compares the fields in the order of
// the sort: date newest first, sente, gote, then tournament, game number, opening, result and
// handicap. A field not ticked is 0.
Key128 FieldKey(const GameHeader& h, const DuplicateCriteria& c, bool others) {
    // A date is below 65536 × 10000 + 255 × 100 + 255 < 2^30.
    constexpr std::uint64_t kDateMask = (std::uint64_t(1) << 30) - 1;
    Key128 k;
    if (c.date) k.hi |= (kDateMask - h.dateValue()) << 34;
    if (c.players) k.hi |= std::uint64_t(h.sentePlayer) << 18 | std::uint64_t(h.gotePlayer) << 2;
    if (others) {
        if (c.tournament) k.lo |= std::uint64_t(h.tournament) << 56;
        if (c.gameNumber) k.lo |= std::uint64_t(h.gameNumber) << 48;
        if (c.opening) k.lo |= std::uint64_t(h.opening) << 40;
        if (c.result) k.lo |= std::uint64_t(h.result) << 32;
        if (c.handicap) k.lo |= std::uint64_t(h.handicap) << 24;
    }
    return k;
}

Key128 Digest(const void* bytes, std::size_t size) {
    const XXH128_hash_t d = XXH3_128bits(bytes, size);
    return {d.high64, d.low64};
}

// The moves as a string: slots 1-256 up to the first zero byte.
Key128 MovesDigest(const std::uint8_t* record) {
    const void* zero = std::memchr(record, 0, kGameDataRecordSize);
    const std::size_t size = zero ? std::size_t(static_cast<const std::uint8_t*>(zero) - record)
                                  : kGameDataRecordSize;
    return Digest(record, size);
}

struct Row {
    Key128 fields;
    Key128 content;
    std::uint32_t index = 0;
    friend auto operator<=>(const Row&, const Row&) = default;
};

struct Set {
    std::size_t start = 0;  // in the sorted rows
    std::size_t size = 0;
};

}  // namespace

DuplicateOutcome FindDuplicates(const GameStore& store, GameCatalogue& catalogue,
                                const DuplicateCriteria& criteria, Prompter& prompter,
                                const ScanOptions& options) {
    DuplicateOutcome outcome;
    const std::uint32_t n = catalogue.count();
    auto entries = catalogue.entries();
    auto working = catalogue.working();
    std::copy(entries.begin(), entries.end(), working.begin());

    // Moves win over the final position; the five other fields count only beside players or date.
    const Content content = criteria.moves           ? Content::Moves
                            : criteria.finalPosition ? Content::FinalPosition
                                                     : Content::None;
    const bool others = !criteria.otherFieldsDisabled();

    try {
        std::vector<Row> rows(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            rows[i].fields = FieldKey(working[i], criteria, others);
            rows[i].index = i;
        }
        if (content != Content::None) {
            std::vector<ScanItem> items(n);
            for (std::uint32_t i = 0; i < n; ++i) items[i] = {working[i].recordNumber, i};
            std::sort(items.begin(), items.end(), [](const ScanItem& a, const ScanItem& b) {
                return a.record != b.record ? a.record < b.record : a.index < b.index;
            });
            std::vector<SlotReplay> replays(2);
            const bool moves = content == Content::Moves;
            const std::string caption = moves ? std::string("【 棋譜手順確認中 】"_sj) : std::string("【 最終図確認中 】"_sj);
            const bool done = ScanGameData(
                store, items,
                [&](int worker, const ScanItem& item, const std::uint8_t* record) {
                    if (moves) {
                        rows[item.index].content = MovesDigest(record);
                        return;
                    }
                    SlotReplay& r = replays[std::size_t(worker)];
                    r.Run(record, working[item.index].handicap);
                    const PositionBytes p = r.Bytes();
                    rows[item.index].content = Digest(p.data(), p.size());
                },
                prompter, caption, options);
            if (!done) {
                outcome.stopped = true;
                prompter.EndProgress();
                return outcome;
            }
        }

        prompter.Progress("【 ソート中 】"_sj, 0, long(n));
        std::sort(rows.begin(), rows.end());
        prompter.Progress("【 重複棋譜検索中 】"_sj, 0, long(n));
        std::vector<Set> sets;
        for (std::size_t i = 0; i < rows.size();) {
            std::size_t j = i + 1;
            while (j < rows.size() && rows[j].fields == rows[i].fields && rows[j].content == rows[i].content) ++j;
            if (j - i >= 2) sets.push_back({i, j - i});
            i = j;
        }
        // Inside a run of equal fields the sets were sorted by digest: put them in the order of
        // their first games.
        std::stable_sort(sets.begin(), sets.end(), [&](const Set& a, const Set& b) {
            const Row& x = rows[a.start];
            const Row& y = rows[b.start];
            if (x.fields != y.fields) return x.fields < y.fields;
            return x.index < y.index;
        });
        std::uint32_t listed = 0;
        auto all = catalogue.allEntries();
        for (const Set& s : sets) {
            for (std::size_t r = s.start; r < s.start + s.size; ++r) {
                GameHeader h = working[rows[r].index];
                h.positionHit = -1;
                all[listed++] = h;
            }
        }
        prompter.Progress("【 重複棋譜検索中 】"_sj, long(n), long(n));
        prompter.EndProgress();
        outcome.sets = long(sets.size());
        outcome.setSizes.reserve(sets.size());
        for (const Set& set : sets) outcome.setSizes.push_back(std::uint32_t(set.size));
        outcome.games = long(listed);
        if (listed > 0) {
            catalogue.setCount(listed);
            catalogue.setPageStart(1);
        }
    } catch (const std::bad_alloc&) {
        prompter.EndProgress();
        outcome = DuplicateOutcome{};
        outcome.memoryShort = true;
    }
    return outcome;
}

DuplicateOutcome RunDuplicateSearch(StoreSession& session, const DuplicateCriteria& criteria,
                                    Prompter& prompter, const ScanOptions& options) {
    if (!session.isOpen()) {
        prompter.Warn(NoStoreMessage());
        return {};
    }
    if (!criteria.any()) {
        prompter.Warn(NoCriterionMessage());
        return {};
    }
    LoadCatalogue(session.store, session.catalogue);
    DuplicateOutcome outcome = FindDuplicates(session.store, session.catalogue, criteria, prompter, options);
    if (outcome.memoryShort) {
        prompter.Warn(MemoryShortMessage());
    } else if (!outcome.stopped) {
        prompter.Inform(DuplicatesFoundMessage(outcome.sets));
    }
    return outcome;
}

}  // namespace movra
