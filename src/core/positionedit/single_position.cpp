#include "core/positionedit/single_position.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {
using namespace movra::literals;
using namespace movra::patlayout;

namespace {

constexpr int kSquares = 81;
// Hand counts are listed strongest first.
constexpr std::array<PieceKind, kHandKinds> kLineHandOrder{kind::Gyoku, kind::Hi,  kind::Kaku, kind::Kin,
                                                           kind::Gin,   kind::Kei, kind::Kyo,  kind::Fu};
// How many pieces of each kind (1-8) a set has.
constexpr std::array<int, 9> kSetCounts{0, 18, 4, 4, 4, 4, 2, 2, 2};
// A file bigger than this is no single position file.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

// Square i (0-80) of the line: rank by rank from rank 1, within a rank from file 9 down.
constexpr int FileOfSquare(int i) { return 9 - i % 9; }
constexpr int RankOfSquare(int i) { return i / 9 + 1; }

std::filesystem::path NativeName(std::string_view cp932Name) {
    return std::filesystem::path(Cp932ToUtf8(cp932Name));
}

// The text cut to `width` bytes on a character boundary and padded with blanks.
std::string FixedWidth(std::string_view text, std::size_t width) {
    std::size_t n = std::min(width, text.size());
    while (n > 0 && !IsCharBoundary(text, n)) --n;
    std::string out(text.substr(0, n));
    out.resize(width, ' ');
    return out;
}

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string PositionLine(const BoardPosition& position) {
    std::string line(kLineSize, '0');
    std::array<std::array<int, 9>, 2> hands{};
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& e = position.pieces[i];
        if (e.present == 0 || !IsPiece(e.code)) continue;
        if (IsBoardSquare(e.file, e.rank)) {
            const std::size_t square = std::size_t((e.rank - 1) * 9 + (9 - e.file));
            line[kLettersAt + square] = CodeToLetter(e.code);
            line[kSidesAt + square] = IsGote(e.code) ? '2' : '1';
        } else if (e.file == location::kSenteHand || e.file == location::kGoteHand) {
            ++hands[e.file == location::kGoteHand ? 1 : 0][KindOf(e.code)];
        }
    }
    for (std::size_t side = 0; side < 2; ++side) {
        for (std::size_t j = 0; j < kHandKinds; ++j) {
            const int count = std::min<int>(hands[side][kLineHandOrder[j]], int(kCountDigits.size()) - 1);
            line[kHandsAt + side * kHandKinds + j] = kCountDigits[std::size_t(count)];
        }
    }
    return line;
}

std::optional<std::string> PositionLineProblem(std::string_view line) {
    if (line.size() < kLineSize) return std::string("\r局面データが壊れています！"_sj);
    std::array<int, 9> used{};
    for (int i = 0; i < kSquares; ++i) {
        const char letter = line[kLettersAt + std::size_t(i)];
        const char sideChar = line[kSidesAt + std::size_t(i)];
        if (letter == '0' && sideChar == '0') continue;
        const PieceCode code = LetterToCode(letter, sideChar);
        if (code == 0) return std::string("\r局面データが壊れています！"_sj);
        ++used[KindOf(code)];
    }
    for (std::size_t j = 0; j < 2 * kHandKinds; ++j) {
        const std::size_t count = kCountDigits.find(line[kHandsAt + j]);
        if (count == std::string_view::npos) return std::string("\r局面データが壊れています！"_sj);
        used[kLineHandOrder[j % kHandKinds]] += int(count);
    }
    for (PieceKind k = kind::Fu; k <= kind::Gyoku; ++k) {
        if (used[k] > kSetCounts[k]) {
            return std::string("\r駒の数が多すぎるため、この局面は読み込めません！"_sj);
        }
    }
    return std::nullopt;
}

std::string SinglePositionFileText(std::string_view positionName, const BoardPosition& position) {
    return "99\r\n" + std::string(positionName) + "\r\n" + PositionLine(position) + "\r\n";
}

std::filesystem::path SinglePositionFolder(const std::filesystem::path& programFolder) {
    return ResolvePath(programFolder, "DATA/Kyokumen");
}

