// The diagram drawing read back pixel by pixel: grid, pieces, turned pieces, marks, hands, the
// sizes and depths of the bitmap settings, and the small mobile picture.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <fstream>

#include <cmath>
#include <cstdlib>

#include "core/diagram/bmp.h"
#include "core/diagram/diagram_layout.h"
#include "core/record/kif_data.h"
#include "core/rules/position.h"
#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/diagram/diagram_commands.h"
#include "gui/diagram/diagram_renderer.h"
#include "gui/diagram/diagram_settings_dialog.h"
#include "gui/diagram/title_dialog.h"
#include "gui/diagram/gaiji_font.h"

using namespace movra;
using namespace movra::literals;

namespace {

bool Dark(QRgb c) { return qGray(c) < 128; }

int Ink(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) n += Dark(image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

// The inside of a square, clear of the grid lines.
QRect Inside(const DiagramGeometry& g, int file, int rank) {
    const Point c = g.Cell(file, rank);
    const int m = g.gridPen + 1;
    return QRect(c.x + m, c.y + m, g.w - 2 * m, g.h - 2 * m);
}

BoardPosition Position(const char* sfen) {
    const auto parsed = ParseSfen(sfen);
    if (!parsed) qFatal("bad SFEN %s", sfen);
    return parsed->position;
}

DiagramInputs Inputs(const BoardPosition& position, const std::string& sente = "▲先手"_sj,
                     const std::string& gote = "△後手"_sj) {
    DiagramInputs in;
    in.position = position;
    in.senteLabel = sente;
    in.goteLabel = gote;
    in.title = "【図は1手目▲７六歩まで】"_sj;
    return in;
}

int g_failures = 0;
// Checks inside the dialogs' answer functions, which cannot return from the test.
#define CHECK(c)                                                        \
    do {                                                                \
        if (!(c)) {                                                     \
            ++g_failures;                                               \
            qWarning("check failed at line %d: %s", __LINE__, #c);     \
        }                                                               \
    } while (0)
#define CHECK_EQ(a, b) CHECK((a) == (b))

class Recorder : public Prompter {
public:
    std::vector<std::string> shown;
    Answer answer = Answer::No;
    void Warn(const std::string& t) override { shown.push_back("W:" + t); }
    void Inform(const std::string& t) override { shown.push_back("I:" + t); }
    Answer Confirm(const std::string& t, bool, bool) override {
        shown.push_back("Q:" + t);
        return answer;
    }
};

bool InsideScreen(QWidget* w) {
    const QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry().contains(w->frameGeometry());
}

void Shoot(QWidget* w, const QString& name) {
    QDir().mkpath(QStringLiteral(MOVRA_SCREENSHOT_DIR));
    w->grab().save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/%1.png").arg(name));
}

}  // namespace

class DiagramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(RegisterFontSubstitutes());
        QVERIFY(LoadGaijiFont(MOVRA_BUILD_DATA_DIR));
        QVERIFY(GaijiFontHasMarks());
        QVERIFY(GaijiFontHasPieces());
    }

