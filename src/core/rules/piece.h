#pragma once
// Piece codes, piece kinds and the conversions between them.
//
// A piece code is one byte: 1-14 for sente's pieces, the same + 14 for gote's, 0 for an empty
// square. Each promotable piece is immediately followed by its promoted form, so promoting is
// adding one.
#include <cstdint>

namespace movra {

using PieceCode = std::uint8_t;
using PieceKind = std::uint8_t;

namespace piece {
inline constexpr PieceCode kNone = 0;
inline constexpr PieceCode Fu = 1;        // 歩
inline constexpr PieceCode To = 2;        // と
inline constexpr PieceCode Kyo = 3;       // 香
inline constexpr PieceCode NariKyo = 4;   // 成香
inline constexpr PieceCode Kei = 5;       // 桂
inline constexpr PieceCode NariKei = 6;   // 成桂
inline constexpr PieceCode Gin = 7;       // 銀
inline constexpr PieceCode NariGin = 8;   // 成銀
inline constexpr PieceCode Kin = 9;       // 金
inline constexpr PieceCode Kaku = 10;     // 角
inline constexpr PieceCode Uma = 11;      // 馬
inline constexpr PieceCode Hi = 12;       // 飛
inline constexpr PieceCode Ryu = 13;      // 龍
inline constexpr PieceCode Gyoku = 14;    // 玉
inline constexpr PieceCode kGoteOffset = 14;
inline constexpr PieceCode kLastCode = 28;
}  // namespace piece

// Piece kinds 1-8: 歩 香 桂 銀 金 角 飛 玉. A promoted piece has the kind of its unpromoted form.
namespace kind {
inline constexpr PieceKind Fu = 1;
inline constexpr PieceKind Kyo = 2;
inline constexpr PieceKind Kei = 3;
inline constexpr PieceKind Gin = 4;
inline constexpr PieceKind Kin = 5;
inline constexpr PieceKind Kaku = 6;
inline constexpr PieceKind Hi = 7;
inline constexpr PieceKind Gyoku = 8;
}  // namespace kind

constexpr bool IsPiece(PieceCode c) { return c >= 1 && c <= piece::kLastCode; }
constexpr bool IsGote(PieceCode c) { return c > piece::kGoteOffset && c <= piece::kLastCode; }
constexpr bool IsSente(PieceCode c) { return c >= 1 && c <= piece::kGoteOffset; }
// The sente code of the same piece (gote codes minus 14).
constexpr PieceCode OwnCode(PieceCode c) { return IsGote(c) ? PieceCode(c - piece::kGoteOffset) : c; }

PieceKind KindOf(PieceCode c);
// The unpromoted sente code of a kind (1, 3, 5, 7, 9, 10, 12, 14); 0 for a kind outside 1-8.
PieceCode CodeOfKind(PieceKind k);
bool IsPromotable(PieceCode c);
bool IsPromoted(PieceCode c);
PieceCode Promote(PieceCode c);
PieceCode Unpromote(PieceCode c);
// The code a piece gets when it enters the capturer's hand: other side, unpromoted.
PieceCode Captured(PieceCode c);
// Position editing's click cycle: 歩 → と → gote 歩 → gote と → 歩; 金 and 玉 change side.
PieceCode EditCycle(PieceCode c);

// One-character letters of stored position texts: "1" (玉) to "8" (歩), "B" (龍) to "H" (と).
char CodeToLetter(PieceCode c);
// side '1' sente, '2' gote; any other side gives 0. "A" and "D" read as "1" and "4".
PieceCode LetterToCode(char letter, char side);

// The signed numbering of the mate-search engine: positive for sente, negative for gote.
int EngineNumber(PieceCode c);

}  // namespace movra
