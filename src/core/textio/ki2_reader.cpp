#include "core/textio/ki2_reader.h"

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/board_diagram.h"
#include "core/textio/relative_moves.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kHeaderLines = 20;

std::string_view Value(std::string_view line, std::size_t position, std::size_t length) {
    return sjis::Cut(line, position - 1, length);
}

}  // namespace

std::size_t ReadKi2Header(const TextLines& lines, std::string_view now, ReadGame& game) {
    using sjis::StartsWith;
    game.Clear(now);
    ImportFields& fields = game.fields;
    game.coded.lines.push_back("##");
    game.coded.lines.push_back("#:Title");
    std::size_t first = 0;
    const std::size_t n = std::min(lines.size(), kHeaderLines);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view line = lines[i];
        bool startsMoves = false;
        if (const std::size_t at = sjis::Find(line, "手合割："_sj); at != sjis::npos) {
            const std::string_view value = sjis::Cut(line, at + 8, 30);
            fields.handicap = HandicapFromName(value);
            fields.unknownHandicap = HandicapNameKnown(value) ? std::string() : TrimFullWidth(value);
            startsMoves = true;
        }
        std::size_t at = sjis::Find(line, "先手："_sj);
        if (at == sjis::npos) at = sjis::Find(line, "下手："_sj);
        if (at != sjis::npos) {
            fields.senteName = NameAfter(line, at);
            startsMoves = true;
        }
        at = sjis::Find(line, "後手："_sj);
        if (at == sjis::npos) at = sjis::Find(line, "上手："_sj);
        if (at != sjis::npos) {
            fields.goteName = NameAfter(line, at);
            startsMoves = true;
        }
        if (StartsWith(line, "開始日時："_sj)) {
            fields.startDate = ParseKifDate(Value(line, 11, 24));
        } else if (StartsWith(line, "終了日時："_sj)) {
            fields.endDate = ParseKifDate(Value(line, 11, 24));
        } else if (StartsWith(line, "棋戦："_sj)) {
            fields.tournament = RemoveSpaces(Value(line, 7, 30));
        } else if (StartsWith(line, "棋戦名："_sj)) {
            fields.tournament = RemoveSpaces(Value(line, 9, 30));
        } else if (StartsWith(line, "戦型："_sj)) {
            fields.opening = RemoveSpaces(Value(line, 7, 30));
        } else if (StartsWith(line, "戦　型："_sj)) {
            fields.opening = RemoveSpaces(Value(line, 9, 30));
        } else if (StartsWith(line, "対局場所："_sj)) {
            fields.place = TrimFullWidth(Value(line, 11, 20));
            startsMoves = true;
        } else if (StartsWith(line, "場所："_sj)) {
            fields.place = TrimFullWidth(Value(line, 7, 20));
            startsMoves = true;
        } else if (StartsWith(line, "記録係："_sj)) {
            fields.recorder = TrimFullWidth(Value(line, 9, 20));
            startsMoves = true;
        } else if (StartsWith(line, "備考："_sj)) {
            fields.remarks = TrimFullWidth(Value(line, 7, 40));
            startsMoves = true;
        } else if (StartsWith(line, "持時間："_sj) || StartsWith(line, "持ち時間："_sj)) {
            ParseAllowedTime(Value(line, 9, 40), fields);
        }
        if (startsMoves) first = i + 1;
    }
    WriteCodedHeader(fields, game.coded);
    return first;
}

ReadStatus ReadKi2(const TextLines& lines, std::string_view now, ReadGame& game) {
    std::size_t first = ReadKi2Header(lines, now, game);
    const std::size_t endLinePosition = game.coded.lines.size();

    // A board diagram before the first move says where the game starts; the moves follow it.
    std::size_t firstMove = first;
    while (firstMove < lines.size() && !StartsWithMark(lines[firstMove])) ++firstMove;
    const DiagramReading diagram = ReadBoardDiagram(lines, 0, firstMove);
    if (diagram.found) {
        if (!diagram.standard) return ReadStatus::Refuse(std::string(kNonStandardStart));
        game.fields.handicap = diagram.handicap;
        game.fromDiagram = true;
        // The handicap line may differ from what the header said: write it again.
        game.coded.lines.resize(2);
        WriteCodedHeader(game.fields, game.coded);
        for (std::size_t i = first; i < firstMove; ++i) {
            if (sjis::StartsWith(lines[i], "|")) first = i + 1;
        }
    } else if (!game.fields.unknownHandicap.empty()) {
        return ReadStatus::Refuse(std::string(kNonStandardStart) + " (" +
                                  game.fields.unknownHandicap + ")");
    }

    BoardPosition start;
    SetUpStandard(start, game.fields.handicap);
    return ReadRelativeMoves(lines, first, RelativeFlavour::Ki2, start, endLinePosition, game);
}

}  // namespace movra
