#pragma once
// The main window's commands for the forms engines and other programs exchange: the shown
// position as an SFEN line and the game as a USI line on the clipboard, a position or a game
// pasted from the clipboard, and the shown game saved as a CSA, KI2 or USI file. The window hands
// over how to read its game and how to show another; everything else is here.
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/sfen.h"
#include "core/textio/export_game.h"

class QAction;
class QMenu;
class QWidget;

namespace movra {

class FileChooser;
class Prompter;

// Clipboard text read as a USI position line ("position startpos moves 7g7f …", "position sfen
// … moves …", with or without the word "position") or as a bare SFEN. A position with moves is a
// game; an SFEN alone is a position.
struct PastedText {
    enum class Kind { Nothing, Position, Game };
    Kind kind = Kind::Nothing;
    SfenPosition position;            // Kind::Position
    std::unique_ptr<TKifData> game;   // Kind::Game, standing at its last move
    std::string error;                // Kind::Nothing: why the text is neither
};
PastedText ReadPastedText(std::string_view text);

// The shown position: board, side to move and the number of the next move.
std::string ShownPositionSfen(const TKifData& record);
// The whole game from its own start: "position startpos moves …" from the even position,
// "position sfen <start> moves …" from any other (a handicap or a pasted position).
std::string GameUsiLine(const TKifData& record);
// Whether the game starts from the standard set-up of its handicap (CSA and KI2 files can only
// say that much about the start).
bool StartsFromSetup(const TKifData& record);
// A game that is not in the store, as the exports see it: its moves and names, its result from
// its end code, no comments.
std::unique_ptr<ExportGame> UnstoredExportGame(const TKifData& record, const std::string& senteName,
                                               const std::string& goteName);

class InterchangeCommands : public QObject {
    Q_OBJECT
public:
    struct Host {
        // The game on the board, standing at its shown move.
        std::function<const TKifData&()> record;
        // The shown game with its store's details and comments when it is a stored game.
        std::function<std::unique_ptr<ExportGame>()> game;
        // Puts a game that is not in the store on the board; false when the window keeps its own.
        std::function<bool(const TKifData&)> showGame;
        // Opens a position in position editing; while there is none, a pasted position is shown
        // as a game of no moves.
        std::function<void(const BoardPosition&)> editPosition;
    };

    InterchangeCommands(QWidget* window, Host host, Prompter& prompter);

    // Adds the 他形式 menu to the File menu before `before`.
    void Install(QMenu* fileMenu, QAction* before);
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }

    enum class Format { Csa, Ki2, Usi };
    // The commands (public for tests). False when nothing was done.
    bool CopyPositionSfen();
    bool CopyGameUsi();
    bool Paste();
    bool SaveAs(Format format);
    // Where a pasted position goes: position editing when the window has it, else a game of no
    // moves from that position.
    void OpenPastedPosition(const SfenPosition& position);

    QAction* action(const QString& objectName) const;
    QMenu* menu() const { return menu_; }

private:
    bool Show(const TKifData& record);

    QWidget* window_;
    Host host_;
    Prompter& prompter_;
    FileChooser* chooser_ = nullptr;
    QString lastFolder_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> actions_;
};

}  // namespace movra
