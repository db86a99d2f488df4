#pragma once
// The file name a bitmap save dialog proposes.
#include <filesystem>
#include <string_view>

namespace movra {

// "BANT001.bmp" … "BANT999.bmp": the first that does not exist in the folder (names compared
// without regard to case); the folder alone when all exist. Another base name (a position
// collection's) is proposed as base + ".bmp" without a number.
std::filesystem::path ProposedBitmapPath(const std::filesystem::path& folder, std::string_view base = "BANT");

}  // namespace movra
