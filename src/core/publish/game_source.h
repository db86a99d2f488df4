#pragma once
// The web files' view of the game on the board: its lines, times, comments and names, gathered
// from the game record and the open store (comments live in the store's comment files).
#include <string>
#include <vector>

#include "core/publish/web_export.h"
#include "core/store/open_store.h"
#include "core/text/prompter.h"

namespace movra {

struct PublishedGame {
    std::vector<std::string> fullLines;   // every move line, then the closing line when there is one
    std::vector<std::string> shownLines;  // the list as the main window shows it
    bool wholeGame = true;
    // The moves' comments are the working ones: the game is being entered or is not yet stored.
    bool workingComments = false;
    int senteAllowedMinutes = 0;
    int goteAllowedMinutes = 0;
    std::string senteName, goteName;
};

// Inputs for PublishGame. The comments are read from the session's store when the inputs are
// made, so the inputs stay valid while the store changes. `record` must outlive the inputs.
PublishInputs MakePublishInputs(const StoreSession& session, const TKifData& record, const PublishedGame& game,
                                Prompter& prompter);

}  // namespace movra
