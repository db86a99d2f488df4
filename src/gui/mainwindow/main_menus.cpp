#include "gui/mainwindow/main_menus.h"

#include <QFileInfo>

#include "gui/common/not_available.h"

namespace movra {

QAction* MainMenus::later(QMenu* menu, const QString& caption, const QString& objectName) {
    QAction* action = MarkNotAvailableYet(menu->addAction(caption));
    if (!objectName.isEmpty()) action->setObjectName(objectName);
    later_.append(action);
    return action;
}

QAction* MainMenus::live(QMenu* menu, const QString& caption, const QString& objectName,
                         void (MainMenus::*signal)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, signal);
    return action;
}

QAction* MainMenus::job(QMenu* menu, const QString& caption, MaintenanceJob j) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QStringLiteral("Maintenance%1").arg(int(j)));
    connect(action, &QAction::triggered, this, [this, j] { emit maintenanceChosen(int(j)); });
    return action;
}

void MainMenus::setStoreKind(int kind) {
    const bool extended = kind == 1;
    merge_->menuAction()->setVisible(!extended);
    plusMerge_->menuAction()->setVisible(extended);
    sort_->setTitle(extended ? QStringLiteral("Movraﾌﾟﾗｽﾌｧｲﾙ･ｿｰﾄ(&S)") : QStringLiteral("Movraﾌｧｲﾙ･ｿｰﾄ(&S)"));
    removeSame_->setTitle(extended ? QStringLiteral("Movraﾌﾟﾗｽ重複削除(&U)") : QStringLiteral("Movra棋譜重複削除(&U)"));
    convert_->setVisible(!extended);
    plusTools_->menuAction()->setVisible(extended);
}

void MainMenus::setStoreOpen(bool open) {
    for (QAction* a : {renameStore_, importFiles_, importFolder_, importLisvek_, importClipboard_,
                       duplicateSearch_}) {
        // Entering a game keeps them shut; they come back as the store left them.
        bool kept = false;
        for (auto& [action, enabled] : inputLockedItems_) {
            if (action == a) {
                enabled = open;
                kept = true;
            }
        }
        if (!kept) a->setEnabled(open);
    }
}

void MainMenus::setExtendedStore(bool extended) { setStoreKind(extended ? 1 : 0); }

void MainMenus::setDataCollections(const QStringList& names) {
    bool any = false;
    for (int i = 0; i < kCollectionItems; ++i) {
        QAction* a = collections_[i];
        if (i < names.size()) {
            a->setText(QStringLiteral("&# %1").arg(names[i]));
            a->setVisible(true);
            any = true;
        } else {
            a->setVisible(false);
        }
    }
    collectionsShown_ = any;
}

MainMenus::MainMenus(QMenuBar* bar) : QObject(bar), bar_(bar) {
    BuildFileMenu();
    BuildToolsMenu();
    BuildViewMenu();
    BuildSettingsAndHelpMenus();
    for (QMenu* menu : bar_->findChildren<QMenu*>()) menu->setToolTipsVisible(true);
}

