#include "core/config/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/config/ini_file.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
using namespace std::string_literals;
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() /
                ("movra_settings_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home_);
        fs::create_directories(home_);
    }
    void TearDown() override { fs::remove_all(home_); }
    fs::path home_;
    const ScreenSize screen_{1024, 768};
};

TEST_F(SettingsFileTest, FreshFolderWritesEveryDefaultInTableOrder) {
    const Settings settings = LoadSettings(home_, screen_);
    ASSERT_TRUE(SaveSettings(home_, settings));
    const std::string text = ReadBytes(home_ / "MOVRAWIN.INI");
    const std::string shogi =
        "[Shogi]\r\nDrive=D\r\nKoma=KOMA1L.BMP\r\nOnsei=1\r\nSarnovi=1\r\nYomiage=1\r\n"
        "YomiWait=1\r\nAutoCom=1\r\nComWait=0\r\nTimeDisp=0\r\nWarekiDisp=0\r\nMulti=0\r\n"
        "Smooth=1\r\nSave=1\r\nVoiceType=1\r\nKsOrder=0\r\nSpeed=3\r\nTumeTesu=11\r\n"
        "LastKifMode=1\r\nLastKifFile=\"\"\r\nRecent1=\"\"\r\nRecent2=\"\"\r\nRecent3=\"\"\r\n"
        "Recent4=\"\"\r\nRecent5=\"\"\r\nRecent6=\"\"\r\nRecent7=\"\"\r\nRecent8=\"\"\r\n"
        "Recent9=\"\"\r\nRecent10=\"\"\r\nDatPath=\"\"\r\nLastKkmFile=\"\"\r\nLastKkmPage=1\r\n"
        "DateUp=1\r\n\r\n";
    const std::string form =
        "[Form]\r\nLeft=2\r\nTop=2\r\nComLeft=12\r\nComTop=34\r\nComment=0\r\nDateType=1\r\n"
        "WinType=1\r\nWebLeft=20\r\nWebTop=24\r\nWebWidth=0\r\nWebHeight=0\r\nColor=1\r\n"
        "KsTopRow1=0\r\nKsTopRow2=0\r\nKsTopRow3=0\r\nKsTopRow4=0\r\n\r\n";
    const std::string btimap =
        "[Btimap]\r\nSize=1\r\nTitleNo=1\r\nTitleNo2=1\r\nTNameNo=1\r\nBmpZoom=1\r\nMtKoma=1\r\n"
        "MKDisp=1\r\nColor=2\r\nKmGaiji=0\r\nTitle1=\"【図は%n手目%sまで】\"\r\n"
        "Title2=\"【第%i図は%sまで】\"\r\nTitle3=\"【%i図】\"\r\nTitle4=\"%d\"\r\n"
        "Title5=\"【%i図】\"\r\nTitle6=\"\"\r\nTNameS=\"\"\r\nTNameG=\"\"\r\n"
        "MNameS=\"▲持駒\"\r\nMNameG=\"△残りの駒全部\"\r\n\r\n"
        "[Bitmap]\r\nMKChar=\r\n\r\n"_sj;
    const std::string kensaku =
        "[Kensaku]\r\nKsMode=1\r\nSente=0\r\nGote=0\r\nMovra=0\r\nMovra2=0\r\nSenkei=0\r\n"
        "Shohai=0\r\nTeai=0\r\nToYY=0\r\nToMM=0\r\nFromYY=1900\r\nFromMM=1\r\n\r\n[Kensaku2]\r\n"
        "Kishi1_01=\"\"\r\n";
    EXPECT_EQ(text.substr(0, shogi.size() + form.size() + btimap.size()), shogi + form + btimap);
    const std::size_t k = text.find("[Kensaku]");
    ASSERT_NE(k, std::string::npos);
    EXPECT_EQ(text.substr(k, kensaku.size()), kensaku);
    EXPECT_NE(text.find("Bikou_10=\"\"\r\nRating1=0\r\nRating2=0\r\nRating1F=\r\nRating1T=\r\n"
                        "Rating2F=\r\nRating2T=\r\n"),
              std::string::npos);
    // Keys that are not written at exit stay out of a fresh file.
    for (const char* absent : {"SubFldr", "Kakinoki", "[FTP]", "Editor", "KifTime", "html01"}) {
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    }
}

