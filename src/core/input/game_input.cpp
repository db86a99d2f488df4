#include "core/input/game_input.h"

#include <algorithm>
#include <cstdio>

#include "core/rules/notation.h"
#include "core/rules/position.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

// Bytes 4-5 of a move line (0-based 3-4) hold the comment mark; the move itself is the same
// whether or not it carries a comment.
constexpr std::size_t kMarkAt = 3;
constexpr std::size_t kMarkWidth = 2;

bool SameMove(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i >= kMarkAt && i < kMarkAt + kMarkWidth) continue;
        if (a[i] != b[i]) return false;
    }
    return true;
}

std::string WithoutMark(std::string line) {
    for (std::size_t i = kMarkAt; i < kMarkAt + kMarkWidth && i < line.size(); ++i) line[i] = ' ';
    return line;
}

// Move records after `last` hold nothing: no dropped move, and no comment waiting to become the
// comment on the final position.
void ClearMovesAfter(TKifData& record, int last) {
    for (int m = std::max(last + 1, 1); m <= kMaxMoves; ++m) record.moves[std::size_t(m)] = MoveRecord{};
}

bool IsHandicapGame(char handicap) { return handicap != '0'; }

}  // namespace

int MoveLimit(bool extendedStore, char handicap) {
    const int slots = extendedStore ? kMaxMoves : kMaxMoves / 2;
    return IsHandicapGame(handicap) ? slots - 1 : slots;
}

bool MoveLimitReached(const TKifData& record, bool extendedStore) {
    return record.moveCount >= MoveLimit(extendedStore, record.handicap);
}

bool PlaceEnteredLine(TKifData& record, std::vector<std::string>& full,
                      std::vector<std::string>& visible, int moveNumber, const std::string& line) {
    if (moveNumber < 1 || moveNumber > kMaxMoves) return false;
    const std::size_t n = std::size_t(moveNumber);
    if (visible.size() < n) {
        if (full.size() >= n - 1) full.resize(n - 1);
        if (visible.size() >= n - 1) visible.resize(n - 1);
        full.push_back(line);
        visible.push_back(line);
        return false;
    }
    if (SameMove(visible[n - 1], line)) return false;
    // A different move: the rest of the game goes.
    MoveRecord& move = record.moves[n];
    move.workingComment = 0;
    move.commentFile = 0;
    move.commentRecord = 0;
    move.consumedTime = 0;
    visible.resize(n - 1);
    full.resize(std::min(full.size(), n - 1));
    const std::string placed = WithoutMark(line);
    visible.push_back(placed);
    full.push_back(placed);
    record.moveCount = std::int16_t(moveNumber);
    ClearMovesAfter(record, moveNumber);
    return true;
}

const char* EnteredMoveProblem(const TKifData& record, const MoveCode& code) {
    const int n = record.currentMove + 1;
    if (n > kMaxMoves) return "is past the 512-move limit of a game";
    const int side = record.SideOf(n);
    MoveRecord probe = record.moves[std::size_t(n)];
    if (!ResolveMove(record.position, code, side, probe)) {
        return code.isDrop() ? "drops a piece the mover does not hold"
                             : "starts from a square without a piece";
    }
    if (code.isDrop() && probe.capturedPiece != 0) return "drops a piece onto an occupied square";
    const PieceCode mover = record.position.pieces[probe.piece].code;
    const bool moverIsGote = side == side::kGote;
    if (IsGote(mover) != moverIsGote) return "moves the opponent's piece";
    if (probe.capturedPiece != 0 && IsGote(probe.capturedCode) == moverIsGote) {
        return "captures the mover's own piece";
    }
    // A drop comes from the mover's hand: file 0 for sente, 10 for gote.
    const Square from{std::uint8_t(code.isDrop() ? (moverIsGote ? 10 : 0) : code.fromFile()),
                      std::uint8_t(code.fromRank())};
    const Square to{std::uint8_t(code.toFile()), std::uint8_t(code.toRank())};
    if (!CheckMove(from, to, mover, record.position.board, [](const std::string&) { return false; })) {
        return "breaks the movement rules";
    }
    if (!code.isDrop()) {
        const Promotion option = PromotionOption(mover, from, to);
        if (code.promotes() && option == Promotion::None) return "promotes a piece that cannot promote there";
        if (!code.promotes() && option == Promotion::Forced) return "leaves a piece unpromoted where it must promote";
    }
    return nullptr;
}

