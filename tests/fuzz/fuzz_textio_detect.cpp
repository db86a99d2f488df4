// Fuzzes the UTF-8 recognition, the line splitting and the flavour detection.
#include "fuzz_textio_common.h"
#include "core/textio/flavour.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    const TextLines lines = fuzz::LinesOf(data, size, "x.kif");
    const TextFlavour f = DetectFlavour(lines);
    return static_cast<int>(f) < 0 ? 1 : 0;
}
