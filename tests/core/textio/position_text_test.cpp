// The position text diagrams, byte for byte: the standard characters and the gaiji form.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/text/cp932.h"
#include "core/record/kif_data.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "core/textio/position_text.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;

std::vector<std::string> Sj(std::initializer_list<std::string_view> utf8) {
    std::vector<std::string> out;
    for (std::string_view l : utf8) out.push_back(Utf8ToCp932(l));
    return out;
}

// A character of the user-defined font: F0 and the given second byte.
std::string G(int second) { return {char(0xF0), char(second)}; }

// Moves `count` pieces of a kind from the box into a hand (side 1 sente, 2 gote).
void ToHand(BoardPosition& p, PieceKind k, int count, int side) {
    for (int i = 1; i <= kPieceCount && count > 0; ++i) {
        PieceEntry& e = p.pieces[std::size_t(i)];
        if (e.file != location::kBox || e.rank != k) continue;
        e.file = side == 1 ? location::kSenteHand : location::kGoteHand;
        e.code = side == 1 ? CodeOfKind(k) : PieceCode(CodeOfKind(k) + piece::kGoteOffset);
        e.present = 1;
        --count;
    }
    ASSERT_EQ(count, 0) << "not enough pieces of that kind in the box";
    Rebuild(p);
}

TEST(StandardPositionText, TheEvenGameStart) {
    BoardPosition p;
    SetUpStandard(p, '0');
    const PositionTextHeader h = GameViewHeader('0', 0, 0, "羽生"_sj, "森内"_sj);
    EXPECT_EQ(StandardPositionLines(p, h),
              Sj({"先手：羽生", "後手：森内",
                  "|v香v桂v銀v金v玉v金v銀v桂v香",
                  "| ・v飛 ・ ・ ・ ・ ・v角 ・",
                  "|v歩v歩v歩v歩v歩v歩v歩v歩v歩",
                  "| ・ ・ ・ ・ ・ ・ ・ ・ ・",
                  "| ・ ・ ・ ・ ・ ・ ・ ・ ・",
                  "| ・ ・ ・ ・ ・ ・ ・ ・ ・",
                  "| 歩 歩 歩 歩 歩 歩 歩 歩 歩",
                  "| ・ 角 ・ ・ ・ ・ ・ 飛 ・",
                  "| 香 桂 銀 金 玉 金 銀 桂 香",
                  "先手持駒：", "後手持駒：", "手数=0 まで", "先手番"}));
}

TEST(StandardPositionText, HandsPromotedPiecesAndTheSideAfterAMove) {
    TKifData game;
    game.ResetHeader(0);
    game.ClearMoves();
    game.SetUpStandard();
    // ▲７六歩 △３四歩 ▲２二角成 △同銀: sente holds a 角, gote's bishop became a 馬 and was taken.
    for (const char* c : {"7776", "3334", "8822+", "3122"}) ASSERT_TRUE(game.AppendAndApply(*MoveCode::Parse(c)));
    game.GoToMove(3);
    std::vector<std::string> lines =
        StandardPositionLines(game.position, GameViewHeader('0', 0, 3, "A", "B"));
    EXPECT_EQ(lines[3], Utf8ToCp932("| ・v飛 ・ ・ ・ ・ ・ 馬 ・"));
    EXPECT_EQ(lines[11], Utf8ToCp932("先手持駒：角 "));
    EXPECT_EQ(lines[13], Utf8ToCp932("手数=3 まで"));
    EXPECT_EQ(lines[14], Utf8ToCp932("後手番"));

    // One 角, two 金 and eighteen 歩 in sente's hand; promoted minor pieces read 杏 圭 全.
    BoardPosition p;
    SetUpEmpty(p);
    ToHand(p, kind::Kaku, 1, 1);
    ToHand(p, kind::Kin, 2, 1);
    ToHand(p, kind::Fu, 18, 1);
    ToHand(p, kind::Gin, 1, 2);
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[std::size_t(i)];
        if (e.file == location::kBox && e.rank == kind::Kyo) {
            e.code = piece::NariKyo + piece::kGoteOffset;
            e.file = 1;
            e.rank = 9;
            break;
        }
    }
    Rebuild(p);
    lines = StandardPositionLines(p, GameViewHeader('0', 0, 0, "", ""));
    EXPECT_EQ(lines[10], Utf8ToCp932("| ・ ・ ・ ・ 玉 ・ ・ ・v杏"));
    EXPECT_EQ(lines[11], Utf8ToCp932("先手持駒：角 金二 歩十八 "));
    EXPECT_EQ(lines[12], Utf8ToCp932("後手持駒：銀 "));
}

