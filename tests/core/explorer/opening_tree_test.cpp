// The opening explorer against a plain replay of every game through the game record, on stores
// whose games transpose into each other and come back to positions they have left.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

#include "core/explorer/opening_index.h"
#include "core/explorer/opening_tree.h"
#include "core/record/kif_data.h"
#include "core/rules/move_list.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

namespace fs = std::filesystem;

struct TestGame {
    int handicap = 0;
    IndexRecord index;
    MoveBytes moves;
};

MoveCode Code(const char* text) { return *MoveCode::Parse(text); }

// A game that opens with some of three independent pawn moves of each side in a random order
// (so that games transpose), sometimes walks a rook and a gold out and back (coming back to a
// position it has been in), and goes on with random legal moves.
TestGame MakeGame(std::mt19937& rng) {
    TestGame g;
    g.handicap = rng() % 8 == 0 ? int(1 + rng() % 14) : 0;
    TKifData record;
    record.ResetHeader(g.handicap);
    record.ClearMoves();
    record.SetUpStandard();
    if (g.handicap == 0) {
        std::vector<const char*> sente{"7776", "2726", "5756"}, gote{"3334", "8384", "5354"};
        std::shuffle(sente.begin(), sente.end(), rng);
        std::shuffle(gote.begin(), gote.end(), rng);
        const int pairs = int(rng() % 4);
        for (int i = 0; i < pairs; ++i) {
            record.AppendAndApply(Code(sente[std::size_t(i)]));
            record.AppendAndApply(Code(gote[std::size_t(i)]));
        }
        if (rng() % 3 == 0) {
            for (const char* m : {"2838", "4132", "3828", "3241"}) record.AppendAndApply(Code(m));
        }
    }
    const int length = int(rng() % 40);
    std::vector<MoveCode> moves;
    for (int n = 0; n < length; ++n) {
        ListMoves(record.position, record.SideOf(record.moveCount + 1), moves);
        std::erase_if(moves, [&](const MoveCode& m) {
            const PieceCode there = record.position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
            return there != 0 && OwnCode(there) == piece::Gyoku;
        });
        if (moves.empty()) break;
        // Few choices early on, so that many games share their first moves.
        const std::size_t choices = record.moveCount < 10 ? std::min<std::size_t>(3, moves.size()) : moves.size();
        if (!record.AppendAndApply(moves[rng() % choices])) break;
    }
    MoveInfo info;
    FillMoveBuffers(record, g.moves, info);
    g.index.setHandicap(std::uint16_t(g.handicap));
    g.index.setResult(std::uint16_t(rng() % 9));
    g.index.setYear(std::uint16_t(rng() % 5 == 0 ? 0 : 1990 + rng() % 30));
    g.index.setMonth(std::uint16_t(rng() % 13));
    g.index.setDay(std::uint16_t(rng() % 29));
    g.index.setSentePlayer(std::uint16_t(rng() % 6));
    g.index.setGotePlayer(std::uint16_t(rng() % 6));
    return g;
}

// A classic store written record by record: the header with the count, the index records and
// the game-data records (the games are short enough to need no overflow record).
GameStore WriteStore(const fs::path& indexPath, const std::vector<TestGame>& games) {
    EXPECT_TRUE(CreateStoreFiles(indexPath, false));
    GameStore store(indexPath, StoreKind::Classic);
    RecordFile index, data;
    EXPECT_TRUE(index.Open(store.files.IndexPath(), kIndexRecordSize, RecordFile::Access::ReadWrite));
    EXPECT_TRUE(data.Open(store.files.Path(ext::kGameData), kGameDataRecordSize, RecordFile::Access::ReadWrite));
    StoreHeader header;
    header.SetGameCount(std::uint32_t(games.size()));
    EXPECT_TRUE(index.Write(0, header.bytes.data()));
    for (std::size_t i = 0; i < games.size(); ++i) {
        EXPECT_FALSE(games[i].moves.usesOverflow());
        EXPECT_TRUE(index.Write(i + 1, games[i].index.bytes.data()));
        EXPECT_TRUE(data.Write(i, games[i].moves.firstRecord()));
    }
    store.recordCount = std::uint32_t(games.size());
    return store;
}

