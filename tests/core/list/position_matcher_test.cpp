// The position test: the fast replay against a plain replay through the game record on
// thousands of random games (legal and damaged) and patterns cut from their positions, and the
// rules of the test one by one (pattern squares only, hands at least, the colour-reversed form,
// depth limits, handicap slots, overflow slots, damaged moves).
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "core/list/position_matcher.h"
#include "core/rules/sfen.h"
#include "search_test_support.h"

namespace movra {
namespace {

using testing::PlainHit;
using testing::ReplayedPosition;
using testing::ReplayThroughRules;
using testing::StoredGame;

StoredGame GameOf(int handicap, std::initializer_list<const char*> codes) {
    TKifData record;
    record.ResetHeader(handicap);
    record.ClearMoves();
    record.SetUpStandard();
    for (const char* c : codes) {
        EXPECT_TRUE(record.AppendAndApply(*MoveCode::Parse(c))) << c;
    }
    StoredGame g;
    g.handicap = handicap;
    g.moveCount = FillMoveBuffers(record, g.moves, g.info);
    return g;
}

SearchPattern PatternOf(std::initializer_list<std::pair<const char*, PieceCode>> squares) {
    SearchPattern p;
    for (const auto& [square, code] : squares) {
        p.board[std::size_t(BoardIndex(square[0] - '0', square[1] - '0'))] = code;
    }
    return p;
}

constexpr PieceCode kGote = piece::kGoteOffset;

TEST(PositionMatcher, AgreesWithAPlainReplayOnRandomGames) {
    std::mt19937 rng(20240607);
    std::vector<StoredGame> games;
    std::vector<std::vector<ReplayedPosition>> replays;
    int damaged = 0;
    for (int i = 0; i < 1500; ++i) {
        StoredGame g = testing::RandomStoredGame(rng, testing::RandomHandicap(rng),
                                                 testing::RandomLength(rng));
        if (rng() % 4 == 0) {
            testing::Damage(rng, g);
            ++damaged;
        }
        replays.push_back(ReplayThroughRules(g.moves, g.handicap));
        games.push_back(g);
    }
    ASSERT_GT(damaged, 300);

    int hits = 0, reversedOnly = 0, late = 0, misses = 0;
    for (int t = 0; t < 36; ++t) {
        // A pattern cut from a position some game reaches, sometimes turned round.
        static constexpr int kDepths[] = {10, 50, 100, 512, 257, 33};
        const int depth = kDepths[t % 6];
        // Deep searches look for positions of long games past slot 256 as well.
        std::size_t pick = rng() % replays.size();
        while (depth > 256 && t % 4 == 3 && replays[pick].size() < 270) pick = rng() % replays.size();
        const auto& source = replays[pick];
        const std::size_t from = depth > 256 && t % 4 == 3 ? 258 : 0;
        const ReplayedPosition& at = source[from + rng() % (source.size() - from)];
        const bool turned = t % 3 == 2;
        const SearchPattern pattern = testing::CutPattern(rng, at, turned);
        const PositionMode mode = t % 2 == 0 ? PositionMode::SameOrReversed : PositionMode::Same;
        const PositionMatcher matcher(pattern, mode, depth);
        for (std::size_t i = 0; i < games.size(); ++i) {
            const int want = PlainHit(replays[i], pattern, mode == PositionMode::SameOrReversed, depth);
            const int got = matcher.Scan(games[i].moves, games[i].handicap);
            ASSERT_EQ(got, want) << "game " << i << " pattern " << t << " depth " << depth;
            if (i % 7 == 0) {
                ASSERT_EQ(matcher.ScanByRules(games[i].moves.firstRecord(),
                                              games[i].moves.overflowRecord(), games[i].handicap),
                          want)
                    << "game " << i << " pattern " << t;
            }
            if (want < 0) {
                ++misses;
                continue;
            }
            ++hits;
            late += want > 256 ? 1 : 0;
            if (mode == PositionMode::SameOrReversed && PlainHit(replays[i], pattern, false, depth) != want) {
                ++reversedOnly;
            }
        }
    }
    // The patterns must have exercised every branch, not only misses.
    EXPECT_GT(hits, 1000);
    EXPECT_GT(misses, 1000);
    EXPECT_GT(reversedOnly, 20);
    EXPECT_GT(late, 0);
}

TEST(PositionMatcher, TheStartingPositionHitsEveryEvenGameAtZeroAndAHandicapGameAtOne) {
    BoardPosition start;
    SetUpStandard(start, '0');
    const PositionMatcher even(SearchPattern::FromPosition(start), PositionMode::Same, 50);
    std::mt19937 rng(7);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(even.Scan(testing::RandomStoredGame(rng, 0, 40).moves, 0), 0);
    }
    // A handicap game never shows the full set.
    EXPECT_EQ(even.Scan(GameOf(2, {"3334", "7776"}).moves, 2), -1);

