#include "core/positionedit/editing.h"

#include "core/text/sjis_literal.h"

namespace movra {
using namespace movra::literals;

namespace {

bool InHandOrBox(const PieceEntry& e) {
    return e.file == location::kSenteHand || e.file == location::kGoteHand || e.file == location::kBox;
}

// The piece put into a hand or the box: unpromoted, of the owner of that place (the box keeps
// sente's codes), the kind as its rank.
void PutAside(PieceEntry& e, std::uint8_t file) {
    const PieceKind k = KindOf(e.code);
    e.code = CodeOfKind(k);
    if (file == location::kGoteHand) e.code = PieceCode(e.code + piece::kGoteOffset);
    e.file = file;
    e.rank = k;
    e.image = e.code;
}

bool ValidIndex(const BoardPosition& p, int index) {
    return index >= 1 && index <= kPieceCount && p.pieces[index].present != 0 &&
           IsPiece(p.pieces[index].code);
}

std::uint8_t FileOfPlace(EditPlace place) {
    switch (place) {
        case EditPlace::SenteHand: return location::kSenteHand;
        case EditPlace::GoteHand: return location::kGoteHand;
        default: return location::kBox;
    }
}

constexpr std::string_view kFileDigits[10] = {"", "１"_sj, "２"_sj, "３"_sj, "４"_sj, "５"_sj,
                                              "６"_sj, "７"_sj, "８"_sj, "９"_sj};
constexpr std::string_view kRankNumerals[10] = {"", "一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj,
                                                "六"_sj, "七"_sj, "八"_sj, "九"_sj};

std::string SquareText(int file, int rank) {
    return std::string(kFileDigits[file]) + std::string(kRankNumerals[rank]);
}

std::string SideText(bool gote) { return std::string(gote ? "後手"_sj : "先手"_sj); }

}  // namespace

EditTarget PlaceOfPiece(const PieceEntry& e) {
    if (IsBoardSquare(e.file, e.rank)) return {EditPlace::Board, Square{e.file, e.rank}};
    if (e.file == location::kSenteHand) return {EditPlace::SenteHand, {}};
    if (e.file == location::kGoteHand) return {EditPlace::GoteHand, {}};
    if (e.file == location::kBox) return {EditPlace::Box, {}};
    return {};
}

int PieceOnSquare(const BoardPosition& p, Square square) {
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present != 0 && e.file == square.file && e.rank == square.rank && IsBoardSquare(e.file, e.rank)) {
            return i;
        }
    }
    return 0;
}

int PieceInGroup(const BoardPosition& p, EditPlace place, PieceKind k) {
    if (place == EditPlace::Board || place == EditPlace::Nowhere) return 0;
    const std::uint8_t file = FileOfPlace(place);
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present != 0 && e.file == file && e.rank == k) return i;
    }
    return 0;
}

bool DropPiece(BoardPosition& p, int index, const EditTarget& target) {
    if (!ValidIndex(p, index)) return false;
    PieceEntry& held = p.pieces[index];
    switch (target.place) {
        case EditPlace::Nowhere:
            return false;
        case EditPlace::Board: {
            const Square to = target.square;
            if (!IsBoardSquare(to.file, to.rank)) return false;
            if (held.file == to.file && held.rank == to.rank) return false;
            const int occupant = PieceOnSquare(p, to);
            if (occupant != 0) {
                PieceEntry& o = p.pieces[occupant];
                if (InHandOrBox(held)) {
                    // The two pieces change places.
                    PutAside(o, held.file);
                } else {
                    PutAside(o, IsGote(held.code) ? location::kGoteHand : location::kSenteHand);
                }
            }
            // A piece from a hand or the box already carries the code it arrives with.
            held.file = to.file;
            held.rank = to.rank;
            held.image = held.code;
            break;
        }
        case EditPlace::SenteHand:
        case EditPlace::GoteHand:
        case EditPlace::Box: {
            const std::uint8_t file = FileOfPlace(target.place);
            const PieceEntry before = held;
            PutAside(held, file);
            if (held == before) return false;
            break;
        }
    }
    Rebuild(p);
    return true;
}

