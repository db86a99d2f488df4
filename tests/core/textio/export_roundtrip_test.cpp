// Round trips through the text exports: every game written as a Kakinoki file and read again
// comes back with the same moves, consumed times and comments; written as a listing and read
// again, with the same moves and what else the listing keeps.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../../../bench/store_sample.h"
#include "core/store/store_test_support.h"
#include "core/text/cp932.h"
#include "core/viewing/display_texts.h"
#include "core/session/stored_game.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/open_store.h"
#include "support/recording_prompter.h"
#include "core/textio/apply_coded_moves.h"
#include "core/textio/export_file.h"
#include "core/textio/export_game.h"
#include "core/textio/import_text.h"
#include "core/textio/kakinoki_reader.h"
#include "core/textio/ki2_reader.h"
#include "core/textio/kif_writer.h"
#include "core/textio/listing_writer.h"
#include "core/textio/text_lines.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;
using testing::RecordingPrompter;
using testing::TempFolder;

constexpr const char* kNow = "2000-01-01 00:00:00";

std::vector<MoveCode> Codes(const TKifData& record) {
    std::vector<MoveCode> codes;
    for (int n = 1; n <= record.moveCount; ++n) codes.push_back(record.moves[std::size_t(n)].moveCode());
    return codes;
}

// Times of 60000 seconds (1000 minutes) and more do not fit the Kakinoki minutes a reader takes
// from six bytes; like every time from 59940 on, they only mean "unknown".
bool SameTime(std::uint32_t written, std::uint32_t read) {
    if (written >= 60000) return read >= kUnknownTime;
    return written == read;
}