void MainMenus::BuildFileMenu() {
    QMenu* file = bar_->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("MENU01"));
    openStore_ = live(file, QStringLiteral("棋譜読込(&O)"), QStringLiteral("MENU01_1"),
                      &MainMenus::openStoreChosen);
    newStore_ = live(file, QStringLiteral("新規作成(&N)"), QStringLiteral("MENU01_2"),
                     &MainMenus::newStoreChosen);
    renameStore_ = live(file, QStringLiteral("棋譜ﾌｧｲﾙ名変更(&C)"), QStringLiteral("MENU01_3"),
                        &MainMenus::renameChosen);
    file->addSeparator();
    BuildEntryMenu(file);
    QMenu* import = file->addMenu(QStringLiteral("棋譜ｲﾝﾎﾟｰﾄ(&I)"));
    import_ = import;
    importFiles_ = live(import, QStringLiteral("ファイル指定(&F)"), QStringLiteral("MENU01_5_1"),
                        &MainMenus::importFilesChosen);
    importFolder_ = live(import, QStringLiteral("フォルダ指定(&D)"), QStringLiteral("MENU01_5_2"),
                         &MainMenus::importFolderChosen);
    importLisvek_ = live(import, QStringLiteral("Lisvek(&P)"), QStringLiteral("MENU01_5_3"),
                         &MainMenus::importLisvekChosen);
    importClipboard_ = live(import, QStringLiteral("クリップボード(&C)"), QStringLiteral("MENU01_5_4"),
                            &MainMenus::importClipboardChosen);
    datImport_ = later(file, QStringLiteral("DATﾌｧｲﾙ取込(&G)"));
    datImport_->setVisible(false);
    clipboardOutput_ = later(file, QStringLiteral("棋譜ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力(&C)"));
    textMenu_ = file->addMenu(QStringLiteral("ﾃｷｽﾄ(&T)"));
    textOutput_ = later(textMenu_, QStringLiteral("棋譜ﾌｧｲﾙ出力(&K)"), QStringLiteral("TextListingFile"));
    QMenu* positionFile = textMenu_->addMenu(QStringLiteral("局面ﾌｧｲﾙ出力(&M)"));
    positionGaiji_ = later(positionFile, QStringLiteral("外字出力(&G)"), QStringLiteral("TextPositionGaiji"));
    positionStandard_ = later(positionFile, QStringLiteral("標準文字出力(&S)"), QStringLiteral("TextPositionStandard"));
    positionClipboard_ = later(textMenu_, QStringLiteral("局面ｸﾘｯﾌﾟﾎﾞｰﾄﾞ出力(&N)"), QStringLiteral("TextPositionClipboard"));
    bitmapMenu_ = file->addMenu(QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(&B)"));  // filled by the diagram commands
    bitmapMenu_->setObjectName(QStringLiteral("MENU01_10"));
    bitmapOutput_ = bitmapMenu_->menuAction();
    export_ = file->addMenu(QStringLiteral("棋譜ｴｸｽﾎﾟｰﾄ(&E)"));
    kakinoki_ = later(export_, QStringLiteral("棋譜ｴｸｽﾎﾟｰﾄ[柿木形式](&E)"));
    export_->menuAction()->setVisible(false);
    for (const QString& caption : {QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 6x5](&i)"),
                                   QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 7x6](&j)"),
                                   QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力[i mode 9x9](&j)")}) {
        QAction* a = later(file, caption);
        a->setVisible(false);
        imode_.append(a);
    }
    file->addSeparator();
    QMenu* diagrams = file->addMenu(QStringLiteral("局面図(&K)"));
    positionNew_ = later(diagrams, QStringLiteral("新規作成(&N)"), QStringLiteral("MENU01_K_1"));
    positionOpen_ = later(diagrams, QStringLiteral("読込(&O)"), QStringLiteral("MENU01_K_2"));
    positionSave_ = later(diagrams, QStringLiteral("上書き保存(&S)"), QStringLiteral("MENU01_K_3"));
    positionSaveAs_ = later(diagrams, QStringLiteral("名前を付けて保存(&A)..."), QStringLiteral("MENU01_K_4"));
    positionWindow_ = later(file, QStringLiteral("局面編集/印刷(&E)"), QStringLiteral("MENU01_E"));
    file->addSeparator();
    printGame_ = later(file, QStringLiteral("棋譜印刷(&P)"));
    printForm_ = later(file, QStringLiteral("棋譜用紙印刷(&Y)"));
    recentSeparator_ = file->addSeparator();
    collectionSeparator_ = recentSeparator_;
    for (int i = 0; i < 10; ++i) {
        QAction* a = file->addAction(QString());
        a->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, i] { emit recentChosen(i); });
        recent_[i] = a;
    }
    for (int i = 0; i < kCollectionItems; ++i) {
        QAction* a = file->addAction(QString());
        a->setObjectName(QStringLiteral("Collection%1").arg(i + 1));
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, i] { emit dataCollectionChosen(i); });
        collections_[i] = a;
    }
    file->addSeparator();
    exit_ = file->addAction(QStringLiteral("終了(&X)"));
    exit_->setObjectName(QStringLiteral("MENU01_X"));
    connect(exit_, &QAction::triggered, this, &MainMenus::exitChosen);
}

