#include "core/config/settings.h"

#include <algorithm>
#include <cstdio>
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
    const int step = std::clamp(speedStep, 1, 12);
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
    return coordinate >= screenExtent - 40 ? screenExtent - 250 : coordinate;
}

void Settings::Read(const IniFile& ini, const ScreenSize& screen) {
    auto str = [&](std::string_view section, std::string_view key, std::string_view def) {
        return ini.ReadString(section, key, def);
    };
    auto num = [&](std::string_view section, std::string_view key, int def) {
        return ini.ReadInteger(section, key, def);
    };
    auto flag = [&](std::string_view section, std::string_view key, bool def) {
        return ini.ReadBool(section, key, def);
    };
    const Settings defaults;

    Shogi& s = shogi;
    s.Drive = str(kShogi, "Drive", defaults.shogi.Drive);
    s.Koma = ModernPieceFile(str(kShogi, "Koma", DefaultPieceFile(screen)));
    if (s.Koma.empty()) s.Koma = DefaultPieceFile(screen);
    s.Onsei = flag(kShogi, "Onsei", true);
    s.Sarnovi = flag(kShogi, "Sarnovi", true);
    s.Yomiage = flag(kShogi, "Yomiage", true);
    s.YomiWait = flag(kShogi, "YomiWait", true);
    s.AutoCom = flag(kShogi, "AutoCom", true);
    s.ComWait = flag(kShogi, "ComWait", false);
    s.TimeDisp = flag(kShogi, "TimeDisp", false);
    s.WarekiDisp = flag(kShogi, "WarekiDisp", false);
    s.Multi = flag(kShogi, "Multi", false);
    s.Smooth = flag(kShogi, "Smooth", true);
    s.Save = flag(kShogi, "Save", true);
    s.VoiceType = num(kShogi, "VoiceType", 1);
    s.KsOrder = num(kShogi, "KsOrder", 0);
    // A step outside 1-12 would give no interval at all; the nearest step is used.
    s.Speed = std::clamp(num(kShogi, "Speed", 3), 1, 12);
    s.TumeTesu = num(kShogi, "TumeTesu", 11);
    if (s.TumeTesu != 9 && s.TumeTesu != 11 && s.TumeTesu != 13 && s.TumeTesu != 15) {
        s.TumeTesu = 11;
    }
    s.LastKifMode = num(kShogi, "LastKifMode", 1);
    s.LastKifFile = str(kShogi, "LastKifFile", "");
    for (int i = 0; i < kRecentCount; ++i) {
        s.Recent[i] = str(kShogi, Numbered("Recent", i + 1, 1), "");
    }
    s.DatPath = str(kShogi, "DatPath", "");
    s.LastKkmFile = str(kShogi, "LastKkmFile", "");
    s.LastKkmPage = num(kShogi, "LastKkmPage", 1);
    s.DateUp = flag(kShogi, "DateUp", true);

    Form& f = form;
    f.Left = KeepOnScreen(num(kForm, "Left", 2), screen.width);
    f.Top = KeepOnScreen(num(kForm, "Top", 2), screen.height);
    f.ComLeft = KeepOnScreen(num(kForm, "ComLeft", f.Left + 10), screen.width);
    f.ComTop = KeepOnScreen(num(kForm, "ComTop", f.Top + 32), screen.height);
    f.Comment = flag(kForm, "Comment", false);
    f.DateType = flag(kForm, "DateType", true);
    f.WinType = flag(kForm, "WinType", true);
    f.WebLeft = num(kForm, "WebLeft", 20);
    f.WebTop = num(kForm, "WebTop", 24);
    f.WebWidth = num(kForm, "WebWidth", 0);
    f.WebHeight = num(kForm, "WebHeight", 0);
    f.Color = num(kForm, "Color", 1);
    for (int i = 0; i < 4; ++i) f.KsTopRow[i] = num(kForm, Numbered("KsTopRow", i + 1, 1), 0);

    import.SubFldr = flag("Import", "SubFldr", false);
    exportMenu.Kakinoki = flag("Export", "Kakinoki", false);
    ftp.Func = flag("FTP", "Func", false);
    ftp.UseTime = flag("FTP", "UseTime", false);
    ftp.Auto = flag("FTP", "Auto", false);
    tool.Editor = str("Tool", "Editor", "");

    Btimap& b = btimap;
    const Btimap d;
    b.Size = num(kBtimap, "Size", 1);
    b.TitleNo = num(kBtimap, "TitleNo", 1);
    b.TitleNo2 = num(kBtimap, "TitleNo2", 1);
    b.TNameNo = num(kBtimap, "TNameNo", 1);
    b.BmpZoom = num(kBtimap, "BmpZoom", 1);
    b.MtKoma = num(kBtimap, "MtKoma", 1);
    b.MKDisp = num(kBtimap, "MKDisp", 1);
    b.Color = num(kBtimap, "Color", 2);
    b.MKChar = str(kBitmap, "MKChar", "");
    b.KmGaiji = flag(kBtiMap, "KmGaiji", false);
    b.Title1 = str(kBtimap, "Title1", d.Title1);
    b.Title2 = str(kBtimap, "Title2", d.Title2);
    b.Title3 = str(kBtimap, "Title3", d.Title3);
    b.Title4 = str(kBtimap, "Title4", d.Title4);
    b.Title5 = str(kBtimap, "Title5", d.Title5);
    b.Title6 = str(kBtimap, "Title6", d.Title6);
    b.TNameS = str(kBtimap, "TNameS", d.TNameS);
    b.TNameG = str(kBtimap, "TNameG", d.TNameG);
    b.MNameS = str(kBtimap, "MNameS", d.MNameS);
    b.MNameG = str(kBtimap, "MNameG", d.MNameG);

    for (int i = 0; i < 5; ++i) iMode01.html[i] = str("i_mode01", Numbered("html", i + 1, 2), "");
    for (int i = 0; i < 3; ++i) html.source[i] = str("HTML", Numbered("source", i + 1, 2), "");
    for (int i = 0; i < 3; ++i) html.OutPath[i] = str("HTML", Numbered("OutPath", i + 1, 2), "");
    for (int i = 0; i < 3; ++i) html.i_html[i] = str("HTML", Numbered("i_html", i + 1, 2), "");
    for (int i = 0; i < 3; ++i) html.i_Path[i] = str("HTML", Numbered("i_Path", i + 1, 2), "");
    html.i_BmpPath01 = str("HTML", "i_BmpPath01", "");
    html.i_BmpPath02 = str("HTML", "i_BmpPath02", "");
    html.GixConv = str("HTML", "GixConv", "");
    html.i_BmpSize02 = num("HTML", "i_BmpSize02", 0);
    html.KifTime = str("HTML", "KifTime", defaults.html.KifTime);
    java.source = str("JAVA", "source", "");
    java.OutPath = str("JAVA", "OutPath", "");
    java.OutPathAp = str("JAVA", "OutPathAp", "");
    java.OutPathE = str("JAVA", "OutPathE", "");

    Kensaku& k = kensaku;
    k.KsMode = num(kKensaku, "KsMode", 1);
    k.Sente = num(kKensaku, "Sente", 0);
    k.Gote = num(kKensaku, "Gote", 0);
    k.Movra = num(kKensaku, "Movra", 0);
    k.Movra2 = num(kKensaku, "Movra2", 0);
    k.Senkei = num(kKensaku, "Senkei", 0);
    k.Shohai = num(kKensaku, "Shohai", 0);
    k.Teai = num(kKensaku, "Teai", 0);
    k.ToYY = num(kKensaku, "ToYY", 0);
    k.ToMM = num(kKensaku, "ToMM", 0);
    k.FromYY = num(kKensaku, "FromYY", 1900);
    k.FromMM = num(kKensaku, "FromMM", 1);

    for (auto [stem, list] : SearchLists(kensaku2)) {
        for (int i = 0; i < kSearchListCount; ++i) {
            (*list)[i] = str(kKensaku2, Numbered(stem, i + 1, 2), "");
        }
    }
    // The rating conditions are read, then always switched off for the rest of the run.
    kensaku2.Rating1 = flag(kKensaku2, "Rating1", false);
    kensaku2.Rating2 = flag(kKensaku2, "Rating2", false);
    kensaku2.Rating1 = false;
    kensaku2.Rating2 = false;
    kensaku2.Rating1F = str(kKensaku2, "Rating1F", "");
    kensaku2.Rating1T = str(kKensaku2, "Rating1T", "");
    kensaku2.Rating2F = str(kKensaku2, "Rating2F", "");
    kensaku2.Rating2T = str(kKensaku2, "Rating2T", "");
}

