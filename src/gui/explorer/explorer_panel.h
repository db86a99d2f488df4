#pragma once
// The opening explorer's panel: a dock window (floating beside the main window at first, dockable
// at its side) that shows, for the position on the
// board, every next move played in the store's games with their counts and results.
//
// The window tells the panel when the position changes; the query runs on a worker thread and a
// query still running is abandoned (cancelled, its answer dropped) when the next one starts, so
// replaying is never held up. A click on a move plays it on the board; a double click on its
// count lists its games in the game list window.
#include <QDockWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "core/explorer/opening_tree.h"
#include "core/store/master_data.h"
#include "core/store/store_files.h"

class QCheckBox;
class QLabel;
class QTableWidget;

namespace movra {

// What a query needs from the window.
struct ExplorerRequest {
    GameStore store;
    ExplorerPosition position;
    std::vector<std::uint32_t> catalogue;  // the record numbers the game list holds
    const PlayerTable* players = nullptr;  // names of the most recent game's players
};

class ExplorerPanel : public QDockWidget {
    Q_OBJECT
public:
    struct Host {
        // The store and the position shown; nullopt when there is nothing to ask (no store).
        std::function<std::optional<ExplorerRequest>()> request;
        // Plays a move on the board.
        std::function<void(const MoveCode&)> play;
        // Lists games (record numbers) in the game list window.
        std::function<void(const std::vector<std::uint32_t>&)> listGames;
    };

    ExplorerPanel(Host host, QWidget* parent);
    ~ExplorerPanel() override;

    // The position on the board changed: a new query (only while the panel is shown).
    void PositionChanged();

    // For tests: whether a query is under way, the last answer, and the table.
    bool busy() const { return running_; }
    const TreeResult& result() const { return result_; }
    QTableWidget* table() const { return table_; }
    // Columns of the table.
    enum Column { kMove, kGames, kShare, kSente, kGote, kDraws, kOther, kLatest, kPlayers, kColumns };
    // The commands behind a click and a double click on row `row`.
    void PlayRow(int row);
    void ListRow(int row);

signals:
    // A query has been answered and shown.
    void answered();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Start();
    void Show(std::uint64_t generation, TreeResult result, ExplorerRequest request);
    void StopWorker();

    Host host_;
    QLabel* summary_ = nullptr;
    QCheckBox* narrow_ = nullptr;
    QTableWidget* table_ = nullptr;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::uint64_t generation_ = 0;
    bool running_ = false;
    bool placed_ = false;
    TreeResult result_;
    std::optional<ExplorerRequest> shown_;
};

}  // namespace movra