    // The even game at size 中: every line of the grid, every piece in its square, the empty
    // middle, the side marks and the title.
    void evenGame() {
        BoardPosition even;
        SetUpStandard(even, '0');
        DiagramOptions options;
        const QImage image = DrawDiagram(Inputs(even), options);
        QCOMPARE(image.size(), QSize(285, 269));
        const DiagramGeometry g = Geometry(1, 1);
        for (int k = 1; k <= 8; ++k) {
            for (int y = g.y0 + 2; y < g.y0 + 9 * g.h - 2; y += 7) QVERIFY(Dark(image.pixel(g.x0 + k * g.w, y)));
            for (int x = g.x0 + 2; x < g.x0 + 9 * g.w - 2; x += 7) QVERIFY(Dark(image.pixel(x, g.y0 + k * g.h)));
        }
        // The frame is two pixels wide on every side.
        const Point tl = g.FrameTopLeft(), br = g.FrameBottomRight();
        QCOMPARE(Ink(image, QRect(tl.x - 3, g.y0 + 50, 6, 1)), 2);
        QCOMPARE(Ink(image, QRect(br.x - 4, g.y0 + 50, 6, 1)), 2);
        QCOMPARE(Ink(image, QRect(g.x0 + g.w + 1, br.y - 4, 1, 6)), 2);
        QCOMPARE(Ink(image, QRect(g.x0 + g.w + 1, tl.y - 3, 1, 6)), 2);
        for (int file = 1; file <= 9; ++file) {
            for (int rank = 1; rank <= 9; ++rank) {
                const bool piece = IsPiece(even.board[std::size_t(BoardIndex(file, rank))]);
                const int ink = Ink(image, Inside(g, file, rank));
                if (piece) {
                    QVERIFY2(ink > 20, qPrintable(QStringLiteral("square %1%2").arg(file).arg(rank)));
                } else {
                    QCOMPARE(ink, 0);
                }
            }
        }
        // ▲ solid at the head of sente's label; △ hollow (white inside) at the foot of gote's.
        const Point s = g.SenteLabel(0);
        QVERIFY(Dark(image.pixel(s.x + g.hD() / 2, s.y + g.hD() * 2 / 3)));
        const Point gm = g.GoteLabel(0);  // turned: the mark lies above and left of its point
        QVERIFY(!Dark(image.pixel(gm.x - g.hD() / 2, gm.y - g.hD() / 2)));
        QVERIFY(Ink(image, QRect(gm.x - g.hD(), gm.y - g.hD(), g.hD(), g.hD())) > 10);
        // The title is centred above the file numbers; the numbers sit over their files.
        QVERIFY(Ink(image, QRect(0, 0, image.width() / 2, g.FileNumber(1).y - 1)) > 20);
        QVERIFY(Ink(image, QRect(image.width() / 2, 0, image.width() / 2, g.FileNumber(1).y - 1)) > 20);
        for (int i = 1; i <= 9; ++i) {
            const Point p = g.FileNumber(i);
            QVERIFY(Ink(image, QRect(p.x, p.y, g.w - g.w / 5, g.y0 - p.y - 2)) > 3);
        }
        // Empty hands with a label: なし under each label; its first line has ink.
        const Point hand = g.SenteHand(3, 0);
        QVERIFY(Ink(image, QRect(hand.x, hand.y, g.hD(), g.hD())) > 5);
        QCOMPARE(Ink(image, QRect(hand.x, g.SenteHand(3, 2).y, g.hD(), g.hD() * 3)), 0);

        // With user-defined marks the label's ▲ is our font's glyph: ink in the mark's place,
        // drawn differently from the shape.
        DiagramOptions gaiji;
        gaiji.gaijiMarks = true;
        const QImage withGlyphs = DrawDiagram(Inputs(even), gaiji);
        const QRect markPlace(s.x, s.y, g.hD(), g.hD());
        QVERIFY(Ink(withGlyphs, markPlace) > 10);
        QVERIFY(withGlyphs.copy(markPlace) != image.copy(markPlace));
        QCOMPARE(withGlyphs.copy(Inside(g, 5, 9)), image.copy(Inside(g, 5, 9)));

        // Turned pieces: gote's pawn on 3三 is sente's pawn on 7七 turned by 180 degrees.
        const QImage sente = image.copy(Inside(g, 7, 7));
        const QImage gote = image.copy(Inside(g, 3, 3)).transformed(QTransform().rotate(180));
        int same = 0, inked = 0;
        for (int y = 0; y < sente.height(); ++y) {
            for (int x = 0; x < sente.width(); ++x) {
                const bool a = Dark(sente.pixel(x, y));
                inked += a ? 1 : 0;
                // allow the turned character one pixel of play
                bool near = false;
                for (int dy = -1; dy <= 1 && !near; ++dy) {
                    for (int dx = -1; dx <= 1 && !near; ++dx) {
                        const QPoint q(x + dx, y + dy);
                        near = gote.rect().contains(q) && Dark(gote.pixel(q));
                    }
                }
                same += a && near ? 1 : 0;
            }
        }
        QVERIFY(inked > 20);
        QVERIFY2(same * 10 >= inked * 9, qPrintable(QStringLiteral("%1 of %2").arg(same).arg(inked)));
    }

