#include "core/explorer/tree_text.h"

#include <cstdio>

#include "core/list/game_list_page.h"
#include "core/rules/notation.h"
#include "core/rules/piece.h"
#include "core/store/layout.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;

std::string TreeMoveText(const ExplorerPosition& position, MoveKey key) {
    const int to = key & 0x7F;
    const int from = key >> 8;
    if (to < 1 || to > 81) return MoveKeyToUsi(key);
    std::string text = SquareText(FileOfSquareCode(to), RankOfSquareCode(to));
    if (from > kDropOriginBase) {
        const PieceKind k = PieceKind(from - kDropOriginBase);
        if (k < 1 || k > 7) return MoveKeyToUsi(key);
        return text + PieceName(CodeOfKind(k)) + std::string{"打"_sj};
    }
    if (from < 1 || from > 81) return MoveKeyToUsi(key);
    const PieceCode piece = position.squares[std::size_t(from)];
    if (!IsPiece(piece)) return MoveKeyToUsi(key);
    text += PieceName(OwnCode(piece));
    if ((key & 0x80) != 0) text += std::string{"成"_sj};
    char origin[8];
    std::snprintf(origin, sizeof origin, "(%d%d)", FileOfSquareCode(from), RankOfSquareCode(from));
    return text + origin;
}

std::string TreeDateText(std::uint32_t date) {
    const unsigned year = date / 10000, month = date / 100 % 100, day = date % 100;
    if (year == 0) return {};
    char text[24];
    if (month == 0) {
        std::snprintf(text, sizeof text, "%04u", year);
    } else if (day == 0) {
        std::snprintf(text, sizeof text, "%04u/%02u", year, month);
    } else {
        std::snprintf(text, sizeof text, "%04u/%02u/%02u", year, month, day);
    }
    return text;
}

std::string TreePlayersText(const GameStore& store, const PlayerTable& players, const MoveTally& t) {
    if (t.games == 0) return {};
    std::string sente, gote;
    if ((t.lastSente == 0 || t.lastGote == 0) && store.extended()) {
        DetailRecord detail;
        SilentPrompter quiet;
        if (ReadDetailRecord(store, long(t.lastRecord), detail, quiet)) {
            sente = detail.senteName();
            gote = detail.goteName();
        }
    }
    const auto trim = [](std::string s) {
        while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
        return s;
    };
    return trim(ListPlayerName(t.lastSente, sente, store.extended(), players)) + " - " +
           trim(ListPlayerName(t.lastGote, gote, store.extended(), players));
}

}  // namespace movra
