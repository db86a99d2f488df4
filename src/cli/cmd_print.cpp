// movra-cli print: stored games printed to a PDF file in one of the three printed forms, or the
// empty kifu form, the way the main window prints them to a file. Runs without a display (Qt's
// offscreen platform).
#include <QGuiApplication>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "offscreen_app.h"
#include "core/list/game_list_edit.h"
#include "core/printing/kifu_form.h"
#include "core/printing/kifu_text.h"
#include "core/printing/print_game.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/textio/export_game.h"
#include "game_numbers.h"
#include "gui/common/fonts.h"
#include "gui/common/qtext.h"
#include "gui/diagram/gaiji_font.h"
#include "gui/printing/kifu_printer.h"
#include "master_folder.h"
#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

enum class Form { Plain, Listing, KifuForm };

struct Options {
    std::string store;
    std::vector<long> games;
    Form form = Form::KifuForm;
    bool emptyForm = false;
    std::string out;
    int copies = 1;
    bool overwrite = false;
    bool era = false;        // the date of the plain forms in the Japanese era
    bool warekiDisp = false;
    std::string dat;
    bool sjis = false;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli print STORE N... [--form plain|listing|kifu-form] -o FILE.pdf [options]\n"
                 "       movra-cli print --empty-form -o FILE.pdf\n"
                 "  prints games (numbers or ranges 3-40) into one PDF file, one after the other:\n"
                 "  --form kifu-form  the kifu form (日本将棋連盟形式, the default), 150 moves a page\n"
                 "  --form plain      簡略形式１: four numbered moves a line, then the comments\n"
                 "  --form listing    簡略形式２(先後２手組): two moves a row in blocks of 70 plies\n"
                 "  --empty-form      the kifu form without a game, to fill in by hand\n"
                 "  --copies N        every game N times (default 1)\n"
                 "  --era             the date of the plain forms in the Japanese era\n"
                 "  --wareki-disp     an era also for dates whose month or day is 00\n"
                 "  --dat DIR         the master files (default: MOVRA_HOME or the store's folder)\n"
                 "  --overwrite       replace an existing FILE    --sjis  messages in CP932\n"
                 "exit status: 0 printed, 1 not printed, 2 usage error.\n");
    return 2;
}

std::optional<Options> Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool v = i + 1 < argc;
        if ((a == "-o" || a == "--out") && v) {
            o.out = argv[++i];
        } else if (a == "--form" && v) {
            const std::string f = argv[++i];
            if (f == "plain") o.form = Form::Plain;
            else if (f == "listing") o.form = Form::Listing;
            else if (f == "kifu-form") o.form = Form::KifuForm;
            else return std::nullopt;
        } else if (a == "--copies" && v) {
            long n = 0;
            if (!ParsePositive(argv[++i], n) || n > 99) return std::nullopt;
            o.copies = static_cast<int>(n);
        } else if (a == "--dat" && v) {
            o.dat = argv[++i];
        } else if (a == "--empty-form") {
            o.emptyForm = true;
        } else if (a == "--era") {
            o.era = true;
        } else if (a == "--wareki-disp") {
            o.warekiDisp = true;
        } else if (a == "--overwrite") {
            o.overwrite = true;
        } else if (a == "--sjis") {
            o.sjis = true;
        } else if (!a.empty() && a[0] == '-') {
            return std::nullopt;
        } else if (o.store.empty()) {
            o.store = a;
        } else if (!AddGameNumbers(a, o.games)) {
            return std::nullopt;
        }
    }
    if (o.out.empty()) return std::nullopt;
    if (o.emptyForm != (o.store.empty() && o.games.empty())) return std::nullopt;
    if (!o.emptyForm && o.games.empty()) return std::nullopt;
    return o;
}

bool HasFile(const fs::path& folder, std::string_view name) {
    return IsRegularFile(FindFileNoCase(folder, name));
}

