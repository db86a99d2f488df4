// movra-soundgen: writes the piece sound "SARNOVI.WAV" into the folder given.
//
//     movra-soundgen OUTPUT_FOLDER
//
// The build runs it into its data folder, from where a fresh program folder gets it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/sound/piece_sound.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: movra-soundgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string error;
    if (!movra::WritePieceSound(folder / movra::kPieceSoundName, &error)) {
        std::fprintf(stderr, "movra-soundgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
