// movra-icongen: draws the program's icon, a shogi piece bearing 将, into the hicolor theme
// sizes under the folder given (<folder>/<n>x<n>/apps/movra.png).
//
//     movra-icongen OUTPUT_FOLDER
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: movra-icongen OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size;
        // The piece: a pentagon pointing up, the wood light with a darker edge.
        QPainterPath piece;
        piece.moveTo(0.50 * s, 0.04 * s);
        piece.lineTo(0.82 * s, 0.20 * s);
        piece.lineTo(0.93 * s, 0.96 * s);
        piece.lineTo(0.07 * s, 0.96 * s);
        piece.lineTo(0.18 * s, 0.20 * s);
        piece.closeSubpath();
        QLinearGradient wood(0, 0, s, s);
        wood.setColorAt(0, QColor(250, 222, 160));
        wood.setColorAt(1, QColor(222, 176, 100));
        p.setBrush(wood);
        p.setPen(QPen(QColor(120, 76, 30), std::max(1.0, s / 32)));
        p.drawPath(piece);
        if (size >= 24) {
            QFont font(QStringLiteral("IPAexMincho"));
            font.setPixelSize(int(s * 0.52));
            font.setBold(true);
            p.setFont(font);
            p.setPen(QColor(20, 12, 4));
            p.drawText(QRectF(0.1 * s, 0.26 * s, 0.8 * s, 0.66 * s), Qt::AlignCenter, QStringLiteral("将"));
        }
        p.end();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/movra.png"))) {
            std::fprintf(stderr, "movra-icongen: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
