// Move-list lines and relative words, checked byte for byte on positions set up for each rule:
// the disambiguation of golds, silvers, knights, rooks, bishops and their promoted forms for both
// sides, drops, promotion words at the edges of the zones, 同 and its space, handicap games.
#include "core/rules/notation.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/range_error.h"
#include "core/rules/sfen.h"

namespace movra {
namespace {

using namespace movra::literals;

::testing::AssertionResult SameBytes(const std::string& actual, std::string_view expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got \"" << Cp932ToUtf8(actual) << "\", want \""
                                         << Cp932ToUtf8(expected) << "\"";
}

// An SFEN from a list of placed pieces, e.g. "K59 G69 g41 +R11": the SFEN letter (lower case for
// gote, "+" for promoted), then file and rank.
std::string Sfen(const std::string& pieces, char side = 'b', const std::string& hands = "-") {
    std::array<std::array<std::string, 10>, 10> at{};  // [rank][file]
    std::istringstream in(pieces);
    for (std::string p; in >> p;) {
        const int file = p[p.size() - 2] - '0';
        const int rank = p[p.size() - 1] - '0';
        at[rank][file] = p.substr(0, p.size() - 2);
    }
    std::string sfen;
    for (int rank = 1; rank <= 9; ++rank) {
        int empty = 0;
        for (int file = 9; file >= 1; --file) {
            if (at[rank][file].empty()) {
                ++empty;
                continue;
            }
            if (empty) sfen += std::to_string(empty);
            empty = 0;
            sfen += at[rank][file];
        }
        if (empty) sfen += std::to_string(empty);
        if (rank < 9) sfen += '/';
    }
    return sfen + ' ' + side + ' ' + hands + " 1";
}

struct Played {
    std::string line;
    std::string text;  // the move text, from byte 8 of the line
    std::string word;
};

// Plays one move of the side to move of the SFEN as move `number` of an even game.
Played Play(const std::string& sfen, const char* code, int number = 1,
            const MoveRecord& previous = {}) {
    std::optional<SfenPosition> start = ParseSfen(sfen);
    EXPECT_TRUE(start) << sfen;
    if (!start) return {};
    BoardPosition p = start->position;
    const int side = start->sideToMove;
    const int parity = SideToMove(number, 0, '0') == side ? 0 : 1;
    MoveRecord m;
    EXPECT_TRUE(ResolveMove(p, *MoveCode::Parse(code), side, m)) << code;
    const PieceCode before = ApplyMove(p, m);
    Played out;
    out.line = MoveLine(number, parity, '0', p.board, before, m, previous);
    out.text = out.line.substr(kMoveTextOffset);
    out.word = RelativeWord(before, m, p.board);
    return out;
}

std::string Text(const std::string& sfen, const char* code) { return Play(sfen, code).text; }

MoveRecord EndingOn(int file, int rank) {
    MoveRecord m;
    m.toFile = std::uint8_t(file);
    m.toRank = std::uint8_t(rank);
    return m;
}

// --- golds -----------------------------------------------------------------------------------

TEST(RelativeWordGold, TwoGoldsFromTheLeftAndTheRight) {
    const std::string s = Sfen("k51 K19 G69 G49");
    EXPECT_TRUE(SameBytes(Text(s, "6958"), "５八金左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "4958"), "５八金右"_sj));
}

TEST(RelativeWordGold, StraightUpIsChoku) {
    const std::string s = Sfen("k51 K19 G69 G59");
    EXPECT_TRUE(SameBytes(Text(s, "5958"), "５八金直"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "6958"), "５八金左"_sj));
}

TEST(RelativeWordGold, StraightUpAgainstASidewaysGoldSaysUeWherePrintedRecordsOftenSayChoku) {
    // 直 is kept for a step straight up while another candidate steps up diagonally; against a
    // gold that steps sideways the rule says 上.
    const std::string s = Sfen("k51 K19 G49 G38");
    EXPECT_TRUE(SameBytes(Text(s, "4948"), "４八金上"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "3848"), "４八金寄"_sj));
}

TEST(RelativeWordGold, SidewaysAgainstUpAndBack) {
    // 4九 steps sideways to 5九 while 5八 could step back: 寄 and 引.
    const std::string s = Sfen("k51 K19 G49 G58");
    EXPECT_TRUE(SameBytes(Text(s, "4959"), "５九金寄"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "5859"), "５九金引"_sj));
    // 4八 steps sideways to 5八 while 5九 could step up: 寄 and 上.
    const std::string t = Sfen("k51 K19 G48 G59");
    EXPECT_TRUE(SameBytes(Text(t, "4858"), "５八金寄"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "5958"), "５八金上"_sj));
}

