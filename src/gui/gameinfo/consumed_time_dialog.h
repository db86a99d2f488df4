#pragma once
// The consumed-time editor (TFormTime, "消費時間一括入力"): every move's time of one game in one
// list, typed move by move or as a chess clock's running totals. The rules are core's
// (gameinfo/consumed_times.h).
#include <QDialog>

#include <array>
#include <cstdint>

#include "core/gameinfo/consumed_times.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace movra {

class ConsumedTimeDialog : public QDialog {
    Q_OBJECT
public:
    // Game k of the store (or, for a game not stored yet, the caller's copies in `source`).
    ConsumedTimeDialog(ConsumedTimeSource source, const GameStore& store, long k,
                       int overflowNumber, Prompter& prompter, QWidget* parent = nullptr);

    // At least one update was made: the caller takes Times().
    bool updated() const { return updated_; }
    ConsumedTimes Times() const { return editor_.Times(); }
    const ConsumedTimeEditor& editor() const { return editor_; }

    void Set(bool moveOn);  // "設定"
    void Update();          // "更新"
    void Select(int line);
    QListWidget* list() const { return list_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Refresh(int line);
    void RefreshTotals();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ConsumedTimeEditor editor_;
    const GameStore& store_;
    long k_;
    int overflowNumber_;
    Prompter& prompter_;
    bool updated_ = false;
    bool fieldsChanged_ = false;

    QListWidget* list_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLineEdit* seconds_ = nullptr;
    std::array<QRadioButton*, 2> modes_{};
    QLabel* totalHeading_ = nullptr;
    std::array<QLabel*, 2> totals_{};
};

}  // namespace movra
