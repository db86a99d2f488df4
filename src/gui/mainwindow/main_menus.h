#pragma once
// The main window's menus. The commands built so far (the stores, entering and correcting games,
// board size, colours, the comment window, the recent stores, closing) are live; every item whose
// function comes in a later stage is there, disabled, with a tooltip that says so.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QObject>

#include <array>
#include <utility>
#include <vector>

namespace movra {

// The ways of ending a game being entered, as the entry menu offers them.
enum class GameEnding {
    Resign,           // 投了
    Interrupt,        // 中断
    Repetition,       // 千日手
    Impasse,          // 持将棋
    Foul,             // 反則負け
    LaterSenteWins,   // 以下先手勝ち
    LaterGoteWins,    // 以下後手勝ち
    LaterRepetition,  // 以下千日手
    LaterImpasse,     // 以下持将棋
};

// What the entry menu's items follow.
struct EntryState {
    bool inputActive = false;      // moves are being entered
    bool storedGameShown = false;  // a game of the store is on the board
    bool saveNew = false;          // "棋譜新規保存" may be used
    bool saveOver = false;         // "棋譜修正保存" may be used
};

class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QMenuBar* bar);

    // Size items 0 large, 1 standard, 2 small; colour items 0 (256 colours) and 1 (high colour).
    void setSizeMode(int mode);
    void setLargeModeAvailable(bool available);
    void setColor(int color);
    void setCommentChecked(bool checked);
    bool commentChecked() const;
    // The recent stores as menu items "&1 " .. "&0 " with the file name; empty entries hidden.
    void setRecentStores(const std::array<QString, 10>& paths);
    // Long captions of two output items in the large mode, short ones otherwise.
    void setCaptionsForSize(int mode);
    // Hidden items that a key chord shows.
    void showPlayerNumberItem();
    void showImodeItems();
    void showExportMenu();
    // The commands that need an open store (rename, the imports).
    void setStoreOpen(bool open);
    // The entry menu's items by the state of entering; the items that entering shuts.
    void setEntryState(const EntryState& state);
    void setInputLock(bool locked);
    // The captions that name the store's kind ("Movra棋譜重複削除(&U)", "Movraﾌﾟﾗｽ重複削除(&U)").
    void setExtendedStore(bool extended);
    QMenu* duplicatesMenu() const { return duplicates_; }
    // The store maintenance items of the open store's kind: 0 classic (or none open), 1 extended.
    void setStoreKind(int kind);
    // The maintenance jobs, as maintenanceChosen names them.
    enum MaintenanceJob {
        DistributedMerge, CompleteMerge, Merge, Concatenate, SortDescending, SortAscending,
        RemoveSameGames, ConvertClassic, SetPlayerNumbers, ReplacePlayerNumber, BackupStore, BackupDat,
    };
    // The data-collection stores that exist, by file name; at most kCollectionItems.
    static constexpr int kCollectionItems = 4;
    void setDataCollections(const QStringList& names);

    QAction* sizeAction(int mode) const { return size_[mode]; }
    QAction* colorAction(int color) const { return color_[color == 1 ? 1 : 0]; }
    QAction* commentAction() const { return comment_; }
    QAction* recentAction(int index) const { return recent_[index]; }
    QAction* playerNumberAction() const { return playerNumbers_; }
    QMenu* exportMenu() const { return export_; }
    QAction* openStoreAction() const { return openStore_; }
    QAction* newStoreAction() const { return newStore_; }
    QAction* renameStoreAction() const { return renameStore_; }
    QAction* importFilesAction() const { return importFiles_; }
    QAction* importFolderAction() const { return importFolder_; }
    QAction* importLisvekAction() const { return importLisvek_; }
    QAction* importClipboardAction() const { return importClipboard_; }
    QAction* datSwitchAction() const { return datSwitch_; }
    QAction* duplicateSearchAction() const { return duplicateSearch_; }
    QMenu* importMenu() const { return import_; }
    // The items study mode turns off: game input, text output and clipboard output of the game.
    QMenu* gameEntryMenu() const { return entry_; }
    // The text menu: the listing to a file (棋譜ﾌｧｲﾙ出力), the position to a file in gaiji or
    // standard characters and the position to the clipboard.
    QAction* textOutputAction() const { return textOutput_; }
    QAction* positionGaijiAction() const { return positionGaiji_; }
    QAction* positionStandardAction() const { return positionStandard_; }
    QAction* positionClipboardAction() const { return positionClipboard_; }
    QAction* kakinokiAction() const { return kakinoki_; }
    QAction* newGameAction() const { return newGame_; }
    QAction* correctionAction() const { return correct_; }
    QAction* changeInfoAction() const { return changeInfo_; }
    QAction* saveNewAction() const { return saveNew_; }
    QAction* saveOverAction() const { return saveOver_; }
    // The ending items in the order of GameEnding.
    QAction* endingAction(GameEnding how) const { return endings_[int(how)]; }
    QMenu* otherEndingsMenu() const { return otherEndings_; }
    QAction* printAction() const { return printGame_; }
    QAction* printFormAction() const { return printForm_; }
    QAction* clipboardOutputAction() const { return clipboardOutput_; }
    // Where the diagram commands put their items.
    QMenu* bitmapMenu() const { return bitmapMenu_; }
    const QList<QAction*>& imodeItems() const { return imode_; }
    QMenu* settingsMenu() const { return settings_; }
    QMenu* viewMenu() const { return view_; }
    QAction* gaijiItem() const { return gaiji_; }
    // The position collection's items: 局面図 新規作成, 読込, 上書き保存, 名前を付けて保存, and 局面編集/印刷.
    std::array<QAction*, 5> positionItems() const {
        return {positionNew_, positionOpen_, positionSave_, positionSaveAs_, positionWindow_};
    }
    // An item of a later stage that another part of the window now carries out.
    void makeLive(QAction* action);
    // Every item of a later stage, for tests.
    const QList<QAction*>& laterItems() const { return later_; }

