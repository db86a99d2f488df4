#include "core/store/open_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/store/comment_layout.h"
#include "core/store/layout.h"
#include "core/store/store_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
using testing::WriteFileBytes;
namespace fs = std::filesystem;

struct StoreShape {
    std::uint32_t games = 0;
    bool extended = false;
    std::uint16_t lowWord = 0;   // the header as written; set from `games` unless `rawHeader`
    std::uint16_t highWord = 0;
    bool rawHeader = false;
    std::uint64_t indexRecords = 0;  // 0: games + 1
    std::uint64_t gameDataRecords = 0;
    bool gameDataGiven = false;
    std::size_t detailRecordSize = kDetailRecordSize;
};

// Writes the files of a store of the given shape; the record files are sparse, so even large
// stores cost nothing to make. Index record k (k <= 50) gets sente player k.
void MakeStore(const fs::path& indexPath, const StoreShape& shape) {
    const StoreFiles files(indexPath);
    const auto path = [&](std::string_view e) {
        return files.folder() / (files.baseName() + std::string(e));
    };
    StoreHeader header;
    header.SetGameCount(shape.games);
    if (shape.rawHeader) {
        header.bytes = {};
        StoreU16(&header.bytes[0], shape.lowWord);
        StoreU16(&header.bytes[2], shape.highWord);
    }
    std::vector<std::uint8_t> index(header.bytes.begin(), header.bytes.end());
    for (std::uint32_t k = 1; k <= std::min<std::uint32_t>(shape.games, 50); ++k) {
        IndexRecord r;
        r.setSentePlayer(static_cast<std::uint16_t>(k));
        index.insert(index.end(), r.bytes.begin(), r.bytes.end());
    }
    WriteFileBytes(path(".idx"), index);
    const std::uint64_t indexRecords = shape.indexRecords ? shape.indexRecords : shape.games + 1ull;
    fs::resize_file(path(".idx"), indexRecords * kIndexRecordSize);
    WriteFileBytes(path(".kif"), {});
    fs::resize_file(path(".kif"),
                    (shape.gameDataGiven ? shape.gameDataRecords : shape.games) * kGameDataRecordSize);
    if (!shape.extended) return;
    std::vector<std::uint8_t> detail;
    for (std::uint32_t k = 1; k <= shape.games; ++k) {
        std::vector<std::uint8_t> record(shape.detailRecordSize, 0);
        record[0] = static_cast<std::uint8_t>('A' + k % 26);
        record[shape.detailRecordSize - 1] = 0x5A;
        detail.insert(detail.end(), record.begin(), record.end());
    }
    WriteFileBytes(path(".ipx"), detail);
    WriteFileBytes(path(".kpf"), {});
    fs::resize_file(path(".kpf"), std::uint64_t(shape.games) * kMoveInfoRecordSize);
    const CommentBitmap bitmap = CommentBitmap::Fresh();
    WriteFileBytes(path(".cp0"), std::vector<std::uint8_t>(bitmap.bytes.begin(), bitmap.bytes.end()));
}

void WriteText(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

class OpenStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        session_.programFolder = folder_.path();
        WriteText(folder_ / "Ksname.dat", "  1 A " + PadOrCut("羽生善治"_sj, 20) +
                                              PadOrCut("ﾊﾌﾞ ﾖｼﾊﾙ"_sj, 20) + "\r\n");
        WriteText(folder_ / "Movra.dat", " 1 名人戦\r\n"_sj);
        WriteText(folder_ / "Senkei.dat", "  1 矢倉\r\n"_sj);
    }
    StoreCheck Validate(const fs::path& p, std::uint32_t& count) {
        return ValidateStore(p, count, prompter_);
    }

    TempFolder folder_;
    RecordingPrompter prompter_;
    StoreSession session_;
};

