#include "core/publish/game_source.h"

#include <memory>

#include "core/store/comments.h"

namespace movra {

PublishInputs MakePublishInputs(const StoreSession& session, const TKifData& record, const PublishedGame& game,
                                Prompter& prompter) {
    PublishInputs in;
    in.record = &record;
    const int n = record.moveCount;
    in.moveLines.assign(game.fullLines.begin(), game.fullLines.begin() + std::min<std::ptrdiff_t>(n, std::ptrdiff_t(game.fullLines.size())));
    in.shownLines = game.shownLines;
    in.wholeGame = game.wholeGame;
    in.extendedStore = session.isOpen() && session.store.extended();
    in.senteAllowedMinutes = game.senteAllowedMinutes;
    in.goteAllowedMinutes = game.goteAllowedMinutes;
    in.senteName = game.senteName;
    in.goteName = game.goteName;
    if (!in.extendedStore) return in;
    const GameStore& store = session.store;
    auto stored = [&](const MoveRecord& m) {
        return m.commentRecord == 0 ? std::string() : ReadComment(store, m.commentFile, m.commentRecord, prompter);
    };
    in.openingComment = stored(record.moves[0]);
    if (n + 1 <= kMaxMoves) in.closingComment = stored(record.moves[std::size_t(n + 1)]);
    auto comments = std::make_shared<std::vector<std::string>>(std::size_t(n + 1));
    for (int k = 1; k <= n; ++k) {
        const MoveRecord& m = record.moves[std::size_t(k)];
        // While the game is entered a move shows its working comment, else the one it had when
        // stored: a corrected game keeps the comments of the moves left alone, and live
        // publishing stores each move (and forgets its working comment) before it publishes.
        if (game.workingComments && m.workingComment != 0) {
            (*comments)[std::size_t(k)] = ReadComment(store, kWorkingCommentFile, m.workingComment, prompter);
        } else {
            (*comments)[std::size_t(k)] = stored(m);
        }
    }
    in.moveComment = [comments](int k) {
        return k >= 0 && std::size_t(k) < comments->size() ? (*comments)[std::size_t(k)] : std::string();
    };
    return in;
}

}  // namespace movra
