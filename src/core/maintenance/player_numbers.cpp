#include "core/maintenance/player_numbers.h"

#include <vector>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/maintenance/rewrite_support.h"
#include "core/store/layout.h"
#include "core/store/open_store.h"
#include "core/store/store_journal.h"

namespace movra::maintenance {

using namespace movra::literals;
namespace fs = std::filesystem;

std::string PlayerNumbersCaption() { return std::string("【 棋士番号設定中 】"_sj); }

namespace {


// The index file with its header, read whole.
std::vector<std::uint8_t> ReadIndexFile(const StoreFiles& files, std::uint32_t count) {
    std::vector<std::uint8_t> bytes((std::size_t(count) + 1) * kIndexRecordSize);
    RecordFile index;
    if (!index.Open(files.IndexPath(), kIndexRecordSize, RecordFile::Access::Read) ||
        index.Read(0, bytes.data(), std::size_t(count) + 1) != bytes.size()) {
        throw StoreIoError("cannot read", files.IndexPath());
    }
    return bytes;
}

// The changed index file takes the store's name.
bool PutIndexInPlace(const StoreFiles& files, const std::vector<std::uint8_t>& bytes, std::uint32_t count,
                     Prompter& prompter, RecordWriter& layer) {
    const fs::path temporary = files.Path(ext::kTempIndex);
    try {
        LayeredBlockWriter out(layer);
        out.Create(temporary, kIndexRecordSize, 32768);
        for (std::uint32_t k = 0; k <= count; ++k) out.Append(bytes.data() + std::size_t(k) * kIndexRecordSize);
        out.Finish();
    } catch (const StoreIoError&) {
        if (files.Exists(ext::kTempIndex)) layer.Remove(temporary);
        throw;
    }
    StoreReplacement plan;
    const fs::path index = files.IndexPath();
    plan.files.push_back({temporary, index, files.Path(ext::kOldIndex), "DeleteError! (" + PathText(index) + ")",
                          "RenameError! No.01"});
    if (ReplaceStoreFiles(files, plan, prompter, layer)) return true;
    if (files.Exists(ext::kTempIndex)) layer.Remove(temporary);
    return false;
}

}  // namespace

IndexRewrite SetPlayerNumbersFromNames(GameStore& store, const PlayerTable& players, Prompter& prompter,
                                       RecordWriter& layer) {
    IndexRewrite result;
    std::uint32_t count = 0;
    if (!store.extended() || !OpenStoreIsWhole(store, prompter, layer, count)) return result;
    std::vector<std::uint8_t> bytes = ReadIndexFile(store.files, count);
    RecordBlockReader details;
    if (!details.Open(store.files.Path(ext::kDetail), kDetailRecordSize, 0, 1024)) {
        throw StoreIoError("cannot open", store.files.Path(ext::kDetail));
    }
    const std::string caption = PlayerNumbersCaption();
    std::uint32_t k = 0;
    const std::uint8_t* block = nullptr;
    DetailRecord detail;
    while (const std::size_t n = details.Next(block)) {
        for (std::size_t i = 0; i < n && k < count; ++i) {
            ++k;
            std::uint8_t* record = bytes.data() + std::size_t(k) * kIndexRecordSize;
            IndexRecord index = IndexRecord::FromBytes(record);
            if (index.sentePlayer() != 0 && index.gotePlayer() != 0) continue;
            std::copy(block + i * kDetailRecordSize, block + (i + 1) * kDetailRecordSize, detail.bytes.begin());
            // The number of the player a side's name names, or 0.
            const auto numberOf = [&](std::string_view shown) {
                const std::string name = RemoveSpaces(shown);
                return name.empty() ? 0 : players.NumberByName(name);
            };
            const int sente = index.sentePlayer() == 0 ? numberOf(detail.senteName()) : 0;
            const int gote = index.gotePlayer() == 0 ? numberOf(detail.goteName()) : 0;
            if (sente != 0) index.setSentePlayer(std::uint16_t(sente));
            if (gote != 0) index.setGotePlayer(std::uint16_t(gote));
            const bool changed = sente != 0 || gote != 0;
            if (changed) {
                std::copy(index.bytes.begin(), index.bytes.end(), record);
                ++result.changed;
            }
            if (k % kProgressEvery == 0 && !prompter.Progress(caption, long(k), long(count))) {
                prompter.EndProgress();
                return IndexRewrite{};
            }
        }
    }
    prompter.EndProgress();
    if (result.changed > 0 && !PutIndexInPlace(store.files, bytes, count, prompter, layer)) return IndexRewrite{};
    result.ok = true;
    return result;
}

std::uint32_t CountGamesOfPlayer(const GameStore& store, int number) {
    RecordBlockReader reader;
    if (!OpenIndexReader(store, reader)) throw StoreIoError("cannot open", store.files.IndexPath());
    std::uint32_t games = 0;
    const std::uint8_t* block = nullptr;
    while (const std::size_t n = reader.Next(block)) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t* r = block + i * kIndexRecordSize;
            if (LoadU16(r) == number || LoadU16(r + 2) == number) ++games;
        }
    }
    return games;
}

