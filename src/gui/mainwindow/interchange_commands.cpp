#include "gui/mainwindow/interchange_commands.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include <sstream>

#include "core/record/game_from_moves.h"
#include "core/rules/notation.h"
#include "core/rules/position.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/textio/csa_writer.h"
#include "core/textio/export_file.h"
#include "core/textio/ki2_writer.h"
#include "gui/common/qtext.h"
#include "gui/store/file_chooser.h"

namespace movra {

using namespace movra::literals;

namespace {

bool SamePosition(const BoardPosition& a, const BoardPosition& b) {
    return a.board == b.board && a.senteHand == b.senteHand && a.goteHand == b.goteHand;
}

// The handicap (0-14) whose set-up, with its first mover to move, the position is; -1 for none.
int SetupOf(const SfenPosition& p) {
    for (int number = 0; number < kHandicapCount; ++number) {
        BoardPosition setup;
        SetUpStandard(setup, HandicapChar(number));
        const int firstMover = number == 0 ? side::kSente : side::kGote;
        if (p.sideToMove == firstMover && SamePosition(setup, p.position)) return number;
    }
    return -1;
}

std::unique_ptr<TKifData> StartOf(const TKifData& record) {
    auto start = std::make_unique<TKifData>(record);
    start->GoToMove(0);
    return start;
}

}  // namespace

PastedText ReadPastedText(std::string_view text) {
    PastedText out;
    // The first line that holds anything.
    std::istringstream lines{std::string(text)};
    std::string line;
    std::vector<std::string> words;
    while (words.empty() && std::getline(lines, line)) {
        std::istringstream in(line);
        for (std::string w; in >> w;) words.push_back(w);
    }
    std::size_t at = 0;
    if (at < words.size() && words[at] == "position") ++at;
    std::string sfen;
    bool startpos = false;
    if (at < words.size() && words[at] == "startpos") {
        startpos = true;
        ++at;
    } else {
        if (at < words.size() && words[at] == "sfen") ++at;
        // Board, side, hands and the optional move number, up to "moves".
        for (int field = 0; at < words.size() && words[at] != "moves" && field < 4; ++field) {
            sfen += (sfen.empty() ? "" : " ") + words[at++];
        }
    }
    std::vector<std::string> moves;
    const bool hasMoves = at < words.size() && words[at] == "moves";
    if (hasMoves) moves.assign(words.begin() + std::ptrdiff_t(at) + 1, words.end());
    else if (at < words.size()) {
        out.error = "unexpected \"" + words[at] + "\"";
        return out;
    }
    if (!startpos && sfen.empty()) {
        out.error = "no position";
        return out;
    }

    int handicap = 0;
    if (!startpos) {
        std::string why;
        const std::optional<SfenPosition> p = ParseSfen(sfen, &why);
        if (!p) {
            out.error = why;
            return out;
        }
        if (!hasMoves) {
            out.kind = PastedText::Kind::Position;
            out.position = *p;
            return out;
        }
        // A game from a standard set-up keeps its handicap, so it can be saved as any format.
        handicap = SetupOf(*p);
        if (handicap >= 0) sfen.clear();
        else handicap = 0;
    }
    std::string why;
    std::optional<TKifData> game = GameFromMoves(sfen, handicap, moves, &why);
    if (!game) {
        out.error = why;
        return out;
    }
    out.kind = PastedText::Kind::Game;
    out.game = std::make_unique<TKifData>(std::move(*game));
    return out;
}

std::string ShownPositionSfen(const TKifData& record) {
    const int next = record.currentMove + 1;
    return ToSfen(record.position, record.SideOf(next), next);
}

bool StartsFromSetup(const TKifData& record) {
    const std::unique_ptr<TKifData> start = StartOf(record);
    BoardPosition setup;
    SetUpStandard(setup, record.handicap);
    const int firstMover = record.handicap == '0' ? side::kSente : side::kGote;
    return record.SideOf(1) == firstMover && SamePosition(setup, start->position);
}

std::string GameUsiLine(const TKifData& record) {
    std::string line = "position ";
    if (record.handicap == '0' && StartsFromSetup(record)) {
        line += "startpos";
    } else {
        line += "sfen " + ToSfen(StartOf(record)->position, record.SideOf(1), 1);
    }
    if (record.moveCount > 0) line += " moves";
    for (int n = 1; n <= record.moveCount; ++n) line += " " + MoveCodeToUsi(record.moves[std::size_t(n)].moveCode());
    return line;
}

std::unique_ptr<ExportGame> UnstoredExportGame(const TKifData& record, const std::string& senteName,
                                               const std::string& goteName) {
    auto game = std::make_unique<ExportGame>();
    game->record = record;
    game->handicapNumber = std::max(0, HandicapNumber(record.handicap));
    const int result = ResultNumber(record.endCode);
    game->result = result < 0 ? 0 : result;
    game->senteName = senteName;
    game->goteName = goteName;
    return game;
}

InterchangeCommands::InterchangeCommands(QWidget* window, Host host, Prompter& prompter)
    : QObject(window), window_(window), host_(std::move(host)), prompter_(prompter),
      lastFolder_(QDir::homePath()) {}

void InterchangeCommands::Install(QMenu* fileMenu, QAction* before) {
    menu_ = new QMenu(QStringLiteral("他形式(&O)"), fileMenu);
    menu_->setObjectName(QStringLiteral("MenuInterchange"));
    fileMenu->insertMenu(before, menu_);
    const auto add = [this](const QString& caption, const QString& name, auto slot) {
        QAction* a = menu_->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        actions_.push_back(a);
    };
    add(QStringLiteral("局面をSFENでｺﾋﾟｰ(&S)"), QStringLiteral("InterchangeCopySfen"), [this] { CopyPositionSfen(); });
    add(QStringLiteral("棋譜をUSIでｺﾋﾟｰ(&U)"), QStringLiteral("InterchangeCopyUsi"), [this] { CopyGameUsi(); });
    add(QStringLiteral("SFEN/USIを貼り付け(&P)"), QStringLiteral("InterchangePaste"), [this] { Paste(); });
    menu_->addSeparator();
    add(QStringLiteral("CSA形式で保存(&C)..."), QStringLiteral("InterchangeSaveCsa"), [this] { SaveAs(Format::Csa); });
    add(QStringLiteral("KI2形式で保存(&K)..."), QStringLiteral("InterchangeSaveKi2"), [this] { SaveAs(Format::Ki2); });
    add(QStringLiteral("USI形式で保存(&I)..."), QStringLiteral("InterchangeSaveUsi"), [this] { SaveAs(Format::Usi); });
}

QAction* InterchangeCommands::action(const QString& objectName) const {
    for (QAction* a : actions_) {
        if (a->objectName() == objectName) return a;
    }
    return nullptr;
}

bool InterchangeCommands::CopyPositionSfen() {
    QGuiApplication::clipboard()->setText(QString::fromStdString("sfen " + ShownPositionSfen(host_.record())));
    return true;
}

bool InterchangeCommands::CopyGameUsi() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(GameUsiLine(host_.record())));
    return true;
}

