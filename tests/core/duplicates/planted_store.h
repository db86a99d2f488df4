#pragma once
// Small classic stores written slot by slot for the duplicate and anomaly checks, with the cases
// each check must find and near misses it must not.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/store/layout.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::testing {

struct PlantedGame {
    std::uint16_t sente = 0;
    std::uint16_t gote = 0;
    std::uint16_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t result = 1;
    std::uint8_t handicap = 0;
    // Move codes ("7776", "0655", "8822+"); past slot 256 they go to the overflow game-data file.
    std::vector<std::string> moves;
};

// `count` moves of the two rooks going back and forth, starting with the side to move at move
// `first`: every four moves the position comes back.
inline std::vector<std::string> RookShuffle(int first, int count) {
    static const char* const sente[] = {"2838", "3828"};
    static const char* const gote[] = {"8272", "7282"};
    std::vector<std::string> out;
    int senteStep = 0;
    int goteStep = 0;
    for (int m = first; m < first + count; ++m) {
        if (m % 2 == 1) out.push_back(sente[senteStep++ % 2]);
        else out.push_back(gote[goteStep++ % 2]);
    }
    return out;
}

inline std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Writes a classic store at `path` (".idx") holding the games in order; throws
// std::runtime_error when a file cannot be written or a move does not fit its position.
inline void WritePlantedStore(const std::filesystem::path& path, const std::vector<PlantedGame>& games) {
    const auto check = [](bool ok, const std::string& what) {
        if (!ok) throw std::runtime_error("planted store: " + what);
    };
    check(CreateStoreFiles(path, false), "create");
    const StoreFiles files(path);
    RecordFile index, data, overflow;
    check(index.Open(files.Path(ext::kIndex), kIndexRecordSize, RecordFile::Access::ReadWrite), "index");
    check(data.Open(files.Path(ext::kGameData), kGameDataRecordSize, RecordFile::Access::ReadWrite), "data");
    check(overflow.Open(files.Path(ext::kOverflowGameData), kGameDataRecordSize,
                        RecordFile::Access::ReadWriteCreate), "overflow");
    std::uint16_t overflowNumbers = 0;
    for (std::size_t g = 0; g < games.size(); ++g) {
        const PlantedGame& game = games[g];
        MoveBytes bytes;
        SlotScratch scratch;
        scratch.SetUp(game.handicap);
        int slot = FirstMoveSlot(game.handicap);
        if (slot == 2) bytes.setSlot(1, kPlaceholderByte, kPlaceholderByte);
        for (const std::string& text : game.moves) {
            const auto code = MoveCode::Parse(text);
            check(code.has_value(), "move code " + text);
            std::uint8_t destination = 0, origin = 0;
            check(EncodeSlot(scratch, (slot & 1) ? 1 : 2, *code, destination, origin),
                  "game " + std::to_string(g + 1) + " move " + text);
            bytes.setSlot(slot++, destination, origin);
        }
        IndexRecord r;
        r.setSentePlayer(game.sente);
        r.setGotePlayer(game.gote);
        r.setYear(game.year);
        r.setMonth(game.month);
        r.setDay(game.day);
        r.setResult(game.result);
        r.setHandicap(game.handicap);
        if (bytes.usesOverflow()) {
            r.setOverflowNumber(++overflowNumbers);
            check(overflow.Write(overflowNumbers - 1, bytes.overflowRecord()), "overflow record");
        }
        check(index.Write(g + 1, r.bytes.data()), "index record");
        check(data.Write(g, bytes.firstRecord()), "game data");
    }
    StoreHeader header;
    header.SetGameCount(std::uint32_t(games.size()));
    check(index.Write(0, header.bytes.data()), "header");
}

}  // namespace movra::testing
