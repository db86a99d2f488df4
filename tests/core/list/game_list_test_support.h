#pragma once
// Small stores for the game list tests: games of random legal moves with headers the test
// chooses, written through the store's own append path.
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>

#include "core/store/store_test_support.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace movra::testing {

// The header of game i (1-based) before it is written; the move count is the test's choice.
struct ListGameRecipe {
    IndexRecord index;
    DetailRecord detail;
    int moves = 12;
};
using ListGameMaker = std::function<void(int i, ListGameRecipe& recipe)>;

// Writes `count` games into a new store at `indexPath` (".idx"; extended adds the detail,
// move-info and comment files). Game i gets year 2000 + i and day 1 unless the maker says
// otherwise.
inline GameStore MakeListStore(const std::filesystem::path& indexPath, int count, bool extended,
                               const ListGameMaker& maker = nullptr) {
    if (!CreateStoreFiles(indexPath, extended)) throw std::runtime_error("cannot create the store");
    GameStore store(indexPath, extended ? StoreKind::Extended : StoreKind::Classic);
    SilentPrompter quiet;
    std::mt19937 rng(20240410);
    for (int i = 1; i <= count; ++i) {
        ListGameRecipe recipe;
        recipe.index.setYear(std::uint16_t(2000 + i));
        recipe.index.setMonth(1);
        recipe.index.setDay(1);
        recipe.index.setResult(std::uint16_t(1 + i % 2));
        if (maker) maker(i, recipe);
        TKifData game;
        PlayRandomGame(rng, recipe.index.handicap(), recipe.moves, game);
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        const WrittenGame written = WriteGame(store, recipe.index, moves, kAppendGame, false, quiet);
        if (!written.ok) throw std::runtime_error("cannot write a game");
        if (extended) {
            recipe.detail.CopyIndexWords(recipe.index);
            recipe.detail.setMoveCount(std::uint16_t(game.moveCount));
            if (!WriteGameDetail(store, recipe.detail, info, written.recordNumber, false).ok) {
                throw std::runtime_error("cannot write a detail record");
            }
        }
    }
    store.recordCount = std::uint32_t(count);
    return store;
}

}  // namespace movra::testing
