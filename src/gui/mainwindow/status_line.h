#pragma once
// The status line (StatusBar1): panel 0 the consumed or remaining time, panel 1 the game's date,
// tournament, game number and opening. A click on panel 0 asks to switch the time view.
#include <QLabel>
#include <QStatusBar>

namespace movra {

class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);
    void setTimeText(const QString& text);
    void setHeaderText(const QString& text);
    QString timeText() const;
    QString headerText() const;
    QLabel* timePanel() const { return time_; }

signals:
    void timePanelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* time_;
    QLabel* header_;
};

}  // namespace movra
