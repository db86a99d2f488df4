#include "core/textio/kakinoki_reader.h"

#include <charconv>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/board_diagram.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kHeaderLines = 50;

// The value of a header line: `length` bytes from the 1-based byte `position`, never ending
// inside a double-byte character.
std::string_view Value(std::string_view line, std::size_t position, std::size_t length) {
    return sjis::Cut(line, position - 1, length);
}

// A player name with an optional ",R:1500" rating. A rated name keeps its blanks: the leading
// double-quote tells the header builder not to cut it at its first blank.
void ReadName(std::string_view value, std::string& name, std::uint16_t& rating) {
    const std::size_t at = sjis::Find(value, ",R:");
    if (at == sjis::npos) {
        name = TrimFullWidth(value);
        return;
    }
    name = "\"" + TrimFullWidth(value.substr(0, at));
    const std::string digits = Trim(sjis::Cut(value, at + 3, 4));
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    rating = (ec == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
              number <= 65535)
                 ? static_cast<std::uint16_t>(number)
                 : 0;
}

void ReadTournament(std::string_view value, ImportFields& fields) {
    std::size_t at = sjis::Find(value, "/");
    std::size_t separator = 1;
    if (at == sjis::npos) {
        at = sjis::Find(value, "／"_sj);
        separator = 2;
    }
    if (at != sjis::npos) {
        fields.tournament = RemoveSpaces(value.substr(0, at));
        fields.subTournament = RemoveSpaces(sjis::Cut(value, at + separator, 30));
    } else {
        fields.tournament = RemoveSpaces(sjis::Cut(value, 0, 30));
    }
    if (fields.subTournament == "レーティング対局室"_sj) fields.subTournament = "レーティング対局"_sj;
}

// One header line against the keys, the first key it begins with decides.
void ReadHeaderLine(std::string_view line, ImportFields& fields) {
    using sjis::StartsWith;
    // Every key begins with a double-byte character; move lines begin with a blank or a digit.
    if (line.empty() || !IsCp932LeadByte(static_cast<std::uint8_t>(line[0]))) return;
    if (StartsWith(line, "手合割："_sj)) {
        const std::string_view value = Value(line, 9, 30);
        fields.handicap = HandicapFromName(value);
        fields.unknownHandicap = HandicapNameKnown(value) ? std::string() : TrimFullWidth(value);
    } else if (StartsWith(line, "先手："_sj) || StartsWith(line, "下手："_sj)) {
        ReadName(Value(line, 7, 30), fields.senteName, fields.senteRating);
    } else if (StartsWith(line, "後手："_sj) || StartsWith(line, "上手："_sj)) {
        ReadName(Value(line, 7, 30), fields.goteName, fields.goteRating);
    } else if (StartsWith(line, "手数"_sj)) {
        // the move list; found separately
    } else if (StartsWith(line, "開始日時："_sj)) {
        fields.startDate = ParseKifDate(Value(line, 11, 24));
    } else if (StartsWith(line, "終了日時："_sj)) {
        fields.endDate = ParseKifDate(Value(line, 11, 24));
    } else if (StartsWith(line, "対局日："_sj)) {
        fields.startDate = ParseKifDate(Value(line, 9, 24));
    } else if (StartsWith(line, "棋戦："_sj)) {
        ReadTournament(Value(line, 7, 60), fields);
    } else if (StartsWith(line, "対局場所："_sj)) {
        fields.place = TrimFullWidth(Value(line, 11, 20));
    } else if (StartsWith(line, "場所："_sj)) {
        fields.place = TrimFullWidth(Value(line, 7, 20));
    } else if (StartsWith(line, "記録係："_sj)) {
        fields.recorder = TrimFullWidth(Value(line, 9, 20));
    } else if (StartsWith(line, "備考："_sj)) {
        fields.remarks = TrimFullWidth(Value(line, 7, 40));
    } else if (StartsWith(line, "戦型："_sj)) {
        fields.opening = RemoveSpaces(Value(line, 7, 30));
    } else if (StartsWith(line, "持時間："_sj) || StartsWith(line, "持ち時間："_sj)) {
        ParseAllowedTime(Value(line, 9, 40), fields);
    } else if (StartsWith(line, "昼食休憩："_sj) || StartsWith(line, "昼休："_sj)) {
        ParseBreak(line, &fields.breaks[0]);
    } else if (StartsWith(line, "夕食休憩："_sj) || StartsWith(line, "夕休："_sj)) {
        ParseBreak(line, &fields.breaks[4]);
    }
}

