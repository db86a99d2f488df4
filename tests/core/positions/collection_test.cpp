// Position collection files: the slot layout byte by byte, the collection's add/save/open flow,
// damaged files and the compaction.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/positions/collection.h"
#include "core/positions/collection_file.h"
#include "core/rules/sfen.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::RecordingPrompter;
using testing::TempFolder;
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PieceTable Pieces(const char* sfen) {
    const std::optional<SfenPosition> parsed = ParseSfen(sfen);
    EXPECT_TRUE(parsed.has_value()) << sfen;
    return parsed ? parsed->position.pieces : PieceTable{};
}

const char* const kSfens[] = {
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2",
    "4k4/9/4P4/9/9/9/9/9/4K4 b G2r2b3g4s4n4l17p 1",
    "8k/9/9/9/9/9/9/9/K8 b RB 1",
    "4k4/9/9/9/9/9/9/9/4K4 b 18P 1",
};

SlotTexts Texts(int i) {
    return {"第"_sj + std::to_string(i) + "図"_sj, "▲先手"_sj, "△後手"_sj, "コメント"_sj + std::to_string(i)};
}

TEST(CollectionLayout, SlotFieldsSitAtTheirOffsetsAndCutWithoutSplittingCharacters) {
    PositionSlot slot;
    slot.setNumber(0x0102);
    // 18 double-byte characters are 36 bytes: only 17 fit the 35 bytes of the title.
    std::string title;
    for (int i = 0; i < 18; ++i) title += "歩"_sj;
    slot.setTitle(title);
    slot.setSenteLabel("ABCDEFGHIJKLMNOPQRS");
    slot.setGoteLabel("▲羽生善治名人竜王"_sj);
    slot.setComment("line1\r\nline2");
    PieceTable table{};
    table[1] = PieceEntry{1, 14, 5, 9, 0x0A0B};
    table[40] = PieceEntry{1, 15, 10, 1, 7};
    slot.setPieces(table);

    const auto& b = slot.bytes;
    EXPECT_EQ(b[0], 0x02);
    EXPECT_EQ(b[1], 0x01);
    EXPECT_EQ(slot.title().size(), 34u);
    EXPECT_EQ(b[2 + 34], 0);  // terminator right after the 17th character
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[38]), 15), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(b[38 + 15], 0);
    EXPECT_EQ(slot.goteLabel(), "▲羽生善治名人"_sj);  // 14 bytes; the 15th would split 竜
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[70]), 12), "line1\r\nline2");
    // Piece 1 at 266 + 6, piece 40 at the slot's very end.
    EXPECT_EQ(b[272], 1);
    EXPECT_EQ(b[273], 14);
    EXPECT_EQ(b[274], 5);
    EXPECT_EQ(b[275], 9);
    EXPECT_EQ(b[276], 0x0B);
    EXPECT_EQ(b[277], 0x0A);
    EXPECT_EQ(b[506], 1);
    EXPECT_EQ(b[507], 15);
    EXPECT_EQ(b[508], 10);
    EXPECT_EQ(b[509], 1);
    EXPECT_EQ(b[510], 7);
    EXPECT_EQ(b[511], 0);
    EXPECT_EQ(slot.pieces(), table);

    // A longer text written later leaves nothing of the old one behind, and vice versa.
    slot.setComment(std::string(300, 'x'));
    EXPECT_EQ(slot.comment(), std::string(195, 'x'));
    slot.setComment("y");
    EXPECT_EQ(slot.comment(), "y");
    for (std::size_t i = 72; i < 266; ++i) ASSERT_EQ(b[i], 0) << i;

    // The player name of a label: what follows its side mark; no mark, no name.
    EXPECT_EQ(LabelName(slot.goteLabel()), "羽生善治名人"_sj);
    EXPECT_EQ(LabelName("▽後手"_sj), "後手"_sj);
    EXPECT_EQ(LabelName(std::string("\xF0\x55") + "先手"_sj), "先手"_sj);
    EXPECT_EQ(LabelName("羽生"_sj), "");
    EXPECT_EQ(LabelName("ABC"), "");
    EXPECT_EQ(LabelName("▲"_sj), "");
}

