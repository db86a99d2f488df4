// movra-cli diagram: the position after a move of a stored game, or a position given as SFEN,
// drawn as a bitmap file the way the main window's bitmap command draws it. Runs without a
// display (Qt's offscreen platform).
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "commands.h"
#include "offscreen_app.h"
#include "core/diagram/bmp.h"
#include "core/diagram/diagram_layout.h"
#include "core/record/kif_data.h"
#include "core/rules/notation.h"
#include "core/rules/sfen.h"
#include "core/store/open_store.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/textio/export_game.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/diagram/diagram_renderer.h"
#include "gui/diagram/gaiji_font.h"
#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;
using namespace movra::literals;

struct Options {
    std::string store;
    long game = 0;
    long move = -1;  // -1 the last move
    std::string sfen;
    std::string out;
    bool overwrite = false;
    bool sjis = false;
    bool turned = false;
    int color = 2;   // 1 two colours, 2 sixteen, 3 256
    int mobile = -1;
    int labelMode = 1;
    std::optional<std::string> title;        // the whole title
    std::optional<std::string> titleFormat;  // as typed; default the first game-view format
    std::vector<std::string> inserts;        // the answers for %i (or %d)
    std::string comment;
    std::string senteText, goteText;          // names (mode 2) or label texts (modes 3, 4)
    std::string font;
    DiagramOptions diagram;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli diagram (STORE N [--move M] | --position SFEN) -o FILE.bmp [options]\n"
                 "  draws the position after move M (default: the last move) of game N, or an SFEN\n"
                 "  position, as a bitmap file.\n"
                 "  --size 0|1|2       小, 中 (default), 大        --zoom 1-10\n"
                 "  --color 1|2|3      2, 16 (default) or 256 colours\n"
                 "  --labels 1-4       先手/後手, names, mate-problem hands, --sente/--gote texts\n"
                 "  --sente T --gote T texts of the labels (names for --labels 2)\n"
                 "  --title T          the title as given; or --title-format F with %%n %%s %%i %%d\n"
                 "                     (default 【図は%%n手目%%sまで】) and --insert T for each %%i or %%d\n"
                 "  --comment T        comment lines (\\n breaks lines)\n"
                 "  --gaiji-marks      marks as the user-defined characters\n"
                 "  --count-style 1|2  hand counts in kanji or digits\n"
                 "  --empty-hand 1|2|3 [--empty-text T]  なし, ナシ or T for an empty hand\n"
                 "  --turned           the title's move as on a turned board\n"
                 "  --mobile 0|1|2     the 94 x 84 picture for mobile phones (9x9, 7x6, 6x5)\n"
                 "  --font FILE        the user-defined character font (default: Zodazi.ttf of\n"
                 "                     $MOVRA_HOME, of the installed data or of the build's)\n"
                 "  --overwrite        replace an existing FILE    --sjis  texts given in CP932\n"
                 "exit status: 0 written, 1 not written, 2 usage error.\n");
    return 2;
}

