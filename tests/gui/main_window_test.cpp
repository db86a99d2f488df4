// The main window under the offscreen platform: start-up with a fresh or a broken program
// folder, replay by buttons, keys and the timer, the turned board, and the settings written at
// exit.
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QAbstractButton>
#include <QPushButton>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "gui/common/fonts.h"
#include "gui/common/not_available.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/list/search_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/move_list_view.h"
#include "gui/mainwindow/name_plate.h"
#include "core/config/program_folder.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/mainwindow/single_instance.h"
#include "gui/mainwindow/status_line.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/environment_dialog.h"
#include "gui/mainwindow/input_box.h"
#include "gui/mainwindow/piece_set_dialog.h"
#include "gui/mainwindow/read_aloud_button.h"
#include "gui/mainwindow/window_sound.h"
#include "test_games.h"
#include "test_store.h"

namespace movra {
namespace {

using namespace movra::literals;
using namespace std::string_literals;
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The position of a game after n moves, replayed by the core on its own.
BoardPosition CorePositionAfter(const TKifData& game, int n) {
    TKifData copy = game;
    copy.GoToMove(n);
    return copy.position;
}

// A player whose sound ends only when the test says so.
class ManualSoundPlayer : public SoundPlayer {
public:
    void Play(const fs::path& file) override {
        lastFile = file;
        playing_ = true;
    }
    void Stop() override {
        playing_ = false;
        ++stops;
    }
    bool playing() const override { return playing_; }
    bool audible() const override { return false; }
    void End() {
        playing_ = false;
        emit finished();
    }
    fs::path lastFile;
    int stops = 0;

private:
    bool playing_ = false;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;

    // A fresh program folder filled from the build's data, and a started window on it.
    MainWindow& Open(const Settings* settings = nullptr) {
        window_ = std::make_unique<MainWindow>(home_, settings ? *settings : LoadSettings(home_, {1024, 768}),
                                               &prompter_);
        if (!window_->Start()) qFatal("the window did not start");
        window_->show();
        return *window_;
    }
    void ShowYagura(bool extended = false) {
        TKifData game = testing::YaguraGame();
        for (int i = 1; i <= game.moveCount; ++i) game.moves[i].consumedTime = static_cast<std::uint16_t>(60 * i);
        GameHeaderTexts texts;
        texts.senteName = "森川一郎"_sj;
        texts.goteName = "高田健二"_sj;
        window_->ShowGame(game, texts, true, extended);
    }
    // The piece sound in the program folder, as the data folder spells it.
    fs::path PieceSoundFile() const { return ResolvePath(home_, "SARNOVI.WAV"); }
    void CloseAnswering(Answer answer) {
        prompter_.answers = {answer};
        window_->close();
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        home_ = QStringToPath(dir_->path()) / "movra";
        std::string error;
        QVERIFY2(PrepareProgramFolder(home_, MOVRA_BUILD_DATA_DIR, &error), error.c_str());
        // Without the voice set the build speaks: the tests that read aloud make their own.
        fs::remove_all(home_ / "WAV1");
        prompter_ = testing::RecordingPrompter{};
    }

    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void freshFolderWritesTheDefaultsAtExit() {
        QVERIFY(!fs::exists(home_ / "MOVRAWIN.INI"));
        Open();
        QCOMPARE(window_->mode(), MainWindow::Mode::Game);
        QCOMPARE(window_->pictures().sizeMode(), 1);  // KOMA1L.BMP on a 768-pixel screen
        CloseAnswering(Answer::Yes);
        QVERIFY(!window_->isVisible());
        QCOMPARE(prompter_.texts().back(), std::string("\r本当に終了してよろしいですか？"_sj));
        const std::string ini = ReadBytes(home_ / "MOVRAWIN.INI");
        QVERIFY(ini.rfind("[Shogi]\r\nDrive=D\r\nKoma=KOMA1L.BMP\r\nOnsei=1\r\n", 0) == 0);
        QVERIFY(ini.find("Speed=3\r\nTumeTesu=11\r\n") != std::string::npos);
        QVERIFY(ini.find("[Form]\r\nLeft=") != std::string::npos);
        QVERIFY(ini.find("Title1=\"【図は%n手目%sまで】\""_sj) != std::string::npos);
        QVERIFY(ini.find("FromYY=1900\r\nFromMM=1\r\n") != std::string::npos);
        // Every line ends in CR LF.
        for (std::size_t i = ini.find('\n'); i != std::string::npos; i = ini.find('\n', i + 1)) {
            QVERIFY(i > 0 && ini[i - 1] == '\r');
        }
    }

    void brokenSettingsFileStartsWithDefaults() {
        {
            std::ofstream out(home_ / "movrawin.ini", std::ios::binary);
            out << "\xFF\xFE\x00[Shogi\r\nKoma=\r\nSpeed=x\r\n[Form]\r\nColor=7\r\nLeft=99999\r\n"s;
        }
        Open();
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA1L.BMP"));
        QCOMPARE(window_->settings().shogi.Speed, 3);
        QCOMPARE(window_->pictures().sizeMode(), 1);
        // Colour 7 is not the high-colour set: the 256-colour pictures are used.
        QVERIFY(window_->menus()->colorAction(0)->isChecked());
        QCOMPARE(window_->settings().form.Left, 1024 - 250);
        CloseAnswering(Answer::Yes);
        const Settings back = LoadSettings(home_, {1024, 768});
        QCOMPARE(back.shogi.Speed, 3);
        QCOMPARE(back.form.Left, window_->pos().x());
    }

    void settingsWrittenAtExitAndReadBack() {
        Open();
        window_->settings().shogi.Speed = 7;
        window_->settings().shogi.TimeDisp = true;
        QVERIFY(window_->SetColor(0));
        QVERIFY(window_->SetSizeMode(2));
        window_->menus()->commentAction()->setChecked(true);
        window_->move(120, 80);
        CloseAnswering(Answer::Yes);
        const Settings back = LoadSettings(home_, {1024, 768});
        QCOMPARE(back.shogi.Speed, 7);
        QVERIFY(back.shogi.TimeDisp);
        QCOMPARE(back.form.Color, 0);
        QCOMPARE(back.shogi.Koma, std::string("KOMA1S.BMP"));
        QVERIFY(back.form.Comment);
        QCOMPARE(back.form.Left, window_->pos().x());

        // The next start comes up small and in 256 colours.
        Open(&back);
        QCOMPARE(window_->pictures().sizeMode(), 2);
        QCOMPARE(window_->boardView()->size(), QSize(343, 370));
        QVERIFY(window_->menus()->sizeAction(2)->isChecked());
    }

