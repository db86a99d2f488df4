#pragma once
// The move list (KifBox1) and its caption picture. The list draws the visible lines of the game on
// the paper background, the selected line in black on cyan; it leaves the arrow, Home and End
// keys to the main window, and reports clicks, which the main window turns into jumps.
#include <QListWidget>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

namespace movra {

class MoveListView : public QListWidget {
    Q_OBJECT
public:
    explicit MoveListView(QWidget* parent = nullptr);

    void setBackground(const QPixmap& background);
    void setLineFont(int pixelSize);
    // Shows the lines, selects one (-1 none) and scrolls so that `topLine` is the first visible
    // line (further when the selection would be out of sight).
    void setLines(const QStringList& lines, int selection, int topLine);
    int selectedLine() const;
    int visibleLineCount() const;

signals:
    void lineClicked(int index);
    // Enter, a double click, or a right click on an empty list: the move comment (a later
    // function) is asked for.
    void commentRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background_;
    QStringList lines_;
};

// The caption picture above the list: "（全表示）" or "（一手毎）" in white bold "ＭＳ 明朝" on the
// lacquer of the panel. A click asks for the other list style.
class ListCaption : public QWidget {
    Q_OBJECT
public:
    explicit ListCaption(QWidget* parent = nullptr);
    void setBackground(const QPixmap& panel);
    void setWholeGame(bool wholeGame);
    QString text() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap panel_;
    bool wholeGame_ = true;
};

}  // namespace movra
