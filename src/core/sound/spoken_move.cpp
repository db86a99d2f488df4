#include "core/sound/spoken_move.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"

namespace movra {
using namespace movra::literals;

namespace {

constexpr std::size_t kMoveBytes = 20;      // of the line read at all
constexpr std::size_t kAfterSide = 14;      // kept after the side mark
constexpr std::size_t kAfterWord = 8;       // kept after any other word
constexpr std::size_t kClosingBytes = 30;

using Word = std::pair<std::string_view, std::string_view>;  // text matched, voice file

// The first entry whose text the working text contains: its word is added and the text becomes
// the bytes after the match, at most `keep` of them. False when none is contained.
bool TakeWord(std::string& text, std::initializer_list<Word> words, std::size_t keep, std::string& out) {
    for (const Word& w : words) {
        const std::size_t at = sjis::Find(text, w.first);
        if (at == sjis::npos) continue;
        out.append(w.second).append(".wav;");
        text = text.substr(at + w.first.size(), keep);
        return true;
    }
    return false;
}

// 1-9 by the place of the two-byte character at text[at] in `digits`, 0 when it is not there.
int PlaceOf(std::string_view text, std::size_t at, std::string_view digits) {
    if (at + 2 > text.size()) return 0;
    const std::string_view c = text.substr(at, 2);
    for (int i = 0; i < 9; ++i) {
        if (digits.substr(std::size_t(i) * 2, 2) == c) return i + 1;
    }
    return 0;
}

std::string CountPart(int n, const char* ending) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "T%03d%s.wav;", n, ending);
    return buffer;
}

}  // namespace

std::string SpeakMove(std::string_view line, char handicap) {
    std::string text(line.substr(0, kMoveBytes));
    std::string out;
    const bool even = handicap == '0';
    TakeWord(text, {{"▲"_sj, even ? "sente" : "shitate"}, {"△"_sj, even ? "gote" : "uwate"}}, kAfterSide, out);

    // The destination leaves the working text as it is.
    if (sjis::Contains(text, "同"_sj)) {
        out += "Dou.wav;";
    } else {
        const int file = PlaceOf(text, 0, "１２３４５６７８９"_sj);
        const int rank = PlaceOf(text, 2, "一二三四五六七八九"_sj);
        out += std::to_string(file * 10 + rank) + ".wav;";
    }

    const bool piece = TakeWord(text,
                                {{"玉"_sj, "gyoku"}, {"竜"_sj, "ryu"}, {"飛"_sj, "hisha"}, {"馬"_sj, "uma"},
                                 {"角"_sj, "kaku"}, {"金"_sj, "kin"}, {"成銀"_sj, "ngin"}, {"銀"_sj, "gin"},
                                 {"成桂"_sj, "nkei"}, {"桂"_sj, "keima"}, {"成香"_sj, "nkyo"}, {"香"_sj, "kyosha"},
                                 {"と"_sj, "tokin"}, {"歩"_sj, "fu"}},
                                kAfterWord, out);
    if (!piece) return out;
    TakeWord(text,
             {{"右上"_sj, "MigiA"}, {"右引"_sj, "MigiH"}, {"右寄"_sj, "MigiY"}, {"右"_sj, "Migi"},
              {"左上"_sj, "HidariA"}, {"左引"_sj, "HidariH"}, {"左寄"_sj, "HidariY"}, {"左"_sj, "Hidari"}},
             kAfterWord, out);
    TakeWord(text, {{"直"_sj, "Sugu"}, {"上"_sj, "Agaru"}, {"引"_sj, "Hiku"}, {"寄"_sj, "Yoru"}}, kAfterWord, out);
    TakeWord(text, {{"不成"_sj, "Narazu"}, {"成"_sj, "Naru"}, {"打"_sj, "Utsu"}}, kAfterWord, out);
    return out;
}

std::string SpeakClosing(std::string_view line, char endCode) {
    std::string text(line.substr(0, kClosingBytes));
    std::string out;
    const bool interrupted = endCode == '0' || endCode == ' ';
    const char* ending = interrupted ? "d" : "m";
    bool following = false;  // "以下": the count is not spoken
    if (interrupted) {
        out += "ijou.wav;";
    } else {
        for (const Word& w : {Word{"以下"_sj, "ika"}, Word{"まで"_sj, "made"}}) {
            const std::size_t at = sjis::Find(text, w.first);
            if (at == sjis::npos) continue;
            out.append(w.second).append(".wav;");
            text.erase(at, w.first.size());
            following = w.second == "ika";
            break;
        }
    }
    if (!following) {
        const std::size_t te = sjis::Find(text, "手"_sj);
        if (te != sjis::npos) {
            std::size_t first = te;
            while (first > 0 && text[first - 1] >= '0' && text[first - 1] <= '9' && te - first < 4) --first;
            int n = 0;
            for (std::size_t i = first; i < te; ++i) n = n * 10 + (text[i] - '0');
            const int h = n / 100 * 100, rest = n % 100, t = rest / 10 * 10, u = n % 10;
            if (rest == 0) {
                out += CountPart(n, ending);
            } else {
                if (n >= 100) out += CountPart(h, "");
                if (u != 0) {
                    if (rest > 9) out += CountPart(t, "");
                    out += CountPart(u, ending);
                } else {
                    out += CountPart(rest, ending);
                }
            }
        }
    }
    TakeWord(text,
             {{"先手勝ち"_sj, "Swin"}, {"後手勝ち"_sj, "Gwin"}, {"下手勝ち"_sj, "Hwin"}, {"上手勝ち"_sj, "UWin"},
              {"千日手"_sj, "Sennichi"}, {"持将棋"_sj, "Jishogi"}},
             kClosingBytes, out);
    return out;
}

}  // namespace movra
