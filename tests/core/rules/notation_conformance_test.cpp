// The move list against game records written by other shogi programs: every move of a KI2 record
// (the notation with relative words) must read exactly as our move-list line reads it, and no
// other move of the position may read the same. The records are read from the folder named by
// MOVRA_CORPUS; the test is skipped without it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/rules/move_list.h"
#include "core/rules/notation.h"

namespace movra {
namespace {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HasHighBytes(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// The moves of a KI2 line: each starts at a side mark and runs to the next blank or mark (some
// writers put two moves together when the first fills its column).
std::vector<std::string> MoveTokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::string current;
    bool inMove = false;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t length = IsLeadByte(static_cast<std::uint8_t>(line[at])) ? 2 : 1;
        const std::string_view c = std::string_view(line).substr(at, length);
        at += length;
        const bool mark = c == "▲"_sj || c == "△"_sj;
        if (mark || c == " " || c == "\t") {
            if (inMove && !current.empty()) tokens.push_back(current);
            current.clear();
            inMove = mark;
        }
        if (inMove) current += c;
    }
    if (inMove && !current.empty()) tokens.push_back(current);
    return tokens;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

struct Outcome {
    int moves = 0;
    int straightUp = 0;  // 直 in the record where we write 上
    std::vector<std::string> faults;  // UTF-8, for the failure message
    bool skipped = false;
};

// Replays one KI2 record by finding, for each written move, the one move of the position whose
// move-list text is the same.
Outcome CheckRecord(const std::string& cp932) {
    Outcome out;
    char handicap = '0';
    std::vector<std::string> moveTexts;
    for (const std::string& line : Lines(cp932)) {
        if (StartsWith(line, "*") || StartsWith(line, "#")) continue;
        if (StartsWith(line, "変化"_sj)) break;  // variations follow the main line
        if (StartsWith(line, "手合割："_sj)) {
            std::string name = line.substr(("手合割："_sj).size());
            while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.pop_back();
            int number = -1;
            for (int n = 0; n < kHandicapCount; ++n) {
                if (HandicapName(n) == name) number = n;
            }
            if (number < 0) {
                out.skipped = true;  // a handicap this system does not set up
                return out;
            }
            handicap = HandicapChar(number);
            continue;
        }
        if (line.find("持駒"_sj) != std::string::npos || StartsWith(line, "|") ||
            line.find("手番"_sj) != std::string::npos) {
            out.skipped = true;  // a record that starts from a drawn position
            return out;
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        const std::string_view head = std::string_view(line).substr(first, 2);
        if (head != "▲"_sj && head != "△"_sj) continue;  // headers may hold marks too
        for (const std::string& t : MoveTokens(line)) moveTexts.push_back(t);
    }
    if (moveTexts.empty()) {
        out.skipped = true;
        return out;
    }

    BoardPosition position;
    SetUpStandard(position, handicap);
    MoveRecord previous;
    std::vector<MoveCode> candidates;
    for (std::size_t i = 0; i < moveTexts.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const int side = SideToMove(n, 0, handicap);
        const std::string written = moveTexts[i];
        std::string wanted = ReplaceAll(written.substr(2), "龍"_sj, "竜"_sj);
        candidates.clear();
        ListMoves(position, side, candidates);
        std::vector<std::pair<MoveRecord, std::string>> matches;
        std::vector<std::pair<MoveRecord, std::string>> candidateLines;
        std::vector<std::string> sameSquare;
        for (const MoveCode& code : candidates) {
            BoardPosition after = position;
            MoveRecord move;
            if (!ResolveMove(after, code, side, move)) continue;
            const PieceCode before = ApplyMove(after, move);
            const std::string line = MoveLine(n, 0, handicap, after.board, before, move, previous);
            const std::string text = line.substr(kMoveTextOffset);
            if (text == wanted) matches.emplace_back(move, line);
            candidateLines.emplace_back(move, line);
            if (written.substr(2, 4) == text.substr(0, 4)) {
                sameSquare.push_back(Cp932ToUtf8(text));
            }
        }
        if (matches.empty() && wanted.find("直"_sj) != std::string::npos) {
            // Our rule writes 上 for a gold or silver stepping straight up when the other
            // candidates step sideways or back; printed records often write 直 there.
            wanted = ReplaceAll(wanted, "直"_sj, "上"_sj);
            for (const auto& [move, line] : candidateLines) {
                if (line.substr(kMoveTextOffset) == wanted) matches.emplace_back(move, line);
            }
            if (matches.size() == 1) ++out.straightUp;
        }
        if (matches.size() != 1 || SideMark(side) != written.substr(0, 2)) {
            std::string note = "move " + std::to_string(n) + " " + Cp932ToUtf8(written) + ": " +
                               std::to_string(matches.size()) + " moves read so; moves there:";
            for (const std::string& s : sameSquare) note += " " + s;
            out.faults.push_back(note);
            return out;  // the rest of the record cannot be followed
        }
        const MoveRecord move = matches.front().first;
        ApplyMove(position, move);
        Rebuild(position);
        previous = move;
        ++out.moves;
    }
    return out;
}

TEST(NotationConformance, Ki2RecordsOfOtherProgramsReadTheSame) {
    const char* root = std::getenv("MOVRA_CORPUS");
    if (root == nullptr || *root == '\0') GTEST_SKIP() << "MOVRA_CORPUS is not set";
    int files = 0;
    int moves = 0;
    int straightUp = 0;  // 直 in the record where we write 上
    std::vector<std::string> faults;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = entry.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".ki2" && ext != ".ki2u") continue;
        std::string bytes = ReadBytes(entry.path());
        if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        std::string text;
        if (HasHighBytes(bytes) && IsValidUtf8(bytes)) {
            text = Utf8ToCp932(bytes);
        } else if (IsValidCp932(bytes)) {
            text = bytes;
        } else {
            continue;  // another encoding
        }
        Outcome o = CheckRecord(text);
        if (o.skipped) continue;
        ++files;
        moves += o.moves;
        straightUp += o.straightUp;
        for (const std::string& f : o.faults) faults.push_back(entry.path().string() + ": " + f);
    }
    std::string report;
    for (const std::string& f : faults) report += f + "\n";
    EXPECT_TRUE(faults.empty()) << report;
    EXPECT_GT(files, 0);
    std::printf("[ checked  ] %d records, %d moves (%d with 直 read as 上)\n", files, moves,
                straightUp);
}

}  // namespace
}  // namespace movra
