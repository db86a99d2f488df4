#include "core/textio/csa_reader.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "core/rules/position.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

// The CSA names of the piece codes 1-14 (sente's; gote's are 14 higher).
constexpr std::array<std::string_view, 15> kPieceNames = {
    "", "FU", "TO", "KY", "NY", "KE", "NK", "GI", "NG", "KI", "KA", "UM", "HI", "RY", "OU"};

PieceCode PieceOfName(std::string_view name) {
    if (name.size() != 2) return 0;
    for (std::size_t c = 1; c < kPieceNames.size(); ++c) {
        if (kPieceNames[c][0] == name[0] && kPieceNames[c][1] == name[1]) return PieceCode(c);
    }
    return 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsMove(std::string_view s) {
    return s.size() >= 7 && (s[0] == '+' || s[0] == '-') && IsDigit(s[1]) && IsDigit(s[2]) &&
           IsDigit(s[3]) && IsDigit(s[4]) && PieceOfName(s.substr(5, 2)) != 0;
}

// The statements of a line: a comment is the whole line; anything else may hold several
// statements joined by ",".
void Statements(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) return;
    if (line[0] == '\'') {
        out.push_back(line);
        return;
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = line.find(',', from);
        out.push_back(line.substr(from, comma - from));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
}

std::string Value(std::string_view statement) {
    const std::size_t colon = statement.find(':');
    return colon == std::string_view::npos ? std::string() : TrimFullWidth(statement.substr(colon + 1));
}

// One game as it is being read.
class CsaGame {
public:
    CsaGame(ReadGame& game, std::string_view now) : game_(game) {
        game_.Clear(now);
        SetUpStandard(start_, '0');
        board_ = start_.board;
    }

    bool seen() const { return seen_; }

    void Take(std::string_view s) {
        seen_ = true;
        if (s[0] == '\'') {
            // "'*" comments belong to the position after the last move; other "'" lines are the
            // writer's own remarks.
            if (s.size() >= 2 && s[1] == '*') Comment(s.substr(2));
            return;
        }
        if (ended_) {
            if (s[0] == 'T') game_.SetConsumedTime(moves_ + 1, Seconds(s.substr(1)));
            return;
        }
        if (s[0] == 'N' && s.size() >= 2 && (s[1] == '+' || s[1] == '-')) {
            (s[1] == '+' ? game_.fields.senteName : game_.fields.goteName) = TrimFullWidth(s.substr(2));
        } else if (s[0] == '$') {
            Header(s);
        } else if (s.substr(0, 2) == "PI") {
            PositionFromRemovals(s.substr(2));
        } else if (s.size() >= 2 && s[0] == 'P' && s[1] >= '1' && s[1] <= '9') {
            Row(s[1] - '0', s.substr(2));
        } else if (s.size() >= 2 && s[0] == 'P' && (s[1] == '+' || s[1] == '-')) {
            PieceList(s[1] == '+' ? 1 : 2, s.substr(2));
        } else if (s == "+" || s == "-") {
            firstMover_ = s == "+" ? 1 : 2;
        } else if (IsMove(s)) {
            Move(s);
        } else if (s[0] == 'T' && moves_ > 0) {
            game_.SetConsumedTime(moves_, Seconds(s.substr(1)));
        } else if (s[0] == '%') {
            End(s);
        }
        // Version lines and anything else are passed over.
    }

    // Turns what was read into the coded text; the refusal, if any, says why the game cannot be
    // stored.
    ReadStatus Finish() {
        if (!settled_) Settle();
        for (auto& [move, text] : comments_) game_.AddComment(move, text);
        CodedGameText& coded = game_.coded;
        coded.lines.push_back("##");
        coded.lines.push_back("#:Title");
        WriteCodedHeader(game_.fields, coded);
        const std::size_t endLine = coded.lines.size();
        WriteCodeLines(codes_, coded);
        InsertEndLine(game_.fields, endLine, coded);
        coded.lines.push_back("##");
        if (!refusal_.empty()) return ReadStatus::Refuse(refusal_);
        return ReadStatus::Ok();
    }

private:
    static std::uint32_t Seconds(std::string_view digits) {
        std::uint32_t value = 0;
        for (char c : digits) {
            if (!IsDigit(c)) break;
            value = std::min<std::uint32_t>(value * 10 + std::uint32_t(c - '0'), 65535);
        }
        return value;
    }

    void Comment(std::string_view text) {
        const int move = ended_ ? moves_ + 1 : moves_;
        if (!comments_.empty() && comments_.back().first == move) {
            comments_.back().second += "\r\n";
            comments_.back().second += text;
        } else {
            comments_.push_back({move, std::string(text)});
        }
    }

    void Header(std::string_view s) {
        ImportFields& f = game_.fields;
        if (s.rfind("$EVENT:", 0) == 0) {
            f.tournament = RemoveSpaces(Value(s));
        } else if (s.rfind("$SITE:", 0) == 0) {
            f.place = Value(s);
        } else if (s.rfind("$OPENING:", 0) == 0) {
            f.opening = RemoveSpaces(Value(s));
        } else if (s.rfind("$START_TIME:", 0) == 0) {
            const std::string v = Value(s);
            if (!v.empty()) f.startDate = ParseKifDate(v);
        } else if (s.rfind("$END_TIME:", 0) == 0) {
            const std::string v = Value(s);
            if (!v.empty()) f.endDate = ParseKifDate(v);
        }
    }

    // "PI" and the pieces taken away from the even position: "82HI22KA".
    void PositionFromRemovals(std::string_view removed) {
        position_ = true;
        board_ = start_.board;
        senteHand_ = {};
        goteHand_ = {};
        for (std::size_t at = 0; at + 4 <= removed.size(); at += 4) {
            const int file = removed[at] - '0', rank = removed[at + 1] - '0';
            if (file < 1 || file > 9 || rank < 1 || rank > 9) {
                odd_ = true;
                continue;
            }
            board_[std::size_t(BoardIndex(file, rank))] = 0;
        }
    }

    void ClearForRows() {
        if (rows_) return;
        rows_ = true;
        position_ = true;
        board_ = {};
        senteHand_ = {};
        goteHand_ = {};
    }

    // "P1-FY-KE-GI-KI-OU-KI-GI-KE-KY": the files 9 to 1 of one rank, three bytes a square.
    void Row(int rank, std::string_view cells) {
        ClearForRows();
        for (int k = 0; k < 9; ++k) {
            const std::size_t at = std::size_t(k) * 3;
            if (at + 3 > cells.size()) break;
            const std::string_view cell = cells.substr(at, 3);
            if (cell[0] != '+' && cell[0] != '-') continue;
            const PieceCode c = PieceOfName(cell.substr(1, 2));
            if (c == 0) {
                odd_ = true;
                continue;
            }
            board_[std::size_t(BoardIndex(9 - k, rank))] = cell[0] == '+' ? c : PieceCode(c + piece::kGoteOffset);
        }
    }

    // "P+00KI5544FU": pieces in hand (square 00) and on the board; "00AL" hands out every piece
    // left, which no standard set-up needs.
    void PieceList(int side, std::string_view items) {
        position_ = true;
        for (std::size_t at = 0; at + 4 <= items.size(); at += 4) {
            const int file = items[at] - '0', rank = items[at + 1] - '0';
            const PieceCode c = PieceOfName(items.substr(at + 2, 2));
            if (c == 0 || file < 0 || file > 9 || rank < 0 || rank > 9) {
                odd_ = true;
                continue;
            }
            if (file == 0 && rank == 0) {
                (side == 1 ? senteHand_ : goteHand_)[KindOf(c)]++;
            } else if (file >= 1 && rank >= 1) {
                board_[std::size_t(BoardIndex(file, rank))] = side == 1 ? c : PieceCode(c + piece::kGoteOffset);
            }
        }
    }

    // The start position must be one of the standard set-ups; its handicap is the game's.
    void Settle() {
        settled_ = true;
        if (!position_) {
            if (firstMover_ == 2) refusal_ = std::string(kNonStandardStart) + " (gote moves first)";
            return;
        }
        if (!odd_) {
            for (int number = 0; number < kHandicapCount; ++number) {
                const char c = HandicapChar(number);
                BoardPosition setup;
                SetUpStandard(setup, c);
                if (setup.board != board_ || setup.senteHand != senteHand_ || setup.goteHand != goteHand_) {
                    continue;
                }
                const int mover = number == 0 ? 1 : 2;
                if (firstMover_ != 0 && firstMover_ != mover) break;
                game_.fields.handicap = c;
                return;
            }
        }
        refusal_ = std::string(kNonStandardStart);
    }

    void Move(std::string_view s) {
        if (!settled_) Settle();
        const int mover = HandicapNumberOfChar(game_.fields.handicap) == 0 ? 1 : 2;
        const int expected = moves_ % 2 == 0 ? mover : 3 - mover;
        const int side = s[0] == '+' ? 1 : 2;
        if (side != expected && refusal_.empty()) {
            refusal_ = "move " + std::to_string(moves_ + 1) + " is played by the side not to move";
        }
        const int fromFile = s[1] - '0', fromRank = s[2] - '0', toFile = s[3] - '0', toRank = s[4] - '0';
        const PieceCode after = PieceOfName(s.substr(5, 2));
        // The five characters of the move code go straight onto the game's codes.
        if (toFile < 1 || toRank < 1) {
            if (refusal_.empty()) refusal_ = "move " + std::to_string(moves_ + 1) + " has no destination";
            codes_ += kUnreadableMoveCode;
        } else if (fromFile == 0 && fromRank == 0) {
            const char code[5] = {'0', char('0' + KindOf(after)), s[3], s[4], ' '};
            codes_.append(code, 5);
            board_[std::size_t(BoardIndex(toFile, toRank))] = side == 1 ? after : PieceCode(after + piece::kGoteOffset);
        } else if (fromFile >= 1 && fromRank >= 1) {
            PieceCode& from = board_[std::size_t(BoardIndex(fromFile, fromRank))];
            const PieceCode before = OwnCode(from);
            const bool promotes = before != 0 && IsPromotable(before) && Promote(before) == after;
            const char code[5] = {s[1], s[2], s[3], s[4], promotes ? '+' : ' '};
            codes_.append(code, 5);
            from = 0;
            board_[std::size_t(BoardIndex(toFile, toRank))] = side == 1 ? after : PieceCode(after + piece::kGoteOffset);
        } else {
            if (refusal_.empty()) refusal_ = "move " + std::to_string(moves_ + 1) + " has no origin";
            codes_ += kUnreadableMoveCode;
        }
        ++moves_;
    }

    void End(std::string_view s) {
        ended_ = true;
        ImportFields& f = game_.fields;
        if (s == "%+ILLEGAL_ACTION" || s == "%-ILLEGAL_ACTION") {
            const int mover = HandicapNumberOfChar(f.handicap) == 0 ? 1 : 2;
            const int lastMover = moves_ % 2 == 1 ? mover : 3 - mover;
            const int offender = s[1] == '+' ? 1 : 2;
            f.endCharacter = offender == lastMover ? endchar::kLastMoverLost : endchar::kResigned;
            return;
        }
        f.endCharacter = CsaEndCharacter(s);
        if (f.endCharacter == endchar::kError) {
            f.endCharacter = endchar::kNone;
            game_.notes.push_back("the game ends with \"" + std::string(s) +
                                  "\", a word this reader does not know: stored as unfinished");
            return;
        }
        if (s == "%TIME_UP") Comment("切れ負け"_sj);
        if (s == "%ILLEGAL_MOVE") Comment("反則負け"_sj);
        if (s == "%KACHI") Comment("入玉勝ち"_sj);
    }

    ReadGame& game_;
    BoardPosition start_;
    Board board_{};
    HandCounts senteHand_{}, goteHand_{};
    bool seen_ = false, position_ = false, rows_ = false, odd_ = false, settled_ = false;
    bool ended_ = false;
    int firstMover_ = 0;
    int moves_ = 0;
    std::string codes_;
    std::string refusal_;
    std::vector<std::pair<int, std::string>> comments_;
};

}  // namespace

