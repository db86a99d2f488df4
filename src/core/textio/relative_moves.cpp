#include "core/textio/relative_moves.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::string_view kMarks[] = {"▲"_sj, "△"_sj, "▼"_sj, "▽"_sj,
                                       "\xEB\xA7",  "\xEB\xA5",  "・"_sj};
constexpr std::string_view kFileDigits = "１２３４５６７８９"_sj;
constexpr std::string_view kRankNumerals = "一二三四五六七八九"_sj;
// Piece characters by code 1-14; "．" stands for the two-character names 成香 成桂 成銀.
constexpr std::string_view kPieceChars = "歩と香．桂．銀．金角馬飛竜玉"_sj;
// Other spellings: 龍 and 王, and the one-character 杏 圭 全 of some writers.
constexpr std::string_view kOtherPieceChars = "．．．杏．圭．全．．．．龍王"_sj;
constexpr std::string_view kWordChars = "右左上下引直寄行入打成不"_sj;
constexpr std::size_t kMaxTokenBytes = 14;

bool IsLead(char c) { return IsCp932LeadByte(static_cast<std::uint8_t>(c)); }

bool IsTokenStart(std::string_view token) {
    return StartsWithMark(token) || sjis::IndexInList(kFileDigits, token, 0) != 0 ||
           sjis::StartsWith(token, "同"_sj);
}

// The cell (1-9) of a square relative to the destination, seen from sente: 1 right and behind,
// 2 right on the same rank, 3 right and ahead, 4 straight behind, 6 straight ahead, 7-9 left.
int CellFromSente(int file, int rank, int toFile, int toRank) {
    const int h = file < toFile ? 0 : file == toFile ? 1 : 2;
    const int v = rank > toRank ? 0 : rank == toRank ? 1 : 2;
    return 3 * h + v + 1;
}

}  // namespace

bool StartsWithMark(std::string_view text) {
    for (std::string_view m : kMarks) {
        if (sjis::StartsWith(text, m)) return true;
    }
    return false;
}

void ScanMoveTokens(std::string_view line, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t at = 0;
    const std::size_t n = line.size();
    while (at + 1 < n) {
        // The start of a token: skip single bytes and full-width blanks.
        if (!IsLead(line[at])) {
            ++at;
            continue;
        }
        if (line.compare(at, 2, "　"_sj) == 0) {
            at += 2;
            continue;
        }
        const std::size_t start = at;
        const bool marked = StartsWithMark(line.substr(at));
        int chars = 0;
        while (at + 1 < n && IsLead(line[at]) && at + 2 - start <= kMaxTokenBytes) {
            const std::string_view c = line.substr(at, 2);
            const bool always = chars < 2 || (chars == 2 && marked);
            if (!always && (c == "　"_sj || StartsWithMark(c))) break;
            at += 2;
            ++chars;
        }
        const std::string_view token = line.substr(start, at - start);
        if (token.size() >= 4 && IsTokenStart(token)) tokens.push_back(token);
    }
}

RelativeMoveReader::RelativeMoveReader(const BoardPosition& start, char handicap)
    : position_(start), handicap_(handicap), refuse_([](const std::string&) { return false; }) {}

int RelativeMoveReader::SideToMove() const {
    const bool even = moveCount_ % 2 == 0;
    if (handicap_ == '0') return even ? 1 : 2;
    return even ? 2 : 1;
}

RelativeMoveReader::Result RelativeMoveReader::Error() const {
    Result r;
    r.kind = Kind::Error;
    r.error = "This kifu made a mistake at " + std::to_string(moveCount_) + " move.";
    return r;
}

bool RelativeMoveReader::LeavesKingInCheck(int fromFile, int fromRank, int toFile, int toRank,
                                           int side) const {
    Board board = position_.board;
    const auto at = [](int f, int r) { return static_cast<std::size_t>(BoardIndex(f, r)); };
    board[at(toFile, toRank)] = board[at(fromFile, fromRank)];
    board[at(fromFile, fromRank)] = 0;
    const PieceCode king = side == 1 ? piece::Gyoku : PieceCode(piece::Gyoku + piece::kGoteOffset);
    int kf = 0, kr = 0;
    for (int f = 1; f <= 9 && kf == 0; ++f) {
        for (int r = 1; r <= 9; ++r) {
            if (board[at(f, r)] == king) {
                kf = f;
                kr = r;
                break;
            }
        }
    }
    if (kf == 0) return false;
    for (int f = 1; f <= 9; ++f) {
        for (int r = 1; r <= 9; ++r) {
            const PieceCode c = board[at(f, r)];
            if (c == 0 || IsGote(c) == (side == 2)) continue;
            Square from{static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(r)};
            Square to{static_cast<std::uint8_t>(kf), static_cast<std::uint8_t>(kr)};
            if (CheckMove(from, to, c, board, refuse_)) return true;
        }
    }
    return false;
}

