// movra-picturegen: draws every picture file of the program folder (boards, piece stands, piece
// sets, the move-list background, the replay buttons and panel) and the piece-set list
// "KOMATYPE.DAT", into the folder given.
//
//     movra-picturegen OUTPUT_FOLDER [--preview PNG_FOLDER]
//
// The build runs it into its data folder; --preview also writes each picture as PNG.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/picturegen/boards.h"
#include "gui/picturegen/pieces.h"
#include "core/text/sjis_literal.h"

namespace {

using namespace movra::literals;
using movra::picturegen::PieceStyle;
using movra::picturegen::SizeSet;

// Modes 0 (E, large), 1 (L, standard) and 2 (S, small). The standard pieces are 40 pixels wide
// and the small ones 33: the window tells the size mode from that width.
const std::array<SizeSet, 3> kSizes{{
    {'E', {50, 55}, 22, {168, 244}, {220, 300}, 34, {168, 128}},
    {'L', {40, 44}, 18, {136, 196}, {180, 240}, 28, {136, 104}},
    {'S', {33, 36}, 14, {112, 164}, {144, 190}, 24, {112, 90}},
}};

struct PieceSetEntry {
    std::string_view name;  // CP932
    const char* stem;       // file names are stem + size letter + ".BMP"
    PieceStyle style;
};
const std::array<PieceSetEntry, 2> kPieceSets{{
    {"一字駒"_sj, "KOMA1", PieceStyle::OneCharacter},
    {"二字駒"_sj, "KOMA2", PieceStyle::TwoCharacter},
}};

QString g_preview;

bool Save(const QImage& image, const QDir& out, const QString& name) {
    if (!image.save(out.filePath(name), "BMP")) {
        std::fprintf(stderr, "movra-picturegen: cannot write %s\n", qPrintable(out.filePath(name)));
        return false;
    }
    if (!g_preview.isEmpty()) {
        QDir(g_preview).mkpath(QStringLiteral("."));
        const QString png = QDir(g_preview).filePath(name.left(name.lastIndexOf('.')) + ".png");
        image.save(png, "PNG");
    }
    return true;
}

// One fixed-width field of KOMATYPE.DAT: the text padded with blanks to 20 bytes.
std::string Field(const std::string& cp932) {
    std::string f = cp932.substr(0, 20);
    f.resize(20, ' ');
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: movra-picturegen OUTPUT_FOLDER [--preview PNG_FOLDER]\n");
        return 2;
    }
    if (argc >= 4 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--preview")) {
        g_preview = movra::PathToQString(std::filesystem::path(argv[3]));
    }
    // Drawing needs fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!movra::RegisterFontSubstitutes()) {
        std::fprintf(stderr, "movra-picturegen: the IPAex fonts are missing (Debian: fonts-ipaexfont)\n");
        return 1;
    }
    QDir out(movra::PathToQString(std::filesystem::path(argv[1])));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "movra-picturegen: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    for (const SizeSet& dims : kSizes) {
        const QString letter(QChar::fromLatin1(dims.letter));
        for (int set : {1, 3}) {
            const QString n = QString::number(set);
            ok &= Save(movra::picturegen::DrawBoard(dims, set), out, "Ban" + n + letter + ".BMP");
            ok &= Save(movra::picturegen::DrawStand(dims, set), out, "Dai" + n + letter + ".BMP");
        }
        for (const PieceSetEntry& entry : kPieceSets) {
            ok &= Save(movra::picturegen::DrawPieceSet(dims.piece, entry.style), out,
                       QString::fromLatin1(entry.stem) + letter + ".BMP");
        }
    }
    // The move-list background and the panel pictures come in two sizes: "L" serves the large
    // and standard boards, "S" the small one.
    for (const SizeSet& dims : {kSizes[1], kSizes[2]}) {
        const QString letter(QChar::fromLatin1(dims.letter));
        ok &= Save(movra::picturegen::DrawKifBox(dims), out, "KifBox3" + letter + ".BMP");
        for (int set : {1, 3}) {
            const QString n = QString::number(set);
            ok &= Save(movra::picturegen::DrawButtons(dims, set), out, "PBtn" + n + letter + ".bmp");
            ok &= Save(movra::picturegen::DrawPanel(dims, set), out, "Panel" + n + letter + ".bmp");
        }
    }

    // KOMATYPE.DAT: display name, then the small, standard and large piece files, 20 bytes each.
    std::ofstream list(movra::QStringToPath(out.filePath(QStringLiteral("KOMATYPE.DAT"))),
                       std::ios::binary | std::ios::trunc);
    for (const PieceSetEntry& entry : kPieceSets) {
        const std::string stem = entry.stem;
        list << Field(std::string(entry.name)) << Field(stem + "S.BMP") << Field(stem + "L.BMP")
             << Field(stem + "E.BMP") << "\r\n";
    }
    list.flush();
    if (!list) {
        std::fprintf(stderr, "movra-picturegen: cannot write KOMATYPE.DAT\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
