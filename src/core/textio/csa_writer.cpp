#include "core/textio/csa_writer.h"

#include <array>
#include <cstdio>

#include "core/rules/position.h"
#include "core/rules/sfen.h"
#include "core/textio/export_game.h"

namespace movra {

namespace {

constexpr std::array<const char*, 15> kPieceNames = {
    "", "FU", "TO", "KY", "NY", "KE", "NK", "GI", "NG", "KI", "KA", "UM", "HI", "RY", "OU"};

void AddComment(const std::string& text, std::vector<std::string>& lines) {
    for (const std::string& line : CommentLines(text)) lines.push_back("'*" + line);
}

// The pieces the handicap takes from the even position: "82HI22KA".
std::string Removed(char handicap) {
    BoardPosition even, setup;
    SetUpStandard(even, '0');
    SetUpStandard(setup, handicap);
    std::string removed;
    for (int file = 1; file <= 9; ++file) {
        for (int rank = 1; rank <= 9; ++rank) {
            const std::size_t at = std::size_t(BoardIndex(file, rank));
            if (even.board[at] != 0 && setup.board[at] == 0) {
                removed += char('0' + file);
                removed += char('0' + rank);
                removed += kPieceNames[OwnCode(even.board[at])];
            }
        }
    }
    return removed;
}

}  // namespace

std::vector<std::string> CsaLines(const ExportGame& game) {
    const TKifData& record = game.record;
    std::vector<std::string> lines;
    lines.push_back("V2.2");
    lines.push_back("N+" + game.senteName);
    lines.push_back("N-" + game.goteName);
    if (!game.tournament.empty()) lines.push_back("$EVENT:" + game.tournament);
    if (game.year != 0) {
        char date[64];
        std::snprintf(date, sizeof date, "$START_TIME:%04d/%02d/%02d", game.year, game.month, game.day);
        lines.push_back(date);
    }
    if (!game.opening.empty()) lines.push_back("$OPENING:" + game.opening);
    lines.push_back("PI" + Removed(record.handicap));
    const bool handicapGame = HandicapNumberOfChar(record.handicap) != 0;
    lines.push_back(handicapGame ? "-" : "+");
    AddComment(game.Comment(0), lines);

    BoardPosition position;
    SetUpStandard(position, record.handicap);
    for (int n = 1; n <= record.moveCount; ++n) {
        const MoveRecord& m = record.moves[std::size_t(n)];
        PieceCode after = m.isDrop() ? CodeOfKind(m.fromRank)
                                     : OwnCode(position.board[std::size_t(BoardIndex(m.fromFile, m.fromRank))]);
        if (m.promotes) after = Promote(after);
        std::string line(1, record.SideOf(n) == 1 ? '+' : '-');
        line += m.isDrop() ? "00" : std::string{char('0' + m.fromFile), char('0' + m.fromRank)};
        line += char('0' + m.toFile);
        line += char('0' + m.toRank);
        line += after <= 14 ? kPieceNames[after] : "";
        lines.push_back(line);
        lines.push_back("T" + std::to_string(m.consumedTime));
        AddComment(game.Comment(n), lines);
        ApplyMove(position, m);
    }

    const int count = record.moveCount;
    const int lastMover = count == 0 ? 0 : record.SideOf(count);
    switch (game.result) {
        case 1: case 2: case 5: case 6: {
            const int winner = game.result == 1 || game.result == 5 ? 1 : 2;
            if (lastMover == 0 || winner == lastMover) {
                lines.push_back("%TORYO");
            } else {
                // The side to move won: the last mover is named for the act that lost it.
                lines.push_back(lastMover == 1 ? "%+ILLEGAL_ACTION" : "%-ILLEGAL_ACTION");
            }
            break;
        }
        case 3: case 7: lines.push_back("%SENNICHITE"); break;
        case 4: case 8: lines.push_back("%JISHOGI"); break;
        default: lines.push_back("%CHUDAN"); break;
    }
    if (game.closingTime != 0) lines.push_back("T" + std::to_string(game.closingTime));
    AddComment(game.Comment(count + 1), lines);
    return lines;
}

std::string UsiLine(const ExportGame& game) {
    const TKifData& record = game.record;
    std::string line = "position ";
    if (HandicapNumberOfChar(record.handicap) == 0) {
        line += "startpos";
    } else {
        BoardPosition start;
        SetUpStandard(start, record.handicap);
        line += "sfen " + ToSfen(start, 2, 1);
    }
    if (record.moveCount > 0) line += " moves";
    for (int n = 1; n <= record.moveCount; ++n) {
        line += " " + MoveCodeToUsi(record.moves[std::size_t(n)].moveCode());
    }
    return line;
}

}  // namespace movra
