#include "core/matesearch/mate_table.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace movra::mate {

MateTable::MateTable(std::size_t megabytes) {
    std::size_t bytes = std::max<std::size_t>(megabytes, 1) << 20;
    std::size_t count = 1;
    while (count * 2 * sizeof(Bucket) <= bytes) count *= 2;
    bucketCount_ = count;
    // Probes land anywhere in the table: large pages spare most of the address-translation misses.
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    std::size_t size = bucketCount_ * sizeof(Bucket);
    std::size_t alignment = size >= kLargePage ? kLargePage : alignof(Bucket);
    void* memory = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (!memory) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    if (alignment == kLargePage) madvise(memory, size, MADV_HUGEPAGE);
#endif
    std::memset(memory, 0, size);  // every entry free
    buckets_.reset(static_cast<Bucket*>(memory));
}

void MateTable::Release::operator()(Bucket* b) const { std::free(b); }

void MateTable::Clear() {
    if (++generation_ == 0) {
        // The generation byte wrapped: wipe the table so no old entry looks current.
        std::memset(static_cast<void*>(buckets_.get()), 0, bucketCount_ * sizeof(Bucket));
        generation_ = 1;
    }
}

NodeValue MateTable::Lookup(std::uint64_t key, std::uint32_t hand, int depth) const {
    NodeValue v;
    int hintPlies = -1;
    for (const Entry& e : bucketOf(key).entries) {
        if (e.key != key || !live(e)) continue;
        if (e.hand == hand) {
            v.seen = true;
            if (e.move != kNoMove && e.plies > hintPlies && e.plies != kNoMateAtAll) {
                v.hint = e.move;
                hintPlies = e.plies;
            }
        }
        switch (e.state) {
        case kProven:
            if (e.plies <= depth && hand::Dominates(hand, e.hand)) {
                v.pn = 0;
                v.dn = kInfinite;
                v.plies = e.plies;
                v.move = e.move;
                return v;
            }
            break;
        case kDisproven:
            if (e.plies >= depth && hand::Dominates(e.hand, hand)) {
                v.pn = kInfinite;
                v.dn = 0;
                v.plies = e.plies;
                return v;
            }
            break;
        default:
            if (e.hand == hand && e.plies == depth) {
                v.pn = e.pn;
                v.dn = e.dn;
            }
            break;
        }
    }
    return v;
}

MateTable::Entry& MateTable::victim(Bucket& b, std::uint64_t key, std::uint32_t hand, State state,
                                    int plies) {
    Entry* best = nullptr;
    std::uint64_t bestCost = ~std::uint64_t{0};
    for (Entry& e : b.entries) {
        if (!live(e)) return e;
        if (e.key == key) {
            bool useless = false;
            if (state == kProven) {
                // A proof with fewer pieces and no more plies answers everything e answered.
                useless = hand::Dominates(e.hand, hand) &&
                          ((e.state == kProven && e.plies >= plies) || (e.state == kUnknown && e.plies >= plies));
            } else if (state == kDisproven) {
                useless = hand::Dominates(hand, e.hand) &&
                          ((e.state == kDisproven && e.plies <= plies) || (e.state == kUnknown && e.plies <= plies));
            }
            if (useless) return e;
        }
        // Solved entries count double: they end whole subtrees at once.
        std::uint64_t cost = std::uint64_t(e.amount) * (e.state == kUnknown ? 1 : 2);
        if (cost < bestCost) {
            bestCost = cost;
            best = &e;
        }
    }
    return *best;
}

void MateTable::StoreProven(std::uint64_t key, std::uint32_t hand, int plies, Move move,
                            std::uint32_t amount) {
    Entry& e = victim(bucketOf(key), key, hand, kProven, plies);
    e = Entry{key, hand, 0, kInfinite, amount, std::uint16_t(plies), move, kProven, generation_, 0};
}

void MateTable::StoreDisproven(std::uint64_t key, std::uint32_t hand, int plies, Move move,
                               std::uint32_t amount) {
    Entry& e = victim(bucketOf(key), key, hand, kDisproven, plies);
    e = Entry{key, hand, kInfinite, 0, amount, std::uint16_t(std::min(plies, kNoMateAtAll)), move,
              kDisproven, generation_, 0};
}

void MateTable::StoreUnknown(std::uint64_t key, std::uint32_t hand, int depth, std::uint32_t pn,
                             std::uint32_t dn, Move move, std::uint32_t amount) {
    Bucket& b = bucketOf(key);
    for (Entry& e : b.entries) {
        if (live(e) && e.key == key && e.hand == hand && e.state == kUnknown && e.plies == depth) {
            e.pn = pn;
            e.dn = dn;
            e.move = move;
            e.amount = amount;
            return;
        }
    }
    Entry& e = victim(b, key, hand, kUnknown, depth);
    e = Entry{key, hand, pn, dn, amount, std::uint16_t(depth), move, kUnknown, generation_, 0};
}

int MateTable::usagePermille() const {
    std::size_t sample = std::min<std::size_t>(bucketCount_, 1000);
    std::size_t used = 0;
    for (std::size_t i = 0; i < sample; ++i)
        for (const Entry& e : buckets_[i].entries) used += live(e);
    return int(used * 1000 / (sample * kBucketSize));
}

}  // namespace movra::mate
