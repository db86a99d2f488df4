#pragma once
// The hidden data menu (データ(&D)): its two sub-menus of local pages are described by
// "Data\Html.ini" and "Data\Html02.ini" in the program folder, and an item opens its page in the
// browser window, whose place on the screen comes from the [Form] Web* settings.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace movra {

struct DataMenuItem {
    bool shown = false;
    std::string caption;  // CP932
    std::string target;   // a path relative to the program folder
};

struct DataSubMenu {
    bool shown = false;
    std::string caption;
    std::array<DataMenuItem, 5> items{};
};

struct DataMenu {
    bool shown = false;  // one of the two files exists
    std::array<DataSubMenu, 2> menus{};
};

// Applies one line: its key is its first five bytes ("01-00" a sub-menu, "01-01" … "02-05" an
// item), its caption runs from byte 7 up to the first ";", its target is what follows. Other
// keys are ignored; a later line of a key wins.
void ApplyDataMenuLine(DataMenu& menu, std::string_view line);
// Reads the two files of the program folder (Html.ini first). Default captions 棋士紹介(&P) and
// 棋戦進行表(&K).
DataMenu LoadDataMenu(const std::filesystem::path& programFolder);

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};
// The browser window's place: a left beyond the screen width - 20 and a top beyond its height
// - 40 become 20; a width below 100 becomes the screen width - 40, one above 1280 becomes 1200;
// a height below 100 becomes the screen height - 60.
WindowRect BrowserWindowRect(WindowRect stored, int screenWidth, int screenHeight);
// The browser's caption: a sub-menu caption without its last four bytes ("(&P)").
std::string BrowserCaption(std::string_view subMenuCaption);

}  // namespace movra
