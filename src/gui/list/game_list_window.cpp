#include "gui/list/game_list_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/list/byte_grid.h"
#include "core/list/game_list_edit.h"
#include "core/list/save_games_as.h"
#include "core/textio/export_file.h"
#include "gui/common/not_available.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "gui/store/file_chooser.h"
#include "core/store/store_copy.h"
#include "core/store/store_edit.h"
#include "gui/common/placement.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

constexpr int kLineRole = Qt::UserRole + 1;

// Draws a list line on the byte grid; selected lines black on cyan (single mode) or yellow
// (multi mode).
class ListLineDelegate : public QStyledItemDelegate {
public:
    ListLineDelegate(const bool* multi, QObject* parent) : QStyledItemDelegate(parent), multi_(multi) {}
    void setCell(int cell, int lineHeight) {
        cell_ = cell;
        lineHeight_ = lineHeight;
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        if (selected) p->fillRect(option.rect, *multi_ ? QColor(255, 255, 0) : QColor(0, 255, 255));
        p->setFont(option.font);
        p->setPen(QColor(0, 0, 0));
        const QByteArray line = index.data(kLineRole).toByteArray();
        DrawByteGridText(*p, option.rect.left() + 2, option.rect, cell_,
                         std::string_view(line.constData(), std::size_t(line.size())));
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), lineHeight_);
    }

private:
    const bool* multi_;
    int cell_ = 7;
    int lineHeight_ = 20;
};

}  // namespace

// --- the header --------------------------------------------------------------------------------

ListHeaderBar::ListHeaderBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HeaderControl1"));
    setGeometryOfColumns(0, 7, kListNameWidth);
}

void ListHeaderBar::setGeometryOfColumns(int left, int cellWidth, std::size_t nameWidth) {
    using S = GameListWindow::Section;
    const int n = int(nameWidth);
    const QString tournament = columns_.size() > 2 ? columns_[2].text : QStringLiteral("棋戦名");
    const QString info = columns_.size() > 8 ? columns_[8].text : QStringLiteral("手合い");
    int at = 1;
    columns_.clear();
    const auto add = [&](S s, int bytes, const QString& text) {
        columns_.push_back({s, at, bytes, text});
        at += bytes;
    };
    add(S::Sente, n, QStringLiteral("先手"));
    add(S::Gote, n, QStringLiteral("後手"));
    add(S::Tournament, int(kListColumnWidth) + 1, tournament);
    add(S::GameNumber, 3, QStringLiteral("局"));
    add(S::Date, int(kListColumnWidth) + 1, QStringLiteral("対局日"));
    add(S::Result, int(kResultColumnWidth), QStringLiteral("勝敗"));
    add(S::Moves, 5, QStringLiteral("手数"));
    add(S::Opening, int(kListColumnWidth) + 1, QStringLiteral("戦型"));
    add(S::Info, 18, info);
    left_ = left;
    cell_ = cellWidth;
    updateGeometry();
    update();
}

void ListHeaderBar::setTexts(const QString& tournament, const QString& info) {
    columns_[2].text = tournament;
    columns_[8].text = info;
    update();
}

QString ListHeaderBar::text(GameListWindow::Section section) const {
    for (const Column& c : columns_) {
        if (c.section == section) return c.text;
    }
    return {};
}

QRect ListHeaderBar::sectionRect(GameListWindow::Section section) const {
    for (const Column& c : columns_) {
        if (c.section == section) {
            const int x = left_ + c.fromByte * cell_;
            const int w = c.section == GameListWindow::Section::Info ? width() - x : c.bytes * cell_;
            return QRect(x, 0, w, height());
        }
    }
    return {};
}

QSize ListHeaderBar::sizeHint() const { return QSize(left_ + 110 * cell_, fontMetrics().height() + 8); }

void ListHeaderBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    p.setPen(palette().buttonText().color());
    for (const Column& c : columns_) {
        const QRect r = sectionRect(c.section);
        p.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, c.text);
        p.setPen(palette().mid().color());
        p.drawLine(r.right(), 2, r.right(), height() - 3);
        p.setPen(palette().buttonText().color());
    }
    p.setPen(palette().mid().color());
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void ListHeaderBar::mouseReleaseEvent(QMouseEvent* event) {
    for (const Column& c : columns_) {
        if (sectionRect(c.section).contains(event->position().toPoint())) {
            emit sectionClicked(c.section);
            return;
        }
    }
}

// --- the window --------------------------------------------------------------------------------

GameListWindow::GameListWindow(StoreSession& session, Settings& settings, fs::path programFolder,
                               Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      prompter_(prompter) {
    setObjectName(QStringLiteral("FormItiran"));
    setWindowTitle(QStringLiteral("棋譜一覧"));
    setModal(true);
    exportTimer_.setObjectName(QStringLiteral("ExportTimer"));
    exportTimer_.setInterval(200);
    connect(&exportTimer_, &QTimer::timeout, this, &GameListWindow::ExportTick);
    blinkTimer_.setSingleShot(true);
    connect(&blinkTimer_, &QTimer::timeout, this, &GameListWindow::BlinkTick);
    BuildWindow();
    LayOut(1);
}

GameListWindow::~GameListWindow() = default;

void GameListWindow::BuildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    BuildMenus(layout);
    BuildPopupMenu();
    BuildList(layout);
    BuildProgressPanel(layout);
    BuildButtons(layout);
    UpdateEnabling();
}

