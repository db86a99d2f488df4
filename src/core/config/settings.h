#pragma once
// Every setting of "MOVRAWIN.INI": read at start-up with its default when a key is missing, and
// written back at exit (the keys so marked) when [Shogi] Save is on. Field names are the key
// names; each section is a struct of its own because some key names occur in two sections.
//
// Texts are CP932. Booleans are written as 1/0; paths and free texts that may hold blanks are
// written in double quotes, which the profile reader strips again.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/config/ini_file.h"

namespace movra {

inline constexpr char kSettingsFileName[] = "MOVRAWIN.INI";
inline constexpr int kRecentCount = 10;
inline constexpr int kSearchListCount = 10;
// The replay speed steps 1 .. kSpeedSteps.
inline constexpr int kSpeedSteps = 12;
// The comment window opens this far right of and below the main window's corner by default.
inline constexpr int kCommentWindowRight = 10;
inline constexpr int kCommentWindowDown = 32;

// The screen the main window opens on: the piece set's default and the window position rules
// depend on it.
struct ScreenSize {
    int width = 1024;
    int height = 768;
};

struct Settings {
    struct Shogi {
        std::string Drive = "D";
        std::string Koma;  // by screen; see Read
        bool Onsei = true;
        bool Sarnovi = true;
        bool Yomiage = true;
        bool YomiWait = true;
        bool AutoCom = true;
        bool ComWait = false;
        bool TimeDisp = false;
        bool WarekiDisp = false;
        bool Multi = false;
        bool Smooth = true;
        bool Save = true;
        int VoiceType = 1;
        int KsOrder = 0;
        int Speed = 3;
        int TumeTesu = 11;
        int LastKifMode = 1;
        std::string LastKifFile;
        std::array<std::string, kRecentCount> Recent{};  // Recent1 .. Recent10
        std::string DatPath;
        std::string LastKkmFile;
        int LastKkmPage = 1;
        bool DateUp = true;
    } shogi;

    struct Form {
        int Left = 2;
        int Top = 2;
        int ComLeft = Left + kCommentWindowRight;
        int ComTop = Top + kCommentWindowDown;
        bool Comment = false;
        bool DateType = true;
        bool WinType = true;
        int WebLeft = 20;
        int WebTop = 24;
        int WebWidth = 0;
        int WebHeight = 0;
        int Color = 1;
        std::array<int, 4> KsTopRow{};  // KsTopRow1 .. KsTopRow4
    } form;

    struct Import {
        bool SubFldr = false;
    } import;
    struct Export {
        bool Kakinoki = false;
    } exportMenu;
    struct Ftp {
        bool Func = false;
        bool UseTime = false;
        bool Auto = false;
    } ftp;
    struct Tool {
        std::string Editor;
    } tool;

    // [Btimap], [Bitmap] and [BtiMap]: the section names are the system's own. Btimap and BtiMap
    // are one section to the profile reader; Bitmap is another.
    struct Btimap {
        int Size = 1;
        int TitleNo = 1;
        int TitleNo2 = 1;
        int TNameNo = 1;
        int BmpZoom = 1;
        int MtKoma = 1;
        int MKDisp = 1;
        int Color = 2;
        std::string MKChar;     // [Bitmap]
        bool KmGaiji = false;   // [BtiMap]
        std::string Title1;
        std::string Title2;
        std::string Title3;
        std::string Title4;
        std::string Title5;
        std::string Title6;
        std::string TNameS;
        std::string TNameG;
        std::string MNameS;
        std::string MNameG;
        Btimap();
    } btimap;

    struct IMode01 {
        std::array<std::string, 5> html{};  // html01 .. html05
    } iMode01;
    struct Html {
        std::array<std::string, 3> source{};   // source01 ..
        std::array<std::string, 3> OutPath{};  // OutPath01 ..
        std::array<std::string, 3> i_html{};
        std::array<std::string, 3> i_Path{};
        std::string i_BmpPath01;
        std::string i_BmpPath02;
        std::string GixConv;
        int i_BmpSize02 = 0;
        std::string KifTime = "10:00:00,12:10:00,50,18:10:00,50";
    } html;
    struct Java {
        std::string source;
        std::string OutPath;
        std::string OutPathAp;
        std::string OutPathE;
    } java;