struct Expected {
    std::uint32_t games = 0, sente = 0, gote = 0, draws = 0, other = 0, lastDate = 0, lastRecord = 0;
    std::vector<std::uint32_t> records;
};

// Every game loaded through the game record and replayed move by move: its positions (to move
// 30) and the move after each.
struct Replayed {
    std::vector<ExplorerPosition> positions;
    std::vector<MoveKey> next;
};
std::vector<Replayed> ReplayAll(const std::vector<TestGame>& games) {
    std::vector<Replayed> out;
    SilentPrompter quiet;
    for (const TestGame& g : games) {
        TKifData record;
        LoadGameMoves(g.moves, nullptr, g.handicap, false, 0, record, quiet);
        const int moveCount = record.moveCount;
        record.SetUpStandard();
        Replayed r;
        for (int m = 0; m <= std::min(moveCount, 30); ++m) {
            if (m > 0) {
                record.ApplyMove(m);
                record.Rebuild();
            }
            r.positions.push_back(ExplorerPosition::From(record.position, record.SideOf(m + 1)));
            r.next.push_back(m < moveCount ? MoveKeyOf(record.moves[std::size_t(m + 1)].moveCode()) : 0);
        }
        out.push_back(std::move(r));
    }
    return out;
}

// The first position equal to the one asked for, within the depth, counts with the move after it.
std::map<MoveKey, Expected> BruteForce(const std::vector<TestGame>& games, const std::vector<Replayed>& all,
                                       const ExplorerPosition& want, int depth,
                                       const std::vector<std::uint8_t>* allowed) {
    std::map<MoveKey, Expected> out;
    for (std::size_t i = 0; i < games.size(); ++i) {
        const std::uint32_t number = std::uint32_t(i + 1);
        if (allowed != nullptr && (*allowed)[number] == 0) continue;
        const TestGame& g = games[i];
        const Replayed& r = all[i];
        for (std::size_t m = 0; m < r.positions.size() && int(m) <= depth; ++m) {
            if (!(r.positions[m] == want)) continue;
            Expected& e = out[r.next[m]];
            ++e.games;
            const int result = g.index.result();
            (result == 1 || result == 5   ? e.sente
             : result == 2 || result == 6 ? e.gote
             : result >= 3 && result <= 8 ? e.draws
                                          : e.other)++;
            const std::uint32_t date = g.index.dateValue();
            if (e.games == 1 || date >= e.lastDate) {
                e.lastDate = date;
                e.lastRecord = number;
            }
            e.records.push_back(number);
            break;
        }
    }
    return out;
}

void ExpectSame(const std::map<MoveKey, Expected>& want, const TreeResult& got, const char* how) {
    SCOPED_TRACE(how);
    ASSERT_FALSE(got.cancelled);
    std::map<MoveKey, const MoveTally*> have;
    std::uint32_t total = 0;
    for (const MoveTally& t : got.moves) have[t.key] = &t;
    if (got.ended.games > 0) have[0] = &got.ended;
    for (const auto& [key, e] : want) total += e.games;
    EXPECT_EQ(got.games, total);
    ASSERT_EQ(have.size(), want.size());
    for (const auto& [key, e] : want) {
        SCOPED_TRACE(MoveKeyToUsi(key));
        ASSERT_TRUE(have.count(key));
        const MoveTally& t = *have[key];
        EXPECT_EQ(t.games, e.games);
        EXPECT_EQ(t.senteWins, e.sente);
        EXPECT_EQ(t.goteWins, e.gote);
        EXPECT_EQ(t.draws, e.draws);
        EXPECT_EQ(t.other, e.other);
        EXPECT_EQ(t.lastDate, e.lastDate);
        EXPECT_EQ(t.lastRecord, e.lastRecord);
        EXPECT_EQ(t.records, e.records);
    }
    for (std::size_t i = 1; i < got.moves.size(); ++i) EXPECT_GE(got.moves[i - 1].games, got.moves[i].games);
}