    BoardPosition kakuOchi;
    SetUpStandard(kakuOchi, HandicapChar(2));
    const PositionMatcher handicap(SearchPattern::FromPosition(kakuOchi), PositionMode::Same, 50);
    EXPECT_EQ(handicap.Scan(GameOf(2, {"3334", "7776"}).moves, 2), 1);
    // An empty pattern matches anything at once.
    EXPECT_EQ(PositionMatcher(SearchPattern{}, PositionMode::Same, 10).Scan(GameOf(3, {}).moves, 3), 1);
}

TEST(PositionMatcher, ComparesOnlyThePatternSquaresAndWantsAtLeastItsHands) {
    const StoredGame g = GameOf(0, {"7776", "3334", "8822+", "3122"});
    // 角 taken on 2二 at move 3: sente holds one 角 from then on.
    SearchPattern p = PatternOf({{"22", piece::Uma}});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 3);
    p = SearchPattern{};
    p.senteHand[kind::Kaku] = 1;
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 3);
    p.senteHand[kind::Kaku] = 2;
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), -1);
    // Gote takes the 馬 back (move 4): now both hold a 角.
    p = SearchPattern{};
    p.goteHand[kind::Kaku] = 1;
    p.board[std::size_t(BoardIndex(2, 2))] = piece::Gin + kGote;
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 4);
    // The squares the pattern leaves empty are not compared: 7六 and 2二 alone.
    p = PatternOf({{"76", piece::Fu}, {"22", piece::Gin + kGote}});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 4);
}

TEST(PositionMatcher, TheReversedFormLooksAtSquare82MinusSWithTheOtherColour) {
    const StoredGame g = GameOf(0, {"7776", "3334"});
    // A gote 歩 on 3四: the game has it after move 2; turned round, sente's 歩 on 7六 after move 1.
    const SearchPattern p = PatternOf({{"34", piece::Fu + kGote}});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 2);
    EXPECT_EQ(PositionMatcher(p, PositionMode::SameOrReversed, 50).Scan(g.moves, 0), 1);
    // Hands are compared crosswise: the pattern's sente 角 is gote's 角 turned round.
    const StoredGame taken = GameOf(0, {"7776", "3334", "8822+", "3122"});
    SearchPattern hand;
    hand.senteHand[kind::Kaku] = 1;
    hand.goteHand[kind::Kaku] = 1;
    EXPECT_EQ(PositionMatcher(hand, PositionMode::SameOrReversed, 50).Scan(taken.moves, 0), 4);
    hand.goteHand[kind::Kaku] = 0;
    EXPECT_EQ(PositionMatcher(hand, PositionMode::Same, 50).Scan(taken.moves, 0), 3);
    hand.senteHand[kind::Kaku] = 0;
    hand.goteHand[kind::Kaku] = 1;
    EXPECT_EQ(PositionMatcher(hand, PositionMode::Same, 50).Scan(taken.moves, 0), 4);
    EXPECT_EQ(PositionMatcher(hand, PositionMode::SameOrReversed, 50).Scan(taken.moves, 0), 3);
}

