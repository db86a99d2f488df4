#pragma once
// The main window's text output of the shown game and position: the listing (six moves to a line)
// to a text file or the clipboard, the hidden Kakinoki KIF export, and the position as a text
// diagram (gaiji or standard characters) to a file or the clipboard. The texts are the core's;
// here are the menus, the file dialogs and the questions.
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "core/record/kif_data.h"
#include "core/textio/export_game.h"

class QAction;
class QMenu;
class QWidget;

namespace movra {

class FileChooser;
class Prompter;

class TextExportCommands : public QObject {
    Q_OBJECT
public:
    struct Host {
        // The shown game with its store's details and comments; null when no game is shown.
        std::function<std::unique_ptr<ExportGame>()> game;
        // The board as shown (the game at its shown move, or the position being edited).
        std::function<const TKifData&()> record;
        std::function<std::string()> senteName;
        std::function<std::string()> goteName;
        // Whether a position is being edited rather than a game shown.
        std::function<bool()> editing;
        // Whether a board is shown at all; says why not when it is not.
        std::function<bool()> hasPosition;
    };

    TextExportCommands(QWidget* window, Host host, Prompter& prompter);

    struct Items {
        QAction* listingToFile;
        QAction* listingToClipboard;
        QAction* kakinoki;
        QAction* positionGaiji;
        QAction* positionStandard;
        QAction* positionToClipboard;
    };
    // Connects the menus' items to the commands.
    void Install(const Items& items);
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }

    // The commands (public for tests). False when nothing was written.
    bool ListingToFile();
    bool ListingToClipboard();
    bool KakinokiExport();
    bool PositionToFile(bool gaiji);
    bool PositionToClipboard();

private:
    QString ChooseFile(const std::filesystem::path& proposal, const QString& filter);
    std::vector<std::string> PositionLines(bool gaiji, const std::string& editingSide) const;
    bool Write(const std::filesystem::path& path, const std::vector<std::string>& lines, bool appendOffered);

    QWidget* window_;
    Host host_;
    Prompter& prompter_;
    FileChooser* chooser_ = nullptr;
};

}  // namespace movra
