#pragma once
// The conditions of a game search as the search compares them, the mappings from what the
// search dialog's lists hold to those values, and the header tests every search applies: the
// player test in its three modes, tournament, sub-tournament, opening, result, handicap and the
// date range.
//
// The same tests run over raw index records (the full search reads the index file) and over
// catalogue entries (the narrowing search), through the one HeaderFilter.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/rules/position.h"
#include "core/record/game_header.h"
#include "core/store/layout.h"

namespace movra {

// How the two chosen players are matched against a game's sente and gote.
enum class PlayerMode : int {
    Either = 1,    // both players in the game, on either side
    Labelled = 2,  // player 1 is sente (下手), player 2 gote (上手)
    Swapped = 3,   // player 1 is gote, player 2 sente
};

enum class PositionMode : int {
    None = 0,
    Same = 1,            // 同一局面
    SameOrReversed = 2,  // 類似局面（反転）: also the board turned round with the colours swapped
};

// The longest game the store holds, in move slots: the depth "to the end of the game".
inline constexpr int kSearchToEnd = kMaxSlots;
// The depth the dialog starts with (" 50手まで").
inline constexpr int kDefaultSearchDepth = 50;

// The position a position search looks for: the squares that hold a piece (an empty square is
// not compared) and the pieces each side holds at least.
struct SearchPattern {
    Board board{};        // by BoardIndex(file, rank); 0 = not compared
    HandCounts senteHand{};
    HandCounts goteHand{};

    static SearchPattern FromPosition(const BoardPosition& position);
    // How many squares the pattern compares.
    int squareCount() const;
    friend bool operator==(const SearchPattern&, const SearchPattern&) = default;
};

// The conditions as the search compares them.
struct SearchConditions {
    int player1 = 0;  // player numbers; 0 = any
    int player2 = 0;
    PlayerMode playerMode = PlayerMode::Either;
    int tournament = 0;     // 0 = any
    int subTournament = 0;  // 0 = any
    int opening = 0;        // 0 = any
    int resultIndex = 0;    // the result list's index: 0 any, else result code + 1
    int handicap = -1;      // handicap number; -1 = any
    std::uint32_t dateFrom = 0;         // year × 10000 + month × 100, inclusive
    std::uint32_t dateTo = 99999999u;   // year × 10000 + month × 100 + 99, inclusive
    PositionMode positionMode = PositionMode::None;
    int depth = kDefaultSearchDepth;    // move slots replayed; 512 = to the end
    SearchPattern pattern;              // used with a position mode only

    friend bool operator==(const SearchConditions&, const SearchConditions&) = default;
};

// --- what the dialog's lists mean ---------------------------------------------------------------

// The handicap list holds "指定なし" and then the handicap names from number 0: index − 1, so
// index 0 gives −1 (any handicap).
constexpr int HandicapOfListIndex(int index) { return index - 1; }
// The result list: index 0 is "指定なし"; index i matches result code i − 1 (index 1 "勝敗未登録"
// is code 0, index 7 "以下後手勝ち" is code 6).
constexpr bool ResultPasses(int resultIndex, int resultCode) {
    return resultIndex == 0 || resultIndex == resultCode + 1;
}
// The depth list: " 10手まで" (index 0) to "100手まで" (index 9) in steps of ten, then
// " 終局まで"; the depth is (index + 1) × 10 move slots.
int DepthOfListIndex(int index);
// A depth in move slots as the search uses it: above 100 (or not positive) means the whole game.
int SearchDepth(int moves);
// The date bounds: from = year × 10000 + month × 100, to = year × 10000 + month × 100 + 99. With
// month 00 "from" takes in the games dated with month 0; a day 0 is inside every month.
constexpr std::uint32_t DateFromValue(int year, int month) {
    return std::uint32_t(year) * 10000u + std::uint32_t(month) * 100u;
}
constexpr std::uint32_t DateToValue(int year, int month) {
    return std::uint32_t(year) * 10000u + std::uint32_t(month) * 100u + 99u;
}

// The texts of the result list, index 0-9 (CP932).
const std::array<std::string_view, 10>& ResultListTexts();
// The texts of the position list: "局面指定なし", "同一局面", "類似局面（反転）".
const std::array<std::string_view, 3>& PositionListTexts();
// The texts of the depth list: " 10手まで" … "100手まで", " 終局まで".
const std::array<std::string_view, 11>& DepthListTexts();
// "指定なし", the first entry of every condition list.
std::string_view NoConditionText();

// --- the header tests -----------------------------------------------------------------------------

// The fields of a game the header tests read.
struct HeaderFields {
    int sentePlayer = 0;
    int gotePlayer = 0;
    int tournament = 0;
    int subTournament = 0;
    int opening = 0;
    int result = 0;
    int handicap = 0;
    std::uint32_t date = 0;  // year × 10000 + month × 100 + day

    static HeaderFields FromHeader(const GameHeader& h);
    static HeaderFields FromIndexBytes(const std::uint8_t* record);  // 32 bytes
};

// The header tests compiled once for a search.
//
// The player test, with A and B the chosen numbers (0 = none): with Either a lone player 2
// stands in for player 1, with Swapped the two are exchanged. Then no player passes everything;
// Either with two players wants both in the game on either side, with one player that player on
// either side; Labelled and Swapped want A as sente (when chosen) and B as gote (when chosen).
class HeaderFilter {
public:
    explicit HeaderFilter(const SearchConditions& c);

    bool Passes(const HeaderFields& g) const {
        if (handicap_ >= 0 && g.handicap != handicap_) return false;
        if (tournament_ != 0 && g.tournament != tournament_) return false;
        if (subTournament_ != 0 && g.subTournament != subTournament_) return false;
        if (opening_ != 0 && g.opening != opening_) return false;
        if (!ResultPasses(resultIndex_, g.result)) return false;
        if (g.date < dateFrom_ || g.date > dateTo_) return false;
        return PlayersPass(g.sentePlayer, g.gotePlayer);
    }

private:
    bool PlayersPass(int sente, int gote) const {
        if (a_ == 0 && b_ == 0) return true;
        if (either_) {
            if (b_ != 0) return (sente == a_ && gote == b_) || (sente == b_ && gote == a_);
            return sente == a_ || gote == a_;
        }
        return (a_ == 0 || sente == a_) && (b_ == 0 || gote == b_);
    }

    int a_ = 0, b_ = 0;
    bool either_ = true;
    int tournament_, subTournament_, opening_, resultIndex_, handicap_;
    std::uint32_t dateFrom_, dateTo_;
};

}  // namespace movra
