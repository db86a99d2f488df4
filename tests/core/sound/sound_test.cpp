// The piece sound file, the voice folder chosen at start-up, and the queue of sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/sound/piece_sound.h"
#include "core/sound/sound_queue.h"

namespace movra {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

void Touch(const fs::path& p) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << "x";
}

class SoundFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("movra_sound_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

// --- the WAV file --------------------------------------------------------------------------------

TEST(WavFile, HeaderFieldsAndSamplesAreExact) {
    const std::string bytes = WavFileBytes({0, 1, -1, 32767, -32768}, 22050);
    const std::string expected =
        "RIFF"s + "\x2E\x00\x00\x00"s + "WAVE"s +               // 36 + 10 data bytes
        "fmt "s + "\x10\x00\x00\x00"s + "\x01\x00"s + "\x01\x00"s +  // PCM, mono
        "\x22\x56\x00\x00"s +                                     // 22050 Hz
        "\x44\xAC\x00\x00"s +                                     // 44100 bytes a second
        "\x02\x00"s + "\x10\x00"s +                               // 2-byte frames, 16 bits
        "data"s + "\x0A\x00\x00\x00"s +
        "\x00\x00"s + "\x01\x00"s + "\xFF\xFF"s + "\xFF\x7F"s + "\x00\x80"s;
    EXPECT_EQ(bytes, expected);

    WavInfo info;
    ASSERT_TRUE(ParseWavInfo(bytes, &info));
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.dataBytes, 10u);
    EXPECT_EQ(info.durationMs(), 1);  // 5 samples round up to a millisecond
}

TEST(WavFile, PieceSoundIsAShortDecayingClickAndTheSameEachTime) {
    for (int rate : {22050, 44100}) {
        const std::vector<std::int16_t> samples = SynthesizePieceSound(rate);
        EXPECT_EQ(samples.size(), static_cast<std::size_t>(0.16 * rate)) << rate;
        EXPECT_LT(samples.size(), static_cast<std::size_t>(rate / 4)) << rate;
        EXPECT_EQ(samples, SynthesizePieceSound(rate)) << rate;

        const auto loudest = std::max_element(samples.begin(), samples.end(), [](int a, int b) {
            return std::abs(a) < std::abs(b);
        });
        // Loud but not clipped, and loudest within the first 15 ms.
        EXPECT_GT(std::abs(*loudest), 25000) << rate;
        EXPECT_LT(std::abs(*loudest), 32767) << rate;
        EXPECT_LT(loudest - samples.begin(), rate * 15 / 1000) << rate;
        // Dies away: the last tenth is quiet and the very last sample silent.
        int tail = 0;
        for (std::size_t i = samples.size() * 9 / 10; i < samples.size(); ++i) {
            tail = std::max(tail, std::abs(static_cast<int>(samples[i])));
        }
        EXPECT_LT(tail, 1000) << rate;
        EXPECT_EQ(samples.back(), 0) << rate;
    }
    EXPECT_EQ(WavFileBytes(SynthesizePieceSound(), kPieceSoundRate),
              WavFileBytes(SynthesizePieceSound(), kPieceSoundRate));
}

TEST_F(SoundFolderTest, WrittenPieceSoundReadsBack) {
    std::string error;
    ASSERT_TRUE(WritePieceSound(root_ / kPieceSoundName, &error)) << error;
    WavInfo info;
    ASSERT_TRUE(ReadWavInfo(root_ / kPieceSoundName, &info));
    EXPECT_EQ(info.sampleRate, kPieceSoundRate);
    EXPECT_EQ(info.dataBytes, 2u * static_cast<std::uint32_t>(0.16 * kPieceSoundRate));
    EXPECT_EQ(info.durationMs(), 160);
    EXPECT_EQ(fs::file_size(root_ / kPieceSoundName), 44u + info.dataBytes);

    EXPECT_FALSE(ReadWavInfo(root_ / "none.wav", &info));
    EXPECT_FALSE(WritePieceSound(root_ / "no_folder" / kPieceSoundName, &error));
}

TEST(WavFile, OnlyPlayablePcmIsAccepted) {
    const std::string good = WavFileBytes({1, 2, 3, 4}, 8000);
    WavInfo info;
    EXPECT_FALSE(ParseWavInfo("", &info));
    EXPECT_FALSE(ParseWavInfo("RIFX"s + good.substr(4), &info));
    EXPECT_FALSE(ParseWavInfo(good.substr(0, 36), &info));  // no data chunk
    std::string floats = good;
    floats[20] = 3;  // IEEE float samples
    EXPECT_FALSE(ParseWavInfo(floats, &info));
    std::string bits24 = good;
    bits24[34] = 24;
    EXPECT_FALSE(ParseWavInfo(bits24, &info));
    // Samples before the format: nothing says what they are.
    EXPECT_FALSE(ParseWavInfo("RIFF\0\0\0\0WAVE"s + good.substr(36) + good.substr(12, 24), &info));
    // An odd-sized chunk is padded to an even length before the next.
    const std::string listed =
        good.substr(0, 36) + "LIST"s + "\x03\x00\x00\x00"s + "abc\0"s + good.substr(36);
    ASSERT_TRUE(ParseWavInfo(listed, &info));
    EXPECT_EQ(info.dataBytes, 8u);
    // A file cut short plays what it holds.
    ASSERT_TRUE(ParseWavInfo(good.substr(0, good.size() - 3), &info));
    EXPECT_EQ(info.dataBytes, 5u);
}

