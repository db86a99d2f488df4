// The movement check of move entry and the promotion rule.
#include <gtest/gtest.h>

#include "core/text/sjis_literal.h"
#include "core/rules/move.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {
using namespace movra::literals;

Board BoardOf(const char* sfen) {
    std::string error;
    auto p = ParseSfen(sfen, &error);
    EXPECT_TRUE(p) << error;
    return p ? p->position.board : Board{};
}

Square Sq(int file, int rank) { return Square{std::uint8_t(file), std::uint8_t(rank)}; }
Square SenteHand(int k) { return Square{location::kSenteHand, std::uint8_t(k)}; }
Square GoteHand(int k) { return Square{location::kGoteHand, std::uint8_t(k)}; }

// Records every question and answers as told.
struct Asker {
    bool answer = false;
    std::vector<std::string> asked;
    ConfirmIllegalMove fn() {
        return [this](const std::string& q) {
            asked.push_back(q);
            return answer;
        };
    }
};

constexpr PieceCode G(PieceCode c) { return PieceCode(c + 14); }

TEST(CheckMoveDrops, PawnsLancesAndKnightsAtTheEdge) {
    Board b = BoardOf("4k4/9/9/9/9/9/9/9/4K4 b 2P2L2N 1");
    Asker no;
    EXPECT_TRUE(CheckMove(SenteHand(1), Sq(5, 2), piece::Fu, b, no.fn()));
    EXPECT_FALSE(CheckMove(SenteHand(1), Sq(3, 1), piece::Fu, b, no.fn()));
    EXPECT_FALSE(CheckMove(SenteHand(2), Sq(3, 1), piece::Kyo, b, no.fn()));
    EXPECT_TRUE(CheckMove(SenteHand(3), Sq(3, 3), piece::Kei, b, no.fn()));
    EXPECT_FALSE(CheckMove(SenteHand(3), Sq(3, 2), piece::Kei, b, no.fn()));
    // Gote's last ranks are 9 and 8.
    EXPECT_FALSE(CheckMove(GoteHand(1), Sq(3, 9), G(piece::Fu), b, no.fn()));
    EXPECT_FALSE(CheckMove(GoteHand(3), Sq(3, 8), G(piece::Kei), b, no.fn()));
    EXPECT_TRUE(CheckMove(GoteHand(3), Sq(3, 7), G(piece::Kei), b, no.fn()));
    EXPECT_EQ(no.asked.size(), 5u);
    EXPECT_EQ(no.asked[0], "反則手です！\rこのまま入力しますか？"_sj);
}

TEST(CheckMoveDrops, DeadEndDropIsEnteredWhenTheUserSaysYes) {
    Board b = BoardOf("4k4/9/9/9/9/9/9/9/4K4 b P 1");
    Asker yes{true, {}};
    EXPECT_TRUE(CheckMove(SenteHand(1), Sq(3, 1), piece::Fu, b, yes.fn()));
    EXPECT_EQ(yes.asked.size(), 1u);
}

TEST(CheckMoveDrops, DoubledPawnCountsOnlyTheMoversUnpromotedPawn) {
    Asker no;
    // Own と on the file: legal.
    EXPECT_TRUE(CheckMove(SenteHand(1), Sq(5, 5), piece::Fu, BoardOf("4k4/9/4+P4/9/9/9/9/9/4K4 b P 1"), no.fn()));
    // Opponent's pawn on the file: legal.
    EXPECT_TRUE(CheckMove(SenteHand(1), Sq(5, 5), piece::Fu, BoardOf("4k4/4p4/9/9/9/9/9/9/4K4 b P 1"), no.fn()));
    // Own pawn on the file: 二歩.
    EXPECT_FALSE(CheckMove(SenteHand(1), Sq(5, 5), piece::Fu, BoardOf("4k4/9/9/9/9/9/4P4/9/4K4 b P 1"), no.fn()));
    EXPECT_FALSE(CheckMove(GoteHand(1), Sq(5, 5), G(piece::Fu), BoardOf("4k4/4p4/9/9/9/9/9/9/4K4 w p 1"), no.fn()));
    EXPECT_TRUE(CheckMove(SenteHand(5), Sq(5, 1), piece::Kin, BoardOf("4k4/9/9/9/9/9/9/9/4K4 b G 1"), no.fn()));
}

