// The solver's transposition table: what a stored proof or disproof answers, and what not.
#include <gtest/gtest.h>

#include "core/matesearch/mate_table.h"

namespace movra {
namespace {

using namespace mate;

std::uint32_t Hand(int pawns, int golds, int rooks = 0) {
    return pawns * hand::Unit(pt::kPawn) + golds * hand::Unit(pt::kGold) + rooks * hand::Unit(pt::kRook);
}

TEST(MateHand, Dominance) {
    EXPECT_TRUE(hand::Dominates(Hand(2, 1), Hand(1, 1)));
    EXPECT_TRUE(hand::Dominates(Hand(1, 1), Hand(1, 1)));
    EXPECT_FALSE(hand::Dominates(Hand(2, 0), Hand(1, 1)));
    EXPECT_FALSE(hand::Dominates(Hand(0, 0, 1), Hand(1, 0, 0)));
    EXPECT_TRUE(hand::Dominates(Hand(18, 4, 2), Hand(17, 4, 2)));
    EXPECT_EQ(hand::Count(Hand(18, 4, 2), pt::kPawn), 18);
    EXPECT_EQ(hand::Count(Hand(18, 4, 2), pt::kRook), 2);
}

TEST(MateTable, ProofHoldsForStrongerHandsAndDeeperBounds) {
    MateTable table(1);
    const std::uint64_t key = 0x123456789ABCDEFull;
    table.StoreProven(key, Hand(1, 1), 5, MakeDrop(pt::kGold, 10), 100);
    EXPECT_TRUE(table.Lookup(key, Hand(1, 1), 5).proven());
    EXPECT_EQ(table.Lookup(key, Hand(1, 1), 7).plies, 5);
    EXPECT_EQ(table.Lookup(key, Hand(1, 1), 7).move, MakeDrop(pt::kGold, 10));
    EXPECT_TRUE(table.Lookup(key, Hand(3, 2), 9).proven()) << "more pieces in hand";
    EXPECT_FALSE(table.Lookup(key, Hand(1, 1), 3).proven()) << "a five-ply mate is no mate in 3";
    EXPECT_FALSE(table.Lookup(key, Hand(0, 1), 9).proven()) << "fewer pieces in hand";
    EXPECT_FALSE(table.Lookup(key + 1, Hand(1, 1), 9).proven()) << "another position";
}

TEST(MateTable, DisproofHoldsForWeakerHandsAndShallowerBounds) {
    MateTable table(1);
    const std::uint64_t key = 0xFEDCBA9876543210ull;
    table.StoreDisproven(key, Hand(1, 1), 7, kNoMove, 100);
    EXPECT_TRUE(table.Lookup(key, Hand(1, 1), 7).disproven());
    EXPECT_TRUE(table.Lookup(key, Hand(0, 1), 3).disproven()) << "fewer pieces, fewer plies";
    EXPECT_FALSE(table.Lookup(key, Hand(1, 1), 9).disproven()) << "no mate in 7 says nothing of 9";
    EXPECT_FALSE(table.Lookup(key, Hand(2, 1), 5).disproven()) << "more pieces in hand";
    table.StoreDisproven(key + 1, 0, kNoMateAtAll, kNoMove, 1);
    EXPECT_TRUE(table.Lookup(key + 1, 0, 4001).disproven());
}

TEST(MateTable, UnknownNumbersBelongToOneDepthAndHand) {
    MateTable table(1);
    const std::uint64_t key = 42ull << 32;
    table.StoreUnknown(key, Hand(1, 0), 9, 3, 7, MakeDrop(pt::kPawn, 4), 10);
    NodeValue v = table.Lookup(key, Hand(1, 0), 9);
    EXPECT_EQ(v.pn, 3u);
    EXPECT_EQ(v.dn, 7u);
    EXPECT_TRUE(v.seen);
    NodeValue other = table.Lookup(key, Hand(1, 0), 11);
    EXPECT_EQ(other.pn, 1u) << "another depth starts afresh";
    EXPECT_TRUE(other.seen);
    EXPECT_EQ(other.hint, MakeDrop(pt::kPawn, 4)) << "but keeps the move as a hint";
    EXPECT_FALSE(table.Lookup(key, Hand(2, 0), 9).seen);
    table.StoreUnknown(key, Hand(1, 0), 9, 5, 6, kNoMove, 20);
    EXPECT_EQ(table.Lookup(key, Hand(1, 0), 9).pn, 5u) << "updated in place";
}

TEST(MateTable, ClearForgetsEverything) {
    MateTable table(1);
    table.StoreProven(77, 0, 1, kNoMove, 1);
    table.Clear();
    EXPECT_FALSE(table.Lookup(77, 0, 1).proven());
    EXPECT_FALSE(table.Lookup(77, 0, 1).seen);
    // Many clears wrap the generation counter without bringing old entries back.
    table.StoreProven(78, 0, 1, kNoMove, 1);
    for (int i = 0; i < 300; ++i) table.Clear();
    EXPECT_FALSE(table.Lookup(78, 0, 1).proven());
}

TEST(MateTable, FullBucketsKeepTheCostlyEntries) {
    MateTable table(1);
    const std::size_t buckets = table.entryCount() / 8;
    // Keys that share one bucket: the bucket index comes from bits 20 and up.
    auto key = [&](int i) { return (std::uint64_t(i) * buckets << 20) | 1; };
    table.StoreDisproven(key(0), 0, 9, kNoMove, 1000000);
    for (int i = 1; i < 40; ++i) table.StoreUnknown(key(i), 0, 9, 2, 2, kNoMove, 1);
    EXPECT_TRUE(table.Lookup(key(0), 0, 9).disproven());
    EXPECT_LE(table.usagePermille(), 1000);
}

}  // namespace
}  // namespace movra