    void answeringNoKeepsTheWindowAndWritesNothing() {
        Open();
        ShowYagura();
        window_->StartReplay(ReplayPanel::AutoReplay);
        CloseAnswering(Answer::No);
        QVERIFY(window_->isVisible());
        QVERIFY(!fs::exists(home_ / "MOVRAWIN.INI"));
        // The replay that ran before the question runs again.
        QVERIFY(window_->replaying());
        window_->settings().shogi.Save = false;
        CloseAnswering(Answer::Yes);
        QVERIFY(!fs::exists(home_ / "MOVRAWIN.INI"));
    }

    void missingBoardPictureStopsTheStart() {
        fs::remove(ResolvePath(home_, "Ban1L.BMP"));
        MainWindow window(home_, LoadSettings(home_, {1024, 768}), &prompter_);
        QVERIFY(!window.Start());
        QCOMPARE(prompter_.texts(), std::vector<std::string>{"将棋盤のビットマップファイルが見つかりません"_sj});
        fs::remove(ResolvePath(home_, "KOMA1L.BMP"));
        MainWindow second(home_, LoadSettings(home_, {1024, 768}), &prompter_);
        QVERIFY(!second.Start());
        QCOMPARE(prompter_.texts().back(), std::string("\r駒表示用ビットマップがありません。"_sj));
    }

