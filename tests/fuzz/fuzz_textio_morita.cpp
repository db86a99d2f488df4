// Fuzzes the Morita reader: diagram, turning and relative-notation resolution, then plays the game through.
#include "fuzz_textio_common.h"
#include "core/textio/morita_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    TextLines lines = LinesOf(data, size, "x.kif");
    ReadGame game;
    if (ReadMorita(lines, kNow, game).ok()) FinishGame(game);
    return 0;
}
