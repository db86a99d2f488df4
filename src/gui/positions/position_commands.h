#pragma once
// The main window's position collection: the File menu's 局面図 items (新規作成, 読込, 上書き保存,
// 名前を付けて保存), 局面編集/印刷 with the collection window, adding the shown position (replay
// button 12), the question about a changed collection before the program ends, and the last
// collection reopened at start-up. The window hands over its menu items and how to read the
// position it shows; everything else is here.
#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/record/kif_data.h"
#include "core/config/settings.h"
#include "core/positions/collection.h"
#include "core/rules/position.h"
#include "core/text/prompter.h"
#include "gui/diagram/diagram_commands.h"

class QAction;
class QWidget;

namespace movra {

class CollectionWindow;
class FileChooser;
class TitleDialog;

class PositionCommands : public QObject {
    Q_OBJECT
public:
    struct Host {
        QWidget* window = nullptr;
        Settings* settings = nullptr;
        std::filesystem::path programFolder;
        Prompter* prompter = nullptr;
        // The position shown and what the diagram title is made from.
        std::function<DiagramSource()> source;
        // The comment of the shown move, when the game view shows one.
        std::function<std::string()> shownComment;
        // The game shown with its move-list lines, for the mobile pages' move lists.
        std::function<std::pair<const TKifData*, std::vector<std::string>>()> shownGame;
        // 局面作成画面へコピー: the position into position editing with these player names; false
        // when the main window cannot take it now.
        std::function<bool(const BoardPosition&, const std::string& senteName, const std::string& goteName)>
            editPosition;
    };
    struct Items {
        QAction* newCollection = nullptr;
        QAction* open = nullptr;
        QAction* save = nullptr;
        QAction* saveAs = nullptr;
        QAction* window = nullptr;
    };

    explicit PositionCommands(Host host, QObject* parent = nullptr);
    ~PositionCommands() override;
    void Install(const Items& items);

    PositionCollection& collection() { return collection_; }
    CollectionWindow* window();
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }

    // The commands (public for tests).
    bool NewCollection();
    bool OpenCollection();
    bool Save();
    bool SaveAs();
    bool AddShownPosition();
    // 局面編集/印刷: the collection window, shown modally (or handed to windowAnswer).
    void OpenWindow();
    // Before the program ends: the question about a changed collection. False keeps it open;
    // `asked` says whether the question was put.
    bool MayClose(bool* asked = nullptr);
    // At start-up: the last collection of the settings, when its file still exists.
    void ReopenLast();
    // LastKkmFile and LastKkmPage for the settings written at exit.
    void StoreSettings();
    // Hidden commands the main window's key chords show.
    void showImode();
    void showEnlargedPrint();
    void setPrintToFileOffer(bool on);

    // Stand-ins for the person in tests.
    std::function<bool(TitleDialog&)> titleAnswer;
    std::function<void(CollectionWindow&)> windowAnswer;

private:
    CollectionDialogs Dialogs();
    void Refresh();

    Host host_;
    PositionCollection collection_;
    Items items_;
    FileChooser* chooser_ = nullptr;
    CollectionWindow* window_ = nullptr;
    bool imode_ = false;
    bool enlargedPrint_ = false;
    bool printToFile_ = false;
};

}  // namespace movra
