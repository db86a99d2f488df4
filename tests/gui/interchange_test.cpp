// SFEN and USI through the clipboard and the shown game saved as CSA, KI2 and USI from the main
// window: what is copied pastes back to the same game, what is saved imports back to the same
// moves, and a position that is no standard set-up is refused where the format cannot say it.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"
#include "core/store/store_files.h"
#include "core/store/store_test_support.h"
#include "core/textio/import_text.h"
#include "gui/common/qtext.h"
#include "gui/mainwindow/interchange_commands.h"
#include "gui/mainwindow/main_window.h"
#include "gui/store/file_chooser.h"
#include "support/recording_prompter.h"
#include "gui/mainwindow/main_menus.h"
#include "test_window.h"

namespace movra {
namespace {

namespace fs = std::filesystem;

class SaveTo : public FileChooser {
public:
    QString file;
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return file; }
};

std::vector<std::string> Codes(const TKifData& record) {
    std::vector<std::string> codes;
    for (int m = 1; m <= record.moveCount; ++m) codes.push_back(record.moves[std::size_t(m)].moveCode().str());
    return codes;
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

class InterchangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    testing::RecordingPrompter prompter_;
    std::unique_ptr<MainWindow> window_;
    SaveTo chooser_;

    fs::path Folder() const { return QStringToPath(dir_->path()); }
    QAction* Item(const char* name) const {
        QAction* a = window_->interchangeCommands()->action(QString::fromLatin1(name));
        if (a == nullptr) qFatal("no %s", name);
        return a;
    }
    // The file saved through the menu, imported into a store of its own: the stored moves.
    std::optional<std::vector<std::string>> SaveAndImport(const char* item, const std::string& name) {
        return SaveAndImport(Item(item), name);
    }
    std::optional<std::vector<std::string>> SaveAndImport(QAction* item, const std::string& name) {
        chooser_.file = PathToQString(Folder() / name);
        item->trigger();
        if (!fs::exists(Folder() / name)) return std::nullopt;
        const fs::path storePath = Folder() / (name + ".ipx");
        if (!CreateStoreFiles(storePath, true)) return std::nullopt;
        GameStore store(storePath, StoreKind::Extended, 0);
        testing::RecordingPrompter quiet;
        ImportContext context{store, quiet, {}, "2001-02-03 04:05:06", {}, 5};
        if (ImportTextFile(Folder() / name, context).stored != 1) return std::nullopt;
        const std::optional<ExportGame> back = LoadExportGame(store, {}, 1, quiet);
        if (!back) return std::nullopt;
        return Codes(back->record);
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        window_ = testing::StartedWindow(testing::FreshProgramFolder(*dir_), prompter_);
        window_->setFileChooser(&chooser_);
    }
    void cleanup() { window_.reset(); }

    // The menu sits in the File menu just before the bitmap menu.
    void theMenuIsInTheFileMenu() {
        QMenu* menu = window_->interchangeCommands()->menu();
        QMenu* file = qobject_cast<QMenu*>(menu->parent());
        QVERIFY(file != nullptr);
        const QList<QAction*> items = file->actions();
        const qsizetype at = items.indexOf(menu->menuAction());
        QVERIFY(at >= 0 && at + 1 < items.size());
        QMenu* next = items[at + 1]->menu<QMenu*>();
        QVERIFY(next != nullptr);
        QCOMPARE(next->objectName(), QStringLiteral("MENU01_10"));
        QCOMPARE(menu->actions().size(), 7);  // six commands and a separator
    }

    // A played game and a handicap game: copied as USI, pasted back, saved in the three formats.
    void copiedGamesPasteBackAndSavedGamesImportBack() {
        std::mt19937 rng(5);
        for (const int handicap : {0, 5}) {
            auto game = std::make_unique<TKifData>();
            testing::PlayRandomGame(rng, handicap, 70, *game);
            const std::vector<std::string> moves = Codes(*game);
            window_->ShowGame(*game, GameHeaderTexts{}, true, false, 30);

            Item("InterchangeCopySfen")->trigger();
            auto at30 = std::make_unique<TKifData>(*game);
            at30->GoToMove(30);
            QCOMPARE(QGuiApplication::clipboard()->text().toStdString(),
                     "sfen " + ToSfen(at30->position, at30->SideOf(31), 31));

            Item("InterchangeCopyUsi")->trigger();
            const std::string usi = QGuiApplication::clipboard()->text().toStdString();
            QCOMPARE(usi.rfind(handicap == 0 ? "position startpos moves " : "position sfen ", 0), std::size_t(0));
            window_->ShowGame(TKifData{}, GameHeaderTexts{}, true, false);
            QGuiApplication::clipboard()->setText(QString::fromStdString(usi));
            Item("InterchangePaste")->trigger();
            QCOMPARE(Codes(window_->record()), moves);
            QCOMPARE(window_->record().handicap, game->handicap);  // the set-up is recognised

            const std::string stem = "h" + std::to_string(handicap);
            QCOMPARE(SaveAndImport("InterchangeSaveCsa", stem + ".csa"), std::optional(moves));
            QCOMPARE(SaveAndImport("InterchangeSaveKi2", stem + ".ki2"), std::optional(moves));
            QCOMPARE(SaveAndImport("InterchangeSaveUsi", stem + ".usi"), std::optional(moves));
        }
        QVERIFY(prompter_.shown.empty());
    }

    // The text menu and the hidden Kakinoki item: the listing written and then appended to, the
    // Kakinoki file imported back to the same moves, the position in gaiji characters.
    void theTextOutputsWriteTheListingTheKakinokiFileAndThePosition() {
        using namespace movra::literals;
        std::mt19937 rng(9);
        auto game = std::make_unique<TKifData>();
        testing::PlayRandomGame(rng, 5, 70, *game);
        const std::vector<std::string> moves = Codes(*game);
        window_->ShowGame(*game, GameHeaderTexts{}, true, false, 30);
        MainMenus* menus = window_->menus();

        chooser_.file = PathToQString(Folder() / "listing.txt");
        menus->textOutputAction()->trigger();
        prompter_.answers = {Answer::Yes};  // the file exists: append
        menus->textOutputAction()->trigger();
        std::ifstream in(Folder() / "listing.txt", std::ios::binary);
        const std::string listing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t handicapLines = 0;
        for (std::size_t at = 0; (at = listing.find("手合割："_sj, at)) != std::string::npos; ++at) ++handicapLines;
        QCOMPARE(handicapLines, std::size_t(2));
        QVERIFY(listing.find("\r\n") != std::string::npos && listing.find("\n\n") == std::string::npos);

        QCOMPARE(SaveAndImport(menus->kakinokiAction(), "k.kif"), std::optional(moves));

        chooser_.file = PathToQString(Folder() / "position.txt");
        menus->positionGaijiAction()->trigger();
        std::ifstream p(Folder() / "position.txt", std::ios::binary);
        const std::string diagram((std::istreambuf_iterator<char>(p)), std::istreambuf_iterator<char>());
        QCOMPARE(diagram.substr(0, 6), std::string("\r\n\r\n\r\n"));
        QVERIFY(diagram.find("\xF0\x40") != std::string::npos);  // the frame's first character
        QVERIFY(diagram.find("手数=30 まで"_sj) != std::string::npos);
    }

    // A pasted SFEN of a middle-game position opens as a game of no moves from it; CSA and KI2
    // cannot name that start and are refused with a message, USI writes it; text that is neither
    // changes nothing.
    void aPastedPositionOpensAndOnlyUsiCanSaveIt() {
        const std::string sfen = "ln1g3nl/1r3kg2/p1sppsbpp/2p2pp2/1p5P1/2P1P1P2/PPSP1P2P/2G2S1R1/LN2KG1NL w B 22";
        QGuiApplication::clipboard()->setText(QString::fromStdString(sfen));
        Item("InterchangePaste")->trigger();
        const TKifData& shown = window_->record();
        QCOMPARE(int(shown.moveCount), 0);
        QCOMPARE(ToSfen(shown.position, shown.SideOf(1), 22), ParseSfen(sfen) ? sfen : std::string());
        QCOMPARE(shown.SideOf(1), 2);

        const std::size_t before = prompter_.shown.size();
        QVERIFY(!SaveAndImport("InterchangeSaveCsa", "p.csa").has_value());
        QVERIFY(!fs::exists(Folder() / "p.csa"));
        QVERIFY(!SaveAndImport("InterchangeSaveKi2", "p.ki2").has_value());
        QCOMPARE(prompter_.shown.size(), before + 2);
        chooser_.file = PathToQString(Folder() / "p.usi");
        Item("InterchangeSaveUsi")->trigger();
        QCOMPARE(FirstLine(Folder() / "p.usi"), "position sfen " + sfen.substr(0, sfen.size() - 2) + "1");

        for (const char* bad : {"", "position startpos moves 7g7f 7g7f", "sfen lnsgkgsnl/9/9 b - 1", "hello"}) {
            QGuiApplication::clipboard()->setText(QString::fromLatin1(bad));
            Item("InterchangePaste")->trigger();
            QCOMPARE(int(window_->record().moveCount), 0);
        }
        QCOMPARE(prompter_.shown.size(), before + 2 + 4);
    }
};

}  // namespace movra

QTEST_MAIN(movra::InterchangeTest)
#include "interchange_test.moc"
