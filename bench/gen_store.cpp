// gen_store: writes a deterministic game store of any size for benchmarks and trials.
//
//   gen_store --games N --start S --kind classic|extended --out PATH [--pool P] [--dat DIR]
//
// The same options give the same bytes. The moves come from a pool of P distinct games played
// by the movement rules (default 4000), each stored game taking one of them with a header,
// consumed times and comments of its own; --dat also writes the master files that name the
// players, tournaments and openings (Ksname.dat, Movra.dat, Senkei.dat).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store_sample.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: gen_store --games N --start S --kind classic|extended --out PATH\n"
                 "                 [--pool P] [--dat DIR]\n"
                 "  PATH names the store's .idx or .ipx; existing files of that name are replaced.\n");
    return 2;
}

bool Number(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    movra::sample::StoreOptions options;
    options.quiet = false;
    bool haveOut = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long long v = 0;
        if (i + 1 >= argc) return Usage();
        const char* value = argv[++i];
        if (arg == "--games" && Number(value, v) && v <= 1000000) {
            options.games = long(v);
        } else if (arg == "--start" && Number(value, v)) {
            options.randomStart = std::uint64_t(v);
        } else if (arg == "--pool" && Number(value, v) && v >= 1 && v <= 1000000) {
            options.pool = int(v);
        } else if (arg == "--kind" && (std::string(value) == "classic" || std::string(value) == "extended")) {
            options.extended = std::string(value) == "extended";
        } else if (arg == "--out") {
            options.path = value;
            haveOut = true;
        } else if (arg == "--dat") {
            options.dat = value;
        } else {
            return Usage();
        }
    }
    if (!haveOut) return Usage();
    try {
        const auto start = std::chrono::steady_clock::now();
        const movra::sample::StoreFigures f = movra::sample::GenerateStore(options);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%ld games, %ld moves, %d overflow numbers, %d long games kept to 256 slots, "
                    "%d comments, %.1f s\n",
                    f.games, f.moves, f.overflowNumbers, f.truncated, f.comments, seconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_store: %s\n", e.what());
        return 1;
    }
    return 0;
}