// Drop pieces of a move text by their name; と 馬 竜 cannot be dropped and give no kind.
constexpr std::string_view kDropPieces = "歩香桂銀金角飛玉"_sj;
constexpr std::string_view kFileDigits = "１２３４５６７８９"_sj;
constexpr std::string_view kRankNumerals = "一二三四五六七八九"_sj;

struct EndWord {
    std::string_view word;
    char endCharacter;
    bool commented;  // the word itself is kept as the closing comment
};

// The end words of a move text. 反則負け and 切れ負け lose for the side whose turn it is, so the
// side that made the last move won; 反則勝ち and 入玉勝ち win for the side whose turn it is.
constexpr EndWord kEndWords[] = {
    {"投了"_sj, endchar::kResigned, false},
    {"反則負け"_sj, endchar::kResigned, true},
    {"反則勝ち"_sj, endchar::kLastMoverLost, true},
    {"千日手"_sj, endchar::kRepetition, false},
    {"持将棋"_sj, endchar::kImpasse, false},
    {"詰み"_sj, endchar::kMate, false},
    {"切れ負け"_sj, endchar::kResigned, true},
    {"時間切れ"_sj, endchar::kResigned, true},
    {"入玉勝ち"_sj, endchar::kLastMoverLost, true},
    {"宣言勝ち"_sj, endchar::kLastMoverLost, true},
    {"不詰"_sj, endchar::kNone, false},
    {"中断"_sj, endchar::kNone, false},
    {"封じ手"_sj, endchar::kNone, true},
};

// The end words online servers and other programs write in English, compared with the first
// word of the move text without regard to case.
constexpr EndWord kEnglishEndWords[] = {
    {"Resign", endchar::kResigned, false},
    {"Resigned", endchar::kResigned, false},
    {"Time-up", endchar::kResigned, true},
    {"Timeup", endchar::kResigned, true},
    {"Illegal", endchar::kResigned, true},
    {"Illegal-move", endchar::kResigned, true},
    {"Sennichite", endchar::kRepetition, false},
    {"Repetition", endchar::kRepetition, false},
    {"Jishogi", endchar::kImpasse, false},
    {"Impasse", endchar::kImpasse, false},
    {"Tsumi", endchar::kMate, false},
    {"Mate", endchar::kMate, false},
    {"Checkmate", endchar::kMate, false},
    {"Fuzumi", endchar::kNone, false},
    {"Nomate", endchar::kNone, false},
    {"Abort", endchar::kNone, false},
    {"Interrupt", endchar::kNone, false},
    {"Suspend", endchar::kNone, false},
    {"Win-declare", endchar::kLastMoverLost, true},
    {"Declare", endchar::kLastMoverLost, true},
};

// The first word of a move text: up to a half-width or full-width blank or a "(".
std::string FirstWord(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '(' &&
           !sjis::StartsWith(text.substr(end), "　"_sj)) {
        end += sjis::CharLength(text, end);
    }
    return std::string(text.substr(0, std::min(end, text.size())));
}

bool SameAsciiWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const EndWord* FindEndWord(std::string_view text) {
    for (const EndWord& e : kEndWords) {
        if (sjis::Contains(text, e.word)) return &e;
    }
    const std::string word = FirstWord(text);
    for (const EndWord& e : kEnglishEndWords) {
        if (SameAsciiWord(word, e.word)) return &e;
    }
    return nullptr;
}


bool IsDigit19(char c) { return c >= '1' && c <= '9'; }

// Where the move text of a move line starts: after leading blanks, the move number and the
// blanks after it; npos when the line does not begin with a move number.
std::size_t MoveTextStart(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= line.size() || !IsDigit19(line[at])) return sjis::npos;
    while (at < line.size() && sjis::IsDigit(line[at])) ++at;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    // Some writers put the side's mark before the move: "   1 ▲７六歩(77)".
    const std::string_view rest = line.substr(at);
    if (sjis::StartsWith(rest, "▲"_sj) || sjis::StartsWith(rest, "△"_sj) ||
        sjis::StartsWith(rest, "▼"_sj) || sjis::StartsWith(rest, "▽"_sj)) {
        at += 2;
    }
    return at;
}

