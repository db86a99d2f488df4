// Single position files: the bytes written, reading them back, the names the save dialog makes,
// the sorted list and the files that are refused.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "core/positionedit/editing.h"
#include "core/positionedit/single_position.h"
#include "core/record/kif_data.h"
#include "core/rules/sfen.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/temp_folder.h"

namespace movra {
namespace {
using namespace movra::literals;
using movra::testing::TempFolder;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Board and hands of a position: what a single position file keeps.
std::string Shown(const BoardPosition& p) { return ToSfen(p, 1, 1); }

TEST(SinglePositionFile, WritesTheThreeLinesByteForByte) {
    TempFolder home;
    BoardPosition p;
    SetUpStandard(p, '0');
    const std::string name = "矢倉"_sj;
    ASSERT_TRUE(WriteSinglePosition(home.path(), name + ".pat", name, p));
    const std::string zeros(27, '0');
    const std::string letters = "765414567" "020000030" "888888888" + zeros + "888888888" "030000020" "765414567";
    const std::string sides = "222222222" "020000020" "222222222" + zeros + "111111111" "010000010" "111111111";
    const std::string expected = "99\r\n" + name + "\r\n" + letters + sides + std::string(16, '0') + "\r\n";
    const std::filesystem::path file = home.path() / "DATA" / "Kyokumen" / Cp932ToUtf8(name + ".pat");
    EXPECT_EQ(ReadBytes(file), expected);

    // Eighteen pawns in one hand are written as "I"; the box is left out.
    SetUpEmpty(p);
    for (int n = 0; n < 18; ++n) {
        ASSERT_TRUE(DropPiece(p, PieceInGroup(p, EditPlace::Box, kind::Fu), {EditPlace::SenteHand, {}}));
    }
    const std::string line = PositionLine(p);
    ASSERT_EQ(line.size(), 178u);
    const std::string empty(63, '0');
    EXPECT_EQ(line, "000010000" + empty + "000010000" + "000020000" + empty + "000010000" + "0000000I00000000");
}

TEST(SinglePositionFile, EditedPositionsComeBackFromTheirFiles) {
    // Positions made by random editing, written, listed and loaded into a record: the same board
    // and hands, and the file written again from the loaded position has the same bytes.
    TempFolder home;
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        BoardPosition p;
        SetUpStandard(p, '0');
        for (int step = 0; step < 80; ++step) {
            const int index = int(random() % kPieceCount) + 1;
            switch (random() % 6) {
                case 0: DropPiece(p, index, {EditPlace::SenteHand, {}}); break;
                case 1: DropPiece(p, index, {EditPlace::GoteHand, {}}); break;
                case 2: DropPiece(p, index, {EditPlace::Box, {}}); break;
                case 3: FlipPiece(p, index); break;
                default:
                    DropPiece(p, index, {EditPlace::Board, Square{std::uint8_t(random() % 9 + 1), std::uint8_t(random() % 9 + 1)}});
                    break;
            }
        }
        const std::string fileName = "p" + std::to_string(round) + ".pat";
        ASSERT_TRUE(WriteSinglePosition(home.path(), fileName, SinglePositionName(fileName), p));
        const std::string written = ReadBytes(SinglePositionFolder(home.path()) / fileName);

        const std::vector<SinglePositionEntry> list = ListSinglePositions(home.path());
        const auto entry = std::find_if(list.begin(), list.end(),
                                        [&](const SinglePositionEntry& e) { return e.fileName == fileName; });
        ASSERT_NE(entry, list.end());
        TKifData record;
        ASSERT_EQ(LoadSinglePositionText(record, entry->positionText()), std::nullopt);
        EXPECT_EQ(Shown(record.position), Shown(p)) << round;
        ASSERT_TRUE(WriteSinglePosition(home.path(), fileName, SinglePositionName(fileName), record.position));
        EXPECT_EQ(ReadBytes(SinglePositionFolder(home.path()) / fileName), written) << round;
    }
}

TEST(SinglePositionFile, SaveNamesKeepOnlyANameWithThePatExtension) {
    EXPECT_EQ(SinglePositionFileName("abc.txt"), "abc.pat");
    EXPECT_EQ(SinglePositionName("abc.pat"), "abc");
    EXPECT_EQ(SinglePositionFileName("  abc  "), "abc.pat");
    EXPECT_EQ(SinglePositionFileName("ABC.PAT"), "ABC.PAT");
    EXPECT_EQ(SinglePositionFileName("../../etc/x.pat"), "x.pat");
    EXPECT_EQ(SinglePositionFileName("C:\\data\\y"), "y.pat");
    // "ソ" ends in the byte of "\": it is a character, not a separator.
    EXPECT_EQ(SinglePositionFileName("ソ表.kif"_sj), "ソ表.pat"_sj);
    EXPECT_EQ(SinglePositionFileName("   "), std::nullopt);
    EXPECT_EQ(SinglePositionFileName(".pat"), std::nullopt);
    EXPECT_EQ(SinglePositionFileName("dir/"), std::nullopt);
}

TEST(SinglePositionFile, ListIsSortedAndDamagedFilesAreRefused) {
    TempFolder home;
    BoardPosition p;
    SetUpStandard(p, '0');
    ASSERT_TRUE(WriteSinglePosition(home.path(), "b.pat", "b", p));
    ASSERT_TRUE(WriteSinglePosition(home.path(), "a.PAT", "a", p));
    const std::filesystem::path folder = SinglePositionFolder(home.path());
    const std::string line = PositionLine(p);
    // An older numbering sorts first; 19 pawns cannot come from one set.
    testing::TouchFile(folder / "old.pat", "7\r\nold\r\n" + line + "\r\n");
    std::string tooMany = line;
    tooMany[162 + 7] = '1';
    testing::TouchFile(folder / "many.pat", "99\r\nmany\r\n" + tooMany + "\r\n");
    std::string badLetter = line;
    badLetter[40] = 'Z';
    testing::TouchFile(folder / "bad.pat", "99\r\nbad\r\n" + badLetter + "\r\n");
    testing::TouchFile(folder / "short.pat", "99\r\n");
    testing::TouchFile(folder / "other.txt", "99\r\nother\r\n" + line + "\r\n");

    const std::vector<SinglePositionEntry> list = ListSinglePositions(home.path());
    std::vector<std::string> names;
    for (const SinglePositionEntry& e : list) names.push_back(e.fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"old.pat", "a.PAT", "b.pat", "bad.pat", "many.pat", "short.pat"}));
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].text.substr(0, 5), "07old");
    EXPECT_EQ(list[1].shownName(), "a" + std::string(29, ' '));
    EXPECT_EQ(list[1].positionText().size(), 210u);
    EXPECT_FALSE(list[5].readable);

    TKifData record;
    record.ResetHeader(3);
    const TKifData before = record;
    for (std::size_t i : {3u, 4u, 5u}) {
        const std::optional<std::string> refused = LoadSinglePositionText(record, list[i].positionText());
        ASSERT_TRUE(refused.has_value()) << list[i].fileName;
        EXPECT_EQ(record, before) << list[i].fileName;
    }
    EXPECT_EQ(LoadSinglePositionText(record, list[4].positionText()),
              std::string("\r駒の数が多すぎるため、この局面は読み込めません！"_sj));

    EXPECT_TRUE(SinglePositionExists(home.path(), "A.pat"));
    EXPECT_TRUE(DeleteSinglePosition(home.path(), "A.pat"));
    EXPECT_FALSE(SinglePositionExists(home.path(), "a.PAT"));
    EXPECT_FALSE(DeleteSinglePosition(home.path(), "a.PAT"));
}

}  // namespace
}  // namespace movra
