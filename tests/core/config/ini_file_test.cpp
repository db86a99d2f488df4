#include "core/config/ini_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("movra_ini_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST(IniFileRead, NamesIgnoreAsciiCaseAndBlanksButNotDoubleByteCharacters) {
    IniFile ini;
    ini.Parse("[Shogi]\r\n  Koma = KOMA1L.BMP  \r\n[ 棋譜 ]\r\nｷｰ=1\r\n"_sj);
    EXPECT_EQ(ini.ReadString("SHOGI", "koma", "x"), "KOMA1L.BMP");
    EXPECT_EQ(ini.ReadString(" shogi ", " KOMA ", "x"), "KOMA1L.BMP");
    EXPECT_EQ(ini.ReadInteger("棋譜"_sj, "ｷｰ"_sj, 0), 1);
    // ヂ (83 61) and ア (83 41) differ only in the ASCII case of their trail bytes.
    ASSERT_EQ(std::string("ヂ"_sj), "\x83\x61");
    ASSERT_EQ(std::string("ア"_sj), "\x83\x41");
    EXPECT_FALSE(ProfileNamesEqual("ヂ"_sj, "ア"_sj));
    EXPECT_TRUE(ProfileNamesEqual("ab"_sj + "ヂ"_sj, "AB"_sj + "ヂ"_sj));
}

TEST(IniFileRead, ByteOrderMarkOfAnEditorIsSkipped) {
    IniFile ini;
    ini.Parse("\xEF\xBB\xBF[Shogi]\r\nSpeed=5\r\n");
    EXPECT_EQ(ini.ReadInteger("Shogi", "Speed", 3), 5);
    EXPECT_EQ(ini.Text(), "[Shogi]\r\nSpeed=5\r\n");
}

TEST(IniFileRead, FirstSectionAndFirstKeyWin) {
    IniFile ini;
    ini.Parse("[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n");
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 3);
    // The later [a] is never read, even for a key the first one lacks.
    EXPECT_EQ(ini.ReadInteger("A", "j", 9), 9);
    EXPECT_FALSE(ini.HasKey("a", "j"));
    // Writing goes to the first section too.
    ini.WriteInteger("a", "j", 6);
    EXPECT_EQ(ini.Text(), "[A]\r\nk=1\r\nk=2\r\nj=6\r\n[B]\r\nk=3\r\n[a]\r\nk=4\r\nj=5\r\n");
}

TEST(IniFileRead, QuotesCommentsAndOddLines) {
    IniFile ini;
    ini.Parse(
        "top=before any section\n"
        "[S]\n"
        "; comment=1\n"
        "  ;indented=2\n"
        "path=\"C:\\Program Files\\kifu.idx\"\n"
        "single='  x  '\n"
        "half=\"open\n"
        "mixed=\"a'\n"
        "inline=abc ; not a comment\n"
        "empty=\n"
        "quotesOnly=\"\"\n"
        "novalue\n"
        "=orphan\n"
        "[T\n"
        "k=in T\n"
        "[U]trailing\n"
        "k=in U\n");
    EXPECT_EQ(ini.ReadString("", "top", "none"), "none");
    EXPECT_EQ(ini.ReadString("S", "; comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", ";indented", "d"), "d");
    EXPECT_EQ(ini.ReadString("S", "path", ""), "C:\\Program Files\\kifu.idx");
    EXPECT_EQ(ini.ReadString("S", "single", ""), "  x  ");
    EXPECT_EQ(ini.ReadString("S", "half", ""), "\"open");
    EXPECT_EQ(ini.ReadString("S", "mixed", ""), "\"a'");
    EXPECT_EQ(ini.ReadString("S", "inline", ""), "abc ; not a comment");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "quotesOnly", "d"), "");
    EXPECT_TRUE(ini.HasKey("S", "novalue"));
    EXPECT_EQ(ini.ReadString("S", "novalue", "d"), "");
    EXPECT_EQ(ini.ReadString("T", "k", ""), "in T");
    EXPECT_EQ(ini.ReadString("U", "k", ""), "in U");
}

