#include "core/gameinfo/game_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/gameinfo/detail_info.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::TempFolder;

std::string PlayerLine(int number, char category, std::string_view name, std::string_view kana) {
    char head[8];
    std::snprintf(head, sizeof head, "%3d %c ", number, category);
    return head + PadOrCut(name, 20) + PadOrCut(kana, 20);
}

class GameInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        Write("Ksname.dat", {PlayerLine(1, 'A', "羽生　善治"_sj, "ﾊﾌﾞ ﾖｼﾊﾙ"_sj),
                             PlayerLine(2, 'A', "谷川浩司"_sj, "ﾀﾆｶﾞﾜ ｺｳｼﾞ"_sj)});
        Write("Movra.dat", {" 1 名人戦"_sj, "++01 "_sj + "七番勝負"_sj, " 2 竜王戦"_sj,
                            "++01 "_sj + "七番勝負"_sj, "++02 "_sj + "決勝"_sj});
        Write("Senkei.dat", {"  1 矢倉"_sj, "  2 四間飛車"_sj});
        ASSERT_TRUE(players_.Load(folder_.path(), false));
        ASSERT_TRUE(tournaments_.Load(folder_.path(), prompter_));
        ASSERT_TRUE(openings_.Load(folder_.path(), prompter_));
    }
    void Write(const std::string& name, const std::vector<std::string>& lines) {
        std::ofstream out(folder_ / name, std::ios::binary);
        for (const std::string& l : lines) out << l << "\r\n";
    }
    GameInfoLists Lists(bool bulk) const {
        return GameInfoLists::Make(players_, tournaments_, openings_, bulk);
    }

    TempFolder folder_;
    testing::RecordingPrompter prompter_;
    PlayerTable players_;
    TournamentTable tournaments_;
    OpeningTable openings_;
};

// A stored game corrected through the main form: the date check refuses an impossible day and
// leaves both images alone, an unknown day passes, typed names find their players (spaces and
// all) or become the detail record's names, and the stored result follows the moves when they
// are edited too.
TEST_F(GameInfoTest, CorrectionThroughOk) {
    const GameInfoLists lists = Lists(false);
    IndexRecord index;
    index.setSentePlayer(2);
    index.setTournament(2);
    index.setSubTournament(2);
    index.setYear(1999);
    index.setMonth(4);
    index.setDay(1);
    index.setResult(1);
    index.setHandicap(0);
    DetailRecord detail;
    detail.setGoteName("山田太郎"_sj);
    detail.setStart({1999, 4, 1, 10, 30});

    GameInfoForm form = GameInfoFormFromImages(GameInfoMode::Correction, false, index, detail, true,
                                               lists, tournaments_);
    ASSERT_EQ(lists.players.size(), 3u);
    EXPECT_EQ(lists.players[std::size_t(form.player[0])].number, 2);
    EXPECT_EQ(form.playerText[1], std::string("山田太郎"_sj));
    EXPECT_EQ(lists.tournaments[std::size_t(form.tournament)].text, std::string("竜王戦"_sj));
    EXPECT_EQ(form.subTournament, 2);
    EXPECT_EQ(form.date, (DateTexts{"1999", "04", "01"}));
    EXPECT_EQ(form.result, 1);

    // 2000/02/30 is no day: the month gets the focus, nothing changes.
    form.date = {"2000", "02", "30"};
    const IndexRecord indexBefore = index;
    const DetailRecord detailBefore = detail;
    GameInfoCheck check = ApplyGameInfoForm(form, GameInfoMode::Correction, true, lists, players_, tournaments_, index, detail);
    EXPECT_EQ(check.focus, GameInfoField::Month);
    EXPECT_EQ(check.message, GameDateMessage());
    EXPECT_EQ(index, indexBefore);
    EXPECT_EQ(detail, detailBefore);
    form.date = {"2000", "13", "00"};
    EXPECT_FALSE(ApplyGameInfoForm(form, GameInfoMode::Correction, true, lists,
                                   players_, tournaments_, index, detail).ok());

    // An unknown day is accepted. The sente name typed with a full-width space finds 羽生善治;
    // an unknown gote name goes into the detail record with number 0.
    form.date = {"2000", "02", "00"};
    form.player = {0, 0};
    form.playerText = {" 羽生　善治 "_sj, "  佐藤 一郎"_sj};
    form.result = 2;
    form.rating = {"1850", ""};
    check = ApplyGameInfoForm(form, GameInfoMode::Correction, true, lists, players_,
                              tournaments_, index, detail);
    ASSERT_TRUE(check.ok()) << check.message;
    EXPECT_EQ(index.sentePlayer(), 1);
    EXPECT_EQ(index.gotePlayer(), 0);
    EXPECT_EQ(detail.goteName(), std::string("佐藤 一郎"_sj));
    EXPECT_EQ(index.dateValue(), 20000200u);
    EXPECT_EQ(index.result(), 2);
    EXPECT_EQ(index.tournament(), 2);
    EXPECT_EQ(index.subTournament(), 2);
    EXPECT_EQ(detail.senteRating(), 1850);
    EXPECT_EQ(detail.start(), (DetailDateTime{1999, 4, 1, 10, 30}));
    // DateUp: when the era label reads the date (here the unknown day counts as 01) the start
    // date follows, its time of day kept; a date the label cannot read leaves it.
    EXPECT_FALSE(CopyDateToStart(form.date, false, detail));
    EXPECT_TRUE(CopyDateToStart(form.date, true, detail));
    EXPECT_EQ(detail.start(), (DetailDateTime{2000, 2, 0, 10, 30}));
    EXPECT_EQ(OkAnswer(GameInfoMode::Correction, form), GameInfoAnswer::Ok);

    // "棋譜も変更する": the result shown is the stored one and stays; "指定なし" typed clears the
    // gote name.
    form.editMoves = true;
    form.result = 5;
    form.playerText[1] = std::string(NotGivenText());
    ASSERT_TRUE(ApplyGameInfoForm(form, GameInfoMode::Correction, true, lists,
                                  players_, tournaments_, index, detail).ok());
    EXPECT_EQ(index.result(), 2);
    EXPECT_EQ(detail.goteName(), "");
    EXPECT_EQ(OkAnswer(GameInfoMode::Correction, form), GameInfoAnswer::OkEditMoves);

    // A typed name over 14 bytes is refused at its box.
    form.playerText[0] = "ＡＢＣＤＥＦＧＨ"_sj;
    EXPECT_EQ(ApplyGameInfoForm(form, GameInfoMode::Correction, true, lists,
                                players_, tournaments_, index, detail).focus,
              GameInfoField::SentePlayer);

    // A new game: the handicap is the form's, the result 0.
    GameInfoForm fresh = GameInfoFormFromImages(GameInfoMode::NewGame, false, IndexRecord{},
                                                DetailRecord{}, true, lists, tournaments_);
    fresh.handicap = 3;
    fresh.result = 4;
    IndexRecord newIndex;
    DetailRecord newDetail;
    ASSERT_TRUE(ApplyGameInfoForm(fresh, GameInfoMode::NewGame, true, lists, players_,
                                  tournaments_, newIndex, newDetail).ok());
    EXPECT_EQ(newIndex.handicap(), 3);
    EXPECT_EQ(newIndex.result(), 0);
}