// Entering and correcting games: starting, changing the header, saving, and the ways a game ends.
void MainMenus::BuildEntryMenu(QMenu* file) {
    entry_ = file->addMenu(QStringLiteral("棋譜入力(&K)"));
    entry_->setObjectName(QStringLiteral("MENU01_4"));
    newGame_ = live(entry_, QStringLiteral("棋譜新規入力(&N)"), QStringLiteral("MENU01_4_1"),
                    &MainMenus::newGameChosen);
    correct_ = live(entry_, QStringLiteral("棋譜修正(&E)"), QStringLiteral("MENU01_4_2"),
                    &MainMenus::correctionChosen);
    changeInfo_ = live(entry_, QStringLiteral("棋譜情報変更(&I)"), QStringLiteral("MENU01_4_3"),
                       &MainMenus::changeInfoChosen);
    entry_->addSeparator();
    saveNew_ = live(entry_, QStringLiteral("棋譜新規保存(&A)"), QStringLiteral("MENU01_4_4"),
                    &MainMenus::saveNewChosen);
    saveOver_ = live(entry_, QStringLiteral("棋譜修正保存(&M)"), QStringLiteral("MENU01_4_5"),
                     &MainMenus::saveOverChosen);
    entry_->addSeparator();
    const auto ending = [this](QMenu* menu, const QString& caption, GameEnding how) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QStringLiteral("MENU01_4_End%1").arg(int(how)));
        connect(a, &QAction::triggered, this, [this, how] { emit endChosen(how); });
        endings_.append(a);
        return a;
    };
    ending(entry_, QStringLiteral("投了(&T)"), GameEnding::Resign);
    ending(entry_, QStringLiteral("中断(&C)"), GameEnding::Interrupt);
    otherEndings_ = entry_->addMenu(QStringLiteral("その他の終了(&E)"));
    otherEndings_->setObjectName(QStringLiteral("MENU01_4_Other"));
    ending(otherEndings_, QStringLiteral("千日手(&S)"), GameEnding::Repetition);
    ending(otherEndings_, QStringLiteral("持将棋(&J)"), GameEnding::Impasse);
    ending(otherEndings_, QStringLiteral("反則負け(&H)"), GameEnding::Foul);
    otherEndings_->addSeparator();
    ending(otherEndings_, QStringLiteral("以下先手勝ち(&E)"), GameEnding::LaterSenteWins);
    ending(otherEndings_, QStringLiteral("以下後手勝ち(&O)"), GameEnding::LaterGoteWins);
    ending(otherEndings_, QStringLiteral("以下千日手(&N)"), GameEnding::LaterRepetition);
    ending(otherEndings_, QStringLiteral("以下持将棋(&J)"), GameEnding::LaterImpasse);
}

void MainMenus::setEntryState(const EntryState& state) {
    newGame_->setEnabled(!state.inputActive);
    correct_->setEnabled(!state.inputActive && state.storedGameShown);
    changeInfo_->setVisible(state.inputActive);
    saveNew_->setEnabled(!state.inputActive && state.saveNew);
    saveOver_->setEnabled(!state.inputActive && state.saveOver);
    for (QAction* a : endings_) a->setEnabled(state.inputActive);
    otherEndings_->menuAction()->setEnabled(state.inputActive);
}

void MainMenus::setInputLock(bool locked) {
    if (locked == inputLocked_) return;
    inputLocked_ = locked;
    if (locked) {
        // What entering a game shuts: opening and making stores, the recent stores, importing,
        // exporting and printing. Each comes back as it was.
        inputLockedItems_.clear();
        QList<QAction*> shut{openStore_, newStore_, renameStore_, import_->menuAction(), importFiles_,
                             importFolder_, importLisvek_, importClipboard_,
                             export_->menuAction(), datImport_, clipboardOutput_, textMenu_->menuAction(),
                             bitmapOutput_, printGame_, printForm_};
        for (QAction* a : recent_) shut.append(a);
        for (QAction* a : collections_) shut.append(a);
        for (QAction* a : shut) {
            inputLockedItems_.emplace_back(a, a->isEnabled());
            a->setEnabled(false);
        }
    } else {
        for (const auto& [action, enabled] : inputLockedItems_) action->setEnabled(enabled);
        inputLockedItems_.clear();
    }
}

