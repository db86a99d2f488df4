#pragma once
// Shared pieces of the store tests: a temporary folder, whole-file reads, and random legal games.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/move_list.h"
#include "support/temp_folder.h"

namespace movra::testing {

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// Plays up to `length` random moves that the movement rules accept, never taking a king (a king
// in hand cannot be stored). The record ends at its last move. Returns the moves made.
inline int PlayRandomGame(std::mt19937& rng, int handicapNumber, int length, TKifData& record) {
    record.ResetHeader(handicapNumber);
    record.ClearMoves();
    record.SetUpStandard();
    std::vector<MoveCode> moves;
    for (int n = 1; n <= length; ++n) {
        ListMoves(record.position, record.SideOf(n), moves);
        std::erase_if(moves, [&](const MoveCode& m) {
            PieceCode there = record.position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
            return there != 0 && OwnCode(there) == piece::Gyoku;
        });
        if (moves.empty()) break;
        std::uniform_int_distribution<std::size_t> pick(0, moves.size() - 1);
        if (!record.AppendAndApply(moves[pick(rng)])) break;
    }
    return record.moveCount;
}

}  // namespace movra::testing