TEST(CollectionLayout, ProblemFindsPieceTablesNoPositionComesFrom) {
    PositionSlot slot;
    slot.setNumber(1);
    slot.setPieces(Pieces(kSfens[0]));
    EXPECT_EQ(slot.Problem(), "");
    EXPECT_EQ(slot.position().board[BoardIndex(5, 9)], 14);

    PieceTable bad = Pieces(kSfens[0]);
    bad[3].code = 29;
    slot.setPieces(bad);
    EXPECT_NE(slot.Problem(), "");
    bad = Pieces(kSfens[0]);
    bad[3].file = bad[4].file;
    bad[3].rank = bad[4].rank;
    slot.setPieces(bad);
    EXPECT_NE(slot.Problem(), "");  // two pieces on one square
    bad = Pieces(kSfens[0]);
    bad[3].file = 15;
    slot.setPieces(bad);
    EXPECT_NE(slot.Problem(), "");
    // An empty slot is never a problem, whatever its bytes.
    slot.setNumber(0);
    EXPECT_EQ(slot.Problem(), "");
    slot.setNumber(-3);
    EXPECT_NE(slot.Problem(), "");
}

struct Dialogs {
    std::vector<fs::path> proposals;
    fs::path answer;
    CollectionDialogs get() {
        CollectionDialogs d;
        d.saveFile = [this](const fs::path& proposed) {
            proposals.push_back(proposed);
            return answer;
        };
        d.openFile = [this](const fs::path&) { return answer; };
        return d;
    }
};

TEST(PositionCollection, FivePositionsMakeTwoPagesThatReopenOnPageTwoAndSaveByteForByte) {
    TempFolder home;
    RecordingPrompter prompter;
    Dialogs dialogs;
    PositionCollection c(home.path());
    EXPECT_FALSE(c.exists());

    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(c.Add(Texts(i + 1), Pieces(kSfens[i]), prompter));
        if (i == 3) {
            // The fourth position fills the page: it is written and a new page begins.
            EXPECT_EQ(c.appendPage(), 1);
            EXPECT_EQ(c.usedSlots(), 0);
            EXPECT_EQ(fs::file_size(c.workingCopy()), kCollectionPageSize);
        }
    }
    EXPECT_TRUE(c.untitled());
    EXPECT_TRUE(c.changed());
    EXPECT_EQ(c.pageToShow(), 2);
    EXPECT_EQ(c.usedSlots(), 1);

    // Saving the untitled collection asks for a name; the proposal skips an existing file.
    testing::TouchFile(home.path() / NativePath("局面図01.kkm"_sj));
    dialogs.answer = home / "five.kkm";
    ASSERT_TRUE(c.Save(prompter, dialogs.get()));
    ASSERT_EQ(dialogs.proposals.size(), 1u);
    EXPECT_EQ(dialogs.proposals[0], home.path() / NativePath("局面図02.kkm"_sj));
    EXPECT_FALSE(c.changed());
    EXPECT_EQ(prompter.shown.back().text, PathText(home / "five.kkm") + " に保存しました。"_sj);

    const std::string saved = ReadBytes(home / "five.kkm");
    ASSERT_EQ(saved.size(), 2 * kCollectionPageSize);
    // Position 5 is slot 0 of page 1, numbered 5, with its texts and pieces.
    const CollectionPage page1 = CollectionPage::FromBytes(reinterpret_cast<const std::uint8_t*>(saved.data()) + kCollectionPageSize);
    EXPECT_EQ(page1.slot(0).number(), 5);
    EXPECT_EQ(page1.slot(0).texts(), Texts(5));
    EXPECT_EQ(page1.slot(0).pieces(), Pieces(kSfens[4]));
    EXPECT_FALSE(page1.slot(1).filled());

    // Reopened elsewhere: page 2 with one used slot, and saved again to the same bytes.
    TempFolder other;
    PositionCollection reopened(other.path());
    ASSERT_TRUE(reopened.OpenFile(home / "five.kkm", prompter));
    EXPECT_EQ(reopened.appendPage(), 1);
    EXPECT_EQ(reopened.usedSlots(), 1);
    EXPECT_EQ(reopened.pageToShow(), 2);
    EXPECT_EQ(reopened.displayName(), "five.kkm");
    dialogs.answer = other / "copy.kkm";
    ASSERT_TRUE(reopened.SaveAs(prompter, dialogs.get()));
    EXPECT_EQ(ReadBytes(other / "copy.kkm"), saved);

    // Three more fill page 2: reopening then starts a new empty append page and shows page 2.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(reopened.Add(Texts(6 + i), Pieces(kSfens[i]), prompter));
    ASSERT_TRUE(reopened.Save(prompter, dialogs.get()));
    PositionCollection eight(home.path());
    ASSERT_TRUE(eight.OpenFile(other / "copy.kkm", prompter));
    EXPECT_EQ(eight.appendPage(), 2);
    EXPECT_EQ(eight.usedSlots(), 0);
    EXPECT_EQ(eight.pageToShow(), 2);
}

