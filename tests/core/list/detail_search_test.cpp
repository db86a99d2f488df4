// The detailed search: condition strings, the lower-cased player names tried crosswise, the
// rating modes, comments found through the move info, and the dialog's checks, condition record,
// rating panel and histories.
#include <gtest/gtest.h>

#include <random>

#include "core/list/detail_search.h"
#include "core/text/sjis_literal.h"
#include "search_test_support.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::StoreGame;
using testing::TempFolder;

DetailRecord Names(std::string_view sente, std::string_view gote) {
    DetailRecord d;
    d.setSenteName(sente);
    d.setGoteName(gote);
    return d;
}

TEST(DetailSearch, ConditionStrings) {
    EXPECT_TRUE(ConditionPasses(" ", "anything", 20));
    EXPECT_TRUE(ConditionPasses("=" + std::string("大阪"_sj), "大阪"_sj, 20));
    EXPECT_FALSE(ConditionPasses("=" + std::string("大阪"_sj), "大阪府"_sj, 20)) << "一致 wants it whole";
    EXPECT_TRUE(ConditionPasses(">" + std::string("阪"_sj), "大阪府"_sj, 20));
    EXPECT_FALSE(ConditionPasses(">" + std::string("京"_sj), "大阪府"_sj, 20));
    // A match must start on a character: 41 83 lies across ア (83 41) and イ (83 43).
    EXPECT_FALSE(ConditionPasses(">\x41\x83", "アイ"_sj, 20));
    EXPECT_TRUE(ConditionPasses(">A", "xAy", 20));
    // The condition is cut to the field's width, never inside a character.
    EXPECT_TRUE(ConditionPasses("=" + std::string("一二三四五六七八"_sj), "一二三四五六七"_sj, 14));
    EXPECT_TRUE(ConditionPasses("=abcdefghijklmnopq", "abcdefghijklmn", 14));
    // Lower-casing leaves the trail bytes of double-byte characters alone.
    EXPECT_EQ(LowerAscii("AbCア"_sj), "abcア"_sj);
}

TEST(DetailSearch, PlayersAreLowerCasedAndTriedCrosswiseInModeOne) {
    TKensaku2 k;
    k.player1 = ">ab";
    EXPECT_TRUE(DetailRecordPasses(k, Names("Abc", "x")));
    EXPECT_TRUE(DetailRecordPasses(k, Names("x", "ABC"))) << "mode 1: either side";
    k.playerMode = 2;
    EXPECT_FALSE(DetailRecordPasses(k, Names("x", "ABC")));
    k = TKensaku2{};
    k.place = ">ab";
    DetailRecord d;
    d.setPlace("Abc");
    EXPECT_FALSE(DetailRecordPasses(k, d)) << "places keep their case";

    k = TKensaku2{};
    k.player1 = "=x";
    EXPECT_TRUE(DetailRecordPasses(k, Names("x", "y")));
    EXPECT_TRUE(DetailRecordPasses(k, Names("y", "x")));
    EXPECT_FALSE(DetailRecordPasses(k, Names("xx", "y")));
    k.player2 = "=y";
    EXPECT_TRUE(DetailRecordPasses(k, Names("y", "x")));
    EXPECT_FALSE(DetailRecordPasses(k, Names("x", "z")));
    k.playerMode = 2;
    EXPECT_FALSE(DetailRecordPasses(k, Names("y", "x")));
    // Player 2 alone is tried on gote, then (mode 1) on sente.
    k = TKensaku2{};
    k.player2 = "=y";
    EXPECT_TRUE(DetailRecordPasses(k, Names("y", "x")));
    k.playerMode = 2;
    EXPECT_FALSE(DetailRecordPasses(k, Names("y", "x")));
}