// A move names its destination first (a full-width file digit, or 同); anything else may be an
// end word.
bool StartsLikeMove(std::string_view text) {
    return sjis::IndexInList(kFileDigits, text, 0) != 0 || sjis::StartsWith(text, "同"_sj);
}

std::string CodeFromMoveText(std::string_view text, std::string_view previousCode) {
    if (!StartsLikeMove(text)) {
        if (const EndWord* e = FindEndWord(text)) return std::string("end:") + e->endCharacter;
    }
    std::string code;
    if (sjis::Contains(text, "打"_sj)) {
        const int kind = sjis::IndexInList(kDropPieces, text, 4);
        if (kind == 0) return std::string(kUnreadableMoveCode);
        code = "0";
        code += static_cast<char>('0' + kind);
    } else if (const std::size_t open = sjis::Find(text, "("); open != sjis::npos) {
        if (open + 2 >= text.size() || !IsDigit19(text[open + 1]) || !IsDigit19(text[open + 2])) {
            return std::string(kUnreadableMoveCode);
        }
        code = std::string(text.substr(open + 1, 2));
    } else {
        return std::string(kUnreadableMoveCode);
    }
    if (sjis::Contains(text, "同"_sj)) {
        code += previousCode.size() >= 4 ? std::string(previousCode.substr(2, 2)) : "00";
    } else {
        code += static_cast<char>('0' + sjis::IndexInList(kFileDigits, text, 0));
        code += static_cast<char>('0' + sjis::IndexInList(kRankNumerals, text, 2));
    }
    // The move promotes when its name ends in 成 (not 不成): "同　銀成(22)", also "同銀成(22)"
    // as some writers leave out the blank after 同; "４二成銀(53)" moves a promoted piece.
    std::string_view name = text.substr(0, std::min(text.size(), sjis::Find(text, "(")));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string_view lastChar, charBefore;
    for (std::size_t at = 0; at < name.size(); at += sjis::CharLength(name, at)) {
        charBefore = lastChar;
        lastChar = name.substr(at, sjis::CharLength(name, at));
    }
    const bool promotes = lastChar == "成"_sj && charBefore != "不"_sj;
    code += promotes ? '+' : ' ';
    return code;
}

// Minutes and seconds from the six bytes after " (": the first run of digits, then the next (a
// missing one counts 0), as seconds held at 65535, the most a stored time holds.
std::uint32_t ReadConsumedTime(std::string_view six) {
    const std::vector<std::string_view> runs = sjis::DigitRuns(six, 2);
    const std::uint32_t minutes = runs.size() > 0 ? sjis::DigitValue(runs[0], 65535) : 0;
    const std::uint32_t seconds = runs.size() > 1 ? sjis::DigitValue(runs[1], 65535) : 0;
    return std::min<std::uint32_t>(minutes * 60 + seconds, 65535);
}

bool HasStarNear(std::string_view line, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < line.size(); ++i) {
        if (line[i] == '*') return true;
    }
    return false;
}

}  // namespace

std::string KakinokiMoveCode(std::string_view line, std::string_view previousCode) {
    const std::size_t start = MoveTextStart(line);
    if (start == sjis::npos) return {};
    return CodeFromMoveText(sjis::Cut(line, start, 16), previousCode);
}

