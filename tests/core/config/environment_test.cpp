// The settings dialog's values (interval label, the settings OK writes back) and the piece-set
// chooser's choice.
#include <gtest/gtest.h>

#include "core/config/environment.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;

TEST(Environment, IntervalLabelFollowsTheTrackBar) {
    Settings s;
    s.shogi.Speed = 3;
    EXPECT_EQ(ChoicesFromSettings(s).speedPosition, 10);
    EXPECT_EQ(IntervalLabel(10), "(0.9秒)"_sj);
    EXPECT_EQ(IntervalLabel(12), "(0.3秒)"_sj);  // the right end: Speed 1
    EXPECT_EQ(IntervalLabel(9), "(1.2秒)"_sj);
    EXPECT_EQ(IntervalLabel(6), "(5秒)"_sj);
    EXPECT_EQ(IntervalLabel(1), "(40秒)"_sj);
    EnvironmentChoices c = ChoicesFromSettings(s);
    c.speedPosition = 12;
    ApplyChoices(c, s);
    EXPECT_EQ(s.shogi.Speed, 1);
}

TEST(Environment, OkWritesEverySettingBack) {
    Settings s;
    s.shogi.TumeTesu = 13;
    s.shogi.Multi = false;
    EnvironmentChoices c = ChoicesFromSettings(s);
    EXPECT_EQ(c.depthIndex, 2);
    EXPECT_EQ(DepthEntries()[std::size_t(c.depthIndex)], "１３手"_sj);
    EXPECT_TRUE(c.preventSeveralCopies);
    c.depthIndex = 0;
    c.smooth = false;
    c.autoCom = false;
    c.comWait = true;
    c.pieceSound = false;
    c.readAloud = false;
    c.waitForWords = false;
    c.voice = 2;
    c.timeDisp = true;
    c.warekiDisp = true;
    c.preventSeveralCopies = false;
    EXPECT_FALSE(ApplyChoices(c, s).playerOrderChanged);
    EXPECT_EQ(s.shogi.TumeTesu, 9);
    EXPECT_FALSE(s.shogi.Smooth);
    EXPECT_FALSE(s.shogi.AutoCom);
    EXPECT_TRUE(s.shogi.ComWait);
    EXPECT_FALSE(s.shogi.Sarnovi);
    EXPECT_FALSE(s.shogi.Yomiage);
    EXPECT_FALSE(s.shogi.YomiWait);
    EXPECT_EQ(s.shogi.VoiceType, 2);
    EXPECT_TRUE(s.shogi.TimeDisp);
    EXPECT_TRUE(s.shogi.WarekiDisp);
    EXPECT_TRUE(s.shogi.Multi);
    c.playerOrder = 1;
    EXPECT_TRUE(ApplyChoices(c, s).playerOrderChanged);
    EXPECT_EQ(s.shogi.KsOrder, 1);
    EXPECT_FALSE(ApplyChoices(c, s).playerOrderChanged);
}

TEST(Environment, WithoutAVoiceSetTheReadingSettingsStay) {
    for (int voiceType : {0, 3}) {
        Settings s;
        s.shogi.VoiceType = voiceType;
        EnvironmentChoices c = ChoicesFromSettings(s);
        EXPECT_FALSE(c.voiceRowsEnabled);
        EXPECT_EQ(c.voice, 0);
        c.readAloud = false;
        c.waitForWords = false;
        c.voice = 1;
        c.pieceSound = false;
        ApplyChoices(c, s);
        EXPECT_TRUE(s.shogi.Yomiage);
        EXPECT_TRUE(s.shogi.YomiWait);
        EXPECT_EQ(s.shogi.VoiceType, voiceType);
        EXPECT_FALSE(s.shogi.Sarnovi) << "the piece sound is chosen all the same";
    }
    EXPECT_EQ(TrialVoiceFolder(1), std::optional<std::string>("WAV1"));
    EXPECT_EQ(TrialVoiceFolder(2), std::optional<std::string>("WAV2"));
    EXPECT_FALSE(TrialVoiceFolder(0));
}

TEST(PieceSetChoice, TheSetInUseAndSetsWithoutTheSize) {
    const std::vector<PieceSetEntry> sets = {
        {"一字駒"_sj, "KOMA1S.BMP", "KOMA1L.BMP", "KOMA1E.BMP"},
        {"二字駒"_sj, "KOMA2S.BMP", "KOMA2L.BMP", ""},
    };
    EXPECT_EQ(FirstPieceSet(sets, "koma2l.bmp"), 1);
    EXPECT_EQ(FirstPieceSet(sets, "KOMA9L.BMP"), 0);
    EXPECT_EQ(FirstPieceSet({}, "KOMA1L.BMP"), 0);
    // The set already shown changes nothing, in any case of letters.
    EXPECT_FALSE(PieceFileToSwitchTo(sets[0], kStandardBoard, "koma1l.bmp"));
    // No large pictures while the large board is shown: nothing.
    EXPECT_FALSE(PieceFileToSwitchTo(sets[1], kLargeBoard, "KOMA1E.BMP"));
    // Large and standard boards start the switch from the small file, the small board from the
    // standard one.
    EXPECT_EQ(PieceFileToSwitchTo(sets[1], kStandardBoard, "KOMA1L.BMP"), std::optional<std::string>("KOMA2S.BMP"));
    EXPECT_EQ(PieceFileToSwitchTo(sets[0], kLargeBoard, "KOMA2E.BMP"), std::optional<std::string>("KOMA1S.BMP"));
    EXPECT_EQ(PieceFileToSwitchTo(sets[1], kSmallBoard, "KOMA1S.BMP"), std::optional<std::string>("KOMA2L.BMP"));
}

}  // namespace
}  // namespace movra
