#include "core/text/text_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"

namespace movra {
namespace {

using namespace movra::literals;

constexpr std::uint8_t kUntouched = 0xAA;

// The field bytes, with the guard bytes after the field.
std::string FieldBytes(const std::uint8_t* field, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(field), count);
}

TEST(TextFieldTest, FieldToTextStopsAtZero) {
    const std::uint8_t bytes[] = {'a', 'b', 0, 'c'};
    EXPECT_EQ(FieldToText(bytes, 4), "ab");
    EXPECT_EQ(FieldToText(bytes, 1), "a");
    EXPECT_EQ(FieldToText(bytes, 0), "");
    const std::string name = "羽生善治"_sj;
    EXPECT_EQ(FieldToText(name.data(), name.size()), name);

    std::array<std::uint8_t, kMaxFieldBytes + 1> big{};
    big.fill('x');
    EXPECT_EQ(FieldToText(big.data(), kMaxFieldBytes).size(), kMaxFieldBytes);
    EXPECT_THROW(FieldToText(big.data(), kMaxFieldBytes + 1), RangeError);
}

TEST(TextFieldTest, TextToFieldNeverSplitsACharacter) {
    std::uint8_t field[8];
    const std::string board = "将棋盤"_sj;

    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, board, 4);
    EXPECT_EQ(FieldBytes(field, 5), "将棋"_sj + "\xAA");

    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, board, 3);
    EXPECT_EQ(FieldBytes(field, 4), "将"_sj + std::string(1, '\0') + "\xAA");

    // Shorter texts are zero-filled to the length.
    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, "ab", 5);
    EXPECT_EQ(FieldBytes(field, 6), std::string("ab\0\0\0\xAA", 6));

    // Half-width katakana are one byte each.
    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, "ｱｲｳ"_sj, 2);
    EXPECT_EQ(FieldBytes(field, 3), "ｱｲ"_sj + "\xAA");

    // A text that itself ends in half a character loses that half.
    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, "ab\x81", 3);
    EXPECT_EQ(FieldBytes(field, 4), std::string("ab\0\xAA", 4));

    // The whole of a fixed array.
    char name[5];
    TextToField(name, "先手番"_sj);
    EXPECT_EQ(std::string(name, 5), "先手"_sj + std::string(1, '\0'));
}

TEST(TextFieldTest, TextToFieldRefusesALengthBeyondTheCapacity) {
    std::uint8_t field[6];
    std::fill(std::begin(field), std::end(field), kUntouched);
    EXPECT_THROW(TextToField(field, 4, "abcdef", 5), RangeError);
    EXPECT_EQ(FieldBytes(field, 6), std::string(6, '\xAA'));
    TextToField(field, 4, "abcdef", 0);
    EXPECT_EQ(FieldBytes(field, 6), std::string(6, '\xAA'));
}

TEST(TextFieldTest, AnEmptyTextZeroFillsTheField) {
    // An empty view without data (a field read from nothing, an empty import value) and an
    // empty string both clear the field to its length and leave the bytes beyond alone.
    std::uint8_t field[6];
    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, std::string_view{}, 4);
    EXPECT_EQ(FieldBytes(field, 6), std::string("\0\0\0\0\xAA\xAA", 6));
    std::fill(std::begin(field), std::end(field), kUntouched);
    TextToField(field, sizeof field, std::string(), 6);
    EXPECT_EQ(FieldBytes(field, 6), std::string(6, '\0'));
    char name[3] = {'x', 'y', 'z'};
    TextToField(name, std::string_view{});
    EXPECT_EQ(std::string(name, 3), std::string(3, '\0'));
}

