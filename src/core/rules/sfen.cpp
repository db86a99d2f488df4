#include "core/rules/sfen.h"

#include <cctype>
#include <vector>

namespace movra {
namespace {

constexpr std::string_view kStartSfen =
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1";

// USI letters by piece kind 1-8.
constexpr std::string_view kKindLetters = " PLNSGBRK";
// Hands are written strongest first.
constexpr int kHandOrder[] = {kind::Gyoku, kind::Hi, kind::Kaku, kind::Kin,
                              kind::Gin,   kind::Kei, kind::Kyo, kind::Fu};

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

std::vector<std::string_view> SplitWords(std::string_view s) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        std::size_t start = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

PieceKind KindOfLetter(char c) {
    std::size_t at = kKindLetters.find(char(std::toupper(static_cast<unsigned char>(c))));
    return at == std::string_view::npos || at == 0 ? 0 : PieceKind(at);
}

// Takes a piece of the kind from the box, preferring the half of the set that the side starts
// with, so a standard position gets the familiar numbering.
int TakeFromBox(BoardPosition& p, PieceKind k, bool gote) {
    int firstHalf = gote ? 21 : 1;
    int secondHalf = gote ? 1 : 21;
    for (int base : {firstHalf, secondHalf}) {
        for (int i = base; i < base + 20; ++i) {
            PieceEntry& e = p.pieces[i];
            if (e.file == location::kBox && e.rank == k) return i;
        }
    }
    return 0;
}

void EmptyBox(BoardPosition& p) {
    SetUpEmpty(p);
    for (int i = 1; i <= kPieceCount; ++i) {
        PieceEntry& e = p.pieces[i];
        e.code = OwnCode(e.code);
        e.file = location::kBox;
        e.rank = KindOf(e.code);
    }
}

bool ReadBoard(std::string_view text, BoardPosition& p, std::string* error) {
    int rank = 1, file = 9;
    bool promoted = false;
    for (char c : text) {
        if (c == '/') {
            if (file != 0 || promoted) return Fail(error, "rank " + std::to_string(rank) + " is not 9 squares");
            ++rank;
            file = 9;
            continue;
        }
        if (rank > 9) return Fail(error, "more than 9 ranks");
        if (c >= '1' && c <= '9') {
            if (promoted) return Fail(error, "'+' before a digit");
            file -= c - '0';
            if (file < 0) return Fail(error, "rank " + std::to_string(rank) + " is longer than 9 squares");
            continue;
        }
        if (c == '+') {
            if (promoted) return Fail(error, "'++'");
            promoted = true;
            continue;
        }
        PieceKind k = KindOfLetter(c);
        if (k == 0) return Fail(error, std::string("unknown piece letter '") + c + "'");
        if (file < 1) return Fail(error, "rank " + std::to_string(rank) + " is longer than 9 squares");
        bool gote = std::islower(static_cast<unsigned char>(c)) != 0;
        PieceCode code = CodeOfKind(k);
        if (promoted) {
            if (!IsPromotable(code)) return Fail(error, std::string("'+") + c + "' cannot be promoted");
            code = Promote(code);
        }
        if (gote) code = PieceCode(code + piece::kGoteOffset);
        int index = TakeFromBox(p, k, gote);
        if (index == 0) return Fail(error, std::string("more '") + c + "' than a set holds");
        p.pieces[index].code = code;
        p.pieces[index].image = code;
        p.pieces[index].file = std::uint8_t(file);
        p.pieces[index].rank = std::uint8_t(rank);
        --file;
        promoted = false;
    }
    if (rank != 9 || file != 0 || promoted) return Fail(error, "the board does not have 9 ranks of 9 squares");
    return true;
}

bool ReadHands(std::string_view text, BoardPosition& p, std::string* error) {
    if (text == "-") return true;
    int count = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            count = count * 10 + (c - '0');
            if (count > 18) return Fail(error, "hand count above 18");
            continue;
        }
        PieceKind k = KindOfLetter(c);
        if (k == 0) return Fail(error, std::string("unknown piece letter '") + c + "' in hand");
        bool gote = std::islower(static_cast<unsigned char>(c)) != 0;
        if (count == 0) count = 1;
        for (; count > 0; --count) {
            int index = TakeFromBox(p, k, gote);
            if (index == 0) return Fail(error, std::string("more '") + c + "' than a set holds");
            PieceCode code = CodeOfKind(k);
            if (gote) code = PieceCode(code + piece::kGoteOffset);
            p.pieces[index].code = code;
            p.pieces[index].image = code;
            p.pieces[index].file = gote ? location::kGoteHand : location::kSenteHand;
            p.pieces[index].rank = k;
        }
    }
    if (count != 0) return Fail(error, "hand count without a piece");
    return true;
}

