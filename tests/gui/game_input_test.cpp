// Entering and correcting games on the main window, driven as a user drives it: the entry menu,
// pieces moved with the mouse on the board and from the hands (drag and drop, click and click,
// the promotion question), refusals, taking back, ending, saving into a store and reading the game
// back, correcting a stored game at move 10, the game slots and the questions on closing.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QtTest>

#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "core/input/live_timing.h"
#include "core/input/save_game.h"
#include "core/record/game_text.h"
#include "core/rules/move.h"
#include "core/session/file_commands.h"
#include "core/session/stored_game.h"
#include "core/store/comments.h"
#include "core/store/open_store.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/gameinfo/game_info_dialog.h"
#include "gui/list/game_list_window.h"
#include "gui/mainwindow/board_input.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/comment_window.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/hand_view.h"
#include "gui/mainwindow/main_menus.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/move_list_view.h"
#include "gui/mainwindow/name_plate.h"
#include "gui/mainwindow/replay_panel.h"
#include "gui/mainwindow/status_line.h"
#include "gui/store/file_chooser.h"
#include "support/recording_prompter.h"
#include "list_test_store.h"
#include "test_games.h"
#include "test_store.h"
#include "test_window.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

// One move as the user makes it: from a square or (drop) from a hand.
struct PlannedMove {
    Square from;
    Square to;
    bool drop = false;
    int kind = 0;            // the dropped kind
    bool promote = false;
    bool optional = false;   // the promotion question is asked
    PieceCode captured = 0;  // the code of the piece taken (0 none)
};

// A game of `plies` moves played by rule on a scratch record: a capture of a kind not taken yet
// first, then a drop every fifth move, a promotion where one is offered, else any move the
// movement rules allow (kings are never taken).
std::vector<PlannedMove> PlanGame(int plies, unsigned seed) {
    TKifData g;
    g.ResetHeader(0);
    g.SetUpStandard();
    std::mt19937 rng(seed);
    std::set<PieceCode> taken;
    std::vector<PlannedMove> game;
    const auto no = [](const std::string&) { return false; };
    for (int n = 1; n <= plies; ++n) {
        const int side = g.SideOf(n);
        const auto own = [side](PieceCode c) { return side == 1 ? IsSente(c) : IsGote(c); };
        const Board& board = g.position.board;
        std::vector<PlannedMove> all;
        for (int f = 1; f <= 9; ++f) {
            for (int r = 1; r <= 9; ++r) {
                const PieceCode c = board[BoardIndex(f, r)];
                if (!own(c)) continue;
                for (int tf = 1; tf <= 9; ++tf) {
                    for (int tr = 1; tr <= 9; ++tr) {
                        const PieceCode t = board[BoardIndex(tf, tr)];
                        if ((IsPiece(t) && own(t)) || (IsPiece(t) && KindOf(t) == kind::Gyoku)) continue;
                        const Square from{std::uint8_t(f), std::uint8_t(r)};
                        const Square to{std::uint8_t(tf), std::uint8_t(tr)};
                        if (!CheckMove(from, to, c, board, no)) continue;
                        const Promotion p = PromotionOption(c, from, to);
                        PlannedMove m{from, to, false, 0, p == Promotion::Forced, p == Promotion::Optional, t};
                        all.push_back(m);
                        if (p == Promotion::Optional) {
                            m.promote = true;
                            all.push_back(m);
                        }
                    }
                }
            }
        }
        const HandCounts& hand = side == 1 ? g.position.senteHand : g.position.goteHand;
        std::vector<PlannedMove> drops;
        for (int k = kind::Fu; k < kind::Gyoku; ++k) {
            if (hand[std::size_t(k)] == 0) continue;
            const PieceCode code = PieceCode(CodeOfKind(PieceKind(k)) + (side == 1 ? 0 : piece::kGoteOffset));
            const Square from{std::uint8_t(side == 1 ? location::kSenteHand : location::kGoteHand), std::uint8_t(k)};
            for (int tf = 1; tf <= 9; ++tf) {
                for (int tr = 1; tr <= 9; ++tr) {
                    if (board[BoardIndex(tf, tr)] != 0) continue;
                    const Square to{std::uint8_t(tf), std::uint8_t(tr)};
                    if (CheckMove(from, to, code, board, no)) drops.push_back(PlannedMove{from, to, true, k, false, false, 0});
                }
            }
        }
        std::vector<PlannedMove> fresh, promotions;
        for (const PlannedMove& m : all) {
            if (m.captured != 0 && !taken.contains(OwnCode(m.captured))) fresh.push_back(m);
            if (m.promote) promotions.push_back(m);
        }
        const auto pick = [&rng](const std::vector<PlannedMove>& from) { return from[rng() % from.size()]; };
        PlannedMove chosen;
        if (!fresh.empty()) {
            chosen = pick(fresh);
        } else if (n % 5 == 0 && !drops.empty()) {
            chosen = pick(drops);
        } else if (!promotions.empty() && rng() % 2 == 0) {
            chosen = pick(promotions);
        } else if (!all.empty()) {
            chosen = pick(all);
        } else if (!drops.empty()) {
            chosen = pick(drops);
        } else {
            return {};
        }
        if (chosen.captured != 0) taken.insert(OwnCode(chosen.captured));
        if (!g.AppendAndApply(MakeMoveCode(chosen.from, chosen.to, chosen.promote ? '+' : ' '))) return {};
        game.push_back(chosen);
    }
    return game;
}

