#include "core/printing/kifu_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/export_game.h"

namespace movra {
using namespace movra::literals;

namespace {

// The bytes of a character starting at `at`.
std::size_t CharLength(std::string_view text, std::size_t at) {
    return IsLeadByte(static_cast<std::uint8_t>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The text cut to at most `width` bytes at a character boundary.
std::string CutBytes(std::string_view text, std::size_t width) {
    std::size_t n = 0;
    while (n < text.size()) {
        const std::size_t next = n + CharLength(text, n);
        if (next > width) break;
        n = next;
    }
    return std::string(text.substr(0, n));
}

// Padded with `pad` and cut to exactly `width` bytes (a half character left over is a blank).
std::string Fit(std::string_view text, std::size_t width, std::string_view pad) {
    std::string s = CutBytes(text, width);
    while (s.size() + pad.size() <= width) s += pad;
    while (s.size() < width) s += ' ';
    return s;
}

std::string Tail(const std::string& line, std::size_t from) {
    return from < line.size() ? line.substr(from) : std::string();
}

void Header(const PrintGame& game, const KifuTextOptions& options, std::vector<std::string>& out) {
    const GameHeaderTexts& t = game.texts;
    std::string tournament = " 棋戦名："_sj + Trim(t.tournament);
    if (!t.gameNumber.empty() && t.gameNumber != "00") {
        tournament += " 第"_sj + std::to_string(std::atoi(t.gameNumber.c_str())) + "局"_sj;
    }
    out.push_back(tournament);
    out.push_back(std::string(game.handicapGame() ? " 下　手："_sj : " 先　手："_sj) + t.senteName);
    out.push_back(std::string(game.handicapGame() ? " 上　手："_sj : " 後　手："_sj) + t.goteName);
    const std::string date = options.dateAsWritten ? t.dateText : EraStatusDate(t.dateText, options.warekiDisp);
    out.push_back(" 対局日："_sj + date);
    out.push_back(" 戦　型："_sj + t.opening);
    out.emplace_back();
}

void FormOne(const PrintGame& game, std::vector<std::string>& out) {
    const int moves = game.moveCount();
    std::string line;
    int inLine = 0;
    for (int i = 0; i < moves; ++i) {
        if (i > 0 && i % 200 == 0) {
            if (inLine > 0) out.push_back(line);
            line.clear();
            inLine = 0;
            out.emplace_back(kFormFeed);
            for (int e = 0; e < 7; ++e) out.emplace_back();
        }
        const std::string& m = game.moveLines[static_cast<std::size_t>(i)];
        char number[16];
        std::snprintf(number, sizeof number, "%3d:", std::atoi(m.substr(0, 3).c_str()));
        line += number + Fit(Tail(m, 5), 14, " ");
        if (++inLine == 4) {
            out.push_back(line);
            line.clear();
            inLine = 0;
        }
    }
    if (inLine > 0) out.push_back(line);
    out.emplace_back();
    out.push_back(game.moveLines.back());
    out.emplace_back();

    if (!game.extended) return;
    // Comments wrap at about the width of the comment box the system prints them from.
    constexpr std::size_t kCommentWidth = 64;
    const auto comment = [&](int index, const std::string& prefix) {
        if (index < 0 || static_cast<std::size_t>(index) >= game.comments.size()) return;
        const std::string text = Trim(game.comments[static_cast<std::size_t>(index)]);
        if (text.empty()) return;
        bool first = true;
        for (const std::string& l : CommentLines(text)) {
            for (const std::string& piece : WrapBytes(l, kCommentWidth)) {
                out.push_back((first ? prefix : std::string(5, ' ')) + piece);
                first = false;
            }
        }
    };
    comment(0, "開始:"_sj);
    for (int k = 1; k <= moves; ++k) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%4d:", k);
        comment(k, prefix);
    }
    comment(moves + 1, "終局:"_sj);
}

void FormTwo(const PrintGame& game, std::vector<std::string>& out) {
    const int moves = game.moveCount();
    std::vector<std::string> rows(512);
    const int first = game.handicapGame() ? 1 : 0;
    if (first == 1) rows[0] = " －－－　　　　"_sj;
    int lastRow = 0, lastBlock = 0;
    for (int k = 0; k < moves; ++k) {
        const int i = k + first;
        const int block = i < 210 ? i / 70 : (i - 210) / 70;
        const int row = i < 210 ? (i % 70) / 2 : 35 + ((i - 210) % 70) / 2;
        std::string& r = rows[static_cast<std::size_t>(row)];
        if (i % 2 == 0) r += block == 0 ? std::string_view(" ") : std::string_view("　"_sj);
        r += Fit(Tail(game.moveLines[static_cast<std::size_t>(k)], 7), 14, "　"_sj);
        lastRow = row;
        lastBlock = block;
    }
    std::string& closing = rows[static_cast<std::size_t>(moves > 0 ? lastRow + 1 : 0)];
    if (closing.empty()) closing.assign(static_cast<std::size_t>(std::min(30 * lastBlock, 60)), ' ');
    closing += (lastBlock > 0 ? "  " : " ") + game.moveLines.back();

    std::size_t used = 0;
    while (used < rows.size() && !rows[used].empty()) ++used;
    for (std::size_t r = 0; r < used; ++r) {
        out.push_back(rows[r]);
        const std::size_t written = r + 1;
        if (written == 35) {
            if (written < used) {
                out.emplace_back(kFormFeed);
                out.emplace_back();
            }
        } else if (written % 5 == 0 && written < used) {
            out.emplace_back();
        }
    }
}

}  // namespace

std::vector<std::string> WrapBytes(std::string_view text, std::size_t width) {
    std::vector<std::string> pieces;
    width = std::max<std::size_t>(width, 2);
    while (text.size() > width) {
        std::string piece = CutBytes(text, width);
        text.remove_prefix(piece.size());
        pieces.push_back(std::move(piece));
    }
    pieces.emplace_back(text);
    return pieces;
}

std::vector<std::string> KifuTextLines(const PrintGame& game, int form, const KifuTextOptions& options) {
    std::vector<std::string> out;
    if (game.moveLines.empty()) return out;
    Header(game, options, out);
    if (form == 1) FormOne(game, out);
    else FormTwo(game, out);
    return out;
}

std::vector<std::vector<std::string>> TextPages(const std::vector<std::string>& printText, int linesPerPage,
                                                const std::function<bool(std::string_view)>& fits) {
    linesPerPage = std::max(linesPerPage, 1);
    std::vector<std::vector<std::string>> pages(1);
    const auto put = [&](std::string line) {
        if (static_cast<int>(pages.back().size()) >= linesPerPage) pages.emplace_back();
        pages.back().push_back(std::move(line));
    };
    // A line too wide goes on over further lines, indented as the text is; each line takes at
    // least one character beyond its indent.
    const auto putWrapped = [&](std::string line) {
        std::size_t floor = 0;
        for (;;) {
            std::size_t n = 0;
            while (n < line.size()) {
                const std::size_t next = n + CharLength(line, n);
                if (n > floor && !fits(std::string_view(line).substr(0, next))) break;
                n = next;
            }
            if (n >= line.size()) {
                put(std::move(line));
                return;
            }
            put(line.substr(0, n));
            line = "    " + line.substr(n);
            floor = 4;
        }
    };
    put(std::string());
    put(std::string());
    for (const std::string& raw : printText) {
        std::string_view text = raw;
        std::size_t feed;
        while ((feed = text.find('\f')) != std::string_view::npos) {
            const std::string before = Trim(text.substr(0, feed));
            if (!before.empty()) putWrapped("    " + before);
            pages.emplace_back();
            text.remove_prefix(feed + 1);
        }
        if (raw.find('\f') != std::string::npos && Trim(text).empty()) continue;
        putWrapped("    " + std::string(text));
    }
    return pages;
}

}  // namespace movra
