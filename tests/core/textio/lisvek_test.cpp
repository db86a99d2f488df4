// Lisvek collections, written by a writer of our own from the collection's record layouts, read
// into a store and compared game by game; and collections with every kind of damage.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/textio/export_game.h"
#include "core/textio/lisvek_reader.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"
#include "lisvek_writer.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;
using testing::CollectionWriter;
using testing::WrittenGame;

class LisvekTest : public ::testing::Test {
protected:
    LisvekTest() : store(dir / "games.ipx", StoreKind::Extended, 0) {
        if (!CreateStoreFiles(dir / "games.ipx", true)) throw std::runtime_error("store");
        // The master tables know some of the collection's names.
        players.SetEntry(1, '1', "羽生善治"_sj, "はぶよしはる"_sj);
        players.SetEntry(2, '1', "谷川浩司"_sj, "たにがわこうじ"_sj);
        tournaments.MutableRow(0) = MasterRow{1, 0, std::string("名人戦"_sj)};
        tournaments.MutableRow(1) = MasterRow{7, 1, std::string("女流名人戦"_sj)};
        tournaments.MutableRow(2) = MasterRow{9, 2, std::string("銀河戦"_sj)};
        openings.MutableRow(0) = MasterRow{3, 0, std::string("矢倉"_sj)};
        openings.MutableRow(1) = MasterRow{5, 1, std::string("四間飛車"_sj)};
        openings.MutableRow(2) = MasterRow{6, 2, std::string("その他の戦型"_sj)};
        context.masters = {&players, &tournaments, &openings};
    }

    testing::TempFolder dir;
    GameStore store;
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    testing::RecordingPrompter prompter;
    ImportContext context{store, prompter, {}, "2001-02-03 04:05:06", {}, 5};
};

TEST(LisvekRules, MovesDatesTournamentsAndOpeningsOfTheEditions) {
    EXPECT_EQ(LisvekMoveCode(76, 77), "7767 ");
    EXPECT_EQ(LisvekMoveCode(-23, 33), "3332+");
    EXPECT_EQ(LisvekMoveCode(55, 8), "0155 ");
    EXPECT_EQ(LisvekMoveCode(55, 1), "0855 ");
    EXPECT_EQ(LisvekDateText(19970415), "1997-04-15 00:00:00");
    EXPECT_EQ(LisvekDateText(0), "0000-00-00 00:00:00");
    EXPECT_EQ(LisvekEditionOfDate("1997/02/06"), 2);
    EXPECT_EQ(LisvekEditionOfDate("1998/08/20"), 6);
    EXPECT_EQ(LisvekEditionOfDate("2001/01/01"), 7);
    EXPECT_EQ(LisvekTournamentName(2, 16), "女流名人戦"_sj);
    EXPECT_EQ(LisvekTournamentName(5, 16), "銀河戦"_sj);
    EXPECT_EQ(LisvekTournamentName(7, 31), "");
    EXPECT_EQ(MapLisvekOpening(7, "居飛車穴熊"_sj), "");
    EXPECT_EQ(MapLisvekOpening(7, "相振り飛車"_sj), "相振飛車"_sj);
    EXPECT_EQ(MapLisvekOpening(4, "角換わり腰掛け銀"_sj), "角交換腰掛銀"_sj);
    EXPECT_EQ(MapLisvekOpening(1, "その他"_sj), "向飛車"_sj);
    EXPECT_EQ(MapLisvekOpening(6, "右玉"_sj), "その他の戦型"_sj);
}