IndexRewrite ReplacePlayerNumber(GameStore& store, int from, int to, Prompter& prompter, RecordWriter& layer) {
    IndexRewrite result;
    std::uint32_t count = 0;
    if (!OpenStoreIsWhole(store, prompter, layer, count)) return result;
    std::vector<std::uint8_t> bytes = ReadIndexFile(store.files, count);
    for (std::uint32_t k = 1; k <= count; ++k) {
        std::uint8_t* r = bytes.data() + std::size_t(k) * kIndexRecordSize;
        bool changed = false;
        for (int side : {indexword::kSentePlayer, indexword::kGotePlayer}) {
            if (LoadU16(r + side * 2) == from) {
                StoreU16(r + side * 2, std::uint16_t(to));
                changed = true;
            }
        }
        if (changed) ++result.changed;
    }
    if (result.changed > 0 && !PutIndexInPlace(store.files, bytes, count, prompter, layer)) return IndexRewrite{};
    result.ok = true;
    return result;
}

PlayerNumberPair CheckPlayerNumberPair(std::string_view first, std::string_view second) {
    PlayerNumberPair p;
    const std::string a = Trim(first), b = Trim(second);
    if (a.empty()) return {std::string("\r変更前棋士番号を入力してください。"_sj), 1};
    if (b.empty()) return {std::string("\r変更後棋士番号を入力してください。"_sj), 2};
    const auto number = [](const std::string& t) {
        if (t.size() > 3) return 0;
        int v = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return 0;
            v = v * 10 + (c - '0');
        }
        return v;
    };
    p.from = number(a);
    p.to = number(b);
    if (p.from < 1 || p.from > 999) return {std::string("\r1～999の数字を入力してください。"_sj), 1};
    if (p.to < 1 || p.to > 999) return {std::string("\r1～999の数字を入力してください。"_sj), 2};
    if (p.from == p.to) return {std::string("\r変更前と変更後は別の数字を入力してください。"_sj), 2};
    return p;
}

std::string SetFromNamesQuestion() {
    return std::string(
        "棋譜検索用の棋士番号を棋士名データより一括設定します。\r（ただし棋士番号が未設定で対局者名が入っている場合）\r\r【注：棋譜インポート後の対局者名登録用です。】"_sj);
}

std::string SetFromNamesDoneText(std::uint32_t count) {
    if (count == 0) return std::string("\r更新データはありませんでした。"_sj);
    return "\r" + std::to_string(count) + " 件のデータを更新しました。"_sj;
}

std::string TargetNumberInUseText(std::uint32_t count) {
    return std::to_string(count) + "件 の棋譜に"_sj + "\r" + "変更後棋士番号が存在します。"_sj + "\r\r" + "変換処理を中止します。"_sj;
}

std::string ReplacedNumbersText(std::uint32_t changed) {
    return "\r" + std::to_string(changed) + "件 の棋譜の棋士番号を変換しました。"_sj;
}

}  // namespace movra::maintenance
