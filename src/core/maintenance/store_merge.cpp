#include "core/maintenance/store_merge.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/text/cp932.h"
#include "core/text/era.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/maintenance/rewrite_support.h"
#include "core/store/open_store.h"
#include "core/store/store_copy.h"
#include "core/store/store_journal.h"

namespace movra::maintenance {

using namespace movra::literals;
namespace fs = std::filesystem;

// --- master numbers ----------------------------------------------------------------------------

namespace {

bool SameName(std::string_view a, std::string_view b) { return RemoveSpaces(a) == RemoveSpaces(b); }

// The lowest player number 1-999 without an entry; 0 when every one is taken.
int FreePlayerNumber(const PlayerTable& players) {
    for (int n = 1; n <= kLargestFilePlayer; ++n) {
        if (players.Entry(n).number == 0 && RemoveSpaces(players.Entry(n).name).empty()) return n;
    }
    return 0;
}

// The highest order the rows hold, so that an added row comes last in the selection lists.
template <typename Table>
std::int16_t LastOrder(const Table& table, int rows) {
    std::int16_t last = 0;
    for (int i = 0; i < rows; ++i) last = std::max(last, table.Row(i).order);
    return last;
}

// A row for a new tournament or opening: the first empty row whose position no row uses as its
// number (the files number rows by position). -1 when none.
template <typename Table>
int FreeRow(const Table& table, int rows) {
    for (int i = 0; i < rows; ++i) {
        if (!table.Row(i).name.empty()) continue;
        bool used = false;
        for (int j = 0; j < rows && !used; ++j) used = table.Row(j).number == i + 1;
        if (!used) return i;
    }
    return -1;
}

// The open table's number for a name of the other store's table: the row of that name, or a new
// row that comes last in the selection lists; 0 (counted as not kept) when the table is full.
template <typename Table>
int MappedRow(Table& table, int rows, int fileRows, const std::string& name, NumberMaps& maps) {
    if (const int to = table.NumberByName(name); to != 0) return to;
    const int row = FreeRow(table, fileRows);
    if (row < 0) {
        ++maps.notKept;
        return 0;
    }
    MasterRow& r = table.MutableRow(row);
    r.number = std::uint16_t(row + 1);
    r.order = std::int16_t(LastOrder(table, rows) + 1);
    r.name = name;
    ++maps.added;
    return row + 1;
}

// The same for a sub-tournament of the open table's tournament `to`.
int MappedSubRow(TournamentTable& table, int to, const std::string& name, NumberMaps& maps) {
    if (const int sub = table.SubNumberByName(to, name); sub != 0) return sub;
    for (int k = 0; k < kSubTournamentRows; ++k) {
        if (!table.SubRow(to, k).name.empty()) continue;
        std::int16_t last = 0;
        for (int j = 0; j < kSubTournamentRows; ++j) last = std::max(last, table.SubRow(to, j).order);
        MasterRow& r = table.MutableSubRow(to, k);
        r.number = std::uint16_t(k + 1);
        r.name = name;
        r.order = std::int16_t(last + 1);
        ++maps.added;
        return k + 1;
    }
    ++maps.notKept;
    return 0;
}

// Maps every named row of the other store's table (tournaments or openings) into `mapped`, by
// the row's number; `then(fromNumber, toNumber)` follows each row (the tournaments' sub rows).
template <typename Table, typename Then>
void MapRows(const Table* from, Table* to, int rows, int fileRows, std::vector<std::uint16_t>& mapped,
             NumberMaps& maps, Then then) {
    if (!from || !to) return;
    for (int i = 0; i < rows; ++i) {
        const MasterRow& row = from->Row(i);
        if (row.number == 0 || row.number > rows || row.name.empty()) continue;
        const int number = MappedRow(*to, rows, fileRows, row.name, maps);
        mapped[row.number] = std::uint16_t(number);
        then(int(row.number), number);
    }
}

}  // namespace

NumberMaps MapMasterNumbers(const MasterMerge& m) {
    NumberMaps maps;
    maps.players.resize(kPlayerCapacity);
    for (int n = 0; n < kPlayerCapacity; ++n) maps.players[std::size_t(n)] = std::uint16_t(n);
    maps.tournaments.resize(kTournamentRows + 1);
    maps.subTournaments.resize(kTournamentRows + 1);
    for (int t = 0; t <= kTournamentRows; ++t) {
        maps.tournaments[std::size_t(t)] = std::uint16_t(t);
        for (int s = 0; s <= kSubTournamentRows; ++s) maps.subTournaments[std::size_t(t)][std::size_t(s)] = std::uint8_t(s);
    }
    maps.openings.resize(kOpeningRows + 1);
    for (int o = 0; o <= kOpeningRows; ++o) maps.openings[std::size_t(o)] = std::uint16_t(o);

    if (m.fromPlayers && m.players) {
        for (int n = 1; n < kPlayerCapacity; ++n) {
            const PlayerEntry& from = m.fromPlayers->Entry(n);
            if (from.number == 0 || from.shortName.empty()) continue;
            if (SameName(m.players->Entry(n).name, from.name)) continue;  // the same player
            int to = m.players->NumberByName(from.shortName);
            if (to == 0) {
                to = FreePlayerNumber(*m.players);
                if (to == 0) {
                    ++maps.notKept;
                } else {
                    m.players->SetEntry(to, from.category, from.name, from.kana);
                    ++maps.added;
                }
            }
            maps.players[std::size_t(n)] = std::uint16_t(to);
        }
    }
    MapRows(m.fromTournaments, m.tournaments, kTournamentRows, kTournamentFileRows, maps.tournaments, maps,
            [&](int fromNumber, int to) {
                for (int s = 0; s < kSubTournamentRows && to != 0; ++s) {
                    const MasterRow& sub = m.fromTournaments->SubRow(fromNumber, s);
                    if (sub.number == 0 || sub.number > kSubTournamentRows || sub.name.empty()) continue;
                    maps.subTournaments[std::size_t(fromNumber)][sub.number] =
                        std::uint8_t(MappedSubRow(*m.tournaments, to, sub.name, maps));
                }
            });
    MapRows(m.fromOpenings, m.openings, kOpeningRows, kOpeningRows, maps.openings, maps, [](int, int) {});
    return maps;
}

void NumberMaps::Apply(IndexRecord& r) const {
    if (players.empty()) return;
    if (r.sentePlayer() < players.size()) r.setSentePlayer(players[r.sentePlayer()]);
    if (r.gotePlayer() < players.size()) r.setGotePlayer(players[r.gotePlayer()]);
    const std::uint16_t t = r.tournament();
    if (t < tournaments.size()) {
        if (r.subTournament() <= kSubTournamentRows) r.setSubTournament(subTournaments[t][r.subTournament()]);
        r.setTournament(tournaments[t]);
    }
    if (r.opening() < openings.size()) r.setOpening(openings[r.opening()]);
}

// --- texts ---------------------------------------------------------------------------------------

std::string ConfirmMergeText(const std::string& target, const std::string& source) {
    return target + " に"_sj + "\r" + source + " を"_sj + "\r" + "併合します。"_sj + "\r\r" + "　　　　よろしいですか？"_sj;
}

std::string MergeShownName(const StoreFiles& files, bool extended) {
    return PathText(extended ? files.Path(ext::kDetail) : files.IndexPath());
}

std::string DistributionDateText(std::uint32_t date) {
    try {
        return EraDateText(CivilDate{int(date / 10000), int(date / 100 % 100), int(date % 100)}, EraLayout::kSlash);
    } catch (const std::exception&) {
        return {};
    }
}

// --- the jobs --------------------------------------------------------------------------------------

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return UpperCaseAscii(PathText(fs::absolute(a))) == UpperCaseAscii(PathText(fs::absolute(b)));
}

