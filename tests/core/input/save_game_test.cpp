// Saving games entered on the board: a whole game entered move by move and saved as new reads
// back as it was entered; a correction changes its own game and no byte of any other; a write
// that fails anywhere in a save leaves the store, and what the caller holds, as they were.
#include "core/input/save_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/input/game_input.h"
#include "core/record/game_text.h"
#include "core/rules/move_list.h"
#include "core/store/comment_layout.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/open_store.h"
#include "core/store/store_test_support.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FileBytes;
using testing::RecordingPrompter;
using testing::TempFolder;
namespace fs = std::filesystem;

constexpr const char* kStoreFiles[] = {".idx", ".kif", ".kf2", ".ipx", ".kpf", ".kp2", ".cp0", ".cp$"};

std::vector<std::vector<std::uint8_t>> AllFiles(const GameStore& store) {
    std::vector<std::vector<std::uint8_t>> files;
    for (const char* e : kStoreFiles) {
        files.push_back(store.files.Exists(e) ? FileBytes(store.files.Path(e)) : std::vector<std::uint8_t>{0xEE});
    }
    return files;
}

// The bytes of record `record` (0-based) of a file of fixed-size records; empty past the end.
std::vector<std::uint8_t> RecordBytes(const fs::path& file, std::size_t size, std::size_t record) {
    const std::vector<std::uint8_t> all = FileBytes(file);
    if ((record + 1) * size > all.size()) return {};
    return std::vector<std::uint8_t>(all.begin() + long(record * size), all.begin() + long((record + 1) * size));
}

// Every comment number in use in comment file 0, against every reference the store's games hold:
// a save that leaks a comment or frees one still in use makes them differ.
int NumbersInUse(const GameStore& store) {
    const std::vector<std::uint8_t> file = FileBytes(store.files.Path(".cp0"));
    CommentBitmap bitmap;
    std::copy(file.begin(), file.begin() + kCommentRecordSize, bitmap.bytes.begin());
    int used = 0;
    for (int n = 1; n <= kMaxCommentNumber; ++n) used += bitmap.InUse(n) ? 1 : 0;
    return used;
}
int References(const GameStore& store, Prompter& prompter) {
    std::uint32_t count = 0;
    EXPECT_TRUE(ReadGameCount(store, count));
    int refs = 0;
    for (std::uint32_t k = 1; k <= count; ++k) {
        IndexRecord index;
        DetailRecord detail;
        MoveInfo info;
        EXPECT_TRUE(ReadStoredRecords(store, long(k), index, detail, prompter));
        EXPECT_TRUE(ReadMoveInfo(store, long(k), index.overflowNumber(), info, prompter));
        refs += (detail.openingCommentNumber() != 0) + (detail.closingCommentNumber() != 0);
        for (int e = 0; e < kMoveInfoEntries; ++e) refs += info.commentNumber(e) != 0 ? 1 : 0;
    }
    return refs;
}

class SaveGameTest : public ::testing::Test {
protected:
    GameStore MakeStore(const std::string& name, bool extended = true) {
        EXPECT_TRUE(CreateStoreFiles(dir / (name + (extended ? ".ipx" : ".idx")), extended));
        GameStore store(dir / (name + ".idx"), extended ? StoreKind::Extended : StoreKind::Classic);
        if (extended) {
            EXPECT_TRUE(CreateWorkingCommentFile(store, prompter));
        }
        return store;
    }

    // Enters `length` moves on the board from move 0 (every kind of move the rules allow, with
    // drops and captures taken whenever the position offers them, and promotions where a choice
    // exists), with a consumed time on each move. The lists come back without a closing line.
    static void EnterGame(std::mt19937& rng, int handicapNumber, int length, TKifData& record,
                          std::vector<std::string>& lines) {
        record.ResetHeader(handicapNumber);
        record.ClearMoves();
        record.SetUpStandard();
        lines.clear();
        std::vector<std::string> visible;
        std::vector<MoveCode> moves;
        for (int n = 1; n <= length; ++n) {
            ListMoves(record.position, record.SideOf(n), moves);
            std::erase_if(moves, [&](const MoveCode& m) { return EnteredMoveProblem(record, m) != nullptr; });
            std::erase_if(moves, [&](const MoveCode& m) {
                const PieceCode there = record.position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
                return there != 0 && OwnCode(there) == piece::Gyoku;
            });
            if (moves.empty()) break;
            // Drops, captures and promotions first, half of the time.
            std::vector<MoveCode> preferred;
            for (const MoveCode& m : moves) {
                const PieceCode there = record.position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
                if (m.isDrop() || m.promotes() || there != 0) preferred.push_back(m);
            }
            const std::vector<MoveCode>& from = !preferred.empty() && rng() % 2 == 0 ? preferred : moves;
            const MoveCode chosen = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
            ASSERT_EQ(EnterMove(record, lines, visible, chosen), nullptr) << chosen.str();
            record.moves[std::size_t(n)].consumedTime = std::uint16_t(n * 7 % 600);
        }
        ASSERT_EQ(lines, visible);
    }

