#include "gui/publish/publish_commands.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTextBrowser>
#include <QTime>
#include <QUrl>
#include <QVBoxLayout>

#include "core/ftp/live_publish.h"
#include "core/diagram/bmp.h"
#include "core/publish/game_source.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/diagram/diagram_commands.h"
#include "gui/diagram/diagram_renderer.h"
#include "gui/mainwindow/board_view.h"
#include "gui/mainwindow/game_input.h"
#include "gui/mainwindow/main_window.h"
#include "gui/publish/web_settings_dialog.h"

namespace movra {
using namespace movra::literals;

namespace {

// The pictures of the mobile pages, drawn as the bitmap commands draw them.
class WindowPictures : public PublishPictures {
public:
    WindowPictures(Settings& settings, DiagramCommands* diagrams) : settings_(settings), diagrams_(diagrams) {}

    bool WriteMobilePicture(const std::filesystem::path& path, const BoardPosition& position) override {
        const QImage image = ReduceToDepth(DrawMobileDiagram(position, 0), 4);
        return WriteBmpFile(path, ToRgbImage(image), 4);
    }

    Outcome WriteFullDiagram(const std::filesystem::path& path) override {
        if (diagrams_ == nullptr) return Outcome::Skipped;
        // The diagram is drawn in the size of i_BmpSize02; the user's size comes back after.
        const int size = settings_.btimap.Size;
        settings_.btimap.Size = settings_.html.i_BmpSize02;
        const bool drawn = diagrams_->PictureToClipboard();
        settings_.btimap.Size = size;
        // No title (the user cancelled it): no diagram, as with the menu command.
        if (!drawn) return Outcome::Skipped;
        if (!WriteBmpFile(path, ToRgbImage(diagrams_->lastPicture()), BitsForColorSetting(settings_.btimap.Color))) {
            return Outcome::Failed;
        }
        const std::string converter = Trim(settings_.html.GixConv);
        if (!converter.empty()) QProcess::startDetached(PathToQString(NativePath(converter)), {});
        return Outcome::Written;
    }

private:
    Settings& settings_;
    DiagramCommands* diagrams_;
};

}  // namespace

PublishCommands::PublishCommands(MainWindow& window) : QObject(&window), w_(window) {
    liveTimer_.setSingleShot(true);
    liveTimer_.setInterval(100);
    connect(&liveTimer_, &QTimer::timeout, this, &PublishCommands::ConfirmLivePublish);
}

void PublishCommands::Install() {
    auto addKey = [this](const QKeySequence& key, const QString& name, auto slot) {
        auto* action = new QAction(&w_);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        w_.addAction(action);
    };
    addKey(QKeySequence(Qt::CTRL | Qt::Key_J), QStringLiteral("WebDataKey"), [this] {
        if (w_.storeOpen()) WriteDataFiles();
    });
    addKey(QKeySequence(Qt::CTRL | Qt::Key_W), QStringLiteral("WebSettingsKey"), [this] { OpenSettings(); });
    if (w_.boardView() != nullptr) w_.boardView()->installEventFilter(this);
    if (w_.gameInput() != nullptr) {
        connect(w_.gameInput(), &GameInput::moveEntered, this, [this] {
            if (w_.settings().ftp.Auto && w_.settings().ftp.Func) liveTimer_.start();
        });
    }
    BuildDataMenu();
}

bool PublishCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && w_.settings().ftp.Func &&
        w_.mode() == MainWindow::Mode::Game) {
        Publish();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

PublishInputs PublishCommands::Inputs() {
    snapshot_ = std::make_unique<TKifData>(w_.record());
    const GameReplay& replay = w_.replay();
    PublishedGame game;
    game.fullLines = replay.fullList();
    game.shownLines = replay.visibleList();
    game.wholeGame = replay.style() == ListStyle::WholeGame;
    const GameInput* input = w_.gameInput();
    const std::uint32_t stored = input != nullptr ? input->recordNumber() : 0;
    game.workingComments = (input != nullptr && (input->active() || input->kind() != 0)) || stored < 1 ||
                           stored > w_.session().store.recordCount;
    game.senteAllowedMinutes = int(w_.senteAllotted() / 60);
    game.goteAllowedMinutes = int(w_.goteAllotted() / 60);
    game.senteName = w_.headerTexts().senteName;
    game.goteName = w_.headerTexts().goteName;
    PublishInputs in = MakePublishInputs(w_.session(), *snapshot_, game, w_.prompter());
    in.clockText = ToCp932(QTime::currentTime().toString(QStringLiteral("hh:mm")));
    const Settings::Btimap& b = w_.settings().btimap;
    in.handText.kanjiCounts = b.MtKoma;
    in.handText.emptyText = b.MKDisp;
    in.handText.ownEmptyText = RemoveSpaces(b.MKChar);
    return in;
}

bool PublishCommands::Publish() {
    Settings& settings = w_.settings();
    if (!settings.ftp.Func || w_.replay().visibleList().empty()) return false;
    const PublishInputs in = Inputs();
    WindowPictures pictures(settings, w_.diagramCommands());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PublishResult result = PublishGame(in, settings, w_.programFolder(), &pictures);
    QApplication::restoreOverrideCursor();
    if (!result.published) {
        if (!result.failedPath.empty()) {
            w_.prompter().Warn("\r"_sj + result.failedPath + "\r" +
                               (result.failedReading ? std::string("を読み込めません。"_sj) : std::string("に書き込めません。"_sj)));
        }
        return false;
    }
    if (settings.ftp.Auto) {
        emit livePublished();
    } else {
        w_.prompter().Inform(PublishedMessage());
    }
    return true;
}

std::filesystem::path PublishCommands::AskFile(const QString& caption) {
    if (fileAnswer) return fileAnswer(caption);
    return QStringToPath(QFileDialog::getSaveFileName(&w_, caption, PathToQString(w_.programFolder()),
                                                      QStringLiteral("Java Script ﾌｧｲﾙ(*js) (*.js)")));
}

bool PublishCommands::WriteDataFiles() {
    if (w_.replay().visibleList().empty()) {
        w_.prompter().Warn(NoMovesMessage());
        return false;
    }
    const PublishInputs in = Inputs();
    const std::filesystem::path script = AskFile(QStringLiteral("JavaScript用棋譜"));
    if (script.empty()) return false;
    if (!WriteScriptDataTo(script, in, w_.settings(), w_.programFolder())) {
        w_.prompter().Warn("\r"_sj + PathText(script) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    const std::filesystem::path applet = AskFile(QStringLiteral("アプレット用棋譜"));
    if (applet.empty()) return false;
    if (!WriteAppletDataTo(applet, in, w_.settings())) {
        w_.prompter().Warn("\r"_sj + PathText(applet) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    w_.prompter().Inform(PublishedMessage());
    return true;
}

bool PublishCommands::OpenSettings() {
    if (!w_.settings().ftp.Func) return false;
    WebSettingsDialog dialog(w_.settings(), w_.programFolder(), &w_);
    PlaceCentred(&dialog, &w_);
    if (settingsAnswer) {
        if (!settingsAnswer(dialog)) return false;
        dialog.Apply();
        return true;
    }
    return dialog.exec() == QDialog::Accepted;
}

void PublishCommands::ConfirmLivePublish() {
    liveTimer_.stop();
    const GameReplay& replay = w_.replay();
    std::optional<std::string> line;
    const int selected = replay.selection();
    if (selected >= 0 && std::size_t(selected) < replay.visibleList().size()) {
        line = replay.visibleList()[std::size_t(selected)];
    }
    if (w_.prompter().Confirm(LivePublishQuestion(line), true, false) == Answer::Yes) Publish();
}

void PublishCommands::BuildDataMenu() {
    menu_ = LoadDataMenu(w_.programFolder());
    if (!menu_.shown) return;
    QMenuBar* bar = w_.menuBar();
    dataMenu_ = new QMenu(QStringLiteral("データ(&D)"), bar);
    dataMenu_->setObjectName(QStringLiteral("MENU_Data"));
    QAction* before = nullptr;
    for (QAction* a : bar->actions()) {
        if (a->menu() != nullptr && a->menu()->objectName() == QStringLiteral("MENU05")) before = a;
    }
    bar->insertMenu(before, dataMenu_);
    for (int m = 0; m < 2; ++m) {
        const DataSubMenu& sub = menu_.menus[std::size_t(m)];
        QMenu* subMenu = dataMenu_->addMenu(ToQString(sub.caption));
        subMenu->setObjectName(QStringLiteral("MENU_Data%1").arg(m + 1));
        subMenu->menuAction()->setVisible(sub.shown);
        for (int i = 0; i < 5; ++i) {
            const DataMenuItem& item = sub.items[std::size_t(i)];
            QAction* a = subMenu->addAction(ToQString(item.caption));
            a->setObjectName(QStringLiteral("MENU_Data%1_%2").arg(m + 1).arg(i + 1));
            a->setVisible(item.shown);
            connect(a, &QAction::triggered, this, [this, m, i] { OpenDataPage(m, i); });
        }
    }
}

void PublishCommands::OpenDataPage(int menu, int item) {
    if (menu < 0 || menu > 1 || item < 0 || item > 4) return;
    const DataSubMenu& sub = menu_.menus[std::size_t(menu)];
    Settings::Form& form = w_.settings().form;
    if (browser_ == nullptr) browser_ = new BrowserWindow(form.WebLeft, form.WebTop, form.WebWidth, form.WebHeight, &w_);
    browser_->ShowPage(ToQString(BrowserCaption(sub.caption)),
                       ResolvePath(w_.programFolder(), sub.items[std::size_t(item)].target));
}

// --- the browser window -------------------------------------------------------------------------

BrowserWindow::BrowserWindow(int& left, int& top, int& width, int& height, QWidget* parent)
    : QWidget(parent, Qt::Window), view_(new QTextBrowser(this)), left_(left), top_(top), width_(width), height_(height) {
    setObjectName(QStringLiteral("WebBrowserWindow"));
    view_->setObjectName(QStringLiteral("WebBrowser"));
    view_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void BrowserWindow::ShowPage(const QString& caption, const std::filesystem::path& page) {
    const QRect screen = AvailableArea(parentWidget());
    const WindowRect r = BrowserWindowRect({left_, top_, width_, height_}, screen.width(), screen.height());
    setWindowTitle(caption);
    setGeometry(KeepInside(QRect(screen.left() + r.left, screen.top() + r.top, std::min(r.width, screen.width()),
                                 std::min(r.height, screen.height())),
                           screen));
    view_->setSource(QUrl::fromLocalFile(PathToQString(page)));
    showNormal();
    raise();
    activateWindow();
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    const QRect g = geometry();
    const QRect screen = AvailableArea(parentWidget());
    left_ = g.left() - screen.left();
    top_ = g.top() - screen.top();
    width_ = g.width();
    height_ = g.height();
    QWidget::closeEvent(event);
}

}  // namespace movra
