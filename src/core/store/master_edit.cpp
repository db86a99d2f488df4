#include "core/store/master_edit.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

// Columns first-last (1-based, inclusive) of a line, as far as the line reaches.
std::string Columns(const std::string& line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

int Number(std::string_view text) {
    const std::string t = Trim(text);
    int n = 0;
    const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    return ec == std::errc{} && ptr == t.data() + t.size() ? n : 0;
}

}  // namespace

bool LoadPlayersForEditing(const std::filesystem::path& datFolder, PlayerTable& table) {
    table.Clear();
    std::ifstream in(FindFileNoCase(datFolder, kPlayerFileName), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() <= 5) continue;
        const int number = Number(line.substr(0, 3));
        if (number < 1 || number > kLargestFilePlayer) continue;
        table.SetEntry(number, line[4], Columns(line, 7, 26), Columns(line, 27, 46));
    }
    return true;
}

bool IsFreePlayerSlot(const PlayerEntry& e) {
    return e.number != 0 && !e.name.empty() && e.name[0] == '@';
}

std::vector<int> PlayerListNumbers(const PlayerTable& table, char category, PlayerColumn order) {
    std::vector<int> numbers;
    for (int n = 1; n < kPlayerCapacity; ++n) {
        const PlayerEntry& e = table.Entry(n);
        if (e.number != 0 && e.category == category && !IsFreePlayerSlot(e)) numbers.push_back(n);
    }
    if (order != PlayerColumn::Number) {
        std::stable_sort(numbers.begin(), numbers.end(), [&](int a, int b) {
            const PlayerEntry& x = table.Entry(a);
            const PlayerEntry& y = table.Entry(b);
            return order == PlayerColumn::Kanji ? x.name < y.name : x.kana < y.kana;
        });
    }
    return numbers;
}

int SlotForNewPlayer(const PlayerTable& table, char category) {
    for (int n = 1; n <= kLargestFilePlayer; ++n) {
        const PlayerEntry& e = table.Entry(n);
        if (IsFreePlayerSlot(e) && e.category == category) return n;
    }
    // No slot was freed for the category: a number no line uses yet, so that registering never
    // overwrites another player.
    for (int n = 1; n <= kLargestFilePlayer; ++n) {
        if (table.Entry(n).number == 0) return n;
    }
    return 0;
}

std::string CheckPlayerNames(std::string_view kanji, std::string_view kana) {
    const std::string name = Trim(kanji);
    if (name.empty()) return "\r漢字氏名を入力して下さい。"_sj;
    if (name.size() > kMasterNameBytes) return "漢字氏名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj;
    if (Trim(kana).size() > kMasterNameBytes) return "カナ氏名が長すぎます。\r半角２０文字以内で入力して下さい。"_sj;
    return {};
}

void StorePlayer(PlayerTable& table, int number, char category, std::string_view kanji,
                 std::string_view kana) {
    const PlayerEntry& e = table.Entry(number);
    const char keep = e.number != 0 && e.category != ' ' ? e.category : category;
    table.SetEntry(number, keep, PadOrCut(Trim(kanji), kMasterNameBytes), PadOrCut(Trim(kana), kMasterNameBytes));
}

void FreePlayer(PlayerTable& table, int number) {
    const PlayerEntry& e = table.Entry(number);
    table.SetEntry(number, e.category, PadOrCut("@", kMasterNameBytes), std::string(kMasterNameBytes, ' '));
}

std::string CheckMasterName(MasterNameKind kind, std::string_view name) {
    if (Trim(name).size() <= kMasterNameBytes) return {};
    switch (kind) {
        case MasterNameKind::Tournament: return "棋戦名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj;
        case MasterNameKind::SubTournament: return "詳細棋戦名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj;
        case MasterNameKind::Opening: return "戦型名が長すぎます。\r全角１０文字以内で入力して下さい。"_sj;
    }
    return {};
}

namespace {

void Rename(MasterRow& row, int number, std::string_view name) {
    const std::string trimmed = Trim(name);
    if (trimmed.empty()) {
        row = MasterRow{};
        return;
    }
    if (row.number == 0) row.number = std::uint16_t(number);
    if (row.order < 0) row.order = 0;
    row.name = trimmed;
}

}  // namespace

void RenameTournament(TournamentTable& table, int position, std::string_view name) {
    MasterRow& row = table.MutableRow(position - 1);
    // A tournament keeps its number (its sub-tournaments are filed under it); an empty row takes
    // its position.
    const std::uint16_t number = row.number;
    Rename(row, position, name);
    if (!row.name.empty() && number != 0) row.number = number;
}

const MasterRow& SubTournamentOfRow(const TournamentTable& table, int position, int sub) {
    const MasterRow& row = table.Row(position - 1);
    const int t = row.number >= 1 && row.number <= kTournamentRows ? row.number : position;
    return table.SubRow(t, sub - 1);
}

void RenameSubTournament(TournamentTable& table, int position, int sub, std::string_view name) {
    const MasterRow& row = table.Row(position - 1);
    const int t = row.number >= 1 && row.number <= kTournamentRows ? row.number : position;
    Rename(table.MutableSubRow(t, sub - 1), sub, name);
}

void RenameOpening(OpeningTable& table, int position, std::string_view name) {
    Rename(table.MutableRow(position - 1), position, name);
}

std::string MasterRowText(int position, std::string_view name) {
    char number[16];
    std::snprintf(number, sizeof number, "%6d", position);
    return std::string(number) + "     " + std::string(name);
}

std::string MasterUpdatedMessage(MasterNameKind kind) {
    return kind == MasterNameKind::Opening ? "\r戦型名データを更新しました。"_sj : "\r棋戦名データを更新しました。"_sj;
}

std::string MasterCloseQuestion(MasterNameKind kind) {
    return kind == MasterNameKind::Opening
               ? "戦型名データが変更されています！\r更新せずに終了してよろしいですか？"_sj
               : "棋戦名データが変更されています！\r更新せずに終了してよろしいですか？"_sj;
}

std::string PlayersUpdatedMessage() { return "\r棋士名データを更新しました。"_sj; }
std::string PlayersCloseQuestion() {
    return "棋士名データが変更されています！\r更新せずに終了してよろしいですか？"_sj;
}
std::string PlayersUnreadableMessage() { return "\r棋士名データが読めません。"_sj; }
std::string NoPlayerSlotMessage() { return "\r登録できる棋士番号がありません。"_sj; }
std::string TournamentNotNamedMessage() { return "\r棋戦名が登録されていません。"_sj; }
std::string MasterWriteFailedMessage(const std::filesystem::path& path) {
    return "\r"_sj + StoredPath(path) + "\r\rに書き込めませんでした。"_sj;
}

}  // namespace movra
