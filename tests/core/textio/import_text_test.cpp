// Importing text files into a store: results, limits, comments and times read back from the
// store, header fields, refused files leaving the store as it was, coded files with many games,
// folders and the run's messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"
#include "support/run_cli.h"
#include "core/textio/import_text.h"
#include "textio_test_support.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::Cp932File;
using testing::FileBytes;
using testing::KifOf;
using testing::RecordingPrompter;
using testing::TempFolder;

void Write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class TextioImport : public ::testing::Test {
protected:
    TextioImport() : store(dir / "games.ipx", StoreKind::Extended, 0) {
        if (!CreateStoreFiles(dir / "games.ipx", true)) throw std::runtime_error("store");
    }

    // Imports one file and answers the games it stored.
    int Import(const std::string& name, const std::string& bytes) {
        Write(dir / name, bytes);
        last = ImportTextFile(dir / name, context);
        return last.stored;
    }
    IndexRecord Index(std::uint32_t k) {
        IndexRecord r;
        EXPECT_TRUE(ReadIndexRecord(store, k, r));
        return r;
    }
    DetailRecord Detail(std::uint32_t k) {
        DetailRecord d;
        EXPECT_TRUE(ReadDetailRecord(store, static_cast<long>(k), d, prompter));
        return d;
    }
    TKifData& Played(int handicap, int length, unsigned start = 7) {
        std::mt19937 rng(start);
        testing::PlayRandomGame(rng, handicap, length, *played);
        return *played;
    }

    TempFolder dir;
    GameStore store;
    std::unique_ptr<TKifData> played = std::make_unique<TKifData>();
    RecordingPrompter prompter;
    ImportContext context{store, prompter, {}, "2001-02-03 04:05:06", {}, 5};
    FileImport last;
};

TEST_F(TextioImport, TheResultFollowsWhoMadeTheLastMove) {
    TKifData& g = Played(0, 64);
    ASSERT_EQ(g.moveCount, 64);
    ASSERT_EQ(Import("a.kif", KifOf(g, {}, "投了")), 1);
    EXPECT_EQ(Index(1).result(), 2);  // gote made move 64 and won
    ASSERT_EQ(Import("b.kif", KifOf(g, {}, "反則勝ち")), 1);
    EXPECT_EQ(Index(2).result(), 1);  // gote's last move was the foul
    ASSERT_EQ(Import("c.kif", KifOf(g, {}, "反則負け")), 1);
    EXPECT_EQ(Index(3).result(), 2);  // sente, whose turn it was, lost
    ASSERT_EQ(Import("d.kif", KifOf(g, {}, "千日手")), 1);
    EXPECT_EQ(Index(4).result(), 3);
    ASSERT_EQ(Import("e.kif", KifOf(g, {}, "持将棋")), 1);
    EXPECT_EQ(Index(5).result(), 4);
    ASSERT_EQ(Import("f.kif", KifOf(g, {}, "中断")), 1);
    EXPECT_EQ(Index(6).result(), 0);

    TKifData& h = Played(2, 63);
    ASSERT_EQ(h.moveCount, 63);
    ASSERT_EQ(Import("g.kif", KifOf(h, {"手合割：角落ち"}, "投了")), 1);
    EXPECT_EQ(Index(7).result(), 2);  // 上手 made the last move
    EXPECT_EQ(Index(7).handicap(), 2);
    EXPECT_EQ(Detail(7).moveCount(), 63);
}