    // A handicap (飛角落ち) with every kind in sente's hand and the mate-problem labels: gote's
    // hand is not drawn, sente's column lists 飛 角 金 銀 桂 香 歩 with their counts.
    void handicapAndFullHand() {
        BoardPosition pos = Position("lnsgkgsnl/9/ppppppppp/9/9/9/9/9/4K4 b RB2G2S2N2L9P 1");
        LabelSettings settings{"▲持駒"_sj, "△残りの駒全部"_sj, "", ""};
        const DiagramLabelPair labels = DiagramLabels(3, true, "", "", settings);
        DiagramInputs in = Inputs(pos, labels.sente, labels.gote);
        DiagramOptions options;
        options.sizeMode = 2;
        const QImage image = DrawDiagram(in, options);
        QCOMPARE(image.size(), QSize(350, 338));
        const DiagramGeometry g = Geometry(2, 1);
        QCOMPARE(Ink(image, Inside(g, 8, 2)), 0);
        QCOMPARE(Ink(image, Inside(g, 2, 2)), 0);
        QVERIFY(Ink(image, Inside(g, 5, 9)) > 20);
        const std::vector<std::string> column = HandColumn(CountHand(pos, side::kSente), options, false);
        QCOMPARE(int(column.size()), 7 + 4 + 1);  // seven kinds, 二 for four of them, 九 for the pawns
        for (std::size_t i = 0; i < column.size(); ++i) {
            const Point p = g.SenteHand(3, int(i));
            if (p.y + g.hD() > image.height()) break;  // a long column runs off the picture
            QVERIFY2(Ink(image, QRect(p.x, p.y, g.hD(), g.step)) > 3, qPrintable(QString::number(i)));
        }
        // Gote's side: the label "残りの駒全部" turned, and nothing where the hand would start.
        const Point last = g.GoteHand(7, 0);
        QCOMPARE(Ink(image, QRect(last.x - g.hD(), 0, g.hD(), last.y - 2)), 0);
        QVERIFY(Ink(image, QRect(last.x - g.hD(), last.y, g.hD(), g.y0 + 9 * g.h - last.y)) > 30);
    }

    // Size 小 draws the last move's piece bold; 中 does not. Zoom 3 thickens the lines.
    void lastMoveBoldAndZoom() {
        BoardPosition even;
        SetUpStandard(even, '0');
        DiagramInputs in = Inputs(even);
        in.lastMove = Square{7, 7};
        DiagramOptions small;
        small.sizeMode = 0;
        const QImage a = DrawDiagram(in, small);
        const DiagramGeometry g0 = Geometry(0, 1);
        QVERIFY(Ink(a, Inside(g0, 7, 7)) > Ink(a, Inside(g0, 6, 7)));
        DiagramOptions middle;
        const QImage b = DrawDiagram(in, middle);
        const DiagramGeometry g1 = Geometry(1, 1);
        QCOMPARE(Ink(b, Inside(g1, 7, 7)), Ink(b, Inside(g1, 6, 7)));

        DiagramOptions zoomed;
        zoomed.zoom = 3;
        const QImage z = DrawDiagram(in, zoomed);
        QCOMPARE(z.size(), QSize(DiagramSize(1, 3).width, DiagramSize(1, 3).height));
        const DiagramGeometry g3 = Geometry(1, 3);
        const int y = g3.y0 + 4 * g3.h + g3.h / 2;  // an empty row
        int width = 0;
        for (int x = g3.x0 + 4 * g3.w - 3; x <= g3.x0 + 4 * g3.w + 3; ++x) width += Dark(z.pixel(x, y)) ? 1 : 0;
        QCOMPARE(width, 2);
        QCOMPARE(Ink(z, Inside(g3, 5, 5)), 0);
    }