TEST(DetailSearch, RatingModes) {
    DetailRecord d;
    const auto rated = [&](int sente, int gote) {
        d.setSenteRating(std::int16_t(sente));
        d.setGoteRating(std::int16_t(gote));
        return d;
    };
    TKensaku2 k;  // no range on, AND: both [0, 9999]
    EXPECT_TRUE(DetailRecordPasses(k, rated(9999, 0)));
    EXPECT_FALSE(DetailRecordPasses(k, rated(10000, 0)));
    EXPECT_FALSE(DetailRecordPasses(k, rated(-5, 100))) << "a negative stored rating reads as a large one";

    // OR with only gote's range on: sente's range is [1, 0], so gote's decides.
    Kensaku2Form f;
    f.ratings.goteEnabled = true;
    f.ratings.goteLow = "1500";
    f.ratings.goteHigh = "1800";
    f.ratingOr = true;
    ASSERT_TRUE(BuildKensaku2(f, k).ok());
    EXPECT_EQ(k.ratingMode, 2);
    EXPECT_EQ(k.senteLow, 1);
    EXPECT_EQ(k.senteHigh, 0);
    EXPECT_TRUE(DetailRecordPasses(k, rated(0, 1600)));
    EXPECT_FALSE(DetailRecordPasses(k, rated(1600, 1400)));

    // A sente low of -150 asks for a difference of at least 150, whatever the other range holds.
    f = Kensaku2Form{};
    f.ratings.senteEnabled = true;
    f.ratings.senteLow = "-150";
    f.ratings.senteHigh = "0";
    f.ratings.goteEnabled = true;
    f.ratings.goteLow = "2000";
    f.ratings.goteHigh = "2100";
    ASSERT_TRUE(CheckRatingPanel(f.ratings).ok());
    EXPECT_EQ(f.ratings.senteHigh, "9999");
    ASSERT_TRUE(BuildKensaku2(f, k).ok());
    EXPECT_EQ(k.ratingMode, 3);
    EXPECT_EQ(k.senteLow, 150);
    EXPECT_TRUE(DetailRecordPasses(k, rated(1500, 1650)));
    EXPECT_TRUE(DetailRecordPasses(k, rated(1800, 1600)));
    EXPECT_FALSE(DetailRecordPasses(k, rated(1500, 1649)));
}

TEST(DetailSearch, TheDialogChecksAndTheConditionRecord) {
    Kensaku2Form f;
    EXPECT_EQ(CheckKensaku2Form(f).message, "検索条件を指定してください。"_sj);
    EXPECT_EQ(CheckKensaku2Form(f).focus, Kensaku2Field::Player1);
    f.players = true;
    f.player1 = "  ";
    f.remarks = true;
    EXPECT_EQ(CheckKensaku2Form(f).message, "棋士名を入力してください。"_sj);
    f.player2 = "Habu";
    f.tournament = true;
    EXPECT_EQ(CheckKensaku2Form(f).message, "棋戦名(詳細)を入力してください。"_sj);
    f.tournamentText = "名人戦"_sj;
    EXPECT_EQ(CheckKensaku2Form(f).focus, Kensaku2Field::Remarks);
    f.remarksText = "Final";
    EXPECT_TRUE(CheckKensaku2Form(f).ok());
    f = Kensaku2Form{};
    f.comments = true;
    EXPECT_TRUE(CheckKensaku2Form(f).ok());

    f = Kensaku2Form{};
    f.players = true;
    f.player1 = " ABCDEFGHIJKLMNOPQRST ";
    f.player2 = "Xy";
    f.playerMode = PlayerMode::Swapped;
    f.place = true;
    f.placeText = "Tokyo";
    f.recorder = true;
    f.recorderText = "Ito";
    f.recorderExact = true;
    f.comments = true;
    f.withComments = false;
    TKensaku2 k;
    ASSERT_TRUE(BuildKensaku2(f, k).ok());
    EXPECT_EQ(k.playerMode, 2);
    EXPECT_EQ(k.player1, "=xy") << "mode 3 exchanges the players";
    EXPECT_EQ(k.player2, "=abcdefghijklmn") << "lower-cased, 15 characters with the marker";
    EXPECT_EQ(k.place, ">Tokyo");
    EXPECT_EQ(k.recorder, "=Ito");
    EXPECT_EQ(k.tournamentText, " ");
    EXPECT_EQ(k.commentCondition, -1);
    EXPECT_EQ(k.ratingMode, 1);
    EXPECT_EQ(k.senteHigh, 9999);

    f.ratings.senteEnabled = true;
    f.ratings.senteLow = "abc";
    EXPECT_EQ(BuildKensaku2(f, k).message, "レーティング指定が正しくありません。"_sj);

    RatingRanges r;
    r.senteEnabled = true;
    r.senteLow = "-";
    r.senteHigh = "0";
    EXPECT_EQ(CheckRatingPanel(r).message, "レーティング点数を入力してください。"_sj);
    r.senteLow = "1800";
    r.senteHigh = "1500";
    EXPECT_EQ(CheckRatingPanel(r).message, "レーティング指定が正しくありません。"_sj);
    r.senteHigh = "40000";
    EXPECT_EQ(CheckRatingPanel(r).focus, Kensaku2Field::SenteLow);
    r.senteHigh = "2000";
    r.goteEnabled = true;
    r.goteLow = "2000";
    r.goteHigh = "1000";
    EXPECT_EQ(CheckRatingPanel(r).focus, Kensaku2Field::GoteLow);
}

