// movra-cli notation: how a sequence of move codes reads in the move list.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "core/text/cp932.h"
#include "core/record/kif_data.h"
#include "core/record/game_text.h"

namespace movra::cli {
namespace {

int Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: movra-cli notation [--handicap C] [--end CODE] [--sjis] MOVECODE...\n"
                 "  C is a handicap character 0-9, X, Y, Z, A, B (default 0, the even game);\n"
                 "  CODE is the end code 0-8 of the closing line (default 0);\n"
                 "  --sjis writes the lines as CP932 bytes instead of UTF-8;\n"
                 "  a move code is four digits and an optional '+', e.g. 7776 or 2822+.\n");
    return 2;
}

}  // namespace

int RunNotation(int argc, char** argv) {
    char handicap = '0';
    char endCode = '0';
    bool sjis = false;
    std::vector<std::string> codes;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--handicap" && i + 1 < argc) {
            std::string value = argv[++i];
            if (value.size() != 1 || HandicapNumber(value[0]) < 0) {
                std::fprintf(stderr, "movra-cli notation: unknown handicap '%s'\n", value.c_str());
                return 2;
            }
            handicap = value[0];
        } else if (arg == "--end" && i + 1 < argc) {
            std::string value = argv[++i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '8') {
                std::fprintf(stderr, "movra-cli notation: end code '%s' is not 0-8\n",
                             value.c_str());
                return 2;
            }
            endCode = value[0];
        } else if (arg == "--sjis") {
            sjis = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage(stderr);
        } else {
            codes.push_back(arg);
        }
    }

    TKifData record;
    record.ResetHeader(HandicapNumber(handicap));
    record.ClearMoves();
    record.SetUpStandard();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::optional<MoveCode> code = MoveCode::Parse(codes[i]);
        const char* why = code ? NextMoveProblem(record, *code) : "is not a move code";
        if (why == nullptr && !record.AppendAndApply(*code)) why = "cannot be made";
        if (why != nullptr) {
            std::fprintf(stderr, "movra-cli notation: move %zu '%s' %s\n", i + 1,
                         codes[i].c_str(), why);
            return 1;
        }
    }
    record.endCode = endCode;

    std::string out;
    for (const std::string& line : MoveListLines(record)) {
        out += line;
        out += '\n';
    }
    if (!sjis) out = Cp932ToUtf8(out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace movra::cli