ReadStatus ReadKakinoki(const TextLines& lines, std::string_view now, ReadGame& game) {
    game.Clear(now);
    ImportFields& fields = game.fields;
    CodedGameText& coded = game.coded;
    coded.lines.push_back("##");
    coded.lines.push_back("#:Title");

    const std::size_t n = lines.size();
    for (std::size_t i = 0; i < n && i < kHeaderLines; ++i) ReadHeaderLine(lines[i], fields);

    // The move list starts after the first "手数" line; without one the whole file is read as
    // the move list.
    std::size_t first = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (sjis::StartsWith(lines[i], "手数"_sj)) {
            first = i + 1;
            break;
        }
    }

    // A board diagram before the moves says where the game starts.
    const DiagramReading diagram = ReadBoardDiagram(lines, 0, first == 0 ? n : first - 1);
    if (diagram.found) {
        if (!diagram.standard) return ReadStatus::Refuse(std::string(kNonStandardStart));
        fields.handicap = diagram.handicap;
        game.fromDiagram = true;
    } else if (!fields.unknownHandicap.empty()) {
        return ReadStatus::Refuse(std::string(kNonStandardStart) + " (" + fields.unknownHandicap + ")");
    }

    WriteCodedHeader(fields, coded);
    const std::size_t endLinePosition = coded.lines.size();

    std::string codes;
    std::string previous;
    int moveNumber = 0;  // move lines read so far
    bool ended = false;
    for (std::size_t i = first; i < n; ++i) {
        const std::string_view line = lines[i];
        // The main line is over where its first variation begins; what follows belongs to
        // the variations.
        if (sjis::StartsWith(line, "変化："_sj)) break;
        // A comment is a run of lines beginning with "*", one comment line each: the lines are
        // kept apart by CR LF as the comment window and the writer keep them. A line of the
        // comment may itself begin with "*" ("**" in the file). Other lines with a "*" near
        // their start are no move lines.
        if (HasStarNear(line, 0, 4)) {
            if (line[0] != '*') continue;
            std::string text(line.substr(1));
            while (i + 1 < n && sjis::StartsWith(lines[i + 1], "*")) {
                text.append("\r\n");
                text.append(lines[++i].substr(1));
            }
            game.AddComment(moveNumber, text);
            continue;
        }
        // The summary after the moves names the winner: it decides over the end word, which
        // says only that the game ended ("投了" after a loss on time of the side to move).
        if (sjis::StartsWith(line, "まで"_sj) && ended && fields.endCharacter != endchar::kNone) {
            const int firstMover = HandicapNumberOfChar(fields.handicap) == 0 ? 1 : 2;
            const int moves = moveNumber - 1;  // the end word took a number of its own
            const int lastMover = moves == 0 ? 0 : (moves % 2 == 1 ? firstMover : 3 - firstMover);
            if (lastMover != 0 &&
                (sjis::Contains(line, "勝ち"_sj) || sjis::Contains(line, "負け"_sj))) {
                const bool lastMoverWon = SummaryEndCharacter(line, lastMover) != endchar::kLastMoverLost;
                const bool endWordSays = fields.endCharacter != endchar::kLastMoverLost;
                if (lastMoverWon != endWordSays) {
                    fields.endCharacter = lastMoverWon ? endchar::kResigned : endchar::kLastMoverLost;
                }
            }
            continue;
        }
        if (ended) continue;
        if (sjis::StartsWith(line, "#")) continue;
        std::string_view moveLine = line;
        if (const std::size_t hash = sjis::Find(moveLine, "#"); hash != sjis::npos) {
            moveLine = moveLine.substr(0, hash);
        }
        const std::size_t start = MoveTextStart(moveLine);
        if (start == sjis::npos) continue;  // no move line: a blank line, "まで...", "&..."
        const std::string_view text = sjis::Cut(moveLine, start, 16);
        if (sjis::StartsWith(text, "パス"_sj)) {
            return ReadStatus::Refuse("move " + std::to_string(moveNumber + 1) +
                                      " is a pass, which the store cannot keep");
        }
        std::string code = CodeFromMoveText(text, previous);
        std::string unknownWord;
        if (code == kUnreadableMoveCode && !StartsLikeMove(text)) {
            // A closing word no writer we know uses: the moves are kept, the game counts as
            // unfinished, and the word stays as the final position's comment.
            unknownWord = FirstWord(text);
            game.notes.push_back("the game ends with \"" + unknownWord +
                                 "\", a word this reader does not know: stored as unfinished");
            code = std::string("end:") + endchar::kNone;
        }
        // The time follows " (" after the move text; a blank is never half of a character.
        for (std::size_t open = moveLine.find('(', start + 1); open != std::string_view::npos;
             open = moveLine.find('(', open + 1)) {
            if (moveLine[open - 1] == ' ') {
                game.SetConsumedTime(moveNumber + 1,
                                     ReadConsumedTime(sjis::Cut(moveLine, open + 1, 6)));
                break;
            }
        }
        ++moveNumber;
        if (code.compare(0, 4, "end:") == 0) {
            fields.endCharacter = code[4];
            ended = true;
            if (!unknownWord.empty()) {
                game.AddComment(moveNumber, unknownWord);
            } else if (const EndWord* e = FindEndWord(text); e != nullptr && e->commented) {
                game.AddComment(moveNumber, e->word);
            }
            continue;
        }
        codes += code;
        previous = code;
    }
    WriteCodeLines(codes, coded);
    InsertEndLine(fields, endLinePosition, coded);
    coded.lines.push_back("##");
    return ReadStatus::Ok();
}

}  // namespace movra
