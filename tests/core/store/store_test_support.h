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
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/rules/move_list.h"
#include "core/store/comments.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"
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

// A file layer that stops the process at its n-th step (1-based; 0: never): a write, a cut, a
// rename or a removal. The step is not done; ProcessStopped is thrown from it and from every
// later call, so that nothing after it reaches the disk, as when the process is killed there.
struct ProcessStopped {};
class StoppingFiles : public RecordWriter {
public:
    long stopAt = 0;
    long steps = 0;  // steps counted (done or refused)
    bool stopped() const { return stopped_; }

    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes,
               std::size_t size) override {
        Step();
        return RecordWriter::Write(file, offset, bytes, size);
    }
    bool Truncate(RecordFile& file, std::uint64_t size) override {
        Step();
        return RecordWriter::Truncate(file, size);
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        Step();
        return RecordWriter::Rename(from, to);
    }
    bool Remove(const std::filesystem::path& path) override {
        Step();
        return RecordWriter::Remove(path);
    }
    bool Sync(RecordFile& file) override {
        if (stopped_) throw ProcessStopped{};
        return RecordWriter::Sync(file);
    }
    bool OpenForWriting(RecordFile& file, const std::filesystem::path& path, std::size_t recordSize,
                        RecordFile::Access access) override {
        if (stopped_) throw ProcessStopped{};
        return RecordWriter::OpenForWriting(file, path, recordSize, access);
    }

private:
    void Step() {
        if (stopped_) throw ProcessStopped{};
        ++steps;
        if (stopAt != 0 && steps >= stopAt) {
            stopped_ = true;
            throw ProcessStopped{};
        }
    }
    bool stopped_ = false;
};

// What a store holds, game by game, as a reader sees it: the index record, the moves, and in the
// extended kind the detail record and the move info with every comment reference replaced by its
// text. Overflow numbers and comment numbers are left out: they are where a game is kept, not
// what it is.
inline std::vector<std::string> StoredGames(const GameStore& store) {
    SilentPrompter quiet;
    std::vector<std::string> games;
    std::uint32_t count = 0;
    if (!ReadGameCount(store, count)) return games;
    const StoreReader reader(store);
    const auto bytes = [](const auto& b) { return std::string(b.begin(), b.end()); };
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord index;
        MoveBytes moves;
        reader.ReadIndexRecord(k, index);
        reader.ReadGameData(long(k), index.overflowNumber(), moves);
        const int overflow = index.overflowNumber();
        index.setOverflowNumber(0);
        std::string game = bytes(index.bytes) + bytes(moves.bytes);
        if (store.extended()) {
            DetailRecord detail;
            MoveInfo info;
            reader.ReadDetailRecord(long(k), detail);
            reader.ReadMoveInfo(long(k), overflow, info);
            game += "|" + ReadComment(store, detail.openingCommentFile(), detail.openingCommentNumber(), quiet);
            game += "|" + ReadComment(store, detail.closingCommentFile(), detail.closingCommentNumber(), quiet);
            detail.setOpeningComment(0, 0);
            detail.setClosingComment(0, 0);
            detail.setOverflowNumber(0);
            for (int e = 0; e < kMoveInfoEntries; ++e) {
                if (info.commentNumber(e) == 0) continue;
                game += "|" + std::to_string(e) + ":" +
                        ReadComment(store, info.commentFile(e), info.commentNumber(e), quiet);
                info.setCommentFile(e, 0);
                info.setCommentNumber(e, 0);
            }
            game += bytes(detail.bytes) + bytes(info.bytes);
        }
        games.push_back(std::move(game));
    }
    return games;
}

}  // namespace movra::testing
