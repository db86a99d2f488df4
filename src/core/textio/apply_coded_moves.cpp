#include "core/textio/apply_coded_moves.h"

#include "core/text/text_helpers.h"
#include "core/text/sjis_text.h"

namespace movra {

namespace {

bool IsMoveListLine(std::string_view line) {
    return line.size() >= 3 && (line[1] == ' ' || line[1] == '@' || line[0] == 'K');
}

// Why the move cannot be played, or nullptr.
const char* CannotPlay(const BoardPosition& position, const MoveCode& code, const MoveRecord& m,
                       int side) {
    const PieceCode moving = position.pieces[m.piece].code;
    const bool goteMoves = side == side::kGote;
    if (IsGote(moving) != goteMoves) return "moves a piece of the other side";
    if (m.capturedPiece != 0) {
        if (code.isDrop()) return "drops onto an occupied square";
        if (IsGote(m.capturedCode) == goteMoves) return "captures a piece of its own side";
    }
    return nullptr;
}

}  // namespace

ReadStatus ApplyCodedMoves(const CodedGameText& coded, TKifData& record, AppliedMoves& applied) {
    applied = AppliedMoves{};
    std::string codes;
    std::size_t i = 0;
    const std::size_t n = coded.lines.size();
    while (i < n && !sjis::StartsWith(coded.lines[i], "K:")) ++i;
    for (; i < n && IsMoveListLine(coded.lines[i]); ++i) {
        const std::string_view line = coded.lines[i];
        std::string text = Trim(line.substr(2, 52));
        if (text.size() > 50) text.resize(50);
        for (std::size_t at = 0; at < text.size(); at += 5) {
            std::string field = Trim(std::string_view(text).substr(at, 5));
            if (field.size() != 4 && field.size() != 5) {
                return ReadStatus::Refuse("move field " + std::to_string(codes.size() / 5 + 1) +
                                          " has the wrong length");
            }
            if (field.size() == 4) field += ' ';
            codes += field;
        }
    }

    for (std::size_t at = 0; at < codes.size(); at += 5) {
        ++applied.codes;
        if (record.moveCount >= kMaxMoves) {
            applied.truncated = true;
            continue;
        }
        const int number = record.moveCount + 1;
        const std::string_view text = std::string_view(codes).substr(at, 5);
        const std::optional<MoveCode> code = MoveCode::Parse(text);
        const auto refuse = [&](const char* why) {
            return ReadStatus::Refuse("move " + std::to_string(number) + " (" + std::string(text) +
                                      ") " + why);
        };
        if (!code) return refuse("cannot be read");
        const int side = record.SideOf(number);
        MoveRecord move = record.moves[static_cast<std::size_t>(number)];
        if (!ResolveMove(record.position, *code, side, move)) return refuse("has no piece to move");
        if (const char* why = CannotPlay(record.position, *code, move, side)) return refuse(why);
        movra::ApplyMove(record.position, move);
        record.moves[static_cast<std::size_t>(number)] = move;
        record.moveCount = static_cast<std::int16_t>(number);
    }
    record.currentMove = record.moveCount;
    Rebuild(record.position);
    return ReadStatus::Ok();
}

}  // namespace movra
