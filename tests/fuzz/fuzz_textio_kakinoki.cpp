// Fuzzes the Kakinoki reader (also 東大将棋 files), then plays the game through.
#include "fuzz_textio_common.h"
#include "core/textio/kakinoki_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    TextLines lines = LinesOf(data, size, "x.kif");
    ReadGame game;
    if (ReadKakinoki(lines, kNow, game).ok()) FinishGame(game);
    return 0;
}
