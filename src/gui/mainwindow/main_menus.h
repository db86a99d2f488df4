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

    QAction* sizeAction(int mode) const { return size_[mode]; }
    QAction* colorAction(int color) const { return color_[color == 1 ? 1 : 0]; }
    QAction* commentAction() const { return comment_; }
    QAction* exitAction() const { return exit_; }
    QAction* recentAction(int index) const { return recent_[index]; }
    QAction* playerNumberAction() const { return playerNumbers_; }
    QMenu* exportMenu() const { return export_; }
    // Every item of a later stage, for tests.
    const QList<QAction*>& laterItems() const { return later_; }

signals:
    void sizeChosen(int mode);
    void colorChosen(int color);
    void commentToggled(bool checked);
    void recentChosen(int index);
    void exitChosen();

private:
    QAction* later(QMenu* menu, const QString& caption, const QString& objectName = {});

    QMenuBar* bar_;
    std::array<QAction*, 3> size_{};
    std::array<QAction*, 2> color_{};
    std::array<QAction*, 10> recent_{};
    QAction* recentSeparator_ = nullptr;
    QAction* comment_ = nullptr;
    QAction* exit_ = nullptr;
    QAction* bitmapOutput_ = nullptr;
    QAction* textOutput_ = nullptr;
    QAction* playerNumbers_ = nullptr;
    QAction* playerNumbersSeparator_ = nullptr;
    QList<QAction*> imode_;
    QMenu* export_ = nullptr;
    QList<QAction*> later_;
};

}  // namespace movra
