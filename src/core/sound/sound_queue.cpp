#include "core/sound/sound_queue.h"

#include <system_error>

#include "core/text/paths.h"

namespace movra {
namespace fs = std::filesystem;

namespace {

std::string VoiceFolderName(int number) { return "WAV" + std::to_string(number); }

}  // namespace

VoiceChoice ChooseVoiceFolder(const fs::path& programFolder, int voiceType) {
    if (voiceType == 0) {
        for (int n = 1; n <= 3; ++n) {
            if (FileExistsNoCase(programFolder, VoiceFolderName(n) + "/sarnovi.wav")) {
                voiceType = n;
                break;
            }
        }
    }
    VoiceChoice choice;
    if (voiceType >= 1 && FileExistsNoCase(programFolder, VoiceFolderName(voiceType) + "/11.wav")) {
        choice.voiceType = voiceType;
        choice.folder = ResolvePath(programFolder, VoiceFolderName(voiceType));
    } else {
        choice.voiceType = 0;
        choice.folder = programFolder;
    }
    return choice;
}

bool SoundQueue::QueueForward(bool pieceSound, bool readingAloud, bool studyMode,
                              std::string_view moveWords) {
    const bool wasIdle = idle();
    if (pieceSound) {
        if (!readingAloud || text_.find("sarnovi.wav") != std::string::npos) {
            text_ = kPieceSoundEntry;
        } else {
            text_ += kPieceSoundEntry;
        }
    }
    if (readingAloud && !studyMode) text_ += moveWords;
    return !text_.empty() && wasIdle;
}

bool SoundQueue::QueueClosing(bool readingAloud, bool studyMode, bool closingShown,
                              std::string_view closingWords) {
    const bool wasIdle = idle();
    if (readingAloud && !studyMode && closingShown) text_ += closingWords;
    return !text_.empty() && wasIdle;
}

bool SoundQueue::QueueBack(bool pieceSound) {
    if (!pieceSound || !idle()) return false;
    text_ = kPieceSoundEntry;
    return true;
}

PlayOrder SoundQueue::PlayNext(const fs::path& voiceFolder, bool soundWorks) {
    PlayOrder order;
    if (text_.size() < 5) {
        order.action = PlayOrder::Action::Stop;
        return order;
    }
    if (text_.front() == ';') text_.erase(0, 1);
    const std::string name = text_.substr(0, text_.find(';'));
    const fs::path file = ResolvePath(voiceFolder, name);
    std::error_code ec;
    if (soundWorks && !name.empty() && fs::is_regular_file(file, ec)) {
        order.action = PlayOrder::Action::Play;
        order.file = file;
    } else {
        text_.clear();
    }
    return order;
}

bool SoundQueue::SoundEnded() {
    const std::size_t end = text_.find(';');
    if (end == std::string::npos || text_.size() < 5) {
        text_.clear();
    } else {
        text_.erase(0, end + 1);
    }
    return !text_.empty();
}

bool SoundQueue::ReplayMustWait(bool readingAloud, bool soundWorks, bool yomiWait) const {
    return readingAloud && soundWorks && yomiWait && text_.size() >= 4;
}

}  // namespace movra