TEST_F(OpenStoreTest, TheCountComesFromBothHeaderWordsUnlessTheFileSizeSaysOtherwise) {
    // 65,537 records: low word 0, high word 1 give 65,536 games.
    StoreShape big{.games = 65536, .lowWord = 0, .highWord = 1, .rawHeader = true};
    MakeStore(folder_ / "big.idx", big);
    std::uint32_t count = 0;
    EXPECT_EQ(Validate(folder_ / "big.idx", count), StoreCheck::Classic);
    EXPECT_EQ(count, 65536u);

    // Low word 65,535 and 65,536 records: the garbage high word is ignored.
    StoreShape low{.games = 65535, .lowWord = 65535, .highWord = 0x1234, .rawHeader = true};
    MakeStore(folder_ / "low.idx", low);
    EXPECT_EQ(Validate(folder_ / "low.idx", count), StoreCheck::Classic);
    EXPECT_EQ(count, 65535u);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(OpenStoreTest, FilesThatDisagreeMakeTheStoreUnusable) {
    std::uint32_t count = 77;
    MakeStore(folder_ / "a.idx", {.games = 3, .gameDataRecords = 2, .gameDataGiven = true});
    EXPECT_EQ(Validate(folder_ / "a.idx", count), StoreCheck::Unusable);
    MakeStore(folder_ / "b.idx", {.games = 3, .indexRecords = 3});
    EXPECT_EQ(Validate(folder_ / "b.idx", count), StoreCheck::Unusable);
    // A header whose high word is garbage and whose file size does not match the low word.
    MakeStore(folder_ / "c.idx", {.games = 3, .lowWord = 3, .highWord = 9, .rawHeader = true,
                                  .indexRecords = 5});
    EXPECT_EQ(Validate(folder_ / "c.idx", count), StoreCheck::Unusable);
    // No game-data file, no index file, an index file without a full header.
    MakeStore(folder_ / "d.idx", {.games = 1});
    fs::remove(folder_ / "d.kif");
    EXPECT_EQ(Validate(folder_ / "d.idx", count), StoreCheck::Unusable);
    MakeStore(folder_ / "e.idx", {.games = 0});
    fs::remove(folder_ / "e.idx");
    EXPECT_EQ(Validate(folder_ / "e.idx", count), StoreCheck::Unusable);
    WriteFileBytes(folder_ / "e.idx", std::vector<std::uint8_t>(31));
    EXPECT_EQ(Validate(folder_ / "e.idx", count), StoreCheck::Unusable);
    // Extended files of the wrong size.
    MakeStore(folder_ / "f.idx", {.games = 2, .extended = true});
    fs::resize_file(folder_ / "f.kpf", 3 * kMoveInfoRecordSize);
    EXPECT_EQ(Validate(folder_ / "f.idx", count), StoreCheck::Unusable);
    EXPECT_EQ(count, 77u);  // not set by a failure
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(OpenStoreTest, AnIpxNameOfAClassicStoreOpensNothingAndItsIdxOpensClassic) {
    MakeStore(folder_ / "k.idx", {.games = 2, .extended = true});
    fs::remove(folder_ / "k.kpf");
    const OpenStoreResult viaIpx = OpenStore(session_, folder_ / "k.ipx", true, prompter_);
    EXPECT_EQ(viaIpx.result, 1);
    EXPECT_FALSE(viaIpx.opened);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_TRUE(session_.storePath.empty());

    const OpenStoreResult viaIdx = OpenStore(session_, folder_ / "k.idx", true, prompter_);
    EXPECT_TRUE(viaIdx.opened);
    EXPECT_EQ(session_.store.kind, StoreKind::Classic);
    EXPECT_EQ(session_.store.recordCount, 2u);
    EXPECT_EQ(viaIdx.shownName, (folder_ / "k.idx").string());
    // The ".ipx" exists, so it is what the recent list remembers.
    EXPECT_EQ(session_.recent.entries()[0], (folder_ / "k.ipx").string());
}

TEST_F(OpenStoreTest, ANarrowDetailFileIsWidenedAndTheStoreOpensExtended) {
    MakeStore(folder_ / "n.idx", {.games = 3, .extended = true, .detailRecordSize = 192});
    const auto narrow = FileBytes(folder_ / "n.ipx");
    ASSERT_EQ(narrow.size(), 3u * 192);
    std::uint32_t count = 0;
    EXPECT_EQ(Validate(folder_ / "n.ipx", count), StoreCheck::Extended);
    EXPECT_EQ(count, 3u);
    const auto wide = FileBytes(folder_ / "n.ipx");
    ASSERT_EQ(wide.size(), 3u * 256);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_TRUE(std::equal(narrow.begin() + std::ptrdiff_t(k * 192),
                               narrow.begin() + std::ptrdiff_t(k * 192 + 192),
                               wide.begin() + std::ptrdiff_t(k * 256)));
        EXPECT_TRUE(std::all_of(wide.begin() + std::ptrdiff_t(k * 256 + 192),
                                wide.begin() + std::ptrdiff_t(k * 256 + 256),
                                [](std::uint8_t b) { return b == 0; }));
    }
    EXPECT_FALSE(fs::exists(folder_ / "n.ip$"));
    EXPECT_EQ(Validate(folder_ / "n.ipx", count), StoreCheck::Extended);  // now as it should be
}

TEST_F(OpenStoreTest, WideningNeedsRoomAndAnAgreeingMoveInfoFile) {
    MakeStore(folder_ / "n.idx", {.games = 4, .extended = true, .detailRecordSize = 192});
    std::uint32_t count = 0;
    const auto noRoom = [](const fs::path&) -> std::optional<std::uint64_t> {
        return 4 * 256 + 1024;  // must exceed this
    };
    EXPECT_EQ(ValidateStore(folder_ / "n.idx", count, prompter_, RealFileSystem(), noRoom),
              StoreCheck::Unusable);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, std::string("\rディスクの残容量が不足しています。"_sj));
    EXPECT_EQ(fs::file_size(folder_ / "n.ipx"), 4u * 192);

    // The rename of the widened file fails: the narrow file stays, nothing is left beside it.
    struct FailingRename : FileSystemHooks {
        bool Rename(const fs::path&, const fs::path&) override { return false; }
    } failing;
    EXPECT_EQ(ValidateStore(folder_ / "n.idx", count, prompter_, failing), StoreCheck::Unusable);
    EXPECT_EQ(fs::file_size(folder_ / "n.ipx"), 4u * 192);
    EXPECT_FALSE(fs::exists(folder_ / "n.ip$"));

    fs::resize_file(folder_ / "n.kpf", 3 * kMoveInfoRecordSize);
    EXPECT_EQ(Validate(folder_ / "n.idx", count), StoreCheck::Unusable);
    EXPECT_EQ(fs::file_size(folder_ / "n.ipx"), 4u * 192);
}