    TempFolder dir;
    RecordingPrompter prompter;
};

TEST_F(SaveGameTest, AGameEnteredMoveByMoveAndSavedAsNewReadsBackAsEntered) {
    const GameStore store = MakeStore("games");
    std::mt19937 rng(7);
    auto record = std::make_unique<TKifData>();
    std::vector<std::string> lines;
    // Long enough for the overflow records: slots past 256.
    EnterGame(rng, 0, 300, *record, lines);
    ASSERT_GT(record->moveCount, 256);
    int drops = 0, promotions = 0, captures = 0;
    for (int m = 1; m <= record->moveCount; ++m) {
        const MoveRecord& move = record->moves[std::size_t(m)];
        drops += move.isDrop();
        promotions += move.promotes;
        captures += move.capturedPiece != 0;
    }
    ASSERT_GT(drops, 0);
    ASSERT_GT(promotions, 0);
    ASSERT_GT(captures, 0);

    // Comments as the comment window leaves them: working slots on the starting position, some
    // moves and the final position; a time on the final position.
    std::vector<std::pair<int, std::string>> comments = {{0, "start"}, {1, "first move"}, {100, std::string(300, 'y')},
                                                         {290, "long game"}};
    std::vector<std::string> visible = lines;
    ASSERT_EQ(EndGame(*record, lines, visible, EndCommand::Resign, EndTruncation::KeepAll),
              record->moveCount % 2 == 1 ? endcode::kSenteWins : endcode::kGoteWins);
    comments.push_back({record->moveCount + 1, "final position"});
    record->moves[std::size_t(record->moveCount + 1)].consumedTime = 42;
    for (const auto& [move, text] : comments) {
        record->moves[std::size_t(move)].workingComment =
            std::uint8_t(WriteComment(store, kWorkingCommentFile, 0, text, prompter).number);
    }

    IndexRecord index;
    index.setSentePlayer(12);
    index.setTournament(3);
    index.setYear(2024);
    index.setMonth(4);
    index.setDay(10);
    index.setOpening(5);
    index.setOverflowNumber(9);  // a stale number from a game shown before: must not be used
    DetailRecord detail;
    detail.setGoteName("挑戦者"_sj);
    detail.setPlace("東京"_sj);
    const auto entered = std::make_unique<TKifData>(*record);

    const SavedGame saved = SaveNewGame(store, *record, index, detail, prompter);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.recordNumber, 1u);
    EXPECT_EQ(saved.commentsWritten, int(comments.size()));
    EXPECT_EQ(saved.commentsReleased, 0);
    EXPECT_FALSE(saved.cut);
    EXPECT_EQ(index.overflowNumber(), 1) << "the lowest free number, not the stale one";
    EXPECT_EQ(index.result(), entered->moveCount % 2 == 1 ? 1u : 2u);

    // Read back through the readers the replay uses.
    auto back = std::make_unique<TKifData>();
    IndexRecord storedIndex;
    DetailRecord storedDetail;
    ASSERT_TRUE(LoadGameForCorrection(store, 1, *back, storedIndex, storedDetail, prompter));
    EXPECT_EQ(storedIndex, index);
    EXPECT_EQ(storedDetail, detail);
    EXPECT_EQ(storedDetail.goteName(), "挑戦者"_sj);
    EXPECT_EQ(storedDetail.place(), "東京"_sj);
    EXPECT_EQ(storedDetail.moveCount(), entered->moveCount);
    EXPECT_EQ(storedDetail.closingTime(), 42);
    EXPECT_EQ(storedDetail.tournament(), 3);
    EXPECT_EQ(storedDetail.overflowNumber(), 1);
    ASSERT_EQ(back->moveCount, entered->moveCount);
    EXPECT_EQ(back->endCode, entered->endCode);
    for (int m = 1; m <= back->moveCount; ++m) {
        const MoveRecord& a = back->moves[std::size_t(m)];
        const MoveRecord& b = entered->moves[std::size_t(m)];
        EXPECT_EQ(a.moveCode().str(), b.moveCode().str()) << m;
        EXPECT_EQ(a.consumedTime, b.consumedTime) << m;
    }
    // The lines as entered, and as read back with the comment marks of the stored comments.
    const auto unmarked = [](std::vector<std::string> lines) {
        for (std::string& l : lines) {
            if (l.size() > 4 && l[3] == '*') l[3] = ' ';
        }
        return lines;
    };
    EXPECT_EQ(unmarked(MoveListLines(*back)), visible) << "the move list and its closing line";
    for (const auto& [move, text] : comments) {
        const MoveRecord& m = back->moves[std::size_t(move)];
        EXPECT_EQ(ReadComment(store, m.commentFile, m.commentRecord, prompter), text.substr(0, 256)) << move;
        // The record that was saved holds the same references.
        EXPECT_EQ(record->moves[std::size_t(move)].commentRecord, m.commentRecord) << move;
    }
    int commented = 0;
    for (int m = 1; m <= back->moveCount; ++m) commented += back->moves[std::size_t(m)].commentRecord != 0;
    EXPECT_EQ(commented, 3);
    EXPECT_EQ(NumbersInUse(store), References(store, prompter));
    std::uint32_t count = 0;
    EXPECT_EQ(ValidateStore(store.files.Path(".ipx"), count, prompter), StoreCheck::Extended);
    EXPECT_EQ(count, 1u);

    // Saved once more as a new game: the copy gets comments of its own, never the first game's.
    const SavedGame again = SaveNewGame(store, *back, storedIndex, storedDetail, prompter);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.recordNumber, 2u);
    EXPECT_EQ(again.commentsWritten, int(comments.size()));
    EXPECT_EQ(storedIndex.overflowNumber(), 2);
    EXPECT_EQ(NumbersInUse(store), References(store, prompter));
    const std::vector<std::string> games = testing::StoredGames(store);
    EXPECT_EQ(games[0], games[1]) << "the same game, apart from where it is kept";
}

