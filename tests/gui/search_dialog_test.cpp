// The search dialogs under the offscreen platform: a search that narrows twice and a narrowing
// with no hit, the saved conditions restored on the next opening, a position search, the date
// fields, the player picker, and the detailed search with its rating panel and histories.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/list/detailed_search_dialog.h"
#include "core/list/game_search.h"
#include "gui/list/search_dialog.h"
#include "core/text/paths.h"
#include "core/config/settings.h"
#include "core/text/sjis_literal.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"
#include "list_test_store.h"
#include "test_games.h"
#include "test_window.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

class SearchDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path home_;
    std::unique_ptr<StoreSession> session_;
    Settings settings_;
    testing::RecordingPrompter prompter_;
    BoardPosition board_;
    std::unique_ptr<SearchDialog> dialog_;

    // 40 games: sente is player 1 on odd games and 2 on even ones, gote player 3; tournament 1
    // on every fourth game; game i of year 2000 + i; handicap 0.
    // The store is in the program folder, or in its subfolder `folder`.
    SearchDialog& Open(bool extended = false,
                       const std::function<void(int, testing::GuiListGame&)>& extra = nullptr,
                       const fs::path& folder = {}) {
        dir_ = std::make_unique<QTemporaryDir>();
        home_ = testing::FreshProgramFolder(*dir_);
        testing::MakeGuiListStore(home_ / folder / "games.idx", 40, extended, [&](int i, testing::GuiListGame& g) {
            g.index.setSentePlayer(std::uint16_t(i % 2 == 1 ? 1 : 2));
            g.index.setGotePlayer(3);
            if (i % 4 == 0) g.index.setTournament(1);
            if (extra) extra(i, g);
        });
        session_ = std::make_unique<StoreSession>();
        session_->programFolder = home_;
        if (!OpenStore(*session_, home_ / folder / (extended ? "games.ipx" : "games.idx"), true, prompter_).opened) {
            qFatal("the store did not open");
        }
        settings_ = Settings{};
        // The games run to 2040: the dialog's to-date must reach them.
        settings_.kensaku.ToYY = 2099;
        settings_.kensaku.ToMM = 12;
        prompter_.shown.clear();
        board_ = testing::YaguraGame().position;
        dialog_ = std::make_unique<SearchDialog>(*session_, settings_, prompter_, [this] { return board_; });
        return *dialog_;
    }
    // The list position of a player number in the player lists.
    int PlayerIndex(int number) const {
        QComboBox* box = dialog_->playerBox(0);
        for (int i = 1; i < box->count(); ++i) {
            const QByteArray entry = box->itemData(i).toByteArray();
            if (PlayerNumberOfListEntry(std::string_view(entry.constData(), std::size_t(entry.size()))) == number) {
                return i;
            }
        }
        return -1;
    }
    std::vector<int> Years() const {
        std::vector<int> out;
        for (const GameHeader& e : session_->catalogue.entries()) out.push_back(e.year - 2000);
        return out;
    }