// Closing lines other programs write: English words of online servers with their move number and
// time, a word nobody listed (the game is kept, unfinished, and the run says so), and a summary
// that names a winner other than the side that made the last move (a loss on time).
TEST_F(TextioImport, ClosingWordsOfOtherWritersKeepTheGame) {
    TKifData& g = Played(0, 40);
    ASSERT_EQ(Import("a.kif", KifOf(g, {}, "Time-up")), 1);
    EXPECT_EQ(Index(1).result(), 2);  // sente ran out of time on move 41
    ASSERT_EQ(Import("b.kif", KifOf(g, {}, "resign")), 1);
    EXPECT_EQ(Index(2).result(), 2);
    ASSERT_EQ(Import("c.kif", KifOf(g, {}, "Sennichite")), 1);
    EXPECT_EQ(Index(3).result(), 3);
    ASSERT_EQ(Import("d.kif", KifOf(g, {}, "Foobar")), 1);
    EXPECT_EQ(Index(4).result(), 0);
    EXPECT_EQ(Detail(4).moveCount(), 40);
    ASSERT_EQ(last.notes.size(), 1u);
    EXPECT_NE(last.notes[0].find("Foobar"), std::string::npos);
    // The summary names sente although gote made the last move.
    ASSERT_EQ(Import("e.kif", KifOf(g, {}, "投了") + std::string("まで40手で先手の勝ち"_sj) + "\r\n"), 1);
    EXPECT_EQ(Index(5).result(), 1);
    ASSERT_EQ(Import("f.kif", KifOf(g, {}, "投了") + std::string("まで40手で後手の勝ち"_sj) + "\r\n"), 1);
    EXPECT_EQ(Index(6).result(), 2);

    // A whole run tells the word it did not know.
    Write(dir / "g.kif", KifOf(g, {}, "Foobar"));
    const ImportSummary run = ImportFiles({dir / "g.kif"}, context);
    EXPECT_EQ(run.gamesStored, 1);
    ASSERT_EQ(run.noted.size(), 1u);
    EXPECT_EQ(run.noted[0].path, dir / "g.kif");

    // A KI2 handicap name longer than ten bytes: the 右金 sets it apart from the 左金 one.
    ASSERT_EQ(Import("h.ki2", Cp932File({"手合割：九枚(右金)落ち", "△５二玉 ▲７六歩", "まで2手で下手の勝ち"})), 1);
    EXPECT_EQ(Index(8).handicap(), 14);
}

TEST_F(TextioImport, ALongerGameKeepsWhatTheStoreHolds) {
    TKifData& g = Played(0, 600, 11);
    ASSERT_EQ(g.moveCount, 512);  // the record holds 512; write 600 lines by repeating a tail
    std::string text = KifOf(g, {}, "");
    // Moves 513-600 are never looked at beyond their count; any move text will do.
    for (int n = 513; n <= 600; ++n) text += "  " + std::to_string(n) + " " + "５五歩(56)"_sj + "\r\n";
    text += " 601 "_sj + "投了"_sj + "\r\n";
    ASSERT_EQ(Import("long.kif", text), 1);
    EXPECT_EQ(Detail(1).moveCount(), 512);
    EXPECT_EQ(Index(1).result(), 6);  // gote made move 600 and won: 以下後手勝ち

    TKifData& h = Played(1, 512, 12);
    ASSERT_EQ(h.moveCount, 512);
    ASSERT_EQ(Import("longh.kif", KifOf(h, {"手合割：香落ち"}, "投了")), 1);
    EXPECT_EQ(Detail(2).moveCount(), 511);  // the store keeps a placeholder before 上手's move
    EXPECT_EQ(Index(2).result(), 5);        // 下手 made move 512 and won
}

