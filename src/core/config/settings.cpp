#include "core/config/settings.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <system_error>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace fs = std::filesystem;
using namespace movra::literals;

namespace {

constexpr std::string_view kShogi = "Shogi";
constexpr std::string_view kForm = "Form";
constexpr std::string_view kBtimap = "Btimap";
constexpr std::string_view kBitmap = "Bitmap";
constexpr std::string_view kBtiMap = "BtiMap";
constexpr std::string_view kKensaku = "Kensaku";
constexpr std::string_view kKensaku2 = "Kensaku2";

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string Numbered(std::string_view stem, int number, int width) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return std::string(stem) + digits;
}

// The detailed-search lists in file order: name stem and the list it fills.
template <typename Lists>
auto SearchLists(Lists& k) {
    return std::array{std::pair{std::string_view("Kishi1_"), &k.Kishi1},
                      std::pair{std::string_view("Kishi2_"), &k.Kishi2},
                      std::pair{std::string_view("Movra_"), &k.Movra},
                      std::pair{std::string_view("Place_"), &k.Place},
                      std::pair{std::string_view("Kiroku_"), &k.Kiroku},
                      std::pair{std::string_view("Bikou_"), &k.Bikou}};
}

}  // namespace

Settings::Btimap::Btimap()
    : Title1("【図は%n手目%sまで】"_sj),
      Title2("【第%i図は%sまで】"_sj),
      Title3("【%i図】"_sj),
      Title4("%d"),
      Title5("【%i図】"_sj),
      MNameS("▲持駒"_sj),
      MNameG("△残りの駒全部"_sj) {}

std::string DefaultPieceFile(const ScreenSize& screen) {
    return screen.height < 600 ? "KOMA1S.BMP" : "KOMA1L.BMP";
}

std::string ModernPieceFile(std::string_view koma) {
    const std::string upper = UpperCaseAscii(koma);
    if (upper == "KOMA1.BMP") return "KOMA1L.BMP";
    if (upper == "KOMA2.BMP") return "KOMA1S.BMP";
    return std::string(koma);
}

int ReplayInterval(int speedStep, bool fast) {
    const int step = std::clamp(speedStep, 1, kSpeedSteps);
    int ms = 0;
    if (step <= 6) {
        ms = 300 * step;
    } else if (step <= 9) {
        ms = (step - 6) * 5000;
    } else {
        ms = (step - 8) * 10000;
    }
    return fast ? ms / 2 : ms;
}

int KeepOnScreen(int coordinate, int screenExtent) {
    constexpr int kNearEdge = 40;     // pixels from the far edge that count as off the screen
    constexpr int kPulledBack = 250;  // how far from that edge such a window is put instead
    return coordinate >= screenExtent - kNearEdge ? screenExtent - kPulledBack : coordinate;
}