TEST(RelativeWordGold, ThreeGoldsBehindASquare) {
    const std::string s = Sfen("k51 K19 G69 G59 G49");
    EXPECT_TRUE(SameBytes(Text(s, "6958"), "５八金左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "5958"), "５八金直"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "4958"), "５八金右"_sj));
}

TEST(RelativeWordGold, ThreeGoldsNeedTwoWords) {
    // 4九 (behind right), 5九 (behind) and 4八 (right) around 5八.
    const std::string s = Sfen("k51 K19 G49 G59 G48");
    EXPECT_TRUE(SameBytes(Text(s, "4958"), "５八金右上"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "5958"), "５八金直"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "4858"), "５八金寄"_sj));
    // The mirror image on the left.
    const std::string t = Sfen("k51 K19 G69 G59 G68");
    EXPECT_TRUE(SameBytes(Text(t, "6958"), "５八金左上"_sj));
    // 4八 and 6八 both step sideways; 4九 behind on the right makes 右 alone ambiguous.
    const std::string u = Sfen("k51 K19 G48 G68 G49");
    EXPECT_TRUE(SameBytes(Text(u, "4858"), "５八金右寄"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "6858"), "５八金左"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "4958"), "５八金上"_sj));
    const std::string v = Sfen("k51 K19 G48 G68 G69");
    EXPECT_TRUE(SameBytes(Text(v, "6858"), "５八金左寄"_sj));
}

TEST(RelativeWordGold, GoldsInFrontDiagonalsAreNoCandidates) {
    // A gold cannot step diagonally back, so golds on 4七 and 6七 do not compete for 5八.
    const std::string s = Sfen("k51 K19 G47 G67 G59");
    EXPECT_TRUE(SameBytes(Text(s, "5958"), "５八金"_sj));
}

TEST(RelativeWordGold, PromotedPiecesCountOnlyTheSameCode) {
    // と and 成銀 move alike but have different names: no word between them.
    const std::string s = Sfen("k51 K19 +P43 +S63");
    EXPECT_TRUE(SameBytes(Text(s, "4352"), "５二と"_sj));
    const std::string t = Sfen("k51 K19 +P43 +P63");
    EXPECT_TRUE(SameBytes(Text(t, "4352"), "５二と右"_sj));
    const std::string u = Sfen("k91 K19 +S43 +S52");
    EXPECT_TRUE(SameBytes(Text(u, "4353"), "５三成銀寄"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "5253"), "５三成銀引"_sj));
}

// --- silvers ---------------------------------------------------------------------------------

TEST(RelativeWordSilver, PairsFromBehind) {
    const std::string s = Sfen("k51 K19 S48 S68");
    EXPECT_TRUE(SameBytes(Text(s, "4857"), "５七銀右"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "6857"), "５七銀左"_sj));
    const std::string t = Sfen("k51 K19 S48 S58");
    EXPECT_TRUE(SameBytes(Text(t, "5857"), "５七銀直"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "4857"), "５七銀右"_sj));
}

TEST(RelativeWordSilver, PairsFromTheFront) {
    const std::string s = Sfen("k51 K19 S46 S66");
    EXPECT_TRUE(SameBytes(Text(s, "4657"), "５七銀右"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "6657"), "５七銀左"_sj));
    // One in front, one behind: 引 and 上.
    const std::string t = Sfen("k51 K19 S46 S48");
    EXPECT_TRUE(SameBytes(Text(t, "4657"), "５七銀引"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "4857"), "５七銀上"_sj));
    // Three: the front right one needs both words.
    const std::string u = Sfen("k51 K19 S46 S66 S48");
    EXPECT_TRUE(SameBytes(Text(u, "4657"), "５七銀右引"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "6657"), "５七銀左"_sj));
    const std::string v = Sfen("k51 K19 S46 S66 S68");
    EXPECT_TRUE(SameBytes(Text(v, "6657"), "５七銀左引"_sj));
    const std::string w = Sfen("k51 K19 S46 S48 S68");
    EXPECT_TRUE(SameBytes(Text(w, "4857"), "５七銀右上"_sj));
    EXPECT_TRUE(SameBytes(Text(w, "6857"), "５七銀左"_sj));
}

