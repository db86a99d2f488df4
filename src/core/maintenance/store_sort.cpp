#include "core/maintenance/store_sort.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/maintenance/rewrite_support.h"
#include "core/store/comments.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_journal.h"

namespace movra::maintenance {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string SortCaption() { return std::string("【 ソート中 】"_sj); }
std::string RemoveSameCaption() { return std::string("【 重複棋譜削除中 】"_sj); }

namespace {

// What the order compares, made once a game.
struct SortKey {
    std::uint32_t date = 0;
    std::uint16_t sente = 0, gote = 0;
    std::uint64_t rest = 0;  // tournament, game number, opening, result and handicap together
};

SortKey KeyOf(const std::uint8_t* record) {
    const auto w = [record](int i) { return std::uint64_t(LoadU16(record + i * 2)); };
    SortKey k;
    k.date = std::uint32_t(w(indexword::kYear) * 10000 + w(indexword::kMonth) * 100 + w(indexword::kDay));
    k.sente = std::uint16_t(w(indexword::kSentePlayer));
    k.gote = std::uint16_t(w(indexword::kGotePlayer));
    k.rest = w(indexword::kTournament) * 5000000 + w(indexword::kGameNumber) * 500000 +
             w(indexword::kOpening) * 500 + w(indexword::kResult) * 50 + w(indexword::kHandicap);
    return k;
}

// The whole index file of a whole store, read in one go: the header and `count` records.
struct IndexImage {
    std::uint32_t count = 0;
    std::vector<std::uint8_t> bytes;  // (count + 1) × 32
    const std::uint8_t* record(std::uint32_t k) const { return bytes.data() + std::size_t(k) * kIndexRecordSize; }
};

void ReadIndexImage(const StoreFiles& files, std::uint32_t count, IndexImage& image) {
    image.count = count;
    image.bytes.assign((std::size_t(count) + 1) * kIndexRecordSize, 0);
    RecordFile index;
    if (!index.Open(files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read)) {
        throw StoreIoError("cannot open", files.IndexPath());
    }
    constexpr std::size_t kBlock = 65536;
    for (std::size_t first = 0; first <= count; first += kBlock) {
        const std::size_t n = std::min<std::size_t>(kBlock, std::size_t(count) + 1 - first);
        if (index.Read(first, image.bytes.data() + first * kIndexRecordSize, n) != n * kIndexRecordSize) {
            throw StoreIoError("cannot read", files.IndexPath());
        }
    }
}

// Record numbers 1 … count in the new order.
std::vector<std::uint32_t> SortedOrder(const IndexImage& image, SortOrder order) {
    std::vector<SortKey> keys(std::size_t(image.count) + 1);
    for (std::uint32_t k = 1; k <= image.count; ++k) keys[k] = KeyOf(image.record(k));
    std::vector<std::uint32_t> games(image.count);
    for (std::uint32_t k = 1; k <= image.count; ++k) games[k - 1] = k;
    const bool descending = order == SortOrder::Descending;
    std::stable_sort(games.begin(), games.end(), [&](std::uint32_t a, std::uint32_t b) {
        const SortKey& x = keys[a];
        const SortKey& y = keys[b];
        if (x.date != y.date) return descending ? x.date > y.date : x.date < y.date;
        if (x.sente != y.sente) return x.sente < y.sente;
        if (x.gote != y.gote) return x.gote < y.gote;
        return x.rest < y.rest;
    });
    return games;
}

// One store file the rewrite makes anew.
struct RewrittenFile {
    std::string_view temporary, final, old;
    std::string_view renameError;
    std::size_t recordSize;
};
constexpr RewrittenFile kIndexFile{ext::kTempIndex, ext::kIndex, ext::kOldIndex, "RenameError! No.01", kIndexRecordSize};
constexpr RewrittenFile kGameDataFile{ext::kTempGameData, ext::kGameData, ext::kOldGameData, "RenameError! No.02",
                                      kGameDataRecordSize};
constexpr RewrittenFile kDetailFile{ext::kTempDetail, ext::kDetail, ext::kOldDetail, "RenameError! No.03",
                                    kDetailRecordSize};
constexpr RewrittenFile kMoveInfoFile{ext::kTempMoveInfo, ext::kMoveInfo, ext::kOldMoveInfo, "RenameError! No.04",
                                      kMoveInfoRecordSize};

// In the order they take the store's names: the extended files first, so that a store read in
// between is never one whose index names games its detail file does not have in that place.
std::vector<RewrittenFile> RewrittenFiles(bool extended) {
    std::vector<RewrittenFile> all;
    if (extended) all = {kDetailFile, kMoveInfoFile};
    all.push_back(kIndexFile);
    all.push_back(kGameDataFile);
    return all;
}

void RemoveTemporaries(const StoreFiles& files, RecordWriter& layer) {
    for (const RewrittenFile& f : RewrittenFiles(true)) {
        if (!files.Exists(f.temporary)) continue;
        try {
            layer.Remove(files.Path(f.temporary));
        } catch (...) {
            return;  // a stopped file layer: the temporaries stay under their own names
        }
    }
}

// Where the records of one kind of file are read, in record order: the leading records from the
// other store's file, the rest from the store's own.
struct RecordSpan {
    fs::path path;
    std::uint64_t first = 0;  // the span's first record number (0-based) in its file
    std::uint64_t count = 0;
};

std::uint32_t LeadingCount(const LeadingRecords* leading, std::string_view extension, bool extended,
                           std::uint32_t count) {
    return leading && ReadsLeadingRecords(extension, extended) ? std::min(leading->count, count) : 0;
}

std::vector<RecordSpan> RecordSpans(const StoreFiles& files, std::string_view extension, bool extended,
                                    std::uint32_t count, const LeadingRecords* leading) {
    const std::uint32_t lead = LeadingCount(leading, extension, extended, count);
    std::vector<RecordSpan> spans;
    if (lead > 0) spans.push_back({leading->files.Path(extension), 0, lead});
    if (count > lead) spans.push_back({files.Path(extension), lead, count - lead});
    return spans;
}

// Reads records of one kind by record number (1-based): the leading ones from the other store's
// file, the rest from `own`. A record that cannot be read comes back as zeros.
class RecordsByNumber {
public:
    RecordsByNumber(const fs::path& own, std::string_view extension, bool extended, std::size_t recordSize,
                    std::uint32_t count, const LeadingRecords* leading)
        : lead_(LeadingCount(leading, extension, extended, count)) {
        opened_ = own_.Open(own, recordSize, RecordFile::Access::Read);
        if (lead_ > 0) opened_ = leading_.Open(leading->files.Path(extension), recordSize, RecordFile::Access::Read) && opened_;
    }
    bool opened() const { return opened_; }
    bool Read(std::uint32_t k, std::uint8_t* record) const {
        const RecordFile& f = k <= lead_ ? leading_ : own_;
        return f.Read(k - 1, record) == f.recordSize();
    }

private:
    std::uint32_t lead_;
    RecordFile own_, leading_;
    bool opened_ = false;
};

std::size_t passBytes = std::size_t(768) << 20;

// Copies the records of one store file into `out` in the order of `kept`. Reading a record by
// number for each place would be one system call a record; instead the old records are read
// from start to end in large blocks, once for each part of the new file that fits the pass
// buffer, and every record that belongs to that part is put in its place.
void CopyPermuted(std::span<const RecordSpan> from, std::size_t recordSize, std::span<const std::uint32_t> kept,
                  std::uint32_t count, LayeredBlockWriter& out, Prompter& prompter, const std::string& caption,
                  long& done, long total) {
    // where[k]: the place of old record k (0-based) in the new file, or none.
    constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> where(count, kNone);
    for (std::size_t i = 0; i < kept.size(); ++i) where[kept[i] - 1] = std::uint32_t(i);
    // The passes share the records evenly: the buffer is no larger than the last pass needs.
    const std::size_t most = std::max<std::size_t>(1, passBytes / recordSize);
    const std::size_t passes = std::max<std::size_t>(1, (kept.size() + most - 1) / most);
    const std::size_t perPass = std::max<std::size_t>(1, (kept.size() + passes - 1) / passes);
    std::vector<std::uint8_t> gathered(perPass * recordSize);
    const std::size_t blockRecords = std::max<std::size_t>(1, (std::size_t(4) << 20) / recordSize);
    for (std::size_t first = 0; first < kept.size(); first += perPass) {
        const std::size_t last = std::min(kept.size(), first + perPass);
        for (const RecordSpan& span : from) {
            RecordBlockReader in;
            if (!in.Open(span.path, recordSize, span.first, blockRecords)) throw StoreIoError("cannot open", span.path);
            std::uint64_t k = span.first;
            const std::uint64_t end = span.first + span.count;
            const std::uint8_t* block = nullptr;
            while (k < end) {
                const std::size_t n = in.Next(block);
                if (n == 0) throw StoreIoError("cannot read", span.path);
                for (std::size_t i = 0; i < n && k < end; ++i, ++k) {
                    const std::uint32_t place = where[k];
                    if (place < first || place >= last) continue;  // kNone is never inside
                    std::memcpy(gathered.data() + (place - first) * recordSize, block + i * recordSize, recordSize);
                }
            }
        }
        for (std::size_t place = first; place < last; ++place) {
            out.Append(gathered.data() + (place - first) * recordSize);
            Tick(prompter, caption, ++done, total);
        }
    }
}

// Writes the temporaries: the games of `kept` in that order.
void WriteTemporaries(const StoreFiles& files, bool extended, const IndexImage& image,
                      std::span<const std::uint32_t> kept, Prompter& prompter, RecordWriter& layer,
                      const std::string& caption, const LeadingRecords* leading) {
    const std::vector<RewrittenFile> rewritten = RewrittenFiles(extended);
    const long total = long(kept.size()) * long(rewritten.size());
    long done = 0;
    for (const RewrittenFile& f : rewritten) {
        LayeredBlockWriter out(layer);
        out.Create(files.Path(f.temporary), f.recordSize, std::max<std::size_t>(1, (1u << 20) / f.recordSize));
        if (f.final == ext::kIndex) {
            StoreHeader header;
            header.SetGameCount(std::uint32_t(kept.size()));
            out.Append(header.bytes.data());
            for (std::uint32_t k : kept) {
                out.Append(image.record(k));
                Tick(prompter, caption, ++done, total);
            }
        } else {
            CopyPermuted(RecordSpans(files, f.final, extended, image.count, leading), f.recordSize, kept, image.count,
                         out, prompter, caption, done, total);
        }
        out.Finish();
    }
}

StoreReplacement RewriteReplacement(const StoreFiles& files, bool extended) {
    StoreReplacement plan;
    for (const RewrittenFile& f : RewrittenFiles(extended)) {
        const fs::path final = files.Path(f.final);
        plan.files.push_back({files.Path(f.temporary), final, files.Path(f.old),
                              "DeleteError! (" + PathText(final) + ")", std::string(f.renameError)});
    }
    return plan;
}

// Slots 1-256 of two games are the same game when they agree up to and including the first slot
// whose destination byte is 0.
bool SameMoves(const std::uint8_t* a, const std::uint8_t* b) {
    for (std::size_t s = 0; s < kGameDataRecordSize; s += 2) {
        if (a[s] != b[s] || a[s + 1] != b[s + 1]) return false;
        if (a[s] == 0) return true;
    }
    return true;
}

bool SameHeader(const std::uint8_t* a, const std::uint8_t* b) {
    for (int w : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11}) {
        if (LoadU16(a + w * 2) != LoadU16(b + w * 2)) return false;
    }
    return true;
}

// Flags the games of `order` that repeat an earlier game of their run of equal headers.
std::vector<std::uint8_t> FlagRepeats(const StoreFiles& files, bool extended, const IndexImage& image,
                                      std::span<const std::uint32_t> order, Prompter& prompter,
                                      const std::string& caption, const LeadingRecords* leading) {
    std::vector<std::uint8_t> flagged(order.size(), 0);
    const RecordsByNumber gameData(files.Path(ext::kGameData), ext::kGameData, extended, kGameDataRecordSize,
                                   image.count, leading);
    if (!gameData.opened()) throw StoreIoError("cannot open", files.Path(ext::kGameData));
    std::vector<std::uint8_t> moves;  // the moves of one run, grown as runs need
    std::size_t start = 0;
    while (start < order.size()) {
        std::size_t end = start + 1;
        while (end < order.size() && SameHeader(image.record(order[end - 1]), image.record(order[end]))) ++end;
        const std::size_t run = end - start;
        if (run > 1) {
            if (moves.size() < run * kGameDataRecordSize) moves.resize(run * kGameDataRecordSize);
            for (std::size_t i = 0; i < run; ++i) {
                if (!gameData.Read(order[start + i], moves.data() + i * kGameDataRecordSize)) {
                    throw StoreIoError("cannot read", files.Path(ext::kGameData));
                }
            }
            for (std::size_t i = 0; i < run; ++i) {
                if (flagged[start + i]) continue;
                for (std::size_t j = i + 1; j < run; ++j) {
                    if (!flagged[start + j] && SameMoves(moves.data() + i * kGameDataRecordSize,
                                                         moves.data() + j * kGameDataRecordSize)) {
                        flagged[start + j] = 1;
                    }
                }
            }
        }
        for (std::size_t i = start; i < end; ++i) Tick(prompter, caption, long(i + 1), long(order.size()));
        start = end;
    }
    return flagged;
}

// Releases the removed games' comments, read from the old detail and move-info files while they
// still wait aside, and frees the overflow numbers that only removed games held.
void ReleaseRemoved(const GameStore& store, std::span<const std::uint32_t> removed, const IndexImage& image,
                    std::span<const std::uint32_t> kept, Prompter& prompter, RecordWriter& layer,
                    const LeadingRecords* leading) {
    const StoreFiles& files = store.files;
    if (store.extended()) {
        const auto release = CommentReleaser(store, prompter);
        const RecordsByNumber oldDetail(files.Path(ext::kOldDetail), ext::kDetail, true, kDetailRecordSize, image.count,
                                        leading);
        const RecordsByNumber oldInfo(files.Path(ext::kOldMoveInfo), ext::kMoveInfo, true, kMoveInfoRecordSize,
                                      image.count, leading);
        RecordFile infoOverflow;
        infoOverflow.Open(files.Path(ext::kMoveInfoOverflow), kMoveInfoRecordSize, RecordFile::Access::Read);
        for (std::uint32_t k : removed) {
            DetailRecord detail;
            MoveInfo info;
            oldDetail.Read(k, detail.bytes.data());
            oldInfo.Read(k, info.firstRecord());
            const int n = detail.overflowNumber();
            if (IsOverflowNumber(n)) infoOverflow.Read(std::uint64_t(n), info.overflowRecord());
            release(detail, info);
        }
    }
    std::vector<bool> inUse(kMaxOverflowNumber + 1, false);
    for (std::uint32_t k : kept) {
        const int n = LoadU16(image.record(k) + indexword::kOverflow * 2);
        if (IsOverflowNumber(n)) inUse[std::size_t(n)] = true;
    }
    std::vector<int> freed;
    for (std::uint32_t k : removed) {
        const int n = LoadU16(image.record(k) + indexword::kOverflow * 2);
        if (IsOverflowNumber(n) && !inUse[std::size_t(n)]) freed.push_back(n);
    }
    if (freed.empty() || !files.Exists(ext::kMoveInfoOverflow)) return;
    RecordFile bitmapFile;
    OverflowBitmap bitmap;
    if (!layer.OpenForWriting(bitmapFile, files.Path(ext::kMoveInfoOverflow), kOverflowBitmapSize,
                              RecordFile::Access::ReadWrite) ||
        bitmapFile.Read(0, bitmap.bytes.data()) != kOverflowBitmapSize) {
        return;  // the numbers stay marked in use: lost to later games, no game harmed
    }
    for (int n : freed) bitmap.Clear(n);
    if (layer.Write(bitmapFile, 0, bitmap.bytes.data(), kOverflowBitmapSize)) layer.Sync(bitmapFile);
}

RewriteResult Rewrite(GameStore& store, SortOrder order, bool removeSame, Prompter& prompter, RecordWriter& layer,
                      const LeadingRecords* leading) {
    RewriteResult result;
    std::uint32_t count = 0;
    if (!OpenStoreIsWhole(store, prompter, layer, count)) return result;
    const StoreFiles& files = store.files;
    const std::string caption = removeSame ? RemoveSameCaption() : SortCaption();
    IndexImage image;
    std::vector<std::uint32_t> games, kept, removed;
    try {
        try {
            ReadIndexImage(files, count, image);
            games = SortedOrder(image, order);
            if (removeSame) {
                const std::vector<std::uint8_t> flagged = FlagRepeats(files, store.extended(), image, games, prompter, caption, leading);
                for (std::size_t i = 0; i < games.size(); ++i) (flagged[i] ? removed : kept).push_back(games[i]);
            } else {
                kept = games;
            }
        } catch (const std::bad_alloc&) {
            prompter.Warn(std::string("\rメモリ不足のため処理できません。"_sj));
            return result;
        }
        bool unchanged = removed.empty() && !leading;
        for (std::size_t i = 0; unchanged && i < kept.size(); ++i) unchanged = kept[i] == i + 1;
        if (unchanged) {
            result.ok = true;
            result.count = count;
            return result;
        }
        WriteTemporaries(files, store.extended(), image, kept, prompter, layer, caption, leading);
    } catch (const Stopped&) {
        RemoveTemporaries(files, layer);
        return result;
    } catch (const StoreIoError&) {
        RemoveTemporaries(files, layer);
        throw;
    }
    const auto afterRenames = [&] {
        if (!removed.empty()) ReleaseRemoved(store, removed, image, kept, prompter, layer, leading);
    };
    if (!ReplaceStoreFiles(files, RewriteReplacement(files, store.extended()), prompter, layer, afterRenames)) {
        RemoveTemporaries(files, layer);
        return result;
    }
    result.ok = true;
    result.removed = std::uint32_t(removed.size());
    result.count = std::uint32_t(kept.size());
    store.recordCount = result.count;
    return result;
}

}  // namespace