TEST(IniFileRead, SectionNameWithBracketAsTrailByte) {
    // ゾ is 83 5D: its trail byte is "]".
    const std::string name{"ゾ字"_sj};
    ASSERT_EQ(name[1], ']');
    IniFile ini;
    ini.Parse("[" + name + "]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadString(name, "k", ""), "v");
    EXPECT_EQ(ini.Text(), "[" + name + "]\r\nk=v\r\n");
}

TEST(IniFileRead, IntegersAndBooleans) {
    IniFile ini;
    ini.Parse(
        "[N]\nplain=42\nneg=-7\nplus=+3\nhex=$1F\nhex2=0x10\nblank=  12  \nquoted=\"5\"\n"
        "word=abc\ntrail=12abc\nempty=\nhuge=99999999999\nmin=-2147483648\n"
        "b0=0\nb1=1\nb2=2\nbx=yes\n");
    EXPECT_EQ(ini.ReadInteger("N", "plain", 0), 42);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 3);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "hex2", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "blank", 0), 12);
    EXPECT_EQ(ini.ReadInteger("N", "quoted", 0), 5);
    EXPECT_EQ(ini.ReadInteger("N", "word", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "trail", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "empty", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "huge", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 77), 77);
    EXPECT_FALSE(ini.ReadBool("N", "b0", true));
    EXPECT_TRUE(ini.ReadBool("N", "b1", false));
    EXPECT_TRUE(ini.ReadBool("N", "b2", false));
    EXPECT_TRUE(ini.ReadBool("N", "bx", true));
    EXPECT_FALSE(ini.ReadBool("N", "bx", false));
    EXPECT_TRUE(ini.ReadBool("None", "b", true));
}

TEST(IniFileWrite, UpdatesInPlaceAndKeepsEverythingElse) {
    IniFile ini;
    ini.Parse(
        "; Movra settings\n"
        "[Shogi]\n"
        "KOMA=KOMA1L.BMP\n"
        "; speed of the replay\n"
        "Speed=3\n"
        "\n"
        "[Form]\n"
        "Left=2\n"
        "Left=99\n");
    ini.WriteInteger("shogi", "speed", 5);
    ini.WriteString("SHOGI", "Yomiage", "1");
    ini.WriteString("form", "left", "10");
    ini.WriteString("New", "Key", "\"a b\"");
    EXPECT_EQ(ini.Text(),
              "; Movra settings\r\n"
              "[Shogi]\r\n"
              "KOMA=KOMA1L.BMP\r\n"
              "; speed of the replay\r\n"
              "Speed=5\r\n"
              "Yomiage=1\r\n"
              "\r\n"
              "[Form]\r\n"
              "Left=10\r\n"
              "Left=99\r\n"
              "\r\n"
              "[New]\r\n"
              "Key=\"a b\"\r\n");
    EXPECT_EQ(ini.ReadString("New", "Key", ""), "a b");
}

TEST(IniFileWrite, LineBreaksInValuesCannotSplitTheLine) {
    IniFile ini;
    ini.WriteString("S", "k", "one\r\n[Evil]\r\nx=1");
    EXPECT_FALSE(ini.HasKey("Evil", "x"));
    IniFile again;
    again.Parse(ini.Text());
    EXPECT_FALSE(again.HasKey("Evil", "x"));
    EXPECT_EQ(again.ReadString("S", "k", ""), "one  [Evil]  x=1");
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndSaveCreatesIt) {
    const auto path = dir_ / "MOVRAWIN.INI";
    IniFile ini;
    EXPECT_FALSE(ini.Load(path.string()));
    EXPECT_EQ(ini.ReadString("Shogi", "Drive", "D"), "D");
    ini.WriteString("Shogi", "Drive", "D");
    ASSERT_TRUE(ini.Save(path.string()));
    EXPECT_EQ(ReadBytes(path), "[Shogi]\r\nDrive=D\r\n");
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".$$$"));
}

