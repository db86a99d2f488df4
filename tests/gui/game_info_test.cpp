// The game information dialogs, the consumed-time editor and the comment window under the
// offscreen platform, each driven with keys and clicks through OK: the images they hand back, the
// store they write, the game list's correction and bulk change, and where they open. Each also
// leaves a picture of itself in build/screenshots.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>

#include "core/gameinfo/move_comment.h"
#include "core/store/comments.h"
#include "core/store/open_store.h"
#include "core/text/sjis_literal.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/gameinfo/consumed_time_dialog.h"
#include "gui/gameinfo/detail_info_dialog.h"
#include "gui/gameinfo/game_info_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/mainwindow/comment_window.h"
#include "list_test_store.h"
#include "support/recording_prompter.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

class GameInfoGuiTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    std::unique_ptr<StoreSession> session_;
    Settings settings_;
    testing::RecordingPrompter prompter_;

    // 6 games in an extended store; game 3 has sente 2 (川村夏彦) and gote without a number,
    // named in the detail record.
    void Open() {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        testing::MakeGuiListStore(home_ / "games.idx", 6, true, [](int i, testing::GuiListGame& g) {
            g.index.setSentePlayer(std::uint16_t(i == 3 ? 2 : 1));
            if (i == 3) g.detail.setGoteName("山田太郎"_sj);
            g.moves = 12;
        });
        session_ = std::make_unique<StoreSession>();
        session_->programFolder = home_;
        if (!OpenStore(*session_, home_ / "games.ipx", true, prompter_).opened) qFatal("the store did not open");
        settings_ = Settings{};
        prompter_.shown.clear();
    }

    template <typename T>
    static T* Child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (c == nullptr) qFatal("no control %s", name);
        return c;
    }

    // Types a text as key presses: Japanese characters arrive as the text of a key event (as an
    // input method hands them over), a line break as the Return key.
    static void Keys(QWidget* w, const QString& text) {
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(w, Qt::Key_Return);
            for (const QChar c : lines[i]) {
                if (c.unicode() < 0x80) {
                    QTest::keyClick(w, c.toLatin1());
                } else {
                    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            }
        }
    }
    // Replaces a field's text by typing.
    static void Type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        Keys(e, text);
    }

    static void Shoot(QWidget* w, const QString& name) {
        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        QVERIFY(w->grab().toImage().save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")));
    }

    static void VerifyInside(QWidget* w) {
        const QRect area = AvailableArea(w);
        QVERIFY2(area.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 outside %6x%7")
                                .arg(w->objectName()).arg(w->frameGeometry().x()).arg(w->frameGeometry().y())
                                .arg(w->frameGeometry().width()).arg(w->frameGeometry().height())
                                .arg(area.width()).arg(area.height())));
    }

    static void ShowPlaced(QWidget* w) {
        PlaceCentred(w, nullptr);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        VerifyInside(w);
    }

    void DriveRecorder(RecorderListDialog* r) {
        ShowPlaced(r);
        QCOMPARE(r->windowTitle(), QStringLiteral("記録係一覧"));
        QCOMPARE(r->list()->currentRow(), 0);
        QTest::keyClick(r->list(), Qt::Key_Down);
        Shoot(r, QStringLiteral("recorder_list"));
        QTest::mouseClick(Child<QPushButton>(r, "OkBtn"), Qt::LeftButton);
    }

    void DriveDetail(DetailInfoDialog* d) {
        ShowPlaced(d);
        QCOMPARE(Child<QLineEdit>(d, "NameEdit2")->text(), QStringLiteral("山田太郎"));
        QCOMPARE(Child<QLineEdit>(d, "StartEdit1")->text(), QStringLiteral("2003"));
        auto* rank = Child<QComboBox>(d, "DanBox1");
        rank->setFocus();
        rank->lineEdit()->selectAll();
        Keys(rank->lineEdit(), QStringLiteral("abc竜王名人x"));
        Type(Child<QLineEdit>(d, "KisenEdit"), QStringLiteral("順位戦"));
        Type(Child<QLineEdit>(d, "StartEdit2"), QStringLiteral("04"));
        QCOMPARE(Child<QLineEdit>(d, "StartEdit2")->text(), QStringLiteral("04"));
        QTest::mouseDClick(Child<QLabel>(d, "KisenLabel"), Qt::LeftButton);
        QCOMPARE(Child<QLineEdit>(d, "KisenEdit")->text(), QStringLiteral("第62期順位戦"));  // April 2003
        QTest::mouseDClick(Child<QLabel>(d, "PlaceNote"), Qt::LeftButton);
        QTest::mouseDClick(Child<QLabel>(d, "LunchEditLabel"), Qt::LeftButton);
        Type(Child<QLineEdit>(d, "AllowHour1"), QStringLiteral("6"));
        QTest::keyClick(Child<QLineEdit>(d, "AllowHour1"), Qt::Key_Tab);
        Child<QLineEdit>(d, "AllowMinute2")->setFocus();
        QCOMPARE(Child<QLineEdit>(d, "AllowHour2")->text(), QStringLiteral("6"));
        // Typing the start's hour fully moves on to its minute; an empty minute is refused.
        Type(Child<QLineEdit>(d, "StartEdit4"), QStringLiteral("10"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<QLineEdit>(d, "StartEdit5")));
        Type(Child<QLineEdit>(d, "StartEdit5"), QString());
        QTest::mouseClick(Child<QPushButton>(d, "OkBtn"), Qt::LeftButton);
        QCOMPARE(prompter_.texts().back(), std::string("\r対局開始日時が正しくありません。"_sj));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<QLineEdit>(d, "StartEdit5")));
        Type(Child<QLineEdit>(d, "StartEdit5"), QStringLiteral("00"));
        // The recorder list: its second line, with OK.
        auto* recorderButton = Child<QPushButton>(d, "KirokuBtn");
        QVERIFY(recorderButton->isVisible());
        d->setRecorderRunner([&](QDialog& list) {
            auto* r = qobject_cast<RecorderListDialog*>(&list);
            DriveRecorder(r);
            return r->result();
        });
        QTest::mouseClick(recorderButton, Qt::LeftButton);
        QCOMPARE(Child<QLineEdit>(d, "KirokuEdit")->text(), QStringLiteral("中村初段"));
        Shoot(d, QStringLiteral("detail_info_dialog"));
        QTest::mouseClick(Child<QPushButton>(d, "OkBtn"), Qt::LeftButton);
    }

    void DriveTimes(ConsumedTimeDialog* t) {
        ShowPlaced(t);
        QCOMPARE(t->list()->count(), 13);  // 12 moves and the final position
        auto* minutes = Child<QLineEdit>(t, "MinEdit");
        auto* seconds = Child<QLineEdit>(t, "SecEdit");
        minutes->setFocus();
        QTest::keyClicks(minutes, QStringLiteral("1"));
        QTest::keyClick(minutes, Qt::Key_Right);
        QTest::keyClicks(seconds, QStringLiteral("30"));
        QTest::keyClick(seconds, Qt::Key_Down);  // stores move 1, on to move 2
        QCOMPARE(t->list()->currentRow(), 1);
        QTest::keyClick(minutes, Qt::Key_Down);   // nothing typed: move 2 stays 0
        Type(minutes, QStringLiteral("2"));
        QTest::mouseClick(Child<QPushButton>(t, "SetBtn"), Qt::LeftButton);  // move 3
        QCOMPARE(t->list()->currentRow(), 3);
        QCOMPARE(Child<QLabel>(t, "TotalLabel1")->text(), QStringLiteral("▲：  3分 30秒"));
        // 1000 minutes only beeps: nothing is stored and the highlight stays.
        Type(minutes, QStringLiteral("1000"));
        QTest::mouseClick(Child<QPushButton>(t, "SetBtn"), Qt::LeftButton);
        QCOMPARE(t->list()->currentRow(), 3);
        QCOMPARE(t->editor().Time(3), std::uint16_t(0));
        Shoot(t, QStringLiteral("consumed_time_editor"));
        QTest::mouseClick(Child<QPushButton>(t, "UpdateBtn"), Qt::LeftButton);
        QCOMPARE(prompter_.texts().back(), std::string("\r消費時間データを更新しました。"_sj));
        QVERIFY(t->updated());
        // Typing again and closing asks; Cancel keeps the window open.
        Type(minutes, QStringLiteral("5"));
        prompter_.answers = {Answer::Cancel};
        QTest::mouseClick(Child<QPushButton>(t, "CloseBtn"), Qt::LeftButton);
        QCOMPARE(prompter_.texts().back(),
                 std::string("消費時間が変更されています！\r\r更新せずに終了してよろしですか？"_sj));
        QVERIFY(t->isVisible());
        QTest::mouseClick(Child<QPushButton>(t, "CloseBtn"), Qt::LeftButton);
        QVERIFY(!t->isVisible());
    }

    void DriveListDialog(GameInfoDialog& dialog, GameInfoMode mode) {
        ShowPlaced(&dialog);
        if (mode == GameInfoMode::Correction) {
            auto* game = Child<QComboBox>(&dialog, "KyokuBox");
            game->setFocus();
            QTest::keyClick(game, Qt::Key_Down);  // 局 1
        } else {
            QVERIFY(!Child<QLineEdit>(&dialog, "YearEdit")->isVisible());
            QCOMPARE(Child<QComboBox>(&dialog, "KishiBox1")->currentText(), QStringLiteral("変更なし"));
            auto* result = Child<QComboBox>(&dialog, "ShohaiBox");
            result->setFocus();
            QTest::keyClick(result, Qt::Key_Down);
            QTest::keyClick(result, Qt::Key_Down);  // 後手勝ち
            auto* gote = Child<QComboBox>(&dialog, "KishiBox2");
            Type(gote->lineEdit(), QStringLiteral("森田 冬馬"));
            Shoot(&dialog, QStringLiteral("game_info_bulk"));
        }
    }

