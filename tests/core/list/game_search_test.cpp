// The full and narrowing searches over a store: hits and position hits against a straightforward
// reference (the header rules written out and the position replayed through the game record),
// with one range and with two, the catalogue left alone without hits or after a stop, progress
// every 100 games.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/list/game_search.h"
#include "core/text/sjis_literal.h"
#include "search_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::StoreGame;
using testing::TempFolder;

// The header rules as the search describes them, written out once more.
bool ReferenceHeader(const SearchConditions& c, const IndexRecord& r) {
    if (c.handicap >= 0 && r.handicap() != c.handicap) return false;
    if (c.tournament != 0 && r.tournament() != c.tournament) return false;
    if (c.subTournament != 0 && r.subTournament() != c.subTournament) return false;
    if (c.opening != 0 && r.opening() != c.opening) return false;
    if (c.resultIndex != 0 && c.resultIndex != r.result() + 1) return false;
    const std::uint32_t date = r.year() * 10000u + r.month() * 100u + r.day();
    if (date < c.dateFrom || date > c.dateTo) return false;
    int a = c.player1, b = c.player2;
    if (c.playerMode == PlayerMode::Either && a == 0 && b > 0) std::swap(a, b);
    if (c.playerMode == PlayerMode::Swapped) std::swap(a, b);
    const int s = r.sentePlayer(), g = r.gotePlayer();
    if (a == 0 && b == 0) return true;
    if (c.playerMode == PlayerMode::Either) {
        return b != 0 ? (s == a && g == b) || (s == b && g == a) : s == a || g == a;
    }
    return (a == 0 || s == a) && (b == 0 || g == b);
}

struct Fixture {
    TempFolder dir;
    std::vector<StoreGame> games;
    std::vector<std::vector<testing::ReplayedPosition>> replays;
    GameStore store;

