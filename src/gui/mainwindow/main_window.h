#pragma once
// The main window (the system's TForm1): a coordinator of the board view, both hands and their
// name plates, the move list and its caption, the replay panel, the status line, the menus and the
// comment window. It owns the game record and the settings; every rule of replaying lives in
// GameReplay and the display texts in core.
#include <QMainWindow>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/viewing/display_texts.h"
#include "gui/mainwindow/picture_set.h"
#include "core/viewing/replay.h"
#include "core/config/settings.h"
#include "core/session/startup_store.h"
#include "core/viewing/study_mode.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/open_store.h"

namespace movra {

class BoardInput;
class BoardView;
class WindowSound;
class ReadAloudButton;
class EnvironmentDialog;
class PieceSetDialog;
class CommentWindow;
class DetailedSearchDialog;
class FileChooser;
class GameInput;
class GameListWindow;
class SearchDialog;
class StoreCommands;
class MaintenanceCommands;
class GuiPrompter;
class DiagramCommands;
class InterchangeCommands;
class TextExportCommands;
struct ExportGame;
class PositionCommands;
class PublishCommands;
class FtpCommands;
class PrintingCommands;
class ExplorerPanel;
class HandView;
class MateCommand;
class ListCaption;
class MainMenus;
class MoveListView;
class NamePlate;
class PositionEditCommands;
class ReplayPanel;
class StatusLine;

// What the comment window shows for a line of the list: the comment text and its heading (the
// move and its consumed time). The store's comment files answer it; none is given until then.
using CommentSource = std::function<std::optional<std::pair<std::string, std::string>>(int moveIndex)>;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class Mode { None, Game, PositionEditing };

    // The prompter answers every question and shows every message (tests pass a scripted one;
    // null: message boxes on this window).
    MainWindow(std::filesystem::path programFolder, Settings settings, Prompter* prompter = nullptr);
    ~MainWindow() override;

    // The work of the first activation: the recent stores checked and the start-up store chosen,
    // the pictures for the chosen size (false, after the message, when one is missing: the
    // program then ends), the empty move list in whole-game style, the store opened with its
    // master tables and catalogue, and the game mode.
    bool Start();

    // Shows game k of the open store (its move `showMove` when above 0); false when the store
    // has no such game.
    bool ShowStoredGame(long k, int showMove = 0);

    // Takes over a game: the record with its moves, the header texts, and what the store is
    // (an index store of the extended kind shows times and comments). Shows the starting
    // position, or move `showMove` when it is above 0.
    void ShowGame(const TKifData& record, const GameHeaderTexts& texts, bool indexStore,
                  bool extendedStore, int showMove = 0);
    // No game: the standard position of an even game with an empty move list.
    void ShowEmptyGame();
    void setCommentSource(CommentSource source);

    // --- commands (buttons, keys, menus; public for tests) -----------------------------------
    void PressButton(int number);
    void StepForward();
    void StepBack();
    void GoToStart();
    void GoToEnd();
    void JumpToLine(int lineIndex);
    void TurnBoard();
    void ToggleListStyle();
    void StartReplay(int kind);
    void StopReplay();
    // Button 4: study mode on or off.
    void ToggleStudyMode();
    // View menu: size mode 0-2 and colour set; false when the switch could not be made.
    bool SetSizeMode(int mode);
    bool SetColor(int color);
    // Writes the settings marked as written at exit (when Save is on).
    bool SaveSettingsAtExit();