TEST_F(OpenStoreTest, OpeningAStoreLoadsTablesAndCatalogueAndRemembersIt) {
    MakeStore(folder_ / "games.idx", {.games = 5, .extended = true});
    const OpenStoreResult r = OpenStore(session_, folder_ / "games.ipx", false, prompter_);
    EXPECT_EQ(r.result, 1);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.storeChanged);
    EXPECT_TRUE(r.playersRead);
    EXPECT_TRUE(r.recentChanged);
    EXPECT_EQ(session_.openState, 1);
    EXPECT_EQ(session_.storePath, folder_ / "games.idx");
    EXPECT_TRUE(session_.store.extended());
    EXPECT_EQ(r.shownName, (folder_ / "games.ipx").string());
    EXPECT_EQ(StoreCaption("Movra", r.shownName),
              "Movra　（棋譜ファイル： "_sj + (folder_ / "games.ipx").string() + "）"_sj);
    ASSERT_EQ(session_.catalogue.count(), 5u);
    EXPECT_EQ(session_.catalogue.entries()[4].sentePlayer, 5);
    EXPECT_EQ(session_.players.NumberByName("羽生善治"_sj), 1);
    EXPECT_EQ(session_.tournaments.NumberByPosition(1), 1);
    EXPECT_EQ(session_.openings.NumberByPosition(1), 1);
    EXPECT_EQ(session_.recent.entries()[0], (folder_ / "games.ipx").string());

    // The same store again: not a change of store, the recent list stays.
    const OpenStoreResult again = OpenStore(session_, folder_ / "games.idx", true, prompter_);
    EXPECT_FALSE(again.storeChanged);
    EXPECT_TRUE(again.resetGameSlots);
    EXPECT_FALSE(again.recentChanged);
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(OpenStoreTest, BrokenMissingAndForeignStores) {
    MakeStore(folder_ / "bad.idx", {.games = 2, .gameDataRecords = 1, .gameDataGiven = true});
    session_.recent.Add((folder_ / "gone.idx").string());
    session_.recent.Add((folder_ / "bad.idx").string());
    const OpenStoreResult broken = OpenStore(session_, folder_ / "bad.idx", true, prompter_);
    EXPECT_EQ(broken.result, 0);
    EXPECT_FALSE(broken.opened);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text,
              "\r棋譜ファイルが壊れています。\r\r\""_sj + (folder_ / "bad.idx").string() + "\"");
    EXPECT_EQ(session_.recent.entries()[0], (folder_ / "gone.idx").string());

    const OpenStoreResult missing = OpenStore(session_, folder_ / "gone.idx", true, prompter_);
    EXPECT_EQ(missing.result, 1);
    EXPECT_FALSE(missing.opened);
    EXPECT_TRUE(missing.recentChanged);
    EXPECT_TRUE(session_.recent.entries()[0].empty());

    WriteText(folder_ / "other.KIF", "x");
    const OpenStoreResult halvik = OpenStore(session_, folder_ / "other.KIF", true, prompter_);
    EXPECT_EQ(halvik.result, 1);
    EXPECT_EQ(session_.openState, 3);
    EXPECT_EQ(prompter_.shown.size(), 1u);
}

