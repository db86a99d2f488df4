#include "core/matesearch/mate_search.h"

#include <vector>

#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"

namespace movra {

using namespace movra::literals;

std::string KingChoiceCaption() { return "詰め確認"_sj; }
std::string KingChoiceQuestion() { return "どちらの玉を詰めますか？"_sj; }

std::array<std::string, 2> KingChoiceEntries(bool handicapGame) {
    if (handicapGame) return {"下手玉"_sj, "上手玉"_sj};
    return {"先手玉"_sj, "後手玉"_sj};
}

std::string KingChoiceStartText() { return "開 始"_sj; }
std::string KingChoiceCancelText() { return "キャンセル"_sj; }

int PreselectedDefender(bool positionEditing, int sideToMove) {
    if (positionEditing) return side::kGote;
    return side::Opponent(sideToMove);
}

std::string DefendingKingProblem(const BoardPosition& position, int defender) {
    const PieceCode king =
        defender == side::kSente ? piece::Gyoku : PieceCode(piece::Gyoku + piece::kGoteOffset);
    int count = 0;
    for (int file = 1; file <= 9; ++file)
        for (int rank = 1; rank <= 9; ++rank) count += position.board[BoardIndex(file, rank)] == king;
    const std::string name = defender == side::kSente ? std::string{"先手"_sj} : std::string{"後手"_sj};
    if (count == 0) return "\r" + name + "玉が盤上にありません！"_sj;
    if (count >= 2) return "\r" + name + "玉が２枚あります！"_sj;
    return {};
}

// --- the worker ------------------------------------------------------------------------------

TTumeThread::TTumeThread(const EnginePosition& position, int attacker, std::function<int()> depthLimit,
                         MateEngineLoader loader, Deliver deliver, std::function<void()> finished)
    : attacker_(attacker),
      depthLimit_(std::move(depthLimit)),
      loader_(std::move(loader)),
      deliver_(std::move(deliver)),
      finished_(std::move(finished)),
      thread_(&TTumeThread::Execute, this, position) {}

TTumeThread::~TTumeThread() {
    if (thread_.joinable()) thread_.join();
}

void TTumeThread::Execute(EnginePosition position) {
    int depth = 1;
    int found = 0;
    std::vector<int> from(kEngineResultLength), to(kEngineResultLength), promotion(kEngineResultLength);
    if (std::unique_ptr<MateEngine> engine = loader_(&terminated_)) {
        found = engine->Call(position.data(), attacker_, depth, from.data(), to.data(), promotion.data());
        while (!found && !Terminated() && depth < depthLimit_() && !engine->ProvedNoMateAtAll()) {
            depth += 2;
            found = engine->Call(position.data(), attacker_, depth, from.data(), to.data(), promotion.data());
        }
    }  // the engine (and a loaded library) is released here
    std::optional<MoveCode> move;
    if (found) move = EngineMoveCode(from[0], to[0], promotion[0]);
    if (Terminated()) return;
    // A result the engine cannot have meant (numbers that name no move) counts as no mate.
    deliver_(move ? depth : 0, move);
    finished_();
}

// --- the shared state ------------------------------------------------------------------------

MateSearch::MateSearch(MateSearchSettings settings) : settings_(std::move(settings)) {}

MateSearch::~MateSearch() {
    if (worker_) worker_->Terminate();
}

bool MateSearch::Start(const EnginePosition& position, int attacker) {
    if (running_.load()) return false;
    {
        std::lock_guard<std::mutex> lock(resultMutex_);
        resultDepth_ = 0;
        resultMove_.reset();
    }
    running_ = true;
    done_ = false;
    stopped_ = false;
    MateEngineLoader loader = [path = settings_.libraryPath, mb = settings_.tableMegabytes](
                                  const std::atomic<bool>* stop) { return LoadMateEngine(path, mb, stop); };
    auto deliver = [this](int depth, const std::optional<MoveCode>& move) {
        std::lock_guard<std::mutex> lock(resultMutex_);
        resultDepth_ = depth;
        resultMove_ = move;
    };
    worker_ = std::make_unique<TTumeThread>(position, attacker, settings_.depthLimit, std::move(loader),
                                            std::move(deliver), [this] { done_ = true; });
    return true;
}

void MateSearch::Stop() {
    if (!running_.load() || done_.load()) return;
    worker_->Terminate();
    stopped_ = true;
    done_ = true;
}

MateOutcome MateSearch::Finish() {
    worker_.reset();  // waits for the worker
    MateOutcome outcome;
    outcome.stopped = stopped_.load();
    if (!outcome.stopped) {
        std::lock_guard<std::mutex> lock(resultMutex_);
        outcome.depth = resultDepth_;
        outcome.move = resultMove_;
    }
    running_ = false;
    done_ = false;
    return outcome;
}

// --- the report ------------------------------------------------------------------------------

std::string MateStoppedText() {
    return "詰将棋思考を中止しました！\r\r詰将棋用メモリの解放のために\r多少時間が掛かる場合があります。\rその場合はしばらくお待ち下さい。"_sj;
}

std::string NoMateText(int depthLimit) { return "\r" + std::to_string(depthLimit) + "手以内では詰みませんでした！"_sj; }

std::string AlreadyInCheckText() { return "\r現在王手の局面です！"_sj; }

std::string MateFoundText(int depth, std::string_view moveText) {
    std::string text = "\r" + std::to_string(depth) + "手で詰みました！\r\r第１手： "_sj;
    text.append(moveText);
    return text;
}

std::string MoveLineExcerpt(std::string_view moveLine) {
    if (moveLine.size() <= 5) return {};
    return std::string(moveLine.substr(5, 16));
}

std::string MateMoveLine(const BoardPosition& position, const MoveCode& move, int side, int moveNumber,
                         int parityOffset, char handicap, const MoveRecord& previous) {
    BoardPosition copy = position;
    MoveRecord record;
    if (!ResolveMove(copy, move, side, record)) return {};
    PieceCode before = ApplyMove(copy, record);
    return MoveLine(moveNumber, parityOffset, handicap, copy.board, before, record, previous);
}

std::string MateReportText(const MateOutcome& outcome, int depthLimit, const BoardPosition& position,
                           const std::function<std::string(const MoveCode&)>& moveLine) {
    if (outcome.stopped) return MateStoppedText();
    if (outcome.depth <= 0 || !outcome.move) return NoMateText(depthLimit);
    const MoveCode& m = *outcome.move;
    if (outcome.depth == 1) {
        PieceCode target = position.board[BoardIndex(m.toFile(), m.toRank())];
        if (target == piece::Gyoku || target == piece::Gyoku + piece::kGoteOffset) return AlreadyInCheckText();
    }
    return MateFoundText(outcome.depth, MoveLineExcerpt(moveLine(m)));
}

}  // namespace movra