// Store maintenance and master data.
void MainMenus::BuildToolsMenu() {
    QMenu* tools = bar_->addMenu(QStringLiteral("ツール(&T)"));
    tools->setObjectName(QStringLiteral("MENU02"));
    // The store maintenance items (gui/maintenance/maintenance_commands.h); which of them show
    // depends on the open store's kind (setStoreKind).
    merge_ = tools->addMenu(QStringLiteral("Movraﾌｧｲﾙ併合(&M)"));
    job(merge_, QStringLiteral("配布ﾃﾞｰﾀ併合(&H)"), DistributedMerge);
    job(merge_, QStringLiteral("Movraﾌｧｲﾙ完全合併(&P)"), CompleteMerge);
    job(merge_, QStringLiteral("Movraﾌｧｲﾙ合併(&K)"), Merge);
    job(merge_, QStringLiteral("Movraﾌｧｲﾙ接合(&C)"), Concatenate);
    plusMerge_ = tools->addMenu(QStringLiteral("Movraﾌﾟﾗｽﾌｧｲﾙ併合(&M)"));
    job(plusMerge_, QStringLiteral("Movraﾌﾟﾗｽﾌｧｲﾙ接合(&C)"), Concatenate);
    sort_ = tools->addMenu(QStringLiteral("Movraﾌｧｲﾙ･ｿｰﾄ(&S)"));
    job(sort_, QStringLiteral("日付逆順(&D)"), SortDescending);
    job(sort_, QStringLiteral("日付昇順(&A)"), SortAscending);
    removeSame_ = tools->addMenu(QStringLiteral("Movra棋譜重複削除(&U)"));
    duplicates_ = removeSame_;
    job(removeSame_, QStringLiteral("同一棋譜削除(&D)"), RemoveSameGames);
    duplicateSearch_ = live(removeSame_, QStringLiteral("重複棋譜検索(&K)"), QStringLiteral("MENU02_4_2"),
                            &MainMenus::duplicateSearchChosen);
    convert_ = job(tools, QStringLiteral("Movra→Movraﾌﾟﾗｽ･ｺﾝﾊﾞｰﾄ(&P)"), ConvertClassic);
    plusTools_ = tools->addMenu(QStringLiteral("Movraﾌﾟﾗｽﾃﾞｰﾀ･ﾂｰﾙ(&T)"));
    job(plusTools_, QStringLiteral("棋士番号一括設定(&K)"), SetPlayerNumbers);
    QMenu* backup = tools->addMenu(QStringLiteral("バックアップ(&B)"));
    job(backup, QStringLiteral("棋譜ファイル(&K)"), BackupStore);
    job(backup, QStringLiteral("DATファイル(&D)"), BackupDat);
    setStoreKind(0);
}

void MainMenus::BuildViewMenu() {
    QMenu* view = bar_->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("MENU03"));
    view_ = view;
    auto* sizes = new QActionGroup(this);
    const QString sizeCaptions[3] = {QStringLiteral("拡大盤面で表示[1024x768](&L)"),
                                     QStringLiteral("標準盤面で表示[800x600](&M)"),
                                     QStringLiteral("縮小盤面で表示[640x480](&S)")};
    for (int mode : {2, 1, 0}) {
        QAction* a = view->addAction(sizeCaptions[mode]);
        a->setCheckable(true);
        a->setActionGroup(sizes);
        connect(a, &QAction::triggered, this, [this, mode] { emit sizeChosen(mode); });
        size_[mode] = a;
    }
    view->addSeparator();
    auto* colors = new QActionGroup(this);
    color_[0] = view->addAction(QStringLiteral("256色モード(盤･駒台)で表示(&N)"));
    color_[1] = view->addAction(QStringLiteral("ﾊｲｶﾗｰﾓｰﾄﾞ(盤･駒台)で表示(&H)"));
    for (int c : {0, 1}) {
        color_[c]->setCheckable(true);
        color_[c]->setActionGroup(colors);
        connect(color_[c], &QAction::triggered, this, [this, c] { emit colorChosen(c); });
    }
    view->addSeparator();
    comment_ = view->addAction(QStringLiteral("コメント表示(&C)"));
    comment_->setCheckable(true);
    connect(comment_, &QAction::toggled, this, &MainMenus::commentToggled);
    live(view, QStringLiteral("駒変更(&K)"), QStringLiteral("MENU03_K"), &MainMenus::pieceSetChosen);
}

