#pragma once
// Stores of many games for the game list and search tests: the 矢倉 game cut to a different
// length for each game, with headers the test chooses.
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/text/prompter.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"
#include "test_games.h"

namespace movra::testing {

struct GuiListGame {
    IndexRecord index;
    DetailRecord detail;
    int moves = 10;  // how much of the 矢倉 game (at most 46 moves)
};

// Game i (1-based) gets year 2000 + i, January 1st, sente wins on odd numbers and gote on even
// ones, and 10 + i % 30 moves, unless the maker says otherwise.
inline void MakeGuiListStore(const std::filesystem::path& indexPath, int count, bool extended,
                             const std::function<void(int, GuiListGame&)>& maker = nullptr) {
    std::filesystem::create_directories(indexPath.parent_path());
    if (!CreateStoreFiles(indexPath, extended)) throw std::runtime_error("cannot create the store");
    GameStore store(indexPath, extended ? StoreKind::Extended : StoreKind::Classic);
    SilentPrompter quiet;
    const TKifData full = YaguraGame();
    for (int i = 1; i <= count; ++i) {
        GuiListGame g;
        g.index.setYear(std::uint16_t(2000 + i));
        g.index.setMonth(1);
        g.index.setDay(1);
        g.index.setResult(std::uint16_t(i % 2 == 1 ? 1 : 2));
        g.moves = 10 + i % 30;
        if (maker) maker(i, g);
        TKifData game = full;
        game.moveCount = std::int16_t(std::min<int>(g.moves, full.moveCount));
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        const WrittenGame written = WriteGame(store, g.index, moves, kAppendGame, false, quiet);
        if (!written.ok) throw std::runtime_error("cannot write a game");
        if (extended) {
            g.detail.CopyIndexWords(g.index);
            g.detail.setMoveCount(std::uint16_t(game.moveCount));
            if (!WriteGameDetail(store, g.detail, info, written.recordNumber, false).ok) {
                throw std::runtime_error("cannot write a detail record");
            }
        }
    }
}

}  // namespace movra::testing