TEST_F(SettingsFileTest, WrittenAtExitAndReadBack) {
    Settings s = LoadSettings(home_, screen_);
    s.shogi.Koma = "KOMA2E.BMP";
    s.shogi.Speed = 12;
    s.shogi.TumeTesu = 15;
    s.shogi.TimeDisp = true;
    s.shogi.Smooth = false;
    s.shogi.LastKifFile = "/data/棋譜 集/a.idx"_sj;
    s.shogi.Recent[0] = "/data/棋譜 集/a.idx"_sj;
    s.shogi.Recent[9] = "/x/last one.ipx";
    s.form.Left = 300;
    s.form.Color = 0;
    s.form.KsTopRow[3] = 17;
    s.btimap.Title1 = "【図は%n手目まで】"_sj;
    s.btimap.MKChar = "ナシ"_sj;
    s.btimap.KmGaiji = true;
    s.kensaku.FromYY = 1975;
    s.kensaku2.Bikou[9] = "名人戦 第1局"_sj;
    s.kensaku2.Rating2T = "1800";
    ASSERT_TRUE(SaveSettings(home_, s));

    const Settings r = LoadSettings(home_, screen_);
    EXPECT_EQ(r.shogi.Koma, "KOMA2E.BMP");
    EXPECT_EQ(r.shogi.Speed, 12);
    EXPECT_EQ(r.shogi.TumeTesu, 15);
    EXPECT_TRUE(r.shogi.TimeDisp);
    EXPECT_FALSE(r.shogi.Smooth);
    EXPECT_EQ(r.shogi.LastKifFile, s.shogi.LastKifFile);
    EXPECT_EQ(r.shogi.Recent[0], s.shogi.Recent[0]);
    EXPECT_EQ(r.shogi.Recent[9], "/x/last one.ipx");
    EXPECT_EQ(r.form.Left, 300);
    EXPECT_EQ(r.form.Color, 0);
    EXPECT_EQ(r.form.KsTopRow[3], 17);
    EXPECT_EQ(r.btimap.Title1, s.btimap.Title1);
    EXPECT_EQ(r.btimap.MKChar, "ナシ"_sj);
    EXPECT_TRUE(r.btimap.KmGaiji);
    EXPECT_EQ(r.kensaku.FromYY, 1975);
    EXPECT_EQ(r.kensaku2.Bikou[9], s.kensaku2.Bikou[9]);
    EXPECT_EQ(r.kensaku2.Rating2T, "1800");

    // Keys of other dialogs that the file already held survive the rewrite.
    ASSERT_TRUE(UpdateProfileFile(SettingsFilePath(home_).string(),
                                  [](IniFile& ini) { ini.WriteString("FTP", "Func", "1"); }));
    ASSERT_TRUE(SaveSettings(home_, r));
    EXPECT_TRUE(LoadSettings(home_, screen_).ftp.Func);
}