TEST_F(OpenStoreTest, AStoreThatCannotBeWrittenIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not stop root from writing";
    MakeStore(folder_ / "ro.idx", {.games = 1});
    fs::permissions(folder_ / "ro.idx", fs::perms::owner_read);
    const OpenStoreResult r = OpenStore(session_, folder_ / "ro.idx", true, prompter_);
    EXPECT_EQ(r.result, 0);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "\"" + (folder_ / "ro.idx").string() +
                                           "\"は\r\r読み取り専用ファイルのため使用できません。"_sj);
}

TEST(RecentFileList, AddMovesAnEntryToTheTopAndDropsTheLast) {
    RecentFileList list;
    for (int i = 10; i >= 1; --i) list.Add("/s/f" + std::to_string(i) + ".idx");
    EXPECT_EQ(list.entries()[0], "/s/f1.idx");
    EXPECT_EQ(list.entries()[9], "/s/f10.idx");
    // The path of entry 3, written in another case, moves to entry 1; 1 and 2 become 2 and 3.
    EXPECT_TRUE(list.Add("/S/F3.IDX"));
    EXPECT_EQ(list.entries()[0], "/S/F3.IDX");
    EXPECT_EQ(list.entries()[1], "/s/f1.idx");
    EXPECT_EQ(list.entries()[2], "/s/f2.idx");
    EXPECT_EQ(list.entries()[3], "/s/f4.idx");
    EXPECT_FALSE(list.Add("/s/f3.idx"));  // already entry 1
    EXPECT_EQ(list.entries()[0], "/S/F3.IDX");
    EXPECT_TRUE(list.Add("/s/new.idx"));
    EXPECT_EQ(list.entries()[0], "/s/new.idx");
    EXPECT_EQ(list.entries()[9], "/s/f9.idx");  // f10 fell off

    EXPECT_TRUE(list.Remove("/S/F1.idx"));
    EXPECT_EQ(list.entries()[2], "/s/f2.idx");  // closed up
    EXPECT_TRUE(list.entries()[9].empty());
    EXPECT_FALSE(list.Remove("/nowhere"));

    const auto items = list.MenuItems();
    EXPECT_EQ(items[0].caption, "&1 new.idx");
    EXPECT_TRUE(items[0].visible);
    EXPECT_EQ(items[8].caption, "&9 f9.idx");
    EXPECT_FALSE(items[9].visible);
    list.Add("/s/x.idx");
    EXPECT_EQ(list.MenuItems()[9].caption, "&0 f9.idx");

    RecentFileList fromSettings;
    fromSettings.Assign({"", "C:\\Kifu\\a.ipx", "", "/b.idx"});
    EXPECT_EQ(fromSettings.entries()[0], "C:\\Kifu\\a.ipx");
    EXPECT_EQ(fromSettings.MenuItems()[0].caption, "&1 a.ipx");
    EXPECT_EQ(fromSettings.entries()[1], "/b.idx");
}

TEST_F(OpenStoreTest, ChoosingARecentEntryAsksFirst) {
    MakeStore(folder_ / "r.idx", {.games = 1});
    session_.recent.Add((folder_ / "r.idx").string());
    prompter_.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(OpenRecentEntry(session_, 1, prompter_).has_value());
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text,
              "\"" + (folder_ / "r.idx").string() + "\" を読み込みます。\r\r　よろしいですか？"_sj);
    const auto opened = OpenRecentEntry(session_, 1, prompter_);
    ASSERT_TRUE(opened.has_value());
    EXPECT_TRUE(opened->opened);
    EXPECT_FALSE(OpenRecentEntry(session_, 5, prompter_).has_value());
}

