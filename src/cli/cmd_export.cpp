// movra-cli export and position-text: stored games as Kakinoki KIF files or listings, and the
// position after a move as a text diagram. One game goes to standard output or to a named file;
// several go into a folder, one file each, under names that never replace an existing file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "game_numbers.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/master_data.h"
#include "core/store/open_store.h"
#include "core/store/store_files.h"
#include "core/textio/csa_writer.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/imported_header.h"
#include "core/textio/ki2_writer.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"
#include "core/textio/position_text.h"

#include "master_folder.h"
#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

enum class Output { Kif, Ki2, Listing, Csa, Usi, Position };

struct Options {
    Output output = Output::Kif;
    std::string store;
    std::vector<long> games;
    std::string file;      // -o
    std::string folder;    // --dir
    std::string dat;
    bool overwrite = false;
    bool append = false;
    bool sjis = false;
    bool utf8 = false;     // files in UTF-8 (a KIF file then ends in .kifu, a KI2 file in .ki2u)
    bool gaiji = false;
    long move = -1;        // position-text: -1 the final position
};

int ExportUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli export STORE N... [--kif | --ki2 | --listing | --csa | --usi]\n"
                 "                 [-o FILE | --dir DIR] [--utf8]\n"
                 "                 [--overwrite] [--append] [--dat DIR] [--sjis]\n"
                 "  N is a record number or a range (1-100); --kif (the default) writes Kakinoki\n"
                 "  KIF, --ki2 KI2 (moves with their relative words, no times), --listing the\n"
                 "  six-moves-a-line listing, --csa a CSA record (V2.2), --usi a USI position\n"
                 "  line. One game goes to standard output\n"
                 "  (UTF-8; --sjis: the file's CP932 bytes with CR LF) or to FILE; several need\n"
                 "  --dir DIR, where each gets a new file r<MMDD><NNN>.kif (.ki2, .csa, .usi; .txt\n"
                 "  for listings).\n"
                 "  An existing FILE is kept unless --overwrite (or, for a listing, --append).\n"
                 "  --utf8 writes the files in UTF-8 instead of CP932 (KIF files in a folder then\n"
                 "  end in .kifu, KI2 files in .ki2u).\n"
                 "  Names come from the master files in --dat DIR ($MOVRA_HOME, else the store's\n"
                 "  folder).\n"
                 "exit status: 0 everything written, 1 some game not written, 2 usage error.\n");
    return 2;
}

int PositionUsage() {
    std::fprintf(stderr,
                 "usage: movra-cli position-text STORE N... [--move M] [--gaiji]\n"
                 "                 [-o FILE | --dir DIR] [--overwrite] [--append] [--dat DIR] [--sjis]\n"
                 "  the position after move M (default: the last move) of game N as a text\n"
                 "  diagram: standard characters, or with --gaiji the user-defined font's. Output\n"
                 "  and files as for export (files begin with three empty lines).\n"
                 "exit status: 0 everything written, 1 some game not written, 2 usage error.\n");
    return 2;
}


// Reads the options of both commands; nullopt on a usage error.
std::optional<Options> ParseOptions(int argc, char** argv, bool position) {
    Options o;
    o.output = position ? Output::Position : Output::Kif;
    bool formatGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!position &&
            (arg == "--kif" || arg == "--ki2" || arg == "--listing" || arg == "--csa" || arg == "--usi")) {
            if (formatGiven) return std::nullopt;
            formatGiven = true;
            o.output = arg == "--kif"       ? Output::Kif
                       : arg == "--ki2"     ? Output::Ki2
                       : arg == "--listing" ? Output::Listing
                       : arg == "--csa"     ? Output::Csa
                                            : Output::Usi;
        } else if (position && arg == "--gaiji") {
            o.gaiji = true;
        } else if (position && arg == "--move" && hasValue) {
            const std::string m = argv[++i];
            char* end = nullptr;
            o.move = std::strtol(m.c_str(), &end, 10);
            if (m.empty() || *end != '\0' || o.move < 0) return std::nullopt;
        } else if ((arg == "-o" || arg == "--out") && hasValue) {
            o.file = argv[++i];
        } else if (arg == "--dir" && hasValue) {
            o.folder = argv[++i];
        } else if (arg == "--dat" && hasValue) {
            o.dat = argv[++i];
        } else if (arg == "--overwrite") {
            o.overwrite = true;
        } else if (arg == "--append") {
            o.append = true;
        } else if (arg == "--sjis") {
            o.sjis = true;
        } else if (!position && arg == "--utf8") {
            o.utf8 = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return std::nullopt;
        } else if (o.store.empty()) {
            o.store = arg;
        } else if (!AddGameNumbers(arg, o.games)) {
            return std::nullopt;
        }
    }
    if (o.store.empty() || o.games.empty()) return std::nullopt;
    if (!o.file.empty() && !o.folder.empty()) return std::nullopt;
    if (o.games.size() > 1 && o.folder.empty()) return std::nullopt;
    if (o.overwrite && o.append) return std::nullopt;
    // A KIF, KI2 or USI file holds one game, so is always written whole; the listing, the
    // diagram and the CSA file (which separates its games with "/") append.
    if (o.append && (o.output == Output::Kif || o.output == Output::Ki2 || o.output == Output::Usi)) {
        return std::nullopt;
    }
    return o;
}

