#include "core/list/search_conditions.h"

#include <utility>

#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

SearchPattern SearchPattern::FromPosition(const BoardPosition& position) {
    SearchPattern p;
    p.board = position.board;
    p.board[0] = 0;
    p.senteHand = position.senteHand;
    p.goteHand = position.goteHand;
    p.senteHand[0] = 0;
    p.goteHand[0] = 0;
    return p;
}

int SearchPattern::squareCount() const {
    int n = 0;
    for (int s = 1; s < kBoardSize; ++s) n += board[std::size_t(s)] != 0 ? 1 : 0;
    return n;
}

int SearchDepth(int moves) { return moves <= 0 || moves > 100 ? kSearchToEnd : moves; }

int DepthOfListIndex(int index) { return SearchDepth((index + 1) * 10); }

const std::array<std::string_view, 10>& ResultListTexts() {
    static constexpr std::array<std::string_view, 10> kTexts{
        "指定なし"_sj,     "勝敗未登録"_sj,   "先手勝ち"_sj,   "後手勝ち"_sj,
        "千日手"_sj,       "持将棋"_sj,       "以下先手勝ち"_sj, "以下後手勝ち"_sj,
        "以下千日手"_sj,   "以下持将棋"_sj};
    return kTexts;
}

const std::array<std::string_view, 3>& PositionListTexts() {
    static constexpr std::array<std::string_view, 3> kTexts{"局面指定なし"_sj, "同一局面"_sj,
                                                            "類似局面（反転）"_sj};
    return kTexts;
}

const std::array<std::string_view, 11>& DepthListTexts() {
    static constexpr std::array<std::string_view, 11> kTexts{
        " 10手まで"_sj, " 20手まで"_sj, " 30手まで"_sj, " 40手まで"_sj, " 50手まで"_sj,
        " 60手まで"_sj, " 70手まで"_sj, " 80手まで"_sj, " 90手まで"_sj, "100手まで"_sj,
        " 終局まで"_sj};
    return kTexts;
}

std::string_view NoConditionText() { return "指定なし"_sj; }

HeaderFields HeaderFields::FromHeader(const GameHeader& h) {
    HeaderFields f;
    f.sentePlayer = h.sentePlayer;
    f.gotePlayer = h.gotePlayer;
    f.tournament = h.tournament;
    f.subTournament = h.subTournament;
    f.opening = h.opening;
    f.result = h.result;
    f.handicap = h.handicap;
    f.date = h.dateValue();
    return f;
}

HeaderFields HeaderFields::FromIndexBytes(const std::uint8_t* record) {
    const auto w = [record](int i) { return int(LoadU16(record + i * 2)); };
    HeaderFields f;
    f.sentePlayer = w(indexword::kSentePlayer);
    f.gotePlayer = w(indexword::kGotePlayer);
    f.tournament = w(indexword::kTournament);
    f.subTournament = w(indexword::kSubTournament);
    f.opening = w(indexword::kOpening);
    f.result = w(indexword::kResult);
    f.handicap = w(indexword::kHandicap);
    f.date = std::uint32_t(w(indexword::kYear)) * 10000u + std::uint32_t(w(indexword::kMonth)) * 100u +
             std::uint32_t(w(indexword::kDay));
    return f;
}

namespace {

// A and B as the test compares them.
void NormalisePlayers(int& a, int& b, bool& either, PlayerMode mode) {
    either = mode == PlayerMode::Either;
    if (either && a == 0 && b > 0) {
        a = b;
        b = 0;
    }
    if (mode == PlayerMode::Swapped) std::swap(a, b);
}

}  // namespace

HeaderFilter::HeaderFilter(const SearchConditions& c)
    : a_(c.player1),
      b_(c.player2),
      tournament_(c.tournament),
      subTournament_(c.subTournament),
      opening_(c.opening),
      resultIndex_(c.resultIndex),
      handicap_(c.handicap),
      dateFrom_(c.dateFrom),
      dateTo_(c.dateTo) {
    NormalisePlayers(a_, b_, either_, c.playerMode);
}

}  // namespace movra