TEST_F(TextioImport, CommentsTimesAndHeaderFieldsReachTheStore) {
    TKifData& g = Played(0, 4);
    std::string text = Cp932File({"開始日時：2004/05/06(木) 10:00:00", "終了日時：2004/05/06 18:30:00",
                                  "棋戦：名人戦／Ａ級", "場所：東京", "記録係：山田", "備考：テスト",
                                  "持ち時間：各1時間30分", "昼食休憩：12:10～12:50",
                                  "先手：伊奈祐介六段", "後手：西尾　明", "*before the game"});
    std::string moves = KifOf(g, {}, "投了");
    // A comment before the first move, on move 2 and after the end.
    const std::string marker = "   2 "_sj;
    const std::size_t at = moves.find("   3 ");
    moves.insert(at, "*on move two\r\n");
    moves.insert(moves.find("   1 "), "*opening\r\n");
    moves += "*closing\r\n";
    ASSERT_EQ(Import("c.kif", text + moves), 1) << last.refusal;

    const DetailRecord d = Detail(1);
    EXPECT_EQ(d.senteName(), "伊奈祐介"_sj);
    EXPECT_EQ(d.senteRank(), "六段"_sj);
    EXPECT_EQ(d.goteName(), "西尾　明"_sj);
    EXPECT_EQ(d.place(), "東京"_sj);
    EXPECT_EQ(d.recorder(), "山田"_sj);
    EXPECT_EQ(d.remarks(), "テスト"_sj);
    EXPECT_EQ(d.tournamentText(), "名人戦"_sj);
    EXPECT_EQ(d.senteAllowedMinutes(), 90);
    EXPECT_EQ(d.goteAllowedMinutes(), 90);
    EXPECT_EQ(d.lunch(), (BreakTime{12, 10, 12, 50}));
    EXPECT_EQ(d.start(), (DetailDateTime{2004, 5, 6, 10, 0}));
    EXPECT_EQ(d.end(), (DetailDateTime{2004, 5, 6, 18, 30}));
    EXPECT_EQ(d.closingTime(), 7);
    EXPECT_EQ(Index(1).year(), 2004);
    EXPECT_EQ(Index(1).month(), 5);
    EXPECT_EQ(Index(1).day(), 6);

    EXPECT_EQ(ReadComment(store, d.openingCommentFile(), d.openingCommentNumber(), prompter), "opening");
    EXPECT_EQ(ReadComment(store, d.closingCommentFile(), d.closingCommentNumber(), prompter), "closing");
    auto back = std::make_unique<TKifData>();
    const GameMoves loaded = ReadGameMoves(store, 1, 0, 0, true, 0, *back, prompter);
    ASSERT_TRUE(loaded.found);
    ASSERT_EQ(back->moveCount, 4);
    const MoveRecord& two = back->moves[2];
    EXPECT_EQ(ReadComment(store, two.commentFile, two.commentRecord, prompter), "on move two");
    EXPECT_EQ(back->moves[1].commentRecord, 0);
    for (int m = 1; m <= 4; ++m) EXPECT_EQ(back->moves[static_cast<std::size_t>(m)].consumedTime, m);
}

// A CSA file of four games separated by "/": an even game with names, header keys, times,
// comments and a loss on time; a handicap game given by its rows; a set-up position the store
// cannot hold; a game with a closing word nobody listed.
TEST_F(TextioImport, CsaGamesWithTheirTimesCommentsAndEndings) {
    const std::string text = Cp932File({
        "' written by an online server",
        "V2.2",
        "N+先手太郎",
        "N-後手花子",
        "$EVENT:テスト棋戦",
        "$START_TIME:2024/03/02 10:00:00",
        "PI",
        "+",
        "'*opening",
        "+7776FU",
        "T12",
        "-3334FU,T5",
        "'*on move two",
        "'**evaluation 30",
        "+8822UM",
        "T3",
        "-3122GI",
        "T40",
        "%TIME_UP",
        "T9",
        "/",
        "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY",
        "P2 * -HI *  *  *  *  *  *  * ",
        "P3-FU-FU-FU-FU-FU-FU-FU-FU-FU",
        "P4 *  *  *  *  *  *  *  *  * ",
        "P5 *  *  *  *  *  *  *  *  * ",
        "P6 *  *  *  *  *  *  *  *  * ",
        "P7+FU+FU+FU+FU+FU+FU+FU+FU+FU",
        "P8 * +KA *  *  *  *  * +HI * ",
        "P9+KY+KE+GI+KI+OU+KI+GI+KE+KY",
        "-",
        "-5142OU",
        "+7776FU",
        "%TORYO",
        "/",
        "P1-OU *  *  *  *  *  *  *  * ",
        "P9+OU *  *  *  *  *  *  *  * ",
        "P+00HI",
        "+",
        "+0082HI",
        "%TSUMI",
        "/",
        "PI",
        "+",
        "+2726FU",
        "%WHATEVER",
    });
    Write(dir / "games.csa", text);
    const FileImport one = ImportTextFile(dir / "games.csa", context);
    EXPECT_EQ(one.stored, 3);
    EXPECT_NE(one.refusal.find("game 3: the game starts from a position that is not one of the standard"),
              std::string::npos) << one.refusal;
    ASSERT_EQ(one.notes.size(), 1u);
    EXPECT_NE(one.notes[0].find("%WHATEVER"), std::string::npos);

    // Game 1: sente, to make move 5, ran out of time: gote won.
    EXPECT_EQ(Index(1).result(), 2);
    const DetailRecord d = Detail(1);
    EXPECT_EQ(d.senteName(), "先手太郎"_sj);
    EXPECT_EQ(d.goteName(), "後手花子"_sj);
    EXPECT_EQ(d.tournamentText(), "テスト棋戦"_sj);
    EXPECT_EQ(d.start(), (DetailDateTime{2024, 3, 2, 10, 0}));
    EXPECT_EQ(d.closingTime(), 9);
    EXPECT_EQ(ReadComment(store, d.openingCommentFile(), d.openingCommentNumber(), prompter), "opening");
    EXPECT_EQ(ReadComment(store, d.closingCommentFile(), d.closingCommentNumber(), prompter), "切れ負け"_sj);
    auto back = std::make_unique<TKifData>();
    ASSERT_TRUE(ReadGameMoves(store, 1, 0, 0, true, 0, *back, prompter).found);
    ASSERT_EQ(back->moveCount, 4);
    EXPECT_EQ(back->moves[3].moveCode().str(), "8822+");  // 角 became 馬: a promotion
    EXPECT_EQ(back->moves[4].moveCode().str(), "3122 ");
    const std::uint16_t times[] = {12, 5, 3, 40};
    for (int m = 1; m <= 4; ++m) EXPECT_EQ(back->moves[std::size_t(m)].consumedTime, times[m - 1]);
    EXPECT_EQ(ReadComment(store, back->moves[2].commentFile, back->moves[2].commentRecord, prompter),
              "on move two\r\n*evaluation 30");

    // Game 2: the rows are the 角落ち set-up; 上手 moved first and the other side resigned.
    EXPECT_EQ(Index(2).handicap(), 2);
    EXPECT_EQ(Index(2).result(), 1);
    EXPECT_EQ(Detail(2).moveCount(), 2);
    // Game 4: unfinished.
    EXPECT_EQ(Index(3).result(), 0);
    EXPECT_EQ(Detail(3).moveCount(), 1);
}

