#include "gui/explorer/explorer_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "core/explorer/tree_text.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"

namespace movra {

ExplorerPanel::ExplorerPanel(Host host, QWidget* parent)
    : QDockWidget(QStringLiteral("定跡エクスプローラ"), parent), host_(std::move(host)) {
    setObjectName(QStringLiteral("ExplorerPanel"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    summary_ = new QLabel(body);
    summary_->setObjectName(QStringLiteral("ExplorerSummary"));
    narrow_ = new QCheckBox(QStringLiteral("一覧の棋譜に絞る"), body);
    narrow_->setObjectName(QStringLiteral("ExplorerNarrow"));
    table_ = new QTableWidget(0, kColumns, body);
    table_->setObjectName(QStringLiteral("ExplorerTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("指し手"), QStringLiteral("局数"), QStringLiteral("比率"),
                                       QStringLiteral("先手勝"), QStringLiteral("後手勝"), QStringLiteral("引分"),
                                       QStringLiteral("他"), QStringLiteral("最新"), QStringLiteral("最新局")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setToolTip(QStringLiteral("指し手をクリックで盤上に指す、局数をダブルクリックで棋譜一覧"));
    layout->addWidget(summary_);
    layout->addWidget(narrow_);
    layout->addWidget(table_, 1);
    setWidget(body);

    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == kMove) PlayRow(row);
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != kMove) ListRow(row);
    });
    connect(narrow_, &QCheckBox::toggled, this, [this] { PositionChanged(); });
}

ExplorerPanel::~ExplorerPanel() { StopWorker(); }

void ExplorerPanel::StopWorker() {
    if (cancel_) cancel_->store(true);
    if (worker_.joinable()) worker_.join();
}

void ExplorerPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    // Floating, it first opens beside the window (the window keeps the size its board needs),
    // inside the screen's available area; docked, the window's layout places it.
    if (isFloating() && !placed_) {
        placed_ = true;
        const QRect area = AvailableArea(parentWidget());
        resize(std::min(480, area.width()), std::min(420, area.height()));
        const QWidget* owner = parentWidget();
        PlaceAt(this, owner != nullptr ? owner->frameGeometry().topRight() + QPoint(1, 0) : area.topLeft(),
                owner);
    }
    PositionChanged();
}

void ExplorerPanel::PositionChanged() {
    if (!isVisible()) return;
    Start();
}

void ExplorerPanel::Start() {
    // The query under way is abandoned: it sees its flag within a few thousand games.
    StopWorker();
    const std::uint64_t generation = ++generation_;
    std::optional<ExplorerRequest> request = host_.request ? host_.request() : std::nullopt;
    if (!request) {
        running_ = false;
        Show(generation, TreeResult{}, ExplorerRequest{});
        return;
    }
    const bool narrowed = narrow_->isChecked();
    if (!narrowed) request->catalogue.clear();
    running_ = true;
    summary_->setText(QStringLiteral("検索中…"));
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::thread([this, generation, narrowed, cancel = cancel_, req = std::move(*request)]() mutable {
        TreeResult result;
        try {
            TreeQuery q;
            q.position = req.position;
            q.cancel = cancel.get();
            if (narrowed) q.within = &req.catalogue;
            result = ExploreStore(req.store, q);
        } catch (const std::exception&) {
            result = TreeResult{};
        }
        if (result.cancelled) return;
        QMetaObject::invokeMethod(
            this, [this, generation, result = std::move(result), req = std::move(req)]() mutable {
                Show(generation, std::move(result), std::move(req));
            },
            Qt::QueuedConnection);
    });
}

void ExplorerPanel::Show(std::uint64_t generation, TreeResult result, ExplorerRequest request) {
    if (generation != generation_) return;  // a later position is being asked for
    if (worker_.joinable()) worker_.join();
    running_ = false;
    result_ = std::move(result);
    const bool open = !request.store.files.IndexPath().empty();
    shown_ = open ? std::optional<ExplorerRequest>(std::move(request)) : std::nullopt;
    if (!open) {
        summary_->setText(QStringLiteral("棋譜ファイルが開かれていません"));
    } else {
        summary_->setText(QStringLiteral("%1局 (この局面で終局 %2局)%3")
                              .arg(result_.games)
                              .arg(result_.ended.games)
                              .arg(result_.fromIndex ? QStringLiteral(" 索引使用") : QString()));
    }
    table_->setRowCount(int(result_.moves.size()));
    const PlayerTable empty;
    for (int row = 0; row < int(result_.moves.size()); ++row) {
        const MoveTally& t = result_.moves[std::size_t(row)];
        const auto number = [](std::uint32_t n) {
            auto* item = new QTableWidgetItem(QString::number(n));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            return item;
        };
        table_->setItem(row, kMove, new QTableWidgetItem(ToQString(TreeMoveText(shown_->position, t.key))));
        table_->setItem(row, kGames, number(t.games));
        auto* share = new QTableWidgetItem(QString::number(100.0 * result_.Share(t), 'f', 1) + QStringLiteral("%"));
        share->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, kShare, share);
        table_->setItem(row, kSente, number(t.senteWins));
        table_->setItem(row, kGote, number(t.goteWins));
        table_->setItem(row, kDraws, number(t.draws));
        table_->setItem(row, kOther, number(t.other));
        table_->setItem(row, kLatest, new QTableWidgetItem(ToQString(TreeDateText(t.lastDate))));
        table_->setItem(row, kPlayers, new QTableWidgetItem(ToQString(TreePlayersText(
                                           shown_->store, shown_->players ? *shown_->players : empty, t))));
    }
    table_->resizeColumnsToContents();
    emit answered();
}

void ExplorerPanel::PlayRow(int row) {
    if (row < 0 || row >= int(result_.moves.size()) || !host_.play) return;
    host_.play(result_.moves[std::size_t(row)].code());
}

void ExplorerPanel::ListRow(int row) {
    if (row < 0 || row >= int(result_.moves.size()) || !shown_ || !host_.listGames) return;
    // The games of one move, asked for again with their record numbers (quick from the index).
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TreeQuery q;
    q.position = shown_->position;
    q.records = true;
    if (narrow_->isChecked()) q.within = &shown_->catalogue;
    TreeResult all;
    try {
        all = ExploreStore(shown_->store, q);
    } catch (const std::exception&) {
        all = TreeResult{};
    }
    QApplication::restoreOverrideCursor();
    const MoveKey key = result_.moves[std::size_t(row)].key;
    for (const MoveTally& t : all.moves) {
        if (t.key == key) {
            host_.listGames(t.records);
            return;
        }
    }
}

}  // namespace movra
