#include "core/record/game_from_moves.h"

#include "core/record/game_text.h"
#include "core/rules/sfen.h"

namespace movra {

std::vector<std::string> SplitMoves(std::string_view text) {
    std::vector<std::string> out;
    std::string current;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r') {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

std::optional<TKifData> GameFromMoves(std::string_view sfen, int handicapNumber,
                                      const std::vector<std::string>& moves, std::string* error) {
    auto fail = [&](std::string why) -> std::optional<TKifData> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (handicapNumber < 0 || handicapNumber >= kHandicapCount) {
        return fail("handicap number " + std::to_string(handicapNumber) + " is not 0-14");
    }
    TKifData record;
    record.ResetHeader(handicapNumber);
    record.ClearMoves();
    record.SetUpStandard();
    if (!sfen.empty()) {
        std::string why;
        const std::optional<SfenPosition> start = ParseSfen(sfen, &why);
        if (!start) return fail("bad SFEN: " + why);
        record.ResetHeader(0);
        record.position = start->position;
        // Gote to move first shifts the move parity by one.
        record.parityOffset = start->sideToMove == side::kGote ? 1 : 0;
    }
    for (const std::string& text : moves) {
        std::optional<MoveCode> code = MoveCode::Parse(text);
        if (!code) code = UsiToMoveCode(text);
        if (!code) return fail("not a move: " + text);
        if (const char* problem = NextMoveProblem(record, *code)) {
            return fail("move " + std::to_string(record.moveCount + 1) + " (" + text + "): " + problem);
        }
        if (!record.AppendAndApply(*code)) {
            return fail("move " + std::to_string(record.moveCount + 1) + " (" + text + ") cannot be made");
        }
    }
    record.endCode = '0';
    return record;
}

}  // namespace movra
