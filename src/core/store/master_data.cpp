#include "core/store/master_data.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <sstream>
#include <system_error>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/text/range_error.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kOrderFieldBytes = 30;
constexpr std::size_t kPlayerDisplayBytes = 30;
constexpr std::size_t kTournamentDisplayBytes = 20;
constexpr std::size_t kOpeningDisplayBytes = 30;

// The lines of a text file without their CR LF (a lone LF ends a line too); nullopt when the
// file cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    const std::string text = content.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
        lines.emplace_back(text, start, lineEnd - start);
        if (last) break;
        start = end + 1;
    }
    return lines;
}

// Writes the lines with CR LF through a temporary file that replaces the old one only when it
// is complete, so a failed write leaves the old file as it was.
bool WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::filesystem::path temporary = path;
    temporary += "$";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& line : lines) {
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
            out.write("\r\n", 2);
        }
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

// Columns from-to (1-based, inclusive) of a line; shorter when the line is shorter, and one
// byte shorter when the last byte would be the first half of a double-byte character.
std::string Columns(std::string_view line, std::size_t from, std::size_t to) {
    if (from > line.size()) return {};
    std::size_t end = std::min(to, line.size());
    if (end > 0 && !IsCharBoundary(line, end)) --end;
    if (end < from - 1) return {};
    return std::string(line.substr(from - 1, end - (from - 1)));
}

// The bytes of a text up to width, never ending inside a double-byte character.
std::string CutToBytes(std::string_view text, std::size_t width) {
    if (text.size() <= width) return std::string(text);
    std::size_t end = width;
    if (!IsCharBoundary(text, end)) --end;
    return std::string(text.substr(0, end));
}

// A decimal number of digits only, after trimming; nullopt for anything else.
std::optional<int> ParseNumber(std::string_view text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : trimmed) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string NumberMark(int number) { return "[#" + std::to_string(number) + "]"; }

std::string Printf(const char* format, int number, std::string_view text) {
    char head[16];
    std::snprintf(head, sizeof head, format, number);
    return std::string(head) + std::string(text);
}

const MasterRow kEmptyRow{};

// Look-ups shared by the tournament, sub-tournament and opening rows; a row without a name is
// an empty slot and never matches.

// The number of the row at that position of the selection list; 0 when none.
int NumberAt(std::span<const MasterRow> rows, int position) {
    for (const MasterRow& r : rows) {
        if (r.order == position && !r.name.empty()) return r.number;
    }
    return 0;
}

// The number of the first row whose name equals the name, blanks ignored on both sides; 0 when
// none or when the name is blank.
int NumberNamed(std::span<const MasterRow> rows, std::string_view name) {
    const std::string wanted = RemoveSpaces(name);
    if (wanted.empty()) return 0;
    for (const MasterRow& r : rows) {
        if (!r.name.empty() && RemoveSpaces(r.name) == wanted) return r.number;
    }
    return 0;
}

// The list position of the row with that number; -1 for 0 or when no row has it.
int OrderOf(std::span<const MasterRow> rows, int number) {
    if (number == 0) return -1;
    for (const MasterRow& r : rows) {
        if (r.number == number && !r.name.empty()) return r.order;
    }
    return -1;
}

// The row's name for a number, "[#n]" when no row has it, nothing for 0; padded to width bytes.
std::string DisplayNameOf(std::span<const MasterRow> rows, int number, std::size_t width) {
    if (number == 0) return PadOrCut("", width);
    for (const MasterRow& r : rows) {
        if (r.number == number && !r.name.empty()) return PadOrCut(r.name, width);
    }
    return PadOrCut(NumberMark(number), width);
}

}  // namespace

std::string UnregisteredPlayerText() { return std::string("(未登録)"_sj); }

std::string PadOrCut(std::string_view text, std::size_t width) {
    std::string out = CutToBytes(text, width);
    out.resize(width, ' ');
    return out;
}

std::string PlayerShortName(std::string_view name) {
    return CutToBytes(RemoveSpaces(name), kPlayerShortNameBytes);
}

std::filesystem::path FindFileNoCase(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path exact = folder / std::string(name);
    std::error_code error;
    if (std::filesystem::exists(exact, error)) return exact;
    const auto lower = [](std::string s) {
        for (char& c : s) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return s;
    };
    const std::string wanted = lower(std::string(name));
    std::filesystem::directory_iterator it(folder, error);
    if (error) return exact;
    for (const auto& entry : it) {
        if (lower(entry.path().filename().string()) == wanted) return entry.path();
    }
    return exact;
}

std::filesystem::path MasterFolder(const std::filesystem::path& datFolder,
                                   const std::filesystem::path& programFolder) {
    return datFolder.empty() ? programFolder : datFolder;
}