TEST_F(TextioImport, NamesAreLookedUpInThePlayerTable) {
    PlayerTable players;
    players.SetEntry(1, 'A', "羽生善治"_sj, "はぶよしはる"_sj);
    players.SetEntry(2, 'A', "羽生"_sj, "はぶ"_sj);
    players.SetEntry(3, 'A', "西尾明"_sj, "にしおあきら"_sj);
    context.masters.players = &players;
    TKifData& g = Played(0, 2);
    ASSERT_EQ(Import("a.kif", KifOf(g, {"先手：羽生 善治", "後手：西尾　明五段"}, "")), 1);
    EXPECT_EQ(Index(1).sentePlayer(), 2);  // two words: the first one
    EXPECT_EQ(Index(1).gotePlayer(), 3);   // without its rank
    ASSERT_EQ(Import("b.kif", KifOf(g, {"先手：羽生 善治,R:1500", "後手：誰か"}, "")), 1);
    EXPECT_EQ(Index(2).sentePlayer(), 1);  // with a rating: both words joined
    EXPECT_EQ(Index(2).gotePlayer(), 0);
    EXPECT_EQ(Detail(2).senteRating(), 1500);
    EXPECT_EQ(Detail(2).goteName(), "誰か"_sj);
}

TEST_F(TextioImport, ARefusedFileLeavesTheStoreAsItWas) {
    TKifData& g = Played(0, 6);
    ASSERT_EQ(Import("ok.kif", KifOf(g, {}, "投了")), 1);
    std::vector<std::vector<std::uint8_t>> before;
    const char* extensions[] = {".idx", ".kif", ".ipx", ".kpf", ".cp0"};
    for (const char* e : extensions) before.push_back(FileBytes(store.files.Path(e)));

    // Move 3 takes a piece from an empty square; move 3 of the next file moves gote's piece.
    EXPECT_EQ(Import("bad1.kif", Cp932File({"手数", "   1 ７六歩(77)", "   2 ３四歩(33)",
                                            "   3 ５五歩(56)", "*a comment"})), 0);
    EXPECT_NE(last.refusal.find("move 3"), std::string::npos) << last.refusal;
    EXPECT_EQ(Import("bad2.kif", Cp932File({"手数", "   1 ７六歩(77)", "   2 ３四歩(33)",
                                            "   3 ３五歩(34)"})), 0);
    EXPECT_EQ(Import("bad3.ki2", Cp932File({"▲７六歩 △３四歩 ▲５八金"})), 0);
    EXPECT_EQ(Import("bad4.kif", std::string("\x01\x02\x03", 3) + std::string(300, '\x7F')), 0);
    EXPECT_EQ(Import("bad5.kif", ""), 0);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(FileBytes(store.files.Path(extensions[i])), before[i]) << extensions[i];
    }
}

