// movra: the windowed program. Opens the main window on the program folder (--home DIR,
// $MOVRA_HOME, or $XDG_DATA_HOME/movra, filled from the installed data on first start).
//
//     movra [--home DIR] [FILE] [--game N] [--move N]
//     movra [--home DIR] [--sfen SFEN] [--handicap N] [--moves "7g7f 3c3d ..."] [--move N]
//           [--sente NAME] [--gote NAME]
//
// --game shows game N of the store opened at start-up (until the game list comes); --sfen,
// --handicap and --moves show a game that does not come from a store. FILE (what a file manager
// passes on a double click) is a store (.ipx, .idx), which opens as the current store, or a game
// record of any format the import reads, whose first game is shown without being stored: the
// input menu can save it. A second start hands FILE to the copy that runs.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "gui/diagram/gaiji_font.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/common/translations.h"
#include "core/record/game_from_moves.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/main_window.h"
#include "core/config/program_folder.h"
#include "core/config/settings.h"
#include "gui/mainwindow/single_instance.h"
#include "gui/store/store_commands.h"
#include "core/text/paths.h"
#include "core/textio/import_text.h"
#include "core/session/startup_store.h"

namespace {

struct Options {
    std::string home;
    std::string sfen;
    std::string moves;
    std::string sente;
    std::string gote;
    std::string file;
    int handicap = 0;
    int move = 0;
    long game = 0;
    bool gameGiven = false;
};

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: movra [--home DIR] [FILE] [--game N] [--move N]\n"
                 "       movra [--home DIR] [--sfen SFEN] [--handicap N] [--moves \"MOVES\"] [--move N]\n"
                 "             [--sente NAME] [--gote NAME]\n"
                 "The command-line tool movra-cli does the store's work without a window.\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        std::string number;
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            std::exit(0);
        } else if (a == "--version") {
            std::printf("movra %s\n", MOVRA_VERSION);
            std::exit(0);
        } else if (a == "--home") {
            if (!value(o.home)) return false;
        } else if (a == "--sfen") {
            if (!value(o.sfen)) return false;
            o.gameGiven = true;
        } else if (a == "--moves") {
            if (!value(o.moves)) return false;
            o.gameGiven = true;
        } else if (a == "--handicap") {
            if (!value(number)) return false;
            o.handicap = std::atoi(number.c_str());
            o.gameGiven = true;
        } else if (a == "--game") {
            if (!value(number)) return false;
            o.game = std::atol(number.c_str());
        } else if (a == "--move") {
            if (!value(number)) return false;
            o.move = std::atoi(number.c_str());
        } else if (a == "--sente") {
            if (!value(o.sente)) return false;
        } else if (a == "--gote") {
            if (!value(o.gote)) return false;
        } else if (!a.empty() && a[0] != '-' && o.file.empty()) {
            o.file = a;
        } else {
            std::fprintf(stderr, "movra: unknown option %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}

// The installed data folder: $MOVRA_DATA, the share folder next to the program, or the build's.
std::filesystem::path DataFolder() {
    if (const char* env = std::getenv("MOVRA_DATA"); env != nullptr && *env != '\0') return env;
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .absoluteFilePath(QStringLiteral("../share/movra/data"));
    if (QFileInfo(installed).isDir()) return movra::QStringToPath(QDir::cleanPath(installed));
    return MOVRA_BUILD_DATA_DIR;
}

// A file given on the command line or by another copy: a store opens as the current store; the
// first game of a game record is shown.
void OpenGivenFile(movra::MainWindow& window, const std::filesystem::path& file) {
    const std::string ext = movra::UpperExtension(file);
    const bool store = ext == ".IPX" || ext == ".IDX";
    // A game being entered or not saved is not simply replaced.
    if (!window.gameInput()->MayTakeGivenFile(store)) return;
    if (store) {
        window.storeCommands()->DropCommand(file);
        return;
    }
    auto record = std::make_unique<movra::TKifData>();
    movra::FileGame names;
    const movra::ReadStatus read = movra::ReadFirstGame(file, *record, names);
    if (!read.ok()) {
        QMessageBox::warning(&window, QStringLiteral("Movra"),
                             QStringLiteral("%1\n\n%2").arg(movra::PathToQString(file),
                                                             QString::fromStdString(read.refusal)));
        return;
    }
    movra::GameHeaderTexts texts;
    texts.senteName = names.senteName;
    texts.goteName = names.goteName;
    window.ShowGame(*record, texts, true, false, 0);
    window.gameInput()->UnstoredGameShown();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage(stderr);
        return 2;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "movra: no display is available (DISPLAY and WAYLAND_DISPLAY are not set), so the\n"
                     "window cannot open. The command-line tool works without one: movra-cli --help\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Movra for Win"));
    if (!movra::InstallJapaneseQtTexts(app)) {
        std::fprintf(stderr, "movra: Qt's Japanese texts are missing (Debian package qt6-translations-l10n)\n");
    }
    if (!movra::RegisterFontSubstitutes()) {
        std::fprintf(stderr, "movra: the IPAex fonts are missing (Debian package fonts-ipaexfont)\n");
    }

    const std::filesystem::path folder = movra::ChooseProgramFolder(
        options.home, std::getenv("MOVRA_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::string error;
    if (!movra::PrepareProgramFolder(folder, DataFolder(), &error)) {
        std::fprintf(stderr, "movra: %s\n", error.c_str());
        return 1;
    }

    movra::SingleInstance single(folder);
    const bool first = single.TryLock();
    movra::ScreenSize screen;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        screen = {s->geometry().width(), s->geometry().height()};
    }
    std::string settingsProblem;
    movra::Settings settings = movra::LoadSettings(folder, screen, &settingsProblem);
    if (!first && !settings.shogi.Multi) {
        // Another copy runs on this folder: bring it forward and end without writing anything.
        single.RaiseRunningCopy(options.file.empty()
                                    ? QString()
                                    : QFileInfo(QString::fromLocal8Bit(options.file.c_str())).absoluteFilePath());
        return 0;
    }
    if (first) single.Listen();
    if (!settingsProblem.empty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Movra"), movra::ToQString(settingsProblem));
    }

    // Our user-defined characters: the program folder's font, else the installed one.
    if (!movra::LoadGaijiFont(folder)) movra::LoadGaijiFont(DataFolder());
    movra::MainWindow window(folder, settings);
    QObject::connect(&single, &movra::SingleInstance::raiseRequested, &window,
                     &movra::MainWindow::RaiseFromOtherCopy);
    if (!window.Start()) return 1;
    QObject::connect(&single, &movra::SingleInstance::openRequested, &window,
                     [&window](const QString& file) { OpenGivenFile(window, movra::QStringToPath(file)); });
    if (!options.file.empty()) OpenGivenFile(window, options.file);

    if (options.gameGiven) {
        const std::optional<movra::TKifData> game = movra::GameFromMoves(
            options.sfen, options.handicap, movra::SplitMoves(options.moves), &error);
        if (!game) {
            std::fprintf(stderr, "movra: %s\n", error.c_str());
            return 2;
        }
        movra::GameHeaderTexts texts;
        texts.senteName = movra::Utf8ToCp932(options.sente);
        texts.goteName = movra::Utf8ToCp932(options.gote);
        window.ShowGame(*game, texts, true, false, options.move);
    } else if (options.game > 0 && !window.ShowStoredGame(options.game, options.move)) {
        std::fprintf(stderr, "movra: the store has no game %ld\n", options.game);
    }
    window.show();
    return app.exec();
}
