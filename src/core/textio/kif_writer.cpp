#include "core/textio/kif_writer.h"

#include <array>
#include <cstdio>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/record/game_text.h"
#include "core/rules/notation.h"
#include "core/textio/export_file.h"
#include "core/textio/position_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kMoveFieldBytes = 18;
// The notation of a move-list line: bytes 8 to 21.
constexpr std::size_t kNotationOffset = kMoveTextOffset;
constexpr std::size_t kNotationBytes = 14;

constexpr std::array<std::string_view, 10> kRankNumerals{
    "", "一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj, "六"_sj, "七"_sj, "八"_sj, "九"_sj};

// The handicaps every Kakinoki reader knows by name: the even game, 香落ち … 十枚落ち and
// 右香落ち. 裸玉, 歩三兵 and the two 九枚落ち are not among them.
bool HasKakinokiName(int handicapNumber) {
    return (handicapNumber >= 0 && handicapNumber <= 9) || handicapNumber == 11;
}

// A hand of a board diagram: "歩三　" for each kind held, "なし" when empty.
std::string DiagramHand(const HandCounts& hand) {
    constexpr std::array<PieceKind, 7> kKinds{kind::Hi,  kind::Kaku, kind::Kin, kind::Gin,
                                              kind::Kei, kind::Kyo,  kind::Fu};
    constexpr std::array<std::string_view, 8> kNames{
        "", "歩"_sj, "香"_sj, "桂"_sj, "銀"_sj, "金"_sj, "角"_sj, "飛"_sj};
    std::string text;
    for (PieceKind k : kKinds) {
        if (hand[k] > 0) text += std::string(kNames[k]) + KanjiCount(hand[k]) + "　"_sj;
    }
    return text.empty() ? std::string("なし"_sj) : text;
}

// The starting position of the handicap as a Kakinoki board diagram, with the side that moves
// first.
void AppendStartDiagram(char handicap, std::vector<std::string>& lines) {
    BoardPosition start;
    SetUpStandard(start, handicap);
    Rebuild(start);
    constexpr std::string_view kFrame = "+---------------------------+";
    lines.push_back("後手の持駒："_sj + DiagramHand(start.goteHand));
    lines.push_back("  ９ ８ ７ ６ ５ ４ ３ ２ １"_sj);
    lines.emplace_back(kFrame);
    for (int rank = 1; rank <= 9; ++rank) {
        std::string row = "|";
        for (int file = 9; file >= 1; --file) {
            row += StandardCell(start.board[static_cast<std::size_t>(BoardIndex(file, rank))]);
        }
        lines.push_back(row + "|" + std::string(kRankNumerals[static_cast<std::size_t>(rank)]));
    }
    lines.emplace_back(kFrame);
    lines.push_back("先手の持駒："_sj + DiagramHand(start.senteHand));
    lines.push_back(SideToMove(1, 0, handicap) == side::kSente ? std::string("先手番"_sj)
                                                    : std::string("後手番"_sj));
}

void AppendComment(const std::string& text, std::vector<std::string>& lines) {
    for (const std::string& line : CommentLines(text)) lines.push_back("*" + line);
}

}  // namespace

std::string KakinokiFirstLine() {
    return "# ----  Kifu for Windows95 V3.47 棋譜ファイル  ----"_sj;
}

std::string KifTimeField(std::uint32_t secondsOfMove, std::uint32_t totalSeconds) {
    char minutes[16];
    std::snprintf(minutes, sizeof minutes, "%2u:", secondsOfMove / 60);
    const std::uint32_t hours = totalSeconds / 3600;
    return "(" + std::string(minutes) + ZeroPad(secondsOfMove % 60, 2) + "/" +
           (hours < 100 ? ZeroPad(hours, 2) : std::to_string(hours)) + ":" +
           ZeroPad(totalSeconds % 3600 / 60, 2) + ":" + ZeroPad(totalSeconds % 60, 2) + ")";
}

std::string KifMoveField(int number, std::string_view text) {
    char head[16];
    std::snprintf(head, sizeof head, "%4d ", number);
    std::string field = head + std::string(text);
    if (field.size() > kMoveFieldBytes) {
        field.resize(IsCharBoundary(field, kMoveFieldBytes) ? kMoveFieldBytes : kMoveFieldBytes - 1);
    }
    field.resize(kMoveFieldBytes, ' ');
    return field;
}