// Several hundred games over every edition: names at their full width, comments on moves and on
// the final position, long games of all 301 entries, results, dates, tournaments and openings.
TEST_F(LisvekTest, EveryEditionComesBackGameByGame) {
    constexpr const char* kReleases[] = {"1996/10/28", "1997/02/06", "1997/08/10", "1997/11/01",
                                         "1998/04/24", "1998/08/20", "2003/05/05"};
    std::mt19937 rng(5);
    std::uint32_t stored = 0;
    for (int edition = 1; edition <= 7; ++edition) {
        CollectionWriter w;
        w.folder = dir / ("lisvek" + std::to_string(edition));
        // 30 bytes: the whole name field; the last one needs its table entry's spaces removed.
        w.players = {"羽生善治"_sj, "谷川浩司"_sj, "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ"_sj, "羽生　善治"_sj};
        w.openings = {"その他"_sj, "右玉"_sj, "角換わり腰掛け銀"_sj};
        std::vector<WrittenGame> written(60);
        for (std::size_t i = 0; i < written.size(); ++i) {
            WrittenGame& g = written[i];
            const int length = i % 20 == 0 ? 301 : int(rng() % 140);
            testing::PlayRandomGame(rng, 0, length, g.record);
            g.sente = 1 + int(i % 4);
            g.gote = 1 + int((i + 1) % 4);
            g.tournament = 1 + int(i % 30);
            g.opening = 1 + int(i % 3);
            g.result = int(i % 6);
            g.date = 19900000 + std::uint32_t(i % 12 + 1) * 100 + std::uint32_t(i % 28 + 1);
            if (i % 3 == 0 && g.record.moveCount > 2) g.comments[2] = "好手"_sj;
            if (i % 5 == 0) g.comments[g.record.moveCount + 1] = "まで"_sj + std::string(i % 2 ? 200 : 10, 'x');
            w.Add(g);
        }
        const fs::path kif = w.Write(kReleases[edition - 1]);
        ASSERT_EQ(LisvekEdition(kif), edition);
        ASSERT_TRUE(MissingLisvekFiles(kif).empty());
        ASSERT_EQ(CountLisvekGames(kif.parent_path()), 60);

        const LisvekImport run = ImportLisvekFolder(kif, context);
        ASSERT_TRUE(run.error.empty()) << run.error;
        ASSERT_TRUE(run.refused.empty()) << run.refused.front().second;
        ASSERT_EQ(run.stored, 60);

        for (std::size_t i = 0; i < written.size(); ++i) {
            const WrittenGame& g = written[i];
            SCOPED_TRACE("edition " + std::to_string(edition) + ", game " + std::to_string(i + 1));
            const std::optional<ExportGame> back =
                LoadExportGame(store, context.masters, long(stored + 1 + i), prompter);
            ASSERT_TRUE(back.has_value());
            ASSERT_EQ(back->record.moveCount, g.record.moveCount);
            for (int m = 1; m <= g.record.moveCount; ++m) {
                ASSERT_EQ(back->record.moves[std::size_t(m)].moveCode(), g.record.moves[std::size_t(m)].moveCode()) << m;
            }
            const int expected = edition <= 2 || g.result > 4 || g.record.moveCount == 0 ? 0 : g.result;
            EXPECT_EQ(back->result, expected);
            EXPECT_EQ(back->year, 1990);
            EXPECT_EQ(back->month, int(i % 12 + 1));
            EXPECT_EQ(back->day, int(i % 28 + 1));
            // Players 1, 2 and 4 are in the table (4 once its blank is gone); 3 only by name.
            EXPECT_EQ(back->senteName, g.sente == 3 ? std::string("ＡＢＣＤＥＦＧ"_sj)
                                       : g.sente == 2 ? std::string("谷川浩司"_sj)
                                                      : std::string("羽生善治"_sj));
            const std::string tournament = LisvekTournamentName(edition, g.tournament);
            const int tournamentNumber = tournaments.NumberByName(tournament);
            if (tournamentNumber != 0) {
                EXPECT_EQ(back->tournament, tournament);
            }
            const std::string opening = MapLisvekOpening(edition, w.openings[std::size_t(g.opening - 1)]);
            if (openings.NumberByName(opening) != 0) {
                EXPECT_EQ(back->opening, opening);
            }
            for (const auto& [move, text] : g.comments) EXPECT_EQ(back->Comment(move), text) << move;
            EXPECT_EQ(back->Comment(1), "");
        }
        stored += 60;
    }
    EXPECT_EQ(store.recordCount, stored);
}

// Damage of every kind: each game that can be read is stored, each other one is named.
TEST_F(LisvekTest, ADamagedCollectionStoresWhatCanBeRead) {
    std::mt19937 rng(9);
    CollectionWriter w;
    w.folder = dir / "damaged";
    w.players = {"羽生善治"_sj};
    w.openings = {"矢倉"_sj};
    for (int i = 0; i < 8; ++i) {
        WrittenGame g;
        testing::PlayRandomGame(rng, 0, 30 + i, g.record);
        g.sente = i == 1 ? 500 : 1;  // a player number out of range
        g.gote = 1;
        g.opening = i == 2 ? 77 : 1;  // an opening number out of range
        g.tournament = i == 3 ? 999 : 1;
        g.result = 1;
        g.date = 20010203;
        w.Add(g);
    }
    // Game 4: a comment key that no comment carries; game 5: a move from an empty square; game 6:
    // a move without an origin.
    w.games[3].setMove(0, w.games[3].destination(0), w.games[3].origin(0), 424242);
    w.games[4].setMove(0, 11, 55, 0);
    w.games[5].setMove(1, 55, 0, 0);
    const fs::path kif = w.Write("2003/05/05");
    // kifu.kif ends inside the last game, and kifu.dat names one game more than kifu.kif holds.
    fs::resize_file(kif, fs::file_size(kif) - 100);
    {
        std::ofstream more(kif.parent_path() / "kifu.dat", std::ios::binary | std::ios::app);
        more << std::string(kLisvekHeaderSize, '\0') << std::string(7, '\1');
    }
    // The command line stores the same games into a store it makes, and names the others.
    const testing::CliResult cli = testing::RunCli(
        {"import", (dir / "cli.ipx").string(), "--lisvek", kif.string()});
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.out.find("games stored: 5, games refused: 4"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("refused: game 8: kifu.kif ends before"), std::string::npos) << cli.out;

    // Without the openings file the games are stored without openings.
    fs::remove(dir / "damaged" / "Senkei.dat");

    const LisvekImport run = ImportLisvekFolder(kif, context);
    EXPECT_TRUE(run.error.empty()) << run.error;
    EXPECT_EQ(run.stored, 5);
    std::vector<long> refused;
    for (const auto& [game, reason] : run.refused) refused.push_back(game);
    EXPECT_EQ(refused, (std::vector<long>{5, 6, 8, 9}));
    EXPECT_EQ(store.recordCount, 5u);
    // Game 2's sente has no name; game 4 has no comment on its first move.
    const std::optional<ExportGame> second = LoadExportGame(store, context.masters, 2, prompter);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->record.moveCount, 31);
    const std::optional<ExportGame> fourth = LoadExportGame(store, context.masters, 4, prompter);
    ASSERT_TRUE(fourth.has_value());
    EXPECT_EQ(fourth->Comment(1), "");
    EXPECT_EQ(fourth->result, 1);  // as the header says
    // A missing kifu.dat is told before anything is read.
    fs::remove(kif.parent_path() / "kifu.dat");
    EXPECT_EQ(MissingLisvekFiles(kif), (std::vector<std::string>{"kifu.dat", "Senkei.dat"}));
    EXPECT_FALSE(ImportLisvekFolder(kif, context).error.empty());
}

}  // namespace
}  // namespace movra