    struct Kensaku {
        int KsMode = 1;
        int Sente = 0;
        int Gote = 0;
        int Movra = 0;
        int Movra2 = 0;
        int Senkei = 0;
        int Shohai = 0;
        int Teai = 0;
        int ToYY = 0;
        int ToMM = 0;
        int FromYY = 1900;
        int FromMM = 1;
    } kensaku;
    struct Kensaku2 {
        std::array<std::string, kSearchListCount> Kishi1{};  // Kishi1_01 .. Kishi1_10
        std::array<std::string, kSearchListCount> Kishi2{};
        std::array<std::string, kSearchListCount> Movra{};
        std::array<std::string, kSearchListCount> Place{};
        std::array<std::string, kSearchListCount> Kiroku{};
        std::array<std::string, kSearchListCount> Bikou{};
        bool Rating1 = false;
        bool Rating2 = false;
        std::string Rating1F;
        std::string Rating1T;
        std::string Rating2F;
        std::string Rating2T;
    } kensaku2;

    // Reads every key, in the order of the table of settings, with the corrections the program
    // makes on reading (old piece-file names, the mate-search depth, window positions near the
    // screen edge, the rating switches).
    void Read(const IniFile& ini, const ScreenSize& screen);
    // Writes the keys that are written at exit, in table order, into `ini` (other keys and
    // lines of the file stay). `lastKifFileToWrite` replaces LastKifFile (see
    // LastKifFileForWriting).
    void WriteAtExit(IniFile& ini, std::string_view lastKifFileToWrite) const;

    // The five live-timing fields of [HTML] KifTime (characters 1-8, 10-17, 19-20, 22-29,
    // 31-32; shorter texts give shorter or empty fields).
    std::array<std::string, 5> KifTimeFields() const;
};

// The piece file of a fresh start: "KOMA1S.BMP" on a screen less than 600 pixels high,
// otherwise "KOMA1L.BMP".
std::string DefaultPieceFile(const ScreenSize& screen);
// The old names "KOMA1.BMP" and "KOMA2.BMP" (any case) become "KOMA1L.BMP" and "KOMA1S.BMP".
std::string ModernPieceFile(std::string_view koma);
// The replay interval in milliseconds of a speed step 1-12 (steps outside are clamped):
// 300 ms × step for 1-6, 5 s × (step - 6) for 7-9, 10 s × (step - 8) for 10-12. The fast replay
// takes half of it.
int ReplayInterval(int speedStep, bool fast);
// A window coordinate within 40 pixels of the far screen edge becomes that edge - 250.
int KeepOnScreen(int coordinate, int screenExtent);
// LastKifFile as written at exit: an ".IDX" path becomes ".ipx" when that file exists in the
// program folder's file system (looked up without regard to case).
std::string LastKifFileForWriting(std::string_view lastKifFile,
                                  const std::filesystem::path& programFolder);

// The settings file of a program folder: read it (a missing or broken file gives defaults) and
// write it back at exit, keeping every key the program does not write. A settings file that is
// there but cannot be used (a folder, a pipe, a huge file) gives defaults too, and `problem`
// then says so for the user (CP932; empty otherwise).
Settings LoadSettings(const std::filesystem::path& programFolder, const ScreenSize& screen,
                      std::string* problem = nullptr);
bool SaveSettings(const std::filesystem::path& programFolder, const Settings& settings);
// [Shogi] keys the settings dialog writes at once: TimeDisp, WarekiDisp, Multi.
bool SaveDisplaySwitches(const std::filesystem::path& programFolder, const Settings& settings);
// The path of the settings file in a program folder (its spelling on disk when it exists).
std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder);

}  // namespace movra
