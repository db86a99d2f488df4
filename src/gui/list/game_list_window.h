#pragma once
// The game list window (the system's TFormItiran, "棋譜一覧"): the catalogue of the open store a
// page of 20 games at a time, single or multi selection, the caption with the result summary,
// and the commands on the listed games. The lines, pages and store changes are core's
// (list/game_list_page.h, list/game_list_edit.h); this class shows them and routes the commands.
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/list/game_list_edit.h"
#include "core/list/game_list_page.h"
#include "core/config/settings.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"
#include "gui/gameinfo/game_info_dialog.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QScrollBar;
class QVBoxLayout;

namespace movra {

class FileChooser;
class ListHeaderBar;

class GameListWindow : public QDialog {
    Q_OBJECT
public:
    // How the window closed; the main window acts on it.
    enum class Result { Cancel, ShowGame, Narrow, EditMoves };

    // The header sections; the ones that react to a click say so in HeaderClicked.
    enum class Section { Sente, Gote, Tournament, GameNumber, Date, Result, Moves, Opening, Info };

    // Writes one game as a Kakinoki file at the path (the timed export); false when it could
    // not be written. Given by the main window, which opens the game first.
    using ExportGameHook = std::function<bool(const GameHeader& entry, const std::filesystem::path&)>;

    GameListWindow(StoreSession& session, Settings& settings, std::filesystem::path programFolder,
                   Prompter& prompter, QWidget* parent = nullptr);
    ~GameListWindow() override;

    // `open`: lays the window out for the main window's size mode (0 large, 1 standard, 2
    // small), single mode, the summary, the current page refilled with the previous row
    // highlighted, the flags cleared; then shows it modally and answers how it closed.
    Result Open(int sizeMode);
    // Everything Open does before showing the window (tests show it themselves).
    void Prepare(int sizeMode);

    // `set catalogue`: after a search or a reload, the list starts again at page 1.
    void SetCatalogue();
    // The list opens next on the page of catalogue position `position` (0-based), that game
    // highlighted.
    void ShowPosition(std::uint32_t position);
    // A store of the classic kind was opened: the information column shows handicaps again.
    void ResetInformationColumn() { display_.ratings = false; }
    void setExportHook(ExportGameHook hook);
    // The timed print: `begin` asks once for the print type and the printer (false: cancelled),
    // `print` opens one game and prints it (false: not printed), `end` ends the print job.
    struct PrintHooks {
        std::function<bool()> begin;
        std::function<bool(const GameHeader& entry)> print;
        std::function<void()> end;
    };
    void setPrintHooks(PrintHooks hooks) { printHooks_ = std::move(hooks); }
    // The folder picker of the export (null: Qt's dialog).
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    // The export item comes with the main window's hidden export menu.
    void setExportMenuVisible(bool visible);

    // --- what the window hands back ---------------------------------------------------------
    Result result() const { return result_; }
    const std::string& selectedLine() const { return selectedLine_; }
    // The entry of the game chosen with "棋譜再現" (the selected-game line names it).
    const GameHeader& selectedEntry() const { return selectedEntry_; }
    // 0-based catalogue position of the game last opened from the list.
    std::uint32_t currentPosition() const { return currentPosition_; }
    bool catalogueChanged() const { return catalogueChanged_; }
    // How the games deleted and exchanged while the list was open moved the record numbers.
    const RecordRenumbering& renumbering() const { return renumbering_; }

    // --- state, for the main window and tests ----------------------------------------------------
    bool multiMode() const { return multi_; }
    std::uint32_t pageStart() const { return paging_.pageStart; }
    int highlightedRow() const;
    const ListPage& page() const { return page_; }
    const ListDisplay& display() const { return display_; }
    bool exportRunning() const { return exportTimer_.isActive() || !exportQueue_.empty(); }
    QListWidget* listBox() const { return list_; }
    QScrollBar* pageBar() const { return scroll_; }
    ListHeaderBar* header() const { return header_; }