private slots:
    void initTestCase() { RegisterFontSubstitutes(); }
    void cleanup() {
        dialog_.reset();
        session_.reset();
    }

    void aSearchThatNarrowsTwiceAndANarrowingWithNoHit() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        QVERIFY(!d.releaseButton()->isEnabled());
        QVERIFY(!d.detailedButton()->isVisibleTo(&d));  // a classic store
        d.playerBox(0)->setCurrentIndex(PlayerIndex(3));  // gote of every game
        d.StartSearch();
        QCOMPARE(d.result(), SearchDialog::Result::Ok);
        QCOMPARE(session_->catalogue.count(), 40u);
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString(SearchResultMessage(40)));
        QVERIFY(!d.freshLists());

        // First narrowing: the chosen player stays fixed; the tournament narrows.
        d.Prepare(true, false);
        QCOMPARE(d.windowTitle(), QStringLiteral("検索条件設定 --- 絞込検索"));
        QVERIFY(d.releaseButton()->isEnabled());
        QVERIFY(!d.playerBox(0)->isEnabled());
        QCOMPARE(d.playerBox(0)->currentIndex(), PlayerIndex(3));
        QVERIFY(d.tournamentBox()->isEnabled());
        d.tournamentBox()->setCurrentIndex(1);
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{4, 8, 12, 16, 20, 24, 28, 32, 36, 40}));
        // Second narrowing: the tournament is fixed now; the dates narrow.
        d.Prepare(true, false);
        QVERIFY(!d.tournamentBox()->isEnabled());
        d.dateField(0)->setText(QStringLiteral("2010"));
        d.dateField(2)->setText(QStringLiteral("2030"));
        d.dateField(3)->setText(QStringLiteral("12"));
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{12, 16, 20, 24, 28}));
        // A narrowing with no hit: the message, the dialog stays, the hits stay.
        d.Prepare(true, false);
        d.resultBox()->setCurrentIndex(2);  // 先手勝ち: only odd games
        d.StartSearch();
        QCOMPARE(d.result(), SearchDialog::Result::Cancel);
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString(SearchResultMessage(0)));
        QCOMPARE(Years(), (std::vector<int>{12, 16, 20, 24, 28}));
    }

    void narrowingKeepsTheHitsWhenNothingPasses() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        d.dateField(0)->setText(QStringLiteral("2010"));
        d.dateField(1)->setText(QStringLiteral("01"));
        d.dateField(2)->setText(QStringLiteral("2030"));
        d.dateField(3)->setText(QStringLiteral("12"));
        d.StartSearch();
        QCOMPARE(session_->catalogue.count(), 21u);  // 2010 … 2030
        d.Prepare(true, false);
        QCOMPARE(d.dateField(0)->text(), QStringLiteral("2010"));
        d.CyclePlayerMode();  // as labelled: player 2 as gote is nobody
        d.playerBox(1)->setCurrentIndex(PlayerIndex(2));
        QVERIFY(d.playerBox(1)->isEnabled());
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString(SearchResultMessage(0)));
        QCOMPARE(session_->catalogue.count(), 21u);  // nothing passed: the list stays
        d.playerBox(1)->setCurrentIndex(0);
        d.playerBox(0)->setCurrentIndex(PlayerIndex(2));  // as sente: the even games
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}));
        d.Prepare(true, false);
        d.resultBox()->setCurrentIndex(3);  // 後手勝ち: the even games
        d.StartSearch();
        QCOMPARE(session_->catalogue.count(), 11u);
        d.Prepare(true, false);
        d.resultBox()->setCurrentIndex(0);
        d.dateField(2)->setText(QStringLiteral("2020"));
        d.dateField(3)->setText(QStringLiteral("06"));
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{10, 12, 14, 16, 18, 20}));
        // "絞込解除": the next search covers the whole store again.
        d.Prepare(true, false);
        d.ReleaseNarrowing();
        QVERIFY(!d.narrowing());
        QVERIFY(d.playerBox(0)->isEnabled());
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{10, 12, 14, 16, 18, 20}));
    }

    void theSavedConditionsComeBackOnTheNextOpening() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        d.playerBox(0)->setCurrentIndex(PlayerIndex(2));
        d.CyclePlayerMode();
        QCOMPARE(d.playerLabel(0)->text(), QStringLiteral("１．先手棋士名"));
        d.tournamentBox()->setCurrentIndex(1);
        d.resultBox()->setCurrentIndex(3);
        d.dateField(0)->setText(QStringLiteral("2003"));
        d.dateField(1)->setText(QStringLiteral("00"));
        d.dateField(2)->setText(QStringLiteral("2040"));
        d.dateField(3)->setText(QStringLiteral("12"));
        d.StartSearch();
        QCOMPARE(Years(), (std::vector<int>{4, 8, 12, 16, 20, 24, 28, 32, 36, 40}));
        QCOMPARE(settings_.kensaku.KsMode, 2);
        QCOMPARE(settings_.kensaku.Movra, 1);
        QCOMPARE(settings_.kensaku.Shohai, 3);
        QCOMPARE(settings_.kensaku.FromYY, 2003);
        QCOMPARE(settings_.kensaku.FromMM, 0);

        // The next opening shows the same choices.
        d.ClearConditions();
        QCOMPARE(d.playerBox(0)->currentIndex(), 0);
        d.Prepare(false, false);
        QCOMPARE(d.playerBox(0)->currentIndex(), PlayerIndex(2));
        QCOMPARE(d.playerMode(), PlayerMode::Labelled);
        QCOMPARE(d.tournamentBox()->currentIndex(), 1);
        QCOMPARE(d.resultBox()->currentIndex(), 3);
        QCOMPARE(d.dateField(0)->text(), QStringLiteral("2003"));
        QCOMPARE(d.dateField(1)->text(), QStringLiteral("00"));
        QCOMPARE(d.dateField(2)->text(), QStringLiteral("2040"));

        // Through MOVRAWIN.INI into the next run: the dates come back; the lists, filled anew
        // for the store, start at "指定なし".
        QVERIFY(SaveSettings(home_, settings_));
        settings_ = LoadSettings(home_, {1024, 768});
        QCOMPARE(settings_.kensaku.Movra, 1);
        SearchDialog next(*session_, settings_, prompter_, [this] { return board_; });
        next.Prepare(false, false);
        QCOMPARE(next.dateField(0)->text(), QStringLiteral("2003"));
        QCOMPARE(next.dateField(2)->text(), QStringLiteral("2040"));
        QCOMPARE(next.tournamentBox()->currentIndex(), 0);
    }

    void checksBeforeASearch() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        d.dateField(1)->setText(QStringLiteral("13"));
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString("月の入力が間違っています！ 正しく入力して下さい。"_sj));
        QCOMPARE(d.result(), SearchDialog::Result::Cancel);
        d.dateField(1)->setText(QStringLiteral("01"));
        d.dateField(2)->setText(QString());
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()),
                 ToQString("年の入力が間違っています！ 正しく入力して下さい。"_sj));
        d.dateField(2)->setText(QStringLiteral("1899"));
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("対局日の設定範囲が間違っています。"_sj));
        QCOMPARE(session_->catalogue.count(), 40u);
    }

    void dateFieldsSpinAndShowTheirEra() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        d.dateField(0)->setText(QStringLiteral("0001"));
        d.Spin(0, false);
        QCOMPARE(d.dateField(0)->text(), QStringLiteral("2000"));
        d.dateField(1)->setText(QStringLiteral("12"));
        d.Spin(1, true);
        QCOMPARE(d.dateField(1)->text(), QStringLiteral("01"));
        d.dateField(0)->setText(QStringLiteral("2020"));
        QCOMPARE(d.eraLabel(0)->text(), QStringLiteral("(令和02年)"));
        d.dateField(0)->setText(QStringLiteral("1989"));
        d.dateField(1)->setText(QStringLiteral("02"));
        QCOMPARE(d.eraLabel(0)->text(), QStringLiteral("(平成01年)"));
        // The depth list only counts with a position mode.
        QVERIFY(!d.depthBox()->isEnabled());
        d.positionBox()->setCurrentIndex(1);
        QVERIFY(d.depthBox()->isEnabled());
        QCOMPARE(d.depthBox()->currentText(), QStringLiteral(" 50手まで"));
        // A handicap other than the even game turns the labels into 下手 and 上手.
        d.CyclePlayerMode();
        d.handicapBox()->setCurrentIndex(3);
        QCOMPARE(d.playerLabel(0)->text(), QStringLiteral("１．下手棋士名"));
        d.CyclePlayerMode();
        QCOMPARE(d.playerLabel(0)->text(), QStringLiteral("１．上手棋士名"));
    }

    void thePlayerPickerChoosesTheListEntry() {
        SearchDialog& d = Open();
        d.Prepare(false, false);
        d.setPickerAnswer([](int) { return 3; });
        d.PickPlayer(1);
        QCOMPARE(d.playerBox(1)->currentIndex(), PlayerIndex(3));
        d.setPickerAnswer([](int) { return 0; });  // an empty cell
        d.PickPlayer(1);
        QCOMPARE(d.playerBox(1)->currentIndex(), 0);
        d.setPickerAnswer([](int) { return -1; });  // ｷｬﾝｾﾙ: nothing changes
        d.playerBox(1)->setCurrentIndex(PlayerIndex(2));
        d.PickPlayer(1);
        QCOMPARE(d.playerBox(1)->currentIndex(), PlayerIndex(2));
        // The picker itself: category A of the data folder's players, in number order.
        PlayerPicker picker(session_->players, 0);
        QCOMPARE(picker.grid()->columnCount(), 5);
        QCOMPARE(picker.grid()->rowCount(), 11);
        QVERIFY(picker.grid()->item(0, 0) != nullptr);
        picker.grid()->setCurrentCell(0, 1);
        picker.Choose();
        QCOMPARE(picker.answer(), 2);
    }

    void aPositionSearchListsTheMatchedMove() {
        SearchDialog& d = Open();
        TKifData game = testing::YaguraGame();
        game.GoToMove(20);
        board_ = game.position;
        d.Prepare(false, false);
        d.positionBox()->setCurrentIndex(1);
        d.StartSearch();
        // Games with 20 moves or more reach it; the hit is move 20.
        std::uint32_t expected = 0;
        for (int i = 1; i <= 40; ++i) expected += (10 + i % 30 >= 20) ? 1 : 0;
        QCOMPARE(session_->catalogue.count(), expected);
        for (const GameHeader& e : session_->catalogue.entries()) QCOMPARE(int(e.positionHit), 20);
        // Depth 10 moves cannot reach it.
        d.Prepare(false, false);
        d.positionBox()->setCurrentIndex(1);
        d.depthBox()->setCurrentIndex(0);
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString(SearchResultMessage(0)));
    }

    void theDetailedSearchWithRatingsAndHistories() {
        SearchDialog& search = Open(true, [](int i, testing::GuiListGame& g) {
            if (i == 7) g.detail.setSenteName("Abcdef"_sj);
            if (i == 9) g.detail.setPlace("東京都"_sj);
            g.detail.setSenteRating(std::int16_t(1000 + i * 10));
            g.detail.setGoteRating(1200);
        });
        search.Prepare(false, false);
        QVERIFY(search.detailedButton()->isVisibleTo(&search));
        DetailedSearchDialog d(*session_, settings_, prompter_, home_, [] { return 0; });
        d.Prepare();
        d.Load();
        QVERIFY(!d.referenceButton(0)->isVisibleTo(&d));  // no Player.txt
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("検索条件を指定してください。"_sj));
        d.condition(0)->setChecked(true);
        d.StartSearch();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("棋士名を入力してください。"_sj));
        // "含む" with ab finds Abcdef: both sides are lower-cased.
        d.textBox(0)->setEditText(QStringLiteral("ab"));
        d.containButton(0)->setChecked(true);
        d.StartSearch();
        QCOMPARE(d.result(), DetailedSearchDialog::Result::Ok);
        QCOMPARE(session_->catalogue.count(), 1u);
        QCOMPARE(session_->catalogue.at(0).recordNumber, 7u);
        QCOMPARE(ToQString(settings_.kensaku2.Kishi1[0]), QStringLiteral("ab"));

        // The rating panel: an enabled row without values is refused.
        d.Prepare();
        d.Load();
        d.condition(0)->setChecked(false);
        d.ShowRatingPanel();
        QVERIFY(d.ratingPanelShown());
        d.ratingEnabled(0)->setChecked(true);
        d.AcceptRatings();
        QCOMPARE(ToQString(prompter_.texts().back()), ToQString("レーティング点数を入力してください。"_sj));
        QVERIFY(d.ratingPanelShown());
        d.ratingField(0)->setText(QStringLiteral("1300"));
        d.AcceptRatings();
        QVERIFY(!d.ratingPanelShown());
        QCOMPARE(d.ratingField(1)->text(), QStringLiteral("9999"));
        QVERIFY(d.ratingIndicator()->isChecked());
        QVERIFY(settings_.kensaku2.Rating1);
        d.StartSearch();
        // Sente ratings of 1300 and more: games 30 to 40.
        QCOMPARE(session_->catalogue.count(), 11u);
        // A sente low value of -150: a rating difference of at least 150.
        d.ShowRatingPanel();
        d.ratingField(0)->setText(QStringLiteral("-150"));
        d.AcceptRatings();
        d.StartSearch();
        std::uint32_t far = 0;
        for (int i = 1; i <= 40; ++i) far += std::abs(1000 + i * 10 - 1200) >= 150 ? 1 : 0;
        QCOMPARE(session_->catalogue.count(), far);
        // "条件クリア" turns every condition off, the ratings too.
        d.ClearConditions();
        QVERIFY(!d.ratingIndicator()->isChecked());
        QVERIFY(!settings_.kensaku2.Rating1);

        // With a Player.txt (read when a dialog first loads) the reference buttons show; a name
        // chosen there fills the box.
        std::ofstream(home_ / "Player.txt", std::ios::binary) << "羽生善治\r\n永瀬拓矢\r\n"_sj.str();
        DetailedSearchDialog withNames(*session_, settings_, prompter_, home_, [] { return 0; });
        withNames.Prepare();
        withNames.Load();
        QVERIFY(withNames.referenceButton(1)->isVisibleTo(&withNames));
        withNames.setReferenceAnswer([] { return QStringLiteral(" 永瀬拓矢 "); });
        withNames.referenceButton(1)->click();
        QCOMPARE(withNames.textBox(1)->currentText(), QStringLiteral("永瀬拓矢"));
    }

    // A store in a folder with a Japanese name whose index file has gone: both searches name the
    // file in the warning, the folder and the words after it readable, and close their progress.
    void aStoreThatCannotBeReadIsNamedInTheWarning() {
        SearchDialog& search = Open(true, nullptr, fs::path(u8"将棋の棋譜"));
        const QString index = QDir(dir_->path()).filePath(QStringLiteral("movra/将棋の棋譜/games.idx"));
        QVERIFY(fs::remove(home_ / fs::path(u8"将棋の棋譜") / "games.idx"));
        const QString expected = QStringLiteral("\r") + index + QStringLiteral(" 読込エラー！");

        search.Prepare(false, false);
        search.playerBox(0)->setCurrentIndex(PlayerIndex(3));
        prompter_.progressShown = true;  // as if the search had reported progress before failing
        search.StartSearch();
        QCOMPARE(search.result(), SearchDialog::Result::Cancel);
        QCOMPARE(ToQString(prompter_.texts().back()), expected);
        QVERIFY(!prompter_.progressShown);
        QVERIFY(search.isEnabled());

        DetailedSearchDialog detailed(*session_, settings_, prompter_, home_, [] { return 0; });
        detailed.Prepare();
        detailed.Load();
        detailed.condition(0)->setChecked(true);
        detailed.textBox(0)->setEditText(QStringLiteral("ab"));
        prompter_.progressShown = true;
        detailed.StartSearch();
        QCOMPARE(detailed.result(), DetailedSearchDialog::Result::Back);
        QCOMPARE(ToQString(prompter_.texts().back()), expected);
        QVERIFY(!prompter_.progressShown);
        QCOMPARE(session_->catalogue.count(), 40u);  // the list as it was
    }
};

}  // namespace movra

QTEST_MAIN(movra::SearchDialogTest)
#include "search_dialog_test.moc"