TEST_F(GameInfoTest, BulkSetLeavesUnchosenFieldsAlone) {
    const GameInfoLists lists = Lists(true);
    EXPECT_EQ(lists.players.front().text, std::string(NoChangeText()));
    EXPECT_EQ(GameNumberList(true).size(), 10u);
    EXPECT_EQ(ResultList(true).front(), std::string(NoChangeText()));

    // "変更なし" everywhere changes nothing.
    const GameInfoBulkSet none = BulkSetFromForm(BulkForm(), lists, players_, tournaments_);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.TemplateRecord(), IndexRecord{});

    GameInfoForm form = BulkForm();
    form.playerText = {"谷川　浩司"_sj, "誰でもない"_sj};  // the second has no match: unchanged
    form.tournament = 1;                                   // 名人戦
    form.subTournament = 1;
    form.gameNumber = 9;
    form.opening = 2;
    form.result = 8;
    const GameInfoBulkSet set = BulkSetFromForm(form, lists, players_, tournaments_);
    EXPECT_EQ(set, (GameInfoBulkSet{2, 0, 1, 1, 9, 2, 8}));
    const IndexRecord t = set.TemplateRecord();
    EXPECT_EQ(t.gotePlayer(), 0);
    EXPECT_EQ(t.opening(), 2);
    EXPECT_EQ(t.result(), 8);
}