void GameListWindow::BuildMenus(QVBoxLayout* layout) {
    menuBar_ = new QMenuBar(this);
    layout->setMenuBar(menuBar_);
    QMenu* file = menuBar_->addMenu(QStringLiteral("ファイル(&F)"));
    saveAsAction_ = file->addAction(QStringLiteral("名前を付けて保存(&A)..."));
    connect(saveAsAction_, &QAction::triggered, this, &GameListWindow::SaveGamesAs);
    exportAction_ = file->addAction(QStringLiteral("棋譜ｴｸｽﾎﾟｰﾄ[柿木形式](&E)"));
    exportAction_->setVisible(false);
    connect(exportAction_, &QAction::triggered, this, &GameListWindow::ExportGames);
    printAction_ = file->addAction(QStringLiteral("棋譜印刷(&P)"));
    connect(printAction_, &QAction::triggered, this, &GameListWindow::PrintGames);
    listPrintAction_ = file->addAction(QStringLiteral("一覧印刷(&P)"));
    connect(listPrintAction_, &QAction::triggered, this, &GameListWindow::PrintList);
    file->addSeparator();
    closeAction_ = file->addAction(QStringLiteral("閉じる(&C)"));
    connect(closeAction_, &QAction::triggered, this, &GameListWindow::reject);

    QMenu* edit = menuBar_->addMenu(QStringLiteral("編集(&E)"));
    editAction_ = edit->addAction(QStringLiteral("棋譜修正(&E)"));
    connect(editAction_, &QAction::triggered, this, &GameListWindow::EditGameInformation);
    deleteAction_ = edit->addAction(QStringLiteral("棋譜削除(&D)"));
    connect(deleteAction_, &QAction::triggered, this, [this] { DeleteGames(false); });
    bulkAction_ = edit->addAction(QStringLiteral("棋譜情報一括変更(&C)"));
    connect(bulkAction_, &QAction::triggered, this, &GameListWindow::BulkChange);
    edit->addSeparator();
    markAllAction_ = edit->addAction(QStringLiteral("すべてを選択(&S)"));
    connect(markAllAction_, &QAction::triggered, this, [this] { MarkAll(true); });
    unmarkAllAction_ = edit->addAction(QStringLiteral("すべての選択解除(&R)"));
    connect(unmarkAllAction_, &QAction::triggered, this, [this] { MarkAll(false); });

    QMenu* mode = menuBar_->addMenu(QStringLiteral("モード(&M)"));
    auto* modes = new QActionGroup(this);
    singleAction_ = mode->addAction(QStringLiteral("シングルモード(&S)"));
    multiAction_ = mode->addAction(QStringLiteral("マルチモード(&M)"));
    for (QAction* a : {singleAction_, multiAction_}) {
        a->setCheckable(true);
        a->setActionGroup(modes);
    }
    singleAction_->setChecked(true);
    connect(singleAction_, &QAction::triggered, this, [this] { SetMultiMode(false); });
    connect(multiAction_, &QAction::triggered, this, [this] { SetMultiMode(true); });
    for (QMenu* m : {file, edit, mode}) m->setToolTipsVisible(true);
}

void GameListWindow::BuildPopupMenu() {
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    showAction_ = popup_->addAction(QStringLiteral("棋譜再現(&K)"));
    connect(showAction_, &QAction::triggered, this, &GameListWindow::ShowGame);
    editPopupAction_ = popup_->addAction(QStringLiteral("棋譜修正(&E)"));
    connect(editPopupAction_, &QAction::triggered, this, &GameListWindow::EditGameInformation);
    deletePopupAction_ = popup_->addAction(QStringLiteral("棋譜削除(&D)"));
    connect(deletePopupAction_, &QAction::triggered, this, [this] { DeleteGames(false); });
    popup_->setToolTipsVisible(true);
}

void GameListWindow::BuildList(QVBoxLayout* layout) {
    header_ = new ListHeaderBar(this);
    connect(header_, &ListHeaderBar::sectionClicked, this, &GameListWindow::HeaderClicked);
    // The column titles sit right on top of the list box, the scroll bar right beside it.
    auto* middle = new QGridLayout;
    middle->setSpacing(0);
    middle->addWidget(header_, 0, 0);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setItemDelegate(new ListLineDelegate(&multi_, list_));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QListWidget::customContextMenuRequested, this, &GameListWindow::ShowContextMenu);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        if (!multi_) ShowGame();
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (refilling_ || row < 0) return;
        lastRow_ = row;
        RefreshCaption();
    });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!refilling_ && multi_) CopySelectionToMarks();
    });
    middle->addWidget(list_, 1, 0);
    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName(QStringLiteral("ScrollBar1"));
    scroll_->setPageStep(1);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        if (refilling_) return;
        if (paging_.GoToScroll(std::uint32_t(std::max(0, value)))) FillPage(0);
    });
    middle->addWidget(scroll_, 1, 1);
    layout->addLayout(middle);
}