TEST(RelativeWordSilver, SilversThatCannotComeAreIgnored) {
    // A silver in front (5六) cannot step straight back, one beside (4七) cannot step sideways.
    const std::string s = Sfen("k51 K19 S56 S47 S68");
    EXPECT_TRUE(SameBytes(Text(s, "6857"), "５七銀"_sj));
}

TEST(RelativeWordSilver, WordComesBeforeThePromotionWord) {
    const std::string s = Sfen("k51 K19 S44 S64");
    EXPECT_TRUE(SameBytes(Text(s, "4453+"), "５三銀右成"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "6453"), "５三銀左不成"_sj));
}

// --- knights ---------------------------------------------------------------------------------

TEST(RelativeWordKnight, SenteAndGoteMirrored) {
    const std::string s = Sfen("k51 K19 N67 N47");
    EXPECT_TRUE(SameBytes(Text(s, "6755"), "５五桂左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "4755"), "５五桂右"_sj));
    const std::string g = Sfen("k91 K19 n63 n43", 'w');
    EXPECT_TRUE(SameBytes(Text(g, "6355"), "５五桂右"_sj));
    EXPECT_TRUE(SameBytes(Text(g, "4355"), "５五桂左"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 N37 N47"), "4735"), "３五桂"_sj));
}

TEST(RelativeWordKnight, PromotionAndItsRefusal) {
    const std::string s = Sfen("k51 K19 N15 N35");
    EXPECT_TRUE(SameBytes(Text(s, "1523+"), "２三桂右成"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "3523"), "２三桂左不成"_sj));
}

// --- rooks and dragons -----------------------------------------------------------------------

TEST(RelativeWordRook, TwoRooksOnARank) {
    const std::string s = Sfen("k99 K11 R85 R25");
    EXPECT_TRUE(SameBytes(Text(s, "8555"), "５五飛左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "2555"), "５五飛右"_sj));
    // One on the file, one on the rank: 上 (or 引) and 寄.
    const std::string t = Sfen("k99 K11 R58 R25");
    EXPECT_TRUE(SameBytes(Text(t, "5855"), "５五飛上"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "2555"), "５五飛寄"_sj));
    const std::string u = Sfen("k99 K11 R54 R25");
    EXPECT_TRUE(SameBytes(Text(u, "5455"), "５五飛引"_sj));
}

TEST(RelativeWordRook, OtherRookBehindTheMoverGivesNoWord) {
    // The far rook on 1五 was blocked by the one on 2五.
    EXPECT_TRUE(SameBytes(Text(Sfen("k99 K11 R25 R15"), "2555"), "５五飛"_sj));
}

TEST(RelativeWordDragon, TwoCandidates) {
    const std::string s = Sfen("k55 K59 +R91 +R11");
    EXPECT_TRUE(SameBytes(Text(s, "9151"), "５一竜左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "1151"), "５一竜右"_sj));
    // A dragon's diagonal step against a slide along the rank.
    const std::string t = Sfen("k55 K59 +R52 +R11");
    EXPECT_TRUE(SameBytes(Text(t, "5241"), "４一竜上"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "1141"), "４一竜寄"_sj));
    // A neighbouring dragon against a far one.
    const std::string u = Sfen("k55 K59 +R48 +R97");
    EXPECT_TRUE(SameBytes(Text(u, "9747"), "４七竜寄"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "4847"), "４七竜上"_sj));
}

TEST(RelativeWordDragon, DragonsOfBothFilesBehindUseSidesNotChoku) {
    // 5八 straight behind and 6八 diagonally behind both move up; the one on the file is told
    // by its side, not by 直 as a gold would be.
    const std::string s = Sfen("k11 K99 +R58 +R68");
    EXPECT_TRUE(SameBytes(Text(s, "5857"), "５七竜右"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "6857"), "５七竜左"_sj));
}

// --- bishops and horses ----------------------------------------------------------------------

TEST(RelativeWordBishop, TwoBishopsOnDifferentDiagonals) {
    const std::string s = Sfen("k51 K59 B99 B19");
    EXPECT_TRUE(SameBytes(Text(s, "9955"), "５五角左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "1955"), "５五角右"_sj));
    const std::string t = Sfen("k51 K59 B99 B44");
    EXPECT_TRUE(SameBytes(Text(t, "9955"), "５五角上"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "4455"), "５五角引"_sj));
}

TEST(RelativeWordBishop, FartherBishopOnTheSameDiagonalGivesNoWord) {
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K59 B19 B37"), "3755"), "５五角"_sj));
}

TEST(RelativeWordHorse, TwoCandidates) {
    const std::string s = Sfen("k59 K51 +B99 +B19");
    EXPECT_TRUE(SameBytes(Text(s, "9955"), "５五馬左"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "1955"), "５五馬右"_sj));
    // A neighbour's straight step against a far diagonal slide: 寄 and 引.
    const std::string t = Sfen("k59 K51 +B45 +B82");
    EXPECT_TRUE(SameBytes(Text(t, "4555"), "５五馬寄"_sj));
    EXPECT_TRUE(SameBytes(Text(t, "8255"), "５五馬引"_sj));
    // Two neighbours that both step up.
    const std::string u = Sfen("k59 K51 +B56 +B46");
    EXPECT_TRUE(SameBytes(Text(u, "5655"), "５五馬左"_sj));
    EXPECT_TRUE(SameBytes(Text(u, "4655"), "５五馬右"_sj));
}

// --- gote ------------------------------------------------------------------------------------

TEST(RelativeWordGote, DirectionsAreMirrored) {
    // The board turned round: 4一 is behind gote's left, 6一 behind its right.
    const std::string g = Sfen("k99 K19 g41 g61", 'w');
    EXPECT_TRUE(SameBytes(Text(g, "4152"), "５二金左"_sj));
    EXPECT_TRUE(SameBytes(Text(g, "6152"), "５二金右"_sj));
    const std::string c = Sfen("k99 K19 g41 g51", 'w');
    EXPECT_TRUE(SameBytes(Text(c, "5152"), "５二金直"_sj));
    const std::string s = Sfen("k99 K19 s62 s42", 'w');
    EXPECT_TRUE(SameBytes(Text(s, "6253"), "５三銀右"_sj));
    EXPECT_TRUE(SameBytes(Text(s, "4253"), "５三銀左"_sj));
    const std::string y = Sfen("k99 K19 s52 s64", 'w');
    EXPECT_TRUE(SameBytes(Text(y, "5253"), "５三銀上"_sj));
    EXPECT_TRUE(SameBytes(Text(y, "6453"), "５三銀引"_sj));
    const std::string r = Sfen("k55 K51 +r19 +r99", 'w');
    EXPECT_TRUE(SameBytes(Text(r, "1959"), "５九竜左"_sj));
    EXPECT_TRUE(SameBytes(Text(r, "9959"), "５九竜右"_sj));
    const std::string h = Sfen("k59 K51 +b11 +b91", 'w');
    EXPECT_TRUE(SameBytes(Text(h, "1155"), "５五馬左"_sj));
    EXPECT_TRUE(SameBytes(Text(h, "9155"), "５五馬右"_sj));
}

// --- drops -----------------------------------------------------------------------------------

TEST(RelativeWordDrop, DropsThatNeedUchi) {
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 G45", 'b', "G"), "0555"), "５五金打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 S56", 'b', "S"), "0455"), "５五銀打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 N47", 'b', "N"), "0355"), "５五桂打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 B99", 'b', "B"), "0655"), "５五角打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 R95", 'b', "R"), "0755"), "５五飛打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 L59", 'b', "L"), "0255"), "５五香打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 l51", 'w', "l"), "0255"), "５五香打"_sj));
}

TEST(RelativeWordDrop, DropsWithoutUchi) {
    // A gold on a front diagonal, a silver beside, a blocked lance, a lance of the other side.
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 G44", 'b', "G"), "0555"), "５五金"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 S45", 'b', "S"), "0455"), "５五銀"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 L59 P57", 'b', "L"), "0255"), "５五香"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 l59", 'b', "L"), "0255"), "５五香"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 N46", 'b', "N"), "0355"), "５五桂"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 P57", 'b', "P"), "0155"), "５五歩"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19", 'b', "B"), "0655"), "５五角"_sj));
}

