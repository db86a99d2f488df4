#include "core/gameinfo/move_comment.h"

#include "core/store/comments.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kHeadingMoveBytes = 16;

std::optional<int> Number(std::string_view text, std::size_t maxDigits) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > maxDigits) return std::nullopt;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

bool IsBlankOrBreak(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }

// Removes blanks (half- and full-width) and line breaks at both ends.
std::string TrimComment(std::string_view text) {
    const std::string_view wide = "　"_sj;
    bool changed = true;
    while (changed) {
        changed = false;
        while (!text.empty() && IsBlankOrBreak(text.front())) text.remove_prefix(1), changed = true;
        while (!text.empty() && IsBlankOrBreak(text.back())) text.remove_suffix(1), changed = true;
        if (text.substr(0, 2) == wide) text.remove_prefix(2), changed = true;
        // A full-width blank at the end must be a whole character, not the trail of another.
        if (text.size() >= 2 && text.substr(text.size() - 2) == wide &&
            IsCharBoundary(text, text.size() - 2)) {
            text.remove_suffix(2), changed = true;
        }
    }
    return std::string(text);
}

// The working slot of a point is one byte in the move record.
MoveRecord* PointRecord(TKifData& record, int point) {
    if (point < 0 || std::size_t(point) >= record.moves.size()) return nullptr;
    return &record.moves[std::size_t(point)];
}

}  // namespace

std::string CommentHeading(int point, int moveCount, std::string_view moveListLine) {
    if (point <= 0) return std::string{" 開始局面のコメント"_sj};
    if (point > moveCount) return std::string{" 最終局面のコメント"_sj};
    std::string move;
    if (moveListLine.size() > 5) {
        std::string_view rest = moveListLine.substr(5);
        std::size_t n = std::min(rest.size(), kHeadingMoveBytes);
        if (n < rest.size() && !IsCharBoundary(rest, n)) --n;
        move = std::string(rest.substr(0, n));
    }
    return " " + std::to_string(point) + std::string{"手目 "_sj} + move +
           std::string{" のコメント"_sj};
}

std::string JoinCommentLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) joined += line + "\r\n";
    return TrimComment(joined);
}

std::vector<std::string> SplitCommentLines(std::string_view comment) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= comment.size()) {
        std::size_t end = comment.find('\n', at);
        if (end == std::string_view::npos) end = comment.size();
        std::string line(comment.substr(at, end - at));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == comment.size()) break;
        at = end + 1;
    }
    // A final line break starts no line of its own.
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

CommentCheck CheckCommentInput(const std::vector<std::string>& lines, std::string_view minutes,
                               std::string_view seconds, bool hasTime) {
    CommentCheck check;
    if (hasTime) {
        const auto m = Number(minutes, 3);
        const auto s = Number(seconds, 2);
        if (!m || !s || *m > kMaxCommentMinutes || *s > 59) {
            check.focus = CommentField::Minutes;
            check.message = std::string{"\r消費時間の入力が正しくありません！"_sj};
            return check;
        }
        check.seconds = std::uint16_t(*m * 60 + *s);
    }
    std::vector<std::string> kept = lines;
    // The memo's last line break makes no line.
    while (kept.size() > 1 && kept.back().empty()) kept.pop_back();
    if (kept.size() > std::size_t(kMaxCommentLines)) {
        check.focus = CommentField::Memo;
        check.message = std::string{"\rコメントは４行以内で入力して下さい。"_sj};
        return check;
    }
    check.comment = JoinCommentLines(kept);
    if (check.comment.size() > kMaxCommentBytes) {
        check.focus = CommentField::Memo;
        check.message =
            std::string{"コメントの文字数が長すぎます！\r\r全角１２８文字以内で入力して下さい。"_sj};
        check.comment.clear();
    }
    return check;
}

std::string CommentChangedQuestion() {
    return std::string{"コメント部が変更されています！\r\r保存せずに閉じてよろしいですか？"_sj};
}
std::string CommentTimeChangedQuestion() {
    return std::string{"消費時間が変更されています！\r\r保存せずに閉じてよろしいですか？"_sj};
}

std::string SpinCommentMinutes(std::string_view minutes, bool up) {
    const int m = Number(minutes, 9).value_or(0);
    if (up) return std::to_string(m >= kMaxCommentMinutes ? 0 : m + 1);
    return std::to_string(m <= 0 || m > kMaxCommentMinutes ? kMaxCommentMinutes : m - 1);
}

std::string SpinCommentSeconds(std::string_view seconds, bool up) {
    const int s = Number(seconds, 9).value_or(0);
    if (up) return std::to_string(s >= 59 ? 0 : s + 1);
    return std::to_string(s <= 0 || s > 59 ? 59 : s - 1);
}

bool StoreWorkingComment(const GameStore& store, TKifData& record, const CommentEdit& edit,
                         Prompter& prompter) {
    MoveRecord* move = PointRecord(record, edit.point);
    if (move == nullptr || edit.point > record.moveCount + 1) return false;
    if (edit.point > 0) move->consumedTime = edit.seconds;
    if (edit.comment.empty()) {
        if (move->workingComment != 0) DeleteComment(store, kWorkingCommentFile, move->workingComment, prompter);
        move->workingComment = 0;
        return true;
    }
    const CommentWriteResult written =
        WriteComment(store, kWorkingCommentFile, move->workingComment, edit.comment, prompter);
    if (written.number == 0) return false;
    move->workingComment = std::uint8_t(written.number);
    return true;
}

bool StoreGameComment(const GameStore& store, long k, const IndexRecord& index, TKifData& record,
                      const CommentEdit& edit, Prompter& prompter) {
    MoveRecord* move = PointRecord(record, edit.point);
    if (move == nullptr || edit.point > record.moveCount + 1) return false;
    const int handicap = index.handicap();
    const int overflow = index.overflowNumber();
    const bool opening = edit.point == 0;
    const bool closing = edit.point == record.moveCount + 1;
    const auto link = [&](int file, int number) {
        if (opening) return LinkGameComment(store, k, GameCommentPlace::Opening, file, number, prompter);
        if (closing) return LinkGameComment(store, k, GameCommentPlace::Closing, file, number, prompter);
        return LinkMoveComment(store, k, edit.point, handicap, overflow, number, file, prompter);
    };

    int file = move->commentFile;
    int number = move->commentRecord;
    if (edit.comment.empty()) {
        if (number != 0) {
            if (!link(0, 0)) return false;
            DeleteComment(store, file, number, prompter);
        }
        move->commentFile = 0;
        move->commentRecord = 0;
    } else {
        const CommentWriteResult written = WriteComment(store, number != 0 ? file : 0, number,
                                                        edit.comment, prompter);
        if (written.number == 0) return false;
        if (written.number != number || written.file != file) {
            if (!link(written.file, written.number)) return false;
        }
        move->commentFile = std::uint8_t(written.file);
        move->commentRecord = std::uint16_t(written.number);
    }
    if (!opening) {
        if (!SetConsumedTime(store, k, edit.point, handicap, closing, overflow, edit.seconds, prompter)) {
            return false;
        }
        move->consumedTime = edit.seconds;
    }
    return true;
}

}  // namespace movra
