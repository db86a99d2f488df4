#pragma once
// The main window's sounds: the player (Qt Multimedia, or a silent one where no audio output
// exists), the voice folder and the queue of sounds played while a game is stepped through. The
// window calls it on each step; every rule of the queue lives in core's SoundQueue.
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/config/settings.h"
#include "core/sound/sound_queue.h"

class QSoundEffect;

namespace movra {

// Plays one sound file at a time and tells when it has ended (not when it was stopped).
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void Play(const std::filesystem::path& file) = 0;
    virtual void Stop() = 0;
    virtual bool playing() const = 0;
    // False for the silent player.
    virtual bool audible() const = 0;

signals:
    void finished();
};

// The player on the machine's audio output.
class EffectSoundPlayer : public SoundPlayer {
    Q_OBJECT
public:
    explicit EffectSoundPlayer(QObject* parent = nullptr);
    void Play(const std::filesystem::path& file) override;
    void Stop() override;
    bool playing() const override { return started_; }
    bool audible() const override { return true; }

private:
    void OnPlayingChanged();
    void OnStatusChanged();
    void End();

    QSoundEffect* effect_;
    bool started_ = false;  // a sound was started and has not ended or been stopped
};

// The player where no audio output exists: each sound "plays" silently for its length.
class SilentSoundPlayer : public SoundPlayer {
    Q_OBJECT
public:
    explicit SilentSoundPlayer(QObject* parent = nullptr);
    void Play(const std::filesystem::path& file) override;
    void Stop() override;
    bool playing() const override { return timer_.isActive(); }
    bool audible() const override { return false; }

    // What was asked of it, for a look at what the window did.
    int plays() const { return plays_; }
    int stops() const { return stops_; }
    const std::filesystem::path& lastFile() const { return lastFile_; }

private:
    QTimer timer_;
    int plays_ = 0;
    int stops_ = 0;
    std::filesystem::path lastFile_;
};

// The audible player when the machine has an audio output, else the silent one.
std::unique_ptr<SoundPlayer> MakeSoundPlayer();

class WindowSound : public QObject {
    Q_OBJECT
public:
    // `settings` are the window's own (Sarnovi, Yomiage, YomiWait, VoiceType), read live.
    WindowSound(Settings& settings, QObject* parent = nullptr);
    ~WindowSound() override;

    // Start-up: the voice folder (VoiceType 0 when there is no voice set), the switch for
    // reading aloud, and whether the piece sound "SARNOVI.WAV" of the program folder can be
    // played. The text to show when it cannot, else empty.
    std::string Probe(const std::filesystem::path& programFolder);

    // The steps of the replay.
    void Forward(bool studyMode, std::string_view moveWords = {});
    void Closing(bool studyMode, bool closingShown, std::string_view closingWords = {});
    void Back();
    // Button 2 and the Left, Up and Home keys: the queue emptied and the player stopped.
    void Silence();
    // Automatic replay skips a tick while the words of a move are still being read.
    bool ReplayMustWait() const;
    // At close.
    void StopPlayer();
    // The read-aloud button: on only with a voice set; switching off empties the queue.
    void SetReadingAloud(bool on);
    // The settings dialog: "試聴" plays `words` from another voice folder until the dialog closes
    // (RestoreVoiceFolder); OK makes voice set 1 or 2 of the program folder the one in use.
    void PlayTrial(const std::filesystem::path& folder, std::string words);
    void RestoreVoiceFolder();
    void UseVoice(int voiceType, const std::filesystem::path& programFolder);

    // Tests put their own player in.
    void setPlayer(std::unique_ptr<SoundPlayer> player);
    SoundPlayer* player() const { return player_.get(); }
    const SoundQueue& queue() const { return queue_; }
    const VoiceChoice& voice() const { return voice_; }
    bool soundWorks() const { return soundWorks_; }
    bool readingAloud() const { return readingAloud_; }

private:
    void PlayNext();
    void OnFinished();

    Settings& settings_;
    std::unique_ptr<SoundPlayer> player_;
    SoundQueue queue_;
    VoiceChoice voice_;
    std::filesystem::path rememberedFolder_;  // the voice folder before a trial
    bool soundWorks_ = false;
    bool readingAloud_ = false;
};

}  // namespace movra
