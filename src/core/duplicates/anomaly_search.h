#pragma once
// The five checks for unusual games, over the games of the catalogue as it is (after a search
// it may hold only some games, in any order): a fourfold repetition, a full file of pieces, an
// end with both hands empty, a captured king, a given number of moves. Every game's slots 1-256
// are replayed from its handicap's starting position without the rules; the overflow records
// are never read. The games found replace the catalogue in its order, each with its hit move.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/duplicates/game_data_scan.h"
#include "core/store/catalogue.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

enum class AnomalyCheck {
    Repetition,    // 千日手: the same position with the same side to move for the fourth time
    FullFile,      // 駒柱: all nine squares of a file occupied
    EmptyHands,    // 持駒なし終局: at the end neither side holds a piece other than a king
    CapturedKing,  // 玉素抜き: at the end a side holds a king
    Length,        // 指定手数: more than N moves (v >= 0) or at most N moves (v < 0)
};

struct AnomalyOutcome {
    long found = 0;         // games listed
    bool stopped = false;   // stopped through Progress: the catalogue is unchanged
    bool memoryShort = false;
};

// Runs a check over the catalogue's entries. The games found replace the catalogue in its
// order (count = games found, page start 1) with their position hits: the move of the fourth
// occurrence (the earliest such move over all positions), the first move that fills a file,
// the number of moves for the two end checks, -1 for the length check. With none found the
// catalogue is unchanged. `lengthValue` is the v of the length check, -255 … 255.
// Progress every 100 games with the check's caption; no message is shown.
AnomalyOutcome FindAnomalies(const GameStore& store, GameCatalogue& catalogue, AnomalyCheck check,
                             int lengthValue, Prompter& prompter, const ScanOptions& options = {});

// The check on the open store with its messages: the own-format store is needed
// ("\rMovra形式の棋譜ファイルが読み込まれていません。"), then the number found or none is told.
// Returns the number found.
long RunAnomalyCheck(StoreSession& session, AnomalyCheck check, int lengthValue, Prompter& prompter,
                     const ScanOptions& options = {});

// The key chords of the duplicate dialog that start the checks. Ctrl+Shift+S starts the
// repetition check; Ctrl+Shift+K then Ctrl+Shift+H the full-file check; Ctrl+Shift+T then
// Ctrl+Shift+M the empty-hands check; Ctrl+Alt+T then the character "O" or "o" the captured-king
// check, or then a digit or "-" the length check (the character prefills its question). A first
// key arms its second only for the very next key press (a modifier key alone does not count).
struct ChordKey {
    char letter = 0;      // the key's letter A-Z, 0 for other keys
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    char typed = 0;       // the character the key types, 0 for none
    bool modifierOnly = false;
};
struct ChordRequest {
    AnomalyCheck check;
    char typed = 0;       // the length check's first character
};
class AnomalyChords {
public:
    std::optional<ChordRequest> Press(const ChordKey& key);

private:
    enum class Armed { None, K, T, CharAfterT };
    Armed armed_ = Armed::None;
};

// The value typed for the length check: an optional sign and digits, -255 … 255; nullopt
// otherwise (the check then ends without running).
std::optional<int> ParseLengthValue(std::string_view text);

// "【 千日手検索中 】", "【 駒柱検索中 】", …
std::string AnomalyCaption(AnomalyCheck check);
// "\r" + n + "件の千日手棋譜がありました。" or "\r千日手棋譜はありませんでした。", …
std::string AnomalyMessage(AnomalyCheck check, long found);
// The counter of the repetition check's panel: "( %5d )".
std::string AnomalyCounterText(long examined);

// The move of a game's first fourfold repetition, from the 100 position bytes after every move:
// the records (position, parity of the move, move) sorted, every run of four equal positions
// with equal parity gives its fourth move, and the smallest is the answer; 0 when there is none.
// The slow and plain form, which the fast check confirms each hit with.
int FirstFourfoldRepetition(const std::uint8_t* record, int handicapNumber);

}  // namespace movra