TEST_F(IniFileTest, WritingAKeyKeepsTheRestOfTheFileByteForByte) {
    const auto path = dir_ / "settings.ini";
    const std::string original = "[Shogi]\nSpeed=3\n; 棋譜\n[Form]\r\nLeft=2\r\n"_sj;
    WriteBytes(path, original);
    const auto writeOne = [&](std::string_view key, std::string_view value) {
        ASSERT_TRUE(UpdateProfileFile(path.string(), [&](IniFile& ini) { ini.WriteString("Shogi", key, value); }));
    };
    writeOne("TimeDisp", "1");
    EXPECT_EQ(ReadBytes(path), "[Shogi]\r\nSpeed=3\r\n; 棋譜\r\nTimeDisp=1\r\n[Form]\r\nLeft=2\r\n"_sj);
    writeOne("speed", "4");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path.string()));
    EXPECT_EQ(ini.ReadInteger("Shogi", "Speed", 0), 4);
    EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 2);
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotReplaced) {
    // A folder in the file's place stands for a file that exists but cannot be read.
    const auto path = dir_ / "settings.ini";
    std::filesystem::create_directories(path);
    bool changed = false;
    EXPECT_FALSE(UpdateProfileFile(path.string(), [&](IniFile&) { changed = true; }));
    EXPECT_FALSE(changed);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    // A missing file is made.
    const auto fresh = dir_ / "fresh.ini";
    EXPECT_TRUE(UpdateProfileFile(fresh.string(), [](IniFile& ini) { ini.WriteInteger("S", "k", 1); }));
    EXPECT_EQ(ReadBytes(fresh), "[S]\r\nk=1\r\n");
}

TEST_F(IniFileTest, SaveIntoMissingFolderFailsCleanly) {
    IniFile ini;
    ini.WriteString("S", "k", "v");
    EXPECT_FALSE(ini.Save((dir_ / "no" / "such" / "x.ini").string()));
}

TEST_F(IniFileTest, ByteRoundTripOfArbitraryBinaryLines) {
    // Bytes with no character (80, A0, FD-FF) and user-defined characters pass through.
    const std::string text = "[S]\r\nk=\x80\xA0\xFD\xFE\xFF\xF0\x40\r\n";
    const auto path = dir_ / "bin.ini";
    WriteBytes(path, text);
    IniFile ini;
    ASSERT_TRUE(ini.Load(path.string()));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "\x80\xA0\xFD\xFE\xFF\xF0\x40");
    ASSERT_TRUE(ini.Save(path.string()));
    EXPECT_EQ(ReadBytes(path), text);
}

// A settings file replaced by a folder, a pipe without a writer, a link to an endless device or a
// huge file: read as missing (defaults) without blocking or filling memory, a message for the
// user, and never replaced when the settings are written back.
TEST_F(IniFileTest, OnlyRegularFilesOfSensibleSizeAreRead) {
    const auto folder = dir_ / "folder.ini";
    std::filesystem::create_directory(folder);
    const auto pipe = dir_ / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto endless = dir_ / "endless.ini";
    std::filesystem::create_symlink("/dev/zero", endless);
    const auto huge = dir_ / "huge.ini";
    WriteBytes(huge, "[S]\r\nk=v\r\n" + std::string(kMaxProfileBytes, ';'));
    const struct {
        std::filesystem::path path;
        FileReadStatus status;
    } cases[] = {{folder, FileReadStatus::NotRegular},
                 {pipe, FileReadStatus::NotRegular},
                 {endless, FileReadStatus::NotRegular},
                 {huge, FileReadStatus::TooLarge},
                 {dir_ / "missing.ini", FileReadStatus::Missing}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.filename().string());
        IniFile ini;
        FileReadStatus status = FileReadStatus::Ok;
        EXPECT_FALSE(ini.Load(c.path.string(), &status));
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(ini.Text().empty());
        EXPECT_EQ(ProfileProblemText("MOVRAWIN.INI", status).empty(),
                  c.status == FileReadStatus::Missing);
        if (c.status != FileReadStatus::Missing) {
            EXPECT_FALSE(UpdateProfileFile(c.path.string(),
                                           [](IniFile& ini) { ini.WriteString("S", "k", "v"); }));
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_symlink(endless));
    EXPECT_EQ(std::filesystem::file_size(huge), kMaxProfileBytes + 10);
    // A file of exactly the limit is still read.
    const auto limit = dir_ / "limit.ini";
    WriteBytes(limit, "[S]\r\nk=v\r\n" + std::string(kMaxProfileBytes - 10, ';'));
    IniFile ini;
    ASSERT_TRUE(ini.Load(limit.string()));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}

}  // namespace
}  // namespace movra