void GameListWindow::BuildProgressPanel(QVBoxLayout* layout) {
    progressPanel_ = new QWidget(this);
    progressPanel_->setObjectName(QStringLiteral("PrintPanel"));
    auto* progress = new QHBoxLayout(progressPanel_);
    progress->setContentsMargins(4, 2, 4, 2);
    progressCaption_ = new QLabel(progressPanel_);
    progressCaption_->setObjectName(QStringLiteral("PrintLabel"));
    progressCaption_->setMinimumWidth(160);
    progressCount_ = new QLabel(progressPanel_);
    progressCount_->setObjectName(QStringLiteral("PrintCount"));
    progressCancel_ = new QPushButton(progressPanel_);
    progressCancel_->setObjectName(QStringLiteral("PrintCancelBtn"));
    connect(progressCancel_, &QPushButton::clicked, this, &GameListWindow::CancelExport);
    progress->addWidget(progressCaption_);
    progress->addWidget(progressCount_);
    progress->addStretch();
    progress->addWidget(progressCancel_);
    progressPanel_->hide();
    layout->addWidget(progressPanel_);
}

void GameListWindow::BuildButtons(QVBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    previousButton_ = new QPushButton(this);
    previousButton_->setObjectName(QStringLiteral("PrevBtn"));
    nextButton_ = new QPushButton(this);
    nextButton_->setObjectName(QStringLiteral("NextBtn"));
    showButton_ = new QPushButton(QStringLiteral("棋譜再現(&K)"), this);
    showButton_->setObjectName(QStringLiteral("KifBtn"));
    narrowButton_ = new QPushButton(QStringLiteral("絞込検索(&S)"), this);
    narrowButton_->setObjectName(QStringLiteral("KensakuBtn"));
    closeButton_ = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    closeButton_->setObjectName(QStringLiteral("CloseBtn"));
    for (QPushButton* b : {previousButton_, nextButton_, showButton_, narrowButton_, closeButton_}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(previousButton_, &QPushButton::clicked, this, &GameListWindow::PreviousPage);
    connect(nextButton_, &QPushButton::clicked, this, &GameListWindow::NextPage);
    connect(showButton_, &QPushButton::clicked, this, &GameListWindow::ShowGame);
    connect(narrowButton_, &QPushButton::clicked, this, &GameListWindow::Narrow);
    connect(closeButton_, &QPushButton::clicked, this, &GameListWindow::reject);
    buttons->addWidget(previousButton_);
    buttons->addWidget(nextButton_);
    buttons->addStretch();
    buttons->addWidget(showButton_);
    buttons->addWidget(narrowButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);
}

void GameListWindow::LayOut(int sizeMode) {
    const bool small = sizeMode == 2;
    const int lineHeight = small ? 17 : 20;
    const QFont font = SystemFont(kGothic, small ? 12 : 14);
    const int cell = ByteCellWidth(font);
    list_->setFont(font);
    header_->setFont(font);
    static_cast<ListLineDelegate*>(list_->itemDelegate())->setCell(cell, lineHeight);
    header_->setGeometryOfColumns(list_->frameWidth() + 2, cell, kListNameWidth);
    const int width = list_->frameWidth() * 2 + 4 + cell * 112;
    // At least the width of a whole line; wider when the buttons or the menu need more room.
    list_->setMinimumWidth(width);
    list_->setFixedHeight(int(kListPageSize) * lineHeight + list_->frameWidth() * 2);
    header_->setMinimumWidth(width);
    header_->setFixedHeight(QFontMetrics(font).height() + 8);
    scroll_->setFixedHeight(list_->height());
    previousButton_->setText(small ? QStringLiteral("前(&B)") : QStringLiteral("前頁(&B)"));
    nextButton_->setText(small ? QStringLiteral("次(&N)") : QStringLiteral("次頁(&N)"));
    progressCancel_->setText(QStringLiteral("変換中止"));
    // The window takes the size of what it now holds, smaller as well as larger: the layout
    // learns the new sizes first.
    if (QLayout* l = this->layout()) {
        l->invalidate();
        l->activate();
    }
    resize(sizeHint());
}

void GameListWindow::setExportHook(ExportGameHook hook) {
    exportHook_ = std::move(hook);
    UpdateEnabling();
}

void GameListWindow::setExportMenuVisible(bool visible) { exportAction_->setVisible(visible); }

// --- opening and pages ---------------------------------------------------------------------------

void GameListWindow::SetCatalogue() {
    paging_.count = session_.catalogue.count();
    paging_.pageStart = 1;
    lastRow_ = 0;
    const QSignalBlocker block(scroll_);
    scroll_->setRange(0, int(paging_.scrollMax()));
    scroll_->setValue(0);
}

void GameListWindow::ShowPosition(std::uint32_t position) {
    paging_.count = session_.catalogue.count();
    if (position >= paging_.count) return;
    paging_.pageStart = position / kListPageSize * kListPageSize + 1;
    lastRow_ = int(position % kListPageSize);
    const QSignalBlocker block(scroll_);
    scroll_->setRange(0, int(paging_.scrollMax()));
    scroll_->setValue(int(paging_.scrollPosition()));
}

void GameListWindow::Prepare(int sizeMode) {
    LayOut(sizeMode);
    const bool extended = session_.store.extended();
    // The classic kind keeps no sub-tournament details worth a mode of their own between runs.
    if (!extended) display_.subTournaments = false;
    if (!extended) display_.ratings = false;
    storeWasExtended_ = extended;
    paging_.count = session_.catalogue.count();
    if (paging_.pageStart == 0 || paging_.pageStart > std::max<std::uint32_t>(paging_.count, 1)) {
        paging_.pageStart = 1;
    }
    paging_.KeepWithinCount();
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(0, int(paging_.scrollMax()));
        scroll_->setValue(int(paging_.scrollPosition()));
    }
    // The row to highlight (the last one, or the one ShowPosition chose); switching to single
    // mode refills the page on the list's old row first.
    const int row = lastRow_;
    multi_ = true;  // so that SetMultiMode(false) does its work
    SetMultiMode(false);
    RecomputeSummary();
    FillPage(row);
    catalogueChanged_ = false;
    renumbering_.Clear();
    selectedLine_.clear();
    result_ = Result::Cancel;
}

