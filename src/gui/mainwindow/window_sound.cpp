#include "gui/mainwindow/window_sound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "gui/common/qtext.h"
#include "core/sound/piece_sound.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

// --- the audible player -----------------------------------------------------------------------

EffectSoundPlayer::EffectSoundPlayer(QObject* parent)
    : SoundPlayer(parent), effect_(new QSoundEffect(this)) {
    connect(effect_, &QSoundEffect::playingChanged, this, &EffectSoundPlayer::OnPlayingChanged);
    connect(effect_, &QSoundEffect::statusChanged, this, &EffectSoundPlayer::OnStatusChanged);
}

void EffectSoundPlayer::Play(const std::filesystem::path& file) {
    started_ = false;
    effect_->stop();
    const QUrl url = QUrl::fromLocalFile(PathToQString(file));
    if (effect_->source() != url) effect_->setSource(url);
    started_ = true;
    effect_->play();
}

void EffectSoundPlayer::Stop() {
    started_ = false;
    effect_->stop();
}

void EffectSoundPlayer::OnPlayingChanged() {
    if (!effect_->isPlaying()) End();
}

void EffectSoundPlayer::OnStatusChanged() {
    // A file that cannot be played ends at once, so that the queue moves on.
    if (effect_->status() == QSoundEffect::Error) End();
}

void EffectSoundPlayer::End() {
    if (!started_) return;
    started_ = false;
    emit finished();
}

// --- the silent player ------------------------------------------------------------------------

SilentSoundPlayer::SilentSoundPlayer(QObject* parent) : SoundPlayer(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SoundPlayer::finished);
}

void SilentSoundPlayer::Play(const std::filesystem::path& file) {
    ++plays_;
    lastFile_ = file;
    WavInfo info;
    timer_.start(ReadWavInfo(file, &info) ? info.durationMs() : 0);
}

void SilentSoundPlayer::Stop() {
    ++stops_;
    timer_.stop();
}

std::unique_ptr<SoundPlayer> MakeSoundPlayer() {
    if (QMediaDevices::audioOutputs().isEmpty()) return std::make_unique<SilentSoundPlayer>();
    return std::make_unique<EffectSoundPlayer>();
}

// --- the window's sounds ----------------------------------------------------------------------

WindowSound::WindowSound(Settings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    setPlayer(MakeSoundPlayer());
}

WindowSound::~WindowSound() = default;

void WindowSound::setPlayer(std::unique_ptr<SoundPlayer> player) {
    if (player_) player_->Stop();
    player_ = std::move(player);
    connect(player_.get(), &SoundPlayer::finished, this, &WindowSound::OnFinished);
}

std::string WindowSound::Probe(const std::filesystem::path& programFolder) {
    voice_ = ChooseVoiceFolder(programFolder, settings_.shogi.VoiceType);
    settings_.shogi.VoiceType = voice_.voiceType;
    readingAloud_ = settings_.shogi.Yomiage && voice_.readingAloudAvailable();
    queue_.Clear();
    soundWorks_ = ReadWavInfo(ResolvePath(programFolder, kPieceSoundName), nullptr);
    if (soundWorks_) return {};
    return std::string("音声ファイルを再現できません。"_sj);
}

void WindowSound::Forward(bool studyMode, std::string_view moveWords) {
    if (queue_.QueueForward(settings_.shogi.Sarnovi, readingAloud_, studyMode, moveWords)) PlayNext();
}

void WindowSound::Closing(bool studyMode, bool closingShown, std::string_view closingWords) {
    if (queue_.QueueClosing(readingAloud_, studyMode, closingShown, closingWords)) PlayNext();
}

void WindowSound::Back() {
    if (queue_.QueueBack(settings_.shogi.Sarnovi)) PlayNext();
}

void WindowSound::Silence() {
    queue_.Clear();
    player_->Stop();
}

bool WindowSound::ReplayMustWait() const {
    return queue_.ReplayMustWait(readingAloud_, soundWorks_, settings_.shogi.YomiWait);
}

void WindowSound::StopPlayer() { player_->Stop(); }

void WindowSound::PlayTrial(const std::filesystem::path& folder, std::string words) {
    if (rememberedFolder_.empty()) rememberedFolder_ = voice_.folder;
    voice_.folder = folder;
    player_->Stop();
    queue_.SetText(std::move(words));
    PlayNext();
}

void WindowSound::RestoreVoiceFolder() {
    if (rememberedFolder_.empty()) return;
    voice_.folder = rememberedFolder_;
    rememberedFolder_.clear();
}

void WindowSound::UseVoice(int voiceType, const std::filesystem::path& programFolder) {
    if (voiceType != 1 && voiceType != 2) return;
    voice_.voiceType = voiceType;
    voice_.folder = ResolvePath(programFolder, "WAV" + std::to_string(voiceType));
    rememberedFolder_ = voice_.folder;
}

void WindowSound::SetReadingAloud(bool on) {
    readingAloud_ = on && voice_.readingAloudAvailable();
    if (!readingAloud_) queue_.Clear();
}

void WindowSound::PlayNext() {
    const PlayOrder order = queue_.PlayNext(voice_.folder, soundWorks_);
    switch (order.action) {
        case PlayOrder::Action::Stop:
            if (player_->playing()) player_->Stop();
            break;
        case PlayOrder::Action::Play:
            player_->Play(order.file);
            break;
        case PlayOrder::Action::None:
            break;
    }
}

void WindowSound::OnFinished() {
    if (queue_.SoundEnded()) PlayNext();
}

}  // namespace movra
