#include "core/gameinfo/consumed_times.h"

#include <algorithm>
#include <cstdio>

#include "core/record/kif_data.h"
#include "core/store/game_io.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kLineWidth = 21;
constexpr std::uint16_t kMaxTime = 999 * 60 + 59;

std::optional<int> Digits(const std::string& text, std::size_t maxDigits) {
    const std::string t = Trim(text);
    if (t.empty()) return 0;
    if (t.size() > maxDigits) return std::nullopt;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The first `width` bytes of a text, never ending inside a double-byte character, padded with
// blanks to `pad`.
std::string CutAndPad(const std::string& text, std::size_t width, std::size_t pad) {
    std::size_t n = text.size();
    if (n > width) n = IsCharBoundary(text, width) ? width : width - 1;
    std::string out = text.substr(0, n);
    if (out.size() < pad) out.append(pad - out.size(), ' ');
    return out;
}

}  // namespace

std::string RunningTotalMessage() {
    return std::string{"消費時間通計は以前の指し手の時間より\r大きい時間を入力して下さい。"_sj};
}
std::string TimesUpdatedMessage() { return std::string{"\r消費時間データを更新しました。"_sj}; }
std::string TimesNotUpdatedQuestion() {
    return std::string{"消費時間が変更されています！\r\r更新せずに終了してよろしですか？"_sj};
}

std::optional<ConsumedTimeSource> ReadConsumedTimeSource(const GameStore& store, long k,
                                                         const IndexRecord& index,
                                                         Prompter& prompter) {
    ConsumedTimeSource source;
    source.stored = true;
    if (!ReadDetailRecord(store, k, source.detail, prompter)) return std::nullopt;
    if (!ReadMoveInfo(store, k, index.overflowNumber(), source.info, prompter)) return std::nullopt;
    TKifData scratch;
    GameMoves moves = ReadGameMoves(store, k, index.overflowNumber(), index.handicap(), true, 0,
                                    scratch, prompter);
    if (!moves.found || moves.lines.empty()) return std::nullopt;
    source.lines = std::move(moves.lines);
    return source;
}

ConsumedTimeEditor::ConsumedTimeEditor(ConsumedTimeSource source) : source_(std::move(source)) {
    // Always at least the final position's line.
    if (source_.lines.empty()) source_.lines.emplace_back();
    // A list longer than the 512 entries can hold keeps only what they can.
    const int maxLines = kMoveInfoEntries + 1 - (source_.detail.handicap() != 0 ? 1 : 0);
    if (int(source_.lines.size()) > maxLines) source_.lines.resize(std::size_t(maxLines));
    offset_ = source_.detail.handicap() != 0 ? 1 : 0;
    mode_ = source_.detail.timeMode() == 1 ? 1 : 0;
}

std::uint16_t ConsumedTimeEditor::Time(int line) const {
    if (line < 0 || line >= lineCount()) return 0;
    if (isLastLine(line)) return source_.detail.closingTime();
    return source_.info.consumedTime(Entry(line));
}

std::string ConsumedTimeEditor::LineText(int line) const {
    if (line < 0 || line >= lineCount()) return {};
    const std::string& text = source_.lines[std::size_t(line)];
    const std::uint16_t t = Time(line);
    if (t == 0) return CutAndPad(text, kLineWidth - 1, kLineWidth);
    char time[32];
    std::snprintf(time, sizeof time, "%3d", t / 60);
    char secs[32];
    std::snprintf(secs, sizeof secs, "%3d", t % 60);
    return CutAndPad(text, text.size(), kLineWidth) + time + std::string("分"_sj) + secs +
           std::string("秒"_sj);
}

std::pair<std::string, std::string> ConsumedTimeEditor::Fields(int line) const {
    const std::uint16_t t = Time(line);
    if (t == 0) return {};
    return {std::to_string(t / 60), std::to_string(t % 60)};
}

bool ConsumedTimeEditor::SetTime(int line, const std::string& minutes, const std::string& seconds) {
    if (line < 0 || line >= lineCount()) return false;
    const auto m = Digits(minutes, 3);
    const auto s = Digits(seconds, 2);
    if (!m || !s || *s > 59) return false;
    const auto t = std::uint16_t(std::min<int>(*m * 60 + *s, kMaxTime));
    if (isLastLine(line)) {
        source_.detail.setClosingTime(t);
    } else {
        source_.info.setConsumedTime(Entry(line), t);
    }
    modified_ = true;
    return true;
}

