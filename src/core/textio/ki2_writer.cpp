#include "core/textio/ki2_writer.h"

#include "core/record/game_text.h"
#include "core/rules/notation.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"
#include "core/textio/kif_writer.h"

namespace movra {

using namespace movra::literals;

namespace {

// Every move of a line takes this many bytes, blanks after it included, so the columns line up.
constexpr std::size_t kMoveColumnBytes = 14;

bool IsNameLine(std::string_view line) {
    return sjis::StartsWith(line, "先手："_sj) || sjis::StartsWith(line, "後手："_sj) ||
           sjis::StartsWith(line, "下手："_sj) || sjis::StartsWith(line, "上手："_sj);
}

void AppendComment(const std::string& text, std::vector<std::string>& lines) {
    for (const std::string& line : CommentLines(text)) lines.push_back("*" + line);
}

}  // namespace

std::vector<std::string> Ki2Lines(const ExportGame& game) {
    const TKifData& record = game.record;
    std::vector<std::string> lines;

    // The header of the Kakinoki file without its two "#" lines and its column heading: dates,
    // tournament, opening, names, then the handicap with the start diagram it may carry.
    {
        ExportGame header;
        header.record.handicap = record.handicap;
        header.year = game.year;
        header.month = game.month;
        header.day = game.day;
        header.handicapNumber = game.handicapNumber;
        header.details = game.details;
        header.detail = game.detail;
        header.senteName = game.senteName;
        header.goteName = game.goteName;
        header.tournament = game.tournament;
        header.opening = game.opening;
        const std::vector<std::string> kif = KakinokiLines(header, "");
        std::vector<std::string> names, handicap;
        bool inHandicap = false;
        for (std::size_t i = 2; i < kif.size(); ++i) {
            const std::string& line = kif[i];
            if (sjis::StartsWith(line, "手数----"_sj)) break;
            if (IsNameLine(line)) {
                names.push_back(line);
                inHandicap = false;
            } else if (sjis::StartsWith(line, "手合割："_sj) || inHandicap) {
                handicap.push_back(line);
                inHandicap = true;
            } else {
                lines.push_back(line);
            }
        }
        lines.insert(lines.end(), names.begin(), names.end());
        lines.insert(lines.end(), handicap.begin(), handicap.end());
    }
    AppendComment(game.Comment(0), lines);

    const std::vector<std::string> moveLines = MoveListLines(record);
    const int count = record.moveCount;
    std::string line;
    int onLine = 0;
    for (int n = 1; n <= count; ++n) {
        const std::string& listLine = moveLines[std::size_t(n - 1)];
        // The side mark and the notation: the move-list line from its mark on.
        constexpr std::size_t kMarkOffset = kMoveTextOffset - 2;
        std::string text = listLine.size() > kMarkOffset ? listLine.substr(kMarkOffset) : std::string();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (onLine > 0) line.resize(std::max(line.size() + 1, std::size_t(onLine) * kMoveColumnBytes), ' ');
        line += text;
        ++onLine;
        const std::string& comment = game.Comment(n);
        if (onLine == kKi2MovesPerLine || !comment.empty() || n == count) {
            lines.push_back(line);
            line.clear();
            onLine = 0;
            AppendComment(comment, lines);
        }
    }

    AppendComment(game.Comment(count + 1), lines);
    // As in our Kakinoki file, a game recorded only up to a point is summed up by its outcome.
    const int outcome = game.result >= 5 && game.result <= 8 ? game.result - 4 : game.result;
    const char endCode = outcome >= 0 && outcome <= 8 ? char('0' + outcome) : endcode::kInterrupted;
    lines.push_back(ClosingSentence(count, record.handicap, endCode));
    return lines;
}

}  // namespace movra
