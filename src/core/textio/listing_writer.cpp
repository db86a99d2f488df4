#include "core/textio/listing_writer.h"

#include <string_view>

#include "core/text/sjis_literal.h"
#include "core/record/game_text.h"
#include "core/rules/notation.h"
#include "core/rules/position.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kMovesPerLine = 6;
constexpr std::size_t kBytesPerMove = 12;
// The side mark and the notation: 16 bytes from the sixth byte of a move-list line.
constexpr std::size_t kListingMoveOffset = 5;
constexpr std::size_t kListingMoveBytes = 16;

}  // namespace

std::string ListingClosingLine(int moveCount, bool handicapGame, int result) {
    std::string_view word = ClosingLineEntry(result, handicapGame);
    constexpr std::string_view kUntil = "まで"_sj;
    if (word.substr(0, kUntil.size()) == kUntil) word.remove_prefix(2);  // "まで…" keeps "で…"
    return "　まで、"_sj + std::to_string(moveCount) + "手"_sj + std::string(word);
}

std::vector<std::string> GameListingLines(const ExportGame& game) {
    const bool handicapGame = game.handicapGame();
    const DetailDateTime start = game.details ? game.detail.start() : DetailDateTime{};
    std::vector<std::string> lines;
    lines.push_back("開始日時："_sj +
                    ExportDateTime(game.year, game.month, game.day, start.hour, start.minute));
    if (game.details) {
        const DetailDateTime end = game.detail.end();
        if (end.year != 0 && end.month != 0 && end.day != 0) {
            lines.push_back("終了日時："_sj +
                            ExportDateTime(end.year, end.month, end.day, end.hour, end.minute));
        }
    }
    lines.push_back(std::string(handicapGame ? "下手："_sj : std::string_view("先手："_sj)) +
                    game.senteName);
    lines.push_back(std::string(handicapGame ? "上手："_sj : std::string_view("後手："_sj)) +
                    game.goteName);
    lines.push_back("棋戦："_sj + game.tournament);
    lines.push_back("戦型："_sj + game.opening);
    lines.push_back("手合割："_sj + HandicapName(game.handicapNumber));
    lines.emplace_back();

    const std::vector<std::string> moveLines = MoveListLines(game.record);
    const int count = game.record.moveCount;
    std::string line;
    std::size_t inLine = 0;
    for (int n = 1; n <= count; ++n) {
        const std::string& moveLine = moveLines[static_cast<std::size_t>(n - 1)];
        if (moveLine.size() > kListingMoveOffset) {
            line += moveLine.substr(kListingMoveOffset, kListingMoveBytes);
        }
        ++inLine;
        // A move longer than its 12 bytes pushes the next ones to the right.
        while (line.size() < kBytesPerMove * inLine) line += "　"_sj;
        if (inLine == kMovesPerLine) {
            lines.push_back(line);
            line.clear();
            inLine = 0;
        }
    }
    if (inLine > 0) lines.push_back(line);
    lines.push_back(ListingClosingLine(count, handicapGame, game.result));
    lines.emplace_back();
    return lines;
}

}  // namespace movra