TEST(CheckMoveBoard, StepPiecesBothSides) {
    Board b = BoardOf("4k4/9/9/9/4g4/9/9/9/4K4 b - 1");
    Asker no;
    // Gote's gold on 5五 moves "forward" toward rank 9.
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(5, 6), G(piece::Kin), b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(4, 6), G(piece::Kin), b, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(5, 5), Sq(4, 4), G(piece::Kin), b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(5, 4), G(piece::Kin), b, no.fn()));
    // Sente's silver: forward, forward diagonals, backward diagonals; not sideways or back.
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(5, 4), piece::Gin, b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(4, 6), piece::Gin, b, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(5, 5), Sq(4, 5), piece::Gin, b, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(5, 5), Sq(5, 6), piece::Gin, b, no.fn()));
    // Knights jump two ranks forward, one file aside.
    EXPECT_TRUE(CheckMove(Sq(2, 9), Sq(3, 7), piece::Kei, b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(2, 9), Sq(1, 7), piece::Kei, b, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(2, 9), Sq(2, 7), piece::Kei, b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(2, 1), Sq(3, 3), G(piece::Kei), b, no.fn()));
    // A pawn one step only; a king one step in any direction.
    EXPECT_FALSE(CheckMove(Sq(5, 7), Sq(5, 5), piece::Fu, b, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(5, 9), Sq(4, 8), piece::Gyoku, b, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(5, 9), Sq(5, 7), piece::Gyoku, b, no.fn()));
}

TEST(CheckMoveBoard, SlidersWalkTheirLine) {
    Asker no;
    // A bishop blocked on 7七 cannot reach 6六... but captures the blocker itself.
    Board blocked = BoardOf("4k4/9/9/9/9/9/2p6/1B7/4K4 b - 1");
    EXPECT_FALSE(CheckMove(Sq(8, 8), Sq(6, 6), piece::Kaku, blocked, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(8, 8), Sq(7, 7), piece::Kaku, blocked, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(8, 8), Sq(8, 6), piece::Kaku, blocked, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(8, 8), Sq(9, 7), piece::Kaku, blocked, no.fn()));
    // A rook eight squares along its file (step ±1) and across the board (step ±9).
    Board open = BoardOf("4k4/9/9/9/9/9/9/9/R3K4 b - 1");
    EXPECT_TRUE(CheckMove(Sq(9, 9), Sq(9, 1), piece::Hi, open, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(9, 9), Sq(6, 9), piece::Hi, open, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(9, 9), Sq(4, 9), piece::Hi, open, no.fn()));  // king on 5九 in between
    EXPECT_FALSE(CheckMove(Sq(9, 9), Sq(8, 8), piece::Hi, open, no.fn()));
    // A lance only forward and only through empty squares.
    Board lance = BoardOf("4k4/9/9/9/8p/9/9/9/4K3L b - 1");
    EXPECT_TRUE(CheckMove(Sq(1, 9), Sq(1, 5), piece::Kyo, lance, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(1, 9), Sq(1, 4), piece::Kyo, lance, no.fn()));
    // Horse one step orthogonally, dragon one step diagonally: no slider walk needed.
    Board promoted = BoardOf("4k4/9/9/9/4+B4/9/2+R6/9/4K4 b - 1");
    EXPECT_TRUE(CheckMove(Sq(5, 5), Sq(5, 4), piece::Uma, promoted, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(5, 5), Sq(5, 3), piece::Uma, promoted, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(7, 7), Sq(6, 6), piece::Ryu, promoted, no.fn()));
    EXPECT_TRUE(CheckMove(Sq(7, 7), Sq(7, 1), piece::Ryu, promoted, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(7, 7), Sq(5, 5), piece::Ryu, promoted, no.fn()));
    // A gote bishop goes the same way through the raw displacement.
    Board goteBishop = BoardOf("4k4/1b7/9/9/9/9/9/9/4K4 w - 1");
    EXPECT_TRUE(CheckMove(Sq(8, 2), Sq(2, 8), G(piece::Kaku), goteBishop, no.fn()));
    EXPECT_FALSE(CheckMove(Sq(8, 2), Sq(1, 8), G(piece::Kaku), goteBishop, no.fn()));
    // Every refused move asked once; a legal one never asks.
    EXPECT_EQ(no.asked.size(), 8u);
}