bool Number(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

std::optional<Options> Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool v = i + 1 < argc;
        int n = 0;
        if ((a == "-o" || a == "--out") && v) {
            o.out = argv[++i];
        } else if (a == "--move" && v) {
            if (!Number(argv[++i], 0, 512, n)) return std::nullopt;
            o.move = n;
        } else if (a == "--position" && v) {
            o.sfen = argv[++i];
        } else if (a == "--size" && v) {
            if (!Number(argv[++i], 0, 2, o.diagram.sizeMode)) return std::nullopt;
        } else if (a == "--zoom" && v) {
            if (!Number(argv[++i], 1, 10, o.diagram.zoom)) return std::nullopt;
        } else if (a == "--color" && v) {
            if (!Number(argv[++i], 1, 3, o.color)) return std::nullopt;
        } else if (a == "--labels" && v) {
            if (!Number(argv[++i], 1, 4, o.labelMode)) return std::nullopt;
        } else if (a == "--mobile" && v) {
            if (!Number(argv[++i], 0, 2, o.mobile)) return std::nullopt;
        } else if (a == "--count-style" && v) {
            if (!Number(argv[++i], 1, 2, o.diagram.countStyle)) return std::nullopt;
        } else if (a == "--empty-hand" && v) {
            if (!Number(argv[++i], 1, 3, o.diagram.emptyHandMode)) return std::nullopt;
        } else if (a == "--empty-text" && v) {
            o.diagram.emptyHandText = argv[++i];
        } else if (a == "--sente" && v) {
            o.senteText = argv[++i];
        } else if (a == "--gote" && v) {
            o.goteText = argv[++i];
        } else if (a == "--title" && v) {
            o.title = argv[++i];
        } else if (a == "--title-format" && v) {
            o.titleFormat = argv[++i];
        } else if (a == "--insert" && v) {
            o.inserts.push_back(argv[++i]);
        } else if (a == "--comment" && v) {
            o.comment = argv[++i];
        } else if (a == "--font" && v) {
            o.font = argv[++i];
        } else if (a == "--gaiji-marks") {
            o.diagram.gaijiMarks = true;
        } else if (a == "--turned") {
            o.turned = true;
        } else if (a == "--overwrite") {
            o.overwrite = true;
        } else if (a == "--sjis") {
            o.sjis = true;
        } else if (!a.empty() && a[0] == '-') {
            return std::nullopt;
        } else if (o.store.empty() && o.sfen.empty()) {
            o.store = a;
        } else if (o.game == 0) {
            long g = 0;
            char* end = nullptr;
            g = std::strtol(a.c_str(), &end, 10);
            if (end == a.c_str() || *end != '\0' || g <= 0) return std::nullopt;
            o.game = g;
        } else {
            return std::nullopt;
        }
    }
    if (o.out.empty()) return std::nullopt;
    if (o.sfen.empty() == (o.store.empty() || o.game == 0)) return std::nullopt;
    if (!o.sfen.empty() && (!o.store.empty() || o.move >= 0)) return std::nullopt;
    return o;
}

// What the drawing needs from the game or the SFEN line.
struct Source {
    BoardPosition position;
    bool handicapGame = false;
    std::string senteName, goteName;
    TitleContext title;
    std::optional<Square> lastMove;
};

std::optional<Source> FromStore(const Options& o, TerminalPrompter& prompter) {
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStoreForReading(o.store, count, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(o.store));
        return std::nullopt;
    }
    if (o.game > static_cast<long>(count)) {
        std::fprintf(stderr, "game %ld: the store holds %u games\n", o.game, count);
        return std::nullopt;
    }
    GameStore store(o.store, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);
    MasterTables masters;
    std::optional<ExportGame> game = LoadExportGame(store, masters, o.game, prompter);
    if (!game) {
        std::fprintf(stderr, "game %ld: cannot be read\n", o.game);
        return std::nullopt;
    }
    TKifData& record = game->record;
    const int move = o.move < 0 ? record.moveCount : static_cast<int>(o.move);
    if (move > record.moveCount) {
        std::fprintf(stderr, "game %ld: has %d moves, not %d\n", o.game, int(record.moveCount), move);
        return std::nullopt;
    }
    Source s;
    s.handicapGame = game->handicapGame();
    s.senteName = game->senteName;
    s.goteName = game->goteName;
    s.title.shownMove = move;
    s.title.turned = o.turned;
    if (move > 0) {
        record.GoToMove(move - 1);
        const PieceCode before = record.ApplyMove(move);
        const MoveRecord& m = record.moves[static_cast<std::size_t>(move)];
        s.title.moveLine = MoveLine(move, record.parityOffset, record.handicap, record.position.board, before, m,
                                    record.moves[static_cast<std::size_t>(move - 1)]);
        s.lastMove = Square{m.toFile, m.toRank};
        record.UndoMove(move);
    }
    record.GoToMove(move);
    s.position = record.position;
    return s;
}