TEST(RelativeWordDrop, PawnDropInFrontOfOwnPawnSaysUchiThoughPrintedRecordsNeverShowIt) {
    // Such a drop is a doubled pawn; move entry lets it through only when the user insists.
    EXPECT_TRUE(SameBytes(Text(Sfen("k51 K19 P56", 'b', "P"), "0155"), "５五歩打"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 p54", 'w', "p"), "0155"), "５五歩打"_sj));
}

TEST(RelativeWordDrop, KingAndPawnBoardMovesNeverGetAWord) {
    EXPECT_EQ(Play(Sfen("k51 K58 G69 G49"), "5859").word, "");
    EXPECT_EQ(Play(Sfen("k51 K19 P56 L59"), "5655").word, "");
}

// --- promotion words -------------------------------------------------------------------------

TEST(PromotionWord, SenteZoneEdges) {
    const std::string s = Sfen("k91 K19 S24");
    EXPECT_TRUE(SameBytes(Text(s, "2433"), "３三銀不成"_sj));  // entering
    EXPECT_TRUE(SameBytes(Text(s, "2433+"), "３三銀成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 S33"), "3324"), "２四銀不成"_sj));  // leaving
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 S35"), "3524"), "２四銀"_sj));      // outside
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 G34"), "3433"), "３三金"_sj));      // never
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 +S34"), "3433"), "３三成銀"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 B99"), "9922"), "２二角不成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 R24"), "2454"), "５四飛"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 R23"), "2353"), "５三飛不成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 P54"), "5453+"), "５三歩成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19", 'b', "S"), "0433"), "３三銀"_sj));  // a drop
}