std::optional<std::string> SinglePositionFileName(std::string_view typed) {
    const std::string text = Trim(typed);
    // The name part: what follows the last separator (a trail byte of a double-byte character
    // may equal "\" and is no separator).
    std::size_t nameStart = 0;
    std::size_t lastDot = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (IsLeadByte(b) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (b == '\\' || b == '/' || b == ':') {
            nameStart = i + 1;
            lastDot = std::string::npos;
        } else if (b == '.') {
            lastDot = i;
        }
    }
    const std::string name = text.substr(nameStart);
    std::string base = name;
    if (lastDot != std::string::npos) {
        const std::string extension = text.substr(lastDot);
        base = text.substr(nameStart, lastDot - nameStart);
        if (UpperCaseAscii(extension) == ".PAT") return base.empty() ? std::nullopt : std::optional(name);
    }
    if (Trim(base).empty()) return std::nullopt;
    return base + ".pat";
}

std::string SinglePositionName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0));
}

bool SinglePositionExists(const std::filesystem::path& programFolder, std::string_view fileName) {
    return FileExistsNoCase(SinglePositionFolder(programFolder), Cp932ToUtf8(fileName));
}

bool WriteSinglePosition(const std::filesystem::path& programFolder, std::string_view fileName,
                         std::string_view positionName, const BoardPosition& position) {
    std::error_code ec;
    const std::filesystem::path folder = SinglePositionFolder(programFolder);
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) return false;
    // An existing file of the same name in another case of letters is the one replaced.
    const std::filesystem::path target = FileExistsNoCase(folder, Cp932ToUtf8(fileName))
                                             ? ResolvePath(folder, Cp932ToUtf8(fileName))
                                             : folder / NativeName(fileName);
    const std::filesystem::path temporary = folder / (target.filename().string() + ".$$$");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const std::string text = SinglePositionFileText(positionName, position);
        out.write(text.data(), std::streamsize(text.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

bool DeleteSinglePosition(const std::filesystem::path& programFolder, std::string_view fileName) {
    const std::filesystem::path folder = SinglePositionFolder(programFolder);
    if (!FileExistsNoCase(folder, Cp932ToUtf8(fileName))) return false;
    std::error_code ec;
    return std::filesystem::remove(ResolvePath(folder, Cp932ToUtf8(fileName)), ec) && !ec;
}

std::string SinglePositionEntry::shownName() const {
    return text.size() > kNumberSize ? text.substr(kNumberSize, kNameSize) : std::string();
}

std::string SinglePositionEntry::positionText() const { return text.substr(0, kPositionTextSize); }

std::vector<SinglePositionEntry> ListSinglePositions(const std::filesystem::path& programFolder) {
    std::vector<SinglePositionEntry> entries;
    const std::filesystem::path folder = SinglePositionFolder(programFolder);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return entries;
    for (const auto& item : it) {
        const std::filesystem::path path = item.path();
        if (UpperExtension(path) != ".PAT") continue;
        SinglePositionEntry entry;
        entry.fileName = Utf8ToCp932(path.filename().string());
        std::string content;
        const std::vector<std::string> lines =
            ReadRegularFile(path, kMaxFileBytes, content) == FileReadStatus::Ok ? SplitLines(content)
                                                                                 : std::vector<std::string>{};
        if (lines.size() >= 3) {
            const std::string number = "00" + lines[0];
            entry.text = number.substr(number.size() - 2) + FixedWidth(lines[1], kNameSize) +
                         FixedWidth(lines[2], kLineSize) + entry.fileName;
            entry.readable = true;
        } else {
            entry.text = entry.fileName;
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const SinglePositionEntry& a, const SinglePositionEntry& b) { return a.text < b.text; });
    return entries;
}

}  // namespace movra

#include "core/record/kif_data.h"

namespace movra {

std::optional<std::string> LoadSinglePositionText(TKifData& record, std::string_view positionText) {
    if (positionText.size() < kPositionTextSize) return std::string("\r局面データが壊れています！"_sj);
    if (auto problem = PositionLineProblem(positionText.substr(kNumberSize + kNameSize, kLineSize))) {
        return problem;
    }
    record.LoadPositionText(positionText);
    return std::nullopt;
}

}  // namespace movra