TEST(PromotionRule, ZonesForcedAndOptional) {
    EXPECT_EQ(PromotionOption(piece::Fu, Sq(5, 2), Sq(5, 1)), Promotion::Forced);
    EXPECT_EQ(PromotionOption(piece::Fu, Sq(5, 4), Sq(5, 3)), Promotion::Optional);
    EXPECT_EQ(PromotionOption(piece::Fu, Sq(5, 5), Sq(5, 4)), Promotion::None);
    EXPECT_EQ(PromotionOption(piece::Kyo, Sq(1, 9), Sq(1, 1)), Promotion::Forced);
    EXPECT_EQ(PromotionOption(piece::Kei, Sq(2, 4), Sq(3, 2)), Promotion::Forced);
    EXPECT_EQ(PromotionOption(piece::Kei, Sq(2, 5), Sq(3, 3)), Promotion::Optional);
    // A silver leaving the zone backwards may promote.
    EXPECT_EQ(PromotionOption(piece::Gin, Sq(4, 3), Sq(5, 4)), Promotion::Optional);
    EXPECT_EQ(PromotionOption(piece::Kaku, Sq(8, 8), Sq(2, 2)), Promotion::Optional);
    EXPECT_EQ(PromotionOption(piece::Kin, Sq(5, 4), Sq(5, 3)), Promotion::None);
    EXPECT_EQ(PromotionOption(piece::Uma, Sq(5, 4), Sq(5, 3)), Promotion::None);
    EXPECT_EQ(PromotionOption(piece::Gyoku, Sq(5, 4), Sq(5, 3)), Promotion::None);
    // Gote's zone is ranks 7-9.
    EXPECT_EQ(PromotionOption(G(piece::Fu), Sq(5, 8), Sq(5, 9)), Promotion::Forced);
    EXPECT_EQ(PromotionOption(G(piece::Kei), Sq(5, 6), Sq(4, 8)), Promotion::Forced);
    EXPECT_EQ(PromotionOption(G(piece::Gin), Sq(5, 7), Sq(5, 6)), Promotion::Optional);
    EXPECT_EQ(PromotionOption(G(piece::Hi), Sq(5, 3), Sq(5, 6)), Promotion::None);
    // A drop never promotes.
    EXPECT_EQ(PromotionOption(piece::Fu, SenteHand(1), Sq(5, 2)), Promotion::None);
}

TEST(MoveCodes, ParseAndMake) {
    EXPECT_TRUE(MoveCode::Parse("7776"));
    EXPECT_EQ(MoveCode::Parse("7776")->str(), "7776 ");
    EXPECT_TRUE(MoveCode::Parse("2822+")->promotes());
    EXPECT_TRUE(MoveCode::Parse("0155 ")->isDrop());
    EXPECT_FALSE(MoveCode::Parse("0955"));   // no kind 9
    EXPECT_FALSE(MoveCode::Parse("0155+"));  // a drop does not promote
    EXPECT_FALSE(MoveCode::Parse("7706"));
    EXPECT_FALSE(MoveCode::Parse("77a6"));
    EXPECT_FALSE(MoveCode::Parse("7776x"));
    EXPECT_EQ(MakeMoveCode(GoteHand(3), Sq(3, 7), ' ').str(), "0337 ");
    EXPECT_EQ(MakeMoveCode(Sq(8, 8), Sq(2, 2), '+').str(), "8822+");
}

}  // namespace
}  // namespace movra