void MainMenus::BuildSettingsAndHelpMenus() {
    QMenu* settings = bar_->addMenu(QStringLiteral("設定(&S)"));
    settings->setObjectName(QStringLiteral("MENU04"));
    settings_ = settings;
    live(settings, QStringLiteral("動作環境(&E)"), QStringLiteral("MENU04_1"), &MainMenus::environmentChosen);
    settings->addSeparator();
    live(settings, QStringLiteral("棋士名登録/変更(&T)"), QStringLiteral("MENU04_2"), &MainMenus::masterPlayersChosen);
    live(settings, QStringLiteral("棋戦名登録/変更(&K)"), QStringLiteral("MENU04_3"),
         &MainMenus::masterTournamentsChosen);
    live(settings, QStringLiteral("戦型名登録/変更(&S)"), QStringLiteral("MENU04_4"), &MainMenus::masterOpeningsChosen);
    // The master files' folder, the hidden bulk change of a player number and the font of the
    // user-defined characters belong to the settings as well.
    datSwitch_ = live(settings, QStringLiteral("DATﾌｧｲﾙ切替(&D)"), QStringLiteral("MENU04_5"),
                      &MainMenus::datSwitchChosen);
    playerNumbersSeparator_ = settings->addSeparator();
    playerNumbersSeparator_->setVisible(false);
    playerNumbers_ = job(settings, QStringLiteral("棋士番号一括変換(&N)"), ReplacePlayerNumber);
    playerNumbers_->setVisible(false);
    settings->addSeparator();
    gaiji_ = later(settings, QStringLiteral("外字登録(&G)"));

    QMenu* help = bar_->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("MENU05"));
    later(help, QStringLiteral("バージョン情報(&A)"));
}

void MainMenus::setSizeMode(int mode) {
    if (mode >= 0 && mode < 3) size_[mode]->setChecked(true);
    setCaptionsForSize(mode);
}

void MainMenus::setLargeModeAvailable(bool available) { size_[0]->setEnabled(available); }

void MainMenus::setColor(int color) { colorAction(color)->setChecked(true); }

void MainMenus::setCommentChecked(bool checked) {
    const QSignalBlocker block(comment_);
    comment_->setChecked(checked);
}

bool MainMenus::commentChecked() const { return comment_->isChecked(); }

void MainMenus::setRecentStores(const std::array<QString, 10>& paths) {
    bool any = false;
    for (int i = 0; i < 10; ++i) {
        const QString& path = paths[i];
        QAction* a = recent_[i];
        if (path.isEmpty()) {
            a->setVisible(false);
            continue;
        }
        QString name = path;
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const int key = (i + 1) % 10;
        a->setText(QStringLiteral("&%1 %2").arg(key).arg(QFileInfo(name).fileName()));
        a->setToolTip(path);
        a->setEnabled(true);
        a->setVisible(true);
        any = true;
    }
    recentSeparator_->setVisible(any || collectionsShown_);
}

void MainMenus::setCaptionsForSize(int mode) {
    bitmapOutput_->setText(mode == 0 ? QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ出力(&B)") : QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(&B)"));
    textMenu_->menuAction()->setText(mode == 0 ? QStringLiteral("ﾃｷｽﾄ出力(&T)") : QStringLiteral("ﾃｷｽﾄ(&T)"));
}

void MainMenus::showPlayerNumberItem() {
    playerNumbers_->setVisible(true);
    playerNumbersSeparator_->setVisible(true);
}

void MainMenus::showImodeItems() {
    for (QAction* a : imode_) a->setVisible(true);
}

void MainMenus::makeLive(QAction* action) {
    later_.removeAll(action);
    action->setProperty("notAvailableYet", false);
    action->setToolTip(QString());
    action->setEnabled(true);
}

void MainMenus::showExportMenu() { export_->menuAction()->setVisible(true); }

}  // namespace movra
