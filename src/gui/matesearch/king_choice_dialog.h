#pragma once
// The small dialog that asks which king the mate search is to mate.
#include <QDialog>

class QListWidget;

namespace movra {

class KingChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // preselected: 1 sente's king, 2 gote's; a handicap game names them 下手玉 and 上手玉.
    KingChoiceDialog(int preselected, bool handicapGame, QWidget* parent = nullptr);
    // The chosen king, 1 or 2, after the dialog was accepted.
    int defender() const;

private:
    QListWidget* list_ = nullptr;
};

// Runs the dialog: the king to mate (1 or 2), or 0 when it was cancelled.
int AskDefendingKing(int preselected, bool handicapGame, QWidget* parent);

}  // namespace movra
