// movra-cli positions: lists a position collection file as SFEN lines with their titles, or adds
// one position to it, through the same collection the windows use.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "core/positions/collection.h"
#include "core/rules/sfen.h"
#include "terminal.h"

namespace movra::cli {
namespace {

namespace fs = std::filesystem;

int Usage(std::FILE* out, int status) {
    std::fprintf(out,
                 "usage: movra-cli positions FILE.kkm [--sjis]\n"
                 "       movra-cli positions FILE.kkm --add SFEN [--title T] [--sente L] [--gote L]\n"
                 "                                    [--comment C] [--sjis]\n"
                 "  Without --add: one line a position: its number, its SFEN, its title, its labels.\n"
                 "  --add appends the position (the file is made when missing).\n"
                 "  Damaged positions are named on standard error and the status is 1.\n");
    return status;
}

// A folder of its own for the collection's working copy, removed at the end.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "movra-positions-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr) path = buffer.data();
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

void ReportDamage(const fs::path& file, const CollectionContents& contents) {
    for (const DamagedSlot& d : contents.damaged) {
        std::fprintf(stderr, "movra-cli positions: %s: page %d slot %d left out: %s\n", file.c_str(), d.page + 1,
                     d.slot + 1, d.why.c_str());
    }
}

}  // namespace

int RunPositions(int argc, char** argv) {
    fs::path file;
    std::string sfen;
    bool add = false;
    SlotTexts texts;
    Terminal terminal;
    std::vector<std::pair<std::string, std::string*>> textArgs = {
        {"--title", &texts.title}, {"--sente", &texts.senteLabel}, {"--gote", &texts.goteLabel}, {"--comment", &texts.comment}};
    std::vector<std::pair<std::string, std::string>> typed;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool taken = false;
        for (const auto& [name, target] : textArgs) {
            if (arg == name && i + 1 < argc) {
                typed.emplace_back(name, argv[++i]);
                taken = true;
            }
        }
        if (taken) continue;
        if (arg == "--add" && i + 1 < argc) {
            add = true;
            sfen = argv[++i];
        } else if (arg == "--sjis") {
            terminal.sjis = true;
        } else if (arg == "--help" || arg == "-h") {
            return Usage(stdout, 0);
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage(stderr, 2);
        } else if (file.empty()) {
            file = arg;
        } else {
            return Usage(stderr, 2);
        }
    }
    if (file.empty()) return Usage(stderr, 2);
    for (const auto& [name, value] : typed) {
        for (const auto& [argName, target] : textArgs) {
            if (argName == name) *target = terminal.in(value);
        }
    }

    std::error_code ec;
    const bool fileExists = fs::exists(file, ec);
    if (fileExists || !add) {
        std::string error;
        const std::optional<CollectionContents> contents = ReadCollection(file, &error);
        if (!contents) {
            std::fprintf(stderr, "movra-cli positions: %s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        if (!contents->damaged.empty()) {
            ReportDamage(file, *contents);
            // Adding would write the file again without the damaged positions.
            if (add) {
                std::fprintf(stderr, "movra-cli positions: nothing added to a damaged file\n");
                return 1;
            }
        }
        if (!add) {
            for (const CollectionPage& page : contents->pages) {
                for (int s = 0; s < kSlotsPerPage; ++s) {
                    const PositionSlot slot = page.slot(s);
                    if (!slot.filled()) continue;
                    std::printf("%d\t%s\t%s\t%s\t%s\n", slot.number(), ToSfen(slot.position(), 1, 1).c_str(),
                                terminal.out(slot.title()).c_str(), terminal.out(slot.senteLabel()).c_str(),
                                terminal.out(slot.goteLabel()).c_str());
                }
            }
            return contents->damaged.empty() ? 0 : 1;
        }
    }

    std::string error;
    const std::optional<SfenPosition> position = ParseSfen(sfen, &error);
    if (!position) {
        std::fprintf(stderr, "movra-cli positions: bad position: %s\n", error.c_str());
        return 2;
    }
    ScratchFolder scratch;
    if (scratch.path.empty()) {
        std::fprintf(stderr, "movra-cli positions: no scratch folder\n");
        return 1;
    }
    TerminalPrompter prompter(terminal, true);
    PositionCollection collection(scratch.path);
    CollectionDialogs dialogs;
    dialogs.saveFile = [&file](const fs::path&) { return file; };
    const bool ready = fileExists ? collection.OpenFile(file, prompter) : collection.New(prompter, dialogs, false);
    if (!ready || !collection.Add(texts, position->position.pieces, prompter)) return 1;
    const bool saved = fileExists ? collection.Save(prompter, dialogs) : collection.SaveAs(prompter, dialogs);
    if (!saved) return 1;
    std::printf("%d\n", collection.appendPage() * kSlotsPerPage + collection.usedSlots());
    return 0;
}

}  // namespace movra::cli
