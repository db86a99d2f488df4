#pragma once
// A small store of the extended kind written the way the main window saves games, for the window
// tests: the 矢倉 game with consumed times, a comment on move 30 and one on the final position.
#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/text/sjis_literal.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"
#include "support/recording_prompter.h"
#include "test_games.h"

namespace movra::testing {

inline constexpr int kCommentedMove = 30;

// Consumed time of move i in the test store, in seconds.
inline std::uint16_t TestStoreTime(int i) { return static_cast<std::uint16_t>(30 + (i * 53) % 400); }

// Creates the store at `ipxPath` (".ipx": the extended kind) holding the 矢倉 game as game 1.
inline void MakeTestStore(const std::filesystem::path& ipxPath) {
    using namespace movra::literals;
    std::filesystem::create_directories(ipxPath.parent_path());
    if (!CreateStoreFiles(ipxPath, true)) throw std::runtime_error("cannot create the test store");
    GameStore store(std::filesystem::path(ipxPath).replace_extension(".idx"), StoreKind::Extended);
    RecordingPrompter prompter;

    TKifData game = YaguraGame();
    for (int i = 1; i <= game.moveCount; ++i) game.moves[i].consumedTime = TestStoreTime(i);
    game.endCode = '2';
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(game, moves, info);
    IndexRecord index;
    index.setYear(2024);
    index.setMonth(4);
    index.setDay(10);
    index.setResult(2);
    const WrittenGame written = WriteGame(store, index, moves, kAppendGame, false, prompter);
    if (!written.ok) throw std::runtime_error("cannot write the test game");
    DetailRecord detail;
    detail.CopyIndexWords(index);
    detail.setMoveCount(static_cast<std::uint16_t>(game.moveCount));
    detail.setSenteName("森川一郎"_sj);
    detail.setGoteName("高田健二"_sj);
    detail.setSenteAllowedMinutes(360);
    detail.setGoteAllowedMinutes(360);
    detail.setClosingTime(75);
    if (!WriteGameDetail(store, detail, info, written.recordNumber, false).ok) {
        throw std::runtime_error("cannot write the test game's detail");
    }
    const long k = written.recordNumber;
    const CommentWriteResult onMove =
        WriteComment(store, 0, 0, "ここで８五歩と伸ばすのが急所。"_sj, prompter);
    const CommentWriteResult onEnd = WriteComment(store, 0, 0, "後手の攻めが一手早い。"_sj, prompter);
    if (onMove.number == 0 || onEnd.number == 0 ||
        !LinkMoveComment(store, k, kCommentedMove, 0, 0, onMove.number, onMove.file, prompter) ||
        !LinkGameComment(store, k, GameCommentPlace::Closing, onEnd.file, onEnd.number, prompter)) {
        throw std::runtime_error("cannot write the test comments");
    }
}

}  // namespace movra::testing