TEST(PromotionWord, GoteZoneEdges) {
    const std::string g = Sfen("k91 K19 s76", 'w');
    EXPECT_TRUE(SameBytes(Text(g, "7677"), "７七銀不成"_sj));
    EXPECT_TRUE(SameBytes(Text(g, "7677+"), "７七銀成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 s77", 'w'), "7766"), "６六銀不成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 s75", 'w'), "7566"), "６六銀"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 s73", 'w'), "7364"), "６四銀"_sj));  // 3 is not 7
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 p56", 'w'), "5657"), "５七歩不成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 n25", 'w'), "2537"), "３七桂不成"_sj));
    EXPECT_TRUE(SameBytes(Text(Sfen("k91 K19 g66", 'w'), "6667"), "６七金"_sj));
}

// --- the line --------------------------------------------------------------------------------

TEST(MoveLineLayout, NumberCommentMarkAndSideMark) {
    BoardPosition p;
    SetUpStandard(p, '0');
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, *MoveCode::Parse("7776"), 1, m));
    const PieceCode before = ApplyMove(p, m);
    EXPECT_TRUE(SameBytes(MoveLine(1, 0, '0', p.board, before, m, MoveRecord{}),
                          "001  ▲７六歩"_sj));
    m.commentRecord = 3;
    EXPECT_TRUE(SameBytes(MoveLine(1, 0, '0', p.board, before, m, MoveRecord{}),
                          "001* ▲７六歩"_sj));
    m.commentRecord = 0;
    m.workingComment = 4;  // only a stored comment is marked
    EXPECT_TRUE(SameBytes(MoveLine(1, 0, '0', p.board, before, m, MoveRecord{}),
                          "001  ▲７六歩"_sj));
    // Parity offset 1 makes move 1 gote's in an even game.
    EXPECT_TRUE(SameBytes(MoveLine(1, 1, '0', p.board, before, m, MoveRecord{}).substr(5, 2),
                          "△"_sj));
    EXPECT_TRUE(SameBytes(MoveLine(512, 0, '0', p.board, before, m, MoveRecord{}).substr(0, 7),
                          "512  △"_sj));
}