TEST(DetailSearch, HistoriesAndSavedRatings) {
    std::array<std::string, kSearchListCount> h{};
    for (int i = 0; i < 10; ++i) PushHistory(h, "t" + std::to_string(i));
    EXPECT_EQ(h[0], "t9");
    EXPECT_EQ(h[9], "t0");
    PushHistory(h, "t4");
    EXPECT_EQ(h[0], "t4");
    EXPECT_EQ(h[1], "t9");
    EXPECT_EQ(std::count(h.begin(), h.end(), "t4"), 1) << "moved, not duplicated";
    EXPECT_EQ(h[9], "t0");
    PushHistory(h, "new");
    EXPECT_EQ(h[0], "new");
    EXPECT_EQ(std::count(h.begin(), h.end(), "t0"), 0) << "the tenth falls off";
    PushHistory(h, "  ");
    EXPECT_EQ(h[0], "new");

    Settings::Kensaku2 saved;
    saved.Rating1 = true;
    saved.Rating1F = "1000";
    saved.Rating1T = "0";
    const RatingRanges r = LoadRatingRanges(saved);
    EXPECT_EQ(r.senteHigh, "9999");
    Settings::Kensaku2 back;
    SaveRatingRanges(r, back);
    EXPECT_TRUE(back.Rating1);
    EXPECT_EQ(back.Rating1T, "9999");

    Kensaku2Form f;
    f.players = true;
    f.player1 = "Habu";
    f.place = true;
    f.placeText = "Osaka";
    f.remarksText = "not ticked";
    PushHistories(f, back);
    EXPECT_EQ(back.Kishi1[0], "Habu");
    EXPECT_EQ(back.Kishi2[0], "");
    EXPECT_EQ(back.Place[0], "Osaka");
    EXPECT_EQ(back.Bikou[0], "");
}

TEST(DetailSearch, SearchesTheStoreWithCommentsFromTheMoveInfo) {
    TempFolder dir;
    std::mt19937 rng(3);
    std::vector<StoreGame> games(6);
    for (auto& g : games) g.game = testing::RandomStoredGame(rng, 0, 30);
    do {
        games[5].game = testing::RandomStoredGame(rng, 0, 300);
    } while (games[5].game.moveCount < 280);
    games[0].detail.setPlace("Osaka");
    games[1].game.info.setCommentNumber(10, 3);         // a move comment
    games[2].detail.setClosingComment(0, 4);             // a closing comment
    games[3].detail.setPlace("Kyoto Osaka");
    games[5].game.info.setCommentNumber(270, 8);        // a comment past entry 255
    games[4].index.setWord(indexword::kTournament, 300);  // cannot be a catalogue entry
    games[4].detail.setPlace("Osaka");
    const GameStore store = testing::WriteSearchStore(dir / "d.idx", games, true);

    auto catalogue = std::make_unique<GameCatalogue>();
    LoadCatalogue(store, *catalogue);
    const std::uint32_t before = catalogue->count();
    RecordingPrompter prompter;
    TKensaku2 k;
    k.commentCondition = 1;
    SearchOutcome out = DetailSearch(store, k, *catalogue, prompter);
    ASSERT_EQ(out.hits, 3u);
    EXPECT_EQ(catalogue->at(0).recordNumber, 2u);
    EXPECT_EQ(catalogue->at(1).recordNumber, 3u);
    EXPECT_EQ(catalogue->at(2).recordNumber, 6u);
    EXPECT_EQ(catalogue->at(2).positionHit, -1);
    EXPECT_EQ(prompter.shown.back().text, "検索結果は 3件です"_sj);

    k.commentCondition = -1;
    k.place = ">Osaka";
    out = DetailSearch(store, k, *catalogue, prompter);
    EXPECT_EQ(out.hits, 2u);
    EXPECT_EQ(out.unlisted, 1u);
    EXPECT_EQ(catalogue->at(1).recordNumber, 4u);

    LoadCatalogue(store, *catalogue);
    k.place = "=Nagoya";
    out = DetailSearch(store, k, *catalogue, prompter);
    EXPECT_EQ(out.hits, 0u);
    EXPECT_EQ(catalogue->count(), before) << "no hit keeps the list";
    EXPECT_EQ(prompter.shown.back().text, "検索結果は 0件です"_sj);
}

}  // namespace
}  // namespace movra
