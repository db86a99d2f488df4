// The program folder: where it is, and how it is filled from the data folder on every start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/config/program_folder.h"

namespace movra {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& p, const std::string& bytes = "x") {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("movra_progfolder_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        data_ = root_ / "data";
        Touch(data_ / "KOMA1L.BMP", "pieces");
        Touch(data_ / "Ban1L.BMP", "board");
        Touch(data_ / "Kifu" / "Sample.idx", "store");
        Touch(data_ / "WAV1" / "sarnovi.wav", "click");
        Touch(data_ / "Table" / "a.dat", "table");
        home_ = root_ / "home" / "movra";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_, data_, home_;
};

TEST(ProgramFolderChoice, OptionThenEnvironmentThenXdgThenHome) {
    EXPECT_EQ(ChooseProgramFolder("/opt/h", "/m", "/x", "/home/u"), fs::path("/opt/h"));
    EXPECT_EQ(ChooseProgramFolder("", "/m", "/x", "/home/u"), fs::path("/m"));
    EXPECT_EQ(ChooseProgramFolder("", "", "/x", "/home/u"), fs::path("/x/movra"));
    EXPECT_EQ(ChooseProgramFolder("", nullptr, nullptr, "/home/u"),
              fs::path("/home/u/.local/share/movra"));
}

TEST_F(ProgramFolderTest, FirstStartFillsTheFolderAndLaterStartsKeepTheUsersFiles) {
    std::string error;
    ASSERT_TRUE(PrepareProgramFolder(home_, data_, &error)) << error;
    EXPECT_EQ(Read(home_ / "KOMA1L.BMP"), "pieces");
    EXPECT_EQ(Read(home_ / "Kifu" / "Sample.idx"), "store");

    // The user's own changes survive a second start; a removed file comes back.
    Touch(home_ / "KOMA1L.BMP", "mine");
    fs::remove(home_ / "Kifu" / "Sample.idx");
    ASSERT_TRUE(PrepareProgramFolder(home_ / "", data_ / "", &error)) << error;
    EXPECT_EQ(Read(home_ / "KOMA1L.BMP"), "mine");
    EXPECT_EQ(Read(home_ / "Kifu" / "Sample.idx"), "store");

    Touch(root_ / "afile");
    EXPECT_FALSE(PrepareProgramFolder(root_ / "afile", data_, &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ProgramFolderTest, AFolderHoldingSomeFilesGetsEveryMissingOneAndKeepsItsOwn) {
    // A voice set put in by hand before the first start, the user's own pieces under another
    // case of the name, a file where the data has a folder, and a folder where it has a file.
    Touch(home_ / "WAV1" / "11.wav", "eleven");
    Touch(home_ / "wav1" / "SARNOVI.WAV", "my click");
    Touch(home_ / "koma1l.bmp", "my pieces");
    Touch(home_ / "table", "a file of mine");
    fs::create_directories(home_ / "Ban1L.BMP");
    std::string error;
    ASSERT_TRUE(PrepareProgramFolder(home_, data_, &error)) << error;

    EXPECT_EQ(Read(home_ / "Kifu" / "Sample.idx"), "store");
    EXPECT_EQ(Read(home_ / "WAV1" / "11.wav"), "eleven");
    EXPECT_EQ(Read(home_ / "WAV1" / "sarnovi.wav"), "click");  // WAV1 lacked it; wav1 is another folder
    EXPECT_EQ(Read(home_ / "wav1" / "SARNOVI.WAV"), "my click");
    EXPECT_EQ(Read(home_ / "koma1l.bmp"), "my pieces");
    EXPECT_FALSE(fs::exists(home_ / "KOMA1L.BMP"));
    EXPECT_EQ(Read(home_ / "table"), "a file of mine");
    EXPECT_FALSE(fs::exists(home_ / "Table"));
    EXPECT_TRUE(fs::is_directory(home_ / "Ban1L.BMP"));
    EXPECT_TRUE(fs::is_empty(home_ / "Ban1L.BMP"));

    // A data folder that is missing leaves the folder as it is.
    ASSERT_TRUE(PrepareProgramFolder(home_, root_ / "nowhere", &error));
}

}  // namespace
}  // namespace movra
