#include "core/textio/morita_reader.h"

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/relative_moves.h"
#include "core/text/sjis_text.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::string_view kSenteRows[3] = {
    " 歩 歩 歩 歩 歩 歩 歩 歩 歩"_sj,
    " ・ 角 ・ ・ ・ ・ ・ 飛 ・"_sj,
    " 香 桂 銀 金 玉 金 銀 桂 香"_sj,
};

constexpr std::string_view kBackRank[] = {
    "v香v桂v銀v金v玉v金v銀v桂v香"_sj, "v香v桂v銀v金v玉v金v銀v桂 ・"_sj,
    " ・v桂v銀v金v玉v金v銀v桂 ・"_sj, " ・ ・v銀v金v玉v金v銀 ・ ・"_sj,
    " ・ ・ ・v金v玉v金 ・ ・ ・"_sj,  " ・ ・ ・ ・v玉 ・ ・ ・ ・"_sj,
    " ・v桂v銀v金v玉v金v銀v桂v香"_sj, " ・ ・ ・v金v玉 ・ ・ ・ ・"_sj,
    " ・ ・ ・ ・v玉v金 ・ ・ ・"_sj,
};
constexpr std::string_view kSecondRank[] = {
    " ・v飛 ・ ・ ・ ・ ・v角 ・"_sj,
    " ・v飛 ・ ・ ・ ・ ・ ・ ・"_sj,
    " ・ ・ ・ ・ ・ ・ ・v角 ・"_sj,
    " ・ ・ ・ ・ ・ ・ ・ ・ ・"_sj,
};
constexpr std::string_view kThirdRank[] = {
    "v歩v歩v歩v歩v歩v歩v歩v歩v歩"_sj,
    " ・ ・ ・ ・ ・ ・ ・ ・ ・"_sj,
};

constexpr std::size_t kRowBytes = 27;  // nine cells of three bytes, from the second byte


int PatternNumber(const std::string& cells, const std::string_view* patterns, int count) {
    for (int i = 0; i < count; ++i) {
        if (cells == patterns[i]) return i;
    }
    return count;
}

bool IsRow(std::string_view line) { return sjis::StartsWith(line, "|"); }

// The first diagram row followed by eight more; npos when there is none.
std::size_t FindDiagram(const TextLines& lines, std::size_t limit) {
    for (std::size_t i = 0; i + 9 <= lines.size() && i < limit; ++i) {
        bool nine = true;
        for (std::size_t k = 0; k < 9 && nine; ++k) nine = IsRow(lines[i + k]);
        if (nine) return i;
    }
    return sjis::npos;
}

// The first three runs of ASCII digits as year-month-day; empty when one is missing.
std::string MoritaDate(std::string_view value) {
    const std::vector<std::string_view> runs = sjis::DigitRuns(value, 3);
    if (runs.size() < 3) return {};
    const auto fit = [](std::string_view digits, std::size_t width) {
        std::string s(digits);
        if (s.size() > width) return s.substr(s.size() - width);
        while (s.size() < width) s.insert(s.begin(), '0');
        return s;
    };
    return fit(runs[0], 4) + "-" + fit(runs[1], 2) + "-" + fit(runs[2], 2) + " 00:00:00";
}

std::string MirrorDigit(std::string_view c, std::string_view list) {
    const int i = sjis::IndexInList(list, c, 0);
    if (i == 0) return std::string(c);
    return std::string(list.substr(static_cast<std::size_t>(9 - i) * 2, 2));
}

}  // namespace

char HandicapFromDiagram(std::string_view row1, std::string_view row2, std::string_view row3) {
    std::string cells[3] = {std::string(row1.substr(std::min<std::size_t>(1, row1.size()))),
                            std::string(row2.substr(std::min<std::size_t>(1, row2.size()))),
                            std::string(row3.substr(std::min<std::size_t>(1, row3.size())))};
    for (std::string& c : cells) {
        if (c.size() < kRowBytes) return '0';
        c.resize(kRowBytes);
        for (std::size_t at = 0; at < kRowBytes; at += 3) {
            if (c[at] == 'V') c[at] = 'v';
        }
    }
    const int i = PatternNumber(cells[0], kBackRank, 9);
    const int j = PatternNumber(cells[1], kSecondRank, 4);
    const int k = PatternNumber(cells[2], kThirdRank, 2);
    switch (i * 100 + j * 10 + k) {
        case 0: return '0';
        case 10: return '2';
        case 20: return '3';
        case 30: return '5';
        case 100: return '1';
        case 120: return '4';
        case 230: return '6';
        case 330: return '7';
        case 430: return '8';
        case 530: return '9';
        case 531: return 'X';
        case 600: return 'Y';
        case 730: return 'A';
        case 830: return 'B';
        default: return '0';
    }
}