namespace {

// How a key is written at exit: not at all, as it is, or in double quotes.
enum class Written { No, Plain, Quoted };
// A correction made right after a key is read.
using Correction = void (*)(Settings&, const ScreenSize&);

void CorrectKoma(Settings& s, const ScreenSize& screen) {
    s.shogi.Koma = ModernPieceFile(s.shogi.Koma);
    if (s.shogi.Koma.empty()) s.shogi.Koma = DefaultPieceFile(screen);
}
// A step outside the steps would give no interval at all; the nearest step is used.
void CorrectSpeed(Settings& s, const ScreenSize&) {
    s.shogi.Speed = std::clamp(s.shogi.Speed, 1, kSpeedSteps);
}
// The mate-search depth is one of the depths its menu offers.
void CorrectTumeTesu(Settings& s, const ScreenSize&) {
    constexpr int kOfferedDepths[] = {9, 11, 13, 15};
    if (std::find(std::begin(kOfferedDepths), std::end(kOfferedDepths), s.shogi.TumeTesu) ==
        std::end(kOfferedDepths)) {
        s.shogi.TumeTesu = Settings::Shogi().TumeTesu;
    }
}
// The window is kept on the screen, and the comment window's default position follows it.
void CorrectLeft(Settings& s, const ScreenSize& screen) {
    s.form.Left = KeepOnScreen(s.form.Left, screen.width);
    s.form.ComLeft = s.form.Left + kCommentWindowRight;
}
void CorrectTop(Settings& s, const ScreenSize& screen) {
    s.form.Top = KeepOnScreen(s.form.Top, screen.height);
    s.form.ComTop = s.form.Top + kCommentWindowDown;
}
void CorrectComLeft(Settings& s, const ScreenSize& screen) {
    s.form.ComLeft = KeepOnScreen(s.form.ComLeft, screen.width);
}
void CorrectComTop(Settings& s, const ScreenSize& screen) {
    s.form.ComTop = KeepOnScreen(s.form.ComTop, screen.height);
}

// Every key of the settings file in file order: its section, its name, the member it fills,
// whether and how it is written at exit, and the correction made on reading it. A key's default
// is its member's initial value (see Read). Reading and writing both walk this list, calling
// key(section, name, member, written, correction).
template <typename Key>
void EachKey(Settings& settings, Key&& key) {
    using enum Written;
    const auto row = [&](std::string_view section, std::string_view name, auto& member,
                         Written written, Correction correction = nullptr) {
        key(section, name, member, written, correction);
    };
    Settings::Shogi& s = settings.shogi;
    row(kShogi, "Drive", s.Drive, Plain);
    row(kShogi, "Koma", s.Koma, Plain, CorrectKoma);
    row(kShogi, "Onsei", s.Onsei, Plain);
    row(kShogi, "Sarnovi", s.Sarnovi, Plain);
    row(kShogi, "Yomiage", s.Yomiage, Plain);
    row(kShogi, "YomiWait", s.YomiWait, Plain);
    row(kShogi, "AutoCom", s.AutoCom, Plain);
    row(kShogi, "ComWait", s.ComWait, Plain);
    row(kShogi, "TimeDisp", s.TimeDisp, Plain);
    row(kShogi, "WarekiDisp", s.WarekiDisp, Plain);
    row(kShogi, "Multi", s.Multi, Plain);
    row(kShogi, "Smooth", s.Smooth, Plain);
    row(kShogi, "Save", s.Save, Plain);
    row(kShogi, "VoiceType", s.VoiceType, Plain);
    row(kShogi, "KsOrder", s.KsOrder, Plain);
    row(kShogi, "Speed", s.Speed, Plain, CorrectSpeed);
    row(kShogi, "TumeTesu", s.TumeTesu, Plain, CorrectTumeTesu);
    row(kShogi, "LastKifMode", s.LastKifMode, Plain);
    row(kShogi, "LastKifFile", s.LastKifFile, Quoted);
    for (int i = 0; i < kRecentCount; ++i) {
        row(kShogi, Numbered("Recent", i + 1, 1), s.Recent[i], Quoted);
    }
    row(kShogi, "DatPath", s.DatPath, Quoted);
    row(kShogi, "LastKkmFile", s.LastKkmFile, Quoted);
    row(kShogi, "LastKkmPage", s.LastKkmPage, Plain);
    row(kShogi, "DateUp", s.DateUp, Plain);

    Settings::Form& f = settings.form;
    row(kForm, "Left", f.Left, Plain, CorrectLeft);
    row(kForm, "Top", f.Top, Plain, CorrectTop);
    row(kForm, "ComLeft", f.ComLeft, Plain, CorrectComLeft);
    row(kForm, "ComTop", f.ComTop, Plain, CorrectComTop);
    row(kForm, "Comment", f.Comment, Plain);
    row(kForm, "DateType", f.DateType, Plain);
    row(kForm, "WinType", f.WinType, Plain);
    row(kForm, "WebLeft", f.WebLeft, Plain);
    row(kForm, "WebTop", f.WebTop, Plain);
    row(kForm, "WebWidth", f.WebWidth, Plain);
    row(kForm, "WebHeight", f.WebHeight, Plain);
    row(kForm, "Color", f.Color, Plain);
    for (int i = 0; i < 4; ++i) row(kForm, Numbered("KsTopRow", i + 1, 1), f.KsTopRow[i], Plain);

    row("Import", "SubFldr", settings.import.SubFldr, No);
    row("Export", "Kakinoki", settings.exportMenu.Kakinoki, No);
    row("FTP", "Func", settings.ftp.Func, No);
    row("FTP", "UseTime", settings.ftp.UseTime, No);
    row("FTP", "Auto", settings.ftp.Auto, No);
    row("Tool", "Editor", settings.tool.Editor, No);

    Settings::Btimap& b = settings.btimap;
    row(kBtimap, "Size", b.Size, Plain);
    row(kBtimap, "TitleNo", b.TitleNo, Plain);
    row(kBtimap, "TitleNo2", b.TitleNo2, Plain);
    row(kBtimap, "TNameNo", b.TNameNo, Plain);
    row(kBtimap, "BmpZoom", b.BmpZoom, Plain);
    row(kBtimap, "MtKoma", b.MtKoma, Plain);
    row(kBtimap, "MKDisp", b.MKDisp, Plain);
    row(kBtimap, "Color", b.Color, Plain);
    row(kBitmap, "MKChar", b.MKChar, Plain);
    row(kBtiMap, "KmGaiji", b.KmGaiji, Plain);
    row(kBtimap, "Title1", b.Title1, Quoted);
    row(kBtimap, "Title2", b.Title2, Quoted);
    row(kBtimap, "Title3", b.Title3, Quoted);
    row(kBtimap, "Title4", b.Title4, Quoted);
    row(kBtimap, "Title5", b.Title5, Quoted);
    row(kBtimap, "Title6", b.Title6, Quoted);
    row(kBtimap, "TNameS", b.TNameS, Quoted);
    row(kBtimap, "TNameG", b.TNameG, Quoted);
    row(kBtimap, "MNameS", b.MNameS, Quoted);
    row(kBtimap, "MNameG", b.MNameG, Quoted);

    for (int i = 0; i < 5; ++i) {
        row("i_mode01", Numbered("html", i + 1, 2), settings.iMode01.html[i], No);
    }
    Settings::Html& h = settings.html;
    for (int i = 0; i < 3; ++i) row("HTML", Numbered("source", i + 1, 2), h.source[i], No);
    for (int i = 0; i < 3; ++i) row("HTML", Numbered("OutPath", i + 1, 2), h.OutPath[i], No);
    for (int i = 0; i < 3; ++i) row("HTML", Numbered("i_html", i + 1, 2), h.i_html[i], No);
    for (int i = 0; i < 3; ++i) row("HTML", Numbered("i_Path", i + 1, 2), h.i_Path[i], No);
    row("HTML", "i_BmpPath01", h.i_BmpPath01, No);
    row("HTML", "i_BmpPath02", h.i_BmpPath02, No);
    row("HTML", "GixConv", h.GixConv, No);
    row("HTML", "i_BmpSize02", h.i_BmpSize02, No);
    row("HTML", "KifTime", h.KifTime, No);
    row("JAVA", "source", settings.java.source, No);
    row("JAVA", "OutPath", settings.java.OutPath, No);
    row("JAVA", "OutPathAp", settings.java.OutPathAp, No);
    row("JAVA", "OutPathE", settings.java.OutPathE, No);

    Settings::Kensaku& k = settings.kensaku;
    row(kKensaku, "KsMode", k.KsMode, Plain);
    row(kKensaku, "Sente", k.Sente, Plain);
    row(kKensaku, "Gote", k.Gote, Plain);
    row(kKensaku, "Movra", k.Movra, Plain);
    row(kKensaku, "Movra2", k.Movra2, Plain);
    row(kKensaku, "Senkei", k.Senkei, Plain);
    row(kKensaku, "Shohai", k.Shohai, Plain);
    row(kKensaku, "Teai", k.Teai, Plain);
    row(kKensaku, "ToYY", k.ToYY, Plain);
    row(kKensaku, "ToMM", k.ToMM, Plain);
    row(kKensaku, "FromYY", k.FromYY, Plain);
    row(kKensaku, "FromMM", k.FromMM, Plain);

    Settings::Kensaku2& k2 = settings.kensaku2;
    for (auto [stem, list] : SearchLists(k2)) {
        for (int i = 0; i < kSearchListCount; ++i) {
            row(kKensaku2, Numbered(stem, i + 1, 2), (*list)[i], Quoted);
        }
    }
    row(kKensaku2, "Rating1", k2.Rating1, Plain);
    row(kKensaku2, "Rating2", k2.Rating2, Plain);
    row(kKensaku2, "Rating1F", k2.Rating1F, Plain);
    row(kKensaku2, "Rating1T", k2.Rating1T, Plain);
    row(kKensaku2, "Rating2F", k2.Rating2F, Plain);
    row(kKensaku2, "Rating2T", k2.Rating2T, Plain);
}

bool ReadValue(const IniFile& ini, std::string_view section, std::string_view key, bool current) {
    return ini.ReadBool(section, key, current);
}
int ReadValue(const IniFile& ini, std::string_view section, std::string_view key, int current) {
    return ini.ReadInteger(section, key, current);
}
std::string ReadValue(const IniFile& ini, std::string_view section, std::string_view key,
                      const std::string& current) {
    return ini.ReadString(section, key, current);
}

void WriteValue(IniFile& ini, std::string_view section, std::string_view key, bool value, Written) {
    ini.WriteBool(section, key, value);
}
void WriteValue(IniFile& ini, std::string_view section, std::string_view key, int value, Written) {
    ini.WriteInteger(section, key, value);
}
void WriteValue(IniFile& ini, std::string_view section, std::string_view key,
                const std::string& value, Written written) {
    ini.WriteString(section, key, written == Written::Quoted ? Quoted(value) : value);
}

}  // namespace

