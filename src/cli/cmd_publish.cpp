// movra-cli publish: the web files of a stored game written into a folder with Movra's own
// templates (or those of another folder): the script data for the viewer page and its English
// twin, the applet data, the move-table pages, the viewer page and the mobile pages.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "commands.h"
#include "core/publish/game_source.h"
#include "core/publish/web_export.h"
#include "core/record/game_text.h"
#include "core/record/kif_data.h"
#include "core/session/stored_game.h"
#include "core/store/open_store.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "master_folder.h"
#include "terminal.h"

#ifdef MOVRA_CLI_DIAGRAM
#include "core/diagram/bmp.h"
#include "gui/diagram/diagram_renderer.h"
#include "offscreen_app.h"
#endif

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

struct Options {
    std::string store;
    long game = 0;
    long move = -1;  // -1: the last move
    std::string folder;
    std::string templates;
    std::string dat;
    bool useTime = true;
    bool sjis = false;
};

int Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: movra-cli publish STORE N --dir DIR [--templates DIR] [--move M]\n"
                 "                 [--no-times] [--dat DIR] [--sjis]\n"
                 "  writes the web files of game N into DIR (made when missing), CP932 with CR LF:\n"
                 "    kifu.js, kifu_e.js  the game data of the viewer page (Japanese, English)\n"
                 "    kifu.kf             the applet data\n"
                 "    kifu.html           the move table with consumed times and the result\n"
                 "    viewer.html         replays the game of kifu.js on a board (any browser)\n"
                 "    kifu_e.html         the English move table\n"
                 "    i_kifu.html, i_asc.html, i_desc.html  pages for mobile phones\n"
                 "  The templates are those of --templates DIR, else the Web folder of $MOVRA_HOME,\n"
                 "  else Movra's own (kifu_tpl.js, kifu.html, viewer.html, kifu_e.html, i_now.html,\n"
                 "  i_asc.html, i_desc.html). --move M: the mobile page shows the position after\n"
                 "  move M (default: the last). --no-times leaves consumed times out of the tables.\n"
                 "exit status: 0 written, 1 not written, 2 usage error.\n");
    return 2;
}

std::optional<Options> Parse(int argc, char** argv, bool& help) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--dir" && hasValue) {
            o.folder = argv[++i];
        } else if (arg == "--templates" && hasValue) {
            o.templates = argv[++i];
        } else if (arg == "--dat" && hasValue) {
            o.dat = argv[++i];
        } else if (arg == "--move" && hasValue) {
            char* end = nullptr;
            const std::string m = argv[++i];
            o.move = std::strtol(m.c_str(), &end, 10);
            if (m.empty() || *end != '\0' || o.move < 0) return std::nullopt;
        } else if (arg == "--no-times") {
            o.useTime = false;
        } else if (arg == "--sjis") {
            o.sjis = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return std::nullopt;
        } else if (o.store.empty()) {
            o.store = arg;
        } else if (o.game == 0) {
            char* end = nullptr;
            o.game = std::strtol(arg.c_str(), &end, 10);
            if (*end != '\0' || o.game < 1) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (help) return o;
    if (o.store.empty() || o.game == 0 || o.folder.empty()) return std::nullopt;
    return o;
}

bool HasTemplates(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(folder / "viewer.html", ec);
}

// Where the templates are: the option, the program folder's Web folder, the installed data
// beside the program, the source tree's data.
fs::path TemplateFolder(const Options& o) {
    if (!o.templates.empty()) return o.templates;
    if (const char* home = std::getenv("MOVRA_HOME"); home != nullptr && *home != '\0') {
        const fs::path web = ResolvePath(home, "Web");
        if (HasTemplates(web)) return web;
    }
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = exe.parent_path() / "../share/movra/data/Web";
        if (HasTemplates(installed)) return installed;
    }
    return fs::path(MOVRA_SOURCE_DATA_DIR) / "Web";
}

std::string ClockText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour % 100, local.tm_min % 100);
    return text;
}

#ifdef MOVRA_CLI_DIAGRAM
// The mobile page's picture, drawn as the window draws it; the full diagram belongs to the
// window's bitmap settings and is not written here.
class CliPictures : public PublishPictures {
public:
    bool WriteMobilePicture(const fs::path& path, const BoardPosition& position) override {
        const QImage image = ReduceToDepth(DrawMobileDiagram(position, 0), 4);
        return WriteBmpFile(path, ToRgbImage(image), 4);
    }
    Outcome WriteFullDiagram(const fs::path&) override { return Outcome::Skipped; }
};
#endif

}  // namespace