    void replayToTheEndAndBackMatchesTheCore() {
        Open();
        ShowYagura();
        const TKifData game = testing::YaguraGame();
        BoardView* board = window_->boardView();
        QCOMPARE(board->position(), CorePositionAfter(game, 0));
        QCOMPARE(window_->moveList()->count(), 47);
        for (int n = 1; n <= game.moveCount; ++n) {
            QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::Forward), Qt::LeftButton);
            QCOMPARE(window_->record().currentMove, n);
            QCOMPARE(board->position(), CorePositionAfter(game, n));
            QCOMPARE(window_->senteHand()->hand(), CorePositionAfter(game, n).senteHand);
            QCOMPARE(window_->goteHand()->hand(), CorePositionAfter(game, n).goteHand);
            QCOMPARE(window_->moveList()->selectedLine(), n - 1);
            QVERIFY(board->framedSquare().has_value());
            QCOMPARE(int(board->framedSquare()->file), int(game.moves[n].toFile));
        }
        QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::Forward), Qt::LeftButton);
        QCOMPARE(window_->moveList()->selectedLine(), 46);
        QCOMPARE(window_->moveList()->item(46)->text(), QStringLiteral("46手まで"));
        // The first press back only leaves the closing line.
        QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::Back), Qt::LeftButton);
        QCOMPARE(int(window_->record().currentMove), 46);
        QCOMPARE(window_->moveList()->selectedLine(), 45);
        for (int n = game.moveCount - 1; n >= 0; --n) {
            QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::Back), Qt::LeftButton);
            QCOMPARE(int(window_->record().currentMove), n);
            QCOMPARE(board->position(), CorePositionAfter(game, n));
            QCOMPARE(window_->moveList()->selectedLine(), n - 1);
        }
        QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::Back), Qt::LeftButton);
        QCOMPARE(int(window_->record().currentMove), 0);
        QVERIFY(!board->framedSquare().has_value());
    }

    void thePieceSoundFollowsTheSteps() {
        Open();
        QVERIFY(prompter_.shown.empty());
        QVERIFY(window_->sound()->soundWorks());
        ShowYagura();
        auto silent = std::make_unique<SilentSoundPlayer>();
        SilentSoundPlayer* player = silent.get();
        window_->sound()->setPlayer(std::move(silent));
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(player->plays(), 1);
        QVERIFY(FileNamesEqual(player->lastFile().filename().string(), "SARNOVI.WAV"));
        // Button 2 while the click still sounds silences it and clicks anew: the queue holds one.
        window_->PressButton(ReplayPanel::Forward);
        QVERIFY(player->stops() >= 1);
        QCOMPARE(player->plays(), 2);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;"));
        // The replay timer's step while the click still sounds starts nothing new.
        window_->StepForward();
        QCOMPARE(player->plays(), 2);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;"));
        // Back silences what plays, then clicks once more.
        const int stopsBefore = player->stops();
        window_->PressButton(ReplayPanel::Back);
        QVERIFY(player->stops() > stopsBefore);
        QCOMPARE(player->plays(), 3);
        QTRY_VERIFY(!player->playing());
        QTRY_VERIFY(window_->sound()->queue().idle());
        // Home silences and starts nothing; with the piece sound off no step sounds.
        window_->PressButton(ReplayPanel::ToStart);
        QCOMPARE(player->plays(), 3);
        window_->settings().shogi.Sarnovi = false;
        window_->PressButton(ReplayPanel::Forward);
        window_->PressButton(ReplayPanel::Back);
        QCOMPARE(player->plays(), 3);
        // Without a voice set the read-aloud button does nothing.
        QVERIFY(!window_->sound()->readingAloud());
        window_->readAloudButton()->click();
        QVERIFY(!window_->sound()->readingAloud());
        QVERIFY(window_->readAloudButton()->toolTip().contains(QStringLiteral("オフ")));
    }

    void readingAloudSpeaksEachMoveAndTheClosingLine() {
        // A voice set: its folder holds the piece sound, "11.wav" and the words used below.
        const fs::path voice = home_ / "WAV1";
        fs::create_directories(voice);
        const fs::path click = PieceSoundFile();
        for (const char* name : {"sarnovi", "11", "sente", "76", "fu", "ijou", "T040", "T006d"}) {
            fs::copy_file(click, voice / (std::string(name) + ".wav"));
        }
        Open();
        QCOMPARE(window_->sound()->voice().voiceType, 1);
        QVERIFY(window_->sound()->readingAloud());
        QVERIFY(window_->readAloudButton()->on());
        QVERIFY(window_->readAloudButton()->toolTip().contains(QStringLiteral("オン")));
        ShowYagura();
        auto silent = std::make_unique<SilentSoundPlayer>();
        SilentSoundPlayer* player = silent.get();
        window_->sound()->setPlayer(std::move(silent));

        // ▲７六歩: the click, then 先手, 7-6 and 歩, one after another.
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;sente.wav;76.wav;fu.wav;"));
        QTRY_VERIFY_WITH_TIMEOUT(window_->sound()->queue().idle(), 5000);
        QCOMPARE(player->plays(), 4);
        QCOMPARE(PathToQString(player->lastFile().filename()), QStringLiteral("fu.wav"));

        // The closing line of the interrupted game: "46手まで".
        window_->JumpToLine(45);
        QCOMPARE(int(window_->record().currentMove), 46);
        window_->sound()->Silence();
        const int before = player->plays();
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(window_->sound()->queue().text(), std::string("ijou.wav;T040.wav;T006d.wav;"));
        QTRY_VERIFY_WITH_TIMEOUT(window_->sound()->queue().idle(), 5000);
        QCOMPARE(player->plays(), before + 3);
        QCOMPARE(PathToQString(player->lastFile().filename()), QStringLiteral("T006d.wav"));

        // Switched off: only the click is left.
        window_->readAloudButton()->click();
        QVERIFY(!window_->sound()->readingAloud());
        QVERIFY(!window_->readAloudButton()->on());
        window_->PressButton(ReplayPanel::ToStart);
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;"));
        window_->readAloudButton()->click();
        QVERIFY(window_->sound()->readingAloud());
    }

    void aStepByHandDropsTheWordsStillQueued() {
        // A voice set with the words of the first three moves; a player that ends a sound only
        // when told, so that the queue can be looked at while words are pending.
        const fs::path voice = home_ / "WAV1";
        fs::create_directories(voice);
        for (const char* name : {"sarnovi", "11", "sente", "gote", "76", "84", "68", "fu", "gin"}) {
            fs::copy_file(PieceSoundFile(), voice / (std::string(name) + ".wav"));
        }
        Open();
        ShowYagura();
        auto manual = std::make_unique<ManualSoundPlayer>();
        ManualSoundPlayer* player = manual.get();
        window_->sound()->setPlayer(std::move(manual));
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;sente.wav;76.wav;fu.wav;"));
        player->End();  // the click has sounded; 先手 is being read
        QCOMPARE(window_->sound()->queue().text(), std::string("sente.wav;76.wav;fu.wav;"));
        // Button 2 (and Right, Down) drops the rest of ▲７六歩 before queueing △８四歩.
        QTest::keyClick(window_.get(), Qt::Key_Right);
        QCOMPARE(int(window_->record().currentMove), 2);
        QCOMPARE(window_->sound()->queue().text(), std::string("sarnovi.wav;gote.wav;84.wav;fu.wav;"));
        QVERIFY(player->stops >= 1);
        QCOMPARE(player->lastFile.filename().string(), std::string("sarnovi.wav"));
        // The replay timer's step keeps what is pending and queues behind it.
        player->End();
        window_->StepForward();
        QCOMPARE(window_->sound()->queue().text(),
                 std::string("gote.wav;84.wav;fu.wav;sarnovi.wav;sente.wav;68.wav;gin.wav;"));
    }

    // Ctrl+C puts the game's listing on the clipboard and Ctrl+N the shown position as a text
    // diagram; on the empty board the window starts with, Ctrl+C says why nothing is copied.
    void theClipboardKeysCopyTheGameAndThePositionOrSayWhyNot() {
        Open();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(window_.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(prompter_.texts(), (std::vector<std::string>{"\r棋譜未選択のため棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力はできません。"_sj}));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        ShowYagura();
        QTest::keyClick(window_.get(), Qt::Key_C, Qt::ControlModifier);
        const QString listing = QGuiApplication::clipboard()->text();
        QVERIFY2(listing.contains(QStringLiteral("先手：森川一郎\r\n後手：高田健二")), qPrintable(listing));
        QVERIFY(listing.contains(QStringLiteral("手合割：平手")));
        QVERIFY(listing.contains(QStringLiteral("▲７六歩")));
        QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
        const QString diagram = QGuiApplication::clipboard()->text();
        QVERIFY2(diagram.startsWith(QStringLiteral("先手：森川一郎\r\n後手：高田健二\r\n|v香v桂v銀v金v玉v金v銀v桂v香")),
                 qPrintable(diagram));
        QVERIFY(diagram.contains(QStringLiteral("手数=0 まで\r\n先手番")));
        QCOMPARE(prompter_.texts().size(), std::size_t(1));
        // Neither key changes the game.
        QCOMPARE(int(window_->record().currentMove), 0);
    }

    void theSelectedLineStaysWholeAfterASizeSwitch() {
        Open();
        ShowYagura();
        MoveListView* list = window_->moveList();
        for (int size : {0, 2, 1, 2, 0}) {
            // Deep into the game, the selected line near the list's lower edge.
            window_->JumpToLine(44);
            QVERIFY(window_->SetSizeMode(size));
            QCOMPARE(list->selectedLine(), 44);
            const QRect line = list->visualItemRect(list->item(44));
            QVERIFY2(list->viewport()->rect().contains(line),
                     qPrintable(QStringLiteral("size %1: line %2..%3 in a view of %4")
                                    .arg(size).arg(line.top()).arg(line.bottom()).arg(list->viewport()->height())));
            // And after a step the list scrolls as it did before the switch.
            window_->PressButton(ReplayPanel::Forward);
            QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(45))));
        }
    }

    void aNewPlayerOrderReachesTheSearchDialogAtOnce() {
        // Registered 渡辺 before 青木: the orders by name and by registration differ.
        std::ofstream(home_ / "Ksname.dat", std::ios::binary)
            << "  1 A 渡辺明              ﾜﾀﾅﾍﾞｱｷﾗ            \r\n"_sj.str()
            << "  2 A 青木春樹            ｱｵｷﾊﾙｷ              \r\n"_sj.str();
        fs::remove_all(home_ / "Kifu");
        testing::MakeTestStore(home_ / "Kifu" / "Sample.ipx");
        Open();
        QVERIFY(window_->storeOpen());
        QComboBox* box = window_->searchDialog()->playerBox(0);
        auto names = [box] {
            QStringList l;
            for (int i = 1; i < box->count(); ++i) l.append(box->itemText(i));
            return l;
        };
        QCOMPARE(names(), (QStringList{QStringLiteral("青木春樹"), QStringLiteral("渡辺明")}));
        window_->setEnvironmentAnswer([](EnvironmentDialog& d) {
            d.row("KsOrder")->button(0)->click();  // by registration
            return true;
        });
        window_->OpenEnvironment();
        QCOMPARE(window_->settings().shogi.KsOrder, 1);
        QCOMPARE(names(), (QStringList{QStringLiteral("渡辺明"), QStringLiteral("青木春樹")}));
    }

    void aProgramFolderWithoutThePieceSoundStartsSilently() {
        fs::remove(PieceSoundFile());
        Open();
        QCOMPARE(prompter_.texts(), std::vector<std::string>{"音声ファイルを再現できません。"_sj});
        QVERIFY(!window_->sound()->soundWorks());
        ShowYagura();
        auto silent = std::make_unique<SilentSoundPlayer>();
        SilentSoundPlayer* player = silent.get();
        window_->sound()->setPlayer(std::move(silent));
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(int(window_->record().currentMove), 1);
        QCOMPARE(player->plays(), 0);
        QVERIFY(window_->sound()->queue().empty());
    }

    void theSettingsDialogChangesTheWindowAndWritesTheSwitchesAtOnce() {
        Open();
        window_->setEnvironmentAnswer([](EnvironmentDialog& d) {
            if (d.speedBar()->value() != 10 || d.intervalLabel()->text() != QStringLiteral("(0.9秒)")) return false;
            d.speedBar()->setValue(12);
            if (d.intervalLabel()->text() != QStringLiteral("(0.3秒)")) return false;
            if (d.depthList()->currentText() != QStringLiteral("１１手")) return false;
            d.depthList()->setCurrentIndex(0);
            // The hidden rows come with Alt+X and are read either way.
            if (d.hiddenRowsShown()) return false;
            QTest::keyClick(&d, Qt::Key_X, Qt::AltModifier);
            if (!d.hiddenRowsShown()) return false;
            d.row("TimeDisp")->button(1)->click();
            d.row("Multi")->button(0)->click();
            d.row("Sarnovi")->button(0)->click();
            return true;
        });
        window_->OpenEnvironment();
        const Settings& s = window_->settings();
        QCOMPARE(s.shogi.Speed, 1);
        QCOMPARE(s.shogi.TumeTesu, 9);
        QVERIFY(s.shogi.TimeDisp);
        QVERIFY(s.shogi.Multi);
        QVERIFY(!s.shogi.Sarnovi);
        // Three switches are in the settings file already; the rest waits for the exit.
        std::ifstream in(SettingsFilePath(home_), std::ios::binary);
        const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY(ini.find("TimeDisp=1\r\n") != std::string::npos);
        QVERIFY(ini.find("Multi=1\r\n") != std::string::npos);
        QVERIFY(ini.find("Speed=1\r\n") == std::string::npos);
        // Cancel changes nothing.
        window_->setEnvironmentAnswer([](EnvironmentDialog& d) {
            d.speedBar()->setValue(1);
            return false;
        });
        window_->OpenEnvironment();
        QCOMPARE(window_->settings().shogi.Speed, 1);
        // No voice set here: the reading rows cannot be used.
        window_->setEnvironmentAnswer([](EnvironmentDialog& d) {
            return !d.trialButton()->isEnabled() && !d.row("Yomiage")->button(1)->isEnabled();
        });
        window_->OpenEnvironment();
        QVERIFY(!window_->sound()->readingAloud());
    }

    void aTrialOfTheOtherVoiceDoesNotOutlastCancel() {
        const fs::path click = PieceSoundFile();
        for (const char* folder : {"WAV1", "WAV2"}) {
            fs::create_directories(home_ / folder);
            for (const char* name : {"sarnovi", "11", "sente", "76", "fu"})
                fs::copy_file(click, home_ / folder / (std::string(name) + ".wav"));
        }
        Open();
        QCOMPARE(window_->sound()->voice().voiceType, 1);
        const fs::path first = window_->sound()->voice().folder;
        auto silent = std::make_unique<SilentSoundPlayer>();
        SilentSoundPlayer* player = silent.get();
        window_->sound()->setPlayer(std::move(silent));
        fs::path during;
        window_->setEnvironmentAnswer([&](EnvironmentDialog& d) {
            d.voiceRow()->button(2)->click();
            d.trialButton()->click();
            during = window_->sound()->voice().folder;
            return false;
        });
        window_->OpenEnvironment();
        QCOMPARE(PathToQString(during.filename()), QStringLiteral("WAV2"));
        QCOMPARE(player->plays(), 1);
        QCOMPARE(PathToQString(player->lastFile().parent_path().filename()), QStringLiteral("WAV2"));
        QVERIFY(window_->sound()->voice().folder == first);
        QCOMPARE(window_->settings().shogi.VoiceType, 1);
        // OK with the other voice makes it the one in use, and reading aloud follows Yomiage.
        window_->setEnvironmentAnswer([](EnvironmentDialog& d) {
            d.voiceRow()->button(2)->click();
            d.row("Yomiage")->button(0)->click();
            return true;
        });
        window_->OpenEnvironment();
        QCOMPARE(window_->settings().shogi.VoiceType, 2);
        QCOMPARE(PathToQString(window_->sound()->voice().folder.filename()), QStringLiteral("WAV2"));
        QVERIFY(!window_->sound()->readingAloud());
        QVERIFY(!window_->readAloudButton()->on());
    }

    void thePieceSetChooser() {
        Open();
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA1L.BMP"));
        int shown = -1;
        // The set in use is selected first; choosing it again changes nothing.
        window_->setPieceSetAnswer([&](PieceSetDialog& d) {
            shown = d.chosen();
            return !d.preview()->pixmap().isNull();
        });
        window_->OpenPieceSets();
        QCOMPARE(shown, 0);
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA1L.BMP"));
        // The other set, in the size shown.
        window_->setPieceSetAnswer([](PieceSetDialog& d) {
            d.list()->setCurrentIndex(1);
            return true;
        });
        window_->OpenPieceSets();
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA2L.BMP"));
        QCOMPARE(window_->pictures().sizeMode(), 1);
        // A set whose preview is missing says so and stays choosable.
        fs::remove(ResolvePath(home_, "KOMA1S.BMP"));
        prompter_.shown.clear();
        window_->setPieceSetAnswer([](PieceSetDialog& d) {
            d.list()->setCurrentIndex(0);
            return false;
        });
        window_->OpenPieceSets();
        QCOMPARE(prompter_.texts(), std::vector<std::string>{"\r駒表示用ビットマップがありません。"_sj});
        // Without the list there is nothing to choose.
        fs::remove(ResolvePath(home_, "KOMATYPE.DAT"));
        window_->setPieceSetAnswer([&](PieceSetDialog& d) {
            shown = d.chosen();
            return true;
        });
        window_->OpenPieceSets();
        QCOMPARE(shown, -1);
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA2L.BMP"));
    }

    void theInputBoxAsksForOneLine() {
        InputBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("インプットダイアログ"));
        box.Set(QStringLiteral("手数指定棋譜検索"), QStringLiteral("120"), QStringLiteral("手数指定"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("手数指定棋譜検索"));
        QCOMPARE(box.promptLabel()->text(), QStringLiteral("手数指定"));
        // The caret stands after the first character; Return is OK.
        QTRY_COMPARE(box.field()->cursorPosition(), 1);
        QTest::keyClick(box.field(), Qt::Key_5);
        QCOMPARE(box.field()->text(), QStringLiteral("1520"));
        QTest::keyClick(box.field(), Qt::Key_Return);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void aPressCountsOnlyWhenReleasedOverTheButton() {
        Open();
        ShowYagura();
        PictureButton* forward = window_->replayPanel()->button(ReplayPanel::Forward);
        QTest::mousePress(forward, Qt::LeftButton);
        QTest::mouseRelease(forward, Qt::LeftButton, {}, QPoint(-20, -20));
        QCOMPARE(int(window_->record().currentMove), 0);
    }

    void keysStepJumpAndReplay() {
        Open();
        ShowYagura();
        window_->activateWindow();
        QTest::keyClick(window_.get(), Qt::Key_Right);
        QTest::keyClick(window_.get(), Qt::Key_Down);
        QCOMPARE(int(window_->record().currentMove), 2);
        QTest::keyClick(window_.get(), Qt::Key_Left);
        QCOMPARE(int(window_->record().currentMove), 1);
        QTest::keyClick(window_.get(), Qt::Key_Up);
        QCOMPARE(int(window_->record().currentMove), 0);
        QTest::keyClick(window_.get(), Qt::Key_End);
        QCOMPARE(int(window_->record().currentMove), 46);
        QCOMPARE(window_->moveList()->selectedLine(), 46);
        QTest::keyClick(window_.get(), Qt::Key_Home);
        QCOMPARE(int(window_->record().currentMove), 0);
        QCOMPARE(window_->moveList()->selectedLine(), -1);

        // The list leaves the arrow keys to the window.
        window_->moveList()->setFocus();
        QTest::keyClick(window_->moveList(), Qt::Key_Right);
        QCOMPARE(int(window_->record().currentMove), 1);

        QTest::keyClick(window_.get(), Qt::Key_P);
        QVERIFY(window_->replaying());
        QVERIFY(window_->replayPanel()->latched(ReplayPanel::AutoReplay));
        QTest::keyClick(window_.get(), Qt::Key_P);
        QVERIFY(!window_->replaying());
        QVERIFY(!window_->replayPanel()->latched(ReplayPanel::AutoReplay));

        // With a modifier the arrows do nothing.
        QTest::keyClick(window_.get(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(int(window_->record().currentMove), 1);
        // Ctrl+Shift+M shows the hidden player-number item only with an open store.
        // (The program folder's sample store is open at start-up.)
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window_->menus()->playerNumberAction()->isVisible(), window_->storeOpen());
    }

    void clickingALineJumpsToThatMove() {
        Open();
        ShowYagura();
        MoveListView* list = window_->moveList();
        const QRect line = list->visualItemRect(list->item(4));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(int(window_->record().currentMove), 5);
        QCOMPARE(window_->boardView()->position(), CorePositionAfter(testing::YaguraGame(), 5));

        // Move by move: the caption switches the style and only lines up to move 5 remain.
        QTest::mouseClick(window_->listCaption(), Qt::LeftButton);
        QCOMPARE(list->count(), 5);
        QCOMPARE(window_->listCaption()->text(), QStringLiteral("（一手毎）"));
        window_->PressButton(ReplayPanel::Forward);
        QCOMPARE(list->count(), 6);
        QTest::mouseClick(window_->listCaption(), Qt::LeftButton);
        QCOMPARE(list->count(), 47);
    }

    void automaticReplayAdvancesOnItsTimer() {
        Settings settings = LoadSettings(home_, {1024, 768});
        settings.shogi.Speed = 1;  // 300 ms
        settings.shogi.Smooth = false;
        Open(&settings);
        ShowYagura();
        window_->PressButton(ReplayPanel::AutoReplay);
        QCOMPARE(window_->replayTimer()->interval(), 300);
        QTRY_VERIFY_WITH_TIMEOUT(window_->record().currentMove >= 2, 3000);
        // The fast button takes over at half the interval and releases the normal one.
        window_->PressButton(ReplayPanel::FastReplay);
        QCOMPARE(window_->replayTimer()->interval(), 150);
        QVERIFY(!window_->replayPanel()->latched(ReplayPanel::AutoReplay));
        QVERIFY(window_->replayPanel()->latched(ReplayPanel::FastReplay));
        // It runs to the end, selects the closing line and releases its button.
        QTRY_VERIFY_WITH_TIMEOUT(!window_->replaying(), 15000);
        QCOMPARE(int(window_->record().currentMove), 46);
        QCOMPARE(window_->moveList()->selectedLine(), 46);
        QVERIFY(!window_->replayPanel()->latched(ReplayPanel::FastReplay));

        // A game without moves releases the button at once.
        TKifData empty;
        empty.ResetHeader(0);
        empty.SetUpStandard();
        window_->ShowGame(empty, {}, true, false);
        QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::AutoReplay), Qt::LeftButton);
        QVERIFY(!window_->replaying());
        QVERIFY(!window_->replayPanel()->latched(ReplayPanel::AutoReplay));
    }

    void turnedBoardMapsSquaresAndSwapsSides() {
        Open();
        ShowYagura();
        window_->JumpToLine(37);  // move 38: △３七歩成 on 3七
        BoardView* board = window_->boardView();
        const QRect unturned = board->squareRect(3, 7);
        const QImage before = board->grab().toImage();
        const QPoint upperStand = window_->upperHand()->pos();
        QCOMPARE(window_->upperHand(), window_->goteHand());
        QCOMPARE(window_->lowerPlate()->name(), QStringLiteral("森川一郎"));

        QTest::mouseClick(window_->replayPanel()->button(ReplayPanel::TurnBoard), Qt::LeftButton);
        QVERIFY(board->turned());
        const QRect turned = board->squareRect(3, 7);
        // 3七 is column 6, row 6 unturned and column 2, row 2 turned.
        QCOMPARE(turned.topLeft() - unturned.topLeft(),
                 QPoint(-4 * window_->pictures().pitch().width(), -4 * window_->pictures().pitch().height()));
        QCOMPARE(board->squareAt(turned.center()).value(), (Square{3, 7}));
        QCOMPARE(board->squareAt(unturned.center()).value(), (Square{7, 3}));
        QCOMPARE(window_->upperHand(), window_->senteHand());
        QCOMPARE(window_->senteHand()->pos(), upperStand);
        QCOMPARE(window_->upperPlate()->name(), QStringLiteral("森川一郎"));
        QCOMPARE(window_->lowerPlate()->name(), QStringLiteral("高田健二"));
        QVERIFY(board->grab().toImage() != before);

        window_->TurnBoard();
        QVERIFY(!board->turned());
        QCOMPARE(board->grab().toImage(), before);
        QCOMPARE(window_->upperHand(), window_->goteHand());
    }

    void consumedTimesInTheStatusLineAndTheList() {
        Open();
        window_->settings().shogi.TimeDisp = true;
        ShowYagura(true);
        window_->JumpToLine(3);  // move 4: sente 1 + 3 min, gote 2 + 4 min
        QCOMPARE(window_->statusLine()->timeText(),
                 QStringLiteral(" 消費時間： ▲  0時間  4分 ： △  0時間  6分"));
        QVERIFY(window_->moveList()->item(3)->text().endsWith(QStringLiteral("  4")));
        // A click on the time panel shows the remaining time instead.
        QTest::mouseClick(window_->statusLine()->timePanel(), Qt::LeftButton);
        QVERIFY(window_->statusLine()->timeText().startsWith(QStringLiteral(" 残り時間： ")));
    }

    void laterFunctionsAreShownDisabledWithATooltip() {
        Open();
        for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) QVERIFY(window_->replayPanel()->button(number)->isEnabled());
        for (QAction* a : window_->menus()->laterItems()) QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
    }

    // Every item of the menus is there, in its menu and order (hidden ones too), and each either
    // works (triggering it sends exactly one command) or is a function of a later stage: disabled,
    // its tooltip naming it and saying it is not available yet, and triggering it sends nothing.
    void everyMenuItemIsThereAndEitherWorksOrSaysItIsNotAvailableYet() {
        QMenuBar bar;
        MainMenus menus(&bar);
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        const QMetaObject* meta = menus.metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            if (meta->method(i).methodType() == QMetaMethod::Signal) {
                spies.push_back(std::make_unique<QSignalSpy>(&menus, meta->method(i)));
            }
        }
        const auto commandsSent = [&] {
            qsizetype n = 0;
            for (const auto& spy : spies) n += spy->count();
            return n;
        };

        QStringList items;
        QList<QAction*> placeholders;
        std::function<void(const QList<QAction*>&, const QString&)> walk = [&](const QList<QAction*>& actions,
                                                                               const QString& in) {
            for (QAction* a : actions) {
                // The recent stores and the data collections are named at run time.
                if (a->isSeparator() || a->objectName().startsWith(QStringLiteral("Recent")) ||
                    a->objectName().startsWith(QStringLiteral("Collection"))) {
                    continue;
                }
                const QString path = in + a->text();
                items.append(path);
                if (a->menu() != nullptr) {
                    walk(a->menu()->actions(), path + QStringLiteral(" / "));
                    continue;
                }
                const qsizetype before = commandsSent();
                a->trigger();
                if (IsNotAvailableYet(a)) {
                    placeholders.append(a);
                    QVERIFY2(!a->isEnabled(), qPrintable(path));
                    QCOMPARE(a->toolTip(), PlainCaption(a->text()) + QStringLiteral("（この機能はまだ使えません）"));
                    QVERIFY2(commandsSent() == before, qPrintable(path));
                } else {
                    // A hidden item (shown by a key chord) counts as disabled while it is hidden.
                    QVERIFY2(a->isEnabled() || !a->isVisible(), qPrintable(path));
                    QVERIFY2(commandsSent() == before + 1, qPrintable(path));
                }
            }
        };
        walk(bar.actions(), {});
        QVERIFY(!QTest::currentTestFailed());
        const QStringList expected{
            QStringLiteral("ファイル(&F)"),
            QStringLiteral("ファイル(&F) / 棋譜読込(&O)"),
            QStringLiteral("ファイル(&F) / 新規作成(&N)"),
            QStringLiteral("ファイル(&F) / 棋譜ﾌｧｲﾙ名変更(&C)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 棋譜新規入力(&N)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 棋譜修正(&E)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 棋譜情報変更(&I)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 棋譜新規保存(&A)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 棋譜修正保存(&M)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 投了(&T)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / 中断(&C)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 千日手(&S)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 持将棋(&J)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 反則負け(&H)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 以下先手勝ち(&E)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 以下後手勝ち(&O)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 以下千日手(&N)"),
            QStringLiteral("ファイル(&F) / 棋譜入力(&K) / その他の終了(&E) / 以下持将棋(&J)"),
            QStringLiteral("ファイル(&F) / 棋譜ｲﾝﾎﾟｰﾄ(&I)"),
            QStringLiteral("ファイル(&F) / 棋譜ｲﾝﾎﾟｰﾄ(&I) / ファイル指定(&F)"),
            QStringLiteral("ファイル(&F) / 棋譜ｲﾝﾎﾟｰﾄ(&I) / フォルダ指定(&D)"),
            QStringLiteral("ファイル(&F) / 棋譜ｲﾝﾎﾟｰﾄ(&I) / Lisvek(&P)"),
            QStringLiteral("ファイル(&F) / 棋譜ｲﾝﾎﾟｰﾄ(&I) / クリップボード(&C)"),
            QStringLiteral("ファイル(&F) / DATﾌｧｲﾙ取込(&G)"),
            QStringLiteral("ファイル(&F) / 棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力(&C)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T) / 棋譜ﾌｧｲﾙ出力(&K)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T) / 局面ﾌｧｲﾙ出力(&M)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T) / 局面ﾌｧｲﾙ出力(&M) / 外字出力(&G)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T) / 局面ﾌｧｲﾙ出力(&M) / 標準文字出力(&S)"),
            QStringLiteral("ファイル(&F) / ﾃｷｽﾄ(&T) / 局面ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力(&N)"),
            QStringLiteral("ファイル(&F) / ﾋﾞｯﾄﾏｯﾌﾟ(&B)"),
            QStringLiteral("ファイル(&F) / 棋譜ｴｸｽﾎﾟｰﾄ(&E)"),
            QStringLiteral("ファイル(&F) / 棋譜ｴｸｽﾎﾟｰﾄ(&E) / 棋譜ｴｸｽﾎﾟｰﾄ[柿木形式](&E)"),
            QStringLiteral("ファイル(&F) / 局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 6x5](&i)"),
            QStringLiteral("ファイル(&F) / 局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 7x6](&j)"),
            QStringLiteral("ファイル(&F) / 局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 9x9](&j)"),
            QStringLiteral("ファイル(&F) / 局面図(&K)"),
            QStringLiteral("ファイル(&F) / 局面図(&K) / 新規作成(&N)"),
            QStringLiteral("ファイル(&F) / 局面図(&K) / 読込(&O)"),
            QStringLiteral("ファイル(&F) / 局面図(&K) / 上書き保存(&S)"),
            QStringLiteral("ファイル(&F) / 局面図(&K) / 名前を付けて保存(&A)..."),
            QStringLiteral("ファイル(&F) / 局面編集/印刷(&E)"),
            QStringLiteral("ファイル(&F) / 棋譜印刷(&P)"),
            QStringLiteral("ファイル(&F) / 棋譜用紙印刷(&Y)"),
            QStringLiteral("ファイル(&F) / 終了(&X)"),
            QStringLiteral("ツール(&T)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ併合(&M)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ併合(&M) / 配布ﾃﾞｰﾀ併合(&H)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ併合(&M) / Movraﾌｧｲﾙ完全合併(&P)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ併合(&M) / Movraﾌｧｲﾙ合併(&K)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ併合(&M) / Movraﾌｧｲﾙ接合(&C)"),
            QStringLiteral("ツール(&T) / Movraﾌﾟﾗｽﾌｧｲﾙ併合(&M)"),
            QStringLiteral("ツール(&T) / Movraﾌﾟﾗｽﾌｧｲﾙ併合(&M) / Movraﾌﾟﾗｽﾌｧｲﾙ接合(&C)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ･ｿｰﾄ(&S)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ･ｿｰﾄ(&S) / 日付逆順(&D)"),
            QStringLiteral("ツール(&T) / Movraﾌｧｲﾙ･ｿｰﾄ(&S) / 日付昇順(&A)"),
            QStringLiteral("ツール(&T) / Movra棋譜重複削除(&U)"),
            QStringLiteral("ツール(&T) / Movra棋譜重複削除(&U) / 同一棋譜削除(&D)"),
            QStringLiteral("ツール(&T) / Movra棋譜重複削除(&U) / 重複棋譜検索(&K)"),
            QStringLiteral("ツール(&T) / Movra→Movraﾌﾟﾗｽ･ｺﾝﾊﾞｰﾄ(&P)"),
            QStringLiteral("ツール(&T) / Movraﾌﾟﾗｽﾃﾞｰﾀ･ﾂｰﾙ(&T)"),
            QStringLiteral("ツール(&T) / Movraﾌﾟﾗｽﾃﾞｰﾀ･ﾂｰﾙ(&T) / 棋士番号一括設定(&K)"),
            QStringLiteral("ツール(&T) / バックアップ(&B)"),
            QStringLiteral("ツール(&T) / バックアップ(&B) / 棋譜ファイル(&K)"),
            QStringLiteral("ツール(&T) / バックアップ(&B) / DATファイル(&D)"),
            QStringLiteral("表示(&V)"),
            QStringLiteral("表示(&V) / 縮小盤面で表示[640x480](&S)"),
            QStringLiteral("表示(&V) / 標準盤面で表示[800x600](&M)"),
            QStringLiteral("表示(&V) / 拡大盤面で表示[1024x768](&L)"),
            QStringLiteral("表示(&V) / 256色モード(盤･駒台)で表示(&N)"),
            QStringLiteral("表示(&V) / ﾊｲｶﾗｰﾓｰﾄﾞ(盤･駒台)で表示(&H)"),
            QStringLiteral("表示(&V) / コメント表示(&C)"),
            QStringLiteral("表示(&V) / 駒変更(&K)"),
            QStringLiteral("設定(&S)"),
            QStringLiteral("設定(&S) / 動作環境(&E)"),
            QStringLiteral("設定(&S) / 棋士名登録/変更(&T)"),
            QStringLiteral("設定(&S) / 棋戦名登録/変更(&K)"),
            QStringLiteral("設定(&S) / 戦型名登録/変更(&S)"),
            QStringLiteral("設定(&S) / DATﾌｧｲﾙ切替(&D)"),
            QStringLiteral("設定(&S) / 棋士番号一括変換(&N)"),
            QStringLiteral("設定(&S) / 外字登録(&G)"),
            QStringLiteral("ヘルプ(&H)"),
            QStringLiteral("ヘルプ(&H) / バージョン情報(&A)"),
        };
        QCOMPARE(items, expected);
        // Every placeholder the menus keep is one of the items walked, and the other way round.
        QCOMPARE(QSet<QAction*>(menus.laterItems().begin(), menus.laterItems().end()),
                 QSet<QAction*>(placeholders.begin(), placeholders.end()));
    }

    void boardSizesAndColourSets() {
        Open();
        QCOMPARE(window_->boardView()->size(), QSize(414, 450));
        QVERIFY(window_->menus()->sizeAction(0)->isEnabled());  // the large set is installed
        QVERIFY(window_->SetSizeMode(0));
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA1E.BMP"));
        QCOMPARE(window_->pictures().pieceSize(), QSize(50, 55));
        QCOMPARE(window_->boardView()->size(), QSize(512, 557));
        QVERIFY(!window_->SetSizeMode(0));  // already large: nothing happens
        // A piece file that cannot be loaded keeps the old name.
        fs::remove(ResolvePath(home_, "KOMA1S.BMP"));
        QVERIFY(!window_->SetSizeMode(2));
        QCOMPARE(window_->settings().shogi.Koma, std::string("KOMA1E.BMP"));
        QVERIFY(window_->SetSizeMode(1));
        QVERIFY(window_->SetColor(0));
        QVERIFY(!window_->SetColor(0));
        QCOMPARE(window_->settings().form.Color, 0);
    }

    void storedGameFromTheStartUpStore() {
        testing::MakeTestStore(home_ / "Kifu" / "Sample.ipx");
        Open();
        QVERIFY(window_->storeOpen());
        QVERIFY(window_->windowTitle().endsWith(QStringLiteral("Sample.ipx）")));
        QVERIFY(window_->ShowStoredGame(1));
        QVERIFY(!window_->ShowStoredGame(2));
        QCOMPARE(window_->upperPlate()->name(), QStringLiteral("高田健二"));
        QCOMPARE(window_->statusLine()->headerText(), QStringLiteral("2024年04月10日　 　"));
        QCOMPARE(window_->moveList()->item(29)->text(), QStringLiteral("030* △８五歩"));
        QCOMPARE(window_->moveList()->item(46)->text(), QStringLiteral("46手まで後手勝ち"));

        // The stored game replays like the core replays it.
        const TKifData game = testing::YaguraGame();
        for (int n = 1; n <= game.moveCount; ++n) {
            window_->PressButton(ReplayPanel::Forward);
            QCOMPARE(window_->boardView()->position(), CorePositionAfter(game, n));
            // The comment window follows the moves that have a comment.
            QCOMPARE(window_->commentWindow()->isVisible(), n == testing::kCommentedMove);
        }
        QCOMPARE(window_->commentWindow()->text(), QStringLiteral("ここで８五歩と伸ばすのが急所。"));
        window_->PressButton(ReplayPanel::Forward);  // the closing line: the final comment
        QVERIFY(window_->commentWindow()->isVisible());
        QCOMPARE(window_->commentWindow()->text(), QStringLiteral("後手の攻めが一手早い。"));
        // The final time entry counts for the side to move after the last move (sente).
        std::uint32_t sente = 75;
        std::uint32_t gote = 0;
        for (int i = 1; i <= 46; ++i) (i % 2 ? sente : gote) += testing::TestStoreTime(i);
        QCOMPARE(window_->statusLine()->timeText(),
                 QStringLiteral(" 消費時間： ▲ %1分 %2秒 ： △ %3分 %4秒")
                     .arg(sente / 60, 3).arg(sente % 60, 2).arg(gote / 60, 3).arg(gote % 60, 2));
        for (int n = game.moveCount; n >= 0; --n) {
            window_->PressButton(ReplayPanel::Back);
            if (n < game.moveCount) QCOMPARE(window_->boardView()->position(), CorePositionAfter(game, n));
        }
        QVERIFY(!window_->commentWindow()->isVisible());

        // With a store open the key chord shows the hidden item, and the comment check runs.
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(window_->menus()->playerNumberAction()->isVisible());
        QTest::keyClick(window_.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        QCOMPARE(prompter_.texts().back(), std::string("Comment Check Finished."));
        QVERIFY(fs::exists(home_ / "ComErr.txt"));
        QVERIFY(fs::exists(home_ / "ComIdx.txt"));

        CloseAnswering(Answer::Yes);
        const Settings back = LoadSettings(home_, {1024, 768});
        QCOMPARE(back.shogi.LastKifFile, std::string("Kifu\\Sample.ipx"));
        QVERIFY(back.shogi.Recent[0].find("Sample.ipx") != std::string::npos);
        QCOMPARE(back.shogi.LastKifMode, 1);
    }

    void secondCopyRaisesTheFirst() {
        SingleInstance first(home_);
        QVERIFY(first.TryLock());
        QVERIFY(first.Listen());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        SingleInstance second(home_);
        QVERIFY(!second.TryLock());
        QVERIFY(second.RaiseRunningCopy());
        QTRY_COMPARE(raised.count(), 1);
        // Another program folder is another copy.
        QTemporaryDir other;
        SingleInstance elsewhere(QStringToPath(other.path()));
        QVERIFY(elsewhere.TryLock());
    }
};

}  // namespace movra

QTEST_MAIN(movra::MainWindowTest)
#include "main_window_test.moc"
