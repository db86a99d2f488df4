// Fuzzes the Lisvek collection reader: the input is cut into the five files of a collection
// (headers, moves, comments, player and opening names, each as long as its first two bytes say),
// and every game the headers name is read and played through.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz_textio_common.h"
#include "core/textio/lisvek_reader.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
    static const fs::path folder = [] {
        char pattern[] = "/tmp/movra-fuzz-lisvek-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (made == nullptr) std::abort();
        fs::create_directories(fs::path(made) / "kifu");
        return fs::path(made);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace movra;
    using namespace movra::fuzz;
    const fs::path files[] = {Folder() / "kifu" / "kifu.dat", Folder() / "kifu" / "kifu.kif",
                              Folder() / "kifu" / "Kaisetu.dat", Folder() / "Ksname.dat",
                              Folder() / "Senkei.dat"};
    std::size_t at = 0;
    for (const fs::path& file : files) {
        std::size_t length = 0;
        if (at + 2 <= size) length = std::size_t(data[at]) | (std::size_t(data[at + 1]) << 8);
        at = std::min(size, at + 2);
        length = std::min(length, size - at);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + at), std::streamsize(length));
        at += length;
    }
    LisvekCollection collection;
    if (!collection.Open(files[1], nullptr)) return 0;
    ReadGame game;
    for (long r = 1; r <= collection.count() && r <= 64; ++r) {
        if (collection.Read(r, kNow, game).ok()) FinishGame(game);
    }
    return 0;
}