int RunPublish(int argc, char** argv) {
    bool help = false;
    const std::optional<Options> parsed = Parse(argc, argv, help);
    if (help) {
        Usage(stdout);
        return 0;
    }
    if (!parsed) return Usage(stderr);
    const Options& o = *parsed;
    Terminal terminal{o.sjis};
    TerminalPrompter prompter(terminal);

    auto session = std::make_unique<StoreSession>();
    std::uint32_t games = 0;
    const StoreCheck check = ValidateStoreForReading(o.store, games, prompter);
    if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
        std::fprintf(stderr, "movra-cli publish: %s: not a usable store\n", o.store.c_str());
        return 1;
    }
    session->store = GameStore(o.store, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic, games);
    session->storePath = session->store.files.IndexPath();
    session->openState = kOpenStateMovra;
    const fs::path masters = MasterFolderFor(o.dat, o.store);
    session->players.Load(masters, true);
    SilentPrompter quiet;
    session->tournaments.Load(masters, quiet);
    session->openings.Load(masters, quiet);

    auto record = std::make_unique<TKifData>();
    const StoredGame stored = LoadStoredGame(*session, o.game, *record, prompter);
    if (!stored.found) {
        std::fprintf(stderr, "movra-cli publish: the store has no game %ld\n", o.game);
        return 1;
    }
    record->GoToMove(o.move < 0 ? record->moveCount : int(o.move));

    PublishedGame game;
    game.fullLines = MoveListLines(*record);
    game.shownLines = game.fullLines;
    game.senteAllowedMinutes = int(stored.senteAllotted / 60);
    game.goteAllowedMinutes = int(stored.goteAllotted / 60);
    game.senteName = stored.texts.senteName;
    game.goteName = stored.texts.goteName;
    PublishInputs in = MakePublishInputs(*session, *record, game, prompter);
    in.clockText = ClockText();

    const fs::path templates = TemplateFolder(o);
    const fs::path out = fs::absolute(o.folder);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out, ec)) {
        std::fprintf(stderr, "movra-cli publish: cannot make the folder %s\n", o.folder.c_str());
        return 1;
    }
    Settings settings;
    settings.ftp.Func = true;
    settings.ftp.UseTime = o.useTime;
    settings.java.source = "kifu_tpl.js";
    auto at = [&](const char* name) { return StoredPath(out / name); };
    settings.java.OutPath = at("kifu.js");
    settings.java.OutPathE = at("kifu_e.js");
    settings.java.OutPathAp = at("kifu.kf");
    const char* pages[3][2] = {{"kifu.html", "kifu.html"}, {"viewer.html", "viewer.html"}, {"kifu_e.html", "kifu_e.html"}};
    for (std::size_t i = 0; i < 3; ++i) {
        settings.html.source[i] = pages[i][0];
        settings.html.OutPath[i] = at(pages[i][1]);
    }
    const char* mobile[3][2] = {{"i_now.html", "i_kifu.html"}, {"i_asc.html", "i_asc.html"}, {"i_desc.html", "i_desc.html"}};
    for (std::size_t i = 0; i < 3; ++i) {
        settings.html.i_html[i] = mobile[i][0];
        settings.html.i_Path[i] = at(mobile[i][1]);
    }
#ifdef MOVRA_CLI_DIAGRAM
    settings.html.i_BmpPath01 = at("i_board.bmp");
    CliPictures pictures;
    const PublishResult result = RunOffscreen("publish", [&] { return PublishGame(in, settings, templates, &pictures); });
#else
    const PublishResult result = PublishGame(in, settings, templates, nullptr);
#endif
    for (const fs::path& file : result.written) std::printf("%s\n", file.string().c_str());
    if (!result.published) {
        std::fprintf(stderr, "movra-cli publish: %s\n",
                     result.failedPath.empty() ? "the game has no moves to publish"
                                               : ((result.failedReading ? "cannot read " : "cannot write ") +
                                                  terminal.out(result.failedPath)).c_str());
        return 1;
    }
    return 0;
}

}  // namespace movra::cli