TEST(PositionCollection, ALastPageThatIsEmptyShowsThePageBeforeIt) {
    TempFolder home;
    RecordingPrompter prompter;
    std::vector<CollectionPage> pages(3);
    for (int s = 0; s < 4; ++s) {
        for (int p = 0; p < 2; ++p) {
            PositionSlot slot;
            slot.setNumber(std::int16_t(4 * p + s + 1));
            slot.setPieces(Pieces(kSfens[s]));
            pages[std::size_t(p)].setSlot(s, slot);
        }
    }
    ASSERT_TRUE(WriteCollection(home / "three.kkm", pages, home / "t.tmp"));
    PositionCollection c(home.path());
    ASSERT_TRUE(c.OpenFile(home / "three.kkm", prompter));
    EXPECT_EQ(c.appendPage(), 2);
    EXPECT_EQ(c.usedSlots(), 0);
    EXPECT_EQ(c.pageToShow(), 2);
    EXPECT_TRUE(prompter.shown.empty());
    // Opening copied the file whole into the working copy.
    EXPECT_EQ(ReadBytes(c.workingCopy()), ReadBytes(home / "three.kkm"));
}

TEST(PositionCollection, ADamagedOrTruncatedFileLosesOnlyItsBadSlots) {
    TempFolder home;
    RecordingPrompter prompter;
    std::vector<CollectionPage> pages(2);
    for (int i = 0; i < 7; ++i) {
        PositionSlot slot;
        slot.setNumber(std::int16_t(i + 1));
        slot.setTexts(Texts(i + 1));
        slot.setPieces(Pieces(kSfens[i % 5]));
        pages[std::size_t(i / 4)].setSlot(i % 4, slot);
    }
    std::string bytes;
    for (const CollectionPage& p : pages) bytes.append(reinterpret_cast<const char*>(p.bytes.data()), p.bytes.size());
    // Slot 2 of page 1 names piece code 99; the file ends inside slot 3 of page 2.
    bytes[kCollectionSlotSize + 266 + 6 + 1] = char(99);
    bytes.resize(kCollectionPageSize + 2 * kCollectionSlotSize + 100);
    testing::TouchFile(home / "bad.kkm", bytes);

    const std::optional<CollectionContents> read = ReadCollection(home / "bad.kkm");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->damaged.size(), 2u);
    EXPECT_EQ(read->damaged[0].page, 0);
    EXPECT_EQ(read->damaged[0].slot, 1);
    EXPECT_EQ(read->damaged[1].page, 1);
    EXPECT_EQ(read->damaged[1].slot, 2);
    EXPECT_TRUE(read->partPage);
    EXPECT_EQ(PositionCount(read->pages), 5);

    PositionCollection c(home.path());
    ASSERT_TRUE(c.OpenFile(home / "bad.kkm", prompter));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].kind, RecordingPrompter::Shown::Warning);
    EXPECT_NE(prompter.shown[0].text.find("1頁の2番目，2頁の3番目"_sj), std::string::npos);
    // Every sound slot is in the working copy byte for byte; the original file is untouched.
    const std::string work = ReadBytes(c.workingCopy());
    ASSERT_EQ(work.size(), 2 * kCollectionPageSize);
    for (int i : {0, 2, 3, 4, 5}) {
        const std::size_t at = std::size_t(i / 4) * kCollectionPageSize + std::size_t(i % 4) * kCollectionSlotSize;
        EXPECT_EQ(work.substr(at, kCollectionSlotSize), bytes.substr(at, kCollectionSlotSize)) << i;
    }
    EXPECT_EQ(ReadBytes(home / "bad.kkm"), bytes);
    EXPECT_EQ(c.appendPage(), 1);
    EXPECT_EQ(c.usedSlots(), 2);

    // A file that cannot be read at all changes nothing.
    fs::create_directory(home / "folder.kkm");
    prompter.shown.clear();
    EXPECT_FALSE(c.OpenFile(home / "folder.kkm", prompter));
    EXPECT_EQ(prompter.shown.at(0).text, "\rファイルの読込に失敗しました！"_sj);
    EXPECT_EQ(c.currentFile(), home / "bad.kkm");
    EXPECT_EQ(ReadBytes(c.workingCopy()), work);
}