void Settings::Read(const IniFile& ini, const ScreenSize& screen) {
    // Each key's default is the value the member starts with.
    *this = Settings();
    shogi.Koma = DefaultPieceFile(screen);
    EachKey(*this, [&](std::string_view section, std::string_view key, auto& member, Written,
                       Correction correction) {
        member = ReadValue(ini, section, key, member);
        if (correction != nullptr) correction(*this, screen);
    });
    // The rating conditions are read, then always switched off for the rest of the run.
    kensaku2.Rating1 = false;
    kensaku2.Rating2 = false;
}

void Settings::WriteAtExit(IniFile& ini, std::string_view lastKifFileToWrite) const {
    Settings written = *this;
    written.shogi.LastKifFile = std::string(lastKifFileToWrite);
    EachKey(written, [&](std::string_view section, std::string_view key, const auto& member,
                         Written how, Correction) {
        if (how != Written::No) WriteValue(ini, section, key, member, how);
    });
}

std::array<std::string, 5> Settings::KifTimeFields() const {
    // 1-based first character and length of each field.
    constexpr std::array<std::pair<std::size_t, std::size_t>, 5> kFields{
        {{1, 8}, {10, 8}, {19, 2}, {22, 8}, {31, 2}}};
    std::array<std::string, 5> out;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::size_t start = kFields[i].first - 1;
        if (start < html.KifTime.size()) out[i] = html.KifTime.substr(start, kFields[i].second);
    }
    return out;
}

