#pragma once
// Small classic stores written slot by slot for the duplicate and anomaly checks, with the cases
// each check must find and near misses it must not.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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

// Writes a classic store at `path` (".idx") holding the games in order.
inline void WritePlantedStore(const std::filesystem::path& path, const std::vector<PlantedGame>& games) {
    ASSERT_TRUE(CreateStoreFiles(path, false));
    const StoreFiles files(path);
    RecordFile index, data, overflow;
    ASSERT_TRUE(index.Open(files.Path(ext::kIndex), kIndexRecordSize, RecordFile::Access::ReadWrite));
    ASSERT_TRUE(data.Open(files.Path(ext::kGameData), kGameDataRecordSize, RecordFile::Access::ReadWrite));
    ASSERT_TRUE(overflow.Open(files.Path(ext::kOverflowGameData), kGameDataRecordSize,
                              RecordFile::Access::ReadWriteCreate));
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
            ASSERT_TRUE(code.has_value()) << text;
            std::uint8_t destination = 0, origin = 0;
            ASSERT_TRUE(EncodeSlot(scratch, (slot & 1) ? 1 : 2, *code, destination, origin))
                << "game " << g + 1 << " move " << text;
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
            ASSERT_TRUE(overflow.Write(overflowNumbers - 1, bytes.overflowRecord()));
        }
        ASSERT_TRUE(index.Write(g + 1, r.bytes.data()));
        ASSERT_TRUE(data.Write(g, bytes.firstRecord()));
    }
    StoreHeader header;
    header.SetGameCount(std::uint32_t(games.size()));
    ASSERT_TRUE(index.Write(0, header.bytes.data()));
}

}  // namespace movra::testing
