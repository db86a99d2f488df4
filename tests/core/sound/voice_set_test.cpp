// The voice set the build speaks into data/WAV1: every file a reading can queue is there and is a
// playable sound, and a program folder holding the set reads moves aloud.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/sound/piece_sound.h"
#include "core/sound/sound_queue.h"
#include "core/sound/spoken_move.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

void AddNames(const std::string& queue, std::set<std::string>& names) {
    std::size_t from = 0;
    while (from < queue.size()) {
        const std::size_t end = queue.find(';', from);
        names.insert(queue.substr(from, end - from));
        if (end == std::string::npos) break;
        from = end + 1;
    }
}

// Every file name the reading of moves and closing lines can queue.
std::set<std::string> EveryQueuedName() {
    std::set<std::string> names;
    const std::string files = "１２３４５６７８９"_sj, ranks = "一二三四五六七八九"_sj;
    const std::string pieces[] = {"歩"_sj, "と"_sj, "香"_sj, "成香"_sj, "桂"_sj, "成桂"_sj, "銀"_sj,
                                  "成銀"_sj, "金"_sj, "角"_sj, "馬"_sj, "飛"_sj, "竜"_sj, "玉"_sj};
    const std::string after[] = {"", "右上"_sj, "右引"_sj, "右寄"_sj, "右"_sj, "左上"_sj, "左引"_sj,
                                 "左寄"_sj, "左"_sj, "直"_sj, "上"_sj, "引"_sj, "寄"_sj, "不成"_sj,
                                 "成"_sj, "打"_sj};
    for (const char handicap : {'0', '3'}) {
        for (const std::string mark : {"▲"_sj, "△"_sj}) {
            for (std::size_t f = 0; f < 9; ++f) {
                for (std::size_t r = 0; r < 9; ++r) {
                    const std::string square = files.substr(2 * f, 2) + ranks.substr(2 * r, 2);
                    AddNames(SpeakMove(mark + square + "歩"_sj, handicap), names);
                }
            }
            for (const std::string& piece : pieces) {
                for (const std::string& word : after) {
                    AddNames(SpeakMove(mark + "同　"_sj + piece + word, handicap), names);
                }
            }
        }
    }
    const std::string results[] = {"先手勝ち"_sj, "後手勝ち"_sj, "下手勝ち"_sj, "上手勝ち"_sj,
                                   "千日手"_sj, "持将棋"_sj};
    for (int n = 0; n <= 513; ++n) {
        const std::string count = std::to_string(n) + "手"_sj;
        AddNames(SpeakClosing(count + "まで"_sj, ' '), names);
        for (const std::string& result : results) {
            AddNames(SpeakClosing(count + "まで"_sj + result, '0'), names);
            AddNames(SpeakClosing(count + "以下"_sj + result, '0'), names);
        }
    }
    names.insert("sarnovi.wav");
    names.erase("");
    return names;
}

TEST(VoiceSet, EveryWordOfAReadingIsAPlayableSound) {
    const fs::path folder = MOVRA_VOICE_DIR;
    const std::set<std::string> names = EveryQueuedName();
    ASSERT_GT(names.size(), 150u);  // 81 squares, the pieces, the words and the counts
    for (const std::string& name : names) {
        WavInfo info;
        ASSERT_TRUE(ReadWavInfo(folder / name, &info)) << name;
        EXPECT_EQ(info.bitsPerSample, 16) << name;
        EXPECT_GE(info.sampleRate, 8000) << name;
        // A spoken word, not a click or silence of a header alone.
        EXPECT_GE(info.durationMs(), name == "sarnovi.wav" ? 100 : 200) << name;
    }
    // The program folder's copy of the data folder makes it the voice set the window uses.
    const VoiceChoice choice = ChooseVoiceFolder(fs::path(MOVRA_VOICE_DIR).parent_path(), 0);
    EXPECT_EQ(choice.voiceType, 1);
    EXPECT_TRUE(choice.readingAloudAvailable());
}

}  // namespace
}  // namespace movra
