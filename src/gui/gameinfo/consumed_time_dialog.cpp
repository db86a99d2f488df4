#include "gui/gameinfo/consumed_time_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"

namespace movra {

ConsumedTimeDialog::ConsumedTimeDialog(ConsumedTimeSource source, const GameStore& store, long k,
                                       int overflowNumber, Prompter& prompter, QWidget* parent)
    : QDialog(parent), editor_(std::move(source)), store_(store), k_(k),
      overflowNumber_(overflowNumber), prompter_(prompter) {
    setObjectName(QStringLiteral("FormTime"));
    setWindowTitle(QStringLiteral("消費時間一括入力"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("TimeList"));
    list_->setFont(SystemFont(kGothic, 13));
    list_->setMinimumWidth(300);
    list_->setMinimumHeight(360);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { Select(row); });
    layout->addWidget(list_, 1);

    auto* side = new QVBoxLayout;
    modes_[0] = new QRadioButton(QStringLiteral("通常方式　　　　　（一手毎入力）"), this);
    modes_[0]->setObjectName(QStringLiteral("ModeRadio1"));
    modes_[1] = new QRadioButton(QStringLiteral("チェスクロック方式（通計入力）"), this);
    modes_[1]->setObjectName(QStringLiteral("ModeRadio2"));
    auto* group = new QButtonGroup(this);
    group->addButton(modes_[0], 0);
    group->addButton(modes_[1], 1);
    modes_[std::size_t(editor_.mode())]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        editor_.setMode(id);
        RefreshTotals();
    });
    side->addWidget(modes_[0]);
    side->addWidget(modes_[1]);

    auto* fields = new QHBoxLayout;
    const auto field = [this](const QString& name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setFixedWidth(48);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        e->installEventFilter(this);
        // Typing counts as a change even before it is set: closing asks first.
        connect(e, &QLineEdit::textEdited, this, [this] {
            fieldsChanged_ = true;
            editor_.setModified(true);
        });
        return e;
    };
    minutes_ = field(QStringLiteral("MinEdit"));
    seconds_ = field(QStringLiteral("SecEdit"));
    fields->addWidget(minutes_);
    fields->addWidget(new QLabel(QStringLiteral("分"), this));
    fields->addWidget(seconds_);
    fields->addWidget(new QLabel(QStringLiteral("秒"), this));
    auto* set = new QPushButton(QStringLiteral("設定"), this);
    set->setObjectName(QStringLiteral("SetBtn"));
    // The button leaves the focus in the field, so that what is typed is what is set.
    set->setFocusPolicy(Qt::NoFocus);
    connect(set, &QPushButton::clicked, this, [this] { Set(true); });
    fields->addWidget(set);
    side->addLayout(fields);

    totalHeading_ = new QLabel(QStringLiteral("【計】"), this);
    totalHeading_->setObjectName(QStringLiteral("TotalLabel"));
    side->addWidget(totalHeading_);
    for (int i = 0; i < 2; ++i) {
        totals_[std::size_t(i)] = new QLabel(this);
        totals_[std::size_t(i)]->setObjectName(QStringLiteral("TotalLabel%1").arg(i + 1));
        side->addWidget(totals_[std::size_t(i)]);
    }
    side->addStretch(1);
    auto* update = new QPushButton(QStringLiteral("更新"), this);
    update->setObjectName(QStringLiteral("UpdateBtn"));
    update->setAutoDefault(false);
    connect(update, &QPushButton::clicked, this, &ConsumedTimeDialog::Update);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &ConsumedTimeDialog::reject);
    side->addWidget(update);
    side->addWidget(close);
    layout->addLayout(side);

    {
        const QSignalBlocker block(list_);
        for (int line = 0; line < editor_.lineCount(); ++line) list_->addItem(ToQString(editor_.LineText(line)));
    }
    RefreshTotals();
    list_->setCurrentRow(0);
    Select(0);
    editor_.setModified(false);
}

void ConsumedTimeDialog::Select(int line) {
    if (line < 0 || line >= editor_.lineCount()) return;
    if (list_->currentRow() != line) {
        const QSignalBlocker block(list_);
        list_->setCurrentRow(line);
    }
    const auto [m, s] = editor_.Fields(line);
    minutes_->setText(QString::fromStdString(m));
    seconds_->setText(QString::fromStdString(s));
    fieldsChanged_ = false;
}

void ConsumedTimeDialog::Refresh(int line) {
    if (QListWidgetItem* item = list_->item(line)) item->setText(ToQString(editor_.LineText(line)));
}

void ConsumedTimeDialog::RefreshTotals() {
    const bool perMove = editor_.mode() == 0;
    totalHeading_->setVisible(perMove);
    const auto labels = editor_.TotalLabels();
    totals_[0]->setText(ToQString(labels.first));
    totals_[1]->setText(ToQString(labels.second));
    for (QLabel* l : totals_) l->setVisible(perMove);
}

void ConsumedTimeDialog::Set(bool moveOn) {
    const int line = list_->currentRow();
    if (!editor_.SetTime(line, minutes_->text().toStdString(), seconds_->text().toStdString())) {
        QApplication::beep();
        return;
    }
    Refresh(line);
    RefreshTotals();
    if (moveOn && line + 1 < editor_.lineCount()) Select(line + 1);
    minutes_->setFocus();
}

void ConsumedTimeDialog::Update() {
    std::optional<int> bad;
    if (UpdateConsumedTimes(editor_, store_, k_, overflowNumber_, prompter_, bad)) {
        updated_ = true;
        return;
    }
    if (bad) Select(*bad);
}

bool ConsumedTimeDialog::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == minutes_ || watched == seconds_) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
                (watched == minutes_ ? seconds_ : minutes_)->setFocus();
                return true;
            case Qt::Key_Up:
                Select(list_->currentRow() - 1);
                return true;
            case Qt::Key_Down: {
                const int line = list_->currentRow();
                Set(false);
                Select(line + 1);
                return true;
            }
            case Qt::Key_Return:
            case Qt::Key_Enter:
                Set(false);
                return true;
            default: break;
        }
    }
    if ((watched == minutes_ || watched == seconds_) && event->type() == QEvent::FocusOut) {
        // Leaving a field keeps its first three characters.
        auto* e = static_cast<QLineEdit*>(watched);
        if (e->text().size() > 3) e->setText(e->text().left(3));
    }
    return QDialog::eventFilter(watched, event);
}

void ConsumedTimeDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Set(false);
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConsumedTimeDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    QDialog::mouseDoubleClickEvent(event);
    if (editor_.RoundDownMeasured() == 0) return;
    for (int line = 0; line < editor_.lineCount(); ++line) Refresh(line);
    RefreshTotals();
    Select(list_->currentRow());
}

void ConsumedTimeDialog::closeEvent(QCloseEvent* event) {
    if (editor_.modified() &&
        prompter_.Confirm(TimesNotUpdatedQuestion(), false, true) != Answer::Yes) {
        event->ignore();
        return;
    }
    editor_.setModified(false);
    QDialog::closeEvent(event);
}

void ConsumedTimeDialog::reject() {
    if (editor_.modified() &&
        prompter_.Confirm(TimesNotUpdatedQuestion(), false, true) != Answer::Yes) {
        return;
    }
    editor_.setModified(false);
    QDialog::reject();
}

}  // namespace movra