private slots:
    // Correcting game 3: a typed name with a full-width space finds its player, an impossible
    // date is refused with the focus on the month, an unknown day passes; the images carry the
    // edits and the result stays editable with "棋譜は変更しない".
    void theGameInformationDialogEditsTheImages() {
        Open();
        IndexRecord index;
        DetailRecord detail;
        QVERIFY(ReadIndexRecord(session_->store, 3, index));
        QVERIFY(ReadDetailRecord(session_->store, 3, detail, prompter_));
        GameInfoContext context{*session_, settings_, prompter_};
        GameInfoDialog dialog(GameInfoMode::Correction, false, index, detail, 3, context);
        ShowPlaced(&dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("棋譜情報設定"));
        auto* sente = Child<QComboBox>(&dialog, "KishiBox1");
        auto* gote = Child<QComboBox>(&dialog, "KishiBox2");
        QCOMPARE(sente->currentText(), QStringLiteral("川村夏彦"));
        QCOMPARE(gote->currentText(), QStringLiteral("山田太郎"));
        QVERIFY(Child<QRadioButton>(&dialog, "KifKeepRadio")->isChecked());
        QVERIFY(Child<QComboBox>(&dialog, "ShohaiBox")->isEnabled());
        QVERIFY(!Child<QComboBox>(&dialog, "TeaiBox")->isEnabled());
        QVERIFY(Child<QPushButton>(&dialog, "TimeBtn")->isVisible());
        QCOMPARE(Child<QLabel>(&dialog, "WarekiLabel")->text(), QStringLiteral("(平成15年)"));

        Type(sente->lineEdit(), QStringLiteral("青木　春樹"));
        Type(gote->lineEdit(), QStringLiteral("鈴木 次郎"));
        Type(Child<QLineEdit>(&dialog, "YearEdit"), QStringLiteral("2000"));
        Type(Child<QLineEdit>(&dialog, "MonthEdit"), QStringLiteral("02"));
        Type(Child<QLineEdit>(&dialog, "DayEdit"), QStringLiteral("30"));
        Type(Child<QLineEdit>(&dialog, "RateEdit1"), QStringLiteral("1905"));
        auto* result = Child<QComboBox>(&dialog, "ShohaiBox");
        result->setFocus();
        QTest::keyClick(result, Qt::Key_Down);  // 後手勝ち (the game stored 先手勝ち)
        QTest::mouseClick(Child<QPushButton>(&dialog, "OkBtn"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompter_.texts().back(), std::string("対局日が正しくありません！"_sj));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<QLineEdit>(&dialog, "MonthEdit")));

        Type(Child<QLineEdit>(&dialog, "DayEdit"), QStringLiteral("00"));
        Shoot(&dialog, QStringLiteral("game_info_dialog"));
        QTest::mouseClick(Child<QPushButton>(&dialog, "OkBtn"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.outcome().answer, GameInfoAnswer::Ok);
        QCOMPARE(dialog.index().sentePlayer(), std::uint16_t(1));
        QCOMPARE(dialog.index().gotePlayer(), std::uint16_t(0));
        QCOMPARE(dialog.detail().goteName(), std::string("鈴木 次郎"_sj));
        QCOMPARE(dialog.index().dateValue(), 20000200u);
        QCOMPARE(dialog.index().result(), std::uint16_t(2));
        QCOMPARE(dialog.detail().senteRating(), std::int16_t(1905));
        // The date goes to the detail record's start (the setting DateUp) whenever the era label
        // reads it: while the day was typed, 2000/02/03 was the last date it could read.
        QCOMPARE(dialog.detail().start(), (DetailDateTime{2000, 2, 3, 0, 0}));
    }

    // The detailed dialog from the main form's "詳細情報": the typed name goes along, the label
    // presets fill the fields, the sente allowance is copied to gote on leaving, a start with only
    // the minute empty is refused, and the recorder comes from the recorder list.
    void theDetailedDialogFillsTheDetailRecord() {
        Open();
        {
            std::ofstream kiroku(home_ / "kiroku.txt", std::ios::binary);
            kiroku << std::string("高橋三段\r\n中村初段\r\n"_sj);
        }
        IndexRecord index;
        DetailRecord detail;
        QVERIFY(ReadIndexRecord(session_->store, 3, index));
        QVERIFY(ReadDetailRecord(session_->store, 3, detail, prompter_));
        GameInfoContext context{*session_, settings_, prompter_};
        GameInfoDialog dialog(GameInfoMode::HeaderChange, false, index, detail, 3, context);
        bool ran = false;
        dialog.setNestedRunner([&](QDialog& nested) {
            ran = true;
            auto* d = qobject_cast<DetailInfoDialog*>(&nested);
            if (d == nullptr) return int(QDialog::Rejected);
            DriveDetail(d);
            return d->result();
        });
        ShowPlaced(&dialog);
        QTest::mouseClick(Child<QPushButton>(&dialog, "DetailBtn"), Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(Child<QPushButton>(&dialog, "OkBtn"), Qt::LeftButton);
        QCOMPARE(dialog.outcome().answer, GameInfoAnswer::Ok);
        const DetailRecord& d = dialog.detail();
        QCOMPARE(d.senteRank(), std::string("abc竜王名人x"_sj));
        QCOMPARE(d.tournamentText(), std::string("第62期順位戦"_sj));
        QCOMPARE(d.place(), std::string("関西将棋会館"_sj));
        QCOMPARE(d.lunch(), (BreakTime{12, 10, 13, 0}));
        QCOMPARE(d.senteAllowedMinutes(), std::uint16_t(360));
        QCOMPARE(d.goteAllowedMinutes(), std::uint16_t(360));
        QCOMPARE(d.recorder(), std::string("中村初段"_sj));
        QCOMPARE(d.start(), (DetailDateTime{2003, 4, 1, 10, 0}));  // the main date left unchanged
    }

    // The consumed-time editor on stored game 2: times typed with Enter and Down, a 1000-minute
    // entry only beeps, "更新" writes them to the store, and the game information dialog takes
    // them over.
    void theConsumedTimeEditorWritesTheStore() {
        Open();
        IndexRecord index;
        DetailRecord detail;
        QVERIFY(ReadIndexRecord(session_->store, 2, index));
        QVERIFY(ReadDetailRecord(session_->store, 2, detail, prompter_));
        GameInfoContext context{*session_, settings_, prompter_};
        GameInfoDialog dialog(GameInfoMode::Correction, false, index, detail, 2, context);
        bool ran = false;
        dialog.setNestedRunner([&](QDialog& nested) {
            ran = true;
            auto* t = qobject_cast<ConsumedTimeDialog*>(&nested);
            if (t == nullptr) return int(QDialog::Rejected);
            DriveTimes(t);
            return t->result();
        });
        ShowPlaced(&dialog);
        QTest::mouseClick(Child<QPushButton>(&dialog, "TimeBtn"), Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(dialog.outcome().times.has_value());
        QCOMPARE(dialog.outcome().times->entryTimes[0], std::uint16_t(90));
        QCOMPARE(dialog.outcome().times->entryTimes[2], std::uint16_t(120));
        MoveInfo info;
        QVERIFY(ReadMoveInfo(session_->store, 2, 0, info, prompter_));
        QCOMPARE(info.consumedTime(0), std::uint16_t(90));
        QCOMPARE(info.consumedTime(1), std::uint16_t(0));
        QCOMPARE(info.consumedTime(2), std::uint16_t(120));
    }

    // The game list: "棋譜修正" saves the header in place after the question; "棋譜情報一括変更"
    // refuses without marks, then the bulk form (driven by keys) changes only the marked games.
    void theGameListCorrectsAndChangesInBulk() {
        Open();
        GameListWindow list(*session_, settings_, home_, prompter_);
        list.Prepare(1);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.HighlightRow(1);  // game 2
        list.setGameInfoRunner([&](GameInfoMode mode, IndexRecord& index, DetailRecord& detail,
                                   std::uint32_t k) {
            GameInfoContext context{*session_, settings_, prompter_};
            GameInfoDialog dialog(mode, false, index, detail, k, context, &list);
            DriveListDialog(dialog, mode);
            QTest::mouseClick(Child<QPushButton>(&dialog, "OkBtn"), Qt::LeftButton);
            if (dialog.outcome().answer != GameInfoAnswer::Cancel) {
                index = dialog.index();
                detail = dialog.detail();
            }
            return dialog.outcome();
        });
        list.EditGameInformation();
        QCOMPARE(prompter_.texts().back(), std::string("\r棋譜情報を保存しました！"_sj));
        IndexRecord stored;
        QVERIFY(ReadIndexRecord(session_->store, 2, stored));
        QCOMPARE(stored.gameNumber(), std::uint16_t(1));
        QCOMPARE(int(session_->catalogue.at(1).gameNumber), 1);
        DetailRecord detail;
        QVERIFY(ReadDetailRecord(session_->store, 2, detail, prompter_));
        QCOMPARE(detail.gameNumber(), std::uint8_t(1));

        list.SetMultiMode(true);
        list.BulkChange();
        QCOMPARE(prompter_.texts().back(), std::string("\r一括変更する棋譜を選択してください！"_sj));
        list.listBox()->item(0)->setSelected(true);
        list.listBox()->item(3)->setSelected(true);
        prompter_.answers = {Answer::Yes};
        list.BulkChange();
        QCOMPARE(prompter_.shown.back().text, std::string("棋譜情報を一括変更します。\r\rよろしいですか？"_sj));
        for (std::uint32_t k = 1; k <= 6; ++k) {
            IndexRecord r;
            QVERIFY(ReadIndexRecord(session_->store, k, r));
            const bool marked = k == 1 || k == 4;
            QCOMPARE(r.result(), std::uint16_t(marked ? 2 : (k % 2 == 1 ? 1 : 2)));
            QCOMPARE(r.gotePlayer(), std::uint16_t(marked ? 4 : 0));
            QCOMPARE(r.sentePlayer(), std::uint16_t(k == 3 ? 2 : 1));  // unchanged
        }
    }

    // The comment window in input use: five lines are refused, 999:59 is the largest time,
    // the up button wraps, and OK hands back the trimmed comment; display use is untouched.
    void theCommentWindowEditsAComment() {
        Open();
        CommentWindow window;
        window.setComment(QStringLiteral(" 2手目"), QStringLiteral("表示用"));
        QCOMPARE(window.windowTitle(), QStringLiteral("指し手コメント表示"));
        window.BeginEdit(2, 12, std::string("  2  △３四歩(33)"_sj), std::string("元の\r\nコメント"_sj), 75,
                         prompter_);
        PlaceCentred(&window, nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        VerifyInside(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("指し手コメント入力"));
        QCOMPARE(window.heading(), QStringLiteral(" 2手目 △３四歩(33) のコメント"));
        QCOMPARE(window.text(), QStringLiteral("元の\nコメント"));
        auto* memo = Child<QPlainTextEdit>(&window, "ComMemo");
        auto* minutes = Child<QLineEdit>(&window, "ComMinEdit");
        QCOMPARE(minutes->text(), QStringLiteral("1"));
        QCOMPARE(Child<QLineEdit>(&window, "ComSecEdit")->text(), QStringLiteral("15"));

        memo->setFocus();
        memo->selectAll();
        Keys(memo, QStringLiteral("一\n二\n三\n四\n五"));
        QTest::mouseClick(Child<QPushButton>(&window, "ComOkBtn"), Qt::LeftButton);
        QVERIFY(window.editing());
        QCOMPARE(prompter_.texts().back(), std::string("\rコメントは４行以内で入力して下さい。"_sj));

        memo->selectAll();
        Keys(memo, QStringLiteral("  ８五歩と伸ばす。\n\n"));
        Type(minutes, QStringLiteral("999"));
        Type(Child<QLineEdit>(&window, "ComSecEdit"), QStringLiteral("59"));
        Shoot(&window, QStringLiteral("comment_window_input"));
        QTest::mouseClick(Child<QPushButton>(&window, "ComOkBtn"), Qt::LeftButton);
        QVERIFY(!window.editing());
        QVERIFY(window.editResult().has_value());
        QCOMPARE(window.editResult()->comment, std::string("８五歩と伸ばす。"_sj));
        QCOMPARE(window.editResult()->seconds, std::uint16_t(59999));
        QCOMPARE(window.windowTitle(), QStringLiteral("指し手コメント表示"));

        // The starting position: no time; the up button on 999 minutes wraps (disabled there,
        // so through the slot).
        window.BeginEdit(0, 12, "", "", 0, prompter_);
        QVERIFY(!minutes->isEnabled());
        minutes->setText(QStringLiteral("999"));
        window.SpinMinutes(true);
        QCOMPARE(minutes->text(), QStringLiteral("0"));
        // Cancelling after a time change asks; No keeps the window open.
        prompter_.answers = {Answer::No};
        QVERIFY(!window.Cancel());
        QVERIFY(window.editing());
        QVERIFY(window.Cancel());
        QVERIFY(!window.editResult().has_value());
    }
};

}  // namespace movra

QTEST_MAIN(movra::GameInfoGuiTest)
#include "game_info_test.moc"
