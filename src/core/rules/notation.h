#pragma once
// Japanese move notation: the lines of the move list, the relative words that tell two pieces of
// one kind apart, the closing line and the other result texts, and the text of a hand.
//
// Every text is CP932. A move-list line has a fixed layout that the exports read by byte:
// bytes 1-3 the move number, 4-5 the comment mark, 6-7 the side mark, from byte 8 the move text.
#include <cstddef>
#include <string>

#include "core/rules/move.h"
#include "core/rules/position.h"

namespace movra {

// The longest move-list line in bytes.
inline constexpr std::size_t kMoveLineMaxBytes = 24;
// Where the move text starts in a move-list line (0-based).
inline constexpr std::size_t kMoveTextOffset = 7;

// The piece names of the move list by code (1-28; gote codes read like sente's): 歩 と 香 成香
// 桂 成桂 銀 成銀 金 角 馬 飛 竜 玉. Throws RangeError for 0 and codes above 28.
std::string PieceName(PieceCode code);
// "７六": full-width file digit and kanji rank numeral. Throws RangeError off the board.
std::string SquareText(int file, int rank);
// "▲" for side 1, "△" for side 2.
std::string SideMark(int side);

// The relative word of a move: "" or one of 右 左 上 引 寄 直 打 右引 右寄 右上 左引 左寄 左上.
// codeBefore is the mover's code before the move; board is the board after the move (the mover on
// its destination, its origin empty). Throws RangeError for squares off the board.
std::string RelativeWord(PieceCode codeBefore, const MoveRecord& move, const Board& board);

// The move-list line of move n, called right after the move was applied: "001  ▲７六歩",
// "023* △同　角". `previous` is move n - 1 (the empty record 0 before move 1). At most 24 bytes.
std::string MoveLine(int moveNumber, int parityOffset, char handicap, const Board& board,
                     PieceCode codeBefore, const MoveRecord& move, const MoveRecord& previous);

// The closing line of the move list: "95手まで先手勝ち", "0手まで". A handicap game (any handicap
// character but "0") says 下手 and 上手.
std::string ResultLine(int moveCount, char handicap, char endCode);
// The sentence that closes a game text: "まで86手で先手の勝ち", "まで12手で中断".
std::string ClosingSentence(int moveCount, char handicap, char endCode);
// The word that stands alone at the end of a game: 投了, 千日手, 持将棋, 以下投了, ... and まで
// for an interrupted game. Web pages end with the same word.
std::string ClosingEndWord(char endCode);

// Result numbers: how a game ended, as the store keeps it and as the end codes '0'-'8' spell
// it. 5-8 are games recorded only up to a point, with the result they went on to.
namespace result {
inline constexpr int kInterrupted = 0;  // 中断; in the catalogue, no result entered
inline constexpr int kSenteWins = 1;
inline constexpr int kGoteWins = 2;
inline constexpr int kRepetition = 3;   // 千日手
inline constexpr int kImpasse = 4;      // 持将棋
inline constexpr int kLaterSenteWins = 5;
inline constexpr int kLaterGoteWins = 6;
inline constexpr int kLaterRepetition = 7;
inline constexpr int kLaterImpasse = 8;
}  // namespace result

// Result numbers 0-8 are the end codes as numbers; -1 for a character that is none of them.
int ResultNumber(char endCode);
// The words after "n手" of a closing line for result number 1-8 ("まで先手勝ち", "以下千日手", ...;
// "まで" for any other), with 下手/上手 in a handicap game.
std::string_view ClosingLineEntry(int result, bool handicapGame);
// The result as the game list names it: 勝敗未登録, 先手勝ち (下手勝ち), ..., 不明 outside 0-8.
std::string ResultName(int result, bool handicapGame);
// The short form of the game list: 未登録, ▲勝ち, △勝ち, 千日手, 持将棋, "不　明" outside 0-8.
std::string ResultShortName(int result);
// The word the game-record text export ends with: 中断, 投了, 千日手, 持将棋.
std::string RecordEndWord(int result);
// The word web pages end with: まで, 投了, 以下投了, 以下千日手, ...
std::string WebEndWord(int result);

// Settings of the diagram output that shape a hand text.
struct HandTextOptions {
    int kanjiCounts = 0;  // MtKoma: 1 writes counts as 二..十八, otherwise ２..９ and 10..18
    int emptyText = 1;    // MKDisp: 1 "なし", 2 "ナシ", 3 ownEmptyText, anything else "なし"
    std::string ownEmptyText;  // MKChar (CP932)
};

// The pieces in one hand (side 1 sente, 2 gote) in the order 飛 角 金 銀 桂 香 歩, each name
// followed by its count when above 1: "飛角金２歩10". Only pieces marked present count.
std::string HandText(const PieceTable& pieces, int side, const HandTextOptions& options);

}  // namespace movra