char CsaEndCharacter(std::string_view word) {
    static constexpr std::pair<std::string_view, char> kWords[] = {
        {"%TORYO", endchar::kResigned},       {"%TIME_UP", endchar::kResigned},
        {"%ILLEGAL_MOVE", endchar::kResigned}, {"%TSUMI", endchar::kMate},
        {"%SENNICHITE", endchar::kRepetition}, {"%JISHOGI", endchar::kImpasse},
        {"%KACHI", endchar::kLastMoverLost},  {"%CHUDAN", endchar::kNone},
        {"%FUZUMI", endchar::kNone},          {"%HIKIWAKE", endchar::kNone},
        {"%MATTA", endchar::kNone},           {"%MAX_MOVES", endchar::kNone},
        {"%ERROR", endchar::kNone},
    };
    for (const auto& [w, c] : kWords) {
        if (w == word) return c;
    }
    return endchar::kError;
}

bool LooksLikeCsa(const TextLines& lines) {
    std::vector<std::string_view> statements;
    for (std::size_t i = 0; i < lines.size() && i < 50; ++i) {
        Statements(lines[i], statements);
        if (statements.empty() || statements[0][0] == '\'') continue;
        const std::string_view s = statements[0];
        if (s.rfind("V1", 0) == 0 || s.rfind("V2", 0) == 0) return true;
        if (s.rfind("N+", 0) == 0 || s.rfind("N-", 0) == 0 || s.rfind("PI", 0) == 0) return true;
        if (s.size() > 1 && s[0] == '$' && s.find(':') != std::string_view::npos) return true;
        if (s.size() >= 2 && s[0] == 'P' && ((s[1] >= '1' && s[1] <= '9') || s[1] == '+' || s[1] == '-')) {
            return true;
        }
        return IsMove(s) || s == "+" || s == "-";
    }
    return false;
}

