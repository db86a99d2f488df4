#pragma once
// The move comment window's rules without the window: the heading of a point, the checks of OK
// with their messages, the time fields' up/down buttons, and storing an edited comment with its
// consumed time, in the working comment file for a game being entered or corrected, or in the
// comment files of a stored game.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

inline constexpr int kMaxCommentLines = 4;
inline constexpr std::size_t kMaxCommentBytes = 256;
inline constexpr int kMaxCommentMinutes = 999;

// The window's information line: " 開始局面のコメント" for point 0, " 最終局面のコメント" beyond
// the last move, else " " + k + "手目 " + 16 bytes of the move-list line from its 6th byte (the
// side mark and the move) + " のコメント".
std::string CommentHeading(int point, int moveCount, std::string_view moveListLine);

// The comment as stored: the memo's lines each followed by CR LF, then blanks and line breaks
// removed at both ends. Empty: no comment.
std::string JoinCommentLines(const std::vector<std::string>& lines);
// The memo's lines of a stored comment (split at CR LF or LF).
std::vector<std::string> SplitCommentLines(std::string_view comment);

enum class CommentField { None, Minutes, Memo };

struct CommentCheck {
    CommentField focus = CommentField::None;
    std::string message;
    std::string comment;       // the joined comment (on success)
    std::uint16_t seconds = 0;  // the time (on success)
    bool ok() const { return focus == CommentField::None; }
};

// OK: the time (numbers, minutes < 1000, seconds < 60: "\r消費時間の入力が正しくありません！"),
// then more than 4 lines ("\rコメントは４行以内で入力して下さい。"), then a joined comment over 256
// bytes ("コメントの文字数が長すぎます！\r\r全角１２８文字以内で入力して下さい。"). The time is not
// checked for the starting position (`hasTime` false), which has none.
CommentCheck CheckCommentInput(const std::vector<std::string>& lines, std::string_view minutes,
                               std::string_view seconds, bool hasTime);

// The questions when the window closes another way than OK.
std::string CommentChangedQuestion();  // "コメント部が変更されています！\r\r保存せずに閉じてよろしいですか？"
std::string CommentTimeChangedQuestion();  // "消費時間が変更されています！\r\r保存せずに閉じてよろしいですか？"

// The up/down buttons: minutes wrap within 0-999, seconds within 0-59; a field that is no number
// counts 0.
std::string SpinCommentMinutes(std::string_view minutes, bool up);
std::string SpinCommentSeconds(std::string_view seconds, bool up);

// --- storing an edit -------------------------------------------------------------------------------

// Point p of a game: 0 the starting position, 1 … moveCount the position after move p, moveCount
// + 1 the final position. The time goes into move record p (move record moveCount + 1 holds the
// closing time); the starting position has no time.
struct CommentEdit {
    int point = 0;
    std::string comment;  // empty: no comment
    std::uint16_t seconds = 0;
};

// A game being entered or corrected: the comment goes into the working comment file (the point's
// working slot is rewritten, a new one taken, or freed for an empty comment), its slot number and
// the time into the game record; saving the game turns it into a stored comment. False when no
// working slot was free or the file could not be written (the record keeps its old slot).
bool StoreWorkingComment(const GameStore& store, TKifData& record, const CommentEdit& edit,
                         Prompter& prompter);

// A stored game k shown on the board: the comment is written into the comment files at once (its
// old number rewritten, a new number taken, or the old one freed for an empty comment) and linked
// from the game's move info or detail record; the time goes into the move info (or the closing
// time); the game record takes the new reference and time. False when a write failed.
bool StoreGameComment(const GameStore& store, long k, const IndexRecord& index, TKifData& record,
                      const CommentEdit& edit, Prompter& prompter);

}  // namespace movra
