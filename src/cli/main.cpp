// movra-cli: the store's main jobs without a window.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int, char**);
    const char* usage;
};

const Command kCommands[] = {
    {"sfen", movra::cli::RunSfen,
     "sfen [--handicap C] [--position SFEN] MOVECODE...  replay move codes, print the SFEN"},
    {"mate", movra::cli::RunMate,
     "mate (SFEN | --game STORE N --move M) [--depth N] [--king sente|gote] [--usi] ...  mate search"},
    {"notation", movra::cli::RunNotation,
     "notation [--handicap C] [--end CODE] [--sjis] MOVECODE...  print the move list of a move sequence"},
    {"new", movra::cli::RunNew,
     "new STORE.ipx|STORE.idx [--sjis]  make an empty store (.ipx extended, .idx classic)"},
    {"show", movra::cli::RunShow,
     "show STORE N [--codes] [--sjis]  the header fields and move list of game N"},
    {"delete", movra::cli::RunDelete, "delete STORE N... [--sjis]  delete games (numbers or ranges 3-40)"},
    {"swap", movra::cli::RunSwap, "swap STORE N M [--sjis]  exchange two games"},
    {"info", movra::cli::RunInfo,
     "info STORE.ipx|STORE.idx [--sjis]  the store's kind, game count and validation result"},
    {"list", movra::cli::RunList,
     "list STORE [--from N] [--count M] [--dat DIR] [--sjis]  one line a game"},
    {"comments-check", movra::cli::RunCommentsCheck,
     "comments-check STORE [--out DIR]  check the comment references, write ComErr.txt, ComIdx.txt"},
    {"search", movra::cli::RunSearch,
     "search STORE [--player NAME|NUMBER]... [--position SFEN | --position-of N:M] ...  find games (search --help)"},
    {"tree", movra::cli::RunTree,
     "tree STORE [--position SFEN | --game N --move M] [--depth D] [--json]  next moves played from a position (tree --help)"},
    {"import", movra::cli::RunImport,
     "import STORE PATH... [--recursive] [--dat DIR] | --lisvek KIFU.KIF  read KIF/KI2/Morita/CSA/USI/coded files or a Lisvek collection into the store"},
    {"export", movra::cli::RunExport,
     "export STORE N... [--kif | --listing | --csa | --usi] [-o FILE | --dir DIR]  games as KIF, listing, CSA or USI text"},
    {"convert", movra::cli::RunConvert,
     "convert IN... --to kif|csa|usi|listing --dir OUT [--utf8] [--recursive]  convert files without a store"},
    {"position-text", movra::cli::RunPositionText,
     "position-text STORE N... [--move M] [--gaiji] [-o FILE | --dir DIR]  a position as a text diagram"},
    {"copy", movra::cli::RunCopy,
     "copy STORE TARGET [--games N,M-K] [--overwrite]  write games into another store of the same kind"},
    {"edit", movra::cli::RunEdit,
     "edit STORE N|new [--sente NAME] [--date Y/M/D] [--moves-from M --moves CODES] [--comment M TEXT] ...  correct or enter a game (edit --help)"},
    {"duplicates", movra::cli::RunDuplicates,
     "duplicates STORE [--fields LIST] [--moves] [--final]  games that look like copies (duplicates --help)"},
    {"anomalies", movra::cli::RunAnomalies,
     "anomalies STORE --check CHECK [--length V]  repetitions, full files, ... (anomalies --help)"},
    {"merge", movra::cli::RunMerge,
     "merge STORE OTHER [--complete|--merge|--concat|--distributed] [--ascending]  combine stores (merge --help)"},
    {"sort", movra::cli::RunSort, "sort STORE [--ascending]  sort the games by date, newest first"},
    {"dedupe", movra::cli::RunDedupe, "dedupe STORE [--ascending]  sort and remove identical games"},
    {"backup", movra::cli::RunBackup, "backup STORE FOLDER | backup --dat DIR FOLDER  copy the store or the master files"},
    {"convert-store", movra::cli::RunConvertStore,
     "convert-store STORE.idx [--dat DIR]  turn a classic store into the extended kind"},
    {"player-numbers", movra::cli::RunPlayerNumbers,
     "player-numbers STORE.ipx [--dat DIR]  fill in player numbers from the names in the games"},
    {"replace-player", movra::cli::RunReplacePlayer,
     "replace-player STORE OLD NEW [--no-check]  replace a player number in every game"},
    {"positions", movra::cli::RunPositions,
     "positions FILE.kkm [--add SFEN --title T]  list a position collection as SFEN, or add a position"},
    {"publish", movra::cli::RunPublish,
     "publish STORE N --dir DIR [--templates DIR]  the web files of a game (viewer, tables, mobile pages)"},
    {"upload", movra::cli::RunUpload,
     "upload [--settings FILE] [DIR...]  send the web folders to every FTP server switched on in MULTIFTP.INI"},
#ifdef MOVRA_CLI_DIAGRAM
    {"diagram", movra::cli::RunDiagram,
     "diagram (STORE N [--move M] | --position SFEN) -o FILE.bmp [--size S] [--title T] ...  a position diagram"},
    {"print", movra::cli::RunPrint,
     "print STORE N... [--form plain|listing|kifu-form] -o FILE.pdf | print --empty-form -o FILE.pdf  print to PDF"},
#endif
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: movra-cli COMMAND [ARGS...]\n       movra-cli --version\n\ncommands:\n");
    for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    std::string_view word = argv[1];
    if (word == "--version" || word == "version") {
        std::printf("movra-cli %s\n", MOVRA_VERSION);
        return 0;
    }
    if (word == "--help" || word == "-h" || word == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (word == c.name) return c.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "movra-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