std::string KifMoveText(std::string_view moveListLine, const MoveRecord& move) {
    const std::string_view notation = moveListLine.size() > kNotationOffset
                                          ? moveListLine.substr(kNotationOffset, kNotationBytes)
                                          : std::string_view();
    std::string text = ExportMoveText(notation, move.fromFile);
    if (!move.isDrop()) {
        text += '(';
        text += static_cast<char>('0' + move.fromFile);
        text += static_cast<char>('0' + move.fromRank);
        text += ')';
    }
    return text;
}

std::vector<std::string> KakinokiLines(const ExportGame& game, std::string_view pathText) {
    const TKifData& record = game.record;
    const DetailRecord& detail = game.detail;
    std::vector<std::string> lines;
    lines.push_back(KakinokiFirstLine());
    lines.push_back("# ファイル名："_sj + std::string(pathText));

    // The date of the detail record when it has one, else the catalogue's; the time is always
    // the detail record's (00:00 when the store keeps none).
    const DetailDateTime start = detail.start();
    const bool detailDate = start.year != 0;
    lines.push_back("開始日時："_sj +
                    ExportDateTime(detailDate ? start.year : game.year,
                                   detailDate ? start.month : game.month,
                                   detailDate ? start.day : game.day, start.hour, start.minute));
    if (const DetailDateTime end = detail.end(); end.year != 0) {
        lines.push_back("終了日時："_sj +
                        ExportDateTime(end.year, end.month, end.day, end.hour, end.minute));
    }
    if (!game.tournament.empty()) lines.push_back("棋戦："_sj + game.tournament);
    if (!game.opening.empty()) lines.push_back("戦型："_sj + game.opening);
    if (HasKakinokiName(game.handicapNumber)) {
        lines.push_back("手合割："_sj + HandicapName(game.handicapNumber));
    } else {
        lines.push_back("手合割：その他"_sj);
        AppendStartDiagram(record.handicap, lines);
    }
    const bool handicapGame = game.handicapGame();
    lines.push_back((handicapGame ? "下手："_sj : "先手："_sj) + game.senteName);
    lines.push_back((handicapGame ? "上手："_sj : "後手："_sj) + game.goteName);
    lines.push_back("手数----指手---------消費時間--"_sj);
    AppendComment(game.Comment(0), lines);

    const std::vector<std::string> moveLines = MoveListLines(record);
    const int count = record.moveCount;
    // One running total for the odd and one for the even move numbers.
    std::array<std::uint32_t, 2> totals{};
    for (int n = 1; n <= count; ++n) {
        const MoveRecord& move = record.moves[static_cast<std::size_t>(n)];
        std::uint32_t& total = totals[static_cast<std::size_t>(n % 2)];
        total += move.consumedTime;
        lines.push_back(KifMoveField(n, KifMoveText(moveLines[static_cast<std::size_t>(n - 1)], move)) +
                        KifTimeField(move.consumedTime, total));
        AppendComment(game.Comment(n), lines);
    }

    const std::string& closingComment = game.Comment(count + 1);
    if (game.result == 0 && game.closingTime == 0 && closingComment.empty()) return lines;
    const int n = count + 1;
    std::uint32_t& total = totals[static_cast<std::size_t>(n % 2)];
    total += game.closingTime;
    lines.push_back(KifMoveField(n, RecordEndWord(game.result)) +
                    KifTimeField(game.closingTime, total));
    AppendComment(closingComment, lines);
    lines.emplace_back();
    // Kakinoki readers know no 以下 in the closing sentence (some refuse the whole file): a game
    // whose record stops before its end is summed up by its outcome alone, after its 中断,
    // 千日手 or 持将棋 end line.
    const int outcome = game.result >= 5 && game.result <= 8 ? game.result - 4 : game.result;
    const char endCode = outcome >= 0 && outcome <= 8 ? static_cast<char>('0' + outcome)
                                                      : endcode::kInterrupted;
    lines.push_back(ClosingSentence(count, record.handicap, endCode));
    return lines;
}

std::string WriteKakinokiFile(const ExportGame& game, const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    if (ec) full = path;
    return WriteTextLines(path, KakinokiLines(game, StoredPath(full.lexically_normal())),
                          WriteMode::Replace);
}

}  // namespace movra