TEST_F(SaveGameTest, ACorrectionChangesItsGameAndNoByteOfAnyOther) {
    const GameStore store = MakeStore("games");
    std::mt19937 rng(11);
    for (int g = 0; g < 3; ++g) {
        auto record = std::make_unique<TKifData>();
        std::vector<std::string> lines;
        // Game 2 is long (with overflow records) and a handicap game.
        EnterGame(rng, g == 1 ? 2 : 0, g == 1 ? 280 : 60 + g * 10, *record, lines);
        for (int m = 0; m <= record->moveCount + 1; m += 7) {
            record->moves[std::size_t(m)].workingComment = std::uint8_t(
                WriteComment(store, kWorkingCommentFile, 0, "g" + std::to_string(g) + " m" + std::to_string(m), prompter)
                    .number);
        }
        IndexRecord index;
        index.setYear(std::uint16_t(2000 + g));
        DetailRecord detail;
        detail.setSenteName("棋士"_sj + std::to_string(g));
        ASSERT_TRUE(SaveNewGame(store, *record, index, detail, prompter).ok);
        ASSERT_TRUE(CreateWorkingCommentFile(store, prompter));
    }
    const std::vector<std::string> before = testing::StoredGames(store);
    const auto recordsOf = [&](std::uint32_t k) {
        IndexRecord index;
        ReadIndexRecord(store, k, index);
        std::vector<std::vector<std::uint8_t>> r = {
            RecordBytes(store.files.Path(".idx"), kIndexRecordSize, k),
            RecordBytes(store.files.Path(".kif"), kGameDataRecordSize, k - 1),
            RecordBytes(store.files.Path(".ipx"), kDetailRecordSize, k - 1),
            RecordBytes(store.files.Path(".kpf"), kMoveInfoRecordSize, k - 1)};
        if (index.overflowNumber() != 0) {
            r.push_back(RecordBytes(store.files.Path(".kf2"), kGameDataRecordSize, index.overflowNumber() - 1u));
            r.push_back(RecordBytes(store.files.Path(".kp2"), kMoveInfoRecordSize, index.overflowNumber()));
        }
        return r;
    };
    const auto game1 = recordsOf(1);
    const auto game3 = recordsOf(3);

    // The correction: from move 200 on a different continuation of 20 moves (so the game loses its
    // overflow records), a new comment on move 10, the comment of move 14 removed, the one on
    // move 21 rewritten, and a new date.
    auto record = std::make_unique<TKifData>();
    IndexRecord index;
    DetailRecord detail;
    ASSERT_TRUE(LoadGameForCorrection(store, 2, *record, index, detail, prompter));
    ASSERT_NE(index.overflowNumber(), 0);
    const TKifData::Snapshot asStored = record->TakeSnapshot();
    ASSERT_TRUE(CreateWorkingCommentFile(store, prompter));
    std::vector<std::string> full = MoveListLines(*record);
    full.pop_back();
    std::vector<std::string> visible = full;
    record->GoToMove(199);
    std::vector<MoveCode> moves;
    bool dropped = false;
    for (int i = 0; i < 20; ++i) {
        ListMoves(record->position, record->SideOf(record->currentMove + 1), moves);
        std::erase_if(moves, [&](const MoveCode& m) { return EnteredMoveProblem(*record, m) != nullptr; });
        const std::string stored = record->moves[std::size_t(record->currentMove + 1)].moveCode().str();
        // The first move differs from the stored one, so that the rest of the game goes.
        const auto pick = std::find_if(moves.begin(), moves.end(), [&](const MoveCode& m) {
            const PieceCode there = record->position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
            return (i != 0 || m.str() != stored) && !(there != 0 && OwnCode(there) == piece::Gyoku);
        });
        ASSERT_NE(pick, moves.end());
        const int before = record->moveCount;
        ASSERT_EQ(EnterMove(*record, full, visible, *pick), nullptr);
        if (i == 0) dropped = record->moveCount == 200 && before > 200;
    }
    ASSERT_TRUE(dropped);
    CutGame(*record, record->currentMove);
    ASSERT_EQ(record->moveCount, 219);
    const auto working = [&](int move, const std::string& text) {
        MoveRecord& m = record->moves[std::size_t(move)];
        m.workingComment = std::uint8_t(WriteComment(store, kWorkingCommentFile, m.workingComment, text, prompter).number);
    };
    working(10, "new on 10");
    record->moves[14].commentRecord = 0;
    working(21, "rewritten 21");
    record->endCode = endcode::kLaterGoteWins;
    index.setYear(2024);

    const SavedGame saved = SaveOverStoredGame(store, 2, *record, index, detail, asStored, false, prompter);
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.recordNumber, 2u);
    EXPECT_EQ(saved.commentsWritten, 2);
    EXPECT_EQ(index.overflowNumber(), 0) << "a game of 219 moves needs no overflow number";

    EXPECT_EQ(recordsOf(1), game1);
    EXPECT_EQ(recordsOf(3), game3);
    const std::vector<std::string> after = testing::StoredGames(store);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_NE(after[1], before[1]);
    EXPECT_EQ(NumbersInUse(store), References(store, prompter)) << "no comment leaked, none freed in use";

    auto back = std::make_unique<TKifData>();
    IndexRecord storedIndex;
    DetailRecord storedDetail;
    ASSERT_TRUE(LoadGameForCorrection(store, 2, *back, storedIndex, storedDetail, prompter));
    EXPECT_EQ(back->moveCount, 219);
    EXPECT_EQ(storedIndex.year(), 2024);
    EXPECT_EQ(storedIndex.result(), 6);
    EXPECT_EQ(storedIndex.handicap(), 2);
    const auto text = [&](int move) {
        const MoveRecord& m = back->moves[std::size_t(move)];
        return ReadComment(store, m.commentFile, m.commentRecord, prompter);
    };
    EXPECT_EQ(text(0), "g1 m0");
    EXPECT_EQ(text(7), "g1 m7");
    EXPECT_EQ(text(10), "new on 10");
    EXPECT_EQ(text(14), "");
    EXPECT_EQ(text(21), "rewritten 21");
    EXPECT_EQ(text(196), "g1 m196");
    EXPECT_EQ(text(203), "") << "the dropped move's comment went with it";
    EXPECT_EQ(text(220), "") << "the old final position's comment is not the new one's";

    // A header-only correction writes the index and detail records and nothing of the moves.
    const auto movesBefore = std::make_pair(FileBytes(store.files.Path(".kif")), FileBytes(store.files.Path(".kpf")));
    const auto comments = FileBytes(store.files.Path(".cp0"));
    storedIndex.setYear(1999);
    storedDetail.setPlace("大阪"_sj);
    storedDetail.setOpeningComment(0, 0);  // what the caller's copy says of the links does not count
    ASSERT_TRUE(SaveOverStoredGame(store, 2, *back, storedIndex, storedDetail, back->TakeSnapshot(), true, prompter).ok);
    EXPECT_EQ(std::make_pair(FileBytes(store.files.Path(".kif")), FileBytes(store.files.Path(".kpf"))), movesBefore);
    EXPECT_EQ(FileBytes(store.files.Path(".cp0")), comments);
    IndexRecord i2;
    DetailRecord d2;
    ASSERT_TRUE(ReadStoredRecords(store, 2, i2, d2, prompter));
    EXPECT_EQ(i2.year(), 1999);
    EXPECT_EQ(d2.place(), "大阪"_sj);
    EXPECT_NE(d2.openingCommentNumber(), 0);
    EXPECT_EQ(recordsOf(1), game1);
    EXPECT_EQ(recordsOf(3), game3);

    // Game 4 does not exist: nothing is written.
    const auto files = AllFiles(store);
    EXPECT_FALSE(SaveOverStoredGame(store, 4, *back, storedIndex, storedDetail, back->TakeSnapshot(), false, prompter).ok);
    EXPECT_FALSE(SaveOverStoredGame(store, 0, *back, storedIndex, storedDetail, back->TakeSnapshot(), false, prompter).ok);
    EXPECT_EQ(AllFiles(store), files);
}

