#pragma once
// The mate-search command of the main window (replay-panel button 11): which king, the checks,
// the pass inserted when the attacker is not to move, the search on its worker thread polled
// every 200 ms, the report, and the game record put back exactly as it was.
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "core/matesearch/mate_search.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"

class QWidget;

namespace movra {

class MateCommand : public QObject {
    Q_OBJECT
public:
    struct Host {
        QWidget* window = nullptr;
        TKifData* record = nullptr;
        Prompter* prompter = nullptr;
        std::function<bool()> positionEditing;  // the window is editing a position
        std::function<int()> depthLimit;        // the setting TumeTesu
        std::function<void()> redraw;           // the board, hands and list drawn again
        std::function<void(bool locked)> lock;  // everything but the mate-search button
        std::function<void(bool down)> latch;   // the button's pressed state
        // Which king (1 or 2), 0 for cancel; preselected king and whether the game is a handicap game.
        std::function<int(int preselected, bool handicapGame)> chooseKing;
        std::size_t tableMegabytes = kDefaultMateTableMegabytes;
    };

    explicit MateCommand(Host host, QObject* parent = nullptr);
    ~MateCommand() override;

    // The button: starts a search, or stops the one running.
    void Press();
    bool running() const { return search_ != nullptr; }
    // Tests answer the king choice themselves.
    void setKingChooser(std::function<int(int preselected, bool handicapGame)> choose) {
        host_.chooseKing = std::move(choose);
    }
    // One tick of the poll: after the search is done, the report and the record put back.
    void Poll();

signals:
    void finished();

private:
    void Start();

    Host host_;
    QTimer poll_;
    std::unique_ptr<MateSearch> search_;
    std::shared_ptr<std::atomic<int>> limit_ = std::make_shared<std::atomic<int>>(kDefaultMateDepthLimit);
    // What the search leaves to the report and the restore.
    std::optional<TKifData::Snapshot> saved_;
    BoardPosition searched_;
    int attacker_ = side::kSente;
    int firstNumber_ = 1;
    MoveRecord previous_;
};

}  // namespace movra
