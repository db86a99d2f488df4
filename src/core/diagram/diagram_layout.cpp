#include "core/diagram/diagram_layout.h"

#include <cstdlib>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::string_view kKanjiDigits = "一二三四五六七八九十"_sj;
constexpr std::string_view kWideDigits = "０１２３４５６７８９"_sj;

std::string Nth(std::string_view twoByteChars, int index) {
    return std::string(twoByteChars.substr(static_cast<std::size_t>(index) * 2, 2));
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t pos = 0;
    while ((pos = FindText(text, from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

}  // namespace

// A search that never matches inside a double-byte character.
std::size_t FindText(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty()) return std::string::npos;
    std::size_t i = 0;
    while (i < text.size()) {
        if (i >= from && text.substr(i, what.size()) == what) return i;
        const auto b = static_cast<std::uint8_t>(text[i]);
        i += (b < 0x80 || (b >= 0xA0 && b <= 0xDF)) ? 1 : 2;
    }
    return std::string::npos;
}

// ---- labels ------------------------------------------------------------------------------------

DiagramLabelPair DiagramLabels(int labelMode, bool handicapGame, std::string_view senteName,
                               std::string_view goteName, const LabelSettings& settings) {
    switch (labelMode) {
        case 1:
            return {handicapGame ? "▲下手"_sj : "▲先手"_sj, handicapGame ? "△上手"_sj : "△後手"_sj};
        case 2:
            return {"▲"_sj + TrimFullWidth(senteName), "△"_sj + TrimFullWidth(goteName)};
        case 3:
            return {settings.MNameS, RemoveSpaces(settings.MNameG).empty() ? "*" : settings.MNameG + "*"};
        case 4:
            return {"▲"_sj + settings.TNameS, "△"_sj + settings.TNameG};
        default:
            return {"▲先手"_sj, "△後手"_sj};
    }
}

GoteLabel SplitGoteLabel(std::string_view goteLabel) {
    const std::size_t star = FindText(goteLabel, "*");
    if (star == std::string::npos) return {std::string(goteLabel), false};
    return {std::string(goteLabel.substr(0, star)), true};
}

// ---- titles ------------------------------------------------------------------------------------

std::string TitleMoveText(const TitleContext& context) {
    if (context.shownMove <= 0 || context.moveLine.size() < 10) return {};
    std::string text = context.moveLine.substr(5, 20);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    ReplaceAll(text, "同　"_sj, "同"_sj);
    if (text.starts_with("▽"_sj)) text.replace(0, 2, "△"_sj);
    if (context.turned) {
        std::string mirrored;
        for (const std::string& c : SplitCharacters(text)) {
            const std::size_t wide = c.size() == 2 ? FindText(kWideDigits, c) : std::string::npos;
            const std::size_t kanji = c.size() == 2 ? FindText(kKanjiDigits.substr(0, 18), c) : std::string::npos;
            if (c == "▲"_sj) {
                mirrored += "△"_sj;
            } else if (c == "△"_sj) {
                mirrored += "▲"_sj;
            } else if (wide != std::string::npos && wide >= 2) {
                mirrored += Nth(kWideDigits, 10 - static_cast<int>(wide / 2));
            } else if (kanji != std::string::npos) {
                mirrored += Nth(kKanjiDigits, 8 - static_cast<int>(kanji / 2));
            } else {
                mirrored += c;
            }
        }
        text = mirrored;
    }
    return text;
}

TitleDraft DraftDiagramTitle(std::string_view format, const TitleContext& context) {
    TitleDraft draft;
    draft.text = std::string(format);
    if (FindText(format, "%d") != std::string::npos) {
        draft.text = "【第１図は%sまで】"_sj;
        draft.askWhole = true;
    }
    ReplaceAll(draft.text, "%s", TitleMoveText(context));
    // The move number means something only where a game is replayed.
    ReplaceAll(draft.text, "%n",
               context.gameView && context.shownMove >= 0 ? std::to_string(context.shownMove) : std::string());
    return draft;
}

std::optional<std::string> InsertPrompt(const TitleDraft& draft) {
    if (draft.askWhole) return std::nullopt;
    const std::size_t at = FindText(draft.text, "%i", draft.nextInsert);
    if (at == std::string::npos) return std::nullopt;
    std::string shown = draft.text;
    shown.replace(at, 2, "??");
    return shown;
}

void FillInsert(TitleDraft& draft, std::string_view userText) {
    const std::size_t at = FindText(draft.text, "%i", draft.nextInsert);
    if (at == std::string::npos) return;
    draft.text.replace(at, 2, userText);
    // What the user typed is never read as a placeholder.
    draft.nextInsert = at + userText.size();
}

std::string TitleInsertHint() { return std::string("◆上記タイトルの ?? 部分に入れる文字列を入力してください。"_sj); }
std::string TitleCommentNote() { return std::string("◆コメントを入力してください。（全角70文字［５行］まで）"_sj); }

std::string TitleDialogError(std::string_view title, const std::vector<std::string>& commentLines) {
    const std::string trimmed = TrimFullWidth(title);
    if (trimmed.empty()) return "\rタイトルを入力して下さい！"_sj;
    if (trimmed.size() >= 36) return "\rタイトルの文字数が多すぎます！"_sj;
    if (commentLines.size() >= 6) return "\rコメントは５行以内で入力して下さい！"_sj;
    std::size_t joined = 0;
    for (const std::string& line : commentLines) joined += line.size() + 2;
    if (joined > 150) return "\rコメントは全角７０文字以内で入力して下さい。"_sj;
    return {};
}

std::string JoinTitleComment(const std::vector<std::string>& lines, bool askedWhole) {
    std::string comment;
    for (const std::string& line : lines) {
        comment += line;
        if (askedWhole) comment += "\r\n";
    }
    return comment;
}

std::vector<std::string> CommentLines(std::string_view comment, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (std::size_t i = 0; i < comment.size(); ++i) {
        const char c = comment[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
            pending = false;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(line);
    if (maxLines > 0 && lines.size() > maxLines) lines.resize(maxLines);
    return lines;
}

std::optional<std::string> ChosenTitleFormat(bool gameView, int titleNo, int titleNo2,
                                             const std::array<std::string, 6>& titles) {
    if (gameView) {
        if (titleNo < 1 || titleNo > 4) return std::nullopt;
        return titles[static_cast<std::size_t>(titleNo - 1)];
    }
    if (titleNo2 < 1 || titleNo2 > 2) return std::nullopt;
    return titles[static_cast<std::size_t>(3 + titleNo2)];
}

// ---- texts -------------------------------------------------------------------------------------

std::vector<std::string> SplitCharacters(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        const std::size_t n = (b < 0x80 || (b >= 0xA0 && b <= 0xDF)) ? 1 : 2;
        out.emplace_back(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string BoardPieceCharacter(PieceCode code) {
    static constexpr std::string_view kChars = "歩と香香桂桂銀銀金角馬飛竜玉"_sj;
    const PieceCode own = OwnCode(code);
    if (own < 1 || own > 14) return {};
    return Nth(kChars, own - 1);
}

bool IsSmallPromoted(PieceCode code) {
    const PieceCode own = OwnCode(code);
    return own == piece::NariKyo || own == piece::NariKei || own == piece::NariGin;
}

std::vector<std::string> HandCountCharacters(int count, int countStyle) {
    std::vector<std::string> out;
    if (count < 2) return out;
    if (countStyle == 2) {
        for (char d : std::to_string(count)) out.push_back(Nth(kWideDigits, d - '0'));
        return out;
    }
    if (count <= 10) {
        out.push_back(Nth(kKanjiDigits, count - 1));
    } else {
        out.push_back(Nth(kKanjiDigits, 9));
        out.push_back(Nth(kKanjiDigits, (count - 10 - 1) % 10));
    }
    return out;
}

HandCounts CountHand(const BoardPosition& position, int side) {
    HandCounts counts{};
    const std::uint8_t file = side == side::kSente ? location::kSenteHand : location::kGoteHand;
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& p = position.pieces[static_cast<std::size_t>(i)];
        if (p.present && p.file == file && p.rank >= 1 && p.rank <= 8) ++counts[p.rank];
    }
    return counts;
}

std::vector<std::string> HandColumn(const HandCounts& hand, const DiagramOptions& options, bool labelEmpty) {
    static constexpr std::array<PieceKind, 7> kOrder = {kind::Hi, kind::Kaku, kind::Kin, kind::Gin,
                                                        kind::Kei, kind::Kyo, kind::Fu};
    static constexpr std::string_view kChars = "飛角金銀桂香歩"_sj;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        const int count = hand[kOrder[i]];
        if (count <= 0) continue;
        lines.push_back(Nth(kChars, static_cast<int>(i)));
        for (std::string& c : HandCountCharacters(count, options.countStyle)) lines.push_back(std::move(c));
    }
    if (lines.empty() && !labelEmpty) {
        switch (options.emptyHandMode) {
            case 1:
                lines = SplitCharacters("なし"_sj);
                break;
            case 2:
                lines = SplitCharacters("ナシ"_sj);
                break;
            case 3:
                lines = SplitCharacters(options.emptyHandText);
                break;
            default:
                break;
        }
    }
    return lines;
}

std::vector<TextRun> SplitMarks(std::string_view text, bool gaijiMarks) {
    std::vector<TextRun> runs;
    auto plain = [&](const std::string& c) {
        if (runs.empty() || runs.back().mark) runs.push_back({});
        runs.back().text += c;
    };
    for (const std::string& c : SplitCharacters(text)) {
        const bool up = c == "▲"_sj || c == "△"_sj;
        const bool down = c == "▼"_sj || c == "▽"_sj;
        if (!up && !down) {
            plain(c);
        } else if (gaijiMarks) {
            if (c == "▲"_sj) plain(std::string("\uE01A"_sj));
            if (c == "▽"_sj) plain(std::string("\uE01B"_sj));
            if (c == "▼"_sj) plain(std::string("\uE01C"_sj));
            if (c == "△"_sj) plain(std::string("\uE01D"_sj));
        } else {
            runs.push_back({c, true, c == "▲"_sj || c == "▼"_sj});
        }
    }
    return runs;
}

std::string GaijiPiece(PieceCode code) {
    static constexpr std::array<std::uint8_t, 15> kTrail = {0,    0x60, 0x62, 0x64, 0x66, 0x68, 0x6A, 0x6C,
                                                            0x6E, 0x70, 0x74, 0x76, 0x78, 0x7A, 0x7E};
    const PieceCode own = OwnCode(code);
    if (own < 1 || own > 14) return {};
    return std::string{static_cast<char>(0xF0), static_cast<char>(kTrail[own])};
}

// ---- sizes and positions -----------------------------------------------------------------------

int CharHeight(int points) { return (points * 96 + 36) / 72; }

Size DiagramSize(int sizeMode, int zoom, bool forPrinting) {
    int points = 11;
    switch (sizeMode) {
        case 1: points = 13; break;
        case 2: points = 16; break;
        case -2: points = 10; break;
        case -1: points = 8; break;
        default: break;
    }
    const int h = CharHeight(points);
    const int a = std::abs(h * 13 / 10) * zoom * 13;
    const int b = std::abs(h * 15 / 10) * zoom;
    if (forPrinting) return {a - 1, 14 * b - 1};
    const int b2 = b * 115 / 10;
    switch (sizeMode) {
        case -2: return {a + 4, b2 - 10};
        case -1: return kMobileSize;
        case 1:
        case 2: return {a - 1, b2 - 18};
        default: return {a + 3, b2 - 20};
    }
}

DiagramGeometry Geometry(int sizeMode, int zoom, int (*heightOf)(int)) {
    if (heightOf == nullptr) heightOf = CharHeight;
    DiagramGeometry g;
    g.sizeMode = sizeMode;
    g.zoom = zoom;
    std::array<int, 5> base{7, 8, 9, 10, 11};
    if (sizeMode == 1) base = {8, 9, 10, 11, 13};
    if (sizeMode == 2) base = {8, 11, 12, 13, 16};
    if (sizeMode == -2) base = {7, 8, 8, 9, 10};
    for (std::size_t i = 0; i < 5; ++i) {
        g.points[i] = base[i] * zoom;
        g.heights[i] = heightOf(g.points[i]);
    }
    const int hE = g.hE(), hD = g.hD();
    g.x0 = 2 * hE;
    g.y0 = 23 * hE / 10;
    g.w = 13 * hE / 10 + 1;
    g.h = 15 * hE / 10 - 1;
    g.step = 95 * hD / 100;
    g.framePen = sizeMode == 2 ? 3 : sizeMode == -1 ? 1 : 2;
    g.gridPen = sizeMode == 2 ? 2 : 1;
    if (zoom > 1) {
        g.framePen += zoom * 4 / 5;
        g.gridPen += zoom / 3;
    }
    g.boldLastMove = sizeMode == 0 || sizeMode < 0;
    return g;
}

Point DiagramGeometry::FileNumber(int i) const { return {w / 5 + (i - 1) * w + x0 + 1, y0 - 10 * hE() / 11}; }
Point DiagramGeometry::RankNumeral(int j) const { return {h / 7 + 9 * w + x0, y0 + (j - 1) * h + hE() / 3}; }
Point DiagramGeometry::SenteLabel(int k) const { return {x0 + 10 * w, y0 + k * hD()}; }
Point DiagramGeometry::SenteHand(int labelChars, int line) const {
    return {x0 + 10 * w, y0 + h / 3 + hD() * labelChars + line * step};
}
Point DiagramGeometry::GoteLabel(int k) const { return {x0 - w / 2, y0 + 9 * h - k * hD()}; }
Point DiagramGeometry::GoteHand(int labelChars, int line) const {
    return {x0 - w / 2, y0 + 9 * h - hD() * labelChars - h / 3 - line * step};
}
Point DiagramGeometry::SentePiece(int file, int rank) const {
    return {w / 10 + (9 - file) * w + x0 + 1, h / 6 + (rank - 1) * h + y0 + 1};
}
Point DiagramGeometry::GotePiece(int file, int rank) const {
    const int c = (sizeMode == 0 || sizeMode == 1) ? 1 : 0;
    return {(10 - file) * w + x0 + c - w / 10 - 1, rank * h + y0 - h / 6};
}
Point DiagramGeometry::SentePromoted(int file, int rank, bool lower) const {
    const int d = sizeMode == 2 ? -1 : 0;
    const int x = w / 5 + (9 - file) * w + x0 + 1;
    return lower ? Point{x, (rank - 1) * h + y0 + h / 2 + d} : Point{x, h / 12 + (rank - 1) * h + y0 + d};
}
Point DiagramGeometry::GotePromoted(int file, int rank, bool lower) const {
    const int x = (10 - file) * w + x0 - w / 5;
    return lower ? Point{x, rank * h + y0 + 1 - h / 2} : Point{x, rank * h + y0 - h / 12 + 1};
}
Point DiagramGeometry::Comment(int line) const { return {x0, y0 + 19 * h / 2 + line * hD()}; }

std::array<Point, 5> MarkPentagon(int x, int y, int m) {
    return {Point{x + m / 2, y + 1}, Point{x + 2, y + m / 2 - 3}, Point{x + 1, y + m - 2},
            Point{x + m - 1, y + m - 2}, Point{x + m - 2, y + m / 2 - 3}};
}

MobileGeometry MobileLayout(int layout, int (*heightOf)(int)) {
    if (heightOf == nullptr) heightOf = CharHeight;
    MobileGeometry g;
    g.layout = layout == 1 || layout == 2 ? layout : 0;
    g.points = g.layout == 0 ? 7 : g.layout == 1 ? 8 : 9;
    g.charHeight = heightOf(g.points);
    const int h = g.charHeight;
    if (g.layout == 0) {
        g.w = 13 * h / 11;
        g.h = 15 * h / 14;
    } else {
        g.w = 13 * h / 10 - 2;
        g.h = 15 * h / 10 - 4;
        g.x0 = g.layout == 1 ? -25 : -36;
        g.y0 = 10;
    }
    return g;
}

Point MobileGeometry::SentePiece(int file, int rank) const {
    if (layout == 0) return {w / 10 + (9 - file) * w, h / 6 + (rank - 1) * h - 1};
    return {w / 10 + (9 - file) * w + x0 + 1, h / 6 + (rank - 1) * h + y0};
}
Point MobileGeometry::GotePiece(int file, int rank) const {
    if (layout == 0) return {(10 - file) * w + 1 - w / 10, rank * h - h / 6 + 2};
    const int c = layout == 2 ? 1 : 0;
    return {(10 - file) * w + x0 + c - w / 10, rank * h + y0 - h / 6 + 1};
}
Point MobileGeometry::FileNumber(int i) const { return {w / 5 + (i - 1) * w + x0, y0 - 10}; }
Point MobileGeometry::RankNumeral(int j) const {
    return {9 * w + x0 + h / 4 - (layout == 1 ? 1 : 0), (j - 1) * h + y0 + charHeight / 3 - 1};
}

std::array<int, 5> PrintFontPoints(int fontSet, int scale) {
    std::array<int, 5> p{8, 9, 10, 11, 13};
    if (fontSet == 2) p = {8, 11, 12, 13, 16};
    if (fontSet == 3) p = {8, 9, 10, 11, 11};
    for (int& v : p) v *= scale;
    return p;
}

PrintGeometry PrintLayout(const std::array<int, 5>& heights, int quarter, int scale, int fontSet) {
    PrintGeometry g;
    g.points = PrintFontPoints(fontSet, scale);
    g.heights = heights;
    const int hA = heights[0], hE = heights[4];
    g.x0 = 26 * hE / 10;
    g.y0 = scale == 2 ? 6 * hE * 2 / 3 : 6 * hE;
    g.w = 14 * hE / 10 + 1;
    g.h = 16 * hE / 10 - 1;
    if (quarter == 1 || quarter == 3) g.x0 += 125 * g.w / 10;
    if (quarter == 2 || quarter == 3) g.y0 += 15 * g.h;
    g.framePen = scale == 1 && fontSet == 1 ? 5 : hA / 6;
    g.gridPen = scale == 1 ? (fontSet == 1 ? 3 : 4) : hA / 10;
    return g;
}

}  // namespace movra