// Writes the open store's master files when the maps added names to them.
void WriteMasters(const MasterMerge* masters, const NumberMaps& maps) {
    if (!masters || maps.added == 0) return;
    if (masters->players && !masters->players->Write(masters->datFolder)) {
        throw StoreIoError("cannot write", FindFileNoCase(masters->datFolder, kPlayerFileName));
    }
    if (masters->tournaments && !masters->tournaments->Write(masters->datFolder)) {
        throw StoreIoError("cannot write", FindFileNoCase(masters->datFolder, kTournamentFileName));
    }
    if (masters->openings && !masters->openings->Write(masters->datFolder)) {
        throw StoreIoError("cannot write", FindFileNoCase(masters->datFolder, kOpeningFileName));
    }
}

// Rewrites index records first … last of the working store with the mapped numbers.
void MapIndexRecords(const StoreFiles& working, std::uint32_t first, std::uint32_t last, const NumberMaps& maps,
                     RecordWriter& layer) {
    if (first > last || maps.players.empty()) return;
    RecordFile index;
    if (!layer.OpenForWriting(index, working.IndexPath(), kIndexRecordSize, RecordFile::Access::ReadWrite)) {
        throw StoreIoError("cannot open", working.IndexPath());
    }
    constexpr std::uint32_t kBlock = 32768;
    std::vector<std::uint8_t> block(std::size_t(kBlock) * kIndexRecordSize);
    for (std::uint32_t k = first; k <= last; k += kBlock) {
        const std::uint32_t n = std::min(kBlock, last - k + 1);
        if (index.Read(k, block.data(), n) != std::size_t(n) * kIndexRecordSize) throw StoreIoError("cannot read", index.path());
        for (std::uint32_t i = 0; i < n; ++i) {
            IndexRecord r = IndexRecord::FromBytes(block.data() + std::size_t(i) * kIndexRecordSize);
            maps.Apply(r);
            std::copy(r.bytes.begin(), r.bytes.end(), block.begin() + std::ptrdiff_t(i * kIndexRecordSize));
        }
        if (!layer.Write(index, std::uint64_t(k) * kIndexRecordSize, block.data(), std::size_t(n) * kIndexRecordSize)) {
            throw StoreIoError("cannot write", index.path());
        }
    }
    if (!layer.Sync(index)) throw StoreIoError("cannot write", index.path());
}