TEST_F(TextioImport, Utf8FilesImportLikeTheirCp932Twins) {
    TKifData& g = Played(0, 20);
    const std::string cp932 = KifOf(g, {"先手：先手さん"}, "投了");
    ASSERT_EQ(Import("a.kif", cp932), 1);
    ASSERT_EQ(Import("a.kifu", Cp932ToUtf8(cp932)), 1);
    ASSERT_EQ(Import("b.kif", "\xEF\xBB\xBF" + Cp932ToUtf8(cp932)), 1);
    const std::string lf = [&] {
        std::string s = cp932;
        std::erase(s, '\r');
        s.pop_back();  // no final line end
        return s;
    }();
    ASSERT_EQ(Import("c.kif", lf), 1);
    for (std::uint32_t k = 2; k <= 4; ++k) {
        EXPECT_EQ(Detail(k), Detail(1)) << k;
        MoveBytes a, b;
        ASSERT_TRUE(ReadGameData(store, 1, 0, a));
        ASSERT_TRUE(ReadGameData(store, static_cast<long>(k), 0, b));
        EXPECT_EQ(a, b);
    }
}

TEST_F(TextioImport, ACodedFileStoresEachGoodGameAndNamesTheBadOne) {
    const std::string coded = Cp932File({
        "##", "#:First", "S:alpha", "G:beta", "N:2004-05-06 10:00:00", "C:0", "K:7776 3334 ", "##",
        "#:Second", "S:gamma", "G:delta", "K:7776 333", "##",
        "#:Third", "S:eps/x", "G:zeta(1)", "I:2", "K:7162 7776 ", "##",
    });
    ASSERT_EQ(Import("many.txt", coded), 2);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "棋譜変換エラー！No.2\r\rgamma x delta"_sj);
    EXPECT_EQ(Index(1).result(), 2);
    EXPECT_EQ(Index(1).year(), 2004);
    EXPECT_EQ(Detail(2).senteName(), "eps");
    EXPECT_EQ(Detail(2).goteName(), "zeta");
    EXPECT_EQ(Index(2).handicap(), 2);
    EXPECT_EQ(Index(2).year(), 2004);  // a game without "N:" keeps the date before it
    EXPECT_EQ(Detail(2).moveCount(), 2);
}