bool HasFile(const fs::path& folder, std::string_view name) {
    return IsRegularFile(FindFileNoCase(folder, name));
}

class Exporter {
public:
    Exporter(const Options& options, TerminalPrompter& prompter)
        : o_(options), prompter_(prompter) {}

    int Run() {
        std::uint32_t count = 0;
        const StoreCheck check = ValidateStoreForReading(o_.store, count, prompter_);
        if (check != StoreCheck::Classic && check != StoreCheck::Extended) {
            prompter_.Warn(BrokenStoreMessage(o_.store));
            return 1;
        }
        store_ = GameStore(o_.store, check == StoreCheck::Extended ? StoreKind::Extended : StoreKind::Classic,
                           count);
        LoadMasters();
        if (!o_.folder.empty()) {
            std::error_code ec;
            fs::create_directories(o_.folder, ec);
            if (!fs::is_directory(o_.folder, ec)) {
                std::fprintf(stderr, "movra-cli: cannot make the folder %s\n", o_.folder.c_str());
                return 1;
            }
        }
        int failed = 0;
        for (long k : o_.games) {
            if (!ExportOne(k)) ++failed;
        }
        if (o_.games.size() > 1) {
            std::fprintf(stderr, "%zu written, %d not written\n", o_.games.size() - std::size_t(failed), failed);
        }
        return failed == 0 ? 0 : 1;
    }

private:
    void LoadMasters() {
        const fs::path folder = MasterFolderFor(o_.dat, o_.store);
        if (HasFile(folder, kPlayerFileName) && players_.Load(folder, false)) masters_.players = &players_;
        if (HasFile(folder, kTournamentFileName) && tournaments_.Load(folder, prompter_)) {
            masters_.tournaments = &tournaments_;
        }
        if (HasFile(folder, kOpeningFileName) && openings_.Load(folder, prompter_)) {
            masters_.openings = &openings_;
        }
    }

    bool ExportOne(long k) {
        if (k > static_cast<long>(store_.recordCount)) {
            std::fprintf(stderr, "game %ld: the store holds %u games\n", k, store_.recordCount);
            return false;
        }
        std::optional<ExportGame> game;
        try {
            game = LoadExportGame(store_, masters_, k, prompter_);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "game %ld: %s\n", k, e.what());
            return false;
        }
        if (!game) {
            std::fprintf(stderr, "game %ld: cannot be read\n", k);
            return false;
        }
        std::vector<std::string> lines;
        const char* extension = ".txt";
        switch (o_.output) {
            case Output::Kif:
                // As the export command: a game without moves is not written.
                if (game->record.moveCount == 0) {
                    std::fprintf(stderr, "game %ld: has no moves; nothing written\n", k);
                    return false;
                }
                extension = o_.utf8 ? ".kifu" : ".kif";
                break;
            case Output::Ki2:
                lines = Ki2Lines(*game);
                extension = o_.utf8 ? ".ki2u" : ".ki2";
                break;
            case Output::Listing:
                lines = GameListingLines(*game);
                break;
            case Output::Csa:
                lines = CsaLines(*game);
                extension = ".csa";
                break;
            case Output::Usi:
                lines = {UsiLine(*game)};
                extension = ".usi";
                break;
            case Output::Position:
                if (!PositionLines(k, *game, lines)) return false;
                break;
        }

