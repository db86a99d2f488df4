#pragma once
// Replaying a game in the main window: the current move, the full and the visible move list, the
// selected line, the list's top line and the framed square, kept in step with the game record.
// The windows draw what this holds; every rule of stepping, jumping and the two list styles is
// here, so it runs without a display.
#include <optional>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/position.h"

namespace movra {

enum class ListStyle {
    WholeGame,   // 全表示: every line of the game
    MoveByMove,  // 一手毎: the lines up to the current move
};

// Both lists with the selection, the top line, the framed square and the time move, as study
// mode sets them aside on entry and puts them back on leaving.
struct ReplayLists {
    std::vector<std::string> full;
    std::vector<std::string> visible;
    int selection = -1;
    int top = 0;
    int timeMove = 0;
    std::optional<Square> framed;
};

// What a step did to the board, for the display (sliding a piece, redrawing two squares).
struct ReplayStep {
    bool moved = false;     // a move was applied or taken back
    bool forward = true;
    int moveNumber = 0;     // the move applied or taken back
    MoveRecord move;        // its record
    PieceCode codeBefore = 0;  // the moving piece's code before the move
    bool reachedEnd = false;   // forward at the last move: the closing line is now selected
};

class GameReplay {
public:
    explicit GameReplay(TKifData& record) : record_(record) {}

    // A game taken over: the record holds its moves (at any move), `lines` its move-list lines
    // (one a move, then the closing line). The record is set back to its starting position.
    // `indexStore`: the open store is an index store, whose move-by-move list gets the closing
    // line at the end.
    void TakeOver(std::vector<std::string> lines, bool indexStore);
    // No game: empty lists, the record as it is.
    void Clear();

    // Button 2: applies the next move, or at the last move selects the closing line.
    ReplayStep Forward();
    // Button 3: takes back the current move; on the closing line only the selection moves up.
    ReplayStep Back();
    // A click on line n - 1: shows move n (n = move count + 1 is the closing line); no
    // animation. Values outside 0..move count + 1 are clamped.
    void JumpTo(int n);
    // Button 9: the starting position, no selection, the list at its top.
    void ToStart();
    // End key: selects the last visible line and jumps to it.
    void ToEnd();
    // A click on the list caption.
    void SetStyle(ListStyle style);

    // Study mode: the lists set aside and put back, cutting both after `count` lines, and the
    // line of a move n entered on the board (line n - 1 of both lists replaced or appended, the
    // lines after it dropped; the visible list only when it reaches move n - 1).
    ReplayLists SaveLists() const;
    void RestoreLists(ReplayLists lists);
    void CutLines(std::size_t count);
    void PutEnteredLine(int n, const std::string& line);

    const TKifData& record() const { return record_; }
    int currentMove() const { return record_.currentMove; }
    int moveCount() const { return record_.moveCount; }
    ListStyle style() const { return style_; }
    const std::vector<std::string>& fullList() const { return full_; }
    const std::vector<std::string>& visibleList() const { return visible_; }
    // Index into the visible list; -1 when nothing is selected (the starting position).
    int selection() const { return selection_; }
    bool closingLineSelected() const;
    int topLine() const { return top_; }
    // The destination of the move last applied, framed in red; none at the start.
    std::optional<Square> framedSquare() const { return framed_; }
    // The move whose times the status line sums: the current move, or move count + 1 on the
    // closing line (0 clears the time panel).
    int timeMove() const { return timeMove_; }
    // The selected line has a stored comment ("*" as its fourth character).
    bool selectedLineHasComment() const;

private:
    void ShowLinesUpTo(std::size_t count);
    void TrimVisible(std::size_t count);
    void SelectCurrentLine();
    void FrameCurrentMove();
    int closingIndex() const { return record_.moveCount; }

    TKifData& record_;
    std::vector<std::string> full_;
    std::vector<std::string> visible_;
    ListStyle style_ = ListStyle::WholeGame;
    bool indexStore_ = true;
    int selection_ = -1;
    int top_ = 0;
    int timeMove_ = 0;
    std::optional<Square> framed_;
};

// The fourth character of a move-list line is "*" when the move has a stored comment.
bool LineHasComment(const std::string& line);

}  // namespace movra
