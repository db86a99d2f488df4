// Conversions on piece codes: kinds, promotion, capture, the editing cycle, letters and the
// engine numbering.
#include <gtest/gtest.h>

#include "core/rules/piece.h"

namespace movra {
namespace {

TEST(PieceConversions, KindsAndTheirCodes) {
    EXPECT_EQ(KindOf(0), 0);
    EXPECT_EQ(KindOf(piece::To), kind::Fu);
    EXPECT_EQ(KindOf(piece::Ryu + 14), kind::Hi);
    EXPECT_EQ(KindOf(piece::Kin + 14), kind::Kin);
    EXPECT_EQ(KindOf(29), 0);
    const PieceCode expected[] = {0, 1, 3, 5, 7, 9, 10, 12, 14};
    for (int k = 0; k <= 8; ++k) EXPECT_EQ(CodeOfKind(PieceKind(k)), expected[k]);
    EXPECT_EQ(CodeOfKind(9), 0);
}

TEST(PieceConversions, PromoteUnpromoteAndCapture) {
    EXPECT_EQ(Promote(piece::Kaku), piece::Uma);
    EXPECT_EQ(Promote(piece::Kin), piece::Kin);  // 金 and 玉 never promote
    EXPECT_EQ(Promote(piece::Gyoku + 14), piece::Gyoku + 14);
    EXPECT_EQ(Promote(piece::To), piece::To);
    EXPECT_EQ(Unpromote(piece::Ryu + 14), piece::Hi + 14);
    EXPECT_EQ(Unpromote(piece::NariGin), piece::Gin);
    EXPECT_EQ(Unpromote(piece::Kin), piece::Kin);
    EXPECT_EQ(Captured(piece::Uma), piece::Kaku + 14);
    EXPECT_EQ(Captured(piece::To + 14), piece::Fu);
    EXPECT_EQ(Captured(piece::Gyoku), piece::Gyoku + 14);
    EXPECT_EQ(Captured(0), 0);
}

TEST(PieceConversions, EditCycleRunsThroughBothSides) {
    PieceCode c = piece::Fu;
    const PieceCode cycle[] = {piece::To, piece::Fu + 14, piece::To + 14, piece::Fu};
    for (PieceCode next : cycle) {
        c = EditCycle(c);
        EXPECT_EQ(c, next);
    }
    EXPECT_EQ(EditCycle(piece::Kin), piece::Kin + 14);
    EXPECT_EQ(EditCycle(piece::Kin + 14), piece::Kin);
    EXPECT_EQ(EditCycle(piece::Gyoku), piece::Gyoku + 14);
}

TEST(PieceConversions, LettersOfPositionTexts) {
    EXPECT_EQ(CodeToLetter(piece::Gyoku), '1');
    EXPECT_EQ(CodeToLetter(piece::Fu + 14), '8');
    EXPECT_EQ(CodeToLetter(piece::Ryu), 'B');
    EXPECT_EQ(CodeToLetter(piece::To), 'H');
    EXPECT_EQ(CodeToLetter(0), '0');
    for (PieceCode c = 1; c <= 28; ++c) {
        EXPECT_EQ(LetterToCode(CodeToLetter(c), IsGote(c) ? '2' : '1'), c) << int(c);
    }
    EXPECT_EQ(LetterToCode('A', '1'), piece::Gyoku);
    EXPECT_EQ(LetterToCode('D', '2'), piece::Kin + 14);
    EXPECT_EQ(LetterToCode('5', '3'), 0);
    EXPECT_EQ(LetterToCode('Z', '1'), 0);
    EXPECT_EQ(LetterToCode('0', '1'), 0);
}

TEST(PieceConversions, EngineNumbers) {
    EXPECT_EQ(EngineNumber(piece::Fu), 1);
    EXPECT_EQ(EngineNumber(piece::Uma), 14);
    EXPECT_EQ(EngineNumber(piece::Ryu + 14), -15);
    EXPECT_EQ(EngineNumber(piece::Gyoku + 14), -8);
    EXPECT_EQ(EngineNumber(0), 0);
}

}  // namespace
}  // namespace movra