TEST(TextFieldTest, TextToFieldRandomTexts) {
    std::mt19937 random(4);
    const std::string pieces[] = {"a", " ", "ｱ", "将"_sj, "　"_sj, "\x81", "\xE0\x40", "\xFC"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (unsigned n = random() % 12; n > 0; --n) text += pieces[random() % std::size(pieces)];
        const std::size_t length = random() % 16;
        std::array<std::uint8_t, 24> field;
        field.fill(kUntouched);
        TextToField(field.data(), 16, text, length);
        for (std::size_t i = length; i < field.size(); ++i) ASSERT_EQ(field[i], kUntouched);
        const std::string stored = FieldToText(field.data(), length);
        // The stored text is a prefix of the text that ends on a character boundary and lacks
        // at most one byte of what fits.
        ASSERT_EQ(text.compare(0, stored.size(), stored), 0);
        ASSERT_TRUE(IsCharBoundary(text, stored.size()) || stored.empty()) << text;
        const std::size_t fits = std::min(text.size(), length);
        ASSERT_GE(stored.size() + 1, fits);
        for (std::size_t i = stored.size(); i < length; ++i) ASSERT_EQ(field[i], 0);
    }
}

TEST(TextFieldTest, CharBoundaryAndLeadBytes) {
    const std::string text = "ｱｲ将"_sj;
    EXPECT_TRUE(IsCharBoundary(text, 0));
    EXPECT_TRUE(IsCharBoundary(text, 1));
    EXPECT_TRUE(IsCharBoundary(text, 2));
    EXPECT_FALSE(IsCharBoundary(text, 3));
    EXPECT_TRUE(IsCharBoundary(text, 4));
    EXPECT_FALSE(IsCharBoundary(text, 5));  // longer than the text
    // A lone byte of 80 or above outside A0-DF counts as a lead byte, even at the end.
    EXPECT_FALSE(IsCharBoundary("ab\x81", 3));
    EXPECT_FALSE(IsCharBoundary("ab\x81", 4));
    EXPECT_TRUE(IsCharBoundary("\x80"
                               "a",
                               2));

    EXPECT_FALSE(IsLeadByte(0x7F));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_FALSE(IsLeadByte(0xA0));
    EXPECT_FALSE(IsLeadByte(0xDF));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0xFD));
}

TEST(TextBlankTest, TrimAndRemoveSpaces) {
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(RemoveSpaces(" 羽生　善治 名人 "_sj), "羽生善治名人"_sj);
    EXPECT_EQ(RemoveSpaces("　"_sj), "");
    // メ is 83 81: with "@" after it the bytes 81 40 are not a full-width space.
    EXPECT_EQ(RemoveSpaces("メ@"_sj), "メ@"_sj);
}

TEST(TextBlankTest, TrimFullWidth) {
    EXPECT_EQ(TrimFullWidth(" 　　将 棋　　 "_sj), "将 棋"_sj);
    EXPECT_EQ(TrimFullWidth("　 将棋　"_sj), " 将棋"_sj);  // half-width blanks are trimmed first only
    EXPECT_EQ(TrimFullWidth("　　"_sj), "");
    EXPECT_EQ(TrimFullWidth("　メ@"_sj), "メ@"_sj);
    EXPECT_EQ(TrimFullWidth("ａ　ｂ"_sj), "ａ　ｂ"_sj);
}

TEST(TextNumberTest, ZeroPad) {
    EXPECT_EQ(ZeroPad(7, 2), "07");
    EXPECT_EQ(ZeroPad(123, 2), "12");
    EXPECT_EQ(ZeroPad(12, 2), "12");
    EXPECT_EQ(ZeroPad(0, 3), "000");
    EXPECT_EQ(ZeroPad(5, 10), "0000000005");
    EXPECT_EQ(ZeroPad(5, 0), "");
    EXPECT_THROW(ZeroPad(5, 11), RangeError);
    EXPECT_THROW(ZeroPad(5, -1), RangeError);
}