void Settings::WriteAtExit(IniFile& ini, std::string_view lastKifFileToWrite) const {
    const Shogi& s = shogi;
    ini.WriteString(kShogi, "Drive", s.Drive);
    ini.WriteString(kShogi, "Koma", s.Koma);
    ini.WriteBool(kShogi, "Onsei", s.Onsei);
    ini.WriteBool(kShogi, "Sarnovi", s.Sarnovi);
    ini.WriteBool(kShogi, "Yomiage", s.Yomiage);
    ini.WriteBool(kShogi, "YomiWait", s.YomiWait);
    ini.WriteBool(kShogi, "AutoCom", s.AutoCom);
    ini.WriteBool(kShogi, "ComWait", s.ComWait);
    ini.WriteBool(kShogi, "TimeDisp", s.TimeDisp);
    ini.WriteBool(kShogi, "WarekiDisp", s.WarekiDisp);
    ini.WriteBool(kShogi, "Multi", s.Multi);
    ini.WriteBool(kShogi, "Smooth", s.Smooth);
    ini.WriteBool(kShogi, "Save", s.Save);
    ini.WriteInteger(kShogi, "VoiceType", s.VoiceType);
    ini.WriteInteger(kShogi, "KsOrder", s.KsOrder);
    ini.WriteInteger(kShogi, "Speed", s.Speed);
    ini.WriteInteger(kShogi, "TumeTesu", s.TumeTesu);
    ini.WriteInteger(kShogi, "LastKifMode", s.LastKifMode);
    ini.WriteString(kShogi, "LastKifFile", Quoted(lastKifFileToWrite));
    for (int i = 0; i < kRecentCount; ++i) {
        ini.WriteString(kShogi, Numbered("Recent", i + 1, 1), Quoted(s.Recent[i]));
    }
    ini.WriteString(kShogi, "DatPath", Quoted(s.DatPath));
    ini.WriteString(kShogi, "LastKkmFile", Quoted(s.LastKkmFile));
    ini.WriteInteger(kShogi, "LastKkmPage", s.LastKkmPage);
    ini.WriteBool(kShogi, "DateUp", s.DateUp);

    const Form& f = form;
    ini.WriteInteger(kForm, "Left", f.Left);
    ini.WriteInteger(kForm, "Top", f.Top);
    ini.WriteInteger(kForm, "ComLeft", f.ComLeft);
    ini.WriteInteger(kForm, "ComTop", f.ComTop);
    ini.WriteBool(kForm, "Comment", f.Comment);
    ini.WriteBool(kForm, "DateType", f.DateType);
    ini.WriteBool(kForm, "WinType", f.WinType);
    ini.WriteInteger(kForm, "WebLeft", f.WebLeft);
    ini.WriteInteger(kForm, "WebTop", f.WebTop);
    ini.WriteInteger(kForm, "WebWidth", f.WebWidth);
    ini.WriteInteger(kForm, "WebHeight", f.WebHeight);
    ini.WriteInteger(kForm, "Color", f.Color);
    for (int i = 0; i < 4; ++i) ini.WriteInteger(kForm, Numbered("KsTopRow", i + 1, 1), f.KsTopRow[i]);

    const Btimap& b = btimap;
    ini.WriteInteger(kBtimap, "Size", b.Size);
    ini.WriteInteger(kBtimap, "TitleNo", b.TitleNo);
    ini.WriteInteger(kBtimap, "TitleNo2", b.TitleNo2);
    ini.WriteInteger(kBtimap, "TNameNo", b.TNameNo);
    ini.WriteInteger(kBtimap, "BmpZoom", b.BmpZoom);
    ini.WriteInteger(kBtimap, "MtKoma", b.MtKoma);
    ini.WriteInteger(kBtimap, "MKDisp", b.MKDisp);
    ini.WriteInteger(kBtimap, "Color", b.Color);
    ini.WriteString(kBitmap, "MKChar", b.MKChar);
    ini.WriteBool(kBtiMap, "KmGaiji", b.KmGaiji);
    ini.WriteString(kBtimap, "Title1", Quoted(b.Title1));
    ini.WriteString(kBtimap, "Title2", Quoted(b.Title2));
    ini.WriteString(kBtimap, "Title3", Quoted(b.Title3));
    ini.WriteString(kBtimap, "Title4", Quoted(b.Title4));
    ini.WriteString(kBtimap, "Title5", Quoted(b.Title5));
    ini.WriteString(kBtimap, "Title6", Quoted(b.Title6));
    ini.WriteString(kBtimap, "TNameS", Quoted(b.TNameS));
    ini.WriteString(kBtimap, "TNameG", Quoted(b.TNameG));
    ini.WriteString(kBtimap, "MNameS", Quoted(b.MNameS));
    ini.WriteString(kBtimap, "MNameG", Quoted(b.MNameG));

    const Kensaku& k = kensaku;
    ini.WriteInteger(kKensaku, "KsMode", k.KsMode);
    ini.WriteInteger(kKensaku, "Sente", k.Sente);
    ini.WriteInteger(kKensaku, "Gote", k.Gote);
    ini.WriteInteger(kKensaku, "Movra", k.Movra);
    ini.WriteInteger(kKensaku, "Movra2", k.Movra2);
    ini.WriteInteger(kKensaku, "Senkei", k.Senkei);
    ini.WriteInteger(kKensaku, "Shohai", k.Shohai);
    ini.WriteInteger(kKensaku, "Teai", k.Teai);
    ini.WriteInteger(kKensaku, "ToYY", k.ToYY);
    ini.WriteInteger(kKensaku, "ToMM", k.ToMM);
    ini.WriteInteger(kKensaku, "FromYY", k.FromYY);
    ini.WriteInteger(kKensaku, "FromMM", k.FromMM);

    for (auto [stem, list] : SearchLists(kensaku2)) {
        for (int i = 0; i < kSearchListCount; ++i) {
            ini.WriteString(kKensaku2, Numbered(stem, i + 1, 2), Quoted((*list)[i]));
        }
    }
    ini.WriteBool(kKensaku2, "Rating1", kensaku2.Rating1);
    ini.WriteBool(kKensaku2, "Rating2", kensaku2.Rating2);
    ini.WriteString(kKensaku2, "Rating1F", kensaku2.Rating1F);
    ini.WriteString(kKensaku2, "Rating1T", kensaku2.Rating1T);
    ini.WriteString(kKensaku2, "Rating2F", kensaku2.Rating2F);
    ini.WriteString(kKensaku2, "Rating2T", kensaku2.Rating2T);
}

fs::path Settings::DatFolder(const fs::path& programFolder) const {
    return shogi.DatPath.empty() ? programFolder : ResolvePath(programFolder, shogi.DatPath);
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
    const fs::path path = SettingsFilePath(programFolder);
    IniFile ini;
    std::error_code ec;
    // A file that exists but cannot be read is not replaced: its keys would be lost.
    if (!ini.Load(path.string()) && fs::exists(path, ec)) return false;
    settings.WriteAtExit(ini, LastKifFileForWriting(settings.shogi.LastKifFile, programFolder));
    return ini.Save(path.string());
}

bool SaveDisplaySwitches(const fs::path& programFolder, const Settings& settings) {
    const fs::path path = SettingsFilePath(programFolder);
    IniFile ini;
    std::error_code ec;
    if (!ini.Load(path.string()) && fs::exists(path, ec)) return false;
    ini.WriteBool(kShogi, "TimeDisp", settings.shogi.TimeDisp);
    ini.WriteBool(kShogi, "WarekiDisp", settings.shogi.WarekiDisp);
    ini.WriteBool(kShogi, "Multi", settings.shogi.Multi);
    return ini.Save(path.string());
}

}  // namespace movra