TEST(MoveLineSame, SpaceStaysOnlyBeforeASingleCharacter) {
    const MoveRecord on57 = EndingOn(5, 7);
    // 同 then one piece character: exactly 13 bytes, the space stays.
    const Played pawn = Play(Sfen("k51 K19 P58", 'b'), "5857", 2, on57);
    EXPECT_TRUE(SameBytes(pawn.line, "002  ▲同　歩"_sj));
    EXPECT_EQ(pawn.line.size(), 13u);
    // A relative word, a two-character name or a promotion word: the space goes.
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 S48 S68"), "4857", 2, on57).line,
                          "002  ▲同銀右"_sj));
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 +S58"), "5857", 2, on57).line,
                          "002  ▲同成銀"_sj));
    const MoveRecord on53 = EndingOn(5, 3);
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 P54"), "5453+", 24, on53).line,
                          "024  ▲同歩成"_sj));
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 S44"), "4453", 24, on53).line,
                          "024  ▲同銀不成"_sj));
    const Played gote = Play(Sfen("k51 K19 b86", 'w'), "8653", 23, on53);
    EXPECT_TRUE(SameBytes(gote.line, "023  △同　角"_sj));
}

TEST(MoveLineSame, NeverOnTheFirstMoveAndNotForAnotherSquare) {
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 P58"), "5857", 1, EndingOn(5, 7)).line,
                          "001  ▲５七歩"_sj));
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 P58"), "5857", 2, EndingOn(5, 6)).line,
                          "002  ▲５七歩"_sj));
    EXPECT_TRUE(SameBytes(Play(Sfen("k51 K19 P58"), "5857", 2, EndingOn(6, 7)).line,
                          "002  ▲５七歩"_sj));
}

TEST(MoveLineLayout, LongestTextsStayWithin24Bytes) {
    // Destination, a two-character relative word and 不成: 21 bytes.
    const std::string s = Sfen("k51 K19 S23 S43 S25", 'b');
    const std::string line = Play(s, "2334", 99).line;
    EXPECT_TRUE(SameBytes(line, "099  ▲３四銀右引不成"_sj));
    EXPECT_LE(line.size(), kMoveLineMaxBytes);
}

TEST(MoveLineLayout, RecordsOutsideTheBoardAreRangeErrors) {
    Board board{};
    MoveRecord m = EndingOn(0, 5);
    EXPECT_THROW(MoveLine(1, 0, '0', board, piece::Kin, m, MoveRecord{}), RangeError);
    m = EndingOn(5, 10);
    EXPECT_THROW(RelativeWord(piece::Kin, m, board), RangeError);
    m = EndingOn(5, 5);
    m.fromFile = 11;
    m.fromRank = 5;
    EXPECT_THROW(RelativeWord(piece::Kin, m, board), RangeError);
    m.fromFile = 5;
    m.fromRank = 6;
    EXPECT_THROW(MoveLine(1, 0, '0', board, piece::kNone, m, MoveRecord{}), RangeError);
    EXPECT_THROW(MoveLine(1, 0, '0', board, 29, m, MoveRecord{}), RangeError);
}

// --- handicap games --------------------------------------------------------------------------

TEST(MoveLineHandicap, UwateMovesFirstWithTheGoteMark) {
    BoardPosition p;
    SetUpStandard(p, '2');
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, *MoveCode::Parse("3334"), SideToMove(1, 0, '2'), m));
    PieceCode before = ApplyMove(p, m);
    EXPECT_TRUE(SameBytes(MoveLine(1, 0, '2', p.board, before, m, MoveRecord{}),
                          "001  △３四歩"_sj));
    MoveRecord n;
    ASSERT_TRUE(ResolveMove(p, *MoveCode::Parse("7776"), SideToMove(2, 0, '2'), n));
    before = ApplyMove(p, n);
    EXPECT_TRUE(SameBytes(MoveLine(2, 0, '2', p.board, before, n, m), "002  ▲７六歩"_sj));
}

TEST(MoveLineHandicap, ThreePawnsGameStartsWithAGoteDrop) {
    BoardPosition p;
    SetUpStandard(p, 'Z');
    MoveRecord m;
    ASSERT_TRUE(ResolveMove(p, *MoveCode::Parse("0154"), SideToMove(1, 0, 'Z'), m));
    const PieceCode before = ApplyMove(p, m);
    EXPECT_TRUE(SameBytes(MoveLine(1, 0, 'Z', p.board, before, m, MoveRecord{}),
                          "001  △５四歩"_sj));
}

// --- closing line and result texts -----------------------------------------------------------