std::vector<std::string> TurnDiagram(const TextLines& lines) {
    std::vector<std::string> out;
    const std::size_t first = FindDiagram(lines, lines.size());
    const std::size_t n = lines.size();
    if (first == sjis::npos) {
        for (std::string_view l : lines.lines) out.emplace_back(l);
        return out;
    }
    for (std::size_t i = 0; i < first; ++i) {
        const std::string_view l = lines[i];
        if (sjis::StartsWith(l, "先手："_sj)) {
            out.push_back("上手："_sj + sjis::Cut(l, 6, 20));
        } else if (sjis::StartsWith(l, "後手："_sj)) {
            out.push_back("下手："_sj + sjis::Cut(l, 6, 20));
        } else {
            out.emplace_back(l);
        }
    }
    for (std::size_t r = 0; r < 9; ++r) {
        const std::string_view row = lines[first + 8 - r];
        std::string turned(row.substr(0, 1));
        for (int cell = 8; cell >= 0; --cell) {
            const std::size_t at = 1 + static_cast<std::size_t>(cell) * 3;
            std::string c = at + 3 <= row.size() ? std::string(row.substr(at, 3)) : std::string("   ");
            if (c[0] == 'v' || c[0] == 'V') {
                c[0] = ' ';
            } else if (c[0] == ' ' && c.compare(1, 2, "・"_sj) != 0) {
                c[0] = 'v';
            }
            turned += c;
        }
        out.push_back(turned);
    }
    std::size_t i = first + 9;
    for (; i < n && !sjis::StartsWith(lines[i], "▲"_sj); ++i) {
        const std::string_view l = lines[i];
        if (sjis::StartsWith(l, "先手持駒："_sj)) {
            out.push_back("上手持駒："_sj + sjis::Cut(l, 10, 40));
        } else if (sjis::StartsWith(l, "後手持駒："_sj)) {
            out.push_back("下手持駒："_sj + sjis::Cut(l, 10, 40));
        } else {
            out.emplace_back(l);
        }
    }
    constexpr std::string_view kFiles = "１２３４５６７８９"_sj;
    constexpr std::string_view kRanks = "一二三四五六七八九"_sj;
    for (; i < n; ++i) {
        const std::string_view l = lines[i];
        const bool sente = sjis::StartsWith(l, "▲"_sj);
        if (!sente && !sjis::StartsWith(l, "△"_sj)) {
            out.emplace_back(l);
            continue;
        }
        std::string turned = sente ? "△"_sj : "▲"_sj;
        std::string_view rest = l.substr(2);
        if (!sjis::StartsWith(rest, "同"_sj) && rest.size() >= 4) {
            turned += MirrorDigit(rest.substr(0, 2), kFiles);
            turned += MirrorDigit(rest.substr(2, 2), kRanks);
            rest.remove_prefix(4);
        }
        turned += rest;
        out.push_back(turned);
    }
    return out;
}

std::size_t ReadMoritaHeader(TextLines& lines, std::string_view now, ReadGame& game) {
    using sjis::StartsWith;
    const std::size_t firstRow = FindDiagram(lines, lines.size());
    std::size_t anyRow = 0;
    while (anyRow < lines.size() && !IsRow(lines[anyRow])) ++anyRow;
    if (anyRow < lines.size() && lines.size() - anyRow > 9) {
        bool differs = false;
        for (int r = 0; r < 3; ++r) {
            const std::string_view row = lines[anyRow + 6 + static_cast<std::size_t>(r)];
            if (row.substr(std::min<std::size_t>(1, row.size()), kRowBytes) != kSenteRows[r]) {
                differs = true;
            }
        }
        if (differs && firstRow != sjis::npos) {
            std::vector<std::string> turned = TurnDiagram(lines);
            std::string text;
            for (const std::string& l : turned) text += l + "\n";
            lines.text = std::move(text);
            SplitLines(lines.text, lines.lines);
        }
    }

    game.Clear(now);
    ImportFields& fields = game.fields;
    fields.endDate.assign(now);
    game.coded.lines.push_back("##");
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
        if (StartsWith(lines[i], "表題："_sj)) fields.title = TrimFullWidth(sjis::Cut(lines[i], 6, 30));
    }
    game.coded.lines.push_back("#:" + fields.title);

    std::size_t first = 0;
    std::string startDate, endDate;
    for (std::size_t i = 0; i < lines.size() && i < 30; ++i) {
        const std::string_view line = lines[i];
        if (const std::size_t at = sjis::Find(line, "手合割："_sj); at != sjis::npos) {
            fields.handicap = HandicapFromName(sjis::Cut(line, at + 8, 10));
            first = i + 1;
        }
        std::size_t at = sjis::Find(line, "先手："_sj);
        if (at == sjis::npos) at = sjis::Find(line, "下手："_sj);
        if (at != sjis::npos) {
            fields.senteName = NameAfter(line, at);
            first = i + 1;
        }
        at = sjis::Find(line, "後手："_sj);
        if (at == sjis::npos) at = sjis::Find(line, "上手："_sj);
        if (at != sjis::npos) {
            fields.goteName = NameAfter(line, at);
            first = i + 1;
        }
        if (StartsWith(line, "開始日付："_sj)) {
            startDate = MoritaDate(sjis::Cut(line, 10, 20));
        } else if (StartsWith(line, "終了日付："_sj)) {
            endDate = MoritaDate(sjis::Cut(line, 10, 20));
        } else if (StartsWith(line, "表題："_sj)) {
            fields.tournament = RemoveSpaces(sjis::Cut(line, 6, 30));
        } else if (StartsWith(line, "戦法："_sj)) {
            fields.opening = RemoveSpaces(sjis::Cut(line, 6, 30));
        } else if (IsRow(line) && i + 9 <= lines.size()) {
            bool nine = true;
            for (std::size_t k = 1; k < 9 && nine; ++k) nine = IsRow(lines[i + k]);
            if (nine) {
                fields.handicap = HandicapFromDiagram(lines[i], lines[i + 1], lines[i + 2]);
                first = i + 9;
                i += 8;
            }
        }
    }
    fields.startDate = startDate.empty() ? std::string(now) : startDate;
    fields.endDate = endDate.empty() ? std::string(now) : endDate;
    WriteCodedHeader(fields, game.coded);
    return first;
}

ReadStatus ReadMorita(TextLines& lines, std::string_view now, ReadGame& game) {
    const std::size_t first = ReadMoritaHeader(lines, now, game);
    const std::size_t endLinePosition = game.coded.lines.size();
    BoardPosition start;
    SetUpStandard(start, game.fields.handicap);
    return ReadRelativeMoves(lines, first, RelativeFlavour::Morita, start, endLinePosition, game);
}

}  // namespace movra