namespace {

// The words after the piece name, by their place in kWordChars.
enum MoveWord {
    kRight = 1,  // 右
    kLeft,       // 左
    kUp,         // 上
    kDown,       // 下
    kBack,       // 引
    kStraight,   // 直
    kSideways,   // 寄
    kGo,         // 行
    kEnter,      // 入
    kDropWord,   // 打
    kPromote,    // 成
    kNot,        // 不
};

// The token without its mark and without full-width blanks.
std::string BareMoveText(std::string_view token) {
    std::string text;
    if (StartsWithMark(token)) token.remove_prefix(2);
    for (std::size_t i = 0; i + 1 < token.size(); i += 2) {
        if (token.compare(i, 2, "　"_sj) != 0) text.append(token.substr(i, 2));
    }
    return text;
}

// The end character of a token that ends the game instead of making a move.
std::optional<char> EndCharacterOf(std::string_view text) {
    if (sjis::Contains(text, "投了"_sj)) return endchar::kResigned;
    if (sjis::Contains(text, "千日手"_sj)) return endchar::kRepetition;
    if (sjis::Contains(text, "持将棋"_sj)) return endchar::kImpasse;
    if (sjis::Contains(text, "中断"_sj)) return endchar::kNone;
    return std::nullopt;
}

// What the text of a move says before the board is looked at.
struct MoveText {
    int toFile = 0;  // 0 when the text names no square
    int toRank = 0;
    int code = 0;    // the mover's piece code, 0 when the text names no piece
    bool drop = false;
    bool promotes = false;
    bool left = false;            // 左: the candidates are taken from the mover's left
    std::array<int, 10> cells{};  // how many words chose each cell 1-9 (see CellFromSente)
};

// The destination: a square, or 同 for the square of the previous move. Consumes it.
void ReadDestination(std::string_view& rest, std::string_view previousCode, MoveText& move) {
    if (sjis::StartsWith(rest, "同"_sj)) {
        if (previousCode.size() >= 4) {
            move.toFile = previousCode[2] - '0';
            move.toRank = previousCode[3] - '0';
        }
        rest.remove_prefix(2);
        return;
    }
    move.toFile = sjis::IndexInList(kFileDigits, rest, 0);
    move.toRank = sjis::IndexInList(kRankNumerals, rest, 2);
    if (move.toRank == 0) move.toRank = sjis::IndexInList(kFileDigits, rest, 2);
    rest.remove_prefix(std::min<std::size_t>(4, rest.size()));
}

// The piece: its character, after 成 for the promoted silver, knight and lance. Consumes it.
void ReadPiece(std::string_view& rest, int side, MoveText& move) {
    bool promotedName = false;
    if (sjis::StartsWith(rest, "成"_sj)) {
        promotedName = true;
        rest.remove_prefix(2);
    }
    int code = sjis::IndexInList(kPieceChars, rest, 0);
    if (code == 0) code = sjis::IndexInList(kOtherPieceChars, rest, 0);
    if (code != 0 && promotedName) ++code;
    if (code != 0 && side == side::kGote) code += piece::kGoteOffset;
    rest.remove_prefix(std::min<std::size_t>(2, rest.size()));
    move.code = code;
}

// The words: 打, 成 (not 不成) and the words that tell the moving piece from the others that
// could make the move, each choosing cells around the destination.
void ReadWords(std::string_view rest, MoveText& move) {
    std::string words(rest);
    if (sjis::Contains(words, "打"_sj)) {
        move.drop = true;
    } else {
        if (const std::size_t at = sjis::Find(words, "不成"_sj); at != sjis::npos) words.erase(at, 4);
        if (const std::size_t at = sjis::Find(words, "成"_sj); at != sjis::npos) {
            move.promotes = true;
            words.erase(at, 2);
        }
    }
    const PieceCode own = OwnCode(static_cast<PieceCode>(move.code));
    const bool wide = own == piece::Uma || own == piece::Ryu;
    const auto select = [&](std::initializer_list<int> list) {
        for (int c : list) ++move.cells[static_cast<std::size_t>(c)];
    };
    for (std::size_t at = 0; at + 1 < words.size(); at += 2) {
        const int w = sjis::IndexInList(kWordChars, words, at);
        if (w == 0) break;
        switch (w) {
            case kRight:
                if (wide) select({1, 2, 3, 4, 5, 6}); else select({1, 2, 3});
                break;
            case kLeft:
                if (wide) select({4, 5, 6, 7, 8, 9}); else select({7, 8, 9});
                move.left = true;
                break;
            case kUp: case kGo: case kEnter:
                select({1, 4, 7});
                break;
            case kDown: case kBack:
                select({3, 6, 9});
                break;
            case kStraight:
                select({4});
                break;
            case kSideways:
                select({2, 8});
                break;
            default:  // 打 成 不 select nothing
                break;
        }
    }
}

MoveText ReadMoveText(std::string_view text, int side, std::string_view previousCode) {
    MoveText move;
    std::string_view rest = text;
    ReadDestination(rest, previousCode, move);
    ReadPiece(rest, side, move);
    ReadWords(rest, move);
    return move;
}

struct Candidate {
    int file = 0;
    int rank = 0;
};

// The squares of the mover's pieces of the named kind that can reach the destination, from file
// 1 rank 1 on; taken from the mover's left when the text says 左.
std::vector<Candidate> MovingCandidates(const Board& board, const MoveText& move, int side,
                                        const ConfirmIllegalMove& refuse) {
    std::vector<Candidate> candidates;
    if (move.code == 0) return candidates;
    const Square to{static_cast<std::uint8_t>(move.toFile), static_cast<std::uint8_t>(move.toRank)};
    for (int f = 1; f <= 9; ++f) {
        for (int r = 1; r <= 9; ++r) {
            if (board[static_cast<std::size_t>(BoardIndex(f, r))] != move.code) continue;
            const Square from{static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(r)};
            if (CheckMove(from, to, static_cast<PieceCode>(move.code), board, refuse)) {
                candidates.push_back({f, r});
            }
        }
    }
    if ((side == side::kSente) == move.left) std::reverse(candidates.begin(), candidates.end());
    return candidates;
}

// The one candidate of several that the words choose; without a telling word, the one that may
// move at all. Nothing when the choice stays open.
template <typename Pinned>
std::optional<Candidate> ChosenCandidate(const std::vector<Candidate>& candidates,
                                         const MoveText& move, int side, Pinned leavesKingInCheck) {
    // Cells counted from the mover's view; a cell chosen by two words alone counts.
    std::array<bool, 10> counted{};
    int twice = 0;
    for (int k = 1; k <= 9; ++k) {
        if (move.cells[static_cast<std::size_t>(k)] >= 2) twice = k;
    }
    for (int k = 1; k <= 9; ++k) {
        const bool use = twice != 0 ? k == twice : move.cells[static_cast<std::size_t>(k)] > 0;
        if (use) counted[static_cast<std::size_t>(side == side::kSente ? k : 10 - k)] = true;
    }
    for (const Candidate& c : candidates) {
        const int cell = CellFromSente(c.file, c.rank, move.toFile, move.toRank);
        if (counted[static_cast<std::size_t>(cell)]) return c;
    }
    // A piece that may not move (it would leave its own king in check) is no candidate; writers
    // leave the word out then.
    const Candidate* only = nullptr;
    int legal = 0;
    for (const Candidate& c : candidates) {
        if (!leavesKingInCheck(c)) {
            only = &c;
            ++legal;
        }
    }
    if (legal != 1) return std::nullopt;
    return *only;
}

}  // namespace