TEST(ResultTexts, ClosingLinesOfEveryEndCode) {
    struct Row {
        char end;
        std::string_view even;
        std::string_view handicap;
    };
    const Row rows[] = {
        {'0', "95手まで"_sj, "95手まで"_sj},
        {'1', "95手まで先手勝ち"_sj, "95手まで下手勝ち"_sj},
        {'2', "95手まで後手勝ち"_sj, "95手まで上手勝ち"_sj},
        {'3', "95手まで千日手"_sj, "95手まで千日手"_sj},
        {'4', "95手まで持将棋"_sj, "95手まで持将棋"_sj},
        {'5', "95手以下先手勝ち"_sj, "95手以下下手勝ち"_sj},
        {'6', "95手以下後手勝ち"_sj, "95手以下上手勝ち"_sj},
        {'7', "95手以下千日手"_sj, "95手以下千日手"_sj},
        {'8', "95手以下持将棋"_sj, "95手以下持将棋"_sj},
        {'9', "95手まで"_sj, "95手まで"_sj},
        {' ', "95手まで"_sj, "95手まで"_sj},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(SameBytes(ResultLine(95, '0', r.end), r.even)) << r.end;
        EXPECT_TRUE(SameBytes(ResultLine(95, 'X', r.end), r.handicap)) << r.end;
    }
    EXPECT_TRUE(SameBytes(ResultLine(0, '0', '0'), "0手まで"_sj));
    EXPECT_TRUE(SameBytes(ResultLine(512, '0', '1'), "512手まで先手勝ち"_sj));
}

TEST(ResultTexts, ClosingSentencesAndEndWords) {
    struct Row {
        char end;
        std::string_view even;
        std::string_view handicap;
        std::string_view endWord;
    };
    const Row rows[] = {
        {'0', "まで86手で中断"_sj, "まで86手で中断"_sj, "まで"_sj},
        {'1', "まで86手で先手の勝ち"_sj, "まで86手で下手の勝ち"_sj, "投了"_sj},
        {'2', "まで86手で後手の勝ち"_sj, "まで86手で上手の勝ち"_sj, "投了"_sj},
        {'3', "まで86手で千日手"_sj, "まで86手で千日手"_sj, "千日手"_sj},
        {'4', "まで86手で持将棋"_sj, "まで86手で持将棋"_sj, "持将棋"_sj},
        {'5', "まで86手で以下先手の勝ち"_sj, "まで86手で以下下手の勝ち"_sj, "以下投了"_sj},
        {'6', "まで86手で以下後手の勝ち"_sj, "まで86手で以下上手の勝ち"_sj, "以下投了"_sj},
        {'7', "まで86手で以下千日手"_sj, "まで86手で以下千日手"_sj, "以下千日手"_sj},
        {'8', "まで86手で以下持将棋"_sj, "まで86手で以下持将棋"_sj, "以下持将棋"_sj},
        {'x', "まで86手で中断"_sj, "まで86手で中断"_sj, "まで"_sj},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(SameBytes(ClosingSentence(86, '0', r.end), r.even)) << r.end;
        EXPECT_TRUE(SameBytes(ClosingSentence(86, '1', r.end), r.handicap)) << r.end;
        EXPECT_TRUE(SameBytes(ClosingEndWord(r.end), r.endWord)) << r.end;
        EXPECT_TRUE(SameBytes(WebEndWord(ResultNumber(r.end)), r.endWord)) << r.end;
    }
}