    explicit Fixture(int count, std::uint32_t start = 11) {
        std::mt19937 rng(start);
        for (int i = 0; i < count; ++i) {
            StoreGame g;
            g.game = testing::RandomStoredGame(rng, testing::RandomHandicap(rng), testing::RandomLength(rng));
            if (rng() % 6 == 0) testing::Damage(rng, g.game);
            const auto pick = [&](int lo, int hi) { return std::uint16_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
            g.index.setSentePlayer(pick(0, 5));
            g.index.setGotePlayer(pick(0, 5));
            g.index.setTournament(pick(0, 3));
            g.index.setSubTournament(pick(0, 2));
            g.index.setOpening(pick(0, 3));
            g.index.setResult(pick(0, 8));
            g.index.setYear(pick(1999, 2001));
            g.index.setMonth(pick(0, 12));
            g.index.setDay(pick(0, 3));
            games.push_back(g);
        }
        store = testing::WriteSearchStore(dir / "s.idx", games, true);
        for (const StoreGame& g : games) replays.push_back(testing::ReplayThroughRules(g.game.moves, g.game.handicap));
    }

    // The hits a straightforward search finds among the listed record numbers, in that order.
    std::vector<std::pair<std::uint32_t, int>> Reference(const SearchConditions& c,
                                                         const std::vector<std::uint32_t>& listed) const {
        std::vector<std::pair<std::uint32_t, int>> hits;
        for (std::uint32_t k : listed) {
            const StoreGame& g = games[k - 1];
            if (!ReferenceHeader(c, g.index)) continue;
            int hit = -1;
            if (c.positionMode != PositionMode::None) {
                hit = testing::PlainHit(replays[k - 1], c.pattern,
                                        c.positionMode == PositionMode::SameOrReversed, c.depth);
                if (hit < 0) continue;
            }
            hits.emplace_back(k, hit);
        }
        return hits;
    }
    std::vector<std::uint32_t> All() const {
        std::vector<std::uint32_t> all(games.size());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = std::uint32_t(i + 1);
        return all;
    }

    SearchConditions RandomConditions(std::mt19937& rng) const {
        SearchConditions c;
        const auto maybe = [&](int lo, int hi, int none) {
            return rng() % 4 == 0 ? std::uniform_int_distribution<int>(lo, hi)(rng) : none;
        };
        c.player1 = maybe(1, 5, 0);
        c.player2 = maybe(1, 5, 0);
        c.playerMode = PlayerMode(1 + rng() % 3);
        c.tournament = maybe(1, 3, 0);
        c.subTournament = maybe(1, 2, 0);
        c.opening = maybe(1, 3, 0);
        c.resultIndex = maybe(1, 9, 0);
        c.handicap = maybe(0, 3, -1);
        if (rng() % 2 == 0) {
            const int y = std::uniform_int_distribution<int>(1999, 2001)(rng);
            c.dateFrom = DateFromValue(y, std::uniform_int_distribution<int>(0, 12)(rng));
            c.dateTo = DateToValue(y + int(rng() % 2), std::uniform_int_distribution<int>(0, 12)(rng));
        }
        if (rng() % 2 == 0) {
            const auto& source = replays[rng() % replays.size()];
            c.pattern = testing::CutPattern(rng, source[rng() % source.size()], rng() % 3 == 0);
            c.positionMode = rng() % 2 ? PositionMode::Same : PositionMode::SameOrReversed;
            static constexpr int kDepths[] = {10, 50, 100, 512, 300};
            c.depth = kDepths[rng() % 5];
        }
        return c;
    }
};

std::vector<std::pair<std::uint32_t, int>> Hits(const GameCatalogue& catalogue) {
    std::vector<std::pair<std::uint32_t, int>> hits;
    for (const GameHeader& h : catalogue.entries()) hits.emplace_back(h.recordNumber, h.positionHit);
    return hits;
}

TEST(GameSearch, FullAndNarrowingSearchesAgreeWithAStraightforwardSearch) {
    Fixture f(420);
    std::mt19937 rng(5);
    auto catalogue = std::make_unique<GameCatalogue>();
    int withHits = 0;
    for (int t = 0; t < 60; ++t) {
        const SearchConditions c = f.RandomConditions(rng);
        const auto want = f.Reference(c, f.All());
        for (int threads : {1, 2}) {
            RecordingPrompter prompter;
            LoadCatalogue(f.store, *catalogue);
            SearchOptions options;
            options.threads = threads;
            const SearchOutcome out = FullSearch(f.store, c, *catalogue, prompter, options);
            ASSERT_EQ(out.hits, want.size()) << "conditions " << t << " threads " << threads;
            EXPECT_EQ(out.examined, f.games.size());
            if (want.empty()) {
                EXPECT_EQ(catalogue->count(), f.games.size()) << "no hit: the list stays";
            } else {
                ASSERT_EQ(Hits(*catalogue), want) << "conditions " << t << " threads " << threads;
                EXPECT_EQ(catalogue->pageStart(), 1u);
            }
            ASSERT_FALSE(prompter.shown.empty());
            EXPECT_EQ(prompter.shown.back().text, SearchResultMessage(long(want.size())));
        }
        withHits += want.empty() ? 0 : 1;

        // Narrowing a shuffled list of every other game keeps the list's order.
        std::vector<std::uint32_t> listed;
        for (std::uint32_t k = 1; k <= f.games.size(); k += 1 + rng() % 2) listed.push_back(k);
        if (t % 2 == 0) std::shuffle(listed.begin(), listed.end(), rng);
        const auto narrowed = f.Reference(c, listed);
        for (int threads : {1, 2}) {
            catalogue->setCount(std::uint32_t(listed.size()));
            for (std::size_t i = 0; i < listed.size(); ++i) {
                IndexRecord r;
                ASSERT_TRUE(ReadIndexRecord(f.store, listed[i], r));
                ASSERT_TRUE(HeaderFromIndexRecord(r, listed[i], catalogue->at(std::uint32_t(i))));
                catalogue->at(std::uint32_t(i)).positionHit = 77;
            }
            RecordingPrompter prompter;
            SearchOptions options;
            options.threads = threads;
            const SearchOutcome out = NarrowSearch(f.store, c, *catalogue, prompter, options);
            ASSERT_EQ(out.hits, narrowed.size()) << "conditions " << t;
            if (narrowed.empty()) {
                ASSERT_EQ(catalogue->count(), listed.size()) << "no hit keeps the old list";
                EXPECT_EQ(catalogue->at(0).positionHit, 77);
            } else {
                ASSERT_EQ(Hits(*catalogue), narrowed) << "conditions " << t << " threads " << threads;
            }
        }
    }
    EXPECT_GT(withHits, 20);
}

TEST(GameSearch, TheStartingPositionFindsEveryEvenGameAtZero) {
    Fixture f(150, 3);
    BoardPosition start;
    SetUpStandard(start, '0');
    SearchConditions c;
    c.positionMode = PositionMode::Same;
    c.pattern = SearchPattern::FromPosition(start);
    auto catalogue = std::make_unique<GameCatalogue>();
    RecordingPrompter prompter;
    FullSearch(f.store, c, *catalogue, prompter);
    // A handicap number no handicap has loads as the even game, its first move in slot 2.
    std::vector<std::pair<std::uint32_t, int>> want;
    for (std::uint32_t k = 1; k <= f.games.size(); ++k) {
        const int h = f.games[k - 1].game.handicap;
        if (h == 0) want.emplace_back(k, 0);
        if (h >= kHandicapCount) want.emplace_back(k, 1);
    }
    EXPECT_EQ(Hits(*catalogue), want);
    EXPECT_GT(want.size(), 80u);
}

TEST(GameSearch, ProgressComesEveryHundredGamesAndAStopLeavesTheListAlone) {
    Fixture f(450, 4);
    auto catalogue = std::make_unique<GameCatalogue>();
    LoadCatalogue(f.store, *catalogue);
    SearchConditions c;
    c.resultIndex = 2;
    for (int threads : {1, 2}) {
        RecordingPrompter prompter;
        SearchOptions options;
        options.threads = threads;
        FullSearch(f.store, c, *catalogue, prompter, options);
        // One report a hundred games on this thread; with two ranges the other range's
        // hundreds come in while waiting for it, so never more than one a hundred in all.
        EXPECT_GE(prompter.progressCalls, threads == 1 ? 4 : 2);
        EXPECT_LE(prompter.progressCalls, 4 + 4);
    }

    LoadCatalogue(f.store, *catalogue);
    for (int threads : {1, 2}) {
        RecordingPrompter stopper;
        stopper.stopAt = true;
        SearchOptions options;
        options.threads = threads;
        const SearchOutcome out = FullSearch(f.store, c, *catalogue, stopper, options);
        EXPECT_TRUE(out.stopped);
        EXPECT_EQ(out.hits, 0u);
        EXPECT_LT(out.examined, f.games.size());
        EXPECT_EQ(catalogue->count(), f.games.size());
        EXPECT_TRUE(stopper.shown.empty()) << "a stopped search tells no result";
        const SearchOutcome narrowed = NarrowSearch(f.store, c, *catalogue, stopper, options);
        EXPECT_TRUE(narrowed.stopped);
        EXPECT_EQ(catalogue->count(), f.games.size());
    }
}

TEST(GameSearch, TextsOfTheSearch) {
    EXPECT_EQ(SearchProgressCaption(), "【 検 索 中 】"_sj);
    EXPECT_EQ(SearchCounterText(1234), "(   1234 )");
    EXPECT_EQ(SearchResultMessage(0), "検索結果は 0件です"_sj);
}

TEST(GameSearch, AMissingIndexFileIsAnError) {
    TempFolder dir;
    const GameStore store(dir / "none.idx", StoreKind::Classic);
    auto catalogue = std::make_unique<GameCatalogue>();
    RecordingPrompter prompter;
    EXPECT_THROW(FullSearch(store, SearchConditions{}, *catalogue, prompter), StoreIoError);
}

}  // namespace
}  // namespace movra
