// movra-cli convert: game-record files into another format without a store of the user's: each
// file is read as the import reads it (into a store made for the run in a temporary folder), and
// each of its games written back out in the format asked for, under the file's own name.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "core/store/store_files.h"
#include "core/text/cp932.h"
#include "core/text/prompter.h"
#include "core/textio/csa_writer.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/import_text.h"
#include "core/textio/ki2_writer.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli convert IN... --to kif|ki2|csa|usi|listing --dir OUT [--utf8]\n"
                 "                 [--recursive] [--overwrite]\n"
                 "  IN is a game-record file (KIF, KI2, Morita, CSA, USI, coded) or a folder of\n"
                 "  them (--recursive: with every sub-folder). Each game is written into OUT under\n"
                 "  the file's name with the new extension (.kif, .ki2, .csa, .usi, .txt; a file of\n"
                 "  several games gives name-1, name-2, ...). --utf8 writes UTF-8 instead of CP932\n"
                 "  (a KIF file then ends in .kifu, a KI2 file in .ki2u). An existing file is kept\n"
                 "  unless --overwrite.\n"
                 "exit status: 0 every file converted, 1 some file not, 2 usage error.\n");
    return 2;
}

struct TempStore {
    fs::path folder;
    TempStore() {
        char pattern[] = "/tmp/movra-convert-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) folder = pattern;
    }
    ~TempStore() {
        std::error_code ec;
        if (!folder.empty()) fs::remove_all(folder, ec);
    }
};

}  // namespace

int RunConvert(int argc, char** argv) {
    std::vector<std::string> inputs;
    std::string to, out;
    bool utf8 = false, recursive = false, overwrite = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--to" && i + 1 < argc) {
            to = argv[++i];
        } else if (arg == "--dir" && i + 1 < argc) {
            out = argv[++i];
        } else if (arg == "--utf8") {
            utf8 = true;
        } else if (arg == "--recursive" || arg == "-r") {
            recursive = true;
        } else if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty() || out.empty() || (to != "kif" && to != "ki2" && to != "csa" && to != "usi" && to != "listing")) {
        return Usage();
    }
    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out, ec)) {
        std::fprintf(stderr, "movra-cli convert: cannot make the folder %s\n", out.c_str());
        return 1;
    }
    TempStore temp;
    const fs::path storePath = temp.folder / "convert.ipx";
    if (temp.folder.empty() || !CreateStoreFiles(storePath, true)) {
        std::fprintf(stderr, "movra-cli convert: cannot make a working store in /tmp\n");
        return 1;
    }
    GameStore store(storePath, StoreKind::Extended, 0);
    SilentPrompter prompter;
    ImportContext context{store, prompter, {}, {}, {}, kChosenFilesProgressDigits};

    std::vector<fs::path> files;
    for (const std::string& in : inputs) {
        if (fs::is_directory(in, ec)) {
            const std::vector<fs::path> found = GameRecordFiles(in, recursive ? -1 : 0, nullptr);
            files.insert(files.end(), found.begin(), found.end());
        } else {
            files.emplace_back(in);
        }
    }
    const std::string extension = to == "kif" ? (utf8 ? ".kifu" : ".kif")
                                  : to == "ki2" ? (utf8 ? ".ki2u" : ".ki2")
                                  : to == "csa" ? ".csa"
                                  : to == "usi" ? ".usi"
                                                : ".txt";
    int failed = 0;
    for (const fs::path& file : files) {
        const std::uint32_t before = store.recordCount;
        const FileImport read = ImportTextFile(file, context);
        if (read.stored < 1) {
            std::printf("%s: not converted: %s\n", file.string().c_str(), read.refusal.c_str());
            ++failed;
            continue;
        }
        bool fileOk = read.refusal.empty();
        if (!fileOk) std::printf("%s: %s\n", file.string().c_str(), read.refusal.c_str());
        for (std::uint32_t k = before + 1; k <= store.recordCount; ++k) {
            const std::optional<ExportGame> game = LoadExportGame(store, {}, long(k), prompter);
            std::string name = file.stem().string();
            if (read.stored > 1) name += "-" + std::to_string(k - before);
            const fs::path target = fs::path(out) / (name + extension);
            if (!game) {
                std::printf("%s: game %u cannot be read back\n", file.string().c_str(), k - before);
                fileOk = false;
                continue;
            }
            if (fs::exists(target, ec) && !overwrite) {
                std::printf("%s: exists, kept (--overwrite)\n", target.string().c_str());
                fileOk = false;
                continue;
            }
            std::vector<std::string> lines = to == "kif"   ? KakinokiLines(*game, PathText(target))
                                             : to == "ki2" ? Ki2Lines(*game)
                                             : to == "csa" ? CsaLines(*game)
                                             : to == "usi" ? std::vector<std::string>{UsiLine(*game)}
                                                           : GameListingLines(*game);
            if (utf8) {
                for (std::string& line : lines) line = Cp932ToUtf8(line);
            }
            const std::string error = WriteTextLines(target, lines, WriteMode::Replace);
            if (!error.empty()) {
                std::printf("%s: %s\n", target.string().c_str(), error.c_str());
                fileOk = false;
                continue;
            }
            std::printf("%s -> %s\n", file.string().c_str(), target.string().c_str());
        }
        if (!fileOk) ++failed;
    }
    std::printf("files: %zu, converted whole: %zu\n", files.size(), files.size() - std::size_t(failed));
    return failed == 0 ? 0 : 1;
}

}  // namespace movra::cli