bool CheckDatFolder(const std::filesystem::path& folder, Prompter* prompter) {
    std::string missing;
    for (std::string_view name : {kPlayerFileName, kTournamentFileName, kOpeningFileName}) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(FindFileNoCase(folder, name), error)) {
            missing += "\r" + std::string(name);
        }
    }
    if (missing.empty()) return true;
    if (prompter != nullptr) prompter->Warn("以下のファイルがありません！\r"_sj + missing);
    return false;
}

GameNames ReadGameNames(const StoreReader& reader, long k) {
    GameNames names{UnregisteredPlayerText(), UnregisteredPlayerText()};
    if (!reader.store().extended()) return names;
    DetailRecord detail;
    if (!reader.ReadDetailRecord(k, detail)) return names;
    if (!detail.senteName().empty()) names.sente = detail.senteName();
    if (!detail.goteName().empty()) names.gote = detail.goteName();
    return names;
}

// ---------------------------------------------------------------------------------------------
// PlayerTable

PlayerTable::PlayerTable() : entries_(kPlayerCapacity) {}

void PlayerTable::Clear() {
    for (PlayerEntry& e : entries_) e = PlayerEntry{};
    order_.clear();
}

bool PlayerTable::Load(const std::filesystem::path& datFolder, bool sortByKana) {
    Clear();
    const auto lines = ReadLines(FindFileNoCase(datFolder, kPlayerFileName));
    if (!lines) return false;
    const std::string_view freeMark = "　"_sj;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        if (line.size() <= 5) continue;
        if (std::string_view(line).substr(5, 2) == freeMark) continue;
        int number = ParseNumber(line.substr(0, 3)).value_or(0);
        const char category = line[4];
        const std::string name = Columns(line, 7, 26);
        const std::string kana = Columns(line, 27, 46);
        SetEntry(number, category, name, kana);
        const PlayerEntry& e = entries_[number];
        order_.push_back(std::string(1, category) + PadOrCut(e.kana, kOrderFieldBytes) +
                         PadOrCut(e.name, kOrderFieldBytes) + ZeroPad(number, 4) +
                         ZeroPad(static_cast<long long>(i), 4));
    }
    if (sortByKana) std::stable_sort(order_.begin(), order_.end());
    return true;
}

void PlayerTable::SetEntry(int number, char category, std::string_view name, std::string_view kana) {
    PlayerEntry& e = MutableEntry(number);
    e.number = static_cast<std::uint16_t>(number);
    e.category = category;
    e.name = CutToBytes(name, kMasterNameBytes);
    e.kana = CutToBytes(kana, kMasterNameBytes);
    e.shortName = PlayerShortName(e.name);
}

const PlayerEntry& PlayerTable::Entry(int number) const {
    static const PlayerEntry kEmpty{};
    if (number < 0 || number >= kPlayerCapacity) return kEmpty;
    return entries_[static_cast<std::size_t>(number)];
}

PlayerEntry& PlayerTable::MutableEntry(int number) {
    if (number < 0 || number >= kPlayerCapacity) {
        throw RangeError("player number " + std::to_string(number) + " outside the table");
    }
    return entries_[static_cast<std::size_t>(number)];
}

int PlayerTable::NumberByName(std::string_view name) const {
    const std::string wanted = RemoveSpaces(name);
    if (wanted.empty()) return 0;
    for (int n = 1; n < kPlayerCapacity; ++n) {
        const PlayerEntry& e = entries_[static_cast<std::size_t>(n)];
        if (!e.shortName.empty() && RemoveSpaces(e.shortName) == wanted) return n;
    }
    return 0;
}

std::string PlayerTable::DisplayName(int number) const {
    if (number == 0) return PadOrCut(UnregisteredPlayerText(), kPlayerDisplayBytes);
    const PlayerEntry& e = Entry(number);
    if (!RemoveSpaces(e.name).empty()) return PadOrCut(e.name, kPlayerDisplayBytes);
    return PadOrCut(NumberMark(number), kPlayerDisplayBytes);
}

int PlayerTable::OrderLineNumber(std::string_view line) {
    constexpr std::size_t at = 1 + 2 * kOrderFieldBytes;
    if (line.size() < at + 4) return 0;
    return ParseNumber(line.substr(at, 4)).value_or(0);
}