TEST(OpeningTree, ScanAndIndexAgreeWithAPlainReplayOfEveryGame) {
    testing::TempFolder folder;
    std::mt19937 rng(25250);
    std::vector<TestGame> games;
    for (int i = 0; i < 2000; ++i) games.push_back(MakeGame(rng));
    const GameStore store = WriteStore(folder.path() / "tree.idx", games);
    const std::vector<Replayed> replayed = ReplayAll(games);

    // Positions to ask for: the start, positions of the games at random moves (many reached by
    // transposition or twice in one game), and one no game reaches.
    std::vector<ExplorerPosition> asked;
    BoardPosition start;
    SetUpStandard(start, '0');
    asked.push_back(ExplorerPosition::From(start, side::kSente));
    SilentPrompter quiet;
    for (int i = 0; i < 40; ++i) {
        const TestGame& g = games[rng() % games.size()];
        TKifData record;
        LoadGameMoves(g.moves, nullptr, g.handicap, false, 0, record, quiet);
        const int m = record.moveCount == 0 ? 0 : int(rng() % (std::min<int>(record.moveCount, 14) + 1));
        record.SetUpStandard();
        for (int k = 1; k <= m; ++k) {
            record.ApplyMove(k);
            record.Rebuild();
        }
        asked.push_back(ExplorerPosition::From(record.position, record.SideOf(m + 1)));
    }
    ExplorerPosition nowhere = asked.front();
    nowhere.senteHand[kind::Kin] = 1;
    asked.push_back(nowhere);

    ASSERT_FALSE(OpeningIndexFresh(store));
    const IndexBuildOutcome built = BuildOpeningIndex(store, 20);
    ASSERT_TRUE(built.built) << built.error;
    EXPECT_EQ(built.games, games.size());
    ASSERT_TRUE(OpeningIndexFresh(store));

    std::vector<std::uint32_t> within;
    std::vector<std::uint8_t> allowed(games.size() + 1, 0);
    for (std::uint32_t k = 1; k <= games.size(); ++k) {
        if (rng() % 3 == 0) {
            within.push_back(k);
            allowed[k] = 1;
        }
    }
    std::shuffle(within.begin(), within.end(), rng);

    int transposed = 0;
    for (const ExplorerPosition& p : asked) {
        for (int depth : {20, 9}) {
            const auto want = BruteForce(games, replayed, p, depth, nullptr);
            TreeQuery q;
            q.position = p;
            q.depth = depth;
            q.useIndex = false;
            q.records = true;
            q.threads = 1;
            ExpectSame(want, ExploreStore(store, q), "scan, one range");
            q.threads = 2;
            ExpectSame(want, ExploreStore(store, q), "scan, two ranges");
            q.useIndex = true;
            const TreeResult fromIndex = ExploreStore(store, q);
            EXPECT_TRUE(fromIndex.fromIndex);
            ExpectSame(want, fromIndex, "index");

            q.within = &within;
            const auto narrowed = BruteForce(games, replayed, p, depth, &allowed);
            ExpectSame(narrowed, ExploreStore(store, q), "index, narrowed");
            q.useIndex = false;
            ExpectSame(narrowed, ExploreStore(store, q), "scan, narrowed");
            if (want.size() > 1) ++transposed;
        }
    }
    EXPECT_GT(transposed, 10);  // the positions asked for had games going different ways

    // A query deeper than the index scans instead.
    TreeQuery deep;
    deep.position = asked[1];
    deep.depth = 30;
    deep.records = true;
    EXPECT_FALSE(ExploreStore(store, deep).fromIndex);
    ExpectSame(BruteForce(games, replayed, deep.position, 30, nullptr), ExploreStore(store, deep), "deeper than the index");
}