// Makes `to` a file of `from`'s length that holds nothing yet (a file with a hole): the working
// store's records the sort reads from the open store itself.
void ReserveLike(const fs::path& from, const fs::path& to, RecordWriter& layer) {
    RecordFile in;
    if (!in.Open(from, 1, RecordFile::Access::Read)) throw StoreIoError("cannot open", from);
    RecordFile out;
    if (!layer.OpenForWriting(out, to, 1, RecordFile::Access::Create)) throw StoreIoError("cannot create", to);
    if (!layer.Truncate(out, in.SizeBytes())) throw StoreIoError("cannot write", to);
}

// Appends `games` of `source` to the working store; throws when the copy fails.
void AppendGames(const GameStore& source, std::span<const std::uint32_t> games, const StoreFiles& working,
                 bool fresh, Prompter& prompter, RecordWriter& layer) {
    const StoreCopyResult r = CopyGames(source, games, working.IndexPath(), !fresh, prompter, layer);
    if (!r.ok) throw StoreIoError(r.error.empty() ? "cannot copy the games into" : r.error, working.IndexPath());
}

// The working store takes the open store's names; false (the open store unchanged) otherwise.
bool PutInPlace(GameStore& store, const StoreFiles& working, Prompter& prompter, RecordWriter& layer) {
    return ReplaceStoreFiles(store.files, WholeStoreReplacement(working, store.files), prompter, layer);
}

// Builds the combined store as a working store beside the open one (B~mrg.*), `build` writing it
// through a layer that leaves the syncs to the end, and puts it in the open store's place. False
// when the user stopped or the replacement did not happen: the working store is cleared away
// and the open store is as it was. An input/output failure does the same and is thrown again.
template <typename Build>
bool CombineInWorkingStore(GameStore& store, Prompter& prompter, RecordWriter& layer, Build build) {
    const StoreFiles working = BesideStore(store.files, "~mrg");
    RemoveStoreSet(working, layer);
    WorkingStoreLayer scratch(layer);
    bool done = false;
    try {
        build(working, static_cast<RecordWriter&>(scratch));
        SyncStoreSet(working, layer);
        done = PutInPlace(store, working, prompter, layer);
    } catch (const Stopped&) {
    } catch (...) {
        RemoveStoreSet(working, layer);
        prompter.EndProgress();
        throw;
    }
    RemoveStoreSet(working, layer);
    prompter.EndProgress();
    return done;
}

