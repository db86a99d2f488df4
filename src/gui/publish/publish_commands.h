#pragma once
// The main window's web commands: publishing the game on a double click on the board (and, with
// live publishing on, after each move entered once the user agrees to send it), Ctrl+J (the two
// data files under names the user chooses), Ctrl+W (the web settings dialog), and the hidden
// data menu whose items show local pages in a browser window. The window hands itself over;
// everything else is here.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/publish/data_menu.h"
#include "core/publish/web_export.h"

class QAction;
class QMenu;
class QTextBrowser;
class QCloseEvent;

namespace movra {

class MainWindow;
class WebSettingsDialog;

// The window that shows a local page; closing it keeps its place in [Form] Web*.
class BrowserWindow;

class PublishCommands : public QObject {
    Q_OBJECT
public:
    explicit PublishCommands(MainWindow& window);

    // Keys, the double click on the board, the data menu (before the help menu) and live
    // publishing after moves entered.
    void Install();

    // The commands (public for tests).
    // PublishGame on the game shown; the message, or with [FTP] Auto the signal. False when
    // nothing was written (no web functions, no line shown, or a file failed after its warning).
    bool Publish();
    // Ctrl+J.
    bool WriteDataFiles();
    // Ctrl+W: the settings dialog when [FTP] Func is on.
    bool OpenSettings();
    // The question of live publishing and, on Yes, Publish.
    void ConfirmLivePublish();
    // Data menu item (sub-menu 0 or 1, item 0-4).
    void OpenDataPage(int menu, int item);

    // The inputs of the game shown, for tests and the commands above.
    PublishInputs Inputs();

    QTimer* liveTimer() { return &liveTimer_; }
    QMenu* dataMenu() const { return dataMenu_; }
    BrowserWindow* browser() const { return browser_; }

    // Stand-ins for the person in tests: the save dialog of Ctrl+J (the path, or empty to
    // cancel) and the settings dialog (true for OK).
    std::function<std::filesystem::path(const QString& caption)> fileAnswer;
    std::function<bool(WebSettingsDialog&)> settingsAnswer;

signals:
    // A live publication was written; the FTP upload follows it.
    void livePublished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildDataMenu();
    std::filesystem::path AskFile(const QString& caption);

    MainWindow& w_;
    QTimer liveTimer_;
    DataMenu menu_;
    QMenu* dataMenu_ = nullptr;
    BrowserWindow* browser_ = nullptr;
    // Keeps the inputs' game record alive between making them and publishing.
    std::unique_ptr<TKifData> snapshot_;
};

class BrowserWindow : public QWidget {
    Q_OBJECT
public:
    BrowserWindow(int& left, int& top, int& width, int& height, QWidget* parent = nullptr);
    // Places the window from the settings (corrected for the screen), shows it and the page.
    void ShowPage(const QString& caption, const std::filesystem::path& page);
    QTextBrowser* view() const { return view_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTextBrowser* view_;
    int& left_;
    int& top_;
    int& width_;
    int& height_;
};

}  // namespace movra