    // A title near the longest allowed is centred on the smallest picture; a longer one (which the title dialog
    // refuses) and a long label simply run off the edges.
    void longTitleAndLabel() {
        BoardPosition even;
        SetUpStandard(even, '0');
        DiagramInputs in = Inputs(even, "▲"_sj + std::string(40, 'W'), "△後手"_sj);
        in.title = "【第１２３図は▲７六歩まで１２３】"_sj;  // 34 bytes, brackets of equal bearing
        DiagramOptions options;
        options.sizeMode = 0;
        QImage image = DrawDiagram(in, options);
        const DiagramGeometry g = Geometry(0, 1);
        const int band = g.FileNumber(1).y - 1;
        int left = image.width(), right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (Ink(image, QRect(x, 0, 1, band)) > 0) {
                left = std::min(left, x);
                right = x;
            }
        }
        QVERIFY2(left > 0 && right < image.width() - 1, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        QVERIFY2(std::abs(left - (image.width() - 1 - right)) <= 3, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        QVERIFY(Ink(image, QRect(g.SenteLabel(0).x, image.height() - 10, g.hD(), 10)) > 0);

        in.title += in.title;
        image = DrawDiagram(in, options);
        QVERIFY(Ink(image, QRect(0, 0, 2, band)) > 0);
        QVERIFY(Ink(image, QRect(image.width() - 2, 0, 2, band)) > 0);
    }

    // The bitmap depths the colour setting picks, and the 94 x 84 mobile pictures.
    void depthsAndMobile() {
        BoardPosition even;
        SetUpStandard(even, '0');
        const QImage image = DrawDiagram(Inputs(even), DiagramOptions{});
        const QImage two = ReduceToDepth(image, 1);
        QCOMPARE(two.depth(), 1);
        QCOMPARE(two.size(), QSize(285, 269));
        QCOMPARE(ReduceToDepth(image, 4).colorCount(), 16);
        QCOMPARE(ReduceToDepth(image, 8).colorCount(), 256);
        const RgbImage rgb = ToRgbImage(image);
        QCOMPARE(EncodeBmp(rgb, 1).size(), std::size_t(62 + 36 * 269));

        for (int layout : {0, 1, 2}) {
            const QImage mobile = DrawMobileDiagram(even, layout);
            QCOMPARE(mobile.size(), QSize(94, 84));
            const MobileGeometry m = MobileLayout(layout);
            // 1一's lance and 1九's lance are always in the picture for layouts 0; 1一 for all.
            const Point p = m.GotePiece(1, 1);
            QVERIFY(Ink(mobile, QRect(p.x - m.w + 2, p.y - m.h + 2, m.w - 2, m.h - 2)) > 3);
            if (layout == 2) {
                // Files 6 to 1 and ranks 1 to 5 fully inside, with their coordinates.
                QVERIFY(m.x0 + 3 * m.w >= 0);
                QVERIFY(m.y0 + 5 * m.h < 84);
                QVERIFY(Ink(mobile, QRect(0, 0, 94, m.y0 - 1)) > 10);
            }
        }
    }

    // The settings dialog: out-of-range values pick the first choices, 指定文字 alone enables its
    // input, OK stores every control (MKChar without blanks), Cancel changes nothing; it opens
    // inside the screen's available area.
    void settingsDialog() {
        Settings settings;
        settings.btimap.TitleNo = 9;
        settings.btimap.Size = 7;
        settings.btimap.BmpZoom = 20;
        settings.btimap.Color = 0;
        settings.btimap.MKDisp = 2;
        settings.btimap.MKChar = " 無 し "_sj;
        QWidget window;
        window.resize(640, 480);
        window.show();
        Recorder prompter;
        DiagramCommands commands(&window, settings, std::filesystem::temp_directory_path(), [] { return DiagramSource{}; },
                                 prompter);
        commands.settingsAnswer = [&](DiagramSettingsDialog& d) -> bool {
            d.show();
            CHECK(InsideScreen(&d));
            CHECK_EQ(d.windowTitle(), QStringLiteral("局面図作成オプション（文字モード）"));
            CHECK_EQ(d.tabs()->count(), 4);
            CHECK_EQ(d.group("TitleNo")->checkedId(), 1);
            CHECK_EQ(d.group("Size")->checkedId(), 0);
            CHECK_EQ(d.group("Color")->checkedId(), 1);
            CHECK_EQ(d.zoomBox()->currentIndex(), 0);
            CHECK_EQ(d.zoomBox()->count(), 10);
            CHECK(!d.mkCharEdit()->isEnabled());
            d.group("MKDisp")->button(3)->click();
            CHECK(d.mkCharEdit()->isEnabled());
            d.group("Size")->button(2)->click();
            d.group("TNameNo")->button(4)->click();
            d.zoomBox()->setCurrentIndex(2);
            d.gaijiBox()->setChecked(true);
            d.titleEdit(6)->setText(QStringLiteral("【%i】"));
            for (int i = 0; i < d.tabs()->count(); ++i) {
                d.tabs()->setCurrentIndex(i);
                Shoot(&d, QStringLiteral("diagram_settings_%1").arg(i + 1));
            }
            return false;  // Cancel
        };
        QVERIFY(!commands.OpenSettings());
        QCOMPARE(g_failures, 0);
        QCOMPARE(settings.btimap.Size, 7);
        QCOMPARE(settings.btimap.MKChar, std::string(" 無 し "_sj));
        commands.settingsAnswer = [&](DiagramSettingsDialog& d) {
            d.group("MKDisp")->button(3)->click();
            d.group("Size")->button(2)->click();
            d.zoomBox()->setCurrentIndex(2);
            d.gaijiBox()->setChecked(true);
            d.titleEdit(6)->setText(QStringLiteral("【%i】"));
            return true;
        };
        QVERIFY(commands.OpenSettings());
        const Settings::Btimap& b = settings.btimap;
        QCOMPARE(b.Size, 2);
        QCOMPARE(b.BmpZoom, 3);
        QCOMPARE(b.TitleNo, 1);
        QCOMPARE(b.Color, 1);
        QCOMPARE(b.MKDisp, 3);
        QCOMPARE(b.MKChar, std::string("無し"_sj));
        QVERIFY(b.KmGaiji);
        QCOMPARE(b.Title6, std::string("【%i】"_sj));
        QCOMPARE(b.Title1, std::string("【図は%n手目%sまで】"_sj));
        // With another empty-hand choice the typed text is not stored.
        settings.btimap.MKDisp = 1;
        commands.settingsAnswer = [&](DiagramSettingsDialog& d) {
            d.mkCharEdit()->setText(QStringLiteral("x"));
            return true;
        };
        QVERIFY(commands.OpenSettings());
        QCOMPARE(settings.btimap.MKChar, std::string("無し"_sj));
    }

    // Picture to file in the game view with title format 2: the figure number is asked (an empty
    // answer refused), the file is proposed as BANT001.bmp, an existing file is kept on No, and
    // the bitmap has the colour setting's depth. In position editing with an empty Title6 no
    // dialog is shown and the title is empty.
    void pictureCommands() {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "movra_diagram_commands";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        TKifData record;
        record.SetUpStandard();
        QVERIFY(record.AppendAndApply(*MoveCode::Parse("7776")));
        QVERIFY(record.AppendAndApply(*MoveCode::Parse("3334")));
        bool gameView = true;
        Settings settings;
        settings.btimap.TitleNo = 2;
        settings.btimap.Color = 1;
        QWidget window;
        Recorder prompter;
        DiagramCommands commands(&window, settings, folder, [&] {
            DiagramSource s = GameDiagramSource(record, "先手"_sj, "後手"_sj);
            s.gameView = gameView;
            return s;
        }, prompter);
        int asked = 0;
        commands.titleAnswer = [&](TitleDialog& d) -> bool {
            ++asked;
            d.show();
            CHECK(InsideScreen(&d));
            if (asked == 1) Shoot(&d, QStringLiteral("diagram_title_dialog"));
            d.titleEdit()->setText(QString());
            d.accept();
            if (d.result() == QDialog::Accepted) return false;  // must have been refused
            d.titleEdit()->setText(QStringLiteral("3"));
            return true;
        };
        std::filesystem::path proposed;
        commands.fileAnswer = [&](const std::filesystem::path& p) {
            proposed = p;
            return folder / "out.bmp";
        };
        QVERIFY(commands.PictureToFile());
        QCOMPARE(g_failures, 0);
        QCOMPARE(asked, 1);
        QCOMPARE(prompter.shown, (std::vector<std::string>{"W:" + std::string("\rタイトルを入力して下さい！"_sj)}));
        QCOMPARE(proposed, folder / "BANT001.bmp");
        QImage written(QString::fromStdString((folder / "out.bmp").string()));
        QCOMPARE(written.size(), QSize(285, 269));
        QCOMPARE(written.depth(), 1);
        // The title 【第3図は△３四歩まで】 is drawn: its band has ink; the last move's square is 3四.
        const DiagramGeometry g = Geometry(1, 1);
        QVERIFY(Ink(written, QRect(0, 0, written.width(), g.FileNumber(1).y - 1)) > 40);
        QVERIFY(Ink(written, Inside(g, 3, 4)) > 20);
        written.save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/diagram_game_view.png"));

        // The same file again: asked, No keeps it.
        const auto before = std::filesystem::last_write_time(folder / "out.bmp");
        prompter.shown.clear();
        QVERIFY(!commands.PictureToFile());
        QCOMPARE(prompter.shown.size(), std::size_t(2));  // the empty title refused again, then the question
        QVERIFY(prompter.shown[1].ends_with("out.bmp" + std::string("は既に存在します。\r上書きしますか？"_sj)));
        QCOMPARE(std::filesystem::last_write_time(folder / "out.bmp"), before);
        // A cancelled title dialog produces nothing.
        commands.titleAnswer = [](TitleDialog&) { return false; };
        commands.fileAnswer = [&](const std::filesystem::path&) { return folder / "never.bmp"; };
        QVERIFY(!commands.PictureToFile());
        QVERIFY(!std::filesystem::exists(folder / "never.bmp"));

        // Position editing, TitleNo2 2 with an empty Title6: no dialog, an empty title.
        gameView = false;
        settings.btimap.TitleNo2 = 2;
        settings.btimap.Color = 3;
        commands.titleAnswer = [](TitleDialog&) {
            qFatal("the title dialog must not open");
            return false;
        };
        commands.fileAnswer = [&](const std::filesystem::path&) { return folder / "editing.bmp"; };
        QVERIFY(commands.PictureToFile());
        QImage editing(QString::fromStdString((folder / "editing.bmp").string()));
        QCOMPARE(editing.depth(), 8);
        QCOMPARE(Ink(editing, QRect(0, 0, editing.width(), g.FileNumber(1).y - 1)), 0);

        // The menu items the window's menus receive.
        QMenu bitmapMenu, settingsMenu;
        QAction gaiji(QStringLiteral("外字登録(&G)"));
        QList<QAction*> mobile{new QAction(&bitmapMenu), new QAction(&bitmapMenu), new QAction(&bitmapMenu)};
        commands.Install(&bitmapMenu, mobile, &settingsMenu, &gaiji);
        QCOMPARE(bitmapMenu.actions().size(), 4);
        QCOMPARE(commands.action(QStringLiteral("MENU01_10_1"))->text(), QStringLiteral("局面図ﾌｧｲﾙ出力(&F)"));
        QCOMPARE(commands.action(QStringLiteral("MENU01_10_2"))->text(), QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力(&C)"));
        QVERIFY(!commands.action(QStringLiteral("MENU01_10_3"))->isVisible());
        QVERIFY(!commands.action(QStringLiteral("MENU01_10_4"))->isVisible());
        QCOMPARE(settingsMenu.actions().at(0)->text(), QStringLiteral("局面図設定(&BMP)"));
        mobile[0]->trigger();  // 6x5
        QCOMPARE(commands.lastPicture().size(), QSize(94, 84));

        // Clipboard and the mobile picture.
        QVERIFY(commands.PictureToClipboard());
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(285, 269));
        commands.MobileToClipboard(2);
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(94, 84));
        commands.lastPicture().save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/diagram_mobile_6x5.png"));
        std::filesystem::remove_all(folder);
    }