TEST(StandardPositionText, HandicapGamesNameTheWeakerAndTheStrongerSide) {
    BoardPosition p;
    SetUpStandard(p, '2');  // 角落ち: 上手 moves first
    PositionTextHeader h = GameViewHeader('2', 0, 0, "下"_sj, "上"_sj);
    EXPECT_EQ(Cp932ToUtf8(h.senteLine), "下手：下");
    EXPECT_EQ(Cp932ToUtf8(h.goteLine), "上手：上");
    EXPECT_EQ(Cp932ToUtf8(h.senteHandTitle), "下手持駒：");
    EXPECT_EQ(Cp932ToUtf8(h.goteHandTitle), "上手持駒：");
    EXPECT_EQ(Cp932ToUtf8(h.sideText), "上手番");
    EXPECT_EQ(Cp932ToUtf8(GameViewHeader('2', 0, 1, "", "").sideText), "下手番");
    EXPECT_EQ(StandardPositionLines(p, h)[3], Utf8ToCp932("| ・v飛 ・ ・ ・ ・ ・ ・ ・"));
}

TEST(StandardPositionText, WhileEditingThereAreNoNamesAndMoveZero) {
    BoardPosition p;
    SetUpEmpty(p);
    const std::vector<std::string> diagram =
        StandardPositionLines(p, EditingHeader(EditingFileSideText()));
    EXPECT_EQ(diagram[0], Utf8ToCp932("先手："));
    EXPECT_EQ(diagram[1], Utf8ToCp932("後手："));
    EXPECT_EQ(diagram[13], Utf8ToCp932("手数=0 まで"));
    EXPECT_EQ(diagram[14], Utf8ToCp932("先手（下手）番"));
    // A file gets three empty lines before the diagram.
    const std::vector<std::string> file = PositionFileLines(diagram);
    ASSERT_EQ(file.size(), diagram.size() + 3);
    EXPECT_EQ(file[0] + file[1] + file[2], "");
    EXPECT_EQ(file[3], diagram[0]);
    // Neither form has a side text of its own there: the empty one is an empty last line.
    EXPECT_EQ(StandardPositionLines(p, EditingHeader("")).back(), "");
}

TEST(StandardPositionText, TheClipboardAsksForTheSideWhileEditing) {
    RecordingPrompter prompter;
    prompter.answers = {Answer::Yes, Answer::No, Answer::Cancel};
    EXPECT_EQ(AskEditingSide(prompter), std::optional<std::string>("先手番"_sj));
    EXPECT_EQ(AskEditingSide(prompter), std::optional<std::string>("後手番"_sj));
    EXPECT_EQ(AskEditingSide(prompter), std::nullopt);
    EXPECT_EQ(Cp932ToUtf8(prompter.shown[0].text),
              "手番は先手（下手）番でよろしいですか？\r後手（上手）番の場合は「いいえ」を押して下さい。");
}

TEST(StandardPositionText, KanjiCounts) {
    const char* expected[] = {"", "", "二", "三", "四", "五", "六", "七", "八", "九", "十",
                              "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八"};
    for (int n = 0; n <= 18; ++n) EXPECT_EQ(Cp932ToUtf8(KanjiCount(n)), expected[n]) << n;
}