int PlayerTable::OrderPosition(int number) const {
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (OrderLineNumber(order_[i]) == number) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::vector<int> PlayerTable::FileCannotHold() const {
    std::vector<int> numbers;
    for (int n = kLargestFilePlayer + 1; n < kPlayerCapacity; ++n) {
        const PlayerEntry& e = entries_[static_cast<std::size_t>(n)];
        if (e.category != ' ' && !e.name.empty()) numbers.push_back(n);
    }
    return numbers;
}

bool PlayerTable::Write(const std::filesystem::path& datFolder) const {
    const std::string freeSlot = "　"_sj + std::string(39, ' ');
    std::vector<std::string> lines;
    for (int n = 1; n <= kLargestFilePlayer; ++n) {
        const PlayerEntry& e = entries_[static_cast<std::size_t>(n)];
        if (e.category == ' ' || e.name.empty()) continue;
        std::string line = Printf("%3d", n, " ");
        line += e.category;
        if (e.name.starts_with("@ ")) {
            line += freeSlot;
        } else {
            line += ' ';
            line += PadOrCut(e.name, kMasterNameBytes);
            line += PadOrCut(e.kana, kMasterNameBytes);
        }
        lines.push_back(std::move(line));
    }
    return WriteLines(FindFileNoCase(datFolder, kPlayerFileName), lines);
}

// ---------------------------------------------------------------------------------------------
// TournamentTable

void TournamentTable::Clear() {
    rows_.fill(MasterRow{});
    for (auto& subs : subRows_) subs.fill(MasterRow{});
}

bool TournamentTable::Load(const std::filesystem::path& datFolder, Prompter& prompter) {
    Clear();
    const auto lines = ReadLines(FindFileNoCase(datFolder, kTournamentFileName));
    if (!lines) {
        prompter.Warn("\r棋戦名データが読めません。"_sj);
        return false;
    }
    int row = 0;
    int order = 0;
    int current = -1;  // no tournament line seen yet: "++" lines have nothing to belong to
    std::array<int, kTournamentRows + 1> subLine{};
    std::array<int, kTournamentRows + 1> subOrder{};
    for (std::string line : *lines) {
        if (!line.empty() && line[0] == ' ') line = "0" + line.substr(1, 22);
        if (line.empty()) continue;
        if (IsDigit(line[0])) {
            if (row >= kTournamentRows) break;
            const std::string name = Trim(Columns(line, 4, 23));
            if (RemoveSpaces(name).empty()) {
                ++row;
                continue;
            }
            const std::optional<int> number = ParseNumber(line.substr(0, 2));
            if (!number) continue;
            ++order;
            rows_[static_cast<std::size_t>(row)] = {static_cast<std::uint16_t>(*number),
                                                    static_cast<std::int16_t>(order), name};
            current = *number;
            subLine[static_cast<std::size_t>(current)] = 0;
            subOrder[static_cast<std::size_t>(current)] = 0;
            ++row;
        } else if (line.starts_with("++")) {
            if (current < 0) continue;
            const auto t = static_cast<std::size_t>(current);
            const int index = subLine[t]++;
            if (index >= kSubTournamentRows) continue;
            const std::string name = Trim(Columns(line, 6, 25));
            const std::optional<int> number = ParseNumber(Columns(line, 3, 4));
            if (RemoveSpaces(name).empty() || !number || *number < 1 ||
                *number > kSubTournamentRows) {
                continue;
            }
            ++subOrder[t];
            subRows_[t][static_cast<std::size_t>(index)] = {
                static_cast<std::uint16_t>(*number), static_cast<std::int16_t>(subOrder[t]), name};
        }
    }
    return true;
}

bool TournamentTable::Write(const std::filesystem::path& datFolder) const {
    std::vector<std::string> lines;
    for (int position = 1; position <= kTournamentFileRows; ++position) {
        const MasterRow& r = rows_[static_cast<std::size_t>(position - 1)];
        if (r.name.empty()) continue;
        lines.push_back(Printf("%2d", position, " " + CutToBytes(r.name, kMasterNameBytes)));
        const int t = r.number >= 1 && r.number <= kTournamentRows ? r.number : position;
        const auto& subs = subRows_[static_cast<std::size_t>(t)];
        for (int s = 1; s <= kSubTournamentRows; ++s) {
            const MasterRow& sub = subs[static_cast<std::size_t>(s - 1)];
            if (sub.name.empty()) continue;
            lines.push_back("++" + ZeroPad(s, 2) + " " + CutToBytes(sub.name, kMasterNameBytes));
        }
    }
    return WriteLines(FindFileNoCase(datFolder, kTournamentFileName), lines);
}

const MasterRow& TournamentTable::Row(int index) const {
    if (index < 0 || index >= kTournamentRows) return kEmptyRow;
    return rows_[static_cast<std::size_t>(index)];
}

MasterRow& TournamentTable::MutableRow(int index) {
    if (index < 0 || index >= kTournamentRows) throw RangeError("tournament row outside the table");
    return rows_[static_cast<std::size_t>(index)];
}

const MasterRow& TournamentTable::SubRow(int tournament, int index) const {
    if (tournament < 0 || tournament > kTournamentRows || index < 0 || index >= kSubTournamentRows) {
        return kEmptyRow;
    }
    return subRows_[static_cast<std::size_t>(tournament)][static_cast<std::size_t>(index)];
}

MasterRow& TournamentTable::MutableSubRow(int tournament, int index) {
    if (tournament < 0 || tournament > kTournamentRows || index < 0 || index >= kSubTournamentRows) {
        throw RangeError("sub-tournament row outside the table");
    }
    return subRows_[static_cast<std::size_t>(tournament)][static_cast<std::size_t>(index)];
}

int TournamentTable::NumberByPosition(int position) const { return NumberAt(rows_, position); }

int TournamentTable::NumberByName(std::string_view name) const { return NumberNamed(rows_, name); }

int TournamentTable::Order(int number) const { return OrderOf(rows_, number); }

std::string TournamentTable::NameByPosition(int position) const {
    for (const MasterRow& r : rows_) {
        if (r.order == position && !r.name.empty()) return r.name;
    }
    return {};
}

std::string TournamentTable::DisplayName(int number) const {
    return DisplayNameOf(rows_, number, kTournamentDisplayBytes);
}

std::span<const MasterRow> TournamentTable::SubRows(int tournament) const {
    if (tournament < 0 || tournament > kTournamentRows) return {};
    return subRows_[static_cast<std::size_t>(tournament)];
}

int TournamentTable::SubNumberByPosition(int tournament, int position) const {
    return NumberAt(SubRows(tournament), position);
}

int TournamentTable::SubNumberByName(int tournament, std::string_view name) const {
    return NumberNamed(SubRows(tournament), name);
}

int TournamentTable::SubOrder(int tournament, int number) const {
    return OrderOf(SubRows(tournament), number);
}

std::string TournamentTable::SubDisplayName(int tournament, int number) const {
    if (tournament == 0) return PadOrCut("", kTournamentDisplayBytes);
    return DisplayNameOf(SubRows(tournament), number, kTournamentDisplayBytes);
}

// ---------------------------------------------------------------------------------------------
// OpeningTable

void OpeningTable::Clear() { rows_.fill(MasterRow{}); }

bool OpeningTable::Load(const std::filesystem::path& datFolder, Prompter& prompter) {
    Clear();
    const auto lines = ReadLines(FindFileNoCase(datFolder, kOpeningFileName));
    if (!lines) {
        prompter.Warn("\r戦型名データが読めません。"_sj);
        return false;
    }
    int order = 0;
    const std::size_t count = std::min<std::size_t>(lines->size(), kOpeningRows);
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = (*lines)[i];
        if (line.size() > 3) {
            for (std::size_t c = 0; c < 3; ++c) {
                if (line[c] == ' ') line[c] = '0';
            }
        }
        const std::string name = Trim(Columns(line, 5, 24));
        if (RemoveSpaces(name).empty()) continue;
        ++order;
        rows_[i] = {static_cast<std::uint16_t>(ParseNumber(line.substr(0, 3)).value_or(0)),
                    static_cast<std::int16_t>(order), name};
    }
    return true;
}

