#include "core/list/game_list_edit.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/comments.h"
#include "core/store/master_data.h"
#include "core/store/store_edit.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

std::string FirstBytesTrimmed(std::string_view name, std::size_t width) {
    return Trim(PadOrCut(name, width));
}

std::uint64_t FileSize(const fs::path& p) {
    std::error_code ec;
    const auto size = fs::file_size(p, ec);
    return ec ? 0 : std::uint64_t(size);
}

}  // namespace

// --- deleting ------------------------------------------------------------------------------------

std::string DeleteOneQuestion(std::string_view senteName, std::string_view goteName) {
    return "「"_sj + FirstBytesTrimmed(senteName, 12) + "」 x 「"_sj +
           FirstBytesTrimmed(goteName, 12) + "」 の"_sj + "\r" + " 棋譜を削除します！"_sj + "\r\r" +
           "よろしいですか？"_sj;
}

std::string DeleteMarkedQuestion(std::uint32_t count) {
    return "選択された "_sj + std::to_string(count) + "個の棋譜を削除します。"_sj + "\r\r" +
           "よろしいですか？"_sj;
}

std::string NothingMarkedToDeleteMessage() { return "\r削除する棋譜を選択してください！"_sj; }

std::string NoSpaceToDeleteMessage() {
    return "ディスクの空き容量が不十分のため\r\r削除処理が行えません。"_sj;
}

bool EnoughSpaceToDelete(const GameStore& store, const FreeSpaceProbe& freeSpace) {
    const fs::path folder = store.files.folder().empty() ? fs::path(".") : store.files.folder();
    const std::optional<std::uint64_t> free = freeSpace ? freeSpace(folder) : FreeDiskSpace(folder);
    if (!free) return false;
    const std::uint64_t needed =
        FileSize(store.files.Path(ext::kIndex)) + FileSize(store.files.Path(ext::kGameData)) + 4096;
    return *free > needed;
}

std::uint32_t CountMarked(std::span<const GameHeader> entries) {
    return std::uint32_t(std::count_if(entries.begin(), entries.end(),
                                       [](const GameHeader& e) { return e.selectionMark != 0; }));
}

void RemoveDeletedGames(GameCatalogue& catalogue, std::span<const std::uint32_t> deleted) {
    std::vector<std::uint32_t> gone(deleted.begin(), deleted.end());
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    if (gone.empty()) return;
    std::span<GameHeader> entries = catalogue.entries();
    std::uint32_t kept = 0;
    for (GameHeader& e : entries) {
        const auto at = std::lower_bound(gone.begin(), gone.end(), e.recordNumber);
        if (at != gone.end() && *at == e.recordNumber) continue;
        // Each deleted game before this one moves it up one record.
        e.recordNumber -= std::uint32_t(at - gone.begin());
        entries[kept++] = e;
    }
    catalogue.setCount(kept);
}

namespace {

DeleteOptions OptionsFor(const GameStore& store, Prompter& prompter) {
    DeleteOptions options;
    if (store.extended()) options.releaseComments = CommentReleaser(store, prompter);
    return options;
}

}  // namespace

ListDeletion DeleteListedGame(StoreSession& session, std::uint32_t position, bool checkSpace,
                              Prompter& prompter, const FreeSpaceProbe& freeSpace) {
    ListDeletion out;
    if (position >= session.catalogue.count()) return out;
    if (checkSpace && !EnoughSpaceToDelete(session.store, freeSpace)) {
        prompter.Warn(NoSpaceToDeleteMessage());
        out.refused = true;
        return out;
    }
    const std::uint32_t record = session.catalogue.at(position).recordNumber;
    out.deleted = DeleteGames(session.store, record, session.catalogue.entries(), 0, prompter,
                              OptionsFor(session.store, prompter));
    if (out.deleted == 0) return out;
    // Every entry naming the game goes (a catalogue made by a check may name a game twice).
    const std::uint32_t gone[] = {record};
    RemoveDeletedGames(session.catalogue, gone);
    out.records.assign(std::begin(gone), std::end(gone));
    return out;
}

ListDeletion DeleteMarkedGames(StoreSession& session, Prompter& prompter,
                               const FreeSpaceProbe& freeSpace) {
    ListDeletion out;
    const std::uint32_t marked = CountMarked(session.catalogue.entries());
    if (marked == 0) return out;
    if (!EnoughSpaceToDelete(session.store, freeSpace)) {
        prompter.Warn(NoSpaceToDeleteMessage());
        out.refused = true;
        return out;
    }
    std::vector<std::uint32_t> gone;
    gone.reserve(marked);
    for (const GameHeader& e : session.catalogue.entries()) {
        if (e.selectionMark != 0) gone.push_back(e.recordNumber);
    }
    out.deleted = DeleteGames(session.store, 0, session.catalogue.entries(), marked, prompter,
                              OptionsFor(session.store, prompter));
    if (out.deleted == 0) return out;
    RemoveDeletedGames(session.catalogue, gone);
    out.records = std::move(gone);
    return out;
}

// --- exchanging neighbours -----------------------------------------------------------------------

bool SwapListedGames(StoreSession& session, std::uint32_t position, bool up) {
    GameCatalogue& catalogue = session.catalogue;
    if (position >= catalogue.count()) return false;
    if (up && position == 0) return false;
    if (!up && position + 1 >= catalogue.count()) return false;
    const std::uint32_t other = up ? position - 1 : position + 1;
    GameHeader& a = catalogue.at(position);
    GameHeader& b = catalogue.at(other);
    if (!SwapGames(session.store, a.recordNumber, b.recordNumber)) return false;
    std::swap(a, b);
    std::swap(a.recordNumber, b.recordNumber);
    return true;
}

