// libFuzzer target: the game-data decoder, loading stored moves into the game record, and the
// detail-record and move-info readers, on arbitrary bytes.
//
// The input is cut into a handicap byte, the 1024 move bytes, the 4096 move-info bytes and a
// detail record; the same bytes, at the sizes the input happens to have, also become the files
// of a small store that the readers open, so short and odd-sized files are tried too.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"

namespace {

using namespace movra;
namespace fs = std::filesystem;

fs::path& FolderPath() {
    static fs::path folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ec;
    fs::remove_all(FolderPath(), ec);
}

// The store files of the readers, in a folder removed when the fuzzer exits.
const fs::path& Folder() {
    fs::path& folder = FolderPath();
    if (folder.empty()) {
        std::string pattern = (fs::temp_directory_path() / "movra-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        std::atexit(RemoveFolder);
    }
    return folder;
}

void WriteFile(const fs::path& p, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

// Takes up to `want` bytes from the input; the rest of `out` stays zero.
std::size_t Take(const std::uint8_t*& data, std::size_t& size, std::uint8_t* out,
                 std::size_t want) {
    const std::size_t n = size < want ? size : want;
    std::memcpy(out, data, n);
    data += n;
    size -= n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* const start = data;
    const std::size_t total = size;
    std::uint8_t control[4] = {};
    Take(data, size, control, sizeof control);
    const int handicap = control[0] % 16;
    const int moveOfInterest = int(control[1]) * 2 - 10;
    const bool lists = (control[2] & 1) != 0;

    MoveBytes moves;
    MoveInfo info;
    DetailRecord detail;
    Take(data, size, moves.bytes.data(), moves.bytes.size());
    Take(data, size, info.bytes.data(), info.bytes.size());
    Take(data, size, detail.bytes.data(), detail.bytes.size());

    // In memory.
    SilentPrompter prompter;
    std::array<MoveCode, kMaxSlots> codes;
    bool damaged = false;
    const int decoded = DecodeMoveBytes(moves, handicap, kMaxSlots, codes, damaged);
    if (decoded < 0 || decoded > kMaxSlots || CountMoves(moves) > kMaxSlots) std::abort();
    // One game record for every input: it is large, and every load starts it afresh anyway.
    static TKifData record;
    LoadGameMoves(moves, &info, handicap, lists, moveOfInterest, record, prompter);
    if (record.moveCount < 0 || record.moveCount > decoded) std::abort();
    for (int e = 0; e < kMoveInfoEntries; ++e) (void)info.entry(e);
    (void)detail.senteName();
    (void)detail.goteRank();
    (void)detail.remarks();
    MoveBytes again;
    MoveInfo againInfo;
    FillMoveBuffers(record, again, againInfo);

    // Through files of whatever size the input gives, with the overflow number from control.
    // Files are slow next to the decoder: one input in eight takes this path.
    if ((control[2] & 0x0E) != 0) return 0;
    const fs::path& folder = Folder();
    const std::size_t cut = total / 7;
    WriteFile(folder / "f.idx", start, std::min<std::size_t>(total, 32 + cut % 97));
    WriteFile(folder / "f.kif", start + 4, std::min<std::size_t>(total - std::min<std::size_t>(total, 4), 512 + cut % 600));
    WriteFile(folder / "f.kf2", start, total);
    WriteFile(folder / "f.ipx", start, std::min<std::size_t>(total, cut * 3));
    WriteFile(folder / "f.kpf", start, std::min<std::size_t>(total, 2048 + cut));
    WriteFile(folder / "f.kp2", start, total);
    const GameStore store(folder / "f.idx", StoreKind::Extended);
    const int overflowNumber = int(control[3]) - 8;
    for (long k = -1; k <= 3; ++k) {
        DetailRecord d;
        ReadDetailRecord(store, k, d, prompter);
        MoveInfo mi;
        ReadMoveInfo(store, k, overflowNumber, mi, prompter);
        ReadGameMoves(store, k, overflowNumber, handicap, lists, moveOfInterest, record, prompter);
        if (record.moveCount < 0 || record.moveCount > kMaxMoves) std::abort();
    }
    std::uint32_t count = 0;
    ReadGameCount(store, count);
    return 0;
}
