#pragma once
// The main window's menus. The commands of this stage (board size, colours, the comment window,
// the recent stores, closing) are live; every item whose function comes in a later stage is
// there, disabled, with a tooltip that says so.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QObject>

#include <array>

namespace movra {

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
    QMenu* importMenu() const { return import_; }
    // The items study mode turns off: game input, text output and clipboard output of the game.
    QMenu* gameEntryMenu() const { return entry_; }
    QAction* textOutputAction() const { return textOutput_; }
    QAction* clipboardOutputAction() const { return clipboardOutput_; }
    // Where the diagram commands put their items.
    QMenu* bitmapMenu() const { return bitmapMenu_; }
    const QList<QAction*>& imodeItems() const { return imode_; }
    QMenu* settingsMenu() const { return settings_; }
    QAction* gaijiItem() const { return gaiji_; }
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

private:
    // The menus left to right: ファイル, ツール, 表示, then 設定 and ヘルプ.
    void BuildFileMenu();
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
    QAction* gaiji_ = nullptr;
    QAction* textOutput_ = nullptr;
    QAction* clipboardOutput_ = nullptr;
    QMenu* entry_ = nullptr;
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
    std::array<QAction*, kCollectionItems> collections_{};
    QAction* collectionSeparator_ = nullptr;
    bool collectionsShown_ = false;
    QList<QAction*> later_;
};

}  // namespace movra
