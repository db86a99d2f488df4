#pragma once
// The rules of a position diagram (局面図) that need no painter: the labels beside the board, the
// title formats and their expansion, the hand columns, and every size and position of the picture
// drawing, the small drawing for mobile phones and the printed page. The windows draw what these
// functions place.
//
// All texts are CP932. Distances are pixels of a 96 dots-per-inch canvas unless a function takes
// the character heights of its own canvas. Integer division truncates toward zero, as the layout
// was designed with it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rules/position.h"

namespace movra {

// ---- settings shared by every diagram -----------------------------------------------------------

struct DiagramOptions {
    int sizeMode = 1;   // 0 小, 1 中, 2 大; -2 and -1 are the small sizes of other callers
    int zoom = 1;       // 1-10
    bool gaijiMarks = false;
    int countStyle = 1;         // 1 kanji numerals, 2 full-width digits
    int emptyHandMode = 1;      // 1 なし, 2 ナシ, 3 emptyHandText, other nothing
    std::string emptyHandText;  // blanks removed
    // The taller picture of the printing size, which has room for the comment lines below the
    // board (the collection window's cells, and bitmaps of a diagram with a comment).
    bool printingSize = false;
};

// ---- labels ------------------------------------------------------------------------------------

struct LabelSettings {
    std::string MNameS;  // label mode 3, default "▲持駒"
    std::string MNameG;  // label mode 3, default "△残りの駒全部"
    std::string TNameS;  // label mode 4
    std::string TNameG;
};

struct DiagramLabelPair {
    std::string sente;
    std::string gote;  // may hold "*": see SplitGoteLabel
};

// The labels of a label mode (1 sides, 2 names, 3 mate-problem hands, 4 the user's texts).
DiagramLabelPair DiagramLabels(int labelMode, bool handicapGame, std::string_view senteName,
                               std::string_view goteName, const LabelSettings& settings);

// A gote label with "*" hides gote's hand: the part before "*" is drawn, nothing after it.
struct GoteLabel {
    std::string drawn;
    bool handHidden = false;
};
GoteLabel SplitGoteLabel(std::string_view goteLabel);

// ---- title formats -----------------------------------------------------------------------------

// What the title's placeholders are filled from.
struct TitleContext {
    bool gameView = true;   // %n is filled only in the game view
    int shownMove = 0;      // 0 or less: no move shown
    std::string moveLine;   // the move-list line of the shown move ("001  ▲７六歩")
    bool turned = false;    // the board is shown with gote at the bottom
};

// The format after %d, %s and %n. When the user must still be asked, `askWhole` (for %d: the
// text is the proposal for the whole title) or the "%i" left in `text` (InsertPrompt) says so.
struct TitleDraft {
    std::string text;
    bool askWhole = false;
    std::size_t nextInsert = 0;  // where the next "%i" is looked for
};

TitleDraft DraftDiagramTitle(std::string_view format, const TitleContext& context);
// The side mark and move of the move-list line as the title shows it: "" when no move is shown
// or the line is shorter than 10 bytes; "同　" as "同", a leading "▽" as "△", mirrored on a turned
// board.
std::string TitleMoveText(const TitleContext& context);
// The text with its first "%i" shown as "??", as the title dialog shows it; nullopt when no "%i"
// is left (or the draft asks for the whole title).
std::optional<std::string> InsertPrompt(const TitleDraft& draft);
// Replaces the first "%i" by the user's text.
void FillInsert(TitleDraft& draft, std::string_view userText);

// The title dialog's texts.
std::string TitleInsertHint();   // "◆上記タイトルの ?? 部分に入れる文字列を入力してください。"
std::string TitleCommentNote();  // "◆コメントを入力してください。（全角70文字［５行］まで）"
// The first refusal of the title dialog's OK, or "" when the title and comment are accepted.
std::string TitleDialogError(std::string_view title, const std::vector<std::string>& commentLines);
// The comment of the dialog's lines: each followed by CR LF when the whole title was asked for,
// joined directly when a "%i" was.
std::string JoinTitleComment(const std::vector<std::string>& lines, bool askedWhole);
// The first five lines of a comment (CR LF, LF or CR breaks).
std::vector<std::string> CommentLines(std::string_view comment, std::size_t maxLines = 0);

// The format a screen uses: game view "Title1".."Title4" by TitleNo, any other screen "Title5" or
// "Title6" by TitleNo2. nullopt when the setting names no format.
std::optional<std::string> ChosenTitleFormat(bool gameView, int titleNo, int titleNo2,
                                             const std::array<std::string, 6>& titles);

// ---- texts -------------------------------------------------------------------------------------

// The first occurrence of `what` at or after byte `from` that starts on a character boundary.
std::size_t FindText(std::string_view text, std::string_view what, std::size_t from = 0);
// The characters of a CP932 text, one or two bytes each.
std::vector<std::string> SplitCharacters(std::string_view text);
// The character of a piece on the board (歩 と 香 桂 銀 金 角 馬 飛 竜 玉; gote codes as sente's);
// for 成香, 成桂, 成銀 the unpromoted piece's character, drawn under a small 成.
std::string BoardPieceCharacter(PieceCode code);
bool IsSmallPromoted(PieceCode code);  // 成香, 成桂, 成銀
// The count characters of a hand: none for 1, 二 … 十, 十一 … 十八 (style 1) or full-width digits
// (style 2).
std::vector<std::string> HandCountCharacters(int count, int countStyle);
// Hand counts by kind (1-8) of one side, from the piece table (file 0 sente, 10 gote).
HandCounts CountHand(const BoardPosition& position, int side);
// A side's hand as the diagram writes it, one character per line: each kind of 飛 角 金 銀 桂 香
// 歩 held, followed by its count characters. An empty hand gives the empty-hand text's
// characters when the label is not empty.
std::vector<std::string> HandColumn(const HandCounts& hand, const DiagramOptions& options, bool labelEmpty);

// A title or label cut into plain text and marks. Marks are ▲ △ ▼ ▽; with gaiji marks on they
// become the user-defined characters F05A F05D F05C F05B and are text again.
struct TextRun {
    std::string text;   // plain text, or the mark character
    bool mark = false;
    bool solid = false;  // ▲ ▼
};
std::vector<TextRun> SplitMarks(std::string_view text, bool gaijiMarks);

// The user-defined characters of the diagram font.
std::string GaijiPiece(PieceCode code);  // mobile pictures: F060 … F07E by sente code

// ---- sizes and positions -----------------------------------------------------------------------

// The character height of a point size at 96 dots per inch (the rounding of the platform).
int CharHeight(int points);

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

Size DiagramSize(int sizeMode, int zoom, bool forPrinting = false);

// The picture drawing. Points are the top-left corner of a character's cell; gote's characters
// are turned by 180 degrees about their point.
struct DiagramGeometry {
    int sizeMode = 1;
    int zoom = 1;
    std::array<int, 5> points{};   // fonts A-E, multiplied by the zoom
    std::array<int, 5> heights{};  // their character heights
    int x0 = 0, y0 = 0, w = 0, h = 0, step = 0;
    int framePen = 0, gridPen = 0;
    bool boldLastMove = false;