TEST(OpeningTree, TranspositionsAndReturnsCountEachGameOnceAtItsFirstVisit) {
    testing::TempFolder folder;
    // 7776 3334 2726 8384 and 2726 8384 7776 3334 reach one position; the third game walks its
    // rook and gold out and back, standing in the start position again after move 4.
    const std::vector<std::vector<const char*>> lines{
        {"7776", "3334", "2726", "8384", "2625"},
        {"2726", "8384", "7776", "3334", "6978"},
        {"2838", "4132", "3828", "3241", "7776", "3334", "2726", "8384"},
    };
    std::vector<TestGame> games;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TKifData record;
        record.ResetHeader(0);
        record.ClearMoves();
        record.SetUpStandard();
        for (const char* m : lines[i]) ASSERT_TRUE(record.AppendAndApply(Code(m)));
        TestGame g;
        MoveInfo info;
        FillMoveBuffers(record, g.moves, info);
        g.index.setResult(std::uint16_t(i + 1));
        g.index.setYear(std::uint16_t(2000 + i));
        games.push_back(g);
    }
    const GameStore store = WriteStore(folder.path() / "three.idx", games);
    ASSERT_TRUE(BuildOpeningIndex(store).built);

    TKifData record;
    record.ResetHeader(0);
    record.SetUpStandard();
    for (const char* m : {"7776", "3334", "2726", "8384"}) record.AppendAndApply(Code(m));
    for (bool index : {false, true}) {
        TreeQuery q;
        q.position = ExplorerPosition::From(record.position, side::kSente);
        q.useIndex = index;
        q.records = true;
        TreeResult r = ExploreStore(store, q);
        EXPECT_EQ(r.fromIndex, index);
        ASSERT_EQ(r.games, 3u);
        ASSERT_EQ(r.moves.size(), 2u);
        EXPECT_EQ(r.ended.records, std::vector<std::uint32_t>{3});
        EXPECT_EQ(r.moves[0].usi(), "2f2e");  // equal counts: by USI text
        EXPECT_EQ(r.moves[1].usi(), "6i7h");
        for (const MoveTally& t : r.moves) {
            EXPECT_EQ(t.games, 1u);
            EXPECT_NEAR(r.Share(t), 1.0 / 3, 1e-9);
        }
        EXPECT_EQ(r.ended.draws, 1u);  // game 3 has end code 3

        // From the start: game 3 counts once, with its first move.
        BoardPosition start;
        SetUpStandard(start, '0');
        q.position = ExplorerPosition::From(start, side::kSente);
        r = ExploreStore(store, q);
        ASSERT_EQ(r.games, 3u);
        std::map<std::string, std::uint32_t> firsts;
        for (const MoveTally& t : r.moves) firsts[t.usi()] = t.games;
        EXPECT_EQ(firsts, (std::map<std::string, std::uint32_t>{{"7g7f", 1}, {"2g2f", 1}, {"2h3h", 1}}));
        // Depth 3: the four-move transposition is out of reach.
        q.position = ExplorerPosition::From(record.position, side::kSente);
        q.depth = 3;
        EXPECT_EQ(ExploreStore(store, q).games, 0u);
    }
}

TEST(OpeningTree, AChangedStoreMakesTheIndexStaleAndACancelledQuerySaysSo) {
    testing::TempFolder folder;
    std::mt19937 rng(77);
    std::vector<TestGame> games;
    for (int i = 0; i < 300; ++i) games.push_back(MakeGame(rng));
    GameStore store = WriteStore(folder.path() / "stale.idx", games);
    ASSERT_TRUE(BuildOpeningIndex(store).built);
    ASSERT_TRUE(OpeningIndexFresh(store));
    EXPECT_FALSE(fs::exists(store.files.Path(kOpeningIndexTemp)));

    // One more game: the index no longer describes the store and is not used.
    games.push_back(MakeGame(rng));
    SilentPrompter quiet;
    ASSERT_TRUE(WriteGame(store, games.back().index, games.back().moves, kAppendGame, false, quiet).ok);
    EXPECT_FALSE(OpeningIndexFresh(store));
    BoardPosition start;
    SetUpStandard(start, '0');
    TreeQuery q;
    q.position = ExplorerPosition::From(start, side::kSente);
    q.records = true;
    const TreeResult r = ExploreStore(store, q);
    EXPECT_FALSE(r.fromIndex);
    ExpectSame(BruteForce(games, ReplayAll(games), q.position, q.depth, nullptr), r, "after the change");

    // A damaged index file is refused, not read.
    ASSERT_TRUE(BuildOpeningIndex(store).built);
    const fs::path path = OpeningIndexPath(store);
    fs::resize_file(path, fs::file_size(path) - 12);
    EXPECT_FALSE(OpeningIndexFresh(store));

    std::atomic<bool> cancel{true};
    q.cancel = &cancel;
    EXPECT_TRUE(ExploreStore(store, q).cancelled);
    EXPECT_TRUE(BuildOpeningIndex(store, 60, &cancel).cancelled);
}

}  // namespace
}  // namespace movra