TEST_F(OpenStoreTest, MessagesNameJapaneseFoldersInTheirOwnCharacters) {
    // File names are UTF-8 on disk; the texts of messages are CP932.
    const fs::path folder = folder_ / "棋譜集";
    fs::create_directories(folder);
    MakeStore(folder / "壊れ.idx", {.games = 2, .gameDataRecords = 1, .gameDataGiven = true});
    OpenStore(session_, folder / "壊れ.idx", true, prompter_);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].text, "\r棋譜ファイルが壊れています。\r\r\""_sj + Utf8ToCp932(folder_.path().string()) +
                                           "/棋譜集/壊れ.idx\""_sj);
    ASSERT_TRUE(CreateNewStore(session_, folder / "新", prompter_).has_value());
    EXPECT_FALSE(CreateNewStore(session_, folder / "新.ipx", prompter_).has_value());
    EXPECT_EQ(prompter_.shown.back().text,
              "\r" + Utf8ToCp932(folder_.path().string()) + "/棋譜集/新.idx は既に存在します。"_sj);
}

TEST_F(OpenStoreTest, ANewStoreWithoutExtensionIsOfTheExtendedKind) {
    const auto r = CreateNewStore(session_, folder_ / "new", prompter_);
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->opened);
    for (const char* name : {"new.idx", "new.kif", "new.ipx", "new.kpf", "new.cp0"}) {
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    }
    EXPECT_TRUE(session_.store.extended());
    EXPECT_EQ(session_.catalogue.count(), 0u);

    EXPECT_FALSE(CreateNewStore(session_, folder_ / "new.ipx", prompter_).has_value());
    EXPECT_EQ(prompter_.shown.back().text, "\r" + (folder_ / "new.idx").string() + " は既に存在します。"_sj);
    EXPECT_FALSE(CreateNewStore(session_, folder_ / "x.txt", prompter_).has_value());
    EXPECT_EQ(prompter_.shown.back().text, std::string("\rファイル名が正しくありません！"_sj));

    const auto classic = CreateNewStore(session_, folder_ / "old.IDX", prompter_);
    ASSERT_TRUE(classic.has_value());
    EXPECT_FALSE(session_.store.extended());
    EXPECT_FALSE(fs::exists(folder_ / "old.ipx"));
}

TEST_F(OpenStoreTest, RenamingMovesEveryStoreFileButTheWorkingComments) {
    MakeStore(folder_ / "old.idx", {.games = 2, .extended = true});
    WriteFileBytes(folder_ / "old.cp1", std::vector<std::uint8_t>(kCommentRecordSize));
    WriteFileBytes(folder_ / "old.cp3", std::vector<std::uint8_t>(kCommentRecordSize));  // after a gap
    WriteFileBytes(folder_ / "old.cp$", std::vector<std::uint8_t>(256));
    ASSERT_TRUE(OpenStore(session_, folder_ / "old.ipx", true, prompter_).opened);
    EXPECT_EQ(CurrentStoreName(session_), "old.ipx");
    EXPECT_EQ(RenamePromptText(session_), "'old.ipx' の新しい名前を指定してください。"_sj);

    EXPECT_EQ(RenameStore(session_, " OLD.IPX ", prompter_), RenameOutcome::Unchanged);
    EXPECT_EQ(RenameStore(session_, "new.idx", prompter_), RenameOutcome::Refused);
    EXPECT_EQ(prompter_.shown.back().text, std::string("\rファイル名が不正です。"_sj));

    WriteText(folder_ / "taken.cp1", "");
    EXPECT_EQ(RenameStore(session_, "taken.ipx", prompter_), RenameOutcome::Refused);
    EXPECT_EQ(prompter_.shown.back().text,
              "同じ名前のファイルがあるため変更できません。\r\r　[ taken.cp1 ]"_sj);

    EXPECT_EQ(RenameStore(session_, "new.ipx", prompter_), RenameOutcome::Renamed);
    EXPECT_EQ(prompter_.shown.back().text, std::string("\r棋譜ファイル名を変更しました。"_sj));
    for (const char* name : {"new.idx", "new.kif", "new.ipx", "new.kpf", "new.cp0", "new.cp1",
                             "old.cp$", "old.cp3"}) {
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    }
    EXPECT_FALSE(fs::exists(folder_ / "old.cp1"));
    EXPECT_EQ(session_.storePath, folder_ / "new.idx");
    EXPECT_EQ(ShownStoreName(session_), (folder_ / "new.ipx").string());
}

