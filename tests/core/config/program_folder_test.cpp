#include "core/config/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using movra::testing::TouchFile;

class ProgramFolderTest : public ::testing::Test {
protected:
    movra::testing::TempFolder folder_;
    const fs::path& root_ = folder_.path();
};

TEST(ProgramFolderChoice, OptionThenEnvironmentThenXdgThenHome) {
    EXPECT_EQ(ChooseProgramFolder("/opt/h", "/m", "/x", "/home/u"), fs::path("/opt/h"));
    EXPECT_EQ(ChooseProgramFolder("", "/m", "/x", "/home/u"), fs::path("/m"));
    EXPECT_EQ(ChooseProgramFolder("", "", "/x", "/home/u"), fs::path("/x/movra"));
    EXPECT_EQ(ChooseProgramFolder("", nullptr, nullptr, "/home/u"),
              fs::path("/home/u/.local/share/movra"));
}

TEST_F(ProgramFolderTest, FirstStartFillsTheFolderAndLaterStartsLeaveItAlone) {
    const fs::path data = root_ / "data";
    TouchFile(data / "KOMA1L.BMP", "pieces");
    TouchFile(data / "Kifu" / "Sample.idx", "store");
    const fs::path home = root_ / "home" / "movra";
    std::string error;
    ASSERT_TRUE(PrepareProgramFolder(home, data, &error)) << error;
    EXPECT_TRUE(fs::exists(home / "KOMA1L.BMP"));
    EXPECT_TRUE(fs::exists(home / "Kifu" / "Sample.idx"));

    // The user's own changes survive a second start; removed files do not come back.
    TouchFile(home / "KOMA1L.BMP", "mine");
    fs::remove(home / "Kifu" / "Sample.idx");
    ASSERT_TRUE(PrepareProgramFolder(home, data, &error));
    std::ifstream in(home / "KOMA1L.BMP");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "mine");
    EXPECT_FALSE(fs::exists(home / "Kifu" / "Sample.idx"));

    TouchFile(root_ / "afile");
    EXPECT_FALSE(PrepareProgramFolder(root_ / "afile", data, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace movra