// --- the voice folder ----------------------------------------------------------------------------

TEST_F(SoundFolderTest, ProbeFindsTheFirstFolderWithThePieceSound) {
    Touch(root_ / "WAV2" / "sarnovi.wav");
    Touch(root_ / "WAV2" / "11.wav");
    Touch(root_ / "WAV3" / "sarnovi.wav");
    Touch(root_ / "WAV3" / "11.wav");
    const VoiceChoice choice = ChooseVoiceFolder(root_, 0);
    EXPECT_EQ(choice.voiceType, 2);
    EXPECT_TRUE(choice.readingAloudAvailable());
    EXPECT_EQ(choice.folder, root_ / "WAV2");
    // A number that is set is not probed.
    EXPECT_EQ(ChooseVoiceFolder(root_, 3).voiceType, 3);
}

TEST_F(SoundFolderTest, ProbedFolderWithoutTheMarkTurnsReadingOff) {
    Touch(root_ / "WAV2" / "sarnovi.wav");
    const VoiceChoice choice = ChooseVoiceFolder(root_, 0);
    EXPECT_EQ(choice.voiceType, 0);
    EXPECT_FALSE(choice.readingAloudAvailable());
    EXPECT_EQ(choice.folder, root_);
}

TEST_F(SoundFolderTest, SetNumberWithoutItsMarkTurnsReadingOff) {
    Touch(root_ / "WAV1" / "sarnovi.wav");
    Touch(root_ / "WAV2" / "11.wav");
    const VoiceChoice choice = ChooseVoiceFolder(root_, 1);
    EXPECT_EQ(choice.voiceType, 0);
    EXPECT_EQ(choice.folder, root_);
}

TEST_F(SoundFolderTest, NothingInstalledTurnsReadingOff) {
    for (int type : {0, 1, 2, 3}) {
        const VoiceChoice choice = ChooseVoiceFolder(root_, type);
        EXPECT_EQ(choice.voiceType, 0) << type;
        EXPECT_EQ(choice.folder, root_) << type;
    }
}

TEST_F(SoundFolderTest, NamesAreMatchedWithoutCase) {
    Touch(root_ / "wav3" / "SARNOVI.WAV");
    Touch(root_ / "wav3" / "11.WAV");
    const VoiceChoice choice = ChooseVoiceFolder(root_, 0);
    EXPECT_EQ(choice.voiceType, 3);
    EXPECT_EQ(choice.folder, root_ / "wav3");
}

// --- the queue -----------------------------------------------------------------------------------

TEST(SoundQueueSteps, ReadingOffQueuesOnlyThePieceSound) {
    SoundQueue q;
    EXPECT_TRUE(q.idle());
    EXPECT_TRUE(q.QueueForward(true, false, false, "sente.wav;76.wav;fu.wav;"));
    EXPECT_EQ(q.text(), "sarnovi.wav;");
    // Still playing: replaced, and no second start.
    EXPECT_FALSE(q.QueueForward(true, false, false, "gote.wav;"));
    EXPECT_EQ(q.text(), "sarnovi.wav;");
    // Piece sound off: nothing at all.
    SoundQueue silent;
    EXPECT_FALSE(silent.QueueForward(false, false, false, "sente.wav;"));
    EXPECT_TRUE(silent.empty());
}

TEST(SoundQueueSteps, ReadingOnPutsThePieceSoundFirstAndDropsStaleWords) {
    SoundQueue q;
    EXPECT_TRUE(q.QueueForward(true, true, false, "sente.wav;76.wav;fu.wav;"));
    EXPECT_EQ(q.text(), "sarnovi.wav;sente.wav;76.wav;fu.wav;");
    // The next step while the piece sound is still queued: the old words go.
    EXPECT_FALSE(q.QueueForward(true, true, false, "gote.wav;34.wav;fu.wav;"));
    EXPECT_EQ(q.text(), "sarnovi.wav;gote.wav;34.wav;fu.wav;");
    // After the piece sound has played, the next move goes behind the pending words.
    EXPECT_TRUE(q.SoundEnded());
    EXPECT_EQ(q.text(), "gote.wav;34.wav;fu.wav;");
    EXPECT_FALSE(q.QueueForward(true, true, false, "sente.wav;26.wav;fu.wav;"));
    EXPECT_EQ(q.text(), "gote.wav;34.wav;fu.wav;sarnovi.wav;sente.wav;26.wav;fu.wav;");
    // Study mode keeps the piece sound but not the words.
    SoundQueue study;
    EXPECT_TRUE(study.QueueForward(true, true, true, "sente.wav;"));
    EXPECT_EQ(study.text(), "sarnovi.wav;");
    // Piece sound off, reading on: the words alone.
    SoundQueue words;
    EXPECT_TRUE(words.QueueForward(false, true, false, "sente.wav;"));
    EXPECT_EQ(words.text(), "sente.wav;");
}