int Draw(const Options& o) {
    const Terminal terminal{o.sjis};
    TerminalPrompter prompter(terminal);
    std::optional<Source> source;
    if (!o.sfen.empty()) {
        std::string error;
        const std::optional<SfenPosition> parsed = ParseSfen(o.sfen, &error);
        if (!parsed) {
            std::fprintf(stderr, "movra-cli diagram: %s\n", error.c_str());
            return 1;
        }
        source = Source{};
        source->position = parsed->position;
        source->title.gameView = false;
    } else {
        source = FromStore(o, prompter);
        if (!source) return 1;
    }
    std::error_code ec;
    if (fs::exists(o.out, ec) && !o.overwrite) {
        std::fprintf(stderr, "%s exists: nothing written (--overwrite)\n", o.out.c_str());
        return 1;
    }

    // Fonts: the IPAex stand-ins and our user-defined characters.
    RegisterFontSubstitutes();
    if (!o.font.empty()) {
        if (!LoadGaijiFont(fs::path(o.font).parent_path()) && fs::path(o.font).filename() != kGaijiFontFile) {
            std::fprintf(stderr, "movra-cli diagram: the font file must be named %s\n", kGaijiFontFile);
        }
    } else if (const char* home = std::getenv("MOVRA_HOME"); home != nullptr && LoadGaijiFont(home)) {
    } else if (LoadGaijiFont(QStringToPath(QCoreApplication::applicationDirPath() +
                                           QStringLiteral("/../share/movra/data")))) {
        // installed beside the program
    } else {
        LoadGaijiFont(MOVRA_BUILD_DATA_DIR);
    }

    QImage image;
    if (o.mobile >= 0) {
        image = DrawMobileDiagram(source->position, o.mobile);
    } else {
        LabelSettings labels{"▲持駒"_sj, "△残りの駒全部"_sj, terminal.in(o.senteText), terminal.in(o.goteText)};
        if (o.labelMode == 3) {
            if (!o.senteText.empty()) labels.MNameS = terminal.in(o.senteText);
            if (!o.goteText.empty()) labels.MNameG = terminal.in(o.goteText);
        }
        const std::string senteName = o.labelMode == 2 && !o.senteText.empty() ? terminal.in(o.senteText) : source->senteName;
        const std::string goteName = o.labelMode == 2 && !o.goteText.empty() ? terminal.in(o.goteText) : source->goteName;
        const DiagramLabelPair pair = DiagramLabels(o.labelMode, source->handicapGame, senteName, goteName, labels);
        DiagramInputs inputs;
        inputs.position = source->position;
        inputs.lastMove = source->lastMove;
        inputs.senteLabel = pair.sente;
        inputs.goteLabel = pair.gote;
        inputs.comment = terminal.in(o.comment);
        for (std::size_t at = 0; (at = inputs.comment.find("\\n", at)) != std::string::npos;) {
            inputs.comment.replace(at, 2, "\r\n");
        }
        if (o.title) {
            inputs.title = terminal.in(*o.title);
        } else {
            const std::string format =
                o.titleFormat ? terminal.in(*o.titleFormat) : std::string("【図は%n手目%sまで】"_sj);
            TitleDraft draft = DraftDiagramTitle(format, source->title);
            std::size_t answer = 0;
            if (draft.askWhole) {
                if (answer < o.inserts.size()) draft.text = terminal.in(o.inserts[answer++]);
            } else {
                while (InsertPrompt(draft)) {
                    if (answer >= o.inserts.size()) {
                        std::fprintf(stderr, "movra-cli diagram: the title asks for text: %s (--insert)\n",
                                     terminal.out(*InsertPrompt(draft)).c_str());
                        return 1;
                    }
                    FillInsert(draft, terminal.in(o.inserts[answer++]));
                }
            }
            inputs.title = draft.text;
        }
        if (inputs.title.size() >= 36) {
            prompter.Warn("\rタイトルの文字数が多すぎます！"_sj);
            return 1;
        }
        // A diagram with a comment takes the taller picture that has room for it.
        DiagramOptions options = o.diagram;
        options.printingSize = !inputs.comment.empty();
        image = DrawDiagram(inputs, options);
    }
    const int bits = o.mobile >= 0 ? 4 : BitsForColorSetting(o.color);
    if (!WriteBmpFile(o.out, ToRgbImage(image), bits)) {
        std::fprintf(stderr, "movra-cli diagram: cannot write %s\n", o.out.c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %d bits\n", o.out.c_str(), image.width(), image.height(), bits);
    return 0;
}

}  // namespace

int RunDiagram(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            Usage();
            return 0;
        }
    }
    const std::optional<Options> options = Parse(argc, argv);
    if (!options) return Usage();
    // No display is needed: the picture is drawn in memory.
    return RunOffscreen("diagram", [&] { return Draw(*options); });
}

}  // namespace movra::cli