// --- following games through deletions and exchanges ----------------------------------------------

void RecordRenumbering::Deleted(std::span<const std::uint32_t> records) {
    Step step;
    step.records.assign(records.begin(), records.end());
    std::sort(step.records.begin(), step.records.end());
    step.records.erase(std::unique(step.records.begin(), step.records.end()), step.records.end());
    if (!step.records.empty()) steps_.push_back(std::move(step));
}

void RecordRenumbering::Exchanged(std::uint32_t a, std::uint32_t b) {
    if (a != b) steps_.push_back(Step{true, {a, b}});
}

bool RecordRenumbering::anyDeleted() const {
    return std::any_of(steps_.begin(), steps_.end(), [](const Step& s) { return !s.exchange; });
}

std::uint32_t RecordRenumbering::Follow(std::uint32_t number) const {
    for (const Step& step : steps_) {
        if (number == 0) return 0;
        if (step.exchange) {
            if (number == step.records[0]) {
                number = step.records[1];
            } else if (number == step.records[1]) {
                number = step.records[0];
            }
            continue;
        }
        const auto below = std::lower_bound(step.records.begin(), step.records.end(), number);
        if (below != step.records.end() && *below == number) return 0;
        number -= std::uint32_t(below - step.records.begin());
    }
    return number;
}

// --- the list dump -------------------------------------------------------------------------------

std::vector<std::string> ListDumpLines(const StoreSession& session, const ListDisplay& display) {
    std::vector<std::string> lines;
    const std::span<const GameHeader> entries = session.catalogue.entries();
    const ListTables tables{session.players, session.tournaments, session.openings};
    const InfoColumn info = entries.empty() ? InfoColumn::Handicap
                                            : InfoColumnOf(entries[0], display, session.store.extended());
    lines.reserve(entries.size() + 1);
    lines.push_back("     No." + ListTitleText(kDumpNameWidth, display.subTournaments, info));
    const StoreReader reader(session.store);
    TKifData scratch;
    for (std::size_t p = 0; p < entries.size(); ++p) {
        const ListLineData data = ReadListLineData(reader, entries[p], scratch);
        const std::string line = FormatListLine(entries[p], data, tables, display, kDumpNameWidth);
        char number[16];
        std::snprintf(number, sizeof number, "%7d ", int(p + 1));
        std::string text = line.substr(1);
        if (text.size() > 120) text = PadOrCut(text, 120);
        std::string out(" ");
        out += number;
        out += text;
        lines.push_back(std::move(out));
    }
    return lines;
}

bool WriteListDump(const StoreSession& session, const ListDisplay& display,
                   const fs::path& folder, Prompter& prompter) {
    if (session.catalogue.count() == 0) return false;
    const std::vector<std::string> lines = ListDumpLines(session, display);
    const fs::path path = FindFileNoCase(folder, kListDumpFileName);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines) out << line << "\r\n";
    out.close();
    if (!out) return false;
    prompter.Inform("\rIchiran.txtを出力しました。"_sj);
    return true;
}

// --- list printing -------------------------------------------------------------------------------

std::vector<std::vector<PrintedLine>> ListPrintPages(const StoreSession& session,
                                                     const ListDisplay& display) {
    std::vector<std::vector<PrintedLine>> pages;
    const std::span<const GameHeader> entries = session.catalogue.entries();
    const ListTables tables{session.players, session.tournaments, session.openings};
    const InfoColumn info = entries.empty() ? InfoColumn::Handicap
                                            : InfoColumnOf(entries[0], display, session.store.extended());
    const std::string title = "     No." + ListTitleText(kListNameWidth, display.subTournaments, info);
    const StoreReader reader(session.store);
    TKifData scratch;
    for (std::size_t p = 0; p < entries.size(); ++p) {
        if (p % kListPrintEntriesPerPage == 0) {
            pages.emplace_back();
            std::vector<PrintedLine>& page = pages.back();
            if (pages.size() == 1) page.push_back({"", false});
            page.push_back({"", false});
            page.push_back({"", false});
            page.push_back({title, false});
            page.push_back({"", false});
        }
        const ListLineData data = ReadListLineData(reader, entries[p], scratch);
        std::string text = FormatListLine(entries[p], data, tables, display, kListNameWidth).substr(1);
        if (text.size() > 120) text = PadOrCut(text, 120);
        char number[16];
        std::snprintf(number, sizeof number, "   %5d ", int(p + 1));
        pages.back().push_back({number + text, true});
    }
    return pages;
}

std::string PrinterErrorMessage() { return "プリンタ・エラー！"_sj; }

// --- the timed export ----------------------------------------------------------------------------

std::string ExportMarkedQuestion(std::uint32_t count) {
    return "選択された "_sj + std::to_string(count) + "個の棋譜を変換します。"_sj + "\r\r" +
           "よろしいですか？"_sj;
}

std::string NothingMarkedToExportMessage() { return "\r変換する棋譜を選択してください！"_sj; }

std::string ExportProgressText(std::uint32_t k, std::uint32_t n) {
    return "( " + std::to_string(k) + " / " + std::to_string(n) + " )";
}

std::vector<std::uint32_t> MarkedPositions(std::span<const GameHeader> entries) {
    std::vector<std::uint32_t> out;
    for (std::size_t p = 0; p < entries.size(); ++p) {
        if (entries[p].selectionMark != 0) out.push_back(std::uint32_t(p));
    }
    return out;
}

}  // namespace movra