TEST(TextNumberTest, TimeText) {
    EXPECT_EQ(TimeText(65, 5025), "( 1:05/01:23:45)");
    EXPECT_EQ(TimeText(0, 0), "( 0:00/00:00:00)");
    EXPECT_EQ(TimeText(599, 3599), "( 9:59/00:59:59)");
    EXPECT_EQ(TimeText(600, 360000), "(10:00/10:00:00)");  // 100 hours keep "10"
    EXPECT_EQ(TimeText(59940, 59940), "(999:00/16:39:00)");
}

TEST(TextMoveTest, ExportMoveText) {
    EXPECT_EQ(ExportMoveText("同　銀右"_sj, 6), "同　銀"_sj);
    EXPECT_EQ(ExportMoveText("７六歩"_sj, 0), "７六歩打"_sj);
    EXPECT_EQ(ExportMoveText("２二角成"_sj, 8), "２二角成"_sj);
    EXPECT_EQ(ExportMoveText("３三竜"_sj, 4), "３三龍"_sj);
    EXPECT_EQ(ExportMoveText("  ５八金左上 "_sj, 6), "５八金"_sj);
    EXPECT_EQ(ExportMoveText("２二角不成"_sj, 8), "２二角"_sj);
    EXPECT_EQ(ExportMoveText("５五角打"_sj, 0), "５五角打"_sj);
    EXPECT_EQ(ExportMoveText("５五角"_sj, 10), "５五角打"_sj);
    EXPECT_EQ(ExportMoveText("同竜寄"_sj, 2), "同　龍"_sj);
    EXPECT_EQ(ExportMoveText("２八飛引成"_sj, 2), "２八飛成"_sj);
    EXPECT_EQ(ExportMoveText("１九香行入"_sj, 1), "１九香"_sj);
    EXPECT_EQ(ExportMoveText("５七銀直"_sj, 6), "５七銀"_sj);
}

class RemovableDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("movra-drive-" + std::to_string(::getpid()) +
                 "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "proc");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    void Write(const std::filesystem::path& relative, const std::string& text) {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << text;
    }
    void Disk(const std::string& name, bool removable) {
        Write("sys/block/" + name + "/removable", removable ? "1\n" : "0\n");
    }

    std::filesystem::path root_;
};

TEST_F(RemovableDriveTest, FindsTheFirstRemovableMount) {
    Disk("sda", false);
    Disk("sdb", true);
    Disk("mmcblk0", true);
    Write("proc/mounts",
          "sysfs /sys sysfs rw 0 0\n"
          "/dev/sda1 / ext4 rw 0 0\n"
          "/dev/sdb1 /mnt/usb\\040stick vfat rw 0 0\n"
          "/dev/mmcblk0p1 /mnt/card vfat rw 0 0\n");
    EXPECT_EQ(FirstRemovableDrive(root_), "/mnt/usb stick/");
}

TEST_F(RemovableDriveTest, PartitionsOfCardsAndMediaFolders) {
    Disk("sda", false);
    Disk("nvme0n1", false);
    Disk("mmcblk0", true);
    Write("proc/mounts",
          "/dev/nvme0n1p2 / ext4 rw 0 0\n"
          "/dev/mmcblk0p1 /mnt/card vfat rw 0 0\n");
    EXPECT_EQ(FirstRemovableDrive(root_), "/mnt/card/");
    Write("proc/mounts",
          "/dev/nvme0n1p2 / ext4 rw 0 0\n"
          "/dev/sda2 /run/media/user/DISK ext4 rw 0 0\n");
    EXPECT_EQ(FirstRemovableDrive(root_), "/run/media/user/DISK/");
}

TEST_F(RemovableDriveTest, NoneFound) {
    Disk("sda", false);
    Write("proc/mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/sda2 /media ext4 rw 0 0\n");
    EXPECT_EQ(FirstRemovableDrive(root_), "");
    std::filesystem::remove(root_ / "proc" / "mounts");
    EXPECT_EQ(FirstRemovableDrive(root_), "");
}

}  // namespace
}  // namespace movra
