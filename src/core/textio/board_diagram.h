#pragma once
// The board diagram ("BOD") that Kakinoki files carry when a game does not start from one of the
// standard setups: the hands ("後手の持駒：..."), nine rows "| ・v香 ...|一" and the side to move
// ("後手番"). The store keeps only a handicap number for a game's start, so a diagram is read to
// find the setup it shows; a diagram that shows none of them means the game cannot be stored.
#include <cstddef>

#include "core/textio/text_lines.h"

namespace movra {

struct DiagramReading {
    bool found = false;     // nine diagram rows were there
    bool standard = false;  // they, the hands and the side to move are a standard setup
    char handicap = '0';    // which one, when standard
};

// Looks for a diagram in lines [begin, end).
DiagramReading ReadBoardDiagram(const TextLines& lines, std::size_t begin, std::size_t end);

}  // namespace movra