std::vector<std::uint32_t> AllGames(std::uint32_t count) {
    std::vector<std::uint32_t> games(count);
    for (std::uint32_t k = 1; k <= count; ++k) games[k - 1] = k;
    return games;
}

}  // namespace

MergeResult MergeStores(GameStore& store, const fs::path& other, MergeKind kind, SortOrder order, Prompter& prompter,
                        const MasterMerge* masters, RecordWriter& layer) {
    MergeResult result;
    const bool concatenate = kind == MergeKind::Concatenate;
    const StoreFiles otherFiles(other);
    if (SameFile(otherFiles.IndexPath(), store.files.IndexPath())) {
        prompter.Warn(std::string(concatenate ? "\r同一ファイルの接合はできません！"_sj : "\r同一ファイルの合併はできません！"_sj));
        result.asked = true;
        return result;
    }
    std::uint32_t otherCount = 0;
    SilentPrompter quiet;
    const StoreCheck check = ValidateStoreForReading(otherFiles.IndexPath(), otherCount, quiet);
    // An extended store takes only extended games; a classic one reads either kind as classic.
    const bool acceptable = store.extended() ? check == StoreCheck::Extended
                                             : (check == StoreCheck::Classic || check == StoreCheck::Extended);
    if (!acceptable) {
        prompter.Warn(std::string(concatenate ? "接合"_sj : "合併"_sj) +
                      "する棋譜ファイルが壊れているか、\r読み取り専用ファイルのため使用できません。"_sj);
        result.asked = true;
        return result;
    }
    const GameStore source(otherFiles.IndexPath(), store.kind, otherCount);
    if (prompter.Confirm(ConfirmMergeText(MergeShownName(store.files, store.extended()),
                                          MergeShownName(otherFiles, store.extended())),
                         true, false) != Answer::Yes) {
        result.asked = true;
        return result;
    }

    std::uint32_t count = 0;
    if (!OpenStoreIsWhole(store, prompter, layer, count)) return result;
    std::uint32_t combinedCount = 0;
    const bool done = CombineInWorkingStore(store, prompter, layer, [&](const StoreFiles& working, RecordWriter& scratch) {
        if (masters) result.maps = MapMasterNumbers(*masters);
        WriteMasters(masters, result.maps);
        // A merge sorts the combined games into new files, so the open store's games need not be
        // copied into the working store's largest files first: the sort reads them where they are.
        const LeadingRecords leading{store.files, count};
        const bool sorted = kind != MergeKind::Concatenate;
        for (const std::string& e : StoreFileExtensions()) {
            if (!store.files.Exists(e)) continue;
            if (sorted && ReadsLeadingRecords(e, store.extended())) {
                ReserveLike(store.files.Path(e), working.Path(e), scratch);
            } else {
                CopyFileThrough(store.files.Path(e), working.Path(e), scratch);
            }
        }
        AppendGames(source, AllGames(otherCount), working, false, prompter, scratch);
        MapIndexRecords(working, count + 1, count + otherCount, result.maps, scratch);
        GameStore combined(working.IndexPath(), store.kind, count + otherCount);
        if (sorted) {
            const RewriteResult r = kind == MergeKind::Complete
                                        ? RemoveSameGames(combined, order, prompter, scratch, &leading)
                                        : SortStore(combined, order, prompter, scratch, &leading);
            if (!r.ok) throw Stopped{};
            result.removed = r.removed;
        }
        combinedCount = combined.recordCount;
    });
    if (!done) return result;
    result.count = combinedCount;
    result.ok = true;
    result.added = otherCount;
    store.recordCount = result.count;
    if (kind == MergeKind::Concatenate) {
        prompter.Inform(std::string("\rファイル接合が終わりました。"_sj));
    } else if (kind == MergeKind::Complete && result.removed > 0) {
        prompter.Inform("ファイル合併が終わりました。\r\r"_sj + std::to_string(result.removed) + "件の重複棋譜を削除しました。"_sj);
    } else {
        prompter.Inform(std::string("\rファイル合併が終わりました。"_sj));
    }
    return result;
}

