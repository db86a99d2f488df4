#include "gui/diagram/diagram_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>

#include <system_error>

#include "core/diagram/bitmap_names.h"
#include "core/diagram/bmp.h"
#include "core/diagram/gaiji_install.h"
#include "core/record/kif_data.h"
#include "core/rules/notation.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "gui/common/placement.h"
#include "gui/common/qtext.h"
#include "gui/diagram/diagram_settings_dialog.h"
#include "gui/diagram/title_dialog.h"

namespace movra {

using namespace movra::literals;

DiagramSource GameDiagramSource(const TKifData& record, const std::string& senteName, const std::string& goteName) {
    DiagramSource s;
    s.position = record.position;
    s.shownMove = record.currentMove;
    s.turned = record.boardFlipped != 0;
    s.handicapGame = record.handicap != '0';
    s.senteName = senteName;
    s.goteName = goteName;
    const int n = record.currentMove;
    if (n > 0 && n <= record.moveCount) {
        // The move-list line of the shown move, made again on a copy standing before it.
        TKifData copy = record;
        copy.GoToMove(n - 1);
        const PieceCode before = copy.ApplyMove(n);
        const MoveRecord& m = copy.moves[std::size_t(n)];
        s.moveLine = MoveLine(n, copy.parityOffset, copy.handicap, copy.position.board, before, m,
                              copy.moves[std::size_t(n - 1)]);
        s.lastMove = Square{m.toFile, m.toRank};
    }
    return s;
}

DiagramCommands::DiagramCommands(QWidget* window, Settings& settings, std::filesystem::path programFolder,
                                 std::function<DiagramSource()> source, Prompter& prompter)
    : QObject(window),
      window_(window),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      lastFolder_(programFolder_),
      source_(std::move(source)),
      prompter_(prompter) {}

void DiagramCommands::Install(QMenu* bitmapMenu, const QList<QAction*>& mobileItems, QMenu* settingsMenu,
                              QAction* gaijiItem) {
    auto add = [this](QMenu* menu, const QString& caption, const QString& name, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        actions_.append(a);
        return a;
    };
    if (bitmapMenu != nullptr) {
        add(bitmapMenu, QStringLiteral("局面図ﾌｧｲﾙ出力(&F)"), QStringLiteral("MENU01_10_1"), [this] { PictureToFile(); });
        add(bitmapMenu, QStringLiteral("局面図ｸﾘｯﾌﾟﾎﾞｰﾄ出力(&C)"), QStringLiteral("MENU01_10_2"),
            [this] { PictureToClipboard(); });
        add(bitmapMenu, QStringLiteral("局面図印刷[大](&P)"), QStringLiteral("MENU01_10_3"), [this] { PrintPicture(2); })
            ->setVisible(false);
        add(bitmapMenu, QStringLiteral("局面図印刷[小](&R)"), QStringLiteral("MENU01_10_4"), [this] { PrintPicture(1); })
            ->setVisible(false);
    }
    const int layouts[3] = {2, 1, 0};  // 6x5, 7x6, 9x9
    for (int i = 0; i < mobileItems.size() && i < 3; ++i) {
        QAction* a = mobileItems[i];
        const int layout = layouts[i];
        connect(a, &QAction::triggered, this, [this, layout] { MobileToClipboard(layout); });
        actions_.append(a);
    }
    if (settingsMenu != nullptr) {
        add(settingsMenu, QStringLiteral("局面図設定(&BMP)"), QStringLiteral("MENU04_BMP"), [this] { OpenSettings(); });
    }
    if (gaijiItem != nullptr) {
        gaijiItem->setObjectName(QStringLiteral("MENU02_Gaiji"));
        connect(gaijiItem, &QAction::triggered, this, [this] { RegisterGaiji(); });
        actions_.append(gaijiItem);
    }
}

QAction* DiagramCommands::action(const QString& objectName) const {
    for (QAction* a : actions_) {
        if (a->objectName() == objectName) return a;
    }
    return nullptr;
}

DiagramOptions DiagramCommands::Options() const {
    const Settings::Btimap& b = settings_.btimap;
    DiagramOptions o;
    o.sizeMode = b.Size >= 0 && b.Size <= 2 ? b.Size : 1;
    o.zoom = b.BmpZoom >= 1 && b.BmpZoom <= 10 ? b.BmpZoom : 1;
    o.gaijiMarks = b.KmGaiji;
    o.countStyle = b.MtKoma;
    o.emptyHandMode = b.MKDisp;
    o.emptyHandText = RemoveSpaces(b.MKChar);
    return o;
}

std::optional<DiagramInputs> DiagramCommands::Inputs() {
    const DiagramSource source = source_();
    const Settings::Btimap& b = settings_.btimap;
    const LabelSettings labels{b.MNameS, b.MNameG, b.TNameS, b.TNameG};
    const DiagramLabelPair pair = DiagramLabels(b.TNameNo, source.handicapGame, source.senteName, source.goteName, labels);
    const std::optional<std::string> format =
        ChosenTitleFormat(source.gameView, b.TitleNo, b.TitleNo2, {b.Title1, b.Title2, b.Title3, b.Title4, b.Title5, b.Title6});
    if (!format) return std::nullopt;
    TitleContext context;
    context.gameView = source.gameView;
    context.shownMove = source.shownMove;
    context.moveLine = source.moveLine;
    context.turned = source.turned;
    const std::optional<ExpandedTitle> title =
        ExpandDiagramTitle(window_, *format, context, std::string(), false, prompter_, titleAnswer);
    if (!title) return std::nullopt;
    DiagramInputs in;
    in.position = source.position;
    in.lastMove = source.gameView ? source.lastMove : std::nullopt;
    in.senteLabel = pair.sente;
    in.goteLabel = pair.gote;
    in.title = title->title;
    return in;
}

bool DiagramCommands::PictureToFile() {
    const std::optional<DiagramInputs> in = Inputs();
    if (!in) return false;
    last_ = DrawDiagram(*in, Options());
    const std::filesystem::path proposed = ProposedBitmapPath(lastFolder_);
    std::filesystem::path chosen;
    if (fileAnswer) {
        chosen = fileAnswer(proposed);
    } else {
        chosen = QStringToPath(QFileDialog::getSaveFileName(window_, QString(), PathToQString(proposed),
                                                            QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ･ﾌｧｲﾙ(*.bmp)")));
    }
    if (chosen.empty()) return false;
    std::error_code ec;
    if (std::filesystem::exists(chosen, ec)) {
        const std::string question = PathText(chosen) + "は既に存在します。"_sj + "\r" + "上書きしますか？"_sj;
        if (prompter_.Confirm(question, true, false) != Answer::Yes) return false;
    }
    lastFolder_ = chosen.parent_path();
    if (!WriteBmpFile(chosen, ToRgbImage(last_), BitsForColorSetting(settings_.btimap.Color))) {
        prompter_.Warn("\r"_sj + PathText(chosen) + "\r" + "に書き込めません。"_sj);
        return false;
    }
    return true;
}

bool DiagramCommands::PictureToClipboard() {
    const std::optional<DiagramInputs> in = Inputs();
    if (!in) return false;
    last_ = ReduceToDepth(DrawDiagram(*in, Options()), BitsForColorSetting(settings_.btimap.Color));
    QApplication::clipboard()->setImage(last_);
    return true;
}

void DiagramCommands::MobileToClipboard(int layout) {
    last_ = ReduceToDepth(DrawMobileDiagram(source_().position, layout), 4);
    QApplication::clipboard()->setImage(last_);
}

bool DiagramCommands::PrintPicture(int scale) {
    const std::optional<DiagramInputs> in = Inputs();
    if (!in) return false;
    QPrinter printer;
    QPrintDialog dialog(&printer, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QPainter painter(&printer);
    for (int copy = 0; copy < printer.copyCount(); ++copy) {
        if (copy > 0) printer.newPage();
        PrintDiagram(painter, *in, Options(), 0, scale, 1);
    }
    painter.end();
    QApplication::restoreOverrideCursor();
    return true;
}

bool DiagramCommands::OpenSettings() {
    DiagramSettingsDialog dialog(settings_.btimap, window_);
    PlaceCentred(&dialog, window_);
    const bool ok = settingsAnswer ? settingsAnswer(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return false;
    settings_.btimap = dialog.result();
    return true;
}

void DiagramCommands::RegisterGaiji() {
    const GaijiInstallPlaces places = DesktopGaijiPlaces(programFolder_);
    RegisterGaijiFont(places, prompter_, [&places] {
        QProcess::execute(QStringLiteral("fc-cache"), {QStringLiteral("-f"), PathToQString(places.fontFolder)});
    });
}

}  // namespace movra
