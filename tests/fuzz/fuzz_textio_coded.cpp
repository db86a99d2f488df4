// Fuzzes the coded game file reader and the conversion of each of its games.
#include "fuzz_textio_common.h"
#include "core/textio/coded_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    const TextLines lines = LinesOf(data, size, "x.txt");
    ReadCodedFile(lines, kNow, [](ReadGame& game) {
        FinishGame(game);
        return true;
    });
    return 0;
}