bool FlipPiece(BoardPosition& p, int index) {
    if (!ValidIndex(p, index) || !IsBoardSquare(p.pieces[index].file, p.pieces[index].rank)) return false;
    PieceEntry& e = p.pieces[index];
    e.code = EditCycle(e.code);
    e.image = e.code;
    Rebuild(p);
    return true;
}

int MoveBoxToHand(BoardPosition& p, int side) {
    const std::uint8_t file = side == side::kGote ? location::kGoteHand : location::kSenteHand;
    int moved = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        if (e.present == 0 || e.file != location::kBox || KindOf(e.code) == kind::Gyoku) continue;
        PutAside(e, file);
        ++moved;
    }
    Rebuild(p);
    return moved;
}

int MoveHandToBox(BoardPosition& p, int side) {
    const std::uint8_t file = side == side::kGote ? location::kGoteHand : location::kSenteHand;
    int moved = 0;
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        if (e.present == 0 || e.file != file) continue;
        PutAside(e, location::kBox);
        ++moved;
    }
    Rebuild(p);
    return moved;
}

void SwapSides(BoardPosition& p) {
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        if (!IsPiece(e.code)) continue;
        if (e.file == location::kBox) continue;  // the box keeps sente's codes
        e.code = IsGote(e.code) ? PieceCode(e.code - piece::kGoteOffset) : PieceCode(e.code + piece::kGoteOffset);
        e.image = e.code;
        if (e.file == location::kSenteHand) {
            e.file = location::kGoteHand;
        } else if (e.file == location::kGoteHand) {
            e.file = location::kSenteHand;
        } else if (IsBoardSquare(e.file, e.rank)) {
            e.file = std::uint8_t(10 - e.file);
            e.rank = std::uint8_t(10 - e.rank);
        }
    }
    Rebuild(p);
}

bool SwapExchangesNames(std::string_view sente, std::string_view gote) {
    const bool plainEven = sente == "先手"_sj && gote == "後手"_sj;
    const bool plainHandicap = sente == "下手"_sj && gote == "上手"_sj;
    return !plainEven && !plainHandicap;
}

std::vector<std::string> PositionProblems(const BoardPosition& p) {
    std::vector<std::string> problems;
    int kings[2] = {0, 0};
    bool kingInHand = false;
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = p.pieces[i];
        if (e.present == 0 || KindOf(e.code) != kind::Gyoku || e.file == location::kBox) continue;
        if (e.file == location::kSenteHand || e.file == location::kGoteHand) {
            kingInHand = true;
        } else {
            ++kings[IsGote(e.code) ? 1 : 0];
        }
    }
    for (int s = 0; s < 2; ++s) {
        if (kings[s] > 1) problems.push_back(SideText(s == 1) + "の玉が２枚あります。"_sj);
    }
    if (kingInHand) problems.push_back(std::string("玉が持駒になっています。"_sj));
    for (int s = 0; s < 2; ++s) {
        const bool gote = s == 1;
        for (int file = 1; file <= 9; ++file) {
            int pawns = 0;
            for (int rank = 1; rank <= 9; ++rank) {
                if (p.board[BoardIndex(file, rank)] == (gote ? piece::Fu + piece::kGoteOffset : piece::Fu)) ++pawns;
            }
            if (pawns > 1) problems.push_back(SideText(gote) + "の二歩があります（"_sj + std::string(kFileDigits[file]) + "筋）。"_sj);
        }
    }
    std::string deadSquares;
    for (int rank = 1; rank <= 9; ++rank) {
        for (int file = 9; file >= 1; --file) {
            const PieceCode c = p.board[BoardIndex(file, rank)];
            if (!IsPiece(c)) continue;
            // Ranks counted from the side's own far end: 1 is the last rank it can reach.
            const int fromEnd = IsGote(c) ? 10 - rank : rank;
            const PieceCode own = OwnCode(c);
            const bool dead = ((own == piece::Fu || own == piece::Kyo) && fromEnd == 1) ||
                              (own == piece::Kei && fromEnd <= 2);
            if (dead) deadSquares += SquareText(file, rank);
        }
    }
    if (!deadSquares.empty()) problems.push_back("動けない駒があります（"_sj + deadSquares + "）。"_sj);
    return problems;
}

}  // namespace movra