TEST_F(SettingsFileTest, AFileWithEveryKeyIsReadAndWrittenBackByteForByte) {
    // Every key the program writes, none at its default, in the order it writes them.
    const auto numbered = [](const std::string& stem, int count, bool twoDigits, bool quoted) {
        std::string lines;
        for (int i = 1; i <= count; ++i) {
            const std::string n = (twoDigits && i < 10 ? "0" : "") + std::to_string(i);
            const std::string value = stem + "v" + n;
            lines += stem + n + "=" + (quoted ? "\"" + value + "\"" : value) + "\r\n";
        }
        return lines;
    };
    std::string written =
        "[Shogi]\r\nDrive=E\r\nKoma=KOMA2E.BMP\r\nOnsei=0\r\nSarnovi=0\r\nYomiage=0\r\n"
        "YomiWait=0\r\nAutoCom=0\r\nComWait=1\r\nTimeDisp=1\r\nWarekiDisp=1\r\nMulti=1\r\n"
        "Smooth=0\r\nSave=0\r\nVoiceType=2\r\nKsOrder=1\r\nSpeed=12\r\nTumeTesu=15\r\n"
        "LastKifMode=2\r\nLastKifFile=\"/data/棋譜 集/a.ipx\"\r\n"_sj;
    written += numbered("Recent", 10, false, true);
    written +=
        "DatPath=\"/dat\"\r\nLastKkmFile=\"/k/a.kkm\"\r\nLastKkmPage=4\r\nDateUp=0\r\n\r\n"
        "[Form]\r\nLeft=300\r\nTop=200\r\nComLeft=320\r\nComTop=250\r\nComment=1\r\n"
        "DateType=0\r\nWinType=0\r\nWebLeft=21\r\nWebTop=25\r\nWebWidth=640\r\nWebHeight=480\r\n"
        "Color=0\r\nKsTopRow1=1\r\nKsTopRow2=2\r\nKsTopRow3=3\r\nKsTopRow4=4\r\n\r\n"
        "[Btimap]\r\nSize=2\r\nTitleNo=2\r\nTitleNo2=3\r\nTNameNo=2\r\nBmpZoom=2\r\n"
        "MtKoma=0\r\nMKDisp=0\r\nColor=1\r\nKmGaiji=1\r\nTitle1=\"【%n手目】\"\r\nTitle2=\"t2\"\r\n"
        "Title3=\"t3\"\r\nTitle4=\"t4\"\r\nTitle5=\"t5\"\r\nTitle6=\"t6\"\r\nTNameS=\"先\"\r\n"
        "TNameG=\"後\"\r\nMNameS=\"▲\"\r\nMNameG=\"△\"\r\n\r\n[Bitmap]\r\nMKChar=ナシ\r\n\r\n"
        "[Kensaku]\r\nKsMode=2\r\nSente=1\r\nGote=2\r\nMovra=3\r\nMovra2=4\r\nSenkei=5\r\n"
        "Shohai=6\r\nTeai=7\r\nToYY=2024\r\nToMM=12\r\nFromYY=1975\r\nFromMM=2\r\n\r\n"
        "[Kensaku2]\r\n"_sj;
    for (const char* stem : {"Kishi1_", "Kishi2_", "Movra_", "Place_", "Kiroku_", "Bikou_"}) {
        written += numbered(stem, 10, true, true);
    }
    // The rating switches are written off: reading switches them off.
    written += "Rating1=0\r\nRating2=0\r\nRating1F=1500\r\nRating1T=1800\r\nRating2F=1600\r\n"
               "Rating2T=1900\r\n";
    // The keys of other dialogs, which the program reads and never writes.
    std::string others =
        "\r\n[Import]\r\nSubFldr=1\r\n\r\n[Export]\r\nKakinoki=1\r\n\r\n[FTP]\r\nFunc=1\r\n"
        "UseTime=1\r\nAuto=1\r\n\r\n[Tool]\r\nEditor=\"/usr/bin/ed\"\r\n\r\n[i_mode01]\r\n";
    others += numbered("html", 5, true, false);
    others += "\r\n[HTML]\r\n";
    for (const char* stem : {"source", "OutPath", "i_html", "i_Path"}) {
        others += numbered(stem, 3, true, false);
    }
    others +=
        "i_BmpPath01=b1\r\ni_BmpPath02=b2\r\nGixConv=gix\r\ni_BmpSize02=2\r\n"
        "KifTime=09:00:00,12:00:00,40,17:00:00,40\r\n\r\n[JAVA]\r\nsource=js\r\nOutPath=jo\r\n"
        "OutPathAp=ja\r\nOutPathE=je\r\n";
    WriteBytes(home_ / "MOVRAWIN.INI", written + others);

    const Settings s = LoadSettings(home_, screen_);
    EXPECT_EQ(s.shogi.Drive, "E");
    EXPECT_FALSE(s.shogi.Onsei);
    EXPECT_EQ(s.shogi.Speed, 12);
    EXPECT_EQ(s.shogi.LastKifFile, "/data/棋譜 集/a.ipx"_sj);
    EXPECT_EQ(s.shogi.Recent[9], "Recentv10");
    EXPECT_EQ(s.form.ComTop, 250);
    EXPECT_EQ(s.form.KsTopRow[3], 4);
    EXPECT_TRUE(s.btimap.KmGaiji);
    EXPECT_EQ(s.btimap.MKChar, "ナシ"_sj);
    EXPECT_EQ(s.kensaku.Teai, 7);
    EXPECT_EQ(s.kensaku2.Bikou[0], "Bikou_v01");
    EXPECT_EQ(s.kensaku2.Rating2T, "1900");
    EXPECT_TRUE(s.import.SubFldr);
    EXPECT_TRUE(s.exportMenu.Kakinoki);
    EXPECT_TRUE(s.ftp.Auto);
    EXPECT_EQ(s.tool.Editor, "/usr/bin/ed");
    EXPECT_EQ(s.iMode01.html[4], "htmlv05");
    EXPECT_EQ(s.html.i_Path[2], "i_Pathv03");
    EXPECT_EQ(s.html.i_BmpSize02, 2);
    EXPECT_EQ(s.html.KifTime, "09:00:00,12:00:00,40,17:00:00,40");
    EXPECT_EQ(s.java.OutPathE, "je");

    // Written over itself the file stays the same, byte for byte; into a fresh folder only the
    // program's own keys are written, in the same bytes.
    ASSERT_TRUE(SaveSettings(home_, s));
    EXPECT_EQ(ReadBytes(home_ / "MOVRAWIN.INI"), written + others);
    const fs::path fresh = home_ / "fresh";
    fs::create_directories(fresh);
    ASSERT_TRUE(SaveSettings(fresh, s));
    EXPECT_EQ(ReadBytes(fresh / "MOVRAWIN.INI"), written);
}

