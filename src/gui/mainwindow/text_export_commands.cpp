#include "gui/mainwindow/text_export_commands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include "core/text/cp932.h"
#include "core/text/prompter.h"
#include "core/text/sjis_literal.h"
#include "core/textio/export_file.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"
#include "core/textio/position_text.h"
#include "gui/common/qtext.h"
#include "gui/store/file_chooser.h"

namespace movra {

using namespace movra::literals;

namespace {

// The folder of the last file chosen in any of these save dialogs.
std::filesystem::path& SharedSaveFolder() {
    static std::filesystem::path folder;
    return folder;
}

void ToClipboard(const std::vector<std::string>& lines) {
    QGuiApplication::clipboard()->setText(ToQString(JoinLines(lines)));
}

}  // namespace

TextExportCommands::TextExportCommands(QWidget* window, Host host, Prompter& prompter)
    : QObject(window), window_(window), host_(std::move(host)), prompter_(prompter) {}

void TextExportCommands::Install(const Items& items) {
    connect(items.listingToFile, &QAction::triggered, this, [this] { ListingToFile(); });
    connect(items.listingToClipboard, &QAction::triggered, this, [this] { ListingToClipboard(); });
    connect(items.kakinoki, &QAction::triggered, this, [this] { KakinokiExport(); });
    connect(items.positionGaiji, &QAction::triggered, this, [this] { PositionToFile(true); });
    connect(items.positionStandard, &QAction::triggered, this, [this] { PositionToFile(false); });
    connect(items.positionToClipboard, &QAction::triggered, this, [this] { PositionToClipboard(); });
}

QString TextExportCommands::ChooseFile(const std::filesystem::path& proposal, const QString& filter) {
    FileChooser& chooser = chooser_ != nullptr ? *chooser_ : DefaultFileChooser();
    const QString chosen = chooser.SaveFile(window_, QStringLiteral("名前を付けて保存"), PathToQString(proposal), filter);
    if (!chosen.isEmpty()) SharedSaveFolder() = QStringToPath(chosen).parent_path();
    return chosen;
}

bool TextExportCommands::Write(const std::filesystem::path& path, const std::vector<std::string>& lines,
                               bool appendOffered) {
    const std::optional<WriteMode> mode = AskHowToWrite(path, appendOffered, prompter_);
    if (!mode) return false;
    const std::string error = WriteTextLines(path, lines, *mode);
    if (!error.empty()) {
        prompter_.Warn("\r"_sj + PathText(path) + " に書き込めません。"_sj + "\r(" + error + ")");
        return false;
    }
    return true;
}

bool TextExportCommands::ListingToFile() {
    const std::unique_ptr<ExportGame> game = host_.game();
    if (game == nullptr) return false;
    const std::filesystem::path folder = SharedSaveFolder();
    const QString chosen = ChooseFile(ProposedListingPath(folder).value_or(folder),
                                      QStringLiteral("ﾃｷｽﾄ･ﾌｧｲﾙ(*.txt)"));
    if (chosen.isEmpty()) return false;
    return Write(QStringToPath(chosen), GameListingLines(*game), true);
}

bool TextExportCommands::ListingToClipboard() {
    const std::unique_ptr<ExportGame> game = host_.game();
    if (game == nullptr) return false;
    ToClipboard(GameListingLines(*game));
    return true;
}

bool TextExportCommands::KakinokiExport() {
    const std::unique_ptr<ExportGame> game = host_.game();
    if (game == nullptr || game->record.moveCount == 0) return false;
    const std::filesystem::path folder = SharedSaveFolder();
    const QString chosen = ChooseFile(ProposedKakinokiPath(folder).value_or(folder),
                                      QStringLiteral("柿木形式棋譜ﾌｧｲﾙ(*.kif)"));
    if (chosen.isEmpty()) return false;
    const std::filesystem::path path = QStringToPath(chosen);
    if (!AskHowToWrite(path, false, prompter_)) return false;
    const std::string error = WriteKakinokiFile(*game, path);
    if (!error.empty()) {
        prompter_.Warn("\r"_sj + PathText(path) + " に書き込めません。"_sj + "\r(" + error + ")");
        return false;
    }
    return true;
}

std::vector<std::string> TextExportCommands::PositionLines(bool gaiji, const std::string& editingSide) const {
    const TKifData& record = host_.record();
    const PositionTextHeader header =
        host_.editing() ? EditingHeader(editingSide)
                        : GameViewHeader(record.handicap, record.parityOffset, record.currentMove,
                                         host_.senteName(), host_.goteName());
    return gaiji ? GaijiPositionLines(record.position, header) : StandardPositionLines(record.position, header);
}

bool TextExportCommands::PositionToFile(bool gaiji) {
    if (!host_.hasPosition()) return false;
    const std::filesystem::path folder = SharedSaveFolder();
    const QString chosen = ChooseFile(ProposedPositionPath(folder).value_or(folder),
                                      QStringLiteral("ﾃｷｽﾄ･ﾌｧｲﾙ(*.txt)"));
    if (chosen.isEmpty()) return false;
    const std::string side = host_.editing() ? EditingFileSideText() : std::string();
    return Write(QStringToPath(chosen), PositionFileLines(PositionLines(gaiji, side)), true);
}

bool TextExportCommands::PositionToClipboard() {
    if (!host_.hasPosition()) return false;
    std::string side;
    if (host_.editing()) {
        const std::optional<std::string> answer = AskEditingSide(prompter_);
        if (!answer) return false;
        side = *answer;
    }
    ToClipboard(PositionLines(false, side));
    return true;
}

}  // namespace movra
