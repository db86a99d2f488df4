#pragma once
// Position-editing mode on the main window: the board becomes a free set-up board. Pieces are
// dragged between the board, both hands and the spare-piece box that takes the move list's
// place; a right click on a board piece flips it, on a hand or the box opens its menu; the replay
// panel becomes the editing panel. The game shown before is kept aside and comes back when
// editing ends. The rules of the set-up board are core's (core/positionedit); this class reads
// the mouse, draws and talks to the main window.
#include <QObject>
#include <QPixmap>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/positionedit/editing.h"
#include "core/record/kif_data.h"
#include "core/viewing/display_texts.h"
#include "gui/diagram/diagram_commands.h"

class QAction;
class QLabel;
class QMenu;

namespace movra {

class LoadPositionDialog;
class MainWindow;
class SavePositionDialog;
class SpareBoxView;

class PositionEditCommands : public QObject {
    Q_OBJECT
public:
    explicit PositionEditCommands(MainWindow& window);
    ~PositionEditCommands() override;

    // Replay button 6: editing begins with the position shown, when a store is open.
    void EnterCommand();
    // Editing begins (as button 6 begins it) or goes on with the given position and player
    // names (empty by default). False when the window cannot take it now (no store, game input,
    // mate search).
    bool EditPosition(const BoardPosition& position, const std::string& senteName = {},
                      const std::string& goteName = {});
    // An editing-panel button (1-12).
    void PressButton(int number);
    // Button 7: back to the game as it was.
    void Leave();
    // A game from the game list replaces the one kept aside: the window returns to game mode
    // without it.
    void Abandon();
    // Games were deleted in the game list opened from the editor: the record numbers the slots
    // remember have moved, so every slot is freed and the game kept aside loses its move list.
    void GamesDeleted();

    bool active() const;
    bool sidesSwapped() const { return swapped_; }
    // The piece being dragged (1-40), 0 for none.
    int heldPiece() const { return held_; }
    SpareBoxView* box() const { return box_; }
    QMenu* boxMenu() const { return boxMenu_; }
    QMenu* senteHandMenu() const { return senteMenu_; }
    QMenu* goteHandMenu() const { return goteMenu_; }
    // Why no game reaches the shown position (CP932 lines), as the status line shows them.
    const std::vector<std::string>& problems() const { return problems_; }

    // Tests answer the dialogs through these instead of a person (true: accepted).
    void setSaveAnswer(std::function<bool(SavePositionDialog&)> answer) { saveAnswer_ = std::move(answer); }
    void setLoadAnswer(std::function<bool(LoadPositionDialog&)> answer) { loadAnswer_ = std::move(answer); }

    // What a diagram of the set-up board is drawn from: the position, the names on the plates and,
    // while the game's shown move still stands, that move for the title (mirrored while the sides
    // are swapped).
    DiagramSource EditingDiagramSource() const;

    // The main window redrew its board: the box, the panel and the status line follow.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin();
    // Back to game mode: menus, panel, list and read-aloud button as before editing.
    void EndMode();
    void Redraw();
    void ApplyPanelPictures();
    void ClearNames();
    void LoadCommand();
    void SaveCommand();
    void DeleteCommand();
    void SwapCommand();
    // Button 11: the mate search on the set-up board.
    void MateSearchCommand();
    void RestoreCounts();
    void SetUp(bool standard);

    // The place under a global point: a square, a hand, the box or nowhere; with the kind shown
    // there for a hand or the box.
    struct PointTarget {
        EditTarget target;
        int kind = 0;
    };
    PointTarget TargetAt(QPoint global) const;
    int PieceAt(const PointTarget& at) const;
    void PickUp(int index, QPoint global);
    void MoveFloating(QPoint global);
    void Drop(QPoint global);
    void ShowMenu(const PointTarget& at, QPoint global);

    MainWindow& w_;
    SpareBoxView* box_ = nullptr;
    QLabel* floating_ = nullptr;
    QMenu* boxMenu_ = nullptr;
    QMenu* senteMenu_ = nullptr;
    QMenu* goteMenu_ = nullptr;

    // Kept aside while editing.
    std::unique_ptr<TKifData::Snapshot> kept_;
    GameHeaderTexts keptTexts_;
    bool keptStudy_ = false;
    bool gamesDeleted_ = false;  // games were deleted in a list opened from the editor
    std::vector<std::pair<QAction*, bool>> locked_;

    // The record's move count and current move while a mate search runs from the set-up board.
    std::optional<std::pair<std::int16_t, std::int16_t>> asideCounts_;
    bool swapped_ = false;
    int held_ = 0;
    int flipping_ = 0;  // the board piece under a right press
    std::vector<std::string> problems_;
    QSize pictureSize_;
    std::array<std::pair<QPixmap, QPixmap>, 12> pictures_{};

    std::function<bool(SavePositionDialog&)> saveAnswer_;
    std::function<bool(LoadPositionDialog&)> loadAnswer_;
};

}  // namespace movra