    // --- commands (buttons, menus, keys; public for tests) ------------------------------------
    void ShowGame();
    void Narrow();
    void NextPage();
    void PreviousPage();
    void SetMultiMode(bool multi);
    void ToggleMode();
    // Alt+D and the menu ask first; Ctrl+Alt+D (`immediate`) deletes the highlighted game at
    // once, without the question and the free-space check.
    void DeleteGames(bool immediate = false);
    void MarkAll(bool mark);
    void WriteListDump();
    void SwapWithNeighbour(bool up);
    void HeaderClicked(Section section);
    // "名前を付けて保存": the highlighted game, or the marked games, written into another store.
    void SaveGamesAs();
    void ExportGames();
    // "棋譜印刷(&P)": the highlighted game, or the marked games, printed one a tick.
    void PrintGames();
    void CancelExport();
    // "一覧印刷(&P)": the printer dialog, then the whole catalogue on paper.
    void PrintList();
    // Prints the catalogue `copies` times on the printer; false after "プリンタ・エラー！".
    bool PrintListTo(QPrinter& printer, int copies);
    void HighlightRow(int row);
    // "棋譜修正(&E)": the highlighted game's information in the game information dialog (mode 2,
    // moves kept), saved in place on OK; with "棋譜も変更する" the game is opened for move editing.
    void EditGameInformation();
    // "棋譜情報一括変更(&C)" (multi mode): the bulk form, then the marked games changed in place.
    void BulkChange();
    // Tests run the game information dialog through this instead of showing it.
    using GameInfoRunner = std::function<GameInfoOutcome(GameInfoMode, IndexRecord&, DetailRecord&,
                                                         std::uint32_t recordNumber)>;
    void setGameInfoRunner(GameInfoRunner run) { gameInfoRunner_ = std::move(run); }
    // The index image the dialog handed back with "棋譜も変更する" (result EditMoves).
    const IndexRecord& editedIndex() const { return editedIndex_; }
    const DetailRecord& editedDetail() const { return editedDetail_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The menu bar, the list's popup menu, the header with the list and its page bar, the
    // export's progress panel, and the buttons, top to bottom.
    void BuildWindow();
    void BuildMenus(QVBoxLayout* layout);
    void BuildPopupMenu();
    void BuildList(QVBoxLayout* layout);
    void BuildProgressPanel(QVBoxLayout* layout);
    void BuildButtons(QVBoxLayout* layout);
    void LayOut(int sizeMode);
    void FillPage(int row);
    void RefreshCaption();
    void RecomputeSummary();
    void CopySelectionToMarks();
    void UpdateEnabling();
    void AfterDeletion(int row);
    bool HandleListKey(QKeyEvent* event);
    void ExportTick();
    void EndExport();
    void BlinkTick();
    void SetBusy(bool busy);
    void ShowContextMenu(const QPoint& at);
    GameHeader* HighlightedEntry();
    const ListLineData* HighlightedData() const;
    std::uint32_t HighlightedPosition() const;

    StoreSession& session_;
    Settings& settings_;
    std::filesystem::path programFolder_;
    Prompter& prompter_;
    ExportGameHook exportHook_;
    FileChooser* chooser_ = nullptr;

    ListDisplay display_;
    ListPaging paging_;
    ListPage page_;
    std::string summary_;
    bool multi_ = false;
    bool refilling_ = false;
    Result result_ = Result::Cancel;
    std::string selectedLine_;
    GameHeader selectedEntry_;
    std::uint32_t currentPosition_ = 0;
    int lastRow_ = 0;
    bool catalogueChanged_ = false;
    RecordRenumbering renumbering_;
    bool storeWasExtended_ = false;
    GameInfoRunner gameInfoRunner_;
    IndexRecord editedIndex_;
    DetailRecord editedDetail_;
    std::array<int, 2> pickerTopRows_{};

    // The timed export.
    QTimer exportTimer_;
    QTimer blinkTimer_;
    std::vector<std::uint32_t> exportQueue_;
    std::size_t exportIndex_ = 0;
    bool exportCancelled_ = false;
    std::filesystem::path exportFolder_;
    std::vector<std::string> exportSkipped_;
    // The run of the export timer is a timed print.
    bool printing_ = false;
    PrintHooks printHooks_;
    QString blinkCaption_;
    bool blinkShown_ = true;

    QMenuBar* menuBar_ = nullptr;
    ListHeaderBar* header_ = nullptr;
    QListWidget* list_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QPushButton* narrowButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QWidget* progressPanel_ = nullptr;
    QLabel* progressCaption_ = nullptr;
    QLabel* progressCount_ = nullptr;
    QPushButton* progressCancel_ = nullptr;
    QMenu* popup_ = nullptr;

    QAction* singleAction_ = nullptr;
    QAction* multiAction_ = nullptr;
    QAction* showAction_ = nullptr;       // popup 棋譜再現
    QAction* editAction_ = nullptr;       // 棋譜修正 (menu)
    QAction* editPopupAction_ = nullptr;  // 棋譜修正 (popup)
    QAction* deleteAction_ = nullptr;
    QAction* deletePopupAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* bulkAction_ = nullptr;
    QAction* markAllAction_ = nullptr;
    QAction* unmarkAllAction_ = nullptr;
    QAction* listPrintAction_ = nullptr;
    QAction* closeAction_ = nullptr;
};

// The column headings over the list: one section a column, at the byte columns of the lines.
class ListHeaderBar : public QWidget {
    Q_OBJECT
public:
    explicit ListHeaderBar(QWidget* parent = nullptr);
    void setGeometryOfColumns(int left, int cellWidth, std::size_t nameWidth);
    void setTexts(const QString& tournament, const QString& info);
    QString text(GameListWindow::Section section) const;
    // The section at a point, for tests and clicks; Moves when none.
    QRect sectionRect(GameListWindow::Section section) const;

signals:
    void sectionClicked(GameListWindow::Section section);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;

private:
    struct Column {
        GameListWindow::Section section;
        int fromByte;
        int bytes;
        QString text;
    };
    std::vector<Column> columns_;
    int left_ = 0;
    int cell_ = 7;
};

}  // namespace movra
