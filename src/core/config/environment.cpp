#include "core/config/environment.h"

#include <algorithm>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {
using namespace movra::literals;

EnvironmentChoices ChoicesFromSettings(const Settings& settings) {
    const Settings::Shogi& s = settings.shogi;
    EnvironmentChoices c;
    c.speedPosition = std::clamp(13 - s.Speed, 1, 12);
    c.smooth = s.Smooth;
    c.autoCom = s.AutoCom;
    c.comWait = s.ComWait;
    c.depthIndex = std::clamp((s.TumeTesu - 9) / 2, 0, 3);
    c.pieceSound = s.Sarnovi;
    c.readAloud = s.Yomiage;
    c.waitForWords = s.YomiWait;
    c.voiceRowsEnabled = s.VoiceType == 1 || s.VoiceType == 2;
    c.voice = c.voiceRowsEnabled ? s.VoiceType : 0;
    c.playerOrder = s.KsOrder == 1 ? 1 : 0;
    c.timeDisp = s.TimeDisp;
    c.warekiDisp = s.WarekiDisp;
    c.preventSeveralCopies = !s.Multi;
    return c;
}

EnvironmentChange ApplyChoices(const EnvironmentChoices& c, Settings& settings) {
    Settings::Shogi& s = settings.shogi;
    EnvironmentChange change;
    s.Sarnovi = c.pieceSound;
    if (c.voiceRowsEnabled) {
        s.Yomiage = c.readAloud;
        s.YomiWait = c.waitForWords;
        s.VoiceType = c.voice == 1 || c.voice == 2 ? c.voice : 0;
    }
    s.Smooth = c.smooth;
    s.AutoCom = c.autoCom;
    s.ComWait = c.comWait;
    change.playerOrderChanged = s.KsOrder != c.playerOrder;
    s.KsOrder = c.playerOrder;
    s.TimeDisp = c.timeDisp;
    s.WarekiDisp = c.warekiDisp;
    s.Multi = !c.preventSeveralCopies;
    s.Speed = 13 - std::clamp(c.speedPosition, 1, 12);
    s.TumeTesu = 9 + 2 * std::clamp(c.depthIndex, 0, 3);
    return change;
}

std::string IntervalLabel(int speedPosition) {
    const int ms = ReplayInterval(13 - std::clamp(speedPosition, 1, 12), false);
    std::string text = "(" + std::to_string(ms / 1000);
    if (const int tenths = ms / 100 % 10; tenths != 0) text += "." + std::to_string(tenths);
    return text + "秒)"_sj;
}

std::vector<std::string> DepthEntries() { return {"　９手"_sj, "１１手"_sj, "１３手"_sj, "１５手"_sj}; }

std::optional<std::string> TrialVoiceFolder(int voice) {
    if (voice != 1 && voice != 2) return std::nullopt;
    return "WAV" + std::to_string(voice);
}

std::string TrialWords() { return "sente.wav;76.wav;fu.wav"; }

int FirstPieceSet(const std::vector<PieceSetEntry>& sets, std::string_view koma) {
    const std::string wanted = UpperCaseAscii(koma);
    if (wanted.empty()) return 0;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const PieceSetEntry& e = sets[i];
        for (const std::string* file : {&e.small, &e.standard, &e.large}) {
            if (UpperCaseAscii(*file) == wanted) return static_cast<int>(i);
        }
    }
    return 0;
}

std::optional<std::string> PieceFileToSwitchTo(const PieceSetEntry& set, int sizeMode, std::string_view koma) {
    const std::string& forMode = sizeMode == kLargeBoard ? set.large : sizeMode == kStandardBoard ? set.standard : set.small;
    if (forMode.empty() || UpperCaseAscii(forMode) == UpperCaseAscii(koma)) return std::nullopt;
    // The size switch replaces the letter before the extension: it starts from the small file in
    // the large and standard modes and from the standard file in the small mode.
    return sizeMode == kSmallBoard ? set.standard : set.small;
}

}  // namespace movra