std::string PieceLetters(PieceCode code) {
    std::string s;
    if (IsPromoted(code)) s += '+';
    char c = kKindLetters[KindOf(code)];
    s += IsGote(code) ? char(std::tolower(static_cast<unsigned char>(c))) : c;
    return s;
}

}  // namespace

std::optional<SfenPosition> ParseSfen(std::string_view sfen, std::string* error) {
    std::vector<std::string_view> words = SplitWords(sfen);
    if (!words.empty() && words[0] == "sfen") words.erase(words.begin());
    if (!words.empty() && words[0] == "startpos") words = SplitWords(kStartSfen);
    if (words.size() < 3 || words.size() > 4) {
        Fail(error, "an SFEN has a board, a side to move, hands and a move number");
        return std::nullopt;
    }
    SfenPosition result;
    EmptyBox(result.position);
    if (!ReadBoard(words[0], result.position, error)) return std::nullopt;
    if (words[1] == "b") {
        result.sideToMove = 1;
    } else if (words[1] == "w") {
        result.sideToMove = 2;
    } else {
        Fail(error, "the side to move is 'b' or 'w'");
        return std::nullopt;
    }
    if (!ReadHands(words[2], result.position, error)) return std::nullopt;
    if (words.size() == 4) {
        int n = 0;
        for (char c : words[3]) {
            if (c < '0' || c > '9' || n > 100000) {
                Fail(error, "bad move number");
                return std::nullopt;
            }
            n = n * 10 + (c - '0');
        }
        result.moveNumber = n;
    }
    Rebuild(result.position);
    return result;
}

std::string ToSfen(const BoardPosition& position, int sideToMove, int moveNumber) {
    BoardPosition p = position;
    Rebuild(p);
    std::string s;
    for (int rank = 1; rank <= 9; ++rank) {
        if (rank > 1) s += '/';
        int empty = 0;
        for (int file = 9; file >= 1; --file) {
            PieceCode c = p.board[BoardIndex(file, rank)];
            if (c == 0) {
                ++empty;
                continue;
            }
            if (empty) s += char('0' + empty);
            empty = 0;
            s += PieceLetters(c);
        }
        if (empty) s += char('0' + empty);
    }
    s += sideToMove == side::kGote ? " w " : " b ";
    std::string hands;
    for (int side = 0; side < 2; ++side) {
        const HandCounts& hand = side == 0 ? p.senteHand : p.goteHand;
        for (int k : kHandOrder) {
            if (hand[k] == 0) continue;
            if (hand[k] > 1) hands += std::to_string(hand[k]);
            char c = kKindLetters[k];
            hands += side == 0 ? c : char(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    s += hands.empty() ? "-" : hands;
    s += ' ';
    s += std::to_string(moveNumber);
    return s;
}

std::string MoveCodeToUsi(const MoveCode& code) {
    std::string s;
    if (code.isDrop()) {
        s += kKindLetters[code.fromRank() <= 8 ? code.fromRank() : 0];
        s += '*';
    } else {
        s += char('0' + code.fromFile());
        s += char('a' + code.fromRank() - 1);
    }
    s += char('0' + code.toFile());
    s += char('a' + code.toRank() - 1);
    if (code.promotes()) s += '+';
    return s;
}

std::optional<MoveCode> UsiToMoveCode(std::string_view usi) {
    if (usi.size() < 4 || usi.size() > 5) return std::nullopt;
    auto rankDigit = [](char c) { return c >= 'a' && c <= 'i' ? char('1' + (c - 'a')) : '\0'; };
    std::string code(5, ' ');
    if (usi[1] == '*') {
        PieceKind k = KindOfLetter(usi[0]);
        if (k == 0 || k == kind::Gyoku || !std::isupper(static_cast<unsigned char>(usi[0]))) {
            return std::nullopt;
        }
        code[0] = '0';
        code[1] = char('0' + k);
    } else {
        if (usi[0] < '1' || usi[0] > '9') return std::nullopt;
        code[0] = usi[0];
        code[1] = rankDigit(usi[1]);
    }
    code[2] = usi[2];
    code[3] = rankDigit(usi[3]);
    if (usi.size() == 5) {
        if (usi[4] != '+' || usi[1] == '*') return std::nullopt;
        code[4] = '+';
    }
    if (code[1] == '\0' || code[3] == '\0' || code[2] == '0') return std::nullopt;
    return MoveCode::Parse(code);
}

}  // namespace movra