SortedCheck CheckSorted(const GameStore& store) {
    SortedCheck check;
    RecordBlockReader reader;
    if (!OpenIndexReader(store, reader)) throw StoreIoError("cannot open", store.files.IndexPath());
    bool first = true;
    const std::uint8_t* block = nullptr;
    while (const std::size_t n = reader.Next(block)) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t* r = block + i * kIndexRecordSize;
            const std::uint32_t date = LoadU16(r + indexword::kYear * 2) * 10000u +
                                       LoadU16(r + indexword::kMonth * 2) * 100u + LoadU16(r + indexword::kDay * 2);
            if (first) {
                check.newest = date;
                first = false;
            }
            if (date > check.oldest) check.sorted = false;
            check.oldest = std::min(check.oldest, date);
        }
    }
    return check;
}

bool EnoughSpaceToRewrite(const GameStore& store) {
    const std::uint64_t needed =
        (store.extended() ? FileBytes(store.files, {ext::kDetail, ext::kMoveInfo})
                          : FileBytes(store.files, {ext::kIndex, ext::kGameData})) + 4096;
    const std::optional<std::uint64_t> free = FreeDiskSpace(store.files.folder());
    return !free || needed < *free;
}

std::size_t RewritePassBytes() { return passBytes; }
void SetRewritePassBytes(std::size_t bytes) { passBytes = bytes; }

bool ReadsLeadingRecords(std::string_view extension, bool extended) {
    return extension == ext::kGameData || (extended && (extension == ext::kDetail || extension == ext::kMoveInfo));
}

RewriteResult SortStore(GameStore& store, SortOrder order, Prompter& prompter, RecordWriter& layer,
                        const LeadingRecords* leading) {
    return Rewrite(store, order, false, prompter, layer, leading);
}

RewriteResult RemoveSameGames(GameStore& store, SortOrder order, Prompter& prompter, RecordWriter& layer,
                              const LeadingRecords* leading) {
    return Rewrite(store, order, true, prompter, layer, leading);
}

}  // namespace movra::maintenance