TEST(PositionMatcher, DepthCountsMoveSlotsSoAHandicapGameTestsOneMoveFewer) {
    // Pawn moves only; sente's 歩 reaches 6六 with move 11.
    const char* codes[] = {"1716", "9394", "2726", "8384", "3736", "7374", "4746", "6364", "5756",
                           "5354", "6766"};
    TKifData record;
    record.ResetHeader(0);
    record.ClearMoves();
    record.SetUpStandard();
    for (const char* c : codes) ASSERT_TRUE(record.AppendAndApply(*MoveCode::Parse(c)));
    StoredGame even;
    FillMoveBuffers(record, even.moves, even.info);
    const SearchPattern p = PatternOf({{"66", piece::Fu}});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 10).Scan(even.moves, 0), -1);
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 11).Scan(even.moves, 0), 11);

    // 香落ち: 上手 (gote) moves first from slot 2; 下手's 歩 reaches 6六 with move 2 in slot 3.
    const StoredGame h = GameOf(1, {"9394", "6766"});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 2).Scan(h.moves, 1), -1);
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 3).Scan(h.moves, 1), 3);
    EXPECT_EQ(DepthOfListIndex(0), 10);
    EXPECT_EQ(DepthOfListIndex(9), 100);
    EXPECT_EQ(DepthOfListIndex(10), kSearchToEnd);
    EXPECT_EQ(SearchDepth(101), kSearchToEnd);
}

TEST(PositionMatcher, SlotsPast256ComeFromTheOverflowRecord) {
    std::mt19937 rng(99);
    StoredGame g;
    do {
        g = testing::RandomStoredGame(rng, 0, 300);
    } while (g.moveCount < 290);
    const auto replay = ReplayThroughRules(g.moves, 0);
    const ReplayedPosition& final = replay.back();
    SearchPattern p;
    p.board = final.board;
    p.senteHand = final.sente;
    p.goteHand = final.gote;
    const int want = PlainHit(replay, p, false, kSearchToEnd);
    ASSERT_GT(want, 256);
    const PositionMatcher matcher(p, PositionMode::Same, kSearchToEnd);
    EXPECT_EQ(matcher.Scan(g.moves, 0), want);
    // Without the overflow record the game ends at slot 256.
    EXPECT_EQ(matcher.Scan(g.moves.firstRecord(), nullptr, 0), -1);
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 256).Scan(g.moves, 0), -1);
}

TEST(PositionMatcher, ADamagedMoveEndsTheReplayWhereLoadingWouldEndIt) {
    StoredGame g = GameOf(0, {"7776", "3334", "2726", "8384", "2625"});
    const SearchPattern p = PatternOf({{"25", piece::Fu}});
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(g.moves, 0), 5);
    StoredGame broken = g;
    broken.moves.setSlot(3, 200, 5);  // a destination off the board
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(broken.moves, 0), -1);
    broken = g;
    broken.moves.setSlot(3, SquareCode(2, 6), SquareCode(5, 5));  // nothing stands on 5五
    EXPECT_EQ(PositionMatcher(p, PositionMode::Same, 50).Scan(broken.moves, 0), -1);
    // Positions before the damage are still found.
    EXPECT_EQ(PositionMatcher(PatternOf({{"76", piece::Fu}}), PositionMode::Same, 50).Scan(broken.moves, 0), 1);
    // A 金 that "promotes" becomes a 角 under the rules; the replay follows them.
    StoredGame gold = GameOf(0, {"6978"});
    gold.moves.setSlot(1, std::uint8_t(SquareCode(7, 8) + 100), std::uint8_t(SquareCode(6, 9)));
    EXPECT_EQ(PositionMatcher(PatternOf({{"78", piece::Kaku}}), PositionMode::Same, 50).Scan(gold.moves, 0), 1);
}

}  // namespace
}  // namespace movra