GameListWindow::Result GameListWindow::Open(int sizeMode) {
    Prepare(sizeMode);
    PlaceCentred(this, parentWidget());
    exec();
    return result_;
}

void GameListWindow::FillPage(int row) {
    display_.westernDates = settings_.form.DateType;
    display_.longResults = settings_.form.WinType;
    display_.eraForIncompleteDates = settings_.shogi.WarekiDisp;
    paging_.count = session_.catalogue.count();
    refilling_ = true;
    const ListTables tables{session_.players, session_.tournaments, session_.openings};
    page_ = FillListPage(session_.store, session_.catalogue.entries(), paging_.pageStart, tables,
                         display_, prompter_);
    list_->clear();
    const std::uint32_t first = paging_.pageStart - 1;
    for (std::size_t i = 0; i < page_.lines.size(); ++i) {
        const std::string& line = page_.lines[i];
        auto* item = new QListWidgetItem(ToQString(line));
        item->setData(kLineRole, QByteArray(line.data(), qsizetype(line.size())));
        list_->addItem(item);
        if (multi_ && session_.catalogue.at(first + std::uint32_t(i)).selectionMark != 0) {
            item->setSelected(true);
        }
    }
    header_->setTexts(ToQString(TournamentHeaderWord(display_.subTournaments)),
                      ToQString(InfoHeaderWord(page_.info)));
    if (list_->count() > 0) {
        const int r = std::clamp(row, 0, list_->count() - 1);
        list_->setCurrentRow(r, multi_ ? QItemSelectionModel::NoUpdate
                                       : QItemSelectionModel::ClearAndSelect);
        lastRow_ = r;
    }
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(0, int(paging_.scrollMax()));
        scroll_->setValue(int(paging_.scrollPosition()));
    }
    refilling_ = false;
    RefreshCaption();
}

void GameListWindow::RecomputeSummary() { summary_ = ResultSummary(session_.catalogue.entries()); }

void GameListWindow::RefreshCaption() {
    const int row = std::max(0, highlightedRow());
    setWindowTitle(ToQString(GameListCaption(paging_.pageStart + std::uint32_t(row),
                                         session_.catalogue.count(), summary_)));
}

int GameListWindow::highlightedRow() const { return list_->currentRow(); }

void GameListWindow::HighlightRow(int row) {
    if (row >= 0 && row < list_->count()) {
        list_->setCurrentRow(row, multi_ ? QItemSelectionModel::NoUpdate
                                         : QItemSelectionModel::ClearAndSelect);
    }
}

std::uint32_t GameListWindow::HighlightedPosition() const {
    return paging_.pageStart - 1 + std::uint32_t(std::max(0, highlightedRow()));
}

GameHeader* GameListWindow::HighlightedEntry() {
    if (list_->count() == 0 || highlightedRow() < 0) return nullptr;
    const std::uint32_t p = HighlightedPosition();
    if (p >= session_.catalogue.count()) return nullptr;
    return &session_.catalogue.at(p);
}

const ListLineData* GameListWindow::HighlightedData() const {
    const int row = highlightedRow();
    if (row < 0 || std::size_t(row) >= page_.data.size()) return nullptr;
    return &page_.data[std::size_t(row)];
}

void GameListWindow::NextPage() {
    if (paging_.NextPage()) FillPage(0);
}

void GameListWindow::PreviousPage() {
    if (paging_.PreviousPage()) FillPage(0);
}

void GameListWindow::CopySelectionToMarks() {
    const std::uint32_t first = paging_.pageStart - 1;
    for (int i = 0; i < list_->count(); ++i) {
        const std::uint32_t p = first + std::uint32_t(i);
        if (p < session_.catalogue.count()) {
            session_.catalogue.at(p).selectionMark = list_->item(i)->isSelected() ? 1 : 0;
        }
    }
}

// --- modes ---------------------------------------------------------------------------------------