bool InterchangeCommands::Paste() {
    const PastedText pasted = ReadPastedText(QGuiApplication::clipboard()->text().toStdString());
    switch (pasted.kind) {
        case PastedText::Kind::Game:
            return Show(*pasted.game);
        case PastedText::Kind::Position:
            OpenPastedPosition(pasted.position);
            return true;
        case PastedText::Kind::Nothing:
            break;
    }
    prompter_.Warn("\rクリップボードの内容はSFENの局面でもUSIの棋譜でもありません。"_sj + "\r(" + pasted.error + ")");
    return false;
}

void InterchangeCommands::OpenPastedPosition(const SfenPosition& position) {
    if (host_.editPosition) {
        host_.editPosition(position.position);
        return;
    }
    auto record = std::make_unique<TKifData>();
    record->ResetHeader(0);
    record->ClearMoves();
    record->position = position.position;
    record->parityOffset = position.sideToMove == side::kGote ? 1 : 0;
    record->endCode = endcode::kInterrupted;
    Show(*record);
}

bool InterchangeCommands::Show(const TKifData& record) { return host_.showGame && host_.showGame(record); }

bool InterchangeCommands::SaveAs(Format format) {
    const std::unique_ptr<ExportGame> game = host_.game();
    if (game == nullptr) {
        prompter_.Warn("\r保存する棋譜がありません。"_sj);
        return false;
    }
    const char* extension = format == Format::Csa ? "csa" : format == Format::Ki2 ? "ki2" : "usi";
    if (format != Format::Usi && !StartsFromSetup(game->record)) {
        // The CSA and KI2 files we write name the start by its handicap alone.
        prompter_.Warn("\rこの棋譜は平手や駒落ちの初期局面から始まらないため、"_sj +
                       (format == Format::Csa ? "CSA" : "KI2") + "形式では保存できません。\rUSI形式で保存してください。"_sj);
        return false;
    }
    const QString filter = format == Format::Csa   ? QStringLiteral("CSA形式棋譜ﾌｧｲﾙ(*.csa)")
                           : format == Format::Ki2 ? QStringLiteral("KI2形式棋譜ﾌｧｲﾙ(*.ki2)")
                                                   : QStringLiteral("USI形式(*.usi)");
    FileChooser& chooser = chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
    QString chosen = chooser.SaveFile(window_, QStringLiteral("名前を付けて保存"), lastFolder_, filter);
    if (chosen.isEmpty()) return false;
    if (!chosen.contains(QLatin1Char('.'))) chosen += QLatin1Char('.') + QLatin1String(extension);
    const std::filesystem::path path = QStringToPath(chosen);
    lastFolder_ = PathToQString(path.parent_path());
    const std::vector<std::string> lines = format == Format::Csa   ? CsaLines(*game)
                                           : format == Format::Ki2 ? Ki2Lines(*game)
                                                                   : std::vector<std::string>{GameUsiLine(game->record)};
    const std::string error = WriteTextLines(path, lines, WriteMode::Replace);
    if (!error.empty()) {
        prompter_.Warn("\r"_sj + PathText(path) + " に書き込めません。"_sj + "\r(" + error + ")");
        return false;
    }
    return true;
}

}  // namespace movra
