// Fuzzes the CSA reader with its positions, moves and closing words, and the USI line reader, then
// plays each game through.
#include "fuzz_textio_common.h"
#include "core/textio/csa_reader.h"
#include "core/textio/usi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    TextLines lines = LinesOf(data, size, "x.csa");
    ReadCsaFile(lines, kNow, [](ReadGame& game, const ReadStatus& status) {
        if (status.ok()) FinishGame(game);
        return true;
    });
    ReadGame game;
    if (ReadUsi(lines, kNow, game).ok()) FinishGame(game);
    return 0;
}
