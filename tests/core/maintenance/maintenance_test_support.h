#pragma once
// Stores for the maintenance tests: games with chosen headers, moves and comments, and file
// layers that fail or stop at a chosen step.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/store/game_io.h"
#include "core/store/store_appender.h"
#include "../store/store_test_support.h"

namespace movra::testing {

struct GameRecipe {
    int year = 2004, month = 1, day = 1;
    int sente = 0, gote = 0;
    int tournament = 0, subTournament = 0, opening = 0, result = 1;
    int handicap = 0;
    unsigned seed = 1;     // the moves: a random game of this seed
    int length = 40;
    int cutAt = 0;         // > 0: only the first cutAt moves of that game
    std::string comment;   // extended kind: the opening comment and the comment on move 1
};

inline MoveBytes MovesOf(const GameRecipe& g) {
    std::mt19937 rng(g.seed);
    TKifData game;
    PlayRandomGame(rng, g.handicap, g.length, game);
    if (g.cutAt > 0 && game.moveCount > g.cutAt) game.moveCount = std::int16_t(g.cutAt);
    MoveBytes moves;
    MoveInfo info;
    FillMoveBuffers(game, moves, info);
    return moves;
}

// Appends the games to the store (made when missing) in one session.
inline GameStore MakeStore(const std::filesystem::path& path, StoreKind kind, const std::vector<GameRecipe>& games) {
    const bool extended = kind == StoreKind::Extended;
    if (!StoreFiles(path).Exists(ext::kIndex)) {
        EXPECT_TRUE(CreateStoreFiles(path, extended));
    }
    GameStore store(path, kind);
    SilentPrompter quiet;
    StoreAppender appender(store, quiet);
    for (const GameRecipe& g : games) {
        std::mt19937 rng(g.seed);
        TKifData game;
        PlayRandomGame(rng, g.handicap, g.length, game);
        if (g.cutAt > 0 && game.moveCount > g.cutAt) game.moveCount = std::int16_t(g.cutAt);
        for (int m = 1; m <= game.moveCount; ++m) game.moves[std::size_t(m)].consumedTime = std::uint16_t(m * 3);
        MoveBytes moves;
        MoveInfo info;
        FillMoveBuffers(game, moves, info);
        IndexRecord index;
        index.setYear(std::uint16_t(g.year));
        index.setMonth(std::uint16_t(g.month));
        index.setDay(std::uint16_t(g.day));
        index.setSentePlayer(std::uint16_t(g.sente));
        index.setGotePlayer(std::uint16_t(g.gote));
        index.setTournament(std::uint16_t(g.tournament));
        index.setSubTournament(std::uint16_t(g.subTournament));
        index.setOpening(std::uint16_t(g.opening));
        index.setResult(std::uint16_t(g.result));
        index.setHandicap(std::uint16_t(g.handicap));
        const WrittenGame w = appender.WriteGame(index, moves, kAppendGame, false);
        if (extended) {
            DetailRecord detail;
            if (!g.comment.empty()) {
                const CommentWriteResult o = appender.AddComment("opening " + g.comment);
                detail.setOpeningComment(std::uint8_t(o.file), std::uint16_t(o.number));
                const CommentWriteResult m = appender.AddComment("move " + g.comment);
                const int e = MoveInfoEntryOfMove(1, g.handicap);
                info.setCommentFile(e, m.file);
                info.setCommentNumber(e, std::uint16_t(m.number));
            }
            detail.setMoveCount(std::uint16_t(game.moveCount));
            detail.CopyIndexWords(index);
            appender.WriteGameDetail(detail, info, long(w.recordNumber), false);
        }
    }
    appender.Commit();
    std::uint32_t count = 0;
    ReadGameCount(store, count);
    store.recordCount = count;
    return store;
}

inline std::map<std::string, std::vector<std::uint8_t>> FolderBytes(const std::filesystem::path& dir) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        if (e.is_regular_file()) files[e.path().filename().string()] = FileBytes(e.path());
    }
    return files;
}

// A file layer whose n-th step (write, cut, sync, opening for writing, rename or removal) fails
// and answers false; the steps before and after it work. steps counts them all.
class FailingAtStep : public RecordWriter {
public:
    long failAt = 0;
    long steps = 0;
    bool Write(RecordFile& f, std::uint64_t o, const std::uint8_t* b, std::size_t s) override {
        return Step() && RecordWriter::Write(f, o, b, s);
    }
    bool Truncate(RecordFile& f, std::uint64_t s) override { return Step() && RecordWriter::Truncate(f, s); }
    // Putting data on the disk changes nothing a test can see: counted, not done.
    bool Sync(RecordFile&) override { return Step(); }
    bool SyncFolder(const std::filesystem::path&) override { return Step(); }
    bool OpenForWriting(RecordFile& f, const std::filesystem::path& p, std::size_t r,
                        RecordFile::Access a) override {
        return Step() && RecordWriter::OpenForWriting(f, p, r, a);
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return Step() && RecordWriter::Rename(from, to);
    }
    bool Remove(const std::filesystem::path& p) override { return Step() && RecordWriter::Remove(p); }

private:
    bool Step() { return ++steps != failAt; }
};

// StoppingFiles without putting anything on the disk, which only makes the loops slow.
class StoppingWithoutSync : public StoppingFiles {
public:
    bool Sync(RecordFile&) override {
        if (stopped()) throw ProcessStopped{};
        return true;
    }
    bool SyncFolder(const std::filesystem::path&) override {
        if (stopped()) throw ProcessStopped{};
        return true;
    }
};

}  // namespace movra::testing
