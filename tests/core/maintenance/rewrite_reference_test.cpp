// The reordering copy of the whole-store jobs checked against plain references on generated
// stores: a sort done in many small passes against reordering the records in memory by the date
// rule, and a merge that reads the open store's games where they stand against one that first
// copies the open store whole into its working store.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "../../../bench/store_sample.h"
#include "core/maintenance/store_merge.h"
#include "core/maintenance/store_sort.h"
#include "core/maintenance/rewrite_support.h"
#include "core/store/store_copy.h"
#include "maintenance_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::maintenance;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
namespace fs = std::filesystem;

// Runs the copy in passes of a few records so that every record crosses pass boundaries.
class SmallPasses {
public:
    explicit SmallPasses(std::size_t bytes) : saved_(RewritePassBytes()) { SetRewritePassBytes(bytes); }
    ~SmallPasses() { SetRewritePassBytes(saved_); }

private:
    std::size_t saved_;
};

GameStore Generated(const fs::path& path, long games, std::uint64_t start) {
    sample::StoreOptions options;
    options.path = path;
    options.games = games;
    options.randomStart = start;
    options.pool = 120;  // long games with overflow parts among them, and comments
    sample::GenerateStore(options);
    GameStore store(path, StoreKind::Extended);
    std::uint32_t count = 0;
    EXPECT_TRUE(ReadGameCount(store, count));
    store.recordCount = count;
    return store;
}

// Copies every file of the store byte for byte under another base name.
GameStore CopyOfFiles(const GameStore& store, const std::string& name) {
    const StoreFiles to(store.files.folder() / (name + ".ipx"));
    for (const std::string& e : StoreFileExtensions()) {
        if (store.files.Exists(e)) fs::copy_file(store.files.Path(e), to.Path(e), fs::copy_options::overwrite_existing);
    }
    GameStore copy(to.IndexPath(), StoreKind::Extended);
    copy.recordCount = store.recordCount;
    return copy;
}

void ExpectSameFiles(const StoreFiles& got, const StoreFiles& want) {
    for (const std::string& e : StoreFileExtensions()) {
        ASSERT_EQ(got.Exists(e), want.Exists(e)) << e;
        if (want.Exists(e)) {
            EXPECT_TRUE(FileBytes(got.Path(e)) == FileBytes(want.Path(e))) << e;
        }
    }
}