        if (o_.file.empty() && o_.folder.empty()) {
            if (o_.output == Output::Kif) lines = KakinokiLines(*game, "");
            Print(lines);
            return true;
        }
        fs::path path;
        WriteMode mode = WriteMode::Replace;
        if (!o_.folder.empty()) {
            const std::optional<fs::path> free = BatchExportPath(o_.folder, game->month, game->day, extension);
            if (!free) {
                std::fprintf(stderr, "game %ld: every name r%02d%02d001%s to r%02d%02d999%s is taken\n", k,
                             game->month % 100, game->day % 100, extension, game->month % 100,
                             game->day % 100, extension);
                return false;
            }
            path = *free;
        } else {
            path = o_.file;
            std::error_code ec;
            if (fs::exists(path, ec)) {
                if (o_.append) {
                    mode = WriteMode::Append;
                    // Without its separator the appended record would run on into the game
                    // before it and be read as one game.
                    if (o_.output == Output::Csa && fs::file_size(path, ec) > 0) lines.insert(lines.begin(), "/");
                } else if (!o_.overwrite) {
                    const bool appends = o_.output == Output::Listing || o_.output == Output::Csa ||
                                         o_.output == Output::Position;
                    std::fprintf(stderr, "%s exists: nothing written (--overwrite%s)\n", o_.file.c_str(),
                                 appends ? " or --append" : "");
                    return false;
                }
            }
        }
        if (o_.output == Output::Position) lines = PositionFileLines(lines);
        std::string error;
        if (o_.utf8) {
            if (o_.output == Output::Kif) lines = KakinokiLines(*game, PathText(path));
            for (std::string& line : lines) line = Cp932ToUtf8(line);
            error = WriteTextLines(path, lines, mode);
        } else {
            error = o_.output == Output::Kif ? WriteKakinokiFile(*game, path) : WriteTextLines(path, lines, mode);
        }
        if (!error.empty()) {
            std::fprintf(stderr, "game %ld: %s\n", k, error.c_str());
            return false;
        }
        std::printf("game %ld: %s\n", k, path.string().c_str());
        return true;
    }

    bool PositionLines(long k, ExportGame& game, std::vector<std::string>& lines) const {
        TKifData& record = game.record;
        const long move = o_.move < 0 ? record.moveCount : o_.move;
        if (move > record.moveCount) {
            std::fprintf(stderr, "game %ld: has %d moves, not %ld\n", k, int(record.moveCount), move);
            return false;
        }
        record.GoToMove(static_cast<int>(move));
        const PositionTextHeader header = GameViewHeader(record.handicap, record.parityOffset,
                                                         static_cast<int>(move), game.senteName,
                                                         game.goteName);
        lines = o_.gaiji ? GaijiPositionLines(record.position, header)
                         : StandardPositionLines(record.position, header);
        return true;
    }

    // Standard output: the text in UTF-8 with LF, or with --sjis the bytes a file would hold.
    void Print(const std::vector<std::string>& lines) const {
        for (const std::string& line : lines) {
            if (o_.sjis) {
                std::fwrite(line.data(), 1, line.size(), stdout);
                std::fputs("\r\n", stdout);
            } else {
                std::printf("%s\n", Cp932ToUtf8(line).c_str());
            }
        }
    }

    const Options& o_;
    TerminalPrompter& prompter_;
    GameStore store_;
    PlayerTable players_;
    TournamentTable tournaments_;
    OpeningTable openings_;
    MasterTables masters_;
};

int Run(int argc, char** argv, bool position) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            position ? PositionUsage() : ExportUsage();
            return 0;
        }
    }
    const std::optional<Options> options = ParseOptions(argc, argv, position);
    if (!options) return position ? PositionUsage() : ExportUsage();
    TerminalPrompter prompter(Terminal{options->sjis});
    try {
        Exporter exporter(*options, prompter);
        return exporter.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "movra-cli %s: %s\n", position ? "position-text" : "export", e.what());
        return 1;
    }
}

}  // namespace

int RunExport(int argc, char** argv) { return Run(argc, argv, false); }
int RunPositionText(int argc, char** argv) { return Run(argc, argv, true); }

}  // namespace movra::cli
