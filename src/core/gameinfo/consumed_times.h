#pragma once
// The consumed-time editor ("消費時間一括入力") without its window: the time of every move of one
// game and of its final position, typed move by move or as a chess clock's running totals. The
// times live in the game's move-info entries, the closing time and the input mode in its detail
// record.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/gameinfo/game_info.h"
#include "core/record/kif_data.h"
#include "core/store/layout.h"
#include "core/store/store_files.h"
#include "core/text/prompter.h"

namespace movra {

// "消費時間通計は以前の指し手の時間より\r大きい時間を入力して下さい。"
std::string RunningTotalMessage();
// "\r消費時間データを更新しました。"
std::string TimesUpdatedMessage();
// "消費時間が変更されています！\r\r更新せずに終了してよろしですか？"
std::string TimesNotUpdatedQuestion();

// Where the editor's game comes from: a stored game (record number within the store's count)
// is read from the store, its move list rebuilt; a game not stored yet is the caller's copies.
struct ConsumedTimeSource {
    std::vector<std::string> lines;  // one line a move, then the closing line
    DetailRecord detail;
    MoveInfo info;
    bool stored = false;
};
// Reads game k of the store: its detail record, its move info and its move lines. nullopt when
// the game's moves cannot be read.
std::optional<ConsumedTimeSource> ReadConsumedTimeSource(const GameStore& store, long k,
                                                         const IndexRecord& index,
                                                         Prompter& prompter);

class ConsumedTimeEditor {
public:
    explicit ConsumedTimeEditor(ConsumedTimeSource source);

    // The list: one line a move and the final position's last line.
    int lineCount() const { return int(source_.lines.size()); }
    bool isLastLine(int line) const { return line == lineCount() - 1; }
    // "(move line padded to 21 bytes)" + "%3d分%3d秒" for a time that is not 0; else the line cut
    // to 20 bytes and padded to 21.
    std::string LineText(int line) const;
    // The time of a line in seconds: its move-info entry (line + 1 in a handicap game), or the
    // closing time for the last line.
    std::uint16_t Time(int line) const;
    // The fields for a line: minutes and seconds, or two empty texts for 0.
    std::pair<std::string, std::string> Fields(int line) const;

    // 0 per move ("通常方式"), 1 running totals ("チェスクロック方式").
    int mode() const { return mode_; }
    void setMode(int mode) { mode_ = mode == 1 ? 1 : 0; }
    // The mode into the detail record (byte 119), as "更新" keeps it.
    void StoreMode() { source_.detail.setTimeMode(std::uint8_t(mode_)); }

    // "設定": false (a beep, nothing stored) for minutes of 4 or more characters, seconds of more
    // than 2 characters or above 59; otherwise time = minutes × 60 + seconds (empty counts 0).
    bool SetTime(int line, const std::string& minutes, const std::string& seconds);
    // The "【計】" labels in per-move mode: "▲：%3d分 %2d秒" and "△：%3d分 %2d秒", the times
    // added alternately from the first line (in a handicap game the first total is gote's, shown
    // with "△"). Labels in list order: the first total, then the second.
    std::pair<std::string, std::string> TotalLabels() const;
    // Double-click on the window: every time whose seconds are 59 goes down to the whole minute.
    // Returns how many times changed.
    int RoundDownMeasured();

    // Running totals only: the first line that is not above its side's previous total (see the
    // body), or nullopt when all are good. Per-move mode: always nullopt.
    std::optional<int> FirstBadRunningTotal() const;

    // The detail record and move info with the edited times and mode, and what the caller takes.
    const DetailRecord& detail() const { return source_.detail; }
    const MoveInfo& info() const { return source_.info; }
    ConsumedTimes Times() const;
    bool stored() const { return source_.stored; }

    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }

private:
    int Entry(int line) const { return line + offset_; }
    ConsumedTimeSource source_;
    int offset_ = 0;
    int mode_ = 0;
    bool modified_ = false;
};

// "更新": with running totals a bad line refuses (the message, Yes/Cancel; `badLine` set,
// nothing written). Otherwise the mode goes into the detail record, a stored game's detail
// record and move info are written to the store at once (a game not stored yet is not written:
// its caller stores it with the game), and "\r消費時間データを更新しました。" is shown. True when
// the times were taken.
bool UpdateConsumedTimes(ConsumedTimeEditor& editor, const GameStore& store, long k,
                         int overflowNumber, Prompter& prompter, std::optional<int>& badLine);

// The times into a detail image (closing time, input mode) for the game information dialog.
void TakeConsumedTimes(const ConsumedTimes& times, DetailRecord& detail);
// The times into the game record: move m takes the time of its move-info entry (m - 1, plus 1
// in a handicap game), the record after the last move the closing time.
void TakeConsumedTimes(const ConsumedTimes& times, int handicapNumber, TKifData& record);

}  // namespace movra