signals:
    void sizeChosen(int mode);
    void colorChosen(int color);
    void commentToggled(bool checked);
    void recentChosen(int index);
    void exitChosen();
    void openStoreChosen();
    void newStoreChosen();
    void renameChosen();
    void importFilesChosen();
    void importFolderChosen();
    void importLisvekChosen();
    void importClipboardChosen();
    void datSwitchChosen();
    void dataCollectionChosen(int index);
    void pieceSetChosen();
    void environmentChosen();
    void newGameChosen();
    void correctionChosen();
    void changeInfoChosen();
    void saveNewChosen();
    void saveOverChosen();
    void endChosen(movra::GameEnding how);
    void duplicateSearchChosen();
    void masterPlayersChosen();
    void masterTournamentsChosen();
    void masterOpeningsChosen();
    void maintenanceChosen(int job);

private:
    // The menus left to right: ファイル, ツール, 表示, then 設定 and ヘルプ.
    void BuildFileMenu();
    void BuildEntryMenu(QMenu* file);
    void BuildToolsMenu();
    void BuildViewMenu();
    void BuildSettingsAndHelpMenus();
    QAction* later(QMenu* menu, const QString& caption, const QString& objectName = {});
    QAction* live(QMenu* menu, const QString& caption, const QString& objectName,
                  void (MainMenus::*signal)());

    QMenuBar* bar_;
    std::array<QAction*, 3> size_{};
    std::array<QAction*, 2> color_{};
    std::array<QAction*, 10> recent_{};
    QAction* recentSeparator_ = nullptr;
    QAction* comment_ = nullptr;
    QAction* exit_ = nullptr;
    QAction* bitmapOutput_ = nullptr;
    QMenu* bitmapMenu_ = nullptr;
    QMenu* settings_ = nullptr;
    QMenu* view_ = nullptr;
    QAction* gaiji_ = nullptr;
    QAction* positionNew_ = nullptr;
    QAction* positionOpen_ = nullptr;
    QAction* positionSave_ = nullptr;
    QAction* positionSaveAs_ = nullptr;
    QAction* positionWindow_ = nullptr;
    QMenu* textMenu_ = nullptr;
    QAction* textOutput_ = nullptr;
    QAction* positionGaiji_ = nullptr;
    QAction* positionStandard_ = nullptr;
    QAction* positionClipboard_ = nullptr;
    QAction* kakinoki_ = nullptr;
    QAction* clipboardOutput_ = nullptr;
    QMenu* entry_ = nullptr;
    QAction* newGame_ = nullptr;
    QAction* correct_ = nullptr;
    QAction* changeInfo_ = nullptr;
    QAction* saveNew_ = nullptr;
    QAction* saveOver_ = nullptr;
    QList<QAction*> endings_;
    QMenu* otherEndings_ = nullptr;
    QAction* datImport_ = nullptr;
    QAction* printGame_ = nullptr;
    QAction* printForm_ = nullptr;
    bool inputLocked_ = false;
    std::vector<std::pair<QAction*, bool>> inputLockedItems_;
    QAction* playerNumbers_ = nullptr;
    QAction* playerNumbersSeparator_ = nullptr;
    QList<QAction*> imode_;
    QMenu* export_ = nullptr;
    QMenu* import_ = nullptr;
    QAction* openStore_ = nullptr;
    QAction* newStore_ = nullptr;
    QAction* renameStore_ = nullptr;
    QAction* importFiles_ = nullptr;
    QAction* importFolder_ = nullptr;
    QAction* importLisvek_ = nullptr;
    QAction* importClipboard_ = nullptr;
    QAction* datSwitch_ = nullptr;
    QMenu* duplicates_ = nullptr;
    QAction* duplicateSearch_ = nullptr;
    std::array<QAction*, kCollectionItems> collections_{};
    QAction* collectionSeparator_ = nullptr;
    bool collectionsShown_ = false;
    QList<QAction*> later_;
    QAction* job(QMenu* menu, const QString& caption, MaintenanceJob j);
    QMenu* merge_ = nullptr;
    QMenu* plusMerge_ = nullptr;
    QMenu* sort_ = nullptr;
    QMenu* removeSame_ = nullptr;
    QAction* convert_ = nullptr;
    QMenu* plusTools_ = nullptr;
};

}  // namespace movra