RelativeMoveReader::Result RelativeMoveReader::Resolve(std::string_view token) {
    const std::string text = BareMoveText(token);
    if (const std::optional<char> end = EndCharacterOf(text)) {
        Result r;
        r.kind = Kind::End;
        r.endCharacter = *end;
        return r;
    }
    const int side = SideToMove();
    MoveText move = ReadMoveText(text, side, previousCode_);
    if (move.toFile == 0 || move.toRank == 0) return Error();

    Candidate from;
    if (!move.drop) {
        const std::vector<Candidate> candidates = MovingCandidates(position_.board, move, side, refuse_);
        if (candidates.empty()) {
            // No piece on the board can move there: a drop from the hand, when the hand has one.
            const HandCounts& hand = side == side::kSente ? position_.senteHand : position_.goteHand;
            if (move.code == 0 || IsPromoted(static_cast<PieceCode>(move.code)) ||
                hand[KindOf(static_cast<PieceCode>(move.code))] == 0) {
                ++moveCount_;
                return Error();
            }
            move.drop = true;
        } else if (candidates.size() == 1) {
            from = candidates[0];
        } else {
            const auto pinned = [&](const Candidate& c) {
                return LeavesKingInCheck(c.file, c.rank, move.toFile, move.toRank, side);
            };
            const std::optional<Candidate> chosen = ChosenCandidate(candidates, move, side, pinned);
            if (!chosen) {
                ++moveCount_;
                return Error();
            }
            from = *chosen;
        }
    }

    ++moveCount_;
    const auto digit = [](int n) { return static_cast<char>('0' + n); };
    MoveCode code;
    if (move.drop) {
        code.text = {'0', digit(KindOf(static_cast<PieceCode>(move.code))), digit(move.toFile),
                     digit(move.toRank), ' '};
    } else {
        code.text = {digit(from.file), digit(from.rank), digit(move.toFile), digit(move.toRank),
                     move.promotes ? '+' : ' '};
    }
    MoveRecord record;
    if (move.code == 0 || !ResolveMove(position_, code, side, record)) return Error();
    if (move.drop && record.capturedPiece != 0) return Error();
    ApplyMove(position_, record);
    Rebuild(position_);
    previousCode_ = code.str();
    Result r;
    r.kind = Kind::Move;
    r.code = previousCode_;
    return r;
}