    // --- state for the parts of the window and for tests -------------------------------------
    Mode mode() const { return mode_; }
    const TKifData& record() const { return record_; }
    const GameReplay& replay() const { return replay_; }
    const Settings& settings() const { return settings_; }
    Settings& settings() { return settings_; }
    const PictureSet& pictures() const { return pictures_; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    const StoreSession& session() const { return session_; }
    bool storeOpen() const { return session_.isOpen(); }
    bool replaying() const { return replayKind_ != 0; }
    bool studyMode() const { return study_.active(); }
    BoardInput* boardInput() const { return input_; }
    WindowSound* sound() const { return sound_; }
    ReadAloudButton* readAloudButton() const { return readAloud_; }
    // The read-aloud button: reading moves aloud on or off.
    void ToggleReadingAloud();
    // "動作環境" and "駒変更". Tests answer the dialogs through the hooks instead of a person.
    void OpenEnvironment();
    void OpenPieceSets();
    void setEnvironmentAnswer(std::function<bool(EnvironmentDialog&)> answer) { environmentAnswer_ = std::move(answer); }
    void setPieceSetAnswer(std::function<bool(PieceSetDialog&)> answer) { pieceSetAnswer_ = std::move(answer); }
    QTimer* replayTimer() { return &replayTimer_; }
    BoardView* boardView() const { return board_; }
    HandView* upperHand() const;
    HandView* lowerHand() const;
    HandView* senteHand() const { return senteHand_; }
    HandView* goteHand() const { return goteHand_; }
    NamePlate* upperPlate() const { return upperPlate_; }
    NamePlate* lowerPlate() const { return lowerPlate_; }
    MoveListView* moveList() const { return moveList_; }
    ListCaption* listCaption() const { return caption_; }
    ReplayPanel* replayPanel() const { return panel_; }
    StatusLine* statusLine() const { return status_; }
    MainMenus* menus() const { return menus_; }
    DiagramCommands* diagramCommands() const { return diagrams_; }
    InterchangeCommands* interchangeCommands() const { return interchange_; }
    // The position collection: its File menu items, replay button 12 and the collection window.
    PositionCommands* positionCommands() const { return positions_; }
    // The web commands: publishing, Ctrl+J, Ctrl+W and the data menu.
    PublishCommands* publishCommands() const { return publish_; }
    const GameHeaderTexts& headerTexts() const { return texts_; }
    std::uint32_t senteAllotted() const { return senteAllotted_; }
    std::uint32_t goteAllotted() const { return goteAllotted_; }
    Prompter& prompter() const { return *prompter_; }
    // Ctrl+F and the upload after live publishing.
    FtpCommands* ftpCommands() const { return ftp_; }
    PrintingCommands* printingCommands() const { return printing_; }
    ExplorerPanel* explorerPanel() const { return explorer_; }
    CommentWindow* commentWindow() const { return comment_; }
    // Entering and correcting games (the entry menu, the slots, the questions about unsaved games).
    GameInput* gameInput() const { return gameInput_; }
    // Position editing (replay button 6) and what it is handed: editing begins, or goes on, with
    // the position (the game shown is kept aside until editing ends).
    void editPosition(const movra::BoardPosition& position);
    PositionEditCommands* positionEdit() const { return positionEdit_; }
    // A second copy was started: bring this window to the front.
    void RaiseFromOtherCopy();

    // --- the game list and the store commands ----------------------------------------------
    // Button 10 and the I key: the game list window on the catalogue (read again when it is
    // empty), then what it closed with.
    void OpenGameList();
    // What the main window does with the list's result: show the chosen game at its hit move,
    // or come back with the search dialog to narrow the hits.
    void HandleGameListResult();
    // The list window, made on first use and kept while the program runs.
    GameListWindow* gameList();
    // Button 5: the search dialog (narrowing when it comes back from the list's "絞込検索" and a
    // search has succeeded since the lists were filled), the detailed search when asked for, and
    // the list on the hits.
    void OpenSearch(bool fromList = false);
    SearchDialog* searchDialog();
    DetailedSearchDialog* detailedSearchDialog();
    StoreCommands* storeCommands() const { return storeCommands_; }
    MaintenanceCommands* maintenanceCommands() const { return maintenance_; }
    // Button 11: the mate search (tests drive its king choice and its poll).
    MateCommand* mateCommand() const { return mate_; }
    // Tests drive the file dialogs through their own chooser.
    void setFileChooser(FileChooser* chooser);
    // "重複棋譜検索": the duplicate dialog on the open store, then the list on the games found.
    void OpenDuplicateSearch();
    // The master-data dialogs (0 players, 1 tournaments, 2 openings); a table written by its
    // dialog is read again and the lists that show it refilled.
    void OpenMasterDialog(int table);
    // After any command opened, renamed or re-read the store: caption, recent menu, lists.
    void ApplyOpenedStore(const OpenStoreResult& opened);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class GameInput;
    friend class PositionEditCommands;
    // Store commands that replace the game on the board ask about an unsaved game first.
    void BuildEntryCommands();
    // The window's parts, then what connects them: the board input, the view commands (panel,
    // list, status line, view menu), the store commands of the File menu, the mate search.
    void BuildWindow();
    void BuildParts(QWidget* central);
    void BuildInterchangeCommands();
    void BuildTextExportCommands();
    std::unique_ptr<ExportGame> ShownExportGame();
    void BuildBoardInput(QWidget* central);
    void BuildExplorer();
    void ConnectViewCommands();
    void BuildStoreCommands();
    void BuildMateCommand();
    void BuildPositionCommands();
    void LayOut();
    void ApplyPictures();
    void ReplayTick();
    void AfterStep(const ReplayStep& step, bool animate);
    void RefreshBoard();
    void RefreshList();
    void RefreshTime();
    void RefreshHeader();
    void RefreshComment();
    void ReleaseReplayButtons();
    void EnterMove(const EnteredMove& move);
    // The piece pictures of `from` with the size letter of `mode`; false (nothing changed) when
    // they are the ones shown or cannot be loaded.
    bool SwitchPieces(const std::string& from, int mode);
    // The words of move n's line, when reading aloud is on.
    std::string SpokenLine(int moveNumber) const;
    void ShowMessage(const std::string& text, bool warning);
    // Gives the keyboard back to this window when the comment window (or nothing) has it.
    void KeepKeyboard();
    void OpenStartupStore(const StartupStore& chosen);
    void RefreshRecentMenu();
    void RefreshDataCollections();
    void AfterImport(long gamesStored);
    bool ExportListedGame(const GameHeader& entry, const std::filesystem::path& path);

    std::filesystem::path programFolder_;
    Settings settings_;
    std::unique_ptr<GuiPrompter> ownPrompter_;
    Prompter* prompter_;
    DiagramCommands* diagrams_ = nullptr;
    InterchangeCommands* interchange_ = nullptr;
    TextExportCommands* textExport_ = nullptr;
    PositionCommands* positions_ = nullptr;
    PublishCommands* publish_ = nullptr;
    FtpCommands* ftp_ = nullptr;
    PrintingCommands* printing_ = nullptr;
    ExplorerPanel* explorer_ = nullptr;
    Mode mode_ = Mode::None;

    TKifData record_;
    GameReplay replay_{record_};
    StudyMode study_{record_, replay_};
    // The menu items study mode turned off, with whether each was on before.
    std::vector<std::pair<QAction*, bool>> studyLocked_;
    GameHeaderTexts texts_;
    bool indexStore_ = true;
    bool extendedStore_ = false;
    bool consumedView_ = true;
    std::uint32_t senteAllotted_ = 0;
    std::uint32_t goteAllotted_ = 0;
    StoreSession session_;
    CommentSource commentSource_;
    PictureSet pictures_;

    QTimer replayTimer_;
    int replayKind_ = 0;

    BoardView* board_ = nullptr;
    HandView* senteHand_ = nullptr;
    HandView* goteHand_ = nullptr;
    NamePlate* upperPlate_ = nullptr;
    NamePlate* lowerPlate_ = nullptr;
    MoveListView* moveList_ = nullptr;
    ListCaption* caption_ = nullptr;
    ReplayPanel* panel_ = nullptr;
    StatusLine* status_ = nullptr;
    MainMenus* menus_ = nullptr;
    CommentWindow* comment_ = nullptr;
    StoreCommands* storeCommands_ = nullptr;
    MaintenanceCommands* maintenance_ = nullptr;
    MateCommand* mate_ = nullptr;
    GameInput* gameInput_ = nullptr;
    PositionEditCommands* positionEdit_ = nullptr;
    BoardInput* input_ = nullptr;
    WindowSound* sound_ = nullptr;
    ReadAloudButton* readAloud_ = nullptr;
    std::function<bool(EnvironmentDialog&)> environmentAnswer_;
    std::function<bool(PieceSetDialog&)> pieceSetAnswer_;
    GameListWindow* gameList_ = nullptr;
    SearchDialog* search_ = nullptr;
    DetailedSearchDialog* detailed_ = nullptr;
    FileChooser* chooser_ = nullptr;
    std::vector<std::filesystem::path> dataCollections_;
};

}  // namespace movra