TEST_F(SettingsFileTest, BrokenFileGivesDefaultsWhereItIsBroken) {
    WriteBytes(home_ / "movrawin.ini",  // found whatever its case
               "\xFF\xFE garbage\r\n[Shogi\r\nSpeed=fast\r\nTumeTesu=10\r\n"
               "Koma=koma2.bmp\r\n\x00\x01\x02=3\r\n[Form]\r\nLeft=1000\r\n"
               "Top=-5\r\nComLeft\r\n[Kensaku2]\r\nRating1=1\r\nKishi1_01=\""s);
    const Settings s = LoadSettings(home_, screen_);
    // "[Shogi" without its bracket still names the section.
    EXPECT_EQ(s.shogi.Speed, 3);
    EXPECT_EQ(s.shogi.TumeTesu, 11);
    EXPECT_EQ(s.shogi.Koma, "KOMA1S.BMP");
    EXPECT_EQ(s.form.Left, 1024 - 250);
    EXPECT_EQ(s.form.Top, -5);
    EXPECT_EQ(s.form.ComLeft, 784);  // present without a value: the default, left + 10
    EXPECT_EQ(s.form.ComTop, 27);
    EXPECT_FALSE(s.kensaku2.Rating1);       // always switched off after reading
    EXPECT_EQ(s.kensaku2.Kishi1[0], "\"");  // a lone quote is kept
    EXPECT_TRUE(SaveSettings(home_, s));
    EXPECT_EQ(LoadSettings(home_, screen_).shogi.Koma, "KOMA1S.BMP");
}

TEST_F(SettingsFileTest, ASettingsFileThatIsAFolderGivesDefaultsAndIsLeftAlone) {
    fs::create_directory(home_ / "MOVRAWIN.INI");
    std::string problem;
    const Settings s = LoadSettings(home_, screen_, &problem);
    EXPECT_EQ(s.shogi.Speed, Settings{}.shogi.Speed);
    EXPECT_NE(problem.find("MOVRAWIN.INI"), std::string::npos);
    EXPECT_NE(problem.find("既定の設定"_sj), std::string::npos);
    EXPECT_FALSE(SaveSettings(home_, s));
    EXPECT_FALSE(SaveDisplaySwitches(home_, s));
    EXPECT_TRUE(fs::is_directory(home_ / "MOVRAWIN.INI"));
    fs::remove(home_ / "MOVRAWIN.INI");
    LoadSettings(home_, screen_, &problem);
    EXPECT_TRUE(problem.empty());  // simply missing: nothing to say
}

