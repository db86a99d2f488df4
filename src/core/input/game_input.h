#pragma once
// The rules of entering a game on the board that need no window: how many moves may be entered,
// what a move that differs from the stored continuation does to the rest of the game, how an
// ending command becomes the game's result, and the lines of the game-slot chooser.
#include <array>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/move.h"
#include "core/text/prompter.h"

namespace movra {

// --- the move limit ------------------------------------------------------------------------------

// The most moves a game may get from the board: 512 in a store of the extended kind, 256 in the
// classic kind, one less in a handicap game (the store keeps a placeholder before 上手's first
// move).
int MoveLimit(bool extendedStore, char handicap);
// The move count has reached the limit: no piece may be picked up. The message is
// MoveLimitMessage() of core/viewing/move_entry.h
// ("\rこれ以上の指し手は入力できません！\r\r中断または終局させて下さい。").
bool MoveLimitReached(const TKifData& record, bool extendedStore);

// --- a move entered on the board -------------------------------------------------------------------

// Puts the line of move n (just entered, n = the new current move) into both move lists (one line
// a move, no closing line while input is active). When the lists are shorter than n the line is
// appended. Otherwise a line equal to line n - 1 keeps the rest of the game; a different line
// drops every line from move n on, adds the new one and cuts the game to n moves: the move records
// after it are cleared (so the comment of a dropped move cannot turn into the comment on the
// final position), and move n itself loses the comment and the consumed time of the move it
// replaced. Returns true when the rest of the game was dropped.
bool PlaceEnteredLine(TKifData& record, std::vector<std::string>& full,
                      std::vector<std::string>& visible, int moveNumber, const std::string& line);

// Why a move code cannot be entered as move current + 1 (the move after the one the board shows),
// in English for the command line, or nullptr when it can: the move limit of the record, what the
// board refuses (no piece there or the opponent's, a drop onto an occupied square, the mover's own
// piece taken), a move the movement rules reject (entered on the board only when confirmed as
// illegal), a promotion the piece cannot make there or a missing one it must make.
const char* EnteredMoveProblem(const TKifData& record, const MoveCode& code);

// Enters a move as the board does: checked with EnteredMoveProblem, resolved into move record
// current + 1 (written over the move there, or appended), applied, its line made and placed with
// PlaceEnteredLine, and the current move increased. Returns the problem (nothing changed) or
// nullptr.
const char* EnterMove(TKifData& record, std::vector<std::string>& full,
                      std::vector<std::string>& visible, const MoveCode& code);

// Drops the moves after move `count` (clamped to the record): the move count becomes `count`,
// the move records after it are cleared, the current move is at most `count`.
void CutGame(TKifData& record, int count);

// --- ending the game ------------------------------------------------------------------------------------

enum class EndCommand {
    Resign,            // 投了(&T): the side that made the last move wins
    IllegalLoss,       // 反則負け(&H): the side that made the last move loses
    Repetition,        // 千日手(&S)
    Impasse,           // 持将棋(&J)
    LaterSenteWins,    // 以下先手勝ち(&E)
    LaterGoteWins,     // 以下後手勝ち(&O)
    LaterRepetition,   // 以下千日手(&N)
    LaterImpasse,      // 以下持将棋(&J)
    Interrupt,         // 中断(&C)
};

// The end code ('0'-'8') an ending command gives a game of `moveCount` moves. 投了 gives '1' for
// an odd move count and '2' for an even one in an even game, the reverse in a handicap game;
// 反則負け the opposite of 投了; then '3', '4', '5', '6', '7', '8' and '0' for 中断.
char EndCodeFor(EndCommand command, int moveCount, char handicap);

// "最終手までの棋譜を有効にします。\rよろしいですか？\r\r現在の指し手までの棋譜を有効にする場合は\r「いいえ」を押して下さい"
std::string KeepAllMovesQuestion();

enum class EndTruncation {
    KeepAll,        // Yes, or the board shows the last move: every move stays
    KeepToCurrent,  // No: the moves after the one shown are dropped
    Cancel,         // Cancel: the game is not ended
};
// Asks KeepAllMovesQuestion (Yes, No, Cancel) when the board shows a move before the last one;
// KeepAll without asking otherwise.
EndTruncation AskEndTruncation(const TKifData& record, Prompter& prompter);

// Ends the game: with KeepToCurrent the lines and moves after the current move go (the move
// records after it cleared); the move count becomes the number of lines, the end code that of the
// command, and the closing line (ResultLine) is appended to both lists. Returns the end code.
// Does nothing and returns '\0' for Cancel.
char EndGame(TKifData& record, std::vector<std::string>& full, std::vector<std::string>& visible,
             EndCommand command, EndTruncation truncation);

// --- the game-slot chooser ------------------------------------------------------------------------------

// The chooser's line of one slot: "%3d   " with the slot number 1-5, the sente name (characters
// 10-23 of the label) and the gote name (characters 34-47), each padded with blanks and cut to 14
// bytes at a character boundary, separated by one blank, then the slot's current move as "%7d".
// A free slot: "未読込" padded to 14 bytes, 15 blanks and six blanks.
std::string SlotChooserLine(int slotNumber, bool inUse, const std::string& label, int currentMove);
// The five lines of the record's slots.
std::array<std::string, kSlotCount> SlotChooserLines(const TKifData& record);

}  // namespace movra