TEST(GaijiPositionText, TheFrameTheBoardAndBothHandColumns) {
    // Every piece but the kings in hand: sente 角, 金 2, 歩 12; gote all seven kinds.
    BoardPosition p;
    SetUpEmpty(p);
    ToHand(p, kind::Kaku, 1, 1);
    ToHand(p, kind::Kin, 2, 1);
    ToHand(p, kind::Fu, 12, 1);
    ToHand(p, kind::Hi, 2, 2);
    ToHand(p, kind::Kaku, 1, 2);
    ToHand(p, kind::Kin, 2, 2);
    ToHand(p, kind::Gin, 4, 2);
    ToHand(p, kind::Kei, 4, 2);
    ToHand(p, kind::Kyo, 4, 2);
    ToHand(p, kind::Fu, 6, 2);
    const std::vector<std::string> lines = GaijiPositionLines(p, GameViewHeader('0', 0, 0, "A", "B"));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], Utf8ToCp932("先手：A"));
    EXPECT_EQ(lines[2], "    " + G(0x40) + G(0x41) + G(0x42) + G(0x43) + G(0x44) + G(0x45) +
                            G(0x46) + G(0x47) + G(0x48) + G(0x49) + "    ");
    const std::string empty4 = G(0x93) + G(0x93) + G(0x93) + G(0x93);
    const std::string emptyRow = empty4 + empty4 + G(0x93);
    // Gote's column reads upwards from rank 9: entry 1 (blank) on rank 9, its mark on rank 8,
    // its pieces 飛 角 金 銀 桂 香 歩 on ranks 7 to 1. Sente's reads down from rank 1.
    const std::string rows[9] = {
        G(0x61) + "6 " + empty4 + G(0x9D) + empty4 + G(0x4A) + "    ",
        G(0x65) + "4 " + emptyRow + G(0x4B) + G(0x54) + "  ",
        G(0x69) + "4 " + emptyRow + G(0x4C) + G(0x74) + "  ",
        G(0x6D) + "4 " + emptyRow + G(0x4D) + G(0x70) + "2 ",
        G(0x71) + "2 " + emptyRow + G(0x4E) + G(0x60) + "12",
        G(0x75) + "  " + emptyRow + G(0x4F) + "    ",
        G(0x79) + "2 " + emptyRow + G(0x50) + "    ",
        G(0x55) + "  " + emptyRow + G(0x51) + "    ",
        "    " + empty4 + G(0x9C) + empty4 + G(0x52) + "    ",
    };
    for (int r = 0; r < 9; ++r) EXPECT_EQ(lines[std::size_t(3 + r)], rows[r]) << "rank " << r + 1;
    EXPECT_EQ(lines[12], Utf8ToCp932("手数=0 まで"));
    EXPECT_EQ(lines[13], Utf8ToCp932("先手番"));
}

TEST(GaijiPositionText, PiecesOnTheBoard) {
    BoardPosition p;
    SetUpStandard(p, '0');
    const std::vector<std::string> lines = GaijiPositionLines(p, EditingHeader(""));
    // Rank 1: gote's 香 桂 銀 金 玉 金 銀 桂 香, each the sente glyph + 1; rank 8: 角 and 飛.
    EXPECT_EQ(lines[3], "    " + G(0x85) + G(0x89) + G(0x8D) + G(0x91) + G(0x9D) + G(0x91) +
                            G(0x8D) + G(0x89) + G(0x85) + G(0x4A) + "    ");
    EXPECT_EQ(lines[10], G(0x55) + "  " + G(0x93) + G(0x94) + G(0x93) + G(0x93) + G(0x93) +
                             G(0x93) + G(0x93) + G(0x98) + G(0x93) + G(0x51) + "    ");
    EXPECT_EQ(lines[4].substr(4, 18), G(0x93) + G(0x99) + G(0x93) + G(0x93) + G(0x93) +
                                          G(0x93) + G(0x93) + G(0x95) + G(0x93));
    EXPECT_EQ(lines[9].substr(4, 2), G(0x80)) << "sente's 歩";
    EXPECT_EQ(lines[4].substr(22, 6), G(0x4B) + G(0x54) + "  ") << "sente's mark on rank 2";
}

}  // namespace
}  // namespace movra