TEST(SettingsRead, CorrectionsOnReading) {
    IniFile ini;
    ini.Parse("[Shogi]\nKoma=Koma1.bmp\nTumeTesu=13\nSpeed=0\n[Form]\nLeft=994\nTop=727\n");
    Settings s;
    s.Read(ini, {1024, 768});
    EXPECT_EQ(s.shogi.Koma, "KOMA1L.BMP");
    EXPECT_EQ(s.shogi.TumeTesu, 13);
    EXPECT_EQ(s.shogi.Speed, 1);
    EXPECT_EQ(s.form.Left, 774);  // width - 30 becomes width - 250
    EXPECT_EQ(s.form.Top, 727);   // 41 pixels from the edge stays
    // The comment window's default follows the corrected window position.
    EXPECT_EQ(s.form.ComLeft, 784);
    EXPECT_EQ(s.form.ComTop, 518);  // 727 + 32 lies within 40 pixels of the bottom

    Settings small;
    small.Read(IniFile{}, {640, 480});
    EXPECT_EQ(small.shogi.Koma, "KOMA1S.BMP");
    Settings large;
    large.Read(IniFile{}, {800, 600});
    EXPECT_EQ(large.shogi.Koma, "KOMA1L.BMP");
    EXPECT_EQ(ModernPieceFile("KOMA2.BMP"), "KOMA1S.BMP");
    EXPECT_EQ(ModernPieceFile("koma3.bmp"), "koma3.bmp");
}

TEST(SettingsRead, TumeTesuAcceptsOnlyOddDepthsFromNineToFifteen) {
    for (int depth = 7; depth <= 17; ++depth) {
        IniFile ini;
        ini.WriteInteger("Shogi", "TumeTesu", depth);
        Settings s;
        s.Read(ini, {});
        const bool accepted = depth == 9 || depth == 11 || depth == 13 || depth == 15;
        EXPECT_EQ(s.shogi.TumeTesu, accepted ? depth : 11) << depth;
    }
}

TEST(SettingsRead, ReplayIntervalsOfTheTwelveSteps) {
    const int expected[12] = {300, 600, 900, 1200, 1500, 1800, 5000, 10000, 15000, 20000, 30000,
                              40000};
    for (int step = 1; step <= 12; ++step) {
        EXPECT_EQ(ReplayInterval(step, false), expected[step - 1]) << step;
        EXPECT_EQ(ReplayInterval(step, true), expected[step - 1] / 2) << step;
    }
    EXPECT_EQ(ReplayInterval(0, false), 300);
    EXPECT_EQ(ReplayInterval(13, false), 40000);
}

TEST(SettingsRead, KifTimeFieldsByCharacterPosition) {
    Settings s;
    EXPECT_EQ(s.KifTimeFields(),
              (std::array<std::string, 5>{"10:00:00", "12:10:00", "50", "18:10:00", "50"}));
    s.html.KifTime = "09:30:00,12:00:00";
    EXPECT_EQ(s.KifTimeFields(), (std::array<std::string, 5>{"09:30:00", "12:00:00", "", "", ""}));
}

TEST_F(SettingsFileTest, LastKifFileIsWrittenWithIpxWhenThatFileExists) {
    fs::create_directories(home_ / "Kifu");
    WriteBytes(home_ / "Kifu" / "Sample.IPX", "x");
    EXPECT_EQ(LastKifFileForWriting("Kifu\\sample.IDX", home_), "Kifu\\sample.ipx");
    EXPECT_EQ(LastKifFileForWriting("Kifu\\other.idx", home_), "Kifu\\other.idx");
    EXPECT_EQ(LastKifFileForWriting("Kifu\\sample.kif", home_), "Kifu\\sample.kif");
    Settings s;
    s.shogi.LastKifFile = "Kifu\\sample.IDX";
    ASSERT_TRUE(SaveSettings(home_, s));
    EXPECT_EQ(LoadSettings(home_, screen_).shogi.LastKifFile, "Kifu\\sample.ipx");
}

TEST_F(SettingsFileTest, DisplaySwitchesAreWrittenAloneAtOnce) {
    WriteBytes(home_ / "MOVRAWIN.INI", "[Shogi]\r\nSpeed=7\r\n");
    Settings s;
    s.shogi.TimeDisp = true;
    s.shogi.Multi = true;
    s.shogi.Speed = 2;  // not written by the dialog
    ASSERT_TRUE(SaveDisplaySwitches(home_, s));
    EXPECT_EQ(ReadBytes(home_ / "MOVRAWIN.INI"),
              "[Shogi]\r\nSpeed=7\r\nTimeDisp=1\r\nWarekiDisp=0\r\nMulti=1\r\n");
}

}  // namespace
}  // namespace movra
