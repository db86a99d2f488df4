#include "core/textio/position_text.h"

#include <array>
#include <cstdint>

#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

namespace {

// Pieces in hand, in the order the diagrams list them, with their names.
constexpr std::array<PieceKind, 7> kHandKinds{kind::Hi,  kind::Kaku, kind::Kin, kind::Gin,
                                              kind::Kei, kind::Kyo,  kind::Fu};
constexpr std::array<std::string_view, 9> kHandNames{
    "", "歩"_sj, "香"_sj, "桂"_sj, "銀"_sj, "金"_sj, "角"_sj, "飛"_sj, "玉"_sj};

// Diagram characters by sente code 1-14.
constexpr std::array<std::string_view, 15> kCellNames{
    "・"_sj, "歩"_sj, "と"_sj, "香"_sj, "杏"_sj, "桂"_sj, "圭"_sj, "銀"_sj,
    "全"_sj, "金"_sj, "角"_sj, "馬"_sj, "飛"_sj, "龍"_sj, "玉"_sj};

constexpr std::array<std::string_view, 11> kKanjiCounts{
    "", "一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj, "六"_sj, "七"_sj, "八"_sj, "九"_sj, "十"_sj};

// The user-defined font's characters all lie in the first row of the user-defined area, F040 to
// F0FC; the second byte picks the glyph.
std::string Gaiji(int second) {
    return {static_cast<char>(0xF0), static_cast<char>(second)};
}
constexpr int kBorderFirst = 0x40;    // F040 … F049, the ten characters of the top border
constexpr int kRankLabelFirst = 0x4A; // F04A … F052, ranks 1 to 9
constexpr int kSenteMark = 0x54;
constexpr int kGoteMark = 0x55;
constexpr int kEmptySquare = 0x93;
constexpr int kHandFirst = 0x60;      // sente's 歩; each kind four codes on, gote's one after

// The glyph of a piece on the board: sente codes 1-9 at 80, 82, … 90, codes 10-14 at 94, 96,
// … 9C; a gote piece is the glyph after its sente form.
int GaijiPiece(PieceCode code) {
    if (!IsPiece(code)) return kEmptySquare;
    const int own = OwnCode(code);
    const int sente = own <= 9 ? 0x80 + 2 * (own - 1) : 0x94 + 2 * (own - 10);
    return IsGote(code) ? sente + 1 : sente;
}

std::string Pick(bool first, std::string_view a, std::string_view b) {
    return std::string(first ? a : b);
}

BoardPosition Rebuilt(const BoardPosition& position) {
    BoardPosition p = position;
    Rebuild(p);
    return p;
}

std::string HandLine(const std::string& title, const HandCounts& hand) {
    std::string line = title;
    for (PieceKind k : kHandKinds) {
        const int count = hand[k];
        if (count > 0) line += std::string(kHandNames[k]) + KanjiCount(count) + " ";
    }
    return line;
}

// One hand column of the gaiji form: nine four-byte entries, the side's mark in entry 2 and the
// pieces from entry 3 on.
std::array<std::string, 10> HandColumn(const HandCounts& hand, bool gote) {
    std::array<std::string, 10> entries;
    entries.fill("    ");
    entries[2] = Gaiji(gote ? kGoteMark : kSenteMark) + "  ";
    std::size_t next = 3;
    for (PieceKind k : kHandKinds) {
        const int count = hand[k];
        if (count <= 0 || next > 9) continue;
        std::string entry = Gaiji(kHandFirst + 4 * (k - 1) + (gote ? 1 : 0));
        if (count == 1) {
            entry += "  ";
        } else if (count <= 9) {
            entry += static_cast<char>('0' + count);
            entry += ' ';
        } else {
            entry += std::to_string(count).substr(0, 2);
        }
        entries[next++] = entry;
    }
    return entries;
}

}  // namespace

std::string KanjiCount(int count) {
    if (count <= 1) return {};
    if (count <= 10) return std::string(kKanjiCounts[static_cast<std::size_t>(count)]);
    if (count < 20) return "十"_sj + kKanjiCounts[static_cast<std::size_t>(count - 10)];
    return std::to_string(count);  // more than a set holds: the number as it is
}

PositionTextHeader GameViewHeader(char handicap, int parityOffset, int shownMove,
                                  std::string_view senteName, std::string_view goteName) {
    const bool handicapGame = handicap != '0';
    PositionTextHeader h;
    h.senteLine = Pick(handicapGame, "下手："_sj, "先手："_sj) + std::string(senteName);
    h.goteLine = Pick(handicapGame, "上手："_sj, "後手："_sj) + std::string(goteName);
    h.senteHandTitle = Pick(handicapGame, "下手持駒："_sj, "先手持駒："_sj);
    h.goteHandTitle = Pick(handicapGame, "上手持駒："_sj, "後手持駒："_sj);
    h.moveLine = "手数="_sj + std::to_string(shownMove) + " まで"_sj;
    const bool senteToMove = SideToMove(shownMove + 1, parityOffset, handicap) == side::kSente;
    if (handicapGame) {
        h.sideText = Pick(senteToMove, "下手番"_sj, "上手番"_sj);
    } else {
        h.sideText = Pick(senteToMove, "先手番"_sj, "後手番"_sj);
    }
    return h;
}

PositionTextHeader EditingHeader(std::string_view sideText) {
    PositionTextHeader h;
    h.senteLine = "先手："_sj;
    h.goteLine = "後手："_sj;
    h.senteHandTitle = "先手持駒："_sj;
    h.goteHandTitle = "後手持駒："_sj;
    h.moveLine = "手数=0 まで"_sj;
    h.sideText = sideText;
    return h;
}

std::string EditingFileSideText() { return "先手（下手）番"_sj; }

std::string EditingSideQuestion() {
    return "手番は先手（下手）番でよろしいですか？"_sj + "\r" +
           "後手（上手）番の場合は「いいえ」を押して下さい。"_sj;
}

std::optional<std::string> AskEditingSide(Prompter& prompter) {
    switch (prompter.Confirm(EditingSideQuestion(), true, true)) {
        case Answer::Yes: return std::string("先手番"_sj);
        case Answer::No: return std::string("後手番"_sj);
        case Answer::Cancel: return std::nullopt;
    }
    return std::nullopt;
}

std::string StandardCell(PieceCode code) {
    if (!IsPiece(code)) return " " + std::string(kCellNames[0]);
    return (IsGote(code) ? "v" : " ") + std::string(kCellNames[OwnCode(code)]);
}

std::vector<std::string> StandardPositionLines(const BoardPosition& position,
                                               const PositionTextHeader& header) {
    const BoardPosition p = Rebuilt(position);
    std::vector<std::string> lines{header.senteLine, header.goteLine};
    for (int rank = 1; rank <= 9; ++rank) {
        std::string row = "|";
        for (int file = 9; file >= 1; --file) {
            row += StandardCell(p.board[static_cast<std::size_t>(BoardIndex(file, rank))]);
        }
        lines.push_back(row);
    }
    lines.push_back(HandLine(header.senteHandTitle, p.senteHand));
    lines.push_back(HandLine(header.goteHandTitle, p.goteHand));
    lines.push_back(header.moveLine);
    lines.push_back(header.sideText);
    return lines;
}

std::vector<std::string> GaijiPositionLines(const BoardPosition& position,
                                            const PositionTextHeader& header) {
    const BoardPosition p = Rebuilt(position);
    std::vector<std::string> lines{header.senteLine, header.goteLine};
    std::string top = "    ";
    for (int i = 0; i < 10; ++i) top += Gaiji(kBorderFirst + i);
    lines.push_back(top + "    ");
    const std::array<std::string, 10> sente = HandColumn(p.senteHand, false);
    const std::array<std::string, 10> gote = HandColumn(p.goteHand, true);
    for (int rank = 1; rank <= 9; ++rank) {
        // Gote's column runs upwards from rank 9, so its mark stands on rank 8 with its pieces
        // above; sente's runs down from rank 1.
        std::string row = gote[static_cast<std::size_t>(10 - rank)];
        for (int file = 9; file >= 1; --file) {
            row += Gaiji(GaijiPiece(p.board[static_cast<std::size_t>(BoardIndex(file, rank))]));
        }
        row += Gaiji(kRankLabelFirst + rank - 1);
        row += sente[static_cast<std::size_t>(rank)];
        lines.push_back(row);
    }
    lines.push_back(header.moveLine);
    lines.push_back(header.sideText);
    return lines;
}

std::vector<std::string> PositionFileLines(const std::vector<std::string>& diagram) {
    std::vector<std::string> lines(3);
    lines.insert(lines.end(), diagram.begin(), diagram.end());
    return lines;
}

}  // namespace movra