TEST(RewriteReference, ASortInManyPassesPutsEveryRecordWhereTheDateRuleSays) {
    TempFolder folder;
    GameStore store = Generated(folder.path() / "s.ipx", 2500, 5);
    const std::uint32_t n = store.recordCount;
    struct Kind {
        std::string_view extension;
        std::size_t size;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Kind> kinds = {{ext::kIndex, kIndexRecordSize, {}}, {ext::kGameData, kGameDataRecordSize, {}},
                               {ext::kDetail, kDetailRecordSize, {}}, {ext::kMoveInfo, kMoveInfoRecordSize, {}}};
    for (Kind& k : kinds) k.bytes = FileBytes(store.files.Path(k.extension));
    const auto word = [&](std::uint32_t r, int w) { return LoadU16(kinds[0].bytes.data() + r * kIndexRecordSize + w * 2); };
    for (const SortOrder order : {SortOrder::Ascending, SortOrder::Descending}) {
        // The order as the rule reads: date, then sente, gote, then the combined key; ties keep
        // their places. `before` holds the record numbers of the store as it stands.
        std::vector<std::uint32_t> before(n);
        std::iota(before.begin(), before.end(), 1u);
        const auto date = [&](std::uint32_t r) { return word(r, 4) * 10000u + word(r, 5) * 100u + word(r, 6); };
        const auto key = [&](std::uint32_t r) {
            return std::uint64_t(word(r, 2)) * 5000000 + word(r, 3) * 500000ull + word(r, 7) * 500ull +
                   word(r, 8) * 50ull + word(r, 10);
        };
        std::vector<std::uint32_t> want = before;
        std::stable_sort(want.begin(), want.end(), [&](std::uint32_t a, std::uint32_t b) {
            if (date(a) != date(b)) return order == SortOrder::Descending ? date(a) > date(b) : date(a) < date(b);
            if (word(a, 0) != word(b, 0)) return word(a, 0) < word(b, 0);
            if (word(a, 1) != word(b, 1)) return word(a, 1) < word(b, 1);
            return key(a) < key(b);
        });
        ASSERT_NE(want, before);  // the job has something to do
        RecordingPrompter prompter;
        {
            const SmallPasses passes(7 * kMoveInfoRecordSize);
            ASSERT_TRUE(SortStore(store, order, prompter).ok);
        }
        for (Kind& k : kinds) {
            const std::vector<std::uint8_t> got = FileBytes(store.files.Path(k.extension));
            const std::size_t skip = k.extension == ext::kIndex ? 1 : 0;  // the header
            ASSERT_EQ(got.size(), k.bytes.size()) << k.extension;
            std::vector<std::uint8_t> sorted(k.bytes.begin(), k.bytes.begin() + std::ptrdiff_t(skip * k.size));
            for (std::uint32_t r : want) {
                const auto at = k.bytes.begin() + std::ptrdiff_t((r - 1 + skip) * k.size);
                sorted.insert(sorted.end(), at, at + std::ptrdiff_t(k.size));
            }
            EXPECT_TRUE(std::equal(got.begin() + std::ptrdiff_t(skip * k.size), got.end(),
                                   sorted.begin() + std::ptrdiff_t(skip * k.size)))
                << k.extension;
            k.bytes = got;
        }
    }
}

TEST(RewriteReference, AMergeReadingTheOpenStoreInPlaceWritesWhatAFullCopyWould) {
    for (const MergeKind kind : {MergeKind::Complete, MergeKind::Merge}) {
        TempFolder folder;
        const GameStore first = Generated(folder.path() / "a.ipx", 1500, 21);
        GameStore other = Generated(folder.path() / "b.ipx", 1000, 22);
        // Some of the open store's games, comments and all, in the other store too.
        std::vector<std::uint32_t> repeated;
        for (std::uint32_t k = 1; k <= 300; k += 7) repeated.push_back(k);
        SilentPrompter quiet;
        ASSERT_TRUE(CopyGames(first, repeated, other.files.IndexPath(), true, quiet).ok);

        // The reference: the open store copied whole, the other's games appended, then sorted.
        std::uint32_t otherCount = 0;
        ASSERT_TRUE(ReadGameCount(other, otherCount));
        other.recordCount = otherCount;
        std::vector<std::uint32_t> all(otherCount);
        std::iota(all.begin(), all.end(), 1u);
        GameStore reference = CopyOfFiles(first, "ref");
        ASSERT_TRUE(CopyGames(other, all, reference.files.IndexPath(), true, quiet).ok);
        reference.recordCount = first.recordCount + otherCount;
        const RewriteResult want = kind == MergeKind::Complete
                                       ? RemoveSameGames(reference, SortOrder::Descending, quiet)
                                       : SortStore(reference, SortOrder::Descending, quiet);
        ASSERT_TRUE(want.ok);
        if (kind == MergeKind::Complete) {
            EXPECT_GE(want.removed, repeated.size());
        }

        GameStore open = CopyOfFiles(first, "open");
        RecordingPrompter prompter;
        const SmallPasses passes(5 * kMoveInfoRecordSize);
        const MergeResult got = MergeStores(open, other.files.IndexPath(), kind, SortOrder::Descending, prompter);
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.removed, want.removed);
        EXPECT_EQ(got.count, want.count);
        ExpectSameFiles(open.files, reference.files);
        EXPECT_FALSE(StoreFiles(folder.path() / "open~mrg.ipx").Exists(ext::kGameData));
    }
}

}  // namespace
}  // namespace movra
