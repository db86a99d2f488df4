#pragma once
// Our user-defined character font ("Zodazi.ttf" in the program folder, generated at build time by
// scripts/make-gaiji-font): the marks, board marks and piece glyphs at the CP932 codes F040 and
// up, which Qt shows as the private-use characters U+E000 and up. The program loads it for itself
// at start-up; 外字登録 installs it for the other programs of the desktop.
#include <QString>

#include <filesystem>

namespace movra {

inline constexpr const char* kGaijiFontFile = "Zodazi.ttf";

QString GaijiFamily();
// Loads the font file of the folder for this program; false when it is missing or unreadable.
bool LoadGaijiFont(const std::filesystem::path& folder);
// Whether the loaded font has the four marks (F05A-F05D) and the pieces (F060-F07F).
bool GaijiFontHasMarks();
bool GaijiFontHasPieces();

}  // namespace movra