std::pair<std::string, std::string> ConsumedTimeEditor::TotalLabels() const {
    std::uint32_t totals[2] = {0, 0};
    for (int line = 0; line < lineCount(); ++line) totals[line % 2] += Time(line);
    const auto label = [](std::string_view mark, std::uint32_t t) {
        char text[64];
        std::snprintf(text, sizeof text, "%3u", unsigned(t / 60));
        char secs[16];
        std::snprintf(secs, sizeof secs, "%2u", unsigned(t % 60));
        return std::string(mark) + std::string("："_sj) + text + std::string("分"_sj) + " " +
               secs + std::string("秒"_sj);
    };
    // In a handicap game 上手 (gote) moves first.
    const bool goteFirst = offset_ != 0;
    return {label(goteFirst ? "△"_sj : "▲"_sj, totals[0]),
            label(goteFirst ? "▲"_sj : "△"_sj, totals[1])};
}

int ConsumedTimeEditor::RoundDownMeasured() {
    int changed = 0;
    for (int line = 0; line < lineCount(); ++line) {
        const std::uint16_t t = Time(line);
        if (t % 60 != 59) continue;
        const auto rounded = std::uint16_t(t - 59);
        if (isLastLine(line)) {
            source_.detail.setClosingTime(rounded);
        } else {
            source_.info.setConsumedTime(Entry(line), rounded);
        }
        ++changed;
    }
    if (changed > 0) modified_ = true;
    return changed;
}

std::optional<int> ConsumedTimeEditor::FirstBadRunningTotal() const {
    if (mode_ != 1) return std::nullopt;
    const int moves = lineCount() - 1;
    std::uint32_t previous[2] = {0, 0};
    // The last move is not compared with its predecessors.
    for (int line = 0; line < moves - 1; ++line) {
        const std::uint16_t t = Time(line);
        std::uint32_t& prev = previous[line % 2];
        if (t == 0) {
            prev = 0;
        } else if (t <= prev) {
            return line;
        } else {
            prev = t;
        }
    }
    // The final position counts for the side to move after the last move.
    const std::uint16_t closing = Time(moves);
    if (closing != 0 && moves >= 1 && closing <= previous[moves % 2]) return moves;
    return std::nullopt;
}

ConsumedTimes ConsumedTimeEditor::Times() const {
    ConsumedTimes times;
    for (int e = 0; e < kMoveInfoEntries; ++e) times.entryTimes[std::size_t(e)] = source_.info.consumedTime(e);
    times.closingTime = source_.detail.closingTime();
    times.inputMode = std::uint8_t(mode_);
    return times;
}

bool UpdateConsumedTimes(ConsumedTimeEditor& editor, const GameStore& store, long k,
                         int overflowNumber, Prompter& prompter, std::optional<int>& badLine) {
    badLine = editor.FirstBadRunningTotal();
    if (badLine) {
        prompter.Confirm(RunningTotalMessage(), false, true);
        return false;
    }
    editor.StoreMode();
    if (editor.stored()) {
        if (!WriteDetailRecord(store, k, editor.detail(), prompter)) return false;
        if (!WriteMoveInfo(store, k, overflowNumber, editor.info(), prompter)) return false;
    }
    prompter.Inform(TimesUpdatedMessage());
    editor.setModified(false);
    return true;
}

void TakeConsumedTimes(const ConsumedTimes& times, DetailRecord& detail) {
    detail.setClosingTime(times.closingTime);
    detail.setTimeMode(times.inputMode);
}

void TakeConsumedTimes(const ConsumedTimes& times, int handicapNumber, TKifData& record) {
    const int moves = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    for (int m = 1; m <= moves; ++m) {
        const int e = MoveInfoEntryOfMove(m, handicapNumber);
        if (e >= 0 && e < kMoveInfoEntries) record.moves[std::size_t(m)].consumedTime = times.entryTimes[std::size_t(e)];
    }
    if (std::size_t(moves) + 1 < record.moves.size()) {
        record.moves[std::size_t(moves) + 1].consumedTime = times.closingTime;
    }
}

}  // namespace movra
