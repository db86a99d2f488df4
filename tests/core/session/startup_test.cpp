// The store chosen at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

TEST(StoreKinds, ByExtensionAndCaption) {
    EXPECT_EQ(StoreKindOfPath("a/b.idx"), kOpenStateMovra);
    EXPECT_EQ(StoreKindOfPath("a/b.IPX"), kOpenStateMovra);
    EXPECT_EQ(StoreKindOfPath("b.mix"), kOpenStateShiroyama);
    EXPECT_EQ(StoreKindOfPath("b.Kif"), kOpenStateHalvik);
    EXPECT_EQ(StoreKindOfPath("dir.idx/b"), kOpenStateNone);
    EXPECT_EQ(StoreKindOfPath("C:\\KIFU\\OLD.IDX"), kOpenStateMovra);
    EXPECT_EQ(StoreKindOfPath("dir.kif\\b"), kOpenStateNone);
    EXPECT_EQ(WindowCaption(kOpenStateMovra, "/k/a.ipx"), " Movra for Win　（棋譜ファイル： /k/a.ipx）"_sj);
    EXPECT_EQ(WindowCaption(kOpenStateShiroyama, "a.mix"), " Movra for Win　（棋譜ファイル【城山】： a.mix）"_sj);
    EXPECT_EQ(WindowCaption(kOpenStateHalvik, "a.kif"), " Movra for Win　（棋譜ファイル【Halvik】： a.kif）"_sj);
    EXPECT_EQ(WindowCaption(kOpenStateMovra, ""), " Movra for Win");
}

TEST_F(StartupTest, LastStoreWinsAndPrefersItsIpxTwin) {
    Touch(root_ / "Kifu" / "Sample.idx");
    Touch(root_ / "games" / "mine.idx");
    Touch(root_ / "games" / "mine.ipx");
    Settings s;
    s.shogi.LastKifFile = (root_ / "games" / "mine.IDX").string();
    const StartupStore chosen = ChooseStartupStore(s, root_, DefaultStorePaths());
    EXPECT_EQ(chosen.path, (root_ / "games" / "mine.ipx").string());
    EXPECT_EQ(chosen.kind, kOpenStateMovra);
    // The first default store is added first, the chosen one last (so it ends up on top).
    ASSERT_EQ(chosen.addToRecent.size(), 2u);
    EXPECT_EQ(chosen.addToRecent[0], "Kifu\\Sample.idx");
    EXPECT_EQ(chosen.addToRecent[1], chosen.path);
}

TEST_F(StartupTest, WithoutALastStoreTheFirstDefaultThatExistsIsOpened) {
    Settings s;
    s.shogi.LastKifMode = kOpenStateHalvik;
    EXPECT_TRUE(ChooseStartupStore(s, root_, DefaultStorePaths()).path.empty());
    EXPECT_EQ(s.shogi.LastKifMode, kOpenStateHalvik);
    Touch(root_ / "movra.IDX");
    const StartupStore chosen = ChooseStartupStore(s, root_, DefaultStorePaths());
    EXPECT_EQ(chosen.path, "Movra.idx");
    EXPECT_EQ(s.shogi.LastKifMode, kOpenStateMovra);
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