void GameListWindow::SetMultiMode(bool multi) {
    if (multi == multi_) {
        (multi_ ? multiAction_ : singleAction_)->setChecked(true);
        return;
    }
    multi_ = multi;
    for (GameHeader& e : session_.catalogue.entries()) e.selectionMark = 0;
    (multi_ ? multiAction_ : singleAction_)->setChecked(true);
    refilling_ = true;
    list_->clearSelection();
    list_->setSelectionMode(multi_ ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
    refilling_ = false;
    UpdateEnabling();
    if (list_->count() > 0) FillPage(std::max(0, highlightedRow()));
}

void GameListWindow::ToggleMode() { SetMultiMode(!multi_); }

void GameListWindow::UpdateEnabling() {
    const bool single = !multi_;
    narrowButton_->setEnabled(single);
    showButton_->setEnabled(single);
    showAction_->setEnabled(single);
    for (QAction* a : {editAction_, editPopupAction_}) {
        if (!IsNotAvailableYet(a)) a->setEnabled(single);
    }
    for (QAction* a : {markAllAction_, unmarkAllAction_}) a->setEnabled(multi_);
    if (!IsNotAvailableYet(bulkAction_)) bulkAction_->setEnabled(multi_);
    exportAction_->setEnabled(bool(exportHook_));
    printAction_->setEnabled(bool(printHooks_.print));
}

void GameListWindow::MarkAll(bool mark) {
    if (!multi_) return;
    for (GameHeader& e : session_.catalogue.entries()) e.selectionMark = mark ? 1 : 0;
    refilling_ = true;
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(mark);
    refilling_ = false;
}

// --- commands ------------------------------------------------------------------------------------

void GameListWindow::ShowGame() {
    if (multi_ || session_.catalogue.count() == 0) return;
    const GameHeader* entry = HighlightedEntry();
    const ListLineData* data = HighlightedData();
    if (entry == nullptr || data == nullptr) return;
    currentPosition_ = HighlightedPosition();
    selectedEntry_ = *entry;
    const ListTables tables{session_.players, session_.tournaments, session_.openings};
    const std::string sente = ListPlayerName(entry->sentePlayer, data->senteName, data->extended,
                                             session_.players);
    const std::string gote = ListPlayerName(entry->gotePlayer, data->goteName, data->extended,
                                            session_.players);
    selectedLine_ = SelectedGameLine(*entry, sente, gote, tables);
    result_ = Result::ShowGame;
    accept();
}

void GameListWindow::Narrow() {
    if (multi_) return;
    result_ = Result::Narrow;
    selectedLine_.clear();
    accept();
}

void GameListWindow::reject() {
    if (exportRunning()) return;
    result_ = Result::Cancel;
    selectedLine_.clear();
    QDialog::reject();
}

void GameListWindow::closeEvent(QCloseEvent* event) {
    if (exportRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void GameListWindow::DeleteGames(bool immediate) {
    if (session_.catalogue.count() == 0 || list_->count() == 0 || exportRunning()) return;
    const int row = std::max(0, highlightedRow());
    ListDeletion d;
    if (multi_ && !immediate) {
        CopySelectionToMarks();
        const std::uint32_t marked = CountMarked(session_.catalogue.entries());
        if (marked == 0) {
            prompter_.Inform(NothingMarkedToDeleteMessage());
            return;
        }
        if (prompter_.Confirm(DeleteMarkedQuestion(marked), false, true) != Answer::Yes) return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        d = DeleteMarkedGames(session_, prompter_);
    } else {
        const GameHeader* entry = HighlightedEntry();
        const ListLineData* data = HighlightedData();
        if (entry == nullptr || data == nullptr) return;
        if (!immediate) {
            const std::string sente = ListPlayerName(entry->sentePlayer, data->senteName,
                                                     data->extended, session_.players);
            const std::string gote = ListPlayerName(entry->gotePlayer, data->goteName,
                                                    data->extended, session_.players);
            if (prompter_.Confirm(DeleteOneQuestion(sente, gote), true, false) != Answer::Yes) return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        d = DeleteListedGame(session_, HighlightedPosition(), !immediate, prompter_);
    }
    QApplication::restoreOverrideCursor();
    prompter_.EndProgress();
    if (d.deleted == 0) return;
    renumbering_.Deleted(d.records);
    AfterDeletion(row);
}

void GameListWindow::EditGameInformation() {
    if (multi_ || session_.catalogue.count() == 0 || exportRunning()) return;
    GameHeader* entry = HighlightedEntry();
    if (entry == nullptr) return;
    const std::uint32_t k = entry->recordNumber;
    const GameStore& store = session_.store;
    IndexRecord index;
    if (!ReadIndexRecord(store, k, index)) index = IndexRecordFromHeader(*entry);
    DetailRecord detail;
    if (store.extended() && !ReadDetailRecord(store, long(k), detail, prompter_)) return;
    GameInfoOutcome outcome;
    if (gameInfoRunner_) {
        outcome = gameInfoRunner_(GameInfoMode::Correction, index, detail, k);
    } else {
        GameInfoContext context{session_, settings_, prompter_};
        context.pickerTopRows = &pickerTopRows_;
        outcome = RunGameInfoDialog(this, GameInfoMode::Correction, false, index, detail, k, context);
    }
    if (outcome.answer == GameInfoAnswer::Cancel) return;
    if (outcome.answer == GameInfoAnswer::OkEditMoves) {
        // The game opens for move editing; the main window takes the edited images.
        editedIndex_ = index;
        editedDetail_ = detail;
        ShowGame();
        if (result_ == Result::ShowGame) result_ = Result::EditMoves;
        return;
    }
    if (prompter_.Confirm(std::string{"棋譜情報を保存してよろしいですか？"_sj}, true, false) != Answer::Yes) {
        return;
    }
    // Only the header changed: the index record and the detail record are rewritten in place;
    // the moves, move info and comments stay as they are on the disk.
    GameHeader edited;
    if (!HeaderFromIndexRecord(index, k, edited)) return;
    if (!WriteIndexRecord(store, k, index)) {
        prompter_.Warn(store.files.Path(".idx").string() + std::string{" 書込エラー！"_sj});
        return;
    }
    if (store.extended()) {
        detail.CopyIndexWords(index);
        if (!WriteDetailRecord(store, long(k), detail, prompter_)) return;
    }
    edited.selectionMark = entry->selectionMark;
    edited.positionHit = entry->positionHit;
    *entry = edited;
    catalogueChanged_ = true;
    RecomputeSummary();
    FillPage(std::max(0, highlightedRow()));
    prompter_.Inform(std::string{"\r棋譜情報を保存しました！"_sj});
}

void GameListWindow::BulkChange() {
    if (!multi_ || session_.catalogue.count() == 0 || exportRunning()) return;
    CopySelectionToMarks();
    if (CountMarked(session_.catalogue.entries()) == 0) {
        prompter_.Inform(std::string{"\r一括変更する棋譜を選択してください！"_sj});
        return;
    }
    IndexRecord index;
    DetailRecord detail;
    GameInfoOutcome outcome;
    if (gameInfoRunner_) {
        outcome = gameInfoRunner_(GameInfoMode::Bulk, index, detail, 0);
    } else {
        GameInfoContext context{session_, settings_, prompter_};
        context.pickerTopRows = &pickerTopRows_;
        outcome = RunGameInfoDialog(this, GameInfoMode::Bulk, false, index, detail, 0, context);
    }
    if (outcome.answer == GameInfoAnswer::Cancel || outcome.bulk.empty()) return;
    const int row = std::max(0, highlightedRow());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::uint32_t changed = UpdateMarkedGames(session_.store, outcome.bulk.TemplateRecord(),
                                                    session_.catalogue.entries(), prompter_);
    QApplication::restoreOverrideCursor();
    prompter_.EndProgress();
    if (changed == 0) return;
    catalogueChanged_ = true;
    RecomputeSummary();
    FillPage(row);
}

void GameListWindow::AfterDeletion(int row) {
    paging_.count = session_.catalogue.count();
    paging_.KeepWithinCount();
    RecomputeSummary();
    catalogueChanged_ = true;
    // The highlight stays on its row, or the row above when the page has become shorter.
    FillPage(std::min<int>(row, std::max<int>(0, int(paging_.rowsOnPage()) - 1)));
}

void GameListWindow::SwapWithNeighbour(bool up) {
    if (multi_ || list_->count() == 0) return;
    const std::uint32_t p = HighlightedPosition();
    if (!SwapListedGames(session_, p, up)) return;
    const std::uint32_t moved = up ? p - 1 : p + 1;
    // The record numbers stay with the places: the two games exchanged theirs.
    renumbering_.Exchanged(session_.catalogue.at(p).recordNumber, session_.catalogue.at(moved).recordNumber);
    paging_.pageStart = moved / kListPageSize * kListPageSize + 1;
    FillPage(int(moved % kListPageSize));
}

void GameListWindow::WriteListDump() {
    if (session_.catalogue.count() == 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = movra::WriteListDump(session_, display_, programFolder_, prompter_);
    QApplication::restoreOverrideCursor();
    if (!ok) prompter_.Warn("\r" + std::string(kListDumpFileName) + " 書込エラー！"_sj);
}

void GameListWindow::HeaderClicked(Section section) {
    switch (section) {
        case Section::Date:
            settings_.form.DateType = !settings_.form.DateType;
            break;
        case Section::Result:
            settings_.form.WinType = !settings_.form.WinType;
            break;
        case Section::Tournament:
            display_.subTournaments = !display_.subTournaments;
            break;
        case Section::Info:
            if (!session_.store.extended()) return;
            display_.ratings = !display_.ratings;
            break;
        default:
            return;
    }
    FillPage(std::max(0, highlightedRow()));
}

void GameListWindow::ShowContextMenu(const QPoint& at) {
    if (list_->count() == 0) return;
    popup_->popup(list_->viewport()->mapToGlobal(at));
}

// --- writing games into another store -----------------------------------------------------------

void GameListWindow::SaveGamesAs() {
    if (exportRunning() || session_.catalogue.count() == 0 || list_->count() == 0) return;
    std::vector<GameHeader> games;
    if (multi_) {
        CopySelectionToMarks();
        for (const GameHeader& e : session_.catalogue.entries()) {
            if (e.selectionMark == 1) games.push_back(e);
        }
        if (games.empty()) {
            prompter_.Inform(SaveAsNothingMarkedMessage());
            return;
        }
        if (prompter_.Confirm(SaveAsMarkedQuestion(std::uint32_t(games.size())), false, true) != Answer::Yes) return;
    } else {
        const GameHeader* entry = HighlightedEntry();
        if (entry == nullptr) return;
        games.push_back(*entry);
    }
    const bool extended = session_.store.extended();
    FileChooser& chooser = chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
    const QString chosen = chooser.SaveFile(this, QStringLiteral("名前を付けて保存"),
                                            PathToQString(session_.store.files.folder()),
                                            ToQString(SaveAsFilter(extended)));
    if (chosen.isEmpty()) return;
    const fs::path chosenPath = QStringToPath(chosen);
    const SaveAsTarget target = CheckSaveAsTarget(chosenPath, extended, session_.store.files.IndexPath());
    if (!target.refusal.empty()) {
        prompter_.Warn(target.refusal);
        return;
    }
    const std::string name = PathText(chosenPath.filename());
    bool append = false;
    if (target.exists) {
        const Answer a = prompter_.Confirm(SaveAsExistsQuestion(name), true, true);
        if (a == Answer::Cancel) return;
        append = a == Answer::Yes;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const StoreCopyResult r = CopyCatalogueGames(session_.store, games, false, target.index, append, prompter_);
    prompter_.EndProgress();
    QApplication::restoreOverrideCursor();
    if (!r.ok) {
        prompter_.Warn(SaveAsFailedMessage(PathText(target.index)));
        return;
    }
    prompter_.Inform(SaveAsDoneMessage(name));
}

// --- the timed export ----------------------------------------------------------------------------

void GameListWindow::ExportGames() {
    if (!exportHook_ || exportRunning() || session_.catalogue.count() == 0 || list_->count() == 0) return;
    std::vector<std::uint32_t> positions;
    if (multi_) {
        CopySelectionToMarks();
        positions = MarkedPositions(session_.catalogue.entries());
        if (positions.empty()) {
            prompter_.Inform(NothingMarkedToExportMessage());
            return;
        }
        if (prompter_.Confirm(ExportMarkedQuestion(std::uint32_t(positions.size())), false, true) !=
            Answer::Yes) {
            return;
        }
    } else {
        positions.push_back(HighlightedPosition());
    }
    const QString start = PathToQString(session_.store.files.folder());
    FileChooser& chooser = chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
    const QString chosen =
        chooser.Folder(this, QStringLiteral("エクスポート先のフォルダを指定して下さい。"), start);
    if (chosen.isEmpty()) return;
    exportFolder_ = QStringToPath(chosen);
    exportQueue_ = std::move(positions);
    exportIndex_ = 0;
    exportCancelled_ = false;
    exportSkipped_.clear();
    SetBusy(true);
    progressCount_->clear();
    blinkCaption_ = QStringLiteral("【 変換処理中 】");
    progressCaption_->setText(blinkCaption_);
    blinkShown_ = true;
    blinkTimer_.start(1200);
    progressPanel_->show();
    exportTimer_.start();
}

void GameListWindow::ExportTick() {
    if (exportCancelled_ || exportIndex_ >= exportQueue_.size()) {
        EndExport();
        return;
    }
    const std::uint32_t k = std::uint32_t(exportIndex_ + 1);
    progressCount_->setText(ToQString(ExportProgressText(k, std::uint32_t(exportQueue_.size()))));
    blinkCaption_ = printing_ ? QStringLiteral("【 印刷処理中 】") : QStringLiteral("【 変換処理中 】");
    progressCaption_->setText(blinkCaption_);
    progressCancel_->setEnabled(false);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const std::uint32_t p = exportQueue_[exportIndex_];
    if (printing_) {
        if (p >= session_.catalogue.count() || !printHooks_.print(session_.catalogue.at(p))) {
            exportSkipped_.push_back(std::to_string(p + 1));
        }
    } else if (p < session_.catalogue.count()) {
        const GameHeader entry = session_.catalogue.at(p);
        const std::optional<fs::path> name = BatchExportPath(exportFolder_, entry.month, entry.day, ".kif");
        // With every name of the day taken the game is left out rather than overwrite a file.
        if (!name || !exportHook_(entry, *name)) exportSkipped_.push_back(std::to_string(p + 1));
    }
    ++exportIndex_;
    if (exportIndex_ >= exportQueue_.size()) {
        EndExport();
        return;
    }
    blinkCaption_ = printing_ ? QStringLiteral("【 印刷待機中 】") : QStringLiteral("【 変換待機中 】");
    progressCaption_->setText(blinkCaption_);
    progressCancel_->setEnabled(true);
}

void GameListWindow::CancelExport() { exportCancelled_ = true; }

// --- the timed print -------------------------------------------------------------------------------

void GameListWindow::PrintGames() {
    if (!printHooks_.print || exportRunning() || session_.catalogue.count() == 0 || list_->count() == 0) return;
    std::vector<std::uint32_t> positions;
    if (multi_) {
        CopySelectionToMarks();
        positions = MarkedPositions(session_.catalogue.entries());
        if (positions.empty()) {
            prompter_.Inform("\r印刷する棋譜を選択してください！"_sj);
            return;
        }
        const std::string question = "選択された "_sj + std::to_string(positions.size()) + "個の棋譜を印刷します。"_sj +
                                     "\r\r" + "よろしいですか？"_sj;
        if (prompter_.Confirm(question, false, true) != Answer::Yes) return;
    } else {
        positions.push_back(HighlightedPosition());
    }
    // The print type and the printer are asked for once, for the whole run.
    if (printHooks_.begin && !printHooks_.begin()) return;
    printing_ = true;
    exportQueue_ = std::move(positions);
    exportIndex_ = 0;
    exportCancelled_ = false;
    exportSkipped_.clear();
    SetBusy(true);
    progressCount_->clear();
    progressCancel_->setText(QStringLiteral("印刷中止"));
    blinkCaption_ = QStringLiteral("【 印刷処理中 】");
    progressCaption_->setText(blinkCaption_);
    blinkShown_ = true;
    blinkTimer_.start(1200);
    progressPanel_->show();
    exportTimer_.start(2000);
}

void GameListWindow::EndExport() {
    exportTimer_.stop();
    blinkTimer_.stop();
    exportQueue_.clear();
    exportIndex_ = 0;
    progressPanel_->hide();
    SetBusy(false);
    if (printing_) {
        printing_ = false;
        exportTimer_.setInterval(200);
        progressCancel_->setText(QStringLiteral("変換中止"));
        if (printHooks_.end) printHooks_.end();
    }
    if (!exportSkipped_.empty()) {
        std::string list;
        for (const std::string& s : exportSkipped_) list += (list.empty() ? "" : ", ") + s;
        prompter_.Warn("\r次の棋譜は出力できませんでした。\r\r"_sj + list);
        exportSkipped_.clear();
    }
}

void GameListWindow::BlinkTick() {
    // The caption shows for 1200 ms and is blank for 300 ms.
    blinkShown_ = !blinkShown_;
    progressCaption_->setText(blinkShown_ ? blinkCaption_ : QString());
    blinkTimer_.start(blinkShown_ ? 1200 : 300);
}

void GameListWindow::SetBusy(bool busy) {
    menuBar_->setEnabled(!busy);
    for (QPushButton* b : {previousButton_, nextButton_, showButton_, narrowButton_, closeButton_}) {
        b->setEnabled(!busy);
    }
    list_->setEnabled(!busy);
    scroll_->setEnabled(!busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
        UpdateEnabling();
    }
}

// --- list printing -------------------------------------------------------------------------------

void GameListWindow::PrintList() {
    if (session_.catalogue.count() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    // The copies are printed one after the other, each a whole list.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    PrintListTo(printer, copies);
}

bool GameListWindow::PrintListTo(QPrinter& printer, int copies) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<std::vector<PrintedLine>> pages = ListPrintPages(session_, display_);
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) {
        QFont font = SystemFont(kGothic, 12);
        font.setPointSizeF(11);
        painter.setFont(font);
        const QFontMetrics metrics(font, &printer);
        const int lineHeight = metrics.height();
        const int gap = int(2.0 * printer.resolution() / 72.0);  // 2 points
        const int cell = (metrics.horizontalAdvance(QStringLiteral("あ")) + 1) / 2;
        bool first = true;
        for (int copy = 0; copy < copies && ok; ++copy) {
            for (const std::vector<PrintedLine>& page : pages) {
                if (!first && !printer.newPage()) {
                    ok = false;
                    break;
                }
                first = false;
                int y = 0;
                for (const PrintedLine& line : page) {
                    DrawByteGridText(painter, 0, QRect(0, y, cell * 130, lineHeight), cell, line.text);
                    y += lineHeight + (line.entry ? gap : 0);
                }
            }
        }
        ok = painter.end() && ok;
    }
    QApplication::restoreOverrideCursor();
    if (!ok) prompter_.Warn(PrinterErrorMessage());
    return ok;
}

// --- keys and the wheel --------------------------------------------------------------------------

bool GameListWindow::HandleListKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int key = event->key();
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        SwapWithNeighbour(key == Qt::Key_Up);
        return true;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier) && key == Qt::Key_T) {
        WriteListDump();
        return true;
    }
    if (mods == (Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_D) {
        DeleteGames(true);
        return true;
    }
    if (mods == Qt::AltModifier && key == Qt::Key_D) {
        DeleteGames(false);
        return true;
    }
    if (mods != Qt::NoModifier) return false;
    ListKey move;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ShowGame();
            return true;
        case Qt::Key_M:
            ToggleMode();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Left: move = ListKey::Up; break;
        case Qt::Key_Down:
        case Qt::Key_Right: move = ListKey::Down; break;
        case Qt::Key_PageUp: move = ListKey::PageUp; break;
        case Qt::Key_PageDown: move = ListKey::PageDown; break;
        case Qt::Key_Home: move = ListKey::Home; break;
        case Qt::Key_End: move = ListKey::End; break;
        default: return false;
    }
    const ListMove m = MoveInList(paging_, std::max(0, highlightedRow()), move);
    if (m.pageChanged) FillPage(m.row);
    if (m.handled) return true;
    // Within the page: Left and Right move like Up and Down.
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        HighlightRow(highlightedRow() + (key == Qt::Key_Right ? 1 : -1));
        return true;
    }
    return false;
}

bool GameListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        if (HandleListKey(static_cast<QKeyEvent*>(event))) return true;
    }
    if (watched == list_->viewport() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void GameListWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    if (HandleListKey(event)) return;
    QDialog::keyPressEvent(event);
}

void GameListWindow::wheelEvent(QWheelEvent* event) {
    if (!list_->isEnabled()) return;
    const int dy = event->angleDelta().y();
    // Towards the user turns to the next page.
    if (dy < 0) {
        NextPage();
    } else if (dy > 0) {
        PreviousPage();
    }
    event->accept();
}

}  // namespace movra
