#include "core/publish/data_menu.h"

#include "core/publish/web_export.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"

namespace movra {
using namespace movra::literals;

void ApplyDataMenuLine(DataMenu& menu, std::string_view line) {
    if (line.size() < 5) return;
    const std::string_view key = line.substr(0, 5);
    if (key[0] != '0' || (key[1] != '1' && key[1] != '2') || key[2] != '-' || key[3] != '0' || key[4] < '0' ||
        key[4] > '5') {
        return;
    }
    std::string_view rest = line.size() > 6 ? line.substr(6) : std::string_view();
    const std::size_t semicolon = sjis::Find(rest, ";");
    const std::string caption(rest.substr(0, semicolon));
    const std::string target = semicolon == sjis::npos ? std::string() : std::string(rest.substr(semicolon + 1));
    DataSubMenu& sub = menu.menus[std::size_t(key[1] - '1')];
    if (key[4] == '0') {
        sub.caption = caption;
        sub.shown = true;
        return;
    }
    DataMenuItem& item = sub.items[std::size_t(key[4] - '1')];
    item.caption = caption;
    item.target = target;
    item.shown = true;
}

DataMenu LoadDataMenu(const std::filesystem::path& programFolder) {
    DataMenu menu;
    menu.menus[0].caption = "棋士紹介(&P)"_sj;
    menu.menus[1].caption = "棋戦進行表(&K)"_sj;
    for (const char* name : {"Data/Html.ini", "Data/Html02.ini"}) {
        if (!FileExistsNoCase(programFolder, name)) continue;
        menu.shown = true;
        const auto lines = ReadTemplateLines(ResolvePath(programFolder, name));
        if (!lines) continue;
        for (const std::string& line : *lines) ApplyDataMenuLine(menu, line);
    }
    return menu;
}

WindowRect BrowserWindowRect(WindowRect r, int screenWidth, int screenHeight) {
    if (r.left > screenWidth - 20) r.left = 20;
    if (r.top > screenHeight - 40) r.top = 20;
    if (r.width < 100) r.width = screenWidth - 40;
    else if (r.width > 1280) r.width = 1200;
    if (r.height < 100) r.height = screenHeight - 60;
    return r;
}

std::string BrowserCaption(std::string_view caption) {
    return std::string(caption.substr(0, caption.size() >= 4 ? caption.size() - 4 : 0));
}

}  // namespace movra
