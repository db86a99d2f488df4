#include "gui/maintenance/duplicate_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/store/open_store.h"
#include "core/store/record_file.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

using namespace movra::literals;

namespace {

QCheckBox* Box(const QString& caption, const char* name, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

}  // namespace

DuplicateDialog::DuplicateDialog(StoreSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), session_(session), prompter_(prompter) {
    setObjectName(QStringLiteral("TFormChofuku"));
    setWindowTitle(QStringLiteral("重複棋譜検索-条件設定"));
    auto* group = new QGroupBox(QStringLiteral("チェック項目"), this);
    auto* grid = new QGridLayout(group);
    players_ = Box(QStringLiteral("対局者"), "KishiCheck", true, group);
    date_ = Box(QStringLiteral("対局日"), "DateCheck", false, group);
    result_ = Box(QStringLiteral("勝敗"), "ShohaiCheck", false, group);
    tournament_ = Box(QStringLiteral("棋戦名"), "MovraCheck", false, group);
    gameNumber_ = Box(QStringLiteral("局"), "KyokuCheck", false, group);
    opening_ = Box(QStringLiteral("戦形"), "SenkeiCheck", false, group);
    handicap_ = Box(QStringLiteral("手合い"), "TeaiCheck", false, group);
    moves_ = Box(QStringLiteral("棋譜（手順）"), "KifCheck", false, group);
    final_ = Box(QStringLiteral("最終図"), "LastCheck", false, group);
    const QCheckBox* order[] = {players_, date_, result_, tournament_, gameNumber_, opening_, handicap_,
                                moves_, final_};
    for (int i = 0; i < 9; ++i) {
        grid->addWidget(const_cast<QCheckBox*>(order[i]), i % 5, i / 5);
        connect(order[i], &QCheckBox::toggled, this, &DuplicateDialog::UpdateEnabled);
    }
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("OkBtn"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &DuplicateDialog::Search);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
    UpdateEnabled();
}

QCheckBox* DuplicateDialog::box(const char* objectName) const {
    return findChild<QCheckBox*>(QString::fromLatin1(objectName));
}

DuplicateCriteria DuplicateDialog::criteria() const {
    DuplicateCriteria c;
    c.players = players_->isChecked();
    c.date = date_->isChecked();
    c.result = result_->isChecked();
    c.tournament = tournament_->isChecked();
    c.gameNumber = gameNumber_->isChecked();
    c.opening = opening_->isChecked();
    c.handicap = handicap_->isChecked();
    c.moves = moves_->isChecked();
    c.finalPosition = final_->isChecked();
    return c;
}

void DuplicateDialog::UpdateEnabled() {
    const bool enabled = !criteria().otherFieldsDisabled();
    for (QCheckBox* b : {result_, tournament_, gameNumber_, opening_, handicap_}) b->setEnabled(enabled);
}

bool DuplicateDialog::Open() {
    PlaceCentred(this, parentWidget());
    return exec() == QDialog::Accepted;
}

void DuplicateDialog::Finish(long found) {
    QApplication::beep();
    if (found > 0) accept();
}

// Runs a search or check with the hourglass; a game-data file that cannot be read ends it
// with its message (the catalogue is then as the search left it: reloaded, or unchanged).
long DuplicateDialog::Guarded(const std::function<long()>& run) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    long found = 0;
    try {
        found = run();
    } catch (const StoreIoError& e) {
        prompter_.EndProgress();
        prompter_.Warn("\r"_sj + PathText(e.path()) + " 読込エラー！"_sj);
    }
    QApplication::restoreOverrideCursor();
    return found;
}

void DuplicateDialog::Search() {
    Finish(Guarded([this] { return RunDuplicateSearch(session_, criteria(), prompter_).sets; }));
}

void DuplicateDialog::RunCheck(const ChordRequest& request) {
    int value = 0;
    if (request.check == AnomalyCheck::Length) {
        const QString prefill(QChar::fromLatin1(request.typed));
        std::optional<QString> typed;
        if (askLength_) {
            typed = askLength_(prefill);
        } else {
            bool ok = false;
            const QString text = QInputDialog::getText(this, QStringLiteral("手数指定棋譜検索"),
                                                       QStringLiteral("手数指定"), QLineEdit::Normal,
                                                       prefill, &ok);
            if (ok) typed = text;
        }
        if (!typed) return;
        const std::optional<int> v = ParseLengthValue(ToCp932(typed->trimmed()));
        if (!v) return;
        value = *v;
    }
    Finish(Guarded([&] { return RunAnomalyCheck(session_, request.check, value, prompter_); }));
}

void DuplicateDialog::keyPressEvent(QKeyEvent* event) {
    ChordKey key;
    const int k = event->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) key.letter = char('A' + (k - Qt::Key_A));
    key.ctrl = event->modifiers() & Qt::ControlModifier;
    key.shift = event->modifiers() & Qt::ShiftModifier;
    key.alt = event->modifiers() & Qt::AltModifier;
    key.modifierOnly = k == Qt::Key_Control || k == Qt::Key_Shift || k == Qt::Key_Alt || k == Qt::Key_Meta;
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() < 128 && text[0].isPrint()) key.typed = char(text[0].unicode());
    // With Ctrl held the key types no character: the letter stands in for it.
    if (key.typed == 0 && key.letter != 0 && !key.ctrl) key.typed = key.shift ? key.letter : char(key.letter + 32);
    if (const std::optional<ChordRequest> request = chords_.Press(key)) {
        event->accept();
        RunCheck(*request);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace movra