// Counts every write; fails the n-th (1-based) and every later one.
class FailingWriter : public RecordWriter {
public:
    long failAt = 0;
    long writes = 0;
    bool Write(RecordFile& file, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) override {
        ++writes;
        if (failAt != 0 && writes >= failAt) return false;
        return RecordWriter::Write(file, offset, bytes, size);
    }
};

TEST_F(SaveGameTest, AWriteFailingAnywhereInASaveLeavesTheStoreAndTheCallersGameAsTheyWere) {
    // A store of two games; game 2 (long, commented) is corrected, and a third game saved as new.
    const GameStore model = MakeStore("model");
    std::mt19937 rng(23);
    for (int g = 0; g < 2; ++g) {
        auto record = std::make_unique<TKifData>();
        std::vector<std::string> lines;
        EnterGame(rng, 0, g == 1 ? 270 : 40, *record, lines);
        for (int m = 0; m <= record->moveCount + 1; m += 30) {
            record->moves[std::size_t(m)].workingComment = std::uint8_t(
                WriteComment(model, kWorkingCommentFile, 0, "c" + std::to_string(m), prompter).number);
        }
        IndexRecord index;
        DetailRecord detail;
        ASSERT_TRUE(SaveNewGame(model, *record, index, detail, prompter).ok);
        ASSERT_TRUE(CreateWorkingCommentFile(model, prompter));
    }

    enum class Kind { Correction, New };
    for (Kind kind : {Kind::Correction, Kind::New}) {
        long writes = 0;
        for (long failAt = 0;; ++failAt) {
            SCOPED_TRACE((kind == Kind::New ? "new game, write " : "correction, write ") + std::to_string(failAt));
            const fs::path folder = dir / ("f" + std::to_string(int(kind)) + "_" + std::to_string(failAt));
            fs::create_directories(folder);
            for (const fs::directory_entry& e : fs::directory_iterator(dir.path())) {
                if (e.is_regular_file() && e.path().stem() == "model") {
                    fs::copy_file(e.path(), folder / ("s" + e.path().extension().string()));
                }
            }
            const GameStore store(folder / "s.idx", StoreKind::Extended);
            auto record = std::make_unique<TKifData>();
            IndexRecord index;
            DetailRecord detail;
            ASSERT_TRUE(LoadGameForCorrection(store, 2, *record, index, detail, prompter));
            const TKifData::Snapshot asStored = record->TakeSnapshot();
            // Cut to 200 moves (the overflow number goes), a comment changed and one added.
            CutGame(*record, 200);
            record->moves[30].workingComment =
                std::uint8_t(WriteComment(store, kWorkingCommentFile, 0, "changed", prompter).number);
            record->moves[201].workingComment =
                std::uint8_t(WriteComment(store, kWorkingCommentFile, 0, "final", prompter).number);
            index.setDay(9);
            const auto recordBefore = std::make_unique<TKifData>(*record);
            const IndexRecord indexBefore = index;
            const DetailRecord detailBefore = detail;
            const auto filesBefore = AllFiles(store);

            FailingWriter writer;
            writer.failAt = failAt;
            const SavedGame saved = kind == Kind::New
                                        ? SaveNewGame(store, *record, index, detail, prompter, writer)
                                        : SaveOverStoredGame(store, 2, *record, index, detail, asStored, false,
                                                             prompter, writer);
            if (failAt == 0) {
                ASSERT_TRUE(saved.ok);
                writes = writer.writes;
                ASSERT_GE(writes, 8);
                EXPECT_EQ(NumbersInUse(store), References(store, prompter));
                continue;
            }
            EXPECT_FALSE(saved.ok);
            EXPECT_EQ(AllFiles(store), filesBefore) << "the store is byte for byte as it was";
            EXPECT_FALSE(store.files.Exists(ext::kJournal)) << "no journal is left behind";
            EXPECT_TRUE(*record == *recordBefore);
            EXPECT_EQ(index, indexBefore);
            EXPECT_EQ(detail, detailBefore);
            ASSERT_FALSE(prompter.shown.empty());
            EXPECT_EQ(prompter.shown.back().text.rfind("\r棋譜を保存できませんでした。\r\r"_sj, 0), 0u);
            std::uint32_t count = 0;
            EXPECT_EQ(ValidateStore(store.files.Path(".ipx"), count, prompter), StoreCheck::Extended);
            EXPECT_EQ(count, 2u);
            if (failAt == writes) break;
        }
    }
}

