#pragma once
// The game information dialog (the system's TFormTkInf, "棋譜情報設定"): the header of one game
// (modes 1-3) or the bulk change of the marked games (mode 4). It edits the index and detail
// images it is handed; nothing is written to the store here except the consumed times, which
// their editor stores at once. The rules are core's (gameinfo/game_info.h).
#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/config/settings.h"
#include "core/gameinfo/game_info.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/text/prompter.h"

namespace movra {

// What the dialog works with besides the two images: the open store (its kind, files and master
// tables), the settings ([Shogi] WarekiDisp and DateUp) and the prompter for its messages.
struct GameInfoContext {
    StoreSession& session;
    Settings& settings;
    Prompter& prompter;
    // For a game not stored yet (record number beyond the store's count) the consumed-time
    // editor works on the main window's copies: one move-list line a move and the closing line,
    // and the move info. Null: such a game offers no consumed-time editor.
    const std::vector<std::string>* workingMoveLines = nullptr;
    const MoveInfo* workingMoveInfo = nullptr;
};

struct GameInfoOutcome {
    GameInfoAnswer answer = GameInfoAnswer::Cancel;
    // Mode 4 with OK: the values to apply to the marked games (UpdateMarkedGames).
    GameInfoBulkSet bulk;
    // Set when the consumed-time editor stored new times (it writes them to the store itself);
    // the caller takes them into its game record. The detail image already holds them.
    std::optional<ConsumedTimes> times;
};

// Opens the dialog modally. On OK (answers Ok and OkEditMoves) `index` and `detail` hold the
// edited images; on Cancel they are as they were given (except for consumed times stored by
// their editor, which `detail` keeps in any case). `editMovesPreset` chooses "棋譜も変更する" in
// mode 2. `recordNumber` is the game's place in the store (beyond the count for a new game).
GameInfoOutcome RunGameInfoDialog(QWidget* parent, GameInfoMode mode, bool editMovesPreset,
                                  IndexRecord& index, DetailRecord& detail,
                                  std::uint32_t recordNumber, GameInfoContext& context);

}  // namespace movra
