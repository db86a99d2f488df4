#include "core/text/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/text/sjis_literal.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;
using movra::testing::TouchFile;

class PathsTest : public ::testing::Test {
protected:
    movra::testing::TempFolder folder_;
    const fs::path& root_ = folder_.path();
};

TEST_F(PathsTest, LookUpIgnoresAsciiCaseAndReadsBackslashes) {
    TouchFile(root_ / "Kifu" / "Sample.IPX");
    TouchFile(root_ / "ban1l.bmp");
    EXPECT_EQ(ResolvePath(root_, "kifu\\sample.ipx"), root_ / "Kifu" / "Sample.IPX");
    EXPECT_EQ(ResolvePath(root_, "BAN1L.BMP"), root_ / "ban1l.bmp");
    EXPECT_TRUE(FileExistsNoCase(root_, "KIFU/SAMPLE.ipx"));
    EXPECT_FALSE(FileExistsNoCase(root_, "Kifu"));  // a folder is not a file
    EXPECT_EQ(ResolvePath(root_, "Kifu\\missing\\x.idx"), root_ / "Kifu" / "missing" / "x.idx");
    // Absolute paths are resolved from the root.
    EXPECT_EQ(ResolvePath("/nowhere", (root_ / "KIFU" / "sample.ipx").string()),
              root_ / "Kifu" / "Sample.IPX");
    // A CP932 name reaches the file system as UTF-8.
    TouchFile(root_ / fs::path(u8"棋譜") / "a.idx");
    EXPECT_TRUE(FileExistsNoCase(root_, "棋譜\\A.IDX"_sj));
    EXPECT_EQ(StoredPath(root_ / fs::path(u8"棋譜")), StoredPath(root_) + "/" + "棋譜"_sj);
}

TEST(Paths, ExtensionsAndNamesFoldOnlyAsciiLetters) {
    EXPECT_EQ(UpperExtension("Kifu/Games.ipx"), ".IPX");
    EXPECT_EQ(UpperExtension("a.b/GAMES"), "");
    EXPECT_EQ(UpperExtension("games."), ".");
    // A UTF-8 name keeps its other bytes; an ASCII letter after a multi-byte character (whose
    // bytes look like CP932 lead bytes) still folds.
    EXPECT_EQ(UpperExtension(fs::path(u8"棋譜.あidx")), std::string(".") + "\xE3\x81\x82IDX");
    EXPECT_TRUE(NativeNamesEqual("Sample.IPX", "sample.ipx"));
    EXPECT_TRUE(NativeNamesEqual(reinterpret_cast<const char*>(u8"棋譜a"),
                                 reinterpret_cast<const char*>(u8"棋譜A")));
    EXPECT_FALSE(NativeNamesEqual("sample.ipx", "sample.ip"));
    // Stored names are CP932: a trail byte that looks like a letter is not folded.
    EXPECT_FALSE(FileNamesEqual("\x82\x61", "\x82\x41"));
    EXPECT_TRUE(FileNamesEqual("棋譜\\sample.IDX"_sj, "棋譜\\SAMPLE.idx"_sj));
}

}  // namespace
}  // namespace movra
