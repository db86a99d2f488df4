#pragma once
// Which kind of text game record a file holds, from its first lines.
#include <filesystem>

#include "core/textio/text_lines.h"

namespace movra {

enum class TextFlavour : int {
    NotRecognised = 0,
    Kakinoki = 1,    // Kakinoki KIF (also "Kifu for Windows95" files)
    Ki2 = 2,
    Morita = 3,
    Todai = 4,       // 東大将棋, read like Kakinoki
    CodedFile = 5,   // the system's own coded game text, many games
    Csa = 6,         // CSA records of computer and online play, one or more games
    Usi = 7,         // a USI position line of an engine or analysis program
    Unreadable = 255,
};

// Decides from at most the first 50 lines. A line longer than 100 bytes decides "unreadable"
// only when it is not text (it holds control bytes or is not valid CP932): real records carry
// long comment and header lines. Comment lines ("*" first) never decide.
TextFlavour DetectFlavour(const TextLines& lines);
// Reads the file first; a file that cannot be read is NotRecognised.
TextFlavour DetectFlavour(const std::filesystem::path& path);

}  // namespace movra
