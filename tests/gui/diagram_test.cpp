// The diagram drawing read back pixel by pixel: grid, pieces, turned pieces, marks, hands, the
// sizes and depths of the bitmap settings, and the small mobile picture.
#include <QApplication>
#include <QTest>

#include <cstdlib>

#include "core/diagram/bmp.h"
#include "core/diagram/diagram_layout.h"
#include "core/rules/position.h"
#include "core/rules/sfen.h"
#include "core/text/sjis_literal.h"
#include "gui/common/fonts.h"
#include "gui/diagram/diagram_renderer.h"
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
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DiagramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "diagram_test.moc"
