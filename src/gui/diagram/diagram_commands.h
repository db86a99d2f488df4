#pragma once
// The main window's diagram commands: ﾋﾞｯﾄﾏｯﾌﾟ出力 (a bitmap file, the clipboard, the small
// pictures for mobile phones, the hidden printed diagrams), 局面図設定 and 外字登録. The window
// hands over where its menus are and how to read the position it shows; everything else is here.
#include <QImage>
#include <QObject>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/config/settings.h"
#include "core/diagram/diagram_layout.h"
#include "core/rules/position.h"
#include "core/text/prompter.h"
#include "gui/diagram/diagram_renderer.h"

class QAction;
class QMenu;
class QWidget;

namespace movra {

class DiagramSettingsDialog;
class TitleDialog;

// What the window shows.
struct DiagramSource {
    BoardPosition position;
    bool gameView = true;     // the game view, or another screen (position editing)
    int shownMove = 0;
    std::string moveLine;     // the shown move's move-list line
    bool turned = false;
    bool handicapGame = false;
    std::string senteName, goteName;
    std::optional<Square> lastMove;
};

// Builds the source from a game record standing at its shown move.
class TKifData;
DiagramSource GameDiagramSource(const TKifData& record, const std::string& senteName, const std::string& goteName);

class DiagramCommands : public QObject {
    Q_OBJECT
public:
    DiagramCommands(QWidget* window, Settings& settings, std::filesystem::path programFolder,
                    std::function<DiagramSource()> source, Prompter& prompter);

    // Fills the ﾋﾞｯﾄﾏｯﾌﾟ出力 menu, wires the three mobile items (kept where the window put them,
    // 6x5, 7x6, 9x9), adds 局面図設定 to the settings menu and wires 外字登録.
    void Install(QMenu* bitmapMenu, const QList<QAction*>& mobileItems, QMenu* settingsMenu, QAction* gaijiItem);

    // The commands (public for tests). False when nothing was produced.
    bool PictureToFile();
    bool PictureToClipboard();
    void MobileToClipboard(int layout);
    bool PrintPicture(int scale);
    bool OpenSettings();
    void RegisterGaiji();

    // The last picture made, for tests and the clipboard.
    const QImage& lastPicture() const { return last_; }
    QAction* action(const QString& objectName) const;

    // Stand-ins for the person in tests: the title dialog, the save dialog (returns the path, or
    // empty to cancel), the settings dialog and the printer (a paint device's painter is given).
    std::function<bool(TitleDialog&)> titleAnswer;
    std::function<std::filesystem::path(const std::filesystem::path& proposed)> fileAnswer;
    std::function<bool(DiagramSettingsDialog&)> settingsAnswer;

private:
    std::optional<DiagramInputs> Inputs();
    DiagramOptions Options() const;

    QWidget* window_;
    Settings& settings_;
    std::filesystem::path programFolder_;
    std::filesystem::path lastFolder_;
    std::function<DiagramSource()> source_;
    Prompter& prompter_;
    QImage last_;
    QList<QAction*> actions_;
};

}  // namespace movra