bool OpeningTable::Write(const std::filesystem::path& datFolder) const {
    std::vector<std::string> lines;
    for (int position = 1; position <= kOpeningRows; ++position) {
        const MasterRow& r = rows_[static_cast<std::size_t>(position - 1)];
        if (r.name.empty()) continue;
        lines.push_back(Printf("%3d", position, " " + CutToBytes(r.name, kMasterNameBytes)));
    }
    return WriteLines(FindFileNoCase(datFolder, kOpeningFileName), lines);
}

const MasterRow& OpeningTable::Row(int index) const {
    if (index < 0 || index >= kOpeningRows) return kEmptyRow;
    return rows_[static_cast<std::size_t>(index)];
}

MasterRow& OpeningTable::MutableRow(int index) {
    if (index < 0 || index >= kOpeningRows) throw RangeError("opening row outside the table");
    return rows_[static_cast<std::size_t>(index)];
}

int OpeningTable::NumberByPosition(int position) const { return NumberAt(rows_, position); }

int OpeningTable::NumberByName(std::string_view name) const { return NumberNamed(rows_, name); }

int OpeningTable::Order(int number) const { return OrderOf(rows_, number); }

std::string OpeningTable::DisplayName(int number) const {
    return DisplayNameOf(rows_, number, kOpeningDisplayBytes);
}

}  // namespace movra