TEST_F(OpenStoreTest, AFailedRenamePutsEveryFileBack) {
    MakeStore(folder_ / "old.idx", {.games = 1, .extended = true});
    ASSERT_TRUE(OpenStore(session_, folder_ / "old.idx", true, prompter_).opened);
    struct FailOnThird : FileSystemHooks {
        int calls = 0;
        bool Rename(const fs::path& from, const fs::path& to) override {
            if (++calls == 3) return false;
            return FileSystemHooks::Rename(from, to);
        }
    } hooks;
    EXPECT_EQ(RenameStore(session_, "new.ipx", prompter_, hooks), RenameOutcome::Failed);
    EXPECT_EQ(prompter_.shown.back().text, std::string("\rファイル名の変更に失敗しました。"_sj));
    for (const char* name : {"old.idx", "old.kif", "old.ipx", "old.kpf", "old.cp0"}) {
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    }
    EXPECT_FALSE(fs::exists(folder_ / "new.idx"));
    EXPECT_EQ(session_.storePath, folder_ / "old.idx");
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(folder_ / "old.idx", count, prompter_), StoreCheck::Extended);
}

TEST_F(OpenStoreTest, SwitchingTheDatFolderNeedsAllThreeFiles) {
    const fs::path other = folder_ / "other";
    fs::create_directories(other);
    WriteText(other / "KSNAME.DAT", "  7 B " + PadOrCut("大山康晴"_sj, 20) + "\r\n");
    EXPECT_FALSE(SwitchDatFolder(session_, other / "KSNAME.DAT", prompter_));
    EXPECT_EQ(prompter_.shown.back().text, "以下のファイルがありません！\r\rMovra.dat\rSenkei.dat"_sj);
    EXPECT_TRUE(session_.datFolder.empty());
    WriteText(other / "Movra.dat", " 1 竜王戦\r\n"_sj);
    WriteText(other / "Senkei.dat", "  1 中飛車\r\n"_sj);
    EXPECT_TRUE(SwitchDatFolder(session_, other / "KSNAME.DAT", prompter_));
    EXPECT_EQ(session_.datFolder, other);
    EXPECT_EQ(session_.players.NumberByName("大山康晴"_sj), 7);
    EXPECT_EQ(session_.openings.NumberByName("中飛車"_sj), 1);
    EXPECT_EQ(session_.tournaments.NumberByPosition(1), 0);  // no store is open
    EXPECT_EQ(prompter_.shown.back().text,
              "DATファイルを下記のフォルダのデータに切り替えました。\r\r"_sj + other.string() + "/");
}

TEST_F(OpenStoreTest, OpeningAnotherStoreDeletesTheWorkingCommentsAndNamesComeFromTheDetail) {
    MakeStore(folder_ / "one.idx", {.games = 2, .extended = true});
    MakeStore(folder_ / "two.idx", {.games = 1});
    ASSERT_TRUE(OpenStore(session_, folder_ / "one.ipx", true, prompter_).opened);
    DetailRecord detail;
    detail.setSenteName("名無し"_sj);
    ASSERT_TRUE(WriteDetailRecord(session_.store, 2, detail, prompter_));
    const GameNames names = ReadGameNames(StoreReader(session_.store), 2);
    EXPECT_EQ(names.sente, std::string("名無し"_sj));
    EXPECT_EQ(names.gote, std::string("(未登録)"_sj));
    EXPECT_EQ(ReadGameNames(StoreReader(session_.store), 9).sente, std::string("(未登録)"_sj));

    WriteFileBytes(folder_ / "one.cp$", std::vector<std::uint8_t>(256));
    const OpenStoreResult r = OpenChosenStore(session_, folder_ / "two.idx", prompter_);
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.storeChanged);
    EXPECT_FALSE(fs::exists(folder_ / "one.cp$"));
    EXPECT_EQ(ReadGameNames(StoreReader(session_.store), 1).sente, std::string("(未登録)"_sj));
    EXPECT_TRUE(prompter_.shown.empty());
}

}  // namespace
}  // namespace movra
