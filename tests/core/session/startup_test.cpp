// Names looked up in the program folder, and the store chosen at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/config/program_folder.h"
#include "core/config/settings.h"
#include "core/session/startup_store.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

void Touch(const fs::path& p, const std::string& bytes = "x") {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("movra_startup_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(StartupTest, LookUpIgnoresAsciiCaseAndReadsBackslashes) {
    Touch(root_ / "Kifu" / "Sample.IPX");
    Touch(root_ / "ban1l.bmp");
    EXPECT_EQ(ResolvePath(root_, "kifu\\sample.ipx"), root_ / "Kifu" / "Sample.IPX");
    EXPECT_EQ(ResolvePath(root_, "BAN1L.BMP"), root_ / "ban1l.bmp");
    EXPECT_TRUE(FileExistsNoCase(root_, "KIFU/SAMPLE.ipx"));
    EXPECT_FALSE(FileExistsNoCase(root_, "Kifu"));  // a folder is not a file
    EXPECT_EQ(ResolvePath(root_, "Kifu\\missing\\x.idx"), root_ / "Kifu" / "missing" / "x.idx");
    // Absolute paths are resolved from the root.
    EXPECT_EQ(ResolvePath("/nowhere", (root_ / "KIFU" / "sample.ipx").string()),
              root_ / "Kifu" / "Sample.IPX");
    // A CP932 name reaches the file system as UTF-8.
    Touch(root_ / fs::path(u8"棋譜") / "a.idx");
    EXPECT_TRUE(FileExistsNoCase(root_, "棋譜\\A.IDX"_sj));
    EXPECT_EQ(StoredPath(root_ / fs::path(u8"棋譜")), StoredPath(root_) + "/" + "棋譜"_sj);
}

TEST(StoreKinds, ByExtensionAndCaption) {
    EXPECT_EQ(StoreKindOfPath("a/b.idx"), 1);
    EXPECT_EQ(StoreKindOfPath("a/b.IPX"), 1);
    EXPECT_EQ(StoreKindOfPath("b.mix"), 2);
    EXPECT_EQ(StoreKindOfPath("b.Kif"), 3);
    EXPECT_EQ(StoreKindOfPath("dir.idx/b"), 0);
    EXPECT_EQ(WindowCaption(1, "/k/a.ipx"), " Movra for Win　（棋譜ファイル： /k/a.ipx）"_sj);
    EXPECT_EQ(WindowCaption(2, "a.mix"), " Movra for Win　（棋譜ファイル【城山】： a.mix）"_sj);
    EXPECT_EQ(WindowCaption(3, "a.kif"), " Movra for Win　（棋譜ファイル【Halvik】： a.kif）"_sj);
    EXPECT_EQ(WindowCaption(1, ""), " Movra for Win");
}

TEST_F(StartupTest, LastStoreWinsAndPrefersItsIpxTwin) {
    Touch(root_ / "Kifu" / "Sample.idx");
    Touch(root_ / "games" / "mine.idx");
    Touch(root_ / "games" / "mine.ipx");
    Settings s;
    s.shogi.LastKifFile = (root_ / "games" / "mine.IDX").string();
    const StartupStore chosen = ChooseStartupStore(s, root_, DefaultStorePaths());
    EXPECT_EQ(chosen.path, (root_ / "games" / "mine.ipx").string());
    EXPECT_EQ(chosen.kind, 1);
    // The first default store is added first, the chosen one last (so it ends up on top).
    ASSERT_EQ(chosen.addToRecent.size(), 2u);
    EXPECT_EQ(chosen.addToRecent[0], "Kifu\\Sample.idx");
    EXPECT_EQ(chosen.addToRecent[1], chosen.path);
}

TEST_F(StartupTest, WithoutALastStoreTheFirstDefaultThatExistsIsOpened) {
    Settings s;
    s.shogi.LastKifMode = 3;
    EXPECT_TRUE(ChooseStartupStore(s, root_, DefaultStorePaths()).path.empty());
    EXPECT_EQ(s.shogi.LastKifMode, 3);
    Touch(root_ / "movra.IDX");
    const StartupStore chosen = ChooseStartupStore(s, root_, DefaultStorePaths());
    EXPECT_EQ(chosen.path, "Movra.idx");
    EXPECT_EQ(s.shogi.LastKifMode, 1);
    EXPECT_EQ(chosen.addToRecent, std::vector<std::string>{"Movra.idx"});
}

TEST_F(StartupTest, MissingRecentStoresAreClearedButRemovableOnesAreKept) {
    Touch(root_ / "there.idx");
    Settings s;
    s.shogi.Recent[0] = (root_ / "gone.idx").string();
    s.shogi.Recent[1] = (root_ / "THERE.idx").string();
    s.shogi.Recent[2] = "/media/usb/kifu.idx";
    s.shogi.Recent[3] = "C:\\KIFU\\OLD.IDX";
    s.shogi.LastKifFile = (root_ / "gone.idx").string();
    ValidateRecentStores(s, root_);
    EXPECT_EQ(s.shogi.Recent[0], "");
    EXPECT_EQ(s.shogi.Recent[1], (root_ / "THERE.idx").string());
    EXPECT_EQ(s.shogi.Recent[2], "/media/usb/kifu.idx");
    EXPECT_EQ(s.shogi.Recent[3], "");
    EXPECT_EQ(s.shogi.LastKifFile, "");
}

}  // namespace
}  // namespace movra