// The result the text says, as the store keeps it after reading: the summary line names the
// winner of 1 and 2 whoever made the last move; the 以下 results and results outside 0-8 are not
// kept by the Kakinoki file.
int KifResultAfterReading(int result) {
    switch (result) {
        case 1: case 2: return result;
        case 3: case 7: return 3;
        case 4: case 8: return 4;
        default: return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Generated games with everything the file can carry, read back by the Kakinoki reader.

// A comment of several lines is written one "*" line a line, as Kakinoki does, and read back
// as lines kept apart by CR LF, a line beginning with "*" included; a trailing line break does
// not come back.
std::string AsReadBack(const std::string& comment) {
    std::string text;
    bool first = true;
    for (const std::string& line : CommentLines(comment)) {
        if (!first) text += "\r\n";
        text += line;
        first = false;
    }
    return text;
}

// A comment of one to four lines, made of the characters comments are written with; no line
// breaks at either end (the comment window trims them); a line may begin with "*" (written as
// "**…").
std::string RandomComment(sample::Rng& rng) {
    static constexpr std::string_view kWords[] = {
        "好手"_sj, "疑問手。"_sj, "▲７六歩なら互角"_sj, "ここが勝負所"_sj, "ｶﾀｶﾅ"_sj,
        "abc 123"_sj, "（参考）"_sj, "同　銀"_sj, "#1"_sj, "まで"_sj, "投了"_sj, "　"_sj, "*印"_sj};
    const int lines = rng.Between(1, 4);
    std::string text;
    for (int l = 0; l < lines; ++l) {
        if (l > 0) text += "\r\n";
        const int words = rng.Between(l > 0 && l < lines - 1 ? 0 : 1, 4);
        for (int w = 0; w < words; ++w) text += kWords[std::size_t(rng.Below(int(std::size(kWords))))];
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
    while (text.size() >= 2 && text.substr(text.size() - 2) == "　"_sj) text.resize(text.size() - 2);
    while (text.size() >= 2 && text.substr(0, 2) == "　"_sj) text.erase(0, 2);
    if (text.empty() || text[0] == ' ') text.insert(0, "注"_sj);
    return text.substr(0, 256).size() == text.size() ? text : "長い"_sj;
}

std::uint16_t RandomTime(sample::Rng& rng) {
    const int r = rng.Below(100);
    if (r < 10) return 0;
    if (r < 80) return std::uint16_t(rng.Between(1, 600));
    if (r < 92) return std::uint16_t(rng.Between(601, 59939));
    return std::uint16_t(rng.Between(59940, 65535));
}

ExportGame RandomGame(sample::Rng& rng, std::vector<MoveCode>& scratch) {
    ExportGame g;
    const int r = rng.Below(100);
    g.handicapNumber = r < 60 ? 0 : rng.Between(1, kHandicapCount - 1);
    const int most = g.handicapNumber != 0 ? 511 : 512;
    const int length = rng.Percent(15) ? rng.Between(257, most) : rng.Between(1, 200);
    sample::PlayGame(rng, g.handicapNumber, length, g.record, scratch);
    if (g.record.moveCount == 0) {
        g.handicapNumber = 0;
        sample::PlayGame(rng, 0, 1, g.record, scratch);
    }
    const int count = g.record.moveCount;
    g.result = rng.Below(9);
    g.record.endCode = char('0' + g.result);
    g.year = rng.Between(1950, 2024);
    g.month = rng.Between(1, 12);
    g.day = rng.Between(1, 28);
    g.details = true;
    g.detail.setStart({std::uint16_t(g.year), std::uint8_t(g.month), std::uint8_t(g.day),
                       std::uint8_t(rng.Between(0, 23)), std::uint8_t(rng.Between(0, 59))});
    g.senteName = sample::PlayerName(rng);
    g.goteName = sample::PlayerName(rng);
    g.tournament = rng.Percent(50) ? std::string("第1期名人戦"_sj) : std::string();
    for (int n = 1; n <= count; ++n) g.record.moves[std::size_t(n)].consumedTime = RandomTime(rng);
    g.closingTime = rng.Percent(30) ? RandomTime(rng) : 0;
    g.comments.assign(std::size_t(count) + 2, std::string());
    for (std::string& c : g.comments) {
        if (rng.Percent(8)) c = RandomComment(rng);
    }
    if (rng.Percent(30)) g.comments.front() = RandomComment(rng);
    if (rng.Percent(30)) g.comments.back() = RandomComment(rng);
    return g;
}

TEST(KakinokiRoundTrip, GeneratedGamesComeBackWithTheirMovesTimesAndComments) {
    sample::Rng rng(20240501);
    std::vector<MoveCode> scratch;
    int handicaps = 0, long256 = 0, commented = 0, multiLine = 0, closing = 0, unknownTimes = 0;
    for (int i = 0; i < 300; ++i) {
        const ExportGame g = RandomGame(rng, scratch);
        const int count = g.record.moveCount;
        SCOPED_TRACE("game " + std::to_string(i) + ", handicap " + std::to_string(g.handicapNumber) +
                     ", " + std::to_string(count) + " moves, result " + std::to_string(g.result));
        TextLines lines;
        MakeTextLines(JoinLines(KakinokiLines(g, "/kifu/x.kif")), "x.kif", lines);
        ReadGame read;
        const ReadStatus status = ReadKakinoki(lines, kNow, read);
        ASSERT_TRUE(status.ok()) << status.refusal;

        EXPECT_EQ(read.fields.handicap, g.record.handicap);
        EXPECT_EQ(read.fields.senteName, g.senteName);
        EXPECT_EQ(read.fields.goteName, g.goteName);
        EXPECT_EQ(read.fields.tournament, g.tournament);
        EXPECT_EQ(read.fields.startDate.substr(0, 16),
                  ZeroPad(g.year, 4) + "-" + ZeroPad(g.month, 2) + "-" + ZeroPad(g.day, 2) + " " +
                      ZeroPad(g.detail.start().hour, 2) + ":" + ZeroPad(g.detail.start().minute, 2));

        TKifData back;
        back.ResetHeader(g.handicapNumber);
        back.ClearMoves();
        back.SetUpStandard();
        AppliedMoves applied;
        ASSERT_TRUE(ApplyCodedMoves(read.coded, back, applied).ok());
        ASSERT_EQ(Codes(back), Codes(g.record));

        for (int n = 1; n <= count; ++n) {
            const std::uint16_t t = g.record.moves[std::size_t(n)].consumedTime;
            EXPECT_TRUE(SameTime(t, read.consumedTimes[std::size_t(n)]))
                << "move " << n << ": " << t << " written, " << read.consumedTimes[std::size_t(n)] << " read";
            unknownTimes += t >= kUnknownTime;
        }
        const bool endLine = g.result != 0 || g.closingTime != 0 || !g.comments.back().empty();
        EXPECT_TRUE(SameTime(endLine ? g.closingTime : 0, read.consumedTimes[std::size_t(count + 1)]));

        std::vector<std::string> comments(std::size_t(count) + 2);
        for (const MoveComment& c : read.comments) {
            ASSERT_LE(c.move, count + 1);
            comments[std::size_t(c.move)] = c.text;
        }
        std::vector<std::string> expected;
        for (const std::string& c : g.comments) expected.push_back(AsReadBack(c));
        EXPECT_EQ(comments, expected);

        handicaps += g.handicapNumber != 0;
        long256 += count > 256;
        for (const std::string& c : g.comments) {
            commented += !c.empty();
            multiLine += c.find('\n') != std::string::npos;
        }
        closing += !g.comments.back().empty();
    }
    // What the run covered, so that a change to the generator cannot leave it testing nothing.
    EXPECT_GT(handicaps, 50);
    EXPECT_GT(long256, 20);
    EXPECT_GT(commented, 500);
    EXPECT_GT(multiLine, 100);
    EXPECT_GT(closing, 50);
    EXPECT_GT(unknownTimes, 100);
}

TEST(ListingRoundTrip, GeneratedGamesComeBackWithTheirMovesThroughTheKi2Reader) {
    sample::Rng rng(77);
    std::vector<MoveCode> scratch;
    for (int i = 0; i < 200; ++i) {
        const ExportGame g = RandomGame(rng, scratch);
        // The KI2 reader takes the ten bytes after "手合割："; the names of the two 九枚落ち are
        // longer (九枚(左金)落ち is fourteen), so it cannot tell them from an unknown setup.
        if (g.handicapNumber == 13 || g.handicapNumber == 14) continue;
        SCOPED_TRACE("game " + std::to_string(i) + ", handicap " + std::to_string(g.handicapNumber) +
                     ", " + std::to_string(g.record.moveCount) + " moves");
        TextLines lines;
        MakeTextLines(JoinLines(GameListingLines(g)), "x.txt", lines);
        ReadGame read;
        const ReadStatus status = ReadKi2(lines, kNow, read);
        ASSERT_TRUE(status.ok()) << status.refusal;
        EXPECT_EQ(read.fields.handicap, g.record.handicap);
        EXPECT_EQ(read.fields.senteName, g.senteName);
        EXPECT_EQ(read.fields.goteName, g.goteName);
        TKifData back;
        back.ResetHeader(g.handicapNumber);
        back.ClearMoves();
        back.SetUpStandard();
        AppliedMoves applied;
        ASSERT_TRUE(ApplyCodedMoves(read.coded, back, applied).ok());
        EXPECT_EQ(Codes(back), Codes(g.record));
    }
}

// ---------------------------------------------------------------------------------------------
// A generated store, exported game by game and imported into a new store.

struct Stores {
    TempFolder dir;
    GameStore source;
    PlayerTable players;
    TournamentTable tournaments;
    OpeningTable openings;
    MasterTables masters;
    long games = 0;

    explicit Stores(long count) {
        sample::StoreOptions options;
        options.path = dir / "gen.ipx";
        options.games = count;
        options.randomStart = 11;
        options.dat = dir.path();
        sample::GenerateStore(options);
        RecordingPrompter prompter;
        std::uint32_t n = 0;
        EXPECT_EQ(ValidateStore(options.path, n, prompter), StoreCheck::Extended);
        source = GameStore(options.path, StoreKind::Extended, n);
        games = long(n);
        EXPECT_TRUE(players.Load(dir.path(), false));
        EXPECT_TRUE(tournaments.Load(dir.path(), prompter));
        EXPECT_TRUE(openings.Load(dir.path(), prompter));
        masters = {&players, &tournaments, &openings};
    }
};

TEST(StoreRoundTrip, EveryGameOfAGeneratedStoreExportedAndImportedIsTheSameGame) {
    Stores s(400);
    ASSERT_TRUE(CreateStoreFiles(s.dir / "kif.ipx", true));
    ASSERT_TRUE(CreateStoreFiles(s.dir / "listing.ipx", true));
    GameStore kifStore(s.dir / "kif.ipx", StoreKind::Extended, 0);
    GameStore listingStore(s.dir / "listing.ipx", StoreKind::Extended, 0);
    RecordingPrompter prompter;
    ImportContext kifImport{kifStore, prompter, s.masters, kNow, {}, 5};
    ImportContext listingImport{listingStore, prompter, s.masters, kNow, {}, 5};

    int handicaps = 0, long256 = 0, commented = 0, closingTimes = 0;
    for (long k = 1; k <= s.games; ++k) {
        const std::optional<ExportGame> g = LoadExportGame(s.source, s.masters, k, prompter);
        ASSERT_TRUE(g.has_value()) << k;
        const int count = g->record.moveCount;
        SCOPED_TRACE("game " + std::to_string(k) + ", handicap " + std::to_string(g->handicapNumber) +
                     ", " + std::to_string(count) + " moves, result " + std::to_string(g->result));
        ASSERT_GT(count, 0);

        const fs::path kif = s.dir / ("g" + std::to_string(k) + ".kif");
        ASSERT_EQ(WriteKakinokiFile(*g, kif), "");
        const FileImport viaKif = ImportTextFile(kif, kifImport);
        ASSERT_EQ(viaKif.stored, 1) << viaKif.refusal;
        const std::optional<ExportGame> back = LoadExportGame(kifStore, s.masters, long(kifStore.recordCount), prompter);
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(Codes(back->record), Codes(g->record));
        for (int n = 1; n <= count; ++n) {
            EXPECT_EQ(back->record.moves[std::size_t(n)].consumedTime, g->record.moves[std::size_t(n)].consumedTime)
                << "move " << n;
        }
        EXPECT_EQ(back->closingTime, g->closingTime);
        EXPECT_EQ(back->comments, g->comments);
        EXPECT_EQ(back->senteName, g->senteName);
        EXPECT_EQ(back->goteName, g->goteName);
        EXPECT_EQ(back->tournament, g->tournament);
        EXPECT_EQ(back->opening, g->opening);
        EXPECT_EQ(back->handicapNumber, g->handicapNumber);
        EXPECT_EQ(std::tie(back->year, back->month, back->day), std::tie(g->year, g->month, g->day));
        EXPECT_EQ(back->result, KifResultAfterReading(g->result));

        const fs::path listing = s.dir / ("g" + std::to_string(k) + ".txt");
        ASSERT_EQ(WriteTextLines(listing, GameListingLines(*g), WriteMode::Replace), "");
        const FileImport viaListing = ImportTextFile(listing, listingImport);
        ASSERT_EQ(viaListing.stored, 1) << viaListing.refusal;
        const std::optional<ExportGame> fromListing =
            LoadExportGame(listingStore, s.masters, long(listingStore.recordCount), prompter);
        ASSERT_TRUE(fromListing.has_value());
        EXPECT_EQ(Codes(fromListing->record), Codes(g->record));
        EXPECT_EQ(fromListing->senteName, g->senteName);
        EXPECT_EQ(fromListing->handicapNumber, g->handicapNumber);
        EXPECT_EQ(std::tie(fromListing->year, fromListing->month, fromListing->day),
                  std::tie(g->year, g->month, g->day));
        // The listing names the winner; the 以下 of results 5 to 8 is not kept.
        EXPECT_EQ(fromListing->result, g->result > 8 ? 0 : g->result > 4 ? g->result - 4 : g->result);

        handicaps += g->handicapNumber != 0;
        long256 += count > 256;
        closingTimes += g->closingTime != 0;
        for (const std::string& c : g->comments) commented += !c.empty();
    }
    EXPECT_GT(handicaps, 5);
    EXPECT_GT(long256, 2);
    EXPECT_GT(commented, 5);
    EXPECT_GT(closingTimes, 20);
}

// Real records written by other programs: what the store took from them comes back the same
// after a trip through a Kakinoki file of this system.
TEST(StoreRoundTrip, CorpusGamesComeBackTheSameThroughAnExportedFile) {
    const char* root = std::getenv("MOVRA_CORPUS");
    if (root == nullptr || !fs::is_directory(root)) GTEST_SKIP() << "MOVRA_CORPUS does not name a folder";
    TempFolder dir;
    ASSERT_TRUE(CreateStoreFiles(dir / "first.ipx", true));
    ASSERT_TRUE(CreateStoreFiles(dir / "second.ipx", true));
    GameStore first(dir / "first.ipx", StoreKind::Extended, 0);
    GameStore second(dir / "second.ipx", StoreKind::Extended, 0);
    testing::RecordingPrompter prompter;
    ImportContext intoFirst{first, prompter, {}, kNow, {}, 5};
    ImportContext intoSecond{second, prompter, {}, kNow, {}, 5};
    std::vector<fs::path> files = GameRecordFiles(root, -1, nullptr);
    int stored = 0, exported = 0, same = 0;
    for (const fs::path& file : files) {
        if (ImportTextFile(file, intoFirst).stored != 1) continue;  // refused, or many games
        ++stored;
        SCOPED_TRACE(file.string());
        const std::optional<ExportGame> g = LoadExportGame(first, {}, long(first.recordCount), prompter);
        ASSERT_TRUE(g.has_value());
        if (g->record.moveCount == 0) continue;  // the export command writes no file for it
        const fs::path kif = dir / "x.kif";
        ASSERT_EQ(WriteKakinokiFile(*g, kif), "");
        ++exported;
        const FileImport again = ImportTextFile(kif, intoSecond);
        ASSERT_EQ(again.stored, 1) << again.refusal;
        const std::optional<ExportGame> back = LoadExportGame(second, {}, long(second.recordCount), prompter);
        ASSERT_TRUE(back.has_value());
        const bool moves = Codes(back->record) == Codes(g->record);
        bool times = back->closingTime == g->closingTime;
        for (int n = 1; n <= g->record.moveCount; ++n) {
            times = times && back->record.moves[std::size_t(n)].consumedTime ==
                                 g->record.moves[std::size_t(n)].consumedTime;
        }
        std::vector<std::string> expected;
        for (const std::string& c : g->comments) expected.push_back(AsReadBack(c));
        const bool comments = back->comments == expected;
        EXPECT_TRUE(moves);
        EXPECT_TRUE(times);
        EXPECT_EQ(back->comments, expected);
        EXPECT_EQ(back->handicapNumber, g->handicapNumber);
        same += moves && times && comments && back->handicapNumber == g->handicapNumber;
    }
    std::printf("corpus: %zu files, %d stored, %d exported, %d came back the same\n", files.size(),
                stored, exported, same);
    EXPECT_GT(stored, 100);
    EXPECT_EQ(same, exported);
}

// The names the exports write are the ones the main window shows for the same game.
TEST(StoreRoundTrip, NamesAreTheMainWindowsNames) {
    Stores s(120);
    StoreSession session;
    session.datFolder = s.dir.path();
    RecordingPrompter prompter;
    ASSERT_TRUE(OpenStore(session, s.source.files.IndexPath(), true, prompter).opened);
    for (long k = 1; k <= s.games; ++k) {
        TKifData shown;
        const StoredGame stored = LoadStoredGame(session, k, shown, prompter);
        const std::optional<ExportGame> g = LoadExportGame(s.source, s.masters, k, prompter);
        ASSERT_TRUE(stored.found && g.has_value());
        EXPECT_EQ(g->senteName, stored.texts.senteName) << k;
        EXPECT_EQ(g->goteName, stored.texts.goteName) << k;
        EXPECT_EQ(g->tournament, stored.texts.tournament) << k;
        EXPECT_EQ(g->opening, stored.texts.opening) << k;
    }
    // Without tables every number names itself as [#n]; tournament and opening alike.
    for (long k = 1; k <= 20; ++k) {
        const std::optional<ExportGame> bare = LoadExportGame(s.source, MasterTables{}, k, prompter);
        IndexRecord index;
        ASSERT_TRUE(bare.has_value() && ReadIndexRecord(s.source, std::uint32_t(k), index));
        if (index.gotePlayer() == 0) continue;  // named in the detail record
        EXPECT_EQ(bare->goteName, "[#" + std::to_string(index.gotePlayer()) + "]");
        EXPECT_EQ(bare->opening, index.opening() == 0 ? "" : "[#" + std::to_string(index.opening()) + "]");
    }
    EXPECT_FALSE(LoadExportGame(s.source, s.masters, s.games + 1, prompter).has_value());
    EXPECT_FALSE(LoadExportGame(s.source, s.masters, 0, prompter).has_value());
}

}  // namespace
}  // namespace movra
