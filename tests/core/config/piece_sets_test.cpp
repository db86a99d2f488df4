#include "core/config/piece_sets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string Field(std::string_view text) {
    std::string f(text);
    f.resize(20, ' ');
    return f;
}

TEST(PieceSetList, FixedColumnsTrimmedAndBlankLinesSkipped) {
    const std::string text = Field("一字駒"_sj) + Field("KOMA1S.BMP") + Field("KOMA1L.BMP") +
                             Field("KOMA1E.BMP") + "\r\n" + "   \r\n" + Field(" 古い駒"_sj) +
                             Field("OLDS.BMP") + "OLDL.BMP\r\n";
    const std::vector<PieceSetEntry> sets = ParsePieceSetList(text);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, "一字駒"_sj);
    EXPECT_EQ(sets[0].large, "KOMA1E.BMP");
    EXPECT_EQ(sets[1].name, "古い駒"_sj);
    EXPECT_EQ(sets[1].standard, "OLDL.BMP");
    EXPECT_EQ(sets[1].large, "");
    EXPECT_TRUE(ReadPieceSetList("/no/such/KOMATYPE.DAT").empty());
}

TEST(PieceSetList, SizeLettersAndPictureFiles) {
    EXPECT_EQ(SizeModeOfPieceWidth(40), kStandardBoard);
    EXPECT_EQ(SizeModeOfPieceWidth(33), kSmallBoard);
    EXPECT_EQ(SizeModeOfPieceWidth(50), kLargeBoard);
    EXPECT_EQ(WithSizeLetter("KOMA1L.BMP", 'S'), "KOMA1S.BMP");
    EXPECT_EQ(WithSizeLetter("dir.x/KOMA", 'S'), "dir.x/KOMA");
    EXPECT_EQ(WithSizeLetter(".BMP", 'S'), ".BMP");
    const BoardPictureFiles large = PictureFilesFor(kLargeBoard, 1);
    EXPECT_EQ(large.board, "Ban1E.BMP");
    EXPECT_EQ(large.stand, "Dai1E.BMP");
    EXPECT_EQ(large.kifBox, "KifBox3L.BMP");
    EXPECT_EQ(large.buttons, "PBtn1L.bmp");
    const BoardPictureFiles small = PictureFilesFor(kSmallBoard, 0);
    EXPECT_EQ(small.board, "Ban3S.BMP");
    EXPECT_EQ(small.panel, "Panel3S.bmp");
    EXPECT_EQ(small.kifBox, "KifBox3S.BMP");
}

TEST(PieceSetList, LargeModeNeedsALargeSetAndItsPictures) {
    const fs::path dir = fs::temp_directory_path() / "movra_piece_sets_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    };
    write("KOMATYPE.DAT", Field("a") + Field("AS.BMP") + Field("AL.BMP") + "\r\n");
    write("BAN1E.BMP", "x");
    write("dai1e.bmp", "x");
    EXPECT_FALSE(LargeModeAvailable(dir));  // no set names a large file
    write("KOMATYPE.DAT", Field("a") + Field("AS.BMP") + Field("AL.BMP") + Field("AE.BMP") + "\r\n");
    EXPECT_TRUE(LargeModeAvailable(dir));
    fs::remove(dir / "dai1e.bmp");
    write("Dai3E.BMP", "x");
    EXPECT_FALSE(LargeModeAvailable(dir));  // board of one set, stand of the other
    write("Ban3e.bmp", "x");
    EXPECT_TRUE(LargeModeAvailable(dir));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace movra
