#pragma once
// The byte layout of a Lisvek game collection, in one place.
//
// A collection is a folder F holding "kifu.kif" (the moves), "kifu.dat" (the headers) and
// "Kaisetu.dat" (the comments), with "Ksname.dat" (player names) and "Senkei.dat" (opening
// names) in its parent folder. Every file is a run of fixed-size records, little-endian, texts
// in CP932 padded with zero bytes. Each record here is a byte image with named accessors; the
// reader reaches the fields through them only.
//
//   kifu.dat     34-byte records: record r-1 the header of game r (the record count is the
//                number of games)
//   kifu.kif     3616-byte records: record r-1 the moves of game r, 301 entries of 12 bytes
//   Kaisetu.dat  256-byte records: a comment text found by its four-byte key
//   Ksname.dat   63-byte records: player p is record p-1
//   Senkei.dat   32-byte records: opening o is record o-1
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/store/layout.h"
#include "core/text/text_helpers.h"

namespace movra {

inline constexpr std::size_t kLisvekHeaderSize = 34;
inline constexpr std::size_t kLisvekGameSize = 3616;
inline constexpr std::size_t kLisvekMoveEntrySize = 12;
inline constexpr int kLisvekMoveEntries = 301;
inline constexpr std::size_t kLisvekCommentSize = 256;
inline constexpr std::size_t kLisvekCommentTextSize = 248;
inline constexpr std::size_t kLisvekPlayerSize = 63;
inline constexpr std::size_t kLisvekOpeningSize = 32;

constexpr std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
constexpr void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// --- kifu.dat: the header of a game ----------------------------------------------------------
//
//   0  4    not used
//   4  u16  sente's player number (record of Ksname.dat + 1)
//   6  u16  gote's player number
//   8  u16  tournament number (entry of the fixed tournament list + 1)
//  10  2    not used
//  12  u16  opening number (record of Senkei.dat + 1)
//  14  u32  date as the decimal number yyyymmdd
//  18  u16  result: 1-4 the store's result codes, anything else none
//  20  10   not used
//  30  4    comment key of the final position
struct LisvekHeader {
    std::array<std::uint8_t, kLisvekHeaderSize> bytes{};

    std::uint16_t sentePlayer() const { return LoadU16(&bytes[4]); }
    std::uint16_t gotePlayer() const { return LoadU16(&bytes[6]); }
    std::uint16_t tournament() const { return LoadU16(&bytes[8]); }
    std::uint16_t opening() const { return LoadU16(&bytes[12]); }
    std::uint32_t date() const { return LoadU32(&bytes[14]); }
    std::uint16_t result() const { return LoadU16(&bytes[18]); }
    std::uint32_t finalCommentKey() const { return LoadU32(&bytes[30]); }

    void setSentePlayer(std::uint16_t v) { StoreU16(&bytes[4], v); }
    void setGotePlayer(std::uint16_t v) { StoreU16(&bytes[6], v); }
    void setTournament(std::uint16_t v) { StoreU16(&bytes[8], v); }
    void setOpening(std::uint16_t v) { StoreU16(&bytes[12], v); }
    void setDate(std::uint32_t v) { StoreU32(&bytes[14], v); }
    void setResult(std::uint16_t v) { StoreU16(&bytes[18], v); }
    void setFinalCommentKey(std::uint32_t v) { StoreU32(&bytes[30], v); }
};

// --- kifu.kif: the moves of a game -------------------------------------------------------------
//
//   0  4   not used
//   4 + 12i, entry i (0-300):
//        0  i16  destination rank × 10 + file, negative when the move promotes; 0 ends the moves
//        2  i16  origin rank × 10 + file (above 10), or for a drop the piece 1 (玉) … 8 (歩)
//        4  4    not used
//        8  u32  comment key of the position after the move; 0 none
struct LisvekGame {
    std::array<std::uint8_t, kLisvekGameSize> bytes{};

    static constexpr std::size_t Entry(int i) { return 4 + kLisvekMoveEntrySize * std::size_t(i); }
    std::int16_t destination(int i) const { return LoadI16(&bytes[Entry(i)]); }
    std::int16_t origin(int i) const { return LoadI16(&bytes[Entry(i) + 2]); }
    std::uint32_t commentKey(int i) const { return LoadU32(&bytes[Entry(i) + 8]); }

    void setMove(int i, std::int16_t destination, std::int16_t origin, std::uint32_t commentKey) {
        StoreI16(&bytes[Entry(i)], destination);
        StoreI16(&bytes[Entry(i) + 2], origin);
        StoreU32(&bytes[Entry(i) + 8], commentKey);
    }
};
static_assert(LisvekGame::Entry(kLisvekMoveEntries) == kLisvekGameSize);

// --- Kaisetu.dat: a comment ----------------------------------------------------------------------
//
//   0  4    not used
//   4  u32  key
//   8  248  text, up to its first zero byte
struct LisvekComment {
    std::array<std::uint8_t, kLisvekCommentSize> bytes{};

    std::uint32_t key() const { return LoadU32(&bytes[4]); }
    std::string text() const { return FieldToText(&bytes[8], kLisvekCommentTextSize); }

    void setKey(std::uint32_t v) { StoreU32(&bytes[4], v); }
    void setText(std::string_view text) {
        TextToField(&bytes[8], kLisvekCommentTextSize, text, kLisvekCommentTextSize);
    }
};
static_assert(8 + kLisvekCommentTextSize == kLisvekCommentSize);

// --- Ksname.dat and Senkei.dat: names ------------------------------------------------------------
//
//   Ksname.dat  3  30  the player's name
//   Senkei.dat  2  30  the opening's name
struct LisvekPlayer {
    std::array<std::uint8_t, kLisvekPlayerSize> bytes{};
    std::string name() const { return FieldToText(&bytes[3], 30); }
    void setName(std::string_view name) { TextToField(&bytes[3], 30, name, 30); }
};
static_assert(3 + 30 <= kLisvekPlayerSize);

struct LisvekOpening {
    std::array<std::uint8_t, kLisvekOpeningSize> bytes{};
    std::string name() const { return FieldToText(&bytes[2], 30); }
    void setName(std::string_view name) { TextToField(&bytes[2], 30, name, 30); }
};
static_assert(2 + 30 == kLisvekOpeningSize);

}  // namespace movra
