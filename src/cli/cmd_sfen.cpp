// movra-cli sfen: replays move codes from a starting position and prints the SFEN reached.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "core/record/kif_data.h"
#include "core/record/game_text.h"
#include "core/rules/sfen.h"

namespace movra::cli {
namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: movra-cli sfen [--handicap C] [--position SFEN] MOVECODE...\n"
                 "  C is a handicap character 0-9, X, Y, Z, A, B (default 0, the even game);\n"
                 "  a move code is four digits and an optional '+', e.g. 7776 or 2822+.\n");
    return 2;
}

}  // namespace

int RunSfen(int argc, char** argv) {
    char handicap = '0';
    std::string startSfen;
    std::vector<std::string> codes;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--handicap" && i + 1 < argc) {
            std::string value = argv[++i];
            if (value.size() != 1 || HandicapNumber(value[0]) < 0) {
                std::fprintf(stderr, "movra-cli sfen: unknown handicap '%s'\n", value.c_str());
                return 2;
            }
            handicap = value[0];
        } else if (arg == "--position" && i + 1 < argc) {
            startSfen = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            codes.push_back(arg);
        }
    }

    TKifData record;
    record.ResetHeader(HandicapNumber(handicap));
    int firstMove = 1;
    if (!startSfen.empty()) {
        std::string error;
        std::optional<SfenPosition> start = ParseSfen(startSfen, &error);
        if (!start) {
            std::fprintf(stderr, "movra-cli sfen: bad position: %s\n", error.c_str());
            return 2;
        }
        record.position = start->position;
        firstMove = start->moveNumber;
        // The side to move comes from the position: shift the parity so that move numbering
        // continues from it.
        record.parityOffset = std::int16_t(record.SideOf(1) == start->sideToMove ? 0 : 1);
    } else {
        record.SetUpStandard();
    }

    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::optional<MoveCode> code = MoveCode::Parse(codes[i]);
        if (!code) {
            std::fprintf(stderr, "movra-cli sfen: move %zu '%s' is not a move code\n", i + 1,
                         codes[i].c_str());
            return 1;
        }
        const char* why = NextMoveProblem(record, *code);
        if (why) {
            std::fprintf(stderr, "movra-cli sfen: move %zu '%s' %s\n", i + 1, codes[i].c_str(), why);
            return 1;
        }
        record.AppendAndApply(*code);
    }
    int next = record.moveCount + 1;
    std::printf("%s\n",
                ToSfen(record.position, record.SideOf(next), firstMove + record.moveCount).c_str());
    return 0;
}

}  // namespace movra::cli