TEST_F(SaveGameTest, AClassicStoreKeepsTheMovesAndTheSessionCatalogueFollowsTheSaves) {
    StoreSession session;
    ASSERT_TRUE(CreateStoreFiles(dir / "c.idx", false));
    ASSERT_TRUE(OpenStore(session, dir / "c.idx", true, prompter).opened);
    std::mt19937 rng(3);
    auto record = std::make_unique<TKifData>();
    std::vector<std::string> lines;
    EnterGame(rng, 1, MoveLimit(false, '1'), *record, lines);
    ASSERT_EQ(record->moveCount, 255);
    EXPECT_TRUE(MoveLimitReached(*record, false));
    record->endCode = endcode::kImpasse;
    IndexRecord index;
    DetailRecord detail;
    SavedGame saved = SaveNewGame(session, *record, index, detail, prompter);
    ASSERT_TRUE(saved.ok);
    EXPECT_TRUE(saved.reloadCatalogue);
    ASSERT_EQ(session.catalogue.count(), 1u);
    EXPECT_EQ(session.catalogue.at(0).result, 4);
    EXPECT_EQ(session.catalogue.at(0).handicap, 1);

    auto back = std::make_unique<TKifData>();
    ASSERT_TRUE(LoadGameForCorrection(session.store, 1, *back, index, detail, prompter));
    EXPECT_EQ(back->moveCount, 255) << "a handicap game of 255 moves fills the 256 slots";
    session.catalogue.at(0).selectionMark = 1;
    index.setYear(1980);
    saved = SaveOverStoredGame(session, 1, *back, index, detail, back->TakeSnapshot(), true, prompter);
    ASSERT_TRUE(saved.ok);
    EXPECT_FALSE(saved.reloadCatalogue);
    EXPECT_EQ(session.catalogue.at(0).year, 1980);
    EXPECT_EQ(session.catalogue.at(0).selectionMark, 1) << "the user's mark stays";
}

}  // namespace
}  // namespace movra