namespace {

// Hours, minutes and seconds: the first three runs of digits of the ten bytes (a missing one
// counts 0), as seconds held at 65535, the most a stored time holds.
std::uint32_t MoritaTime(std::string_view ten) {
    const std::vector<std::string_view> runs = sjis::DigitRuns(ten, 3);
    std::uint32_t seconds = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint32_t unit = i == 0 ? 3600 : i == 1 ? 60 : 1;
        const std::uint32_t value = i < runs.size() ? sjis::DigitValue(runs[i], 65535) : 0;
        seconds = std::min<std::uint32_t>(seconds + value * unit, 65535);
    }
    return seconds;
}

}  // namespace

ReadStatus ReadRelativeMoves(const TextLines& lines, std::size_t first, RelativeFlavour flavour,
                             const BoardPosition& start, std::size_t endLinePosition,
                             ReadGame& game) {
    ImportFields& fields = game.fields;
    RelativeMoveReader reader(start, fields.handicap);
    std::string codes;
    std::vector<std::string_view> tokens;
    const std::size_t n = lines.size();
    const bool morita = flavour == RelativeFlavour::Morita;
    bool ended = false;
    if (morita && first < n && sjis::StartsWith(lines[first], "|")) first = n;

    for (std::size_t i = first; i < n && !ended; ++i) {
        const std::string_view line = lines[i];
        if (sjis::StartsWith(line, "*")) {
            std::string text;
            for (;;) {
                const std::string_view l = lines[i];
                if (!(morita && sjis::Contains(l, "*#図面"_sj))) text.append(l.substr(1));
                if (i + 1 < n && sjis::StartsWith(lines[i + 1], "*")) {
                    ++i;
                } else {
                    break;
                }
            }
            game.AddComment(reader.moveCount(), text);
            continue;
        }
        // The main line is over where its first variation begins.
        if (sjis::StartsWith(line, "変化："_sj)) break;
        bool tokenLine = true;
        if (!morita) {
            if (sjis::Contains(line, "まで"_sj)) {
                const int lastMover = reader.moveCount() == 0
                                          ? 0
                                          : (reader.SideToMove() == 1 ? 2 : 1);
                fields.endCharacter = SummaryEndCharacter(line, lastMover);
                ended = true;
                tokenLine = false;
            }
        } else if (!StartsWithMark(line)) {
            tokenLine = false;
            if (sjis::Contains(line, "MAKE")) {
                fields.endCharacter = endchar::kResigned;
                ended = true;
            } else if (sjis::Contains(line, "SENNITITE")) {
                fields.endCharacter = endchar::kRepetition;
                ended = true;
            } else if (sjis::Contains(line, "JISHOUGI")) {
                fields.endCharacter = endchar::kImpasse;
                ended = true;
            } else if (sjis::Contains(line, "JIKANGIRE") || sjis::Contains(line, "BREAK")) {
                fields.endCharacter = endchar::kNone;
                ended = true;
            }
        }
        if (!tokenLine) continue;
        ScanMoveTokens(line, tokens);
        for (std::string_view token : tokens) {
            const RelativeMoveReader::Result r = reader.Resolve(token);
            if (r.kind == RelativeMoveReader::Kind::Error) {
                fields.endCharacter = endchar::kError;
                return ReadStatus::Refuse(r.error);
            }
            if (r.kind == RelativeMoveReader::Kind::End) {
                fields.endCharacter = r.endCharacter;
                ended = true;
                break;
            }
            codes += r.code;
            if (morita) {
                if (const std::size_t open = sjis::Find(line, " ("); open != sjis::npos && open + 1 > 14) {
                    game.SetConsumedTime(reader.moveCount(), MoritaTime(sjis::Cut(line, open + 2, 10)));
                }
            }
        }
    }
    WriteCodeLines(codes, game.coded);
    InsertEndLine(fields, endLinePosition, game.coded);
    game.coded.lines.push_back("##");
    return ReadStatus::Ok();
}

}  // namespace movra