const char* EnterMove(TKifData& record, std::vector<std::string>& full,
                      std::vector<std::string>& visible, const MoveCode& code) {
    if (const char* why = EnteredMoveProblem(record, code)) return why;
    const int n = record.currentMove + 1;
    const bool overwrite = n <= record.moveCount;
    if (!record.ResolveMove(code, record.SideOf(n), overwrite ? n : kAppendMove)) {
        return "starts from a square without a piece";
    }
    const PieceCode codeBefore = record.ApplyMove(n);
    record.Rebuild();
    const std::string line =
        MoveLine(n, record.parityOffset, record.handicap, record.position.board, codeBefore,
                 record.moves[std::size_t(n)], record.moves[std::size_t(n - 1)]);
    record.currentMove = std::int16_t(n);
    PlaceEnteredLine(record, full, visible, n, line);
    return nullptr;
}

void CutGame(TKifData& record, int count) {
    count = std::clamp<int>(count, 0, record.moveCount);
    record.moveCount = std::int16_t(count);
    ClearMovesAfter(record, count);
    record.currentMove = std::min(record.currentMove, record.moveCount);
}

char EndCodeFor(EndCommand command, int moveCount, char handicap) {
    // In an even game sente makes the odd moves; in a handicap game 上手 (gote) moves first.
    const bool oddMove = moveCount % 2 != 0;
    const bool senteMovedLast = IsHandicapGame(handicap) ? !oddMove : oddMove;
    switch (command) {
        case EndCommand::Resign:
            return senteMovedLast ? endcode::kSenteWins : endcode::kGoteWins;
        case EndCommand::IllegalLoss:
            return senteMovedLast ? endcode::kGoteWins : endcode::kSenteWins;
        case EndCommand::Repetition: return endcode::kRepetition;
        case EndCommand::Impasse: return endcode::kImpasse;
        case EndCommand::LaterSenteWins: return endcode::kLaterSenteWins;
        case EndCommand::LaterGoteWins: return endcode::kLaterGoteWins;
        case EndCommand::LaterRepetition: return endcode::kLaterRepetition;
        case EndCommand::LaterImpasse: return endcode::kLaterImpasse;
        case EndCommand::Interrupt: break;
    }
    return endcode::kInterrupted;
}

std::string KeepAllMovesQuestion() {
    return std::string{
        "最終手までの棋譜を有効にします。\rよろしいですか？\r\r現在の指し手までの棋譜を有効にする場合は\r「いいえ」を押して下さい"_sj};
}

EndTruncation AskEndTruncation(const TKifData& record, Prompter& prompter) {
    if (record.currentMove >= record.moveCount) return EndTruncation::KeepAll;
    switch (prompter.Confirm(KeepAllMovesQuestion(), true, true)) {
        case Answer::Yes: return EndTruncation::KeepAll;
        case Answer::No: return EndTruncation::KeepToCurrent;
        case Answer::Cancel: break;
    }
    return EndTruncation::Cancel;
}

char EndGame(TKifData& record, std::vector<std::string>& full, std::vector<std::string>& visible,
             EndCommand command, EndTruncation truncation) {
    if (truncation == EndTruncation::Cancel) return '\0';
    int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    if (truncation == EndTruncation::KeepToCurrent) {
        count = std::clamp<int>(record.currentMove, 0, count);
        ClearMovesAfter(record, count);
    }
    count = std::min<int>(count, int(visible.size()));
    visible.resize(std::size_t(count));
    record.moveCount = std::int16_t(count);
    record.currentMove = std::min(record.currentMove, record.moveCount);
    record.endCode = EndCodeFor(command, count, record.handicap);
    visible.push_back(ResultLine(count, record.handicap, record.endCode));
    full = visible;
    return record.endCode;
}

std::string SlotChooserLine(int slotNumber, bool inUse, const std::string& label, int currentMove) {
    constexpr std::size_t kNameWidth = 14;
    const auto field = [](std::string_view text) {
        std::string cut{sjis::Cut(text, 0, kNameWidth)};
        cut.resize(kNameWidth, ' ');
        return cut;
    };
    char number[16];
    std::snprintf(number, sizeof number, "%3d   ", slotNumber);
    std::string line = number;
    if (!inUse) {
        line += field("未読込"_sj);
        line += std::string(1 + kNameWidth, ' ');
        line += std::string(6, ' ');
        return line;
    }
    // Characters 10-23 and 34-47 of the label, as the game list lays a line out.
    line += field(sjis::Cut(label, 9, kNameWidth));
    line += ' ';
    line += field(sjis::Cut(label, 33, kNameWidth));
    char move[16];
    std::snprintf(move, sizeof move, "%7d", currentMove);
    line += move;
    return line;
}

std::array<std::string, kSlotCount> SlotChooserLines(const TKifData& record) {
    std::array<std::string, kSlotCount> lines;
    for (int s = 0; s < kSlotCount; ++s) {
        lines[std::size_t(s)] = SlotChooserLine(s + 1, record.SlotInUse(s), record.SlotLabel(s),
                                                record.SlotCurrentMove(s));
    }
    return lines;
}

}  // namespace movra