TEST(GameInfoDate, EraLabelAndSpinButtons) {
    // The label: a full date, an unknown day with and without the option for incomplete dates.
    EXPECT_EQ(GameInfoEraLabel({"2019", "05", "01"}, false), std::string("(令和01年)"_sj));
    EXPECT_EQ(GameInfoEraLabel({"2000", "02", "00"}, false), std::string("(　　  　)"_sj));
    EXPECT_EQ(GameInfoEraLabel({"2000", "02", "00"}, true), std::string("(平成12年)"_sj));
    EXPECT_EQ(GameInfoEraLabel({"2000", "00", "00"}, true), std::string("(平成12年)"_sj));
    EXPECT_EQ(GameInfoEraLabel({"2000", "02", "30"}, true), std::string("(　　  　)"_sj));

    // Day down from the 1st of February 2001 ends on the last day that exists.
    EXPECT_EQ(SpinGameDate({"2001", "02", "01"}, DatePart::Day, false, true).day, "28");
    EXPECT_EQ(SpinGameDate({"2000", "02", "01"}, DatePart::Day, false, true).day, "29");
    // Up from the last day goes to the 1st; so does an impossible next day.
    EXPECT_EQ(SpinGameDate({"2001", "02", "28"}, DatePart::Day, true, true).day, "01");
    EXPECT_EQ(SpinGameDate({"2001", "03", "31"}, DatePart::Day, true, true).day, "01");
    EXPECT_EQ(SpinGameDate({"2001", "03", "30"}, DatePart::Day, true, true).day, "31");
    EXPECT_EQ(SpinGameDate({"2001", "03", ""}, DatePart::Day, false, true).day, "31");
    // Month up from January 31st into February: the day steps down to the month's last day.
    EXPECT_EQ(SpinGameDate({"2000", "01", "31"}, DatePart::Month, true, true),
              (DateTexts{"2000", "02", "29"}));
    // ... only when the label was valid before.
    EXPECT_EQ(SpinGameDate({"2000", "01", "31"}, DatePart::Month, true, false).day, "31");
    EXPECT_EQ(SpinGameDate({"2000", "12", "05"}, DatePart::Month, true, true).month, "01");
    EXPECT_EQ(SpinGameDate({"0001", "12", "05"}, DatePart::Year, false, true).year, "2000");
    EXPECT_EQ(SpinGameDate({"", "12", "05"}, DatePart::Year, true, true).year, "1900");
}

// The detailed form from a record and back: the rank whose 8th byte would split a character
// is kept as 7 bytes plus the rest and reads back whole, the allowance is copied to gote, the
// checks come in their order, and an unchanged form gives back the record it came from.
TEST(DetailInfo, FormRoundTripAndChecks) {
    const std::vector<std::string> ranks = RankList("/nonexistent");
    ASSERT_EQ(ranks.size(), 20u);
    EXPECT_EQ(ranks[1], std::string("九段"_sj));
    EXPECT_EQ(ranks.back(), std::string("10級"_sj));

    DetailRecord detail;
    detail.setSenteName("羽生善治"_sj);
    detail.setStart({2004, 3, 5, 9, 0});
    detail.setLunch({12, 10, 13, 0});
    detail.setTournamentText("第62期順位戦"_sj);
    DetailForm form = DetailFormFromRecord(detail, 2004, 3, 5, ranks);
    EXPECT_EQ(form.start, (std::array<std::string, 5>{"2004", "03", "05", "09", "00"}));
    EXPECT_EQ(form.end, (std::array<std::string, 5>{}));
    EXPECT_EQ(form.supper, (std::array<std::string, 4>{}));
    EXPECT_EQ(form.ranks[0], std::string(NotGivenText()));
    DetailRecord same = detail;
    ASSERT_TRUE(ApplyDetailForm(form, same).ok());
    EXPECT_EQ(same, detail);

    // "abc" + 竜王名人 + "x": byte 8 is the lead byte of 名, so the first part holds 7 bytes.
    const std::string rank = "abc竜王名人x"_sj;
    form.ranks[0] = rank;
    form.ranks[1] = "九段"_sj;
    form.senteAllowance = {"6", "00"};
    form.goteAllowance = {"", ""};
    CopyAllowanceToGote(form, 0);
    CopyAllowanceToGote(form, 1);
    EXPECT_EQ(form.goteAllowance, (std::array<std::string, 2>{"6", "00"}));
    form.goteAllowance[0] = "5";
    CopyAllowanceToGote(form, 0);  // gote's own hours stay
    EXPECT_EQ(form.goteAllowance[0], "5");
    ASSERT_TRUE(ApplyDetailForm(form, detail).ok());
    EXPECT_EQ(std::string(detail.bytes.begin() + 28, detail.bytes.begin() + 36),
              rank.substr(0, 7) + '\0');
    EXPECT_EQ(std::string(detail.bytes.begin() + 196, detail.bytes.begin() + 204),
              rank.substr(7) + std::string(3, '\0'));
    EXPECT_EQ(ReadRank(detail, true), rank);
    EXPECT_EQ(DetailFormFromRecord(detail, 0, 0, 0, ranks).ranks,
              (std::array<std::string, 2>{rank, std::string("九段"_sj)}));
    EXPECT_EQ(detail.senteAllowedMinutes(), 360);
    EXPECT_EQ(detail.goteAllowedMinutes(), 300);

    // The start date-time with only the minute empty is refused at the minute.
    DetailForm bad = DetailFormFromRecord(detail, 0, 0, 0, ranks);
    bad.start[4] = "";
    DetailCheck check = ApplyDetailForm(bad, detail);
    EXPECT_EQ(check.focus, DetailField::Start);
    EXPECT_EQ(check.part, 4);
    EXPECT_EQ(check.message, std::string("\r対局開始日時が正しくありません。"_sj));
    // All five empty clears it.
    bad.start = {};
    // ... but a rank over 16 bytes is checked before anything else.
    bad.ranks[1] = "竜王名人九段王位王座"_sj;
    bad.supper = {"25", "", "", ""};
    EXPECT_EQ(ApplyDetailForm(bad, detail).focus, DetailField::GoteRank);
    bad.ranks[1] = "";
    check = ApplyDetailForm(bad, detail);
    EXPECT_EQ(check.focus, DetailField::Supper);
    EXPECT_EQ(check.message, std::string("\r夕休の時分が正しくありません。"_sj));
    bad.supper = {"18", "", "19", "60"};
    EXPECT_EQ(ApplyDetailForm(bad, detail).part, 3);
    bad.supper = {};
    bad.goteAllowance = {"5", "60"};
    EXPECT_EQ(ApplyDetailForm(bad, detail).focus, DetailField::GoteAllowance);
    bad.goteAllowance = {"5", "0"};
    bad.remarks = std::string(41, 'x');
    EXPECT_EQ(ApplyDetailForm(bad, detail).message,
              std::string("\r備考は全角20文字以内で入力して下さい。"_sj));
    bad.remarks = "";
    ASSERT_TRUE(ApplyDetailForm(bad, detail).ok());
    EXPECT_EQ(detail.start(), DetailDateTime{});
    EXPECT_EQ(ReadRank(detail, false), "");
}