// Every kind of piece taken at least once, promoted ones included, and drops and both answers of
// the promotion question in the game.
bool CoversEverything(const std::vector<PlannedMove>& game) {
    std::set<PieceCode> taken;
    int drops = 0, promoted = 0, declined = 0;
    for (const PlannedMove& m : game) {
        if (m.captured != 0) taken.insert(OwnCode(m.captured));
        drops += m.drop ? 1 : 0;
        promoted += m.optional && m.promote ? 1 : 0;
        declined += m.optional && !m.promote ? 1 : 0;
    }
    return taken.size() == 13 && drops >= 3 && promoted >= 2 && declined >= 1;
}

class ScriptedChooser : public FileChooser {
public:
    std::deque<QString> files;
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
        return Take();
    }
    QStringList OpenFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return Take(); }
    QString Folder(QWidget*, const QString&, const QString&) override { return {}; }

private:
    QString Take() {
        if (files.empty()) return {};
        QString s = files.front();
        files.pop_front();
        return s;
    }
};

}  // namespace

class GameInputTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    testing::RecordingPrompter prompter_;
    ScriptedChooser chooser_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::pair<GameInfoMode, GameInfoAnswer>> infoAsked_;
    GameInfoAnswer infoAnswer_ = GameInfoAnswer::Ok;

    MainWindow& Start(bool withSample) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        if (!withSample) fs::remove_all(home_ / "Kifu");
        window_ = testing::StartedWindow(home_, prompter_);
        window_->setFileChooser(&chooser_);
        // The game-information dialog names the players of a new game.
        window_->gameInput()->setInfoAsker([this](GameInfoMode mode, IndexRecord& index, DetailRecord& detail) {
            infoAsked_.emplace_back(mode, infoAnswer_);
            if (mode == GameInfoMode::NewGame) {
                detail.setSenteName("入力一郎"_sj);
                detail.setGoteName("入力二郎"_sj);
                index.setHandicap(0);
            }
            return infoAnswer_;
        });
        window_->show();
        return *window_;
    }
    GameInput& Input() { return *window_->gameInput(); }
    QPoint At(int file, int rank) const { return window_->boardView()->squareRect(file, rank).center(); }
    HandView* HandOf(int side) const { return side == 1 ? window_->senteHand() : window_->goteHand(); }
    QLabel* Held() const { return window_->findChild<QLabel*>(QStringLiteral("HeldPiece")); }
    std::vector<std::string> Texts() const { return prompter_.texts(); }
    bool Shown(const std::string& text) const {
        for (const std::string& t : Texts()) {
            if (t == text) return true;
        }
        return false;
    }

    // Answers the promotion question with a click on one of its two pictures once it is open.
    static void AnswerPromotion(bool promote) {
        QTimer::singleShot(0, [promote] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr && dialog->objectName() == QStringLiteral("NariForm"));
            auto* button = dialog->findChild<QToolButton*>(promote ? QStringLiteral("ImgNari")
                                                                   : QStringLiteral("ImgFunari"));
            QVERIFY(button != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        });
    }

    // Makes one move with the mouse: dragged, or picked up with a click and put down with the next
    // one (every third move).
    void Play(const PlannedMove& m, int n) {
        BoardView* board = window_->boardView();
        QWidget* source = board;
        QPoint start;
        if (m.drop) {
            source = HandOf(m.from.file == location::kSenteHand ? 1 : 2);
            start = static_cast<HandView*>(source)->kindRect(m.kind).center();
        } else {
            start = At(m.from.file, m.from.rank);
        }
        if (m.optional) AnswerPromotion(m.promote);
        QTest::mousePress(source, Qt::LeftButton, {}, start);
        QVERIFY(Held()->isVisible());
        if (n % 3 == 0) {
            QTest::mouseRelease(source, Qt::LeftButton, {}, start);
            QVERIFY(Held()->isVisible());  // released where it was taken: it stays on the pointer
            QTest::mousePress(board, Qt::LeftButton, {}, At(m.to.file, m.to.rank));
            QTest::mouseRelease(board, Qt::LeftButton, {}, At(m.to.file, m.to.rank));
        } else {
            QTest::mouseMove(board, At(m.to.file, m.to.rank));
            QTest::mouseRelease(board, Qt::LeftButton, {}, At(m.to.file, m.to.rank));
        }
        QVERIFY(!Held()->isVisible());
    }

    void Screenshot(const QString& name) {
        QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
        QVERIFY(window_->grab().toImage().save(QDir(QStringLiteral(MOVRA_SCREENSHOT_DIR)).filePath(name)));
    }

    // The game as a fresh opening of the store reads it.
    TKifData ReadBack(const fs::path& store, long k, StoredGame* game = nullptr) {
        StoreSession session;
        session.programFolder = home_;
        TKifData loaded;
        testing::RecordingPrompter quiet;
        const OpenStoreResult opened = OpenStore(session, store, true, quiet);
        if (!opened.opened) return loaded;
        const StoredGame g = LoadStoredGame(session, k, loaded, quiet);
        if (game != nullptr) *game = g;
        return loaded;
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void init() {
        prompter_ = testing::RecordingPrompter{};
        infoAsked_.clear();
        infoAnswer_ = GameInfoAnswer::Ok;
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    // A new game of more than a hundred moves entered with the mouse into a store made for it:
    // drops, promotions taken and declined, a capture of every kind of piece, the refusals, a
    // move taken back and entered again, resignation, the save questions, and the game read back
    // from the store as it was entered.
    void aWholeGameEnteredWithTheMouseIsStoredAsEntered() {
        std::vector<PlannedMove> plan;
        for (unsigned seed = 1; seed < 400 && plan.empty(); ++seed) {
            std::vector<PlannedMove> candidate = PlanGame(110, seed);
            if (candidate.size() == 110 && CoversEverything(candidate)) plan = std::move(candidate);
        }
        QVERIFY2(!plan.empty(), "no planned game covers every piece kind");

        MainWindow& w = Start(false);
        QVERIFY(!w.storeOpen());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(w.frameGeometry()));
        MainMenus* menus = w.menus();
        QVERIFY(!menus->changeInfoAction()->isVisible());
        QVERIFY(!menus->endingAction(GameEnding::Resign)->isEnabled());
        QVERIFY(!menus->correctionAction()->isEnabled());
        // Without a store the new game makes one first.
        chooser_.files.push_back(PathToQString(home_ / "entered"));
        menus->newGameAction()->trigger();
        QVERIFY(w.storeOpen());
        QCOMPARE(infoAsked_.size(), std::size_t(1));
        QCOMPARE(infoAsked_[0].first, GameInfoMode::NewGame);
        QVERIFY(Input().active());
        QCOMPARE(Input().kind(), 1);
        QCOMPARE(w.statusLine()->timeText(), ToQString(" 棋譜入力中．．．"_sj));
        QCOMPARE(w.boardView()->cursor().shape(), Qt::PointingHandCursor);
        for (QAction* a : {menus->openStoreAction(), menus->newStoreAction(), menus->newGameAction(),
                           menus->correctionAction(), menus->saveNewAction(), menus->saveOverAction(),
                           menus->importMenu()->menuAction(), menus->printAction()}) {
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        }
        QVERIFY(menus->changeInfoAction()->isVisible());
        QVERIFY(menus->endingAction(GameEnding::Resign)->isEnabled());
        QCOMPARE(w.lowerPlate()->name(), QStringLiteral("入力一郎"));
        // "棋譜情報変更" during input: the header texts follow the dialog.
        w.gameInput()->setInfoAsker([this](GameInfoMode mode, IndexRecord&, DetailRecord& detail) {
            infoAsked_.emplace_back(mode, GameInfoAnswer::Ok);
            detail.setSenteName("入力太郎"_sj);
            return GameInfoAnswer::Ok;
        });
        menus->changeInfoAction()->trigger();
        QCOMPARE(infoAsked_.back().first, GameInfoMode::HeaderChange);
        QCOMPARE(w.lowerPlate()->name(), QStringLiteral("入力太郎"));
        QVERIFY(Input().active());
        // The buttons that would leave the game answer with a message.
        w.PressButton(ReplayPanel::GameList);
        QCOMPARE(Texts().back(), std::string("\r対局／棋譜入力中はこの操作はできません！"_sj));
        QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Texts().back(), ImportWhileEditingMessage());

        // Refusals: gote's piece while sente is to move, onto an own piece, an illegal move
        // declined.
        QTest::mousePress(w.boardView(), Qt::LeftButton, {}, At(3, 3));
        QVERIFY(!Held()->isVisible());
        QTest::mouseRelease(w.boardView(), Qt::LeftButton, {}, At(3, 3));
        QTest::mousePress(w.boardView(), Qt::LeftButton, {}, At(7, 7));
        QTest::mouseMove(w.boardView(), At(7, 9));
        QTest::mouseRelease(w.boardView(), Qt::LeftButton, {}, At(7, 9));  // 桂 there
        QVERIFY(!Held()->isVisible());
        prompter_.answers.push_back(Answer::Cancel);
        QTest::mousePress(w.boardView(), Qt::LeftButton, {}, At(7, 7));
        QTest::mouseRelease(w.boardView(), Qt::LeftButton, {}, At(7, 7));
        QTest::mousePress(w.boardView(), Qt::LeftButton, {}, At(7, 5));
        QTest::mouseRelease(w.boardView(), Qt::LeftButton, {}, At(7, 5));  // 歩 two squares: 反則
        QCOMPARE(Texts().back(), IllegalMoveQuestion());
        QCOMPARE(w.record().moveCount, std::int16_t(0));
        QCOMPARE(w.record().position.board[BoardIndex(7, 7)], piece::Fu);

        for (std::size_t i = 0; i < plan.size(); ++i) {
            Play(plan[i], int(i) + 1);
            if (QTest::currentTestFailed()) return;
            QCOMPARE(int(w.record().moveCount), int(i) + 1);
            if (i == 40) Screenshot(QStringLiteral("game_input_entering.png"));
            if (i == 5) {
                // A right click opens the comment of the move shown for input.
                bool edited = false;
                QTimer::singleShot(0, [&w, &edited] {
                    CommentWindow* c = w.commentWindow();
                    if (!c->editing()) return;
                    c->findChild<QPlainTextEdit*>(QStringLiteral("ComMemo"))->setPlainText(QStringLiteral("ここで攻めに出た。"));
                    edited = true;
                    c->Ok();
                });
                QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
                QVERIFY(edited);
                QVERIFY(w.record().moves[6].workingComment != 0);
            }
        }
        QCOMPARE(w.moveList()->count(), int(plan.size()));
        QVERIFY(!prompter_.shown.empty());

        // Back three moves; the same move again keeps the rest of the game.
        for (int i = 0; i < 3; ++i) QTest::mouseClick(w.replayPanel()->button(ReplayPanel::Back), Qt::LeftButton);
        QCOMPARE(int(w.record().currentMove), int(plan.size()) - 3);
        QCOMPARE(int(w.record().moveCount), int(plan.size()));
        Play(plan[plan.size() - 3], 1);
        QCOMPARE(int(w.record().moveCount), int(plan.size()));
        QCOMPARE(w.moveList()->count(), int(plan.size()));
        QTest::keyClick(&w, Qt::Key_End);
        QCOMPARE(int(w.record().currentMove), int(plan.size()));

        // 投了 after an even number of moves: gote made the last move and wins. Save: yes;
        // go on with another game: no.
        prompter_.shown.clear();
        prompter_.answers = {Answer::Yes, Answer::No};
        menus->endingAction(GameEnding::Resign)->trigger();
        QVERIFY(!Input().active());
        QCOMPARE(w.record().endCode, '2');
        const std::vector<std::string> expectTexts{"\r棋譜を保存してよろしいですか？"_sj.str(), "\r棋譜を保存しました！"_sj.str(),
                                                   "\r続けて棋譜入力を行いますか？"_sj.str()};
        QCOMPARE(Texts(), expectTexts);
        QVERIFY(!Input().unsaved());
        QVERIFY(menus->openStoreAction()->isEnabled());
        QVERIFY(!menus->changeInfoAction()->isVisible());
        QVERIFY(!menus->saveNewAction()->isEnabled());
        QVERIFY(menus->correctionAction()->isEnabled());
        QCOMPARE(w.boardView()->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(w.statusLine()->timeText() != ToQString(" 棋譜入力中．．．"_sj));
        QCOMPARE(w.moveList()->count(), int(plan.size()) + 1);  // the closing line, selected
        QCOMPARE(w.moveList()->currentRow(), int(plan.size()));
        QCOMPARE(w.session().catalogue.count(), std::uint32_t(1));
        Screenshot(QStringLiteral("game_input_ended.png"));

        StoredGame stored;
        const TKifData back = ReadBack(home_ / "entered.ipx", 1, &stored);
        QCOMPARE(int(back.moveCount), int(plan.size()));
        QCOMPARE(back.endCode, '2');
        for (int i = 1; i <= back.moveCount; ++i) {
            QCOMPARE(back.moves[i].moveCode().text, w.record().moves[i].moveCode().text);
            const PlannedMove& m = plan[std::size_t(i - 1)];
            QCOMPARE(back.moves[i].moveCode().text, MakeMoveCode(m.from, m.to, m.promote ? '+' : ' ').text);
        }
        QCOMPARE(stored.texts.senteName, std::string("入力太郎"_sj));
        QCOMPARE(stored.texts.goteName, std::string("入力二郎"_sj));
        QCOMPARE(MoveListLines(back), MoveListLines(w.record()));
        // The comment entered on move 6 is a stored comment of the game now.
        QVERIFY(back.moves[6].commentRecord != 0);
        QVERIFY(w.moveList()->item(5)->text().contains(QLatin1Char('*')));
        {
            GameStore store(home_ / "entered.idx", StoreKind::Extended);
            testing::RecordingPrompter quiet;
            QCOMPARE(ToQString(ReadComment(store, back.moves[6].commentFile, back.moves[6].commentRecord, quiet)),
                     QStringLiteral("ここで攻めに出た。"));
        }
    }

    // Correcting the stored 矢倉 game at move 10: the same move 11 keeps moves 12 to the end,
    // another move drops them; a correction of the header alone rewrites the closing line.
    void aCorrectionAtMoveTenKeepsOrDropsTheRest() {
        MainWindow& w = Start(false);
        const fs::path store = home_ / "yagura.ipx";
        testing::MakeTestStore(store);
        chooser_.files.push_back(PathToQString(store));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.ShowStoredGame(1, 10));
        const TKifData stored = w.record();
        const int count = stored.moveCount;
        QVERIFY(count > 20);
        QVERIFY(w.menus()->correctionAction()->isEnabled());
        const MoveRecord next = stored.moves[11];

        infoAnswer_ = GameInfoAnswer::OkEditMoves;
        w.menus()->correctionAction()->trigger();
        QVERIFY(Input().active());
        QCOMPARE(Input().kind(), 2);
        QCOMPARE(int(w.record().currentMove), 10);
        QCOMPARE(w.moveList()->count(), count);  // the closing line is gone
        const PlannedMove same{Square{next.fromFile, next.fromRank}, Square{next.toFile, next.toRank},
                               false, 0, false, false, 0};
        Play(same, 1);
        QCOMPARE(int(w.record().moveCount), count);
        QCOMPARE(int(w.record().currentMove), 11);
        // Ending at move 11 asks whether every move stays: yes; then save over the stored game.
        prompter_.shown.clear();
        prompter_.answers = {Answer::Yes, Answer::Yes};
        w.menus()->endingAction(GameEnding::Interrupt)->trigger();
        QCOMPARE(Texts().front().substr(0, 10), std::string("最終手までの棋譜を有効にします。"_sj).substr(0, 10));
        QVERIFY(Shown("\r棋譜を保存しました！"_sj));
        TKifData back = ReadBack(store, 1);
        QCOMPARE(int(back.moveCount), count);
        for (int i = 1; i <= count; ++i) QCOMPARE(back.moves[i].moveCode().text, stored.moves[i].moveCode().text);
        QCOMPARE(back.endCode, '0');
        // The comment on move 30 survived the correction.
        QVERIFY(back.moves[testing::kCommentedMove].commentRecord != 0);

        // Again from move 10, with another move 11: the rest goes.
        w.JumpToLine(9);
        QCOMPARE(int(w.record().currentMove), 10);
        w.menus()->correctionAction()->trigger();
        QVERIFY(Input().active());
        const PlannedMove other{Square{1, 7}, Square{1, 6}, false, 0, false, false, 0};
        QVERIFY(w.record().position.board[BoardIndex(1, 7)] == piece::Fu);
        Play(other, 1);
        QCOMPARE(int(w.record().moveCount), 11);
        QCOMPARE(w.moveList()->count(), 11);
        prompter_.shown.clear();
        prompter_.answers = {Answer::Yes};
        w.menus()->endingAction(GameEnding::Resign)->trigger();  // 11 moves: sente resigns... wins
        QCOMPARE(Texts().front(), std::string("\r棋譜を保存してよろしいですか？"_sj));
        back = ReadBack(store, 1);
        QCOMPARE(int(back.moveCount), 11);
        QCOMPARE(back.endCode, '1');
        QCOMPARE(back.moves[11].moveCode().text, MakeMoveCode(other.from, other.to, ' ').text);
        QCOMPARE(back.moves[testing::kCommentedMove].commentRecord, std::uint16_t(0));
        QCOMPARE(w.session().catalogue.at(0).result, std::uint8_t(1));

        // The game list's correction with "棋譜も変更する" opens the game for move editing with the
        // header its dialog gave.
        GameListWindow* list = w.gameList();
        list->setGameInfoRunner([](GameInfoMode mode, IndexRecord& index, DetailRecord& detail, std::uint32_t) {
            GameInfoOutcome outcome;
            outcome.answer = mode == GameInfoMode::Correction ? GameInfoAnswer::OkEditMoves : GameInfoAnswer::Cancel;
            index.setGameNumber(7);
            detail.setGoteName("修正次郎"_sj);
            return outcome;
        });
        QTimer::singleShot(0, list, [list] { list->EditGameInformation(); });
        w.PressButton(ReplayPanel::GameList);
        QVERIFY(Input().active());
        QCOMPARE(Input().kind(), 2);
        QCOMPARE(Input().indexRecord().gameNumber(), std::uint16_t(7));
        QCOMPARE(w.upperPlate()->name(), QStringLiteral("修正次郎"));
        QCOMPARE(w.moveList()->count(), 11);
        prompter_.answers = {Answer::Yes};
        w.menus()->endingAction(GameEnding::Resign)->trigger();
        QCOMPARE(w.session().catalogue.at(0).gameNumber, std::uint8_t(7));

        // The header alone: a new result rewrites the closing line and is saved over the game.
        infoAnswer_ = GameInfoAnswer::Ok;
        w.gameInput()->setInfoAsker([this](GameInfoMode mode, IndexRecord& index, DetailRecord&) {
            infoAsked_.emplace_back(mode, GameInfoAnswer::Ok);
            index.setResult(4);
            return GameInfoAnswer::Ok;
        });
        prompter_.shown.clear();
        prompter_.answers = {Answer::Yes};
        w.menus()->correctionAction()->trigger();
        QVERIFY(!Input().active());
        QCOMPARE(Texts().front(), std::string("\r棋譜を保存してよろしいですか？"_sj));
        QVERIFY(w.moveList()->item(11)->text().contains(QStringLiteral("持将棋")));
        back = ReadBack(store, 1);
        QCOMPARE(int(back.moveCount), 11);
        QCOMPARE(back.endCode, '4');
        QVERIFY(!w.menus()->saveOverAction()->isEnabled());

        // A handicap game (角落ち): 上手 moves first, so 下手's pieces stay where they are.
        w.gameInput()->setInfoAsker([](GameInfoMode, IndexRecord& index, DetailRecord&) {
            index.setHandicap(2);
            return GameInfoAnswer::Ok;
        });
        w.menus()->newGameAction()->trigger();
        QVERIFY(Input().active());
        QCOMPARE(w.record().handicap, HandicapChar(2));
        QCOMPARE(w.record().position.board[BoardIndex(2, 2)], piece::kNone);
        QCOMPARE(w.lowerPlate()->name(), ToQString("下手"_sj));
        QTest::mousePress(w.boardView(), Qt::LeftButton, {}, At(7, 7));
        QVERIFY(!Held()->isVisible());
        QTest::mouseRelease(w.boardView(), Qt::LeftButton, {}, At(7, 7));
        Play(PlannedMove{Square{3, 3}, Square{3, 4}, false, 0, false, false, 0}, 1);
        QCOMPARE(int(w.record().moveCount), 1);
        // 投了 after one move of a handicap game: 上手 made it and wins.
        prompter_.answers = {Answer::No};
        w.menus()->endingAction(GameEnding::Resign)->trigger();
        QCOMPARE(w.record().endCode, '2');
    }

    // The questions about a game not saved and a game being entered, on closing and on starting
    // another game; the slot chooser; live timing.
    void unsavedGamesAreAskedAboutAndSlotsSwitch() {
        MainWindow& w = Start(false);
        testing::MakeTestStore(home_ / "games.ipx");
        chooser_.files.push_back(PathToQString(home_ / "games.ipx"));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.storeOpen());
        QVERIFY(w.ShowStoredGame(1));
        const std::int16_t firstCount = w.record().moveCount;

        // Live timing: the thinking time is kept in KifTime.txt and shown every two seconds.
        w.settings().html.OutPath[0] = "web";
        int clock = 10 * 3600;
        w.gameInput()->setClock([&clock] { return clock; });
        // This time the game-information dialog itself is answered: OK with what it proposes.
        w.gameInput()->setInfoAsker(nullptr);
        QString dialogTitle;
        QRect dialogGeometry;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<GameInfoDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialogTitle = dialog->windowTitle();
            dialogGeometry = dialog->frameGeometry();
            dialog->Ok();
            // A dialog that refused OK would wait for a person: it is closed and the test fails.
            if (dialog->isVisible()) dialog->reject();
        });
        w.menus()->newGameAction()->trigger();
        QVERIFY(!dialogTitle.isEmpty());
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(dialogGeometry));
        // The players are named afterwards through "棋譜情報変更".
        w.gameInput()->setInfoAsker([](GameInfoMode, IndexRecord&, DetailRecord& detail) {
            detail.setSenteName("入力一郎"_sj);
            return GameInfoAnswer::Ok;
        });
        w.menus()->changeInfoAction()->trigger();
        QVERIFY(Input().active());
        QVERIFY(w.gameInput()->thinkingTimer()->isActive());
        QVERIFY(fs::exists(home_ / "KifTime.txt"));
        clock += 125;
        Play(PlannedMove{Square{7, 7}, Square{7, 6}, false, 0, false, false, 0}, 1);
        QCOMPARE(w.record().moves[1].consumedTime, std::uint16_t(2 * 60 + 59));
        clock += 70;
        w.gameInput()->ShowThinkingTime();
        QCOMPARE(w.statusLine()->headerText(), ToQString(ThinkingTimeText(2, 70)));
        Play(PlannedMove{Square{3, 3}, Square{3, 4}, false, 0, false, false, 0}, 1);

        // Closing while entering: the warning; OK keeps the program open, abort closes it.
        prompter_.shown.clear();
        prompter_.answers = {Answer::Yes};
        QVERIFY(!w.close());
        QCOMPARE(Texts(), std::vector<std::string>{
                              "棋譜入力中のため終了できません！\r\r強制終了する場合は「中止」をクリックして下さい。"_sj.str()});
        // A file handed over by a second copy of the program does not replace the game either.
        QVERIFY(!w.gameInput()->MayTakeGivenFile(false));
        QCOMPARE(Texts().back(), std::string("\r対局／棋譜入力中はこの操作はできません！"_sj));
        QVERIFY(Input().active());
        // Ended with 中断 and not saved: the game stays unsaved.
        prompter_.answers = {Answer::No};
        w.menus()->endingAction(GameEnding::Interrupt)->trigger();
        QVERIFY(Input().unsaved());
        QVERIFY(w.menus()->saveNewAction()->isEnabled());
        QVERIFY(!w.menus()->saveOverAction()->isEnabled());
        const int newSlot = w.record().currentSlot;
        QVERIFY(newSlot != 0);

        // The slot chooser: the stored game and the new one, the rest free; a free slot is
        // refused and asked again, the first slot asks about the unsaved game (Cancel: nothing).
        QStringList lines = w.gameInput()->SlotLines();
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[newSlot].contains(QStringLiteral("入力一郎")));
        QVERIFY(lines[4].contains(QStringLiteral("未読込")));
        std::deque<int> choices{4, 0};
        int asked = 0;
        std::vector<int> preselections;
        QStringList firstShown;
        w.gameInput()->setSlotAsker([&](const QStringList& shown, int preselected) {
            if (asked++ == 0) firstShown = shown;
            preselections.push_back(preselected);
            const int c = choices.front();
            choices.pop_front();
            return c;
        });
        prompter_.shown.clear();
        prompter_.answers = {Answer::Cancel};
        QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
        QCOMPARE(asked, 2);
        QCOMPARE(firstShown, lines);
        QCOMPARE(preselections, (std::vector<int>{newSlot, newSlot}));
        QCOMPARE(Texts(), std::vector<std::string>{"保存されていない棋譜が残っています。\r破棄してよろしいですか？"_sj.str()});
        QCOMPARE(w.record().currentSlot, newSlot);

        // Saving it from the menu, then switching to the stored game and back.
        prompter_.shown.clear();
        w.menus()->saveNewAction()->trigger();
        QCOMPARE(Texts(), std::vector<std::string>{"\r棋譜を保存しました！"_sj.str()});
        const std::uint32_t newRecord = w.gameInput()->recordNumber();
        QCOMPARE(newRecord, w.session().store.recordCount);
        choices = {0};
        QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
        QCOMPARE(w.record().currentSlot, 0);
        QCOMPARE(preselections.back(), newSlot);
        QCOMPARE(w.record().moveCount, firstCount);
        QCOMPARE(w.gameInput()->recordNumber(), std::uint32_t(1));
        choices = {newSlot};
        QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
        QCOMPARE(int(w.record().moveCount), 2);
        QCOMPARE(w.gameInput()->recordNumber(), newRecord);

        // The real chooser opens inside the screen.
        w.gameInput()->setSlotAsker(nullptr);
        QRect chooserGeometry;
        QTimer::singleShot(0, [&chooserGeometry] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr) return;
            chooserGeometry = dialog->frameGeometry();
            dialog->close();
        });
        QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
        QVERIFY(!chooserGeometry.isEmpty());
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(chooserGeometry));

        // A correction left unsaved: closing asks to save; Cancel stays, No closes.
        w.gameInput()->setInfoAsker([](GameInfoMode, IndexRecord&, DetailRecord&) { return GameInfoAnswer::OkEditMoves; });
        w.menus()->correctionAction()->trigger();
        QVERIFY(Input().active());
        prompter_.answers = {Answer::No};
        w.menus()->endingAction(GameEnding::Repetition)->trigger();
        QVERIFY(Input().unsaved());
        QVERIFY(w.menus()->saveOverAction()->isEnabled());
        prompter_.shown.clear();
        prompter_.answers = {Answer::Cancel};
        QVERIFY(!w.close());
        QCOMPARE(Texts(), std::vector<std::string>{"保存されていない棋譜が残っています。\r\r保存しますか？"_sj.str()});
        // Showing another stored game puts the unsaved one aside in its slot, not away.
        QVERIFY(w.ShowStoredGame(1));
        QVERIFY(!Input().unsaved());
        QVERIFY(w.record().currentSlot != newSlot);
        QCOMPARE(w.record().moveCount, firstCount);
        QVERIFY(w.gameInput()->SlotLines()[newSlot].contains(QStringLiteral("入力一郎")));
        // Closing brings it back and asks about it.
        prompter_.answers = {Answer::No};
        QVERIFY(w.close());
        QCOMPARE(w.record().currentSlot, newSlot);
        QCOMPARE(int(w.record().moveCount), 2);
        QCOMPARE(w.record().endCode, '3');
        // No plain closing question after the one about the unsaved game.
        QCOMPARE(Texts().size(), std::size_t(2));
        QCOMPARE(Texts().back(), std::string("保存されていない棋譜が残っています。\r\r保存しますか？"_sj));
    }

    // Live publishing: every entered move is in the store at once, under one record number, with
    // the question about sending it after each; a comment is stored once and kept; taking back
    // and entering another move shortens the stored game; the end saves without asking.
    void withLivePublishingEveryEnteredMoveIsStoredAtOnce() {
        MainWindow& w = Start(false);
        const fs::path store = home_ / "live.ipx";
        testing::MakeTestStore(store);
        chooser_.files.push_back(PathToQString(store));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.storeOpen());
        const std::uint32_t before = w.session().store.recordCount;
        w.settings().ftp.Auto = true;
        w.settings().ftp.Func = true;
        std::vector<PlannedMove> plan;
        for (unsigned seed = 1; seed < 100 && plan.empty(); ++seed) plan = PlanGame(6, seed);
        QVERIFY(!plan.empty());
        w.menus()->newGameAction()->trigger();
        QVERIFY(Input().active());
        const long k = long(before) + 1;
        const std::string question = "送信しますか？"_sj;
        std::uint16_t commentNumber = 0;
        for (int n = 1; n <= 5; ++n) {
            prompter_.shown.clear();
            prompter_.answers = {Answer::No};
            Play(plan[std::size_t(n - 1)], n);
            QCOMPARE(w.session().store.recordCount, before + 1);
            QVERIFY(!Input().unsaved());
            QVERIFY(Input().active());
            const TKifData back = ReadBack(store, k);
            QCOMPARE(int(back.moveCount), n);
            QCOMPARE(back.moves[std::size_t(n)].moveCode().text, w.record().moves[std::size_t(n)].moveCode().text);
            QTRY_VERIFY(!prompter_.shown.empty() && prompter_.shown.back().text.ends_with(question));
            if (n == 2) {
                QTimer::singleShot(0, [&w] {
                    CommentWindow* c = w.commentWindow();
                    if (!c->editing()) return;
                    c->findChild<QPlainTextEdit*>(QStringLiteral("ComMemo"))->setPlainText(QStringLiteral("中継の一手。"));
                    c->Ok();
                });
                QTest::mouseClick(w.boardView(), Qt::RightButton, {}, At(5, 5));
                QVERIFY(w.record().moves[2].workingComment != 0);
            }
            if (n >= 3) {
                // Stored by the save after it, and not written again by the later ones.
                QVERIFY(back.moves[2].commentRecord != 0);
                if (commentNumber == 0) commentNumber = back.moves[2].commentRecord;
                QCOMPARE(back.moves[2].commentRecord, commentNumber);
                GameStore files(home_ / "live.idx", StoreKind::Extended);
                testing::RecordingPrompter quiet;
                QCOMPARE(ToQString(ReadComment(files, back.moves[2].commentFile, back.moves[2].commentRecord, quiet)),
                         QStringLiteral("中継の一手。"));
            }
        }
        // Back two moves and another move 4: the stored game ends there.
        for (int i = 0; i < 2; ++i) QTest::mouseClick(w.replayPanel()->button(ReplayPanel::Back), Qt::LeftButton);
        QCOMPARE(int(w.record().currentMove), 3);
        // Gote's move 4: a pawn one square forward that is not the one entered before.
        std::optional<PlannedMove> other;
        const Board& board = w.record().position.board;
        for (int f = 1; f <= 9 && !other; ++f) {
            for (int r = 2; r <= 6 && !other; ++r) {
                if (board[BoardIndex(f, r)] != piece::Fu + piece::kGoteOffset || board[BoardIndex(f, r + 1)] != 0) continue;
                const Square from{std::uint8_t(f), std::uint8_t(r)}, to{std::uint8_t(f), std::uint8_t(r + 1)};
                if (MakeMoveCode(from, to, ' ').text != w.record().moves[4].moveCode().text) {
                    other = PlannedMove{from, to, false, 0, false, false, 0};
                }
            }
        }
        QVERIFY(other.has_value());
        prompter_.answers = {Answer::No};
        Play(*other, 1);
        QCOMPARE(int(ReadBack(store, k).moveCount), 4);
        // Resignation saves over the game without a question or a message; nothing is appended.
        QTRY_VERIFY(!prompter_.shown.empty() && prompter_.shown.back().text.ends_with(question));
        prompter_.shown.clear();
        w.menus()->endingAction(GameEnding::Resign)->trigger();
        QVERIFY(!Input().active());
        QVERIFY(!Shown(SaveGameQuestion()));
        QVERIFY(!Shown(GameSavedMessage()));
        const TKifData back = ReadBack(store, k);
        QCOMPARE(int(back.moveCount), 4);
        QCOMPARE(back.endCode, '2');
        QCOMPARE(w.session().store.recordCount, before + 1);
        QCOMPARE(w.session().catalogue.count(), before + 1);
        QVERIFY(back.moves[2].commentRecord != 0);
    }

    // Games deleted in the list move the record numbers: the game on the board follows its
    // record, so that saving over it writes on it and not on the game that took its old number;
    // once it is deleted itself it can no longer be corrected.
    void theShownGameFollowsItsRecordThroughDeletions() {
        MainWindow& w = Start(false);
        const fs::path store = home_ / "six.ipx";
        testing::MakeGuiListStore(store, 6, true);
        chooser_.files.push_back(PathToQString(store));
        w.menus()->openStoreAction()->trigger();
        QVERIFY(w.ShowStoredGame(5));
        const int shownMoves = w.record().moveCount;
        const int sixthMoves = ReadBack(store, 6).moveCount;
        QVERIFY(shownMoves != sixthMoves);
        GameListWindow* list = w.gameList();
        const auto deleteAt = [&](std::uint32_t position) {
            list->ShowPosition(position);
            QTimer::singleShot(0, list, [list] {
                list->DeleteGames(true);
                list->close();
            });
            w.PressButton(ReplayPanel::GameList);
        };
        deleteAt(2);  // game 3
        QCOMPARE(Input().recordNumber(), std::uint32_t(4));
        // A correction of the header alone is saved over game 4, the one shown.
        w.gameInput()->setInfoAsker([](GameInfoMode, IndexRecord& index, DetailRecord&) {
            index.setGameNumber(9);
            return GameInfoAnswer::Ok;
        });
        prompter_.answers = {Answer::Yes};
        w.menus()->correctionAction()->trigger();
        QCOMPARE(int(ReadBack(store, 4).moveCount), shownMoves);
        QCOMPARE(int(ReadBack(store, 5).moveCount), sixthMoves);
        QCOMPARE(w.session().catalogue.at(3).gameNumber, std::uint8_t(9));
        QCOMPARE(w.session().catalogue.at(4).gameNumber, std::uint8_t(0));
        // The shown game itself deleted: nothing is left to correct.
        deleteAt(3);
        QCOMPARE(Input().recordNumber(), std::uint32_t(0));
        QVERIFY(!w.menus()->correctionAction()->isEnabled());
    }
};

}  // namespace movra

QTEST_MAIN(movra::GameInputTest)
#include "game_input_test.moc"