    int hD() const { return heights[3]; }
    int hE() const { return heights[4]; }
    // The square's top-left corner.
    Point Cell(int file, int rank) const { return {x0 + (9 - file) * w, y0 + (rank - 1) * h}; }
    Point FileNumber(int i) const;  // i = 1 … 9 left to right (９ … １)
    Point RankNumeral(int j) const;
    Point SenteLabel(int k) const;
    Point SenteHand(int labelChars, int line) const;
    Point GoteLabel(int k) const;
    Point GoteHand(int labelChars, int line) const;
    Point SentePiece(int file, int rank) const;
    Point GotePiece(int file, int rank) const;
    // The small 成 and the character under it.
    Point SentePromoted(int file, int rank, bool lower) const;
    Point GotePromoted(int file, int rank, bool lower) const;
    Point Comment(int line) const;
    int TitleY() const { return h / 5; }
    // Frame from (x0, y0 - 1) to (x0 + 9w + 2, y0 + 9h + 1).
    Point FrameTopLeft() const { return {x0, y0 - 1}; }
    Point FrameBottomRight() const { return {x0 + 9 * w + 2, y0 + 9 * h + 1}; }
};
// heightOf gives the character height of a point size on the canvas; nullptr: CharHeight.
DiagramGeometry Geometry(int sizeMode, int zoom, int (*heightOf)(int) = nullptr);

// The pentagon that stands for a mark at (x, y) with character height m, pointing up.
std::array<Point, 5> MarkPentagon(int x, int y, int m);

// The small drawing for mobile phones: layout 0 the whole board, 1 about 7 x 6 squares, 2 about
// 6 x 5.
struct MobileGeometry {
    int layout = 0;
    int points = 7;  // font F
    int charHeight = 9;
    int w = 0, h = 0, x0 = 0, y0 = 0;
    Point SentePiece(int file, int rank) const;
    Point GotePiece(int file, int rank) const;
    Point FileNumber(int i) const;
    Point RankNumeral(int j) const;
};
MobileGeometry MobileLayout(int layout, int (*heightOf)(int) = nullptr);
inline constexpr Size kMobileSize{94, 84};

// The printed page, with the heights of fonts A-E on the printer.
struct PrintGeometry {
    std::array<int, 5> points{};
    std::array<int, 5> heights{};
    int x0 = 0, y0 = 0, w = 0, h = 0;
    int framePen = 0, gridPen = 0;
};
std::array<int, 5> PrintFontPoints(int fontSet, int scale);
PrintGeometry PrintLayout(const std::array<int, 5>& heights, int quarter, int scale, int fontSet);

}  // namespace movra
