#include "core/diagram/gaiji_install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/diagram/bitmap_names.h"
#include "core/text/sjis_literal.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

class ScriptedPrompter : public Prompter {
public:
    std::vector<Answer> answers;
    std::vector<std::string> shown;
    void Warn(const std::string& t) override { shown.push_back("W:" + t); }
    void Inform(const std::string& t) override { shown.push_back("I:" + t); }
    Answer Confirm(const std::string& t, bool, bool) override {
        shown.push_back("Q:" + t);
        if (answers.empty()) return Answer::No;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}
std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// First installation, a second run answered No twice, then a new font answered Yes once.
TEST(GaijiInstall, FirstSecondAndReplacingRuns) {
    const fs::path root = fs::temp_directory_path() / "movra_gaiji_install_test";
    fs::remove_all(root);
    fs::create_directories(root / "program");
    GaijiInstallPlaces places;
    places.programFolder = root / "program";
    places.fontFolder = root / "home" / "fonts";
    places.linkFile = root / "config" / "fontconfig" / "conf.d" / "60-movra-gaiji.conf";
    Write(places.programFolder / "Zodazi.ttf", "font v1");
    int refreshes = 0;
    const auto refresh = [&] { ++refreshes; };

    ScriptedPrompter first;
    EXPECT_EQ(RegisterGaijiFont(places, first, refresh), GaijiRegistration::Both);
    EXPECT_EQ(Read(places.fontFolder / "Zodazi.ttf"), "font v1");
    EXPECT_TRUE(fs::exists(places.programFolder / "Zodazi.ttf"));  // the program still loads its own
    const std::string target = (places.fontFolder / "Zodazi.ttf").string();
    EXPECT_EQ(LinkedGaijiFont(places.linkFile, true), target);
    EXPECT_EQ(LinkedGaijiFont(places.linkFile, false), target);
    EXPECT_NE(Read(places.linkFile).find("<family>IPAexMincho</family><accept><family>Zodazi</family>"),
              std::string::npos);
    ASSERT_EQ(first.shown.size(), 1u);  // no question on a first installation
    EXPECT_EQ(first.shown[0], "I:" + std::string("外字の登録は正常に終了しました。\r外字表示を有効にするために\r"
                                                 "アプリケーションを再起動して下さい。"_sj));
    EXPECT_EQ(refreshes, 1);

    ScriptedPrompter second;
    second.answers = {Answer::No, Answer::No};
    EXPECT_EQ(RegisterGaijiFont(places, second, refresh), GaijiRegistration::None);
    ASSERT_EQ(second.shown.size(), 3u);
    EXPECT_EQ(second.shown[0], "Q:\"" + std::string("ＭＳ ゴシック\"には既に\r\""_sj) + target +
                                   std::string("\" が設定されています。\r\r\""_sj) + target +
                                   std::string("\" を再設定してよろしいですか？"_sj));
    EXPECT_TRUE(second.shown[1].starts_with("Q:\"" + std::string("ＭＳ 明朝\"には既に"_sj)));
    EXPECT_EQ(second.shown[2], "I:" + std::string("外字の登録を中止しました"_sj));
    EXPECT_EQ(refreshes, 1);  // nothing changed

    // A new font in the program folder replaces the installed one; Yes for 明朝 only.
    Write(places.programFolder / "Zodazi.ttf", "font v2");
    ScriptedPrompter third;
    third.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(RegisterGaijiFont(places, third, refresh), GaijiRegistration::Mincho);
    EXPECT_EQ(Read(places.fontFolder / "Zodazi.ttf"), "font v2");
    EXPECT_TRUE(third.shown.back().starts_with("I:" + std::string("ＭＳ 明朝の外字登録は正常に終了しました。"_sj)));
    EXPECT_EQ(refreshes, 2);
    EXPECT_FALSE(fs::exists(places.fontFolder / "Zodazi.ttf.$$$"));

    // No font anywhere: the message, then the links are asked all the same.
    fs::remove(places.programFolder / "Zodazi.ttf");
    fs::remove(places.fontFolder / "Zodazi.ttf");
    ScriptedPrompter fourth;
    RegisterGaijiFont(places, fourth, refresh);
    EXPECT_EQ(fourth.shown[0], "I:" + std::string("外字ファイルが見つかりません"_sj));
    EXPECT_EQ(fourth.shown.size(), 4u);

    // A font folder that cannot be made.
    Write(root / "blocked", "x");
    places.fontFolder = root / "blocked" / "fonts";
    ScriptedPrompter fifth;
    EXPECT_EQ(RegisterGaijiFont(places, fifth, refresh), GaijiRegistration::Failed);
    EXPECT_EQ(fifth.shown, (std::vector<std::string>{"W:" + std::string("外字登録に失敗しました！"_sj)}));
    fs::remove_all(root);
}

TEST(BitmapNames, FirstFreeNumberIgnoringCase) {
    const fs::path folder = fs::temp_directory_path() / "movra_bitmap_names_test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    EXPECT_EQ(ProposedBitmapPath(folder), folder / "BANT001.bmp");
    for (const char* name : {"BANT001.bmp", "bant002.BMP", "BANT003.bmp", "BANT004.bmp", "BANT006.bmp"}) {
        Write(folder / name, "");
    }
    EXPECT_EQ(ProposedBitmapPath(folder), folder / "BANT005.bmp");
    EXPECT_EQ(ProposedBitmapPath(folder, "Kyokumen"), folder / "Kyokumen.bmp");
    EXPECT_EQ(ProposedBitmapPath(folder / "missing"), folder / "missing" / "BANT001.bmp");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace movra