TEST(DetailInfo, LabelPresets) {
    // 順位戦 runs from April: March 2004 is still the 62nd season, April the 63rd.
    EXPECT_EQ(NumberedTournamentText("順位戦"_sj, "2004", "03", 0), "第62期順位戦"_sj);
    EXPECT_EQ(NumberedTournamentText("順位戦"_sj, "2004", "04", 0), "第63期順位戦"_sj);
    EXPECT_EQ(NumberedTournamentText("名人戦"_sj, "2004", "04", 1), "第62期名人戦"_sj);
    // 竜王戦: a December game outside the title match belongs to the next season.
    EXPECT_EQ(NumberedTournamentText("竜王戦"_sj, "2004", "12", 2), "第18期竜王戦"_sj);
    EXPECT_EQ(NumberedTournamentText("竜王戦"_sj, "2004", "12", 1), "第17期竜王戦"_sj);
    EXPECT_EQ(NumberedTournamentText("竜王戦"_sj, "1987", "05", 1), "第??期竜王戦"_sj);
    EXPECT_EQ(NumberedTournamentText("竜王戦"_sj, "", "05", 1), "第??期竜王戦"_sj);
    EXPECT_EQ(NumberedTournamentText("第17期竜王戦"_sj, "2004", "05", 1), std::nullopt);

    EXPECT_EQ(LunchPreset("第17期竜王戦"_sj, 1), (std::array<std::string, 4>{"12", "30", "13", "30"}));
    EXPECT_EQ(LunchPreset("第17期竜王戦"_sj, 2), (std::array<std::string, 4>{"12", "10", "13", "00"}));
    EXPECT_EQ(SupperPreset("第17期竜王戦"_sj, 1), (std::array<std::string, 4>{}));
    EXPECT_EQ(AllowancePreset("第62期名人戦順位戦"_sj, 0), 6);
    EXPECT_EQ(AllowancePreset("第62期名人戦"_sj, 0), 9);
    EXPECT_EQ(AllowancePreset("竜王戦"_sj, 1), 8);
    EXPECT_EQ(AllowancePreset("竜王戦"_sj, 3), 5);
    EXPECT_EQ(AllowancePreset("王座戦"_sj, 1), std::nullopt);
}

TEST(DetailInfo, ListsFromTheProgramFolder) {
    TempFolder folder;
    testing::TouchFile(folder / "dankyu.TXT", std::string("名人\r\n\r\n九段 \r\n"_sj));
    EXPECT_EQ(RankList(folder.path()), (std::vector<std::string>{std::string(NotGivenText()),
                                                                 "名人"_sj, "九段"_sj}));
    EXPECT_FALSE(HasRecorderList(folder.path()));
    testing::TouchFile(folder / "kiroku.txt", "a\r\nb\r\n");
    EXPECT_EQ(RecorderList(folder.path()), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace movra
