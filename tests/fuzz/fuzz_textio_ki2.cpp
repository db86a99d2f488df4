// Fuzzes the KI2 reader with its relative-notation resolution, then plays the game through.
#include "fuzz_textio_common.h"
#include "core/textio/ki2_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    TextLines lines = LinesOf(data, size, "x.ki2");
    ReadGame game;
    if (ReadKi2(lines, kNow, game).ok()) FinishGame(game);
    return 0;
}