TEST_F(TextioImport, AFolderRunReadsGameRecordFilesOnly) {
    TKifData& g = Played(0, 6);
    const std::string kif = KifOf(g, {}, "投了");
    std::filesystem::create_directories(dir / "in" / "sub" / "deeper");
    Write(dir / "in" / "a.KIF", kif);
    Write(dir / "in" / "b.ki2", Cp932File({"▲７六歩 △３四歩", "まで2手で後手の勝ち"}));
    Write(dir / "in" / "c.kix", kif);
    Write(dir / "in" / "sub" / "d.kif", kif);
    Write(dir / "in" / "sub" / "deeper" / "e.kif", kif);
    const auto names = [](const std::vector<std::filesystem::path>& files) {
        std::vector<std::string> out;
        for (const auto& f : files) out.push_back(f.filename().string());
        return out;
    };
    EXPECT_EQ(names(GameRecordFiles(dir / "in", 0, nullptr)), (std::vector<std::string>{"a.KIF", "b.ki2"}));
    EXPECT_EQ(names(GameRecordFiles(dir / "in", 1, nullptr)),
              (std::vector<std::string>{"a.KIF", "b.ki2", "d.kif"}));
    EXPECT_EQ(names(GameRecordFiles(dir / "in", -1, nullptr)),
              (std::vector<std::string>{"a.KIF", "b.ki2", "d.kif", "e.kif"}));

    // The folder of a classic store holds its own game-data file "games.kif": never read.
    TempFolder classicDir;
    ASSERT_TRUE(CreateStoreFiles(classicDir / "games.idx", false));
    Write(classicDir / "x.kif", kif);
    const StoreFiles classic(classicDir / "games.idx");
    EXPECT_EQ(names(GameRecordFiles(classicDir.path(), 0, &classic)), (std::vector<std::string>{"x.kif"}));

    std::vector<std::string> progress;
    context.progressLine = [&](const std::string& line) { progress.push_back(line); };
    context.progressDigits = 6;
    const ImportSummary summary = ImportFiles(GameRecordFiles(dir / "in", -1, nullptr), context);
    EXPECT_EQ(progress, (std::vector<std::string>{"     1: a.KIF", "     2: b.ki2", "     3: d.kif",
                                                   "     4: e.kif"}));
    EXPECT_EQ(summary.filesRead, 4);
    EXPECT_EQ(summary.gamesStored, 4);
    EXPECT_TRUE(summary.refused.empty());
    EXPECT_EQ(prompter.texts().back(), "\r4件の棋譜をインポートしました。"_sj);
}

TEST_F(TextioImport, PipesAreNeverReadAndARunStopsWhereTheStoreIsFull) {
    TKifData& g = Played(0, 6);
    const std::string kif = KifOf(g, {}, "投了");
    std::filesystem::create_directories(dir / "in");
    Write(dir / "in" / "a.kif", kif);
    ASSERT_EQ(::mkfifo((dir / "in" / "b.kif").c_str(), 0600), 0);  // no writer: would block
    Write(dir / "in" / "c.kif", kif);
    const std::vector<std::filesystem::path> found = GameRecordFiles(dir / "in", 0, nullptr);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].filename(), "c.kif");

    // Named on its own, the pipe is refused with a reason and the run goes on.
    Write(dir / "coded.txt", Cp932File({"##", "#:One", "S:a", "G:b", "K:7776 3334 ", "##",
                                        "#:Two", "S:c", "G:d", "K:2726 8384 ", "##",
                                        "#:Three", "S:e", "G:f", "K:5756 5354 ", "##"}));
    context.gameLimit = 3;
    const ImportSummary summary = ImportFiles(
        {dir / "in" / "b.kif", dir / "in" / "a.kif", dir / "coded.txt", dir / "in" / "c.kif"},
        context);
    EXPECT_TRUE(summary.storeFull);
    EXPECT_EQ(summary.gamesStored, 3);  // a.kif and two games of the coded file
    ASSERT_EQ(summary.refused.size(), 2u);
    EXPECT_EQ(summary.refused[0].path.filename(), "b.kif");
    EXPECT_EQ(summary.refused[0].reason, "not a regular file");
    EXPECT_EQ(summary.refused[1].path.filename(), "c.kif");
    EXPECT_EQ(summary.refused[1].reason, kStoreFullReason);
    EXPECT_NE(std::find(prompter.texts().begin(), prompter.texts().end(), StoreFullMessage()),
              prompter.texts().end());
    // Nothing past the limit reached the disk.
    EXPECT_EQ(store.recordCount, 3u);
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(dir / "games.ipx", count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Detail(3).senteName(), "c");
}

TEST_F(TextioImport, ARunThatStoresNothingSaysSo) {
    Write(dir / "bad.kif", Cp932File({"手数", "   1 ５五歩(56)"}));
    const ImportSummary summary = ImportFiles({dir / "bad.kif", dir / "missing.kif"}, context);
    EXPECT_EQ(summary.gamesStored, 0);
    ASSERT_EQ(summary.refused.size(), 2u);
    EXPECT_FALSE(summary.refused[1].reason.empty());
    EXPECT_EQ(prompter.texts().front(),
              "棋譜のインポートに失敗しました。\r\r( "_sj + (dir / "bad.kif").string() + " )");
    EXPECT_EQ(prompter.texts().back(), "\r棋譜はインポートされませんでした。"_sj);
    EXPECT_EQ(store.recordCount, 0u);
}