    // The printed diagram on a page-sized picture at 300 dots per inch: frame, grid, the four star
    // points on their crossings, and pieces in their squares; quarter 3 moves it right and down.
    // A comment kept as one run (the collection window joins the box's lines without breaks)
    // comes out in lines as wide as the board and the numerals, every line inside the taller
    // picture; typed breaks still start a line.
    void aLongCommentIsWrappedInsideThePicture() {
        BoardPosition even;
        SetUpStandard(even, '0');
        DiagramInputs in = Inputs(even);
        std::string run;
        for (int i = 0; i < 70; ++i) run += "あ"_sj;
        in.comment = run;
        DiagramOptions options;
        options.printingSize = true;
        const QImage image = DrawDiagram(in, options);
        QCOMPARE(image.size(), QSize(285, 349));
        const DiagramGeometry g = Geometry(1, 1);
        const int top = g.Comment(0).y, hD = g.hD();
        // Ink on five line bands, nothing beyond them, and nothing right of the numerals.
        int lines = 0;
        for (int i = 0; i < 7; ++i) {
            const QRect band(0, top + i * hD, image.width(), hD);
            if (band.top() >= image.height()) break;
            if (Ink(image, band.intersected(image.rect())) > 0) ++lines;
        }
        QCOMPARE(lines, 5);
        QVERIFY(top + 5 * hD <= image.height());
        QCOMPARE(Ink(image, QRect(g.x0 + 10 * g.w + 1, top, image.width() - g.x0 - 10 * g.w - 1, 5 * hD)), 0);
        // The same text with a typed break after ten characters: the first line is shorter.
        std::string broken = run.substr(0, 20) + "\r\n" + run.substr(20);
        in.comment = broken;
        const QImage again = DrawDiagram(in, options);
        QVERIFY(Ink(again, QRect(g.x0 + 12 * hD, top, 10 * g.w - 12 * hD, hD)) == 0);
        QVERIFY(Ink(image, QRect(g.x0 + 12 * hD, top, 10 * g.w - 12 * hD, hD)) > 0);
    }