bool CsaHasSeveralGames(const TextLines& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (!line.empty() && line[0] == '/') return true;
    }
    return false;
}

int ReadCsaFile(const TextLines& lines, std::string_view now,
                const std::function<bool(ReadGame& game, const ReadStatus& status)>& take) {
    auto game = std::make_unique<ReadGame>();
    return ReadCsaFile(lines, now, *game, take);
}

int ReadCsaFile(const TextLines& lines, std::string_view now, ReadGame& game,
                const std::function<bool(ReadGame& game, const ReadStatus& status)>& take) {
    int games = 0;
    // Each game is begun at its first statement only, so the last game read stays in `game`
    // after the call.
    std::unique_ptr<CsaGame> current;
    std::vector<std::string_view> statements;
    const auto finish = [&]() -> bool {
        if (current == nullptr || !current->seen()) return true;
        ++games;
        const ReadStatus status = current->Finish();
        current.reset();
        return take(game, status);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Statements(lines[i], statements);
        for (const std::string_view s : statements) {
            if (s.empty()) continue;
            if (s == "/") {
                if (!finish()) return games;
                continue;
            }
            if (current == nullptr) current = std::make_unique<CsaGame>(game, now);
            current->Take(s);
        }
    }
    finish();
    return games;
}

}  // namespace movra
