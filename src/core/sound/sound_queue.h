#pragma once
// The sounds of the main window: the voice folder chosen at start-up, and the queue of sound
// files played one after another (the piece sound, and the words of a move read aloud).
//
// The queue is one text of file names each followed by ";" ("sarnovi.wav;sente.wav;76.wav;").
// Its head is the sound playing or about to play; a queue of at most one character is idle.
#include <filesystem>
#include <string>
#include <utility>
#include <string_view>

namespace movra {

// The piece sound's name in the queue.
inline constexpr char kPieceSoundEntry[] = "sarnovi.wav;";

// The voice set found at start-up.
struct VoiceChoice {
    // 1-3 with a voice set, 0 when reading aloud is off for the run.
    int voiceType = 0;
    // The folder every queued sound is looked up in: "WAV<n>" of the program folder, or the
    // program folder itself when there is no voice set.
    std::filesystem::path folder;
    bool readingAloudAvailable() const { return voiceType >= 1; }
};

// `VoiceType` 0 asks to look for the first of WAV1, WAV2, WAV3 that holds "sarnovi.wav"; then a
// number whose folder holds "11.wav" is a voice set. Names are matched without regard to case.
VoiceChoice ChooseVoiceFolder(const std::filesystem::path& programFolder, int voiceType);

// What the player is to do after the queue moved.
struct PlayOrder {
    enum class Action {
        None,  // nothing to do (the queue was dropped, or it already plays)
        Stop,  // the queue is too short: stop the player if it plays
        Play,  // play `file`
    };
    Action action = Action::None;
    std::filesystem::path file;
};

class SoundQueue {
public:
    const std::string& text() const { return text_; }
    bool idle() const { return text_.size() <= 1; }
    bool empty() const { return text_.empty(); }
    void Clear() { text_.clear(); }
    // The queue becomes `text` (the settings dialog's trial of a voice).
    void SetText(std::string text) { text_ = std::move(text); }

    // A step forward to a move. With the piece sound on, the queue becomes just the piece sound
    // when reading aloud is off or the piece sound is still queued, else it is appended; the
    // move's words follow when reading aloud is on and study mode is off. True when the queue
    // was idle and now holds something: playing is to start (PlayNext).
    bool QueueForward(bool pieceSound, bool readingAloud, bool studyMode, std::string_view moveWords);
    // The step forward that reaches the closing line: its words, when reading aloud is on,
    // study mode off and the visible list holds the closing line. True as QueueForward.
    bool QueueClosing(bool readingAloud, bool studyMode, bool closingShown,
                      std::string_view closingWords);
    // A step back: the piece sound, only when the queue is idle. True when playing is to start.
    bool QueueBack(bool pieceSound);

    // Starts the head of the queue: fewer than 5 characters stop the player; otherwise the
    // first name in `voiceFolder` is to play when it exists and sound works, and else the whole
    // queue is dropped.
    PlayOrder PlayNext(const std::filesystem::path& voiceFolder, bool soundWorks);
    // The player finished a sound: its name leaves the queue (a queue without ";" or shorter
    // than 5 characters is emptied). True when something is left to play (PlayNext).
    bool SoundEnded();

    // Automatic replay waits while reading aloud is on, sound works, `YomiWait` is set and at
    // least 4 characters of the queue are still to be spoken.
    bool ReplayMustWait(bool readingAloud, bool soundWorks, bool yomiWait) const;

private:
    std::string text_;
};

}  // namespace movra