TEST_F(TextioImport, ARunStoresWhatImportingEachFileInTurnStores) {
    // The run reads files ahead of storing them: the games, their order, the refusals and the
    // messages must be those of importing each file alone, one after the other.
    std::vector<std::filesystem::path> files;
    std::filesystem::create_directories(dir / "mixed");
    const auto add = [&](const std::string& name, const std::string& bytes) {
        files.push_back(dir / "mixed" / name);
        Write(files.back(), bytes);
    };
    for (unsigned i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 6) {
            case 0: add("k" + n + ".kif", KifOf(Played(0, 20 + int(i), i), {"先手：甲"}, "投了")); break;
            case 1: add("h" + n + ".kif", KifOf(Played(2, 30, i), {"手合割：角落ち"}, "千日手")); break;
            case 2: add("b" + n + ".ki2", Cp932File({"▲７六歩 △３四歩", "まで2手で後手の勝ち"})); break;
            case 3: add("c" + n + ".kif", Cp932File({"##", "#:T", "S:a", "G:b", "K:7776 3334 ", "##",
                                                    "#:U", "S:c", "G:d", "K:2726 8384 ", "##"})); break;
            case 4: add("x" + n + ".kif", Cp932File({"手数", "   1 ５五歩(56)"})); break;
            default: files.push_back(dir / "mixed" / ("missing" + n + ".kif")); break;
        }
    }
    const std::filesystem::path alonePath = dir / "alone.ipx";
    ASSERT_TRUE(CreateStoreFiles(alonePath, true));
    GameStore alone(alonePath, StoreKind::Extended, 0);
    RecordingPrompter alonePrompter;
    ImportContext aloneContext{alone, alonePrompter, {}, "2001-02-03 04:05:06", {}, 5};
    std::vector<std::string> aloneRefusals;
    int aloneGames = 0;
    for (const auto& f : files) {
        const FileImport one = ImportTextFile(f, aloneContext);
        aloneGames += one.stored;
        if (one.stored < 1) aloneRefusals.push_back(one.refusal);
    }

    const ImportSummary summary = ImportFiles(files, context);
    EXPECT_EQ(summary.gamesStored, aloneGames);
    EXPECT_EQ(summary.filesRead, 30);
    std::vector<std::string> refusals;
    for (const ImportSummary::Refused& r : summary.refused) refusals.push_back(r.reason);
    EXPECT_EQ(refusals, aloneRefusals);
    for (const char* e : {".idx", ".kif", ".ipx", ".kpf", ".cp0"}) {
        EXPECT_TRUE(FileBytes(store.files.Path(e)) == FileBytes(alone.files.Path(e))) << e;
    }
    EXPECT_EQ(store.recordCount, static_cast<std::uint32_t>(aloneGames));
}

// Fails every write from the n-th on (0: none), counting them.
class FailingWriter : public RecordWriter {
public:
    long failAt = 0;
    long writes = 0;
    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
               std::size_t size) override {
        ++writes;
        if (failAt != 0 && writes >= failAt) return false;
        return RecordWriter::Write(file, offset, bytes, size);
    }
};

