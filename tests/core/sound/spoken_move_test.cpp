// The words of a move and of the closing line, as voice files in the sound queue.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "core/store/store_test_support.h"
#include "core/sound/spoken_move.h"
#include "core/text/sjis_literal.h"
#include "core/record/game_text.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(SpokenMove, SideDestinationPieceAndTheWordsAfter) {
    EXPECT_EQ(SpeakMove("▲７六歩"_sj, '0'), "sente.wav;76.wav;fu.wav;");
    EXPECT_EQ(SpeakMove("△同　角成"_sj, '0'), "gote.wav;Dou.wav;kaku.wav;Naru.wav;");
    EXPECT_EQ(SpeakMove("▲５五金左上"_sj, '0'), "sente.wav;55.wav;kin.wav;HidariA.wav;");
    EXPECT_EQ(SpeakMove("△３四歩"_sj, '3'), "uwate.wav;34.wav;fu.wav;");
    EXPECT_EQ(SpeakMove("▲７六歩"_sj, '3'), "shitate.wav;76.wav;fu.wav;");
    // Promoted pieces are found before the plain ones they contain.
    EXPECT_EQ(SpeakMove("▲２二成銀"_sj, '0'), "sente.wav;22.wav;ngin.wav;");
    EXPECT_EQ(SpeakMove("▲２二銀成"_sj, '0'), "sente.wav;22.wav;gin.wav;Naru.wav;");
    EXPECT_EQ(SpeakMove("△８八銀不成"_sj, '0'), "gote.wav;88.wav;gin.wav;Narazu.wav;");
    EXPECT_EQ(SpeakMove("▲１一成香"_sj, '0'), "sente.wav;11.wav;nkyo.wav;");
    EXPECT_EQ(SpeakMove("▲９九と"_sj, '0'), "sente.wav;99.wav;tokin.wav;");
    EXPECT_EQ(SpeakMove("▲５五角打"_sj, '0'), "sente.wav;55.wav;kaku.wav;Utsu.wav;");
    EXPECT_EQ(SpeakMove("▲５八金直"_sj, '0'), "sente.wav;58.wav;kin.wav;Sugu.wav;");
    EXPECT_EQ(SpeakMove("△６二銀右引"_sj, '0'), "gote.wav;62.wav;gin.wav;MigiH.wav;");
    // A combined word and a promotion both after the piece.
    EXPECT_EQ(SpeakMove("▲３三桂左成"_sj, '0'), "sente.wav;33.wav;keima.wav;Hidari.wav;Naru.wav;");
    EXPECT_EQ(SpeakMove("▲３三竜寄"_sj, '0'), "sente.wav;33.wav;ryu.wav;Yoru.wav;");
}

TEST(SpokenMove, UnreadableTextsEndEarly) {
    // No piece name: nothing after the destination.
    EXPECT_EQ(SpeakMove("▲７六"_sj, '0'), "sente.wav;76.wav;");
    // Neither digit is known: the destination is spoken as 0.
    EXPECT_EQ(SpeakMove("▲ab歩"_sj, '0'), "sente.wav;0.wav;fu.wav;");
    EXPECT_EQ(SpeakMove("", '0'), "0.wav;");
}

TEST(SpokenMove, EveryLineOfRandomGamesSpeaksFromTheVocabulary) {
    const std::set<std::string> vocabulary = {
        "sente", "gote", "shitate", "uwate", "Dou", "fu", "tokin", "kyosha", "nkyo", "keima", "nkei",
        "gin", "ngin", "kin", "kaku", "uma", "hisha", "ryu", "gyoku", "MigiA", "MigiH", "MigiY", "Migi",
        "HidariA", "HidariH", "HidariY", "Hidari", "Sugu", "Agaru", "Hiku", "Yoru", "Narazu", "Naru", "Utsu"};
    std::mt19937 rng(3);
    int spoken = 0;
    for (int handicap : {0, 0, 2, 9}) {
        TKifData game;
        const int moves = testing::PlayRandomGame(rng, handicap, 150, game);
        const std::vector<std::string> lines = MoveListLines(game);
        ASSERT_GE(lines.size(), std::size_t(moves));
        for (int n = 1; n <= moves; ++n) {
            // The move's line from its side mark on (the sixth byte).
            const std::string words = SpeakMove(std::string_view(lines[std::size_t(n - 1)]).substr(5), game.handicap);
            std::vector<std::string> files;
            for (std::size_t start = 0, end; (end = words.find(';', start)) != std::string::npos; start = end + 1)
                files.push_back(words.substr(start, end - start));
            ASSERT_GE(files.size(), 3u) << lines[std::size_t(n - 1)];
            for (std::string& f : files) {
                ASSERT_TRUE(f.size() > 4 && f.ends_with(".wav")) << words;
                f.resize(f.size() - 4);
            }
            const bool sente = game.SideOf(n) == 1;
            EXPECT_EQ(files[0], handicap == 0 ? (sente ? "sente" : "gote") : (sente ? "shitate" : "uwate"));
            if (files[1] != "Dou") {
                const int square = std::stoi(files[1]);
                EXPECT_EQ(square, game.moves[n].toFile * 10 + game.moves[n].toRank) << words;
            }
            for (std::size_t i = 2; i < files.size(); ++i) EXPECT_TRUE(vocabulary.count(files[i])) << words;
            ++spoken;
        }
    }
    EXPECT_GT(spoken, 300);
}

TEST(SpokenClosing, CountsResultsAndInterruptedGames) {
    EXPECT_EQ(SpeakClosing("95手まで先手勝ち"_sj, '1'), "made.wav;T090.wav;T005m.wav;Swin.wav;");
    EXPECT_EQ(SpeakClosing("95手以下後手勝ち"_sj, '5'), "ika.wav;Gwin.wav;");
    EXPECT_EQ(SpeakClosing("95手まで"_sj, '0'), "ijou.wav;T090.wav;T005d.wav;");
    EXPECT_EQ(SpeakClosing("95手まで"_sj, ' '), "ijou.wav;T090.wav;T005d.wav;");
    EXPECT_EQ(SpeakClosing("120手まで後手勝ち"_sj, '2'), "made.wav;T100.wav;T020m.wav;Gwin.wav;");
    EXPECT_EQ(SpeakClosing("105手まで下手勝ち"_sj, '1'), "made.wav;T100.wav;T005m.wav;Hwin.wav;");
    EXPECT_EQ(SpeakClosing("7手まで上手勝ち"_sj, '2'), "made.wav;T007m.wav;UWin.wav;");
    EXPECT_EQ(SpeakClosing("200手まで千日手"_sj, '3'), "made.wav;T200m.wav;Sennichi.wav;");
    EXPECT_EQ(SpeakClosing("10手まで持将棋"_sj, '4'), "made.wav;T010m.wav;Jishogi.wav;");
    EXPECT_EQ(SpeakClosing("311手まで先手勝ち"_sj, '1'), "made.wav;T300.wav;T010.wav;T001m.wav;Swin.wav;");
    EXPECT_EQ(SpeakClosing("0手まで"_sj, '0'), "ijou.wav;T000d.wav;");
}

}  // namespace
}  // namespace movra