TEST(ResultTexts, NamesOfTheGameListAndTheRecordEndWord) {
    struct Row {
        int result;
        std::string_view even;
        std::string_view handicap;
        std::string_view shortName;
        std::string_view recordEnd;
    };
    const Row rows[] = {
        {0, "勝敗未登録"_sj, "勝敗未登録"_sj, "未登録"_sj, "中断"_sj},
        {1, "先手勝ち"_sj, "下手勝ち"_sj, "▲勝ち"_sj, "投了"_sj},
        {2, "後手勝ち"_sj, "上手勝ち"_sj, "△勝ち"_sj, "投了"_sj},
        {3, "千日手"_sj, "千日手"_sj, "千日手"_sj, "千日手"_sj},
        {4, "持将棋"_sj, "持将棋"_sj, "持将棋"_sj, "持将棋"_sj},
        {5, "先手勝ち"_sj, "下手勝ち"_sj, "▲勝ち"_sj, "中断"_sj},
        {6, "後手勝ち"_sj, "上手勝ち"_sj, "△勝ち"_sj, "中断"_sj},
        {7, "千日手"_sj, "千日手"_sj, "千日手"_sj, "千日手"_sj},
        {8, "持将棋"_sj, "持将棋"_sj, "持将棋"_sj, "持将棋"_sj},
        {9, "不明"_sj, "不明"_sj, "不　明"_sj, "中断"_sj},
        {-1, "不明"_sj, "不明"_sj, "不　明"_sj, "中断"_sj},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(SameBytes(ResultName(r.result, false), r.even)) << r.result;
        EXPECT_TRUE(SameBytes(ResultName(r.result, true), r.handicap)) << r.result;
        EXPECT_TRUE(SameBytes(ResultShortName(r.result), r.shortName)) << r.result;
        EXPECT_TRUE(SameBytes(RecordEndWord(r.result), r.recordEnd)) << r.result;
    }
    EXPECT_TRUE(SameBytes(WebEndWord(0), "まで"_sj));
    EXPECT_TRUE(SameBytes(WebEndWord(12), "まで"_sj));
    EXPECT_EQ(ResultNumber('8'), 8);
    EXPECT_EQ(ResultNumber('9'), -1);
}

// --- hands -----------------------------------------------------------------------------------

PieceTable HandsOf(const char* hands) {
    std::optional<SfenPosition> p = ParseSfen(Sfen("k51 K59", 'b', hands));
    EXPECT_TRUE(p) << hands;
    return p ? p->position.pieces : PieceTable{};
}

TEST(HandTextTest, CountsInDigitsAndInKanji) {
    const PieceTable t = HandsOf("RB2G3N10P2p");
    HandTextOptions digits;
    HandTextOptions kanji;
    kanji.kanjiCounts = 1;
    EXPECT_TRUE(SameBytes(HandText(t, 1, digits), "飛角金２桂３歩10"_sj));
    EXPECT_TRUE(SameBytes(HandText(t, 1, kanji), "飛角金二桂三歩十"_sj));
    EXPECT_TRUE(SameBytes(HandText(t, 2, digits), "歩２"_sj));
    EXPECT_TRUE(SameBytes(HandText(t, 2, kanji), "歩二"_sj));
    const PieceTable all = HandsOf("4S4L18P");
    EXPECT_TRUE(SameBytes(HandText(all, 1, digits), "銀４香４歩18"_sj));
    EXPECT_TRUE(SameBytes(HandText(all, 1, kanji), "銀四香四歩十八"_sj));
    EXPECT_TRUE(SameBytes(HandText(HandsOf("11P"), 1, kanji), "歩十一"_sj));
    EXPECT_TRUE(SameBytes(HandText(HandsOf("9P"), 1, digits), "歩９"_sj));
}

TEST(HandTextTest, EmptyHandTexts) {
    const PieceTable t = HandsOf("-");
    HandTextOptions o;
    EXPECT_TRUE(SameBytes(HandText(t, 1, o), "なし"_sj));
    o.emptyText = 2;
    EXPECT_TRUE(SameBytes(HandText(t, 2, o), "ナシ"_sj));
    o.emptyText = 3;
    o.ownEmptyText = "無し"_sj;
    EXPECT_TRUE(SameBytes(HandText(t, 1, o), "無し"_sj));
    o.emptyText = 7;
    EXPECT_TRUE(SameBytes(HandText(t, 1, o), "なし"_sj));
}

TEST(HandTextTest, AbsentPiecesAndTheKingDoNotCount) {
    PieceTable t = HandsOf("2G");
    for (int i = 1; i <= kPieceCount; ++i) {
        if (t[i].file == location::kSenteHand) {
            t[i].present = 0;  // taken out by a handicap
            break;
        }
    }
    EXPECT_TRUE(SameBytes(HandText(t, 1, HandTextOptions{}), "金"_sj));
    PieceTable k = HandsOf("-");
    k[1].file = location::kSenteHand;
    k[1].rank = kind::Gyoku;  // a captured king stays out of the text
    EXPECT_TRUE(SameBytes(HandText(k, 1, HandTextOptions{}), "なし"_sj));
}

}  // namespace
}  // namespace movra