TEST(SoundQueueSteps, ClosingWordsNeedReadingTheLineAndNoStudy) {
    const std::string words = "made.wav;T090.wav;T005m.wav;Swin.wav;";
    SoundQueue q;
    EXPECT_FALSE(q.QueueClosing(false, false, true, words));
    EXPECT_FALSE(q.QueueClosing(true, true, true, words));
    EXPECT_FALSE(q.QueueClosing(true, false, false, words));
    EXPECT_TRUE(q.empty());
    EXPECT_TRUE(q.QueueClosing(true, false, true, words));
    EXPECT_EQ(q.text(), words);
    // Behind a sound still queued: appended, no new start.
    EXPECT_FALSE(q.QueueClosing(true, false, true, "ika.wav;"));
    EXPECT_EQ(q.text(), words + "ika.wav;");
}

TEST(SoundQueueSteps, StepBackQueuesOnlyWhenIdle) {
    SoundQueue q;
    EXPECT_FALSE(q.QueueBack(false));
    EXPECT_TRUE(q.empty());
    EXPECT_TRUE(q.QueueBack(true));
    EXPECT_EQ(q.text(), "sarnovi.wav;");
    q.QueueForward(true, true, false, "sente.wav;");
    EXPECT_FALSE(q.QueueBack(true));
    EXPECT_EQ(q.text(), "sarnovi.wav;sente.wav;");
    q.Clear();
    EXPECT_TRUE(q.idle());
}

TEST_F(SoundFolderTest, PlayNextPlaysTheHeadOrDropsTheQueue) {
    Touch(root_ / "SARNOVI.WAV");
    SoundQueue q;
    // Too short to name a sound: the player stops.
    EXPECT_EQ(q.PlayNext(root_, true).action, PlayOrder::Action::Stop);

    q.QueueForward(true, true, false, "sente.wav;");
    PlayOrder order = q.PlayNext(root_, true);
    ASSERT_EQ(order.action, PlayOrder::Action::Play);
    EXPECT_EQ(order.file, root_ / "SARNOVI.WAV");  // found without regard to case
    EXPECT_EQ(q.text(), "sarnovi.wav;sente.wav;");
    // The next sound is missing: everything queued goes.
    EXPECT_TRUE(q.SoundEnded());
    EXPECT_EQ(q.PlayNext(root_, true).action, PlayOrder::Action::None);
    EXPECT_TRUE(q.empty());

    // Sound that does not work drops the queue too.
    q.QueueForward(true, false, false, "");
    EXPECT_EQ(q.PlayNext(root_, false).action, PlayOrder::Action::None);
    EXPECT_TRUE(q.empty());
}

TEST(SoundQueueSteps, EndedSoundsLeaveTheQueueOneByOne) {
    SoundQueue q;
    q.QueueForward(true, true, false, "gote.wav;Dou.wav;");
    EXPECT_TRUE(q.SoundEnded());
    EXPECT_EQ(q.text(), "gote.wav;Dou.wav;");
    EXPECT_TRUE(q.SoundEnded());
    EXPECT_EQ(q.text(), "Dou.wav;");
    EXPECT_FALSE(q.SoundEnded());
    EXPECT_TRUE(q.empty());
    EXPECT_FALSE(q.SoundEnded());
    // A name without its ";" is emptied at once.
    q.QueueForward(false, true, false, "ika.wav");
    EXPECT_FALSE(q.SoundEnded());
    EXPECT_TRUE(q.empty());
}

TEST(SoundQueueSteps, ReplayWaitsForFourCharactersWithEverySwitchOn) {
    SoundQueue q;
    q.QueueForward(false, true, false, "a;b;");
    EXPECT_TRUE(q.ReplayMustWait(true, true, true));
    EXPECT_FALSE(q.ReplayMustWait(false, true, true));
    EXPECT_FALSE(q.ReplayMustWait(true, false, true));
    EXPECT_FALSE(q.ReplayMustWait(true, true, false));
    SoundQueue shorter;
    shorter.QueueForward(false, true, false, "ab;");
    EXPECT_FALSE(shorter.ReplayMustWait(true, true, true));
}

}  // namespace
}  // namespace movra