bool CheckStoreSortedForDistribution(const GameStore& store, Prompter& prompter) {
    if (CheckSorted(store).sorted) return true;
    prompter.Warn("併合元の棋譜データがソートされていません。\r\r（"_sj + PathText(store.files.IndexPath()) + "）"_sj);
    return false;
}

MergeResult MergeDistributedData(GameStore& store, const fs::path& distribution, Prompter& prompter,
                                 const MasterMerge* masters, RecordWriter& layer) {
    MergeResult result;
    result.asked = true;
    const StoreFiles distFiles(distribution);
    if (SameFile(distFiles.IndexPath(), store.files.IndexPath())) {
        prompter.Warn(std::string("\r同一ファイルの併合はできません！"_sj));
        return result;
    }
    std::uint32_t distCount = 0;
    SilentPrompter quiet;
    if (ValidateStoreForReading(distFiles.IndexPath(), distCount, quiet) != StoreCheck::Classic || store.extended()) {
        prompter.Warn(std::string("併合する棋譜ファイルが壊れているか、\r読み取り専用ファイルのため使用できません。"_sj));
        return result;
    }
    const GameStore dist(distFiles.IndexPath(), StoreKind::Classic, distCount);
    const SortedCheck period = CheckSorted(dist);
    if (!period.sorted) {
        prompter.Warn("配布データがソートされていません。\r\r（"_sj + PathText(distFiles.IndexPath()) + "）"_sj);
        return result;
    }
    const std::string oldest = DistributionDateText(period.oldest);
    if (oldest.empty()) {
        prompter.Warn(std::string("併合エラー１"_sj));
        return result;
    }
    const std::string newest = DistributionDateText(period.newest);
    if (newest.empty()) {
        prompter.Warn(std::string("併合エラー２"_sj));
        return result;
    }
    const std::string question = PathText(store.files.IndexPath()) + " に"_sj + "\r" + PathText(distFiles.IndexPath()) +
                                 " を"_sj + "\r" + "併合します。（配布データの併合）"_sj + "\r\r" + "配布データ日付： "_sj +
                                 oldest + " ～ "_sj + newest + "\r\r" + "よろしいですか？"_sj;
    if (prompter.Confirm(question, true, false) != Answer::Yes) return result;
    result.asked = false;

    std::uint32_t count = 0;
    if (!OpenStoreIsWhole(store, prompter, layer, count)) return result;
    // The open store's games older than the distribution's oldest day: from the first one on.
    std::vector<std::uint32_t> older;
    {
        RecordBlockReader reader;
        if (!OpenIndexReader(store, reader)) throw StoreIoError("cannot open", store.files.IndexPath());
        std::uint32_t k = 0;
        const std::uint8_t* block = nullptr;
        bool found = false;
        while (const std::size_t n = reader.Next(block)) {
            for (std::size_t i = 0; i < n; ++i) {
                ++k;
                const std::uint8_t* r = block + i * kIndexRecordSize;
                const std::uint32_t date = LoadU16(r + indexword::kYear * 2) * 10000u +
                                           LoadU16(r + indexword::kMonth * 2) * 100u + LoadU16(r + indexword::kDay * 2);
                if (!found && date < period.oldest) found = true;
                if (found) older.push_back(k);
            }
        }
    }
    const bool done = CombineInWorkingStore(store, prompter, layer, [&](const StoreFiles& working, RecordWriter& scratch) {
        if (masters) result.maps = MapMasterNumbers(*masters);
        WriteMasters(masters, result.maps);
        AppendGames(dist, AllGames(distCount), working, true, prompter, scratch);
        MapIndexRecords(working, 1, distCount, result.maps, scratch);
        if (!older.empty()) AppendGames(store, older, working, false, prompter, scratch);
    });
    if (!done) return result;
    result.ok = true;
    result.added = distCount;
    result.removed = count - std::uint32_t(older.size());
    result.count = distCount + std::uint32_t(older.size());
    store.recordCount = result.count;
    prompter.Inform(std::string("\r配布データ併合処理が終わりました。"_sj));
    return result;
}

}  // namespace movra::maintenance
