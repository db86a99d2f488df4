#include "core/diagram/gaiji_install.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// The families that stand for the two Windows fonts, and the names the messages use.
constexpr const char* kGothicFamily = "IPAexGothic";
constexpr const char* kMinchoFamily = "IPAexMincho";
std::string FontName(bool gothic) { return gothic ? std::string("ＭＳ ゴシック"_sj) : std::string("ＭＳ 明朝"_sj); }

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::file_size(a, ec) == fs::file_size(b, ec) && !ec && ReadAll(a) == ReadAll(b);
}

// Writes through a temporary file beside the target that replaces it at the end.
bool WriteReplacing(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".$$$";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) return false;
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) fs::remove(temporary, ec);
    return !ec;
}

// The marker line of a link: "<!-- link IPAexGothic: /path/Zodazi.ttf -->" (UTF-8, as
// fontconfig files are).
std::string Marker(bool gothic) { return std::string("<!-- link ") + (gothic ? kGothicFamily : kMinchoFamily) + ": "; }

std::string LinkFileText(const std::string& gothicFont, const std::string& minchoFont) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
        "<!-- Movra: the user-defined characters of Zodazi behind the Japanese fonts. -->\n<fontconfig>\n";
    for (bool gothic : {true, false}) {
        const std::string& font = gothic ? gothicFont : minchoFont;
        if (font.empty()) continue;
        const char* family = gothic ? kGothicFamily : kMinchoFamily;
        text += "  " + Marker(gothic) + font + " -->\n";
        text += std::string("  <alias binding=\"weak\"><family>") + family +
                "</family><accept><family>Zodazi</family></accept></alias>\n";
    }
    text += "  <dir>" + fs::path(gothicFont.empty() ? minchoFont : gothicFont).parent_path().string() + "</dir>\n";
    text += "</fontconfig>\n";
    return text;
}

}  // namespace

GaijiInstallPlaces DesktopGaijiPlaces(const fs::path& programFolder) {
    const char* home = std::getenv("HOME");
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path homePath = home != nullptr ? fs::path(home) : fs::path(".");
    GaijiInstallPlaces places;
    places.programFolder = programFolder;
    places.fontFolder = (data != nullptr && *data != '\0' ? fs::path(data) : homePath / ".local" / "share") / "fonts";
    places.linkFile = (config != nullptr && *config != '\0' ? fs::path(config) : homePath / ".config") /
                      "fontconfig" / "conf.d" / "60-movra-gaiji.conf";
    return places;
}

std::string LinkedGaijiFont(const fs::path& linkFile, bool gothic) {
    const std::string text = ReadAll(linkFile);
    const std::string marker = Marker(gothic);
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t from = at + marker.size();
    const std::size_t end = text.find(" -->", from);
    return end == std::string::npos ? std::string() : text.substr(from, end - from);
}

GaijiRegistration RegisterGaijiFont(const GaijiInstallPlaces& places, Prompter& prompter,
                                    const std::function<void()>& refresh) {
    std::error_code ec;
    fs::create_directories(places.fontFolder, ec);
    if (!fs::is_directory(places.fontFolder, ec)) {
        prompter.Warn("外字登録に失敗しました！"_sj);
        return GaijiRegistration::Failed;
    }
    // The font file: the program folder's copy replaces an older installed one; the program
    // keeps its own copy, which it loads for itself.
    bool changed = false;
    const fs::path source = places.programFolder / places.fontFile;
    const fs::path installed = places.fontFolder / places.fontFile;
    const bool inProgram = fs::is_regular_file(source, ec);
    const bool inFonts = fs::is_regular_file(installed, ec);
    if (inProgram && !(inFonts && SameBytes(source, installed))) {
        if (!WriteReplacing(installed, ReadAll(source))) {
            prompter.Warn("外字登録に失敗しました！"_sj);
            return GaijiRegistration::Failed;
        }
        changed = true;
    } else if (!inProgram && !inFonts) {
        prompter.Inform("外字ファイルが見つかりません"_sj);
    }

    // The links, ゴシック first.
    const std::string target = installed.string();
    std::string links[2] = {LinkedGaijiFont(places.linkFile, true), LinkedGaijiFont(places.linkFile, false)};
    bool registered[2] = {false, false};
    for (int i = 0; i < 2; ++i) {
        const bool gothic = i == 0;
        if (links[i].empty()) {
            links[i] = target;
            registered[i] = true;
            continue;
        }
        const std::string question = "\"" + FontName(gothic) + "\"" + "には既に"_sj + "\r" + "\"" +
                                     PathText(links[i]) + "\"" + " が設定されています。"_sj + "\r\r" + "\"" +
                                     PathText(target) + "\"" + " を再設定してよろしいですか？"_sj;
        if (prompter.Confirm(question, true, false) == Answer::Yes) {
            links[i] = target;
            registered[i] = true;
        }
    }
    if (registered[0] || registered[1]) {
        fs::create_directories(places.linkFile.parent_path(), ec);
        if (!WriteReplacing(places.linkFile, LinkFileText(links[0], links[1]))) {
            prompter.Warn("外字登録に失敗しました！"_sj);
            return GaijiRegistration::Failed;
        }
        changed = true;
    }
    if (changed && refresh) refresh();

    const std::string restart = "\r外字表示を有効にするために\rアプリケーションを再起動して下さい。"_sj;
    if (registered[0] && registered[1]) {
        prompter.Inform("外字の登録は正常に終了しました。"_sj + restart);
        return GaijiRegistration::Both;
    }
    if (registered[1]) {
        prompter.Inform("ＭＳ 明朝の外字登録は正常に終了しました。"_sj + restart);
        return GaijiRegistration::Mincho;
    }
    if (registered[0]) {
        prompter.Inform("ＭＳ ゴシックの外字登録は正常に終了しました。"_sj + restart);
        return GaijiRegistration::Gothic;
    }
    prompter.Inform("外字の登録を中止しました"_sj);
    return GaijiRegistration::None;
}

}  // namespace movra