std::string LastKifFileForWriting(std::string_view lastKifFile, const fs::path& programFolder) {
    const std::string path(lastKifFile);
    if (path.size() < 4 || UpperCaseAscii(path.substr(path.size() - 4)) != ".IDX") return path;
    const std::string ipx = path.substr(0, path.size() - 4) + ".ipx";
    return FileExistsNoCase(programFolder, ipx) ? ipx : path;
}

fs::path SettingsFilePath(const fs::path& programFolder) {
    return ResolvePath(programFolder, kSettingsFileName);
}

Settings LoadSettings(const fs::path& programFolder, const ScreenSize& screen,
                      std::string* problem) {
    IniFile ini;
    FileReadStatus status = FileReadStatus::Ok;
    ini.Load(SettingsFilePath(programFolder).string(), &status);
    if (problem != nullptr) *problem = ProfileProblemText(kSettingsFileName, status);
    Settings settings;
    settings.Read(ini, screen);
    return settings;
}

bool SaveSettings(const fs::path& programFolder, const Settings& settings) {
    return UpdateProfileFile(SettingsFilePath(programFolder).string(), [&](IniFile& ini) {
        settings.WriteAtExit(ini, LastKifFileForWriting(settings.shogi.LastKifFile, programFolder));
    });
}

bool SaveDisplaySwitches(const fs::path& programFolder, const Settings& settings) {
    return UpdateProfileFile(SettingsFilePath(programFolder).string(), [&](IniFile& ini) {
        Settings written = settings;
        EachKey(written, [&](std::string_view section, std::string_view key, const auto& member,
                             Written how, Correction) {
            if (section == kShogi && (key == "TimeDisp" || key == "WarekiDisp" || key == "Multi")) {
                WriteValue(ini, section, key, member, how);
            }
        });
    });
}

}  // namespace movra