    void printedDiagram() {
        BoardPosition even;
        SetUpStandard(even, '0');
        DiagramInputs in = Inputs(even);
        in.comment = "一行目\r\n二行目"_sj;
        QImage page(2480, 3508, QImage::Format_RGB32);  // A4
        page.setDotsPerMeterX(11811);
        page.setDotsPerMeterY(11811);
        for (int quarter : {0, 3}) {
            page.fill(Qt::white);
            QPainter painter(&page);
            PrintDiagram(painter, in, DiagramOptions{}, quarter, 1, 1);
            painter.end();
            std::array<int, 5> heights{};
            const std::array<int, 5> points = PrintFontPoints(1, 1);
            for (std::size_t i = 0; i < 5; ++i) heights[i] = int(std::lround(points[i] * 300.0 / 72.0));
            const PrintGeometry p = PrintLayout(heights, quarter, 1, 1);
            // A star point is a filled disc of radius grid pen + 2 around the crossing.
            for (int cx : {3, 6}) {
                for (int cy : {3, 6}) {
                    const QPoint c(p.x0 + cx * p.w, p.y0 + cy * p.h);
                    QVERIFY(Dark(page.pixel(c + QPoint(p.gridPen, p.gridPen))));  // off the lines, inside the disc
                }
            }
            QVERIFY(!Dark(page.pixel(p.x0 + 4 * p.w + 4 * p.gridPen, p.y0 + 4 * p.h + 4 * p.gridPen)));
            QVERIFY(Dark(page.pixel(p.x0 + 2 * p.w, p.y0 + 4 * p.h + p.h / 2)));
            QVERIFY(Ink(page, QRect(p.x0 + 4 * p.w + 5, p.y0 + 8 * p.h + 5, p.w - 10, p.h - 10)) > 100);  // 5九 玉
            QCOMPARE(Ink(page, QRect(p.x0 + 4 * p.w + 8, p.y0 + 4 * p.h + 8, p.w - 16, p.h - 16)), 0);
            if (quarter == 0) page.scaled(620, 877, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(QStringLiteral(MOVRA_SCREENSHOT_DIR "/diagram_printed.png"));
            if (quarter == 3) QCOMPARE(Ink(page, QRect(0, 0, 900, 1200)), 0);  // the top-left quarter stays blank
            QVERIFY(Ink(page, QRect(p.x0, p.y0 + 19 * p.h / 2, 9 * p.w, 2 * heights[3])) > 50);  // comment
        }
    }

    // %d proposes the whole title with the comment box; Escape in the comment box cancels.
    void titleDialogWithComment() {
        Recorder prompter;
        TitleContext ctx;
        ctx.shownMove = 1;
        ctx.moveLine = "001  ▲７六歩"_sj;
        std::optional<ExpandedTitle> t = ExpandDiagramTitle(nullptr, "%d", ctx, "a\r\nb\r\nc\r\nd\r\ne\r\nf", true,
                                                            prompter, [](TitleDialog& d) {
            if (d.titleEdit()->text() != QStringLiteral("【第１図は▲７六歩まで】")) return false;
            if (d.commentEdit()->toPlainText().count(QLatin1Char('\n')) != 5) return false;  // five lines kept
            return true;
        });
        QVERIFY(t);
        QCOMPARE(t->title, std::string("【第１図は▲７六歩まで】"_sj));
        QCOMPARE(t->comment, std::string("a\r\nb\r\nc\r\nd\r\ne\r\n"));
        t = ExpandDiagramTitle(nullptr, "%d", ctx, "", true, prompter, [](TitleDialog& d) {
            d.show();
            QTest::keyClick(d.commentEdit(), Qt::Key_Escape);
            return d.result() == QDialog::Accepted;
        });
        QVERIFY(!t);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DiagramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "diagram_test.moc"
