#pragma once
// The settings dialog "動作環境" as values: its controls filled from the settings, the interval
// label of the replay speed, and what OK writes back. Also the piece-set chooser's choice.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/piece_sets.h"
#include "core/config/settings.h"

namespace movra {

struct EnvironmentChoices {
    int speedPosition = 10;  // track bar 1 (slow) to 12 (fast): 13 - Speed
    bool smooth = true;
    bool autoCom = true;
    bool comWait = false;
    int depthIndex = 1;      // "　９手", "１１手", "１３手", "１５手"
    bool pieceSound = true;
    bool readAloud = true;
    bool waitForWords = true;
    int voice = 1;           // 1 Ａタイプ, 2 Ｂタイプ, 0 neither
    // The voice rows (type, 試聴, reading aloud, waiting) can be used: VoiceType was 1 or 2.
    bool voiceRowsEnabled = true;
    int playerOrder = 0;     // 0 名前順, 1 登録順
    bool timeDisp = false;
    bool warekiDisp = false;
    bool preventSeveralCopies = true;  // "する": Multi false
};

EnvironmentChoices ChoicesFromSettings(const Settings& settings);

// What OK changed that the window has to follow.
struct EnvironmentChange {
    bool playerOrderChanged = false;
};
// OK: the choices into the settings (the voice rows only while they can be used).
EnvironmentChange ApplyChoices(const EnvironmentChoices& choices, Settings& settings);

// The interval of track-bar position 1-12: "(0.9秒)", "(5秒)", "(40秒)".
std::string IntervalLabel(int speedPosition);
// The entries of the mate-search depth list.
std::vector<std::string> DepthEntries();
// The voice folder "試聴" plays from: "WAV1" / "WAV2" of the program folder, none for 0.
std::optional<std::string> TrialVoiceFolder(int voice);
// What "試聴" queues.
std::string TrialWords();

// --- the piece-set chooser ---------------------------------------------------------------------

// The set selected first: the first whose line names the current piece file (any case), else 0.
int FirstPieceSet(const std::vector<PieceSetEntry>& sets, std::string_view koma);
// OK on a set in a size mode: the piece file the size switch starts from, or nothing when the set
// has no file for this size or is the set in use.
std::optional<std::string> PieceFileToSwitchTo(const PieceSetEntry& set, int sizeMode, std::string_view koma);

}  // namespace movra