TEST(PositionCollection, TheChangedQuestionGuardsNewAndOpen) {
    TempFolder home;
    RecordingPrompter prompter;
    Dialogs dialogs;
    PositionCollection c(home.path());
    ASSERT_TRUE(c.Add(Texts(1), Pieces(kSfens[0]), prompter));

    // Cancel keeps everything.
    prompter.answers = {Answer::Cancel};
    EXPECT_FALSE(c.New(prompter, dialogs.get()));
    EXPECT_EQ(prompter.shown.back().text, "局面図 （無題.kkm） は変更されています。\r\r保存しますか？"_sj);
    EXPECT_EQ(c.usedSlots(), 1);

    // Yes with the save dialog cancelled stops as well: the changes would be lost otherwise.
    prompter.answers = {Answer::Yes};
    dialogs.answer.clear();
    EXPECT_FALSE(c.New(prompter, dialogs.get()));
    EXPECT_EQ(c.usedSlots(), 1);

    // An existing file asks before it is overwritten; No stops.
    testing::TouchFile(home / "old.kkm", "old");
    dialogs.answer = home / "old.kkm";
    prompter.answers = {Answer::Yes, Answer::No};
    EXPECT_FALSE(c.New(prompter, dialogs.get()));
    EXPECT_EQ(prompter.shown.back().text, "old.kkmは既に存在します。\r上書きしますか？"_sj);
    EXPECT_EQ(ReadBytes(home / "old.kkm"), "old");

    // No drops the changes and makes a new empty collection of one page.
    prompter.answers = {Answer::No};
    ASSERT_TRUE(c.New(prompter, dialogs.get()));
    EXPECT_EQ(prompter.shown.back().text, "\r局面図(無題)を作成しました。"_sj);
    EXPECT_EQ(ReadBytes(c.workingCopy()), std::string(kCollectionPageSize, '\0'));
    EXPECT_EQ(c.usedSlots(), 0);
    EXPECT_FALSE(c.changed());

    // Yes saves to the named file and then opens the chosen one.
    ASSERT_TRUE(c.Add(Texts(1), Pieces(kSfens[1]), prompter));
    ASSERT_TRUE(c.Add(Texts(2), Pieces(kSfens[2]), prompter));
    dialogs.answer = home / "kept.kkm";
    prompter.answers = {Answer::Yes};
    ASSERT_TRUE(c.Open(prompter, dialogs.get()));
    EXPECT_EQ(fs::file_size(home / "kept.kkm"), kCollectionPageSize);
    EXPECT_EQ(c.currentFile(), home / "kept.kkm");
    EXPECT_EQ(c.usedSlots(), 2);
}

TEST(CollectionCompaction, DeletingAndInsertingRenumberThePositionsInOrder) {
    std::vector<CollectionPage> pages(2);
    for (int i = 0; i < 6; ++i) {
        PositionSlot slot;
        slot.setNumber(std::int16_t(i + 1));
        slot.setTitle(std::to_string(i + 1));
        slot.setPieces(Pieces(kSfens[i % 5]));
        pages[std::size_t(i / 4)].setSlot(i % 4, slot);
    }
    auto titles = [](const std::vector<CollectionPage>& ps) {
        std::string t;
        for (const CollectionPage& p : ps) {
            for (int s = 0; s < 4; ++s) {
                const PositionSlot slot = p.slot(s);
                t += slot.filled() ? slot.title() + "#" + std::to_string(slot.number()) + " " : std::string("- ");
            }
            t += "| ";
        }
        return t;
    };
    // Diagram 2 deleted: the first of page 2 moves up to the fourth quarter of page 1.
    std::vector<CollectionPage> deleted = pages;
    deleted[0].setSlot(1, PositionSlot{});
    int n = 0;
    EXPECT_EQ(titles(CompactPages(deleted, &n)), "1#1 3#2 4#3 5#4 | 6#5 - - - | ");
    EXPECT_EQ(n, 5);

    // Inserted before diagram 1: numbered 1, the others shifted, the last pushed on.
    PositionSlot clip = pages[1].slot(1);
    EXPECT_EQ(titles(CompactPages(pages, &n, SlotPlace{0, 0}, clip)), "6#1 1#2 2#3 3#4 | 4#5 5#6 6#7 - | ");
    // Into an empty place after the last one.
    EXPECT_EQ(titles(CompactPages(pages, &n, SlotPlace{1, 3}, clip)), "1#1 2#2 3#3 4#4 | 5#5 6#6 6#7 - | ");
    // Everything deleted: one empty page.
    EXPECT_EQ(titles(CompactPages(std::vector<CollectionPage>(3), &n)), "- - - - | ");
    EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace movra