void LoadFonts() {
    RegisterFontSubstitutes();
    if (const char* home = std::getenv("MOVRA_HOME"); home != nullptr && LoadGaijiFont(home)) return;
    if (LoadGaijiFont(QStringToPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/movra/data")))) {
        return;
    }
    LoadGaijiFont(MOVRA_BUILD_DATA_DIR);
}

// The games to print, read from the store; nullopt after a message when one cannot be read.
std::optional<std::vector<PrintGame>> ReadGames(const Options& o, TerminalPrompter& prompter) {
    std::uint32_t count = 0;
    const StoreCheck check = ValidateStoreForReading(o.store, count, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        prompter.Warn(BrokenStoreMessage(o.store));
        return std::nullopt;
    }
    const GameStore store(o.store, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, count);
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    MasterTables masters;
    const fs::path folder = MasterFolderFor(o.dat, o.store);
    if (HasFile(folder, kPlayerFileName) && players.Load(folder, false)) masters.players = &players;
    if (HasFile(folder, kTournamentFileName) && tournaments.Load(folder, prompter)) masters.tournaments = &tournaments;
    if (HasFile(folder, kOpeningFileName) && openings.Load(folder, prompter)) masters.openings = &openings;

    std::vector<PrintGame> games;
    for (long k : o.games) {
        if (k > static_cast<long>(count)) {
            std::fprintf(stderr, "game %ld: the store holds %u games\n", k, count);
            return std::nullopt;
        }
        const std::optional<ExportGame> game = LoadExportGame(store, masters, k, prompter);
        IndexRecord index;
        if (!game || !ReadIndexRecord(store, static_cast<std::uint32_t>(k), index)) {
            std::fprintf(stderr, "game %ld: cannot be read\n", k);
            return std::nullopt;
        }
        games.push_back(PrintGameFromExport(*game, index.gameNumber()));
    }
    return games;
}

int Print(const Options& o) {
    const Terminal terminal{o.sjis};
    TerminalPrompter prompter(terminal);
    std::vector<PrintGame> games;
    if (!o.emptyForm) {
        std::optional<std::vector<PrintGame>> read = ReadGames(o, prompter);
        if (!read) return 1;
        games = std::move(*read);
        for (std::size_t i = 0; i < games.size(); ++i) {
            if (games[i].moveCount() == 0) {
                std::fprintf(stderr, "game %ld: has no moves: nothing printed\n", o.games[i]);
                return 1;
            }
        }
    }
    std::error_code ec;
    if (fs::exists(o.out, ec) && !o.overwrite) {
        std::fprintf(stderr, "%s exists: nothing printed (--overwrite)\n", o.out.c_str());
        return 1;
    }
    LoadFonts();
    // One file for every game: each game starts on a page of its own.
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, o.out);
    QString error;
    bool ok = false;
    if (o.emptyForm) {
        ok = PrintKifuForm(printer, nullptr, FormOptions{o.warekiDisp}, o.copies, &error);
    } else if (o.form == Form::KifuForm) {
        ok = PrintKifuGames(printer, games, FormOptions{o.warekiDisp}, o.copies, &error);
    } else {
        std::vector<std::string> text;
        const KifuTextOptions options{!o.era, o.warekiDisp};
        for (const PrintGame& g : games) {
            if (!text.empty()) text.emplace_back(kFormFeed);
            const std::vector<std::string> lines = KifuTextLines(g, o.form == Form::Plain ? 1 : 2, options);
            text.insert(text.end(), lines.begin(), lines.end());
        }
        ok = PrintKifuText(printer, text, o.copies, &error);
    }
    if (!ok) {
        prompter.Warn(PrinterErrorMessage());
        std::fprintf(stderr, "movra-cli print: %s\n", QStringToPath(error).c_str());
        std::error_code removeError;
        if (!fs::exists(o.out, removeError) || fs::file_size(o.out, removeError) == 0) fs::remove(o.out, removeError);
        return 1;
    }
    std::printf("%s: %zu game%s printed\n", o.out.c_str(), games.size(), games.size() == 1 ? "" : "s");
    if (o.emptyForm || o.form == Form::KifuForm) {
        // The form's units, for whoever checks the sheet against its drawing data.
        const FormMetrics m = MeasureFormMetrics(printer);
        std::printf("form units: u %d c %d h %d at %d dpi\n", m.u, m.c, m.h, printer.resolution());
    }
    return 0;
}

}  // namespace

int RunPrint(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            Usage();
            return 0;
        }
    }
    const std::optional<Options> options = Parse(argc, argv);
    if (!options) return Usage();
    // No display is needed: the pages are drawn into the PDF file.
    return RunOffscreen("print", [&] { return Print(*options); });
}

}  // namespace movra::cli