TEST_F(TextioImport, ARunTheStoreCannotTakeLeavesTheGamesBeforeItWhole) {
    // Three games stored by a first run; the second run's writes fail, at each write in turn.
    std::vector<std::string> first, second;
    for (unsigned i = 0; i < 3; ++i) first.push_back(KifOf(Played(0, 30 + int(i), i + 1), {}, "投了"));
    for (unsigned i = 0; i < 4; ++i) {
        std::string kif = KifOf(Played(i == 2 ? 1 : 0, i == 1 ? 300 : 40, i + 20),
                                {i == 2 ? "手合割：香落ち" : "先手：甲"}, "投了");
        kif.insert(kif.find("   2 "), "*a comment on move one\r\n");
        second.push_back(kif);
    }
    const auto writeFiles = [&](const std::string& sub, const std::vector<std::string>& texts) {
        std::filesystem::create_directories(dir / sub);
        std::vector<std::filesystem::path> paths;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            paths.push_back(dir / sub / ("g" + std::to_string(i) + ".kif"));
            Write(paths.back(), texts[i]);
        }
        return paths;
    };
    const auto firstFiles = writeFiles("first", first);
    const auto secondFiles = writeFiles("second", second);
    const char* extensions[] = {".idx", ".kif", ".kf2", ".ipx", ".kpf", ".kp2", ".cp0"};

    long secondRunWrites = 0;
    for (long failAt = 0; failAt == 0 || failAt <= secondRunWrites; ++failAt) {
        SCOPED_TRACE("write " + std::to_string(failAt) + " fails");
        const std::filesystem::path path = dir / ("run" + std::to_string(failAt) + ".ipx");
        ASSERT_TRUE(CreateStoreFiles(path, true));
        GameStore runStore(path, StoreKind::Extended, 0);
        RecordingPrompter runPrompter;
        ImportContext run{runStore, runPrompter, {}, "2001-02-03 04:05:06", {}, 5};
        ASSERT_EQ(ImportFiles(firstFiles, run).gamesStored, 3);
        std::vector<std::vector<std::uint8_t>> before;
        for (const char* e : extensions) {
            before.push_back(runStore.files.Exists(e) ? FileBytes(runStore.files.Path(e))
                                                      : std::vector<std::uint8_t>{0xEE});
        }
        runPrompter.shown.clear();

        FailingWriter writer;
        writer.failAt = failAt;
        const ImportSummary summary = ImportFiles(secondFiles, run, writer);
        if (failAt == 0) {
            // The run as it goes without a failure: every game stored, the writes counted.
            ASSERT_EQ(summary.gamesStored, 4);
            secondRunWrites = writer.writes;
            ASSERT_GE(secondRunWrites, 8);
            continue;
        }
        EXPECT_EQ(summary.gamesStored, 0);
        ASSERT_EQ(summary.refused.size(), 4u);
        for (const ImportSummary::Refused& r : summary.refused) {
            EXPECT_NE(r.reason.find("the store could not be written"), std::string::npos) << r.reason;
        }
        EXPECT_NE(std::find_if(runPrompter.shown.begin(), runPrompter.shown.end(),
                               [](const RecordingPrompter::Shown& m) {
                                   return m.kind == RecordingPrompter::Shown::Warning &&
                                          m.text.find(" 書込エラー！"_sj) != std::string::npos;
                               }),
                  runPrompter.shown.end());
        EXPECT_EQ(runPrompter.texts().back(), "\r棋譜はインポートされませんでした。"_sj);
        for (std::size_t i = 0; i < before.size(); ++i) {
            const std::vector<std::uint8_t> now = runStore.files.Exists(extensions[i])
                                                      ? FileBytes(runStore.files.Path(extensions[i]))
                                                      : std::vector<std::uint8_t>{0xEE};
            EXPECT_TRUE(now == before[i]) << extensions[i];
        }
        std::uint32_t count = 0;
        EXPECT_EQ(ValidateStore(path, count, runPrompter), StoreCheck::Extended);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(runStore.recordCount, 3u);
    }
}

TEST_F(TextioImport, TheCommandLineImportsAndTellsWhatItRefused) {
    TKifData& g = Played(0, 6);
    Write(dir / "good.kif", KifOf(g, {}, "投了"));
    Write(dir / "bad.kif", Cp932File({"hello"}));
    const std::string target = (dir / "cli" / "new.ipx").string();
    std::filesystem::create_directories(dir / "cli");
    testing::CliResult r = testing::RunCli({"import", target, (dir / "good.kif").string()});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("games stored: 1"), std::string::npos) << r.out;
    r = testing::RunCli({"import", target, (dir / "good.kif").string(), (dir / "bad.kif").string()});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("refused: "), std::string::npos) << r.out;
    r = testing::RunCli({"import", target});
    EXPECT_EQ(r.status, 2);
    r = testing::RunCli({"import", "--bogus", target, (dir / "good.kif").string()});
    EXPECT_EQ(r.status, 2);
    std::uint32_t count = 0;
    GameStore cliStore(target, StoreKind::Extended, 0);
    ASSERT_TRUE(ReadGameCount(cliStore, count));
    EXPECT_EQ(count, 2u);
}

}  // namespace
}  // namespace movra
