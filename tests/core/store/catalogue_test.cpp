#include "core/store/catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/store/layout.h"
#include "core/store/store_test_support.h"

namespace movra {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

// An index file of the given records under a header with their count, and a game-data file to
// match.
GameStore WriteIndex(const TempFolder& folder, const std::vector<IndexRecord>& records) {
    std::vector<std::uint8_t> bytes(kIndexRecordSize);
    StoreHeader header;
    header.SetGameCount(static_cast<std::uint32_t>(records.size()));
    std::copy(header.bytes.begin(), header.bytes.end(), bytes.begin());
    for (const IndexRecord& r : records) bytes.insert(bytes.end(), r.bytes.begin(), r.bytes.end());
    WriteFileBytes(folder / "cat.idx", bytes);
    WriteFileBytes(folder / "cat.kif", std::vector<std::uint8_t>(records.size() * 512));
    return GameStore(folder / "cat.idx", StoreKind::Classic,
                     static_cast<std::uint32_t>(records.size()));
}

IndexRecord Record(std::uint16_t sente, std::uint16_t gote, std::uint16_t year) {
    IndexRecord r;
    r.setSentePlayer(sente);
    r.setGotePlayer(gote);
    r.setYear(year);
    r.setMonth(4);
    r.setDay(30);
    r.setResult(2);
    r.setHandicap(3);
    r.setTournament(99);
    r.setSubTournament(10);
    r.setGameNumber(7);
    r.setOpening(100);
    r.setOverflowNumber(16384);
    return r;
}

TEST(GameCatalogue, LoadsEveryRecordWithItsNumber) {
    TempFolder folder;
    std::vector<IndexRecord> records{Record(1, 2, 1990), Record(9999, 0, 2024), Record(0, 0, 0)};
    records[2].setOpening(300);  // an opening above 255 is taken as 0
    records[2].setWord(indexword::kWord9, 1000);
    const GameStore store = WriteIndex(folder, records);
    GameCatalogue catalogue;
    catalogue.at(0).selectionMark = 1;  // whatever was there before goes
    const CatalogueLoad load = LoadCatalogue(store, catalogue);
    EXPECT_TRUE(load.opened);
    EXPECT_EQ(load.headerCount, 3u);
    EXPECT_EQ(load.loaded, 3u);
    EXPECT_EQ(load.badRecord, 0u);
    ASSERT_EQ(catalogue.count(), 3u);
    EXPECT_EQ(catalogue.pageStart(), 1u);
    const GameHeader& first = catalogue.entries()[0];
    EXPECT_EQ(first.recordNumber, 1u);
    EXPECT_EQ(first.sentePlayer, 1);
    EXPECT_EQ(first.gotePlayer, 2);
    EXPECT_EQ(first.year, 1990);
    EXPECT_EQ(first.dateValue(), 19900430u);
    EXPECT_EQ(first.result, 2);
    EXPECT_EQ(first.handicap, 3);
    EXPECT_EQ(first.tournament, 99);
    EXPECT_EQ(first.subTournament, 10);
    EXPECT_EQ(first.gameNumber, 7);
    EXPECT_EQ(first.opening, 100);
    EXPECT_EQ(first.overflowNumber, 16384);
    EXPECT_EQ(first.positionHit, -1);
    EXPECT_EQ(first.selectionMark, 0);
    EXPECT_EQ(catalogue.entries()[1].sentePlayer, 9999);
    EXPECT_EQ(catalogue.entries()[2].recordNumber, 3u);
    EXPECT_EQ(catalogue.entries()[2].opening, 0);
    EXPECT_EQ(catalogue.entries()[2].word9, 0);
}

TEST(GameCatalogue, ARecordThatDoesNotFitEndsTheLoading) {
    TempFolder folder;
    for (int word : {indexword::kTournament, indexword::kGameNumber, indexword::kMonth,
                     indexword::kDay, indexword::kResult, indexword::kHandicap,
                     indexword::kSubTournament}) {
        std::vector<IndexRecord> records{Record(1, 2, 2000), Record(3, 4, 2001), Record(5, 6, 2002)};
        records[1].setWord(word, 256);
        const GameStore store = WriteIndex(folder, records);
        GameCatalogue catalogue;
        const CatalogueLoad load = LoadCatalogue(store, catalogue);
        EXPECT_EQ(load.loaded, 1u) << "word " << word;
        EXPECT_EQ(load.badRecord, 2u);
        EXPECT_EQ(catalogue.count(), 1u);
        EXPECT_EQ(catalogue.entries()[0].sentePlayer, 1);
    }
}

TEST(GameCatalogue, EmptyAndMissingStores) {
    TempFolder folder;
    const GameStore store = WriteIndex(folder, {});
    GameCatalogue catalogue;
    LoadCatalogue(store, catalogue);
    EXPECT_EQ(catalogue.count(), 0u);
    EXPECT_EQ(catalogue.pageStart(), 0u);

    // An index file without a full header record loads nothing.
    WriteFileBytes(folder / "cat.idx", std::vector<std::uint8_t>(20));
    const CatalogueLoad truncated = LoadCatalogue(store, catalogue);
    EXPECT_FALSE(truncated.opened);
    EXPECT_EQ(catalogue.count(), 0u);
    const CatalogueLoad missing = LoadCatalogue(GameStore(folder / "none.idx", StoreKind::Classic),
                                                catalogue);
    EXPECT_FALSE(missing.opened);
}

TEST(GameCatalogue, APartRecordAtTheEndIsNotAGame) {
    TempFolder folder;
    GameStore store = WriteIndex(folder, {Record(1, 2, 2000)});
    auto bytes = testing::FileBytes(folder / "cat.idx");
    bytes.resize(bytes.size() + 17, 0x01);
    WriteFileBytes(folder / "cat.idx", bytes);
    GameCatalogue catalogue;
    EXPECT_EQ(LoadCatalogue(store, catalogue).loaded, 1u);
}

TEST(GameCatalogue, NoMoreThanAMillionEntries) {
    TempFolder folder;
    const GameStore store = WriteIndex(folder, {});
    // A sparse index file of 1,000,002 zero records after the header: every record converts.
    fs::resize_file(folder / "cat.idx", (std::uint64_t(kCatalogueCapacity) + 3) * kIndexRecordSize);
    GameCatalogue catalogue;
    const CatalogueLoad load = LoadCatalogue(store, catalogue);
    EXPECT_TRUE(load.overCapacity);
    EXPECT_EQ(load.loaded, kCatalogueCapacity);
    EXPECT_EQ(catalogue.count(), kCatalogueCapacity);
    EXPECT_EQ(catalogue.entries().back().recordNumber, kCatalogueCapacity);
}

TEST(GameCatalogue, IndexingOutsideTheTableIsRefused) {
    GameCatalogue catalogue;
    EXPECT_THROW(catalogue.at(kCatalogueCapacity), std::out_of_range);
    EXPECT_THROW(catalogue.setCount(kCatalogueCapacity + 1), std::out_of_range);
    EXPECT_EQ(catalogue.working().size(), kCatalogueCapacity);
    EXPECT_NE(catalogue.working().data(), catalogue.allEntries().data());
    // Both arrays within 64 MB.
    EXPECT_LE(2 * sizeof(GameHeader) * std::size_t(kCatalogueCapacity), 64u * 1000 * 1000);
}

}  // namespace
}  // namespace movra
