#include "core/list/detail_search.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"
#include "core/store/record_file.h"

namespace movra {

using namespace movra::literals;

namespace {

constexpr std::size_t kPlayerConditionBytes = 15;  // the marker and 14 bytes of name
constexpr std::size_t kBlockRecords = 1024;

// The bytes of a text that fit `width` without cutting a double-byte character.
std::size_t FittingBytes(std::string_view text, std::size_t width) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t next = at + (IsLeadByte(std::uint8_t(text[at])) ? 2 : 1);
        if (next > width || next > text.size()) break;
        at = next;
    }
    return at;
}

bool IsNoCondition(std::string_view condition) {
    return condition.empty() || (condition[0] != '=' && condition[0] != '>');
}

// A rating as typed: empty and a lone "-" are 0; anything else must be a whole number.
std::optional<int> RatingValue(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty() || t == "-") return 0;
    const bool negative = t[0] == '-';
    const std::string_view digits = std::string_view(t).substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    int v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

std::string BadRatingMessage() { return std::string{"レーティング指定が正しくありません。"_sj}; }

bool InRange(std::uint16_t v, std::uint16_t low, std::uint16_t high) { return low <= v && v <= high; }

}  // namespace

// --- matching ------------------------------------------------------------------------------------------

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t b = std::uint8_t(out[i]);
        if (IsLeadByte(b)) {
            ++i;  // the trail byte may look like a capital; it is not one
        } else if (b >= 'A' && b <= 'Z') {
            out[i] = char(b + ('a' - 'A'));
        }
    }
    return out;
}

bool ConditionPasses(std::string_view condition, std::string_view stored, std::size_t width) {
    if (IsNoCondition(condition)) return true;
    std::string_view text = condition.substr(1);
    text = text.substr(0, FittingBytes(text, width));
    if (condition[0] == '=') return stored == text;
    // Contained, starting on a character of the stored text.
    if (text.empty()) return true;
    for (std::size_t at = 0; at + text.size() <= stored.size();
         at += IsLeadByte(std::uint8_t(stored[at])) ? 2 : 1) {
        if (stored.compare(at, text.size(), text) == 0) return true;
    }
    return false;
}

bool DetailRecordPasses(const TKensaku2& k, const DetailRecord& detail) {
    const std::uint16_t sente = std::uint16_t(detail.senteRating());
    const std::uint16_t gote = std::uint16_t(detail.goteRating());
    if (k.ratingMode == 3) {
        if (std::abs(int(sente) - int(gote)) < int(k.senteLow)) return false;
    } else {
        const bool senteIn = InRange(sente, k.senteLow, k.senteHigh);
        const bool goteIn = InRange(gote, k.goteLow, k.goteHigh);
        if (k.ratingMode == 2 ? !(senteIn || goteIn) : !(senteIn && goteIn)) return false;
    }

    const bool noPlayer1 = IsNoCondition(k.player1);
    if (!noPlayer1 || !IsNoCondition(k.player2)) {
        const std::string s = LowerAscii(detail.senteName());
        const std::string g = LowerAscii(detail.goteName());
        const auto test = [](const std::string& c, const std::string& name) {
            return ConditionPasses(LowerAscii(c), name, detail::kNameWidth);
        };
        bool pass = noPlayer1 ? test(k.player2, g) : test(k.player1, s) && test(k.player2, g);
        if (!pass && k.playerMode == 1) {
            pass = noPlayer1 ? test(k.player2, s) : test(k.player1, g) && test(k.player2, s);
        }
        if (!pass) return false;
    }
    return ConditionPasses(k.tournamentText, detail.tournamentText(), detail::kTournamentTextWidth) &&
           ConditionPasses(k.place, detail.place(), detail::kPlaceWidth) &&
           ConditionPasses(k.recorder, detail.recorder(), detail::kRecorderWidth) &&
           ConditionPasses(k.remarks, detail.remarks(), detail::kRemarksWidth);
}

bool NeedsMoveInfo(const TKensaku2& k, const DetailRecord& detail) {
    return k.commentCondition != 0 && detail.openingCommentNumber() == 0 &&
           detail.closingCommentNumber() == 0;
}

bool CommentConditionPasses(const TKensaku2& k, const DetailRecord& detail, const MoveInfo& info) {
    if (k.commentCondition == 0) return true;
    bool commented = detail.openingCommentNumber() != 0 || detail.closingCommentNumber() != 0;
    for (int e = 0; !commented && e < kMoveInfoEntries; ++e) commented = info.commentNumber(e) != 0;
    return k.commentCondition > 0 ? commented : !commented;
}

SearchOutcome DetailSearch(const GameStore& store, const TKensaku2& k, GameCatalogue& catalogue,
                           Prompter& prompter, const SearchOptions& options) {
    RecordBlockReader index, details, moveInfo;
    if (!OpenIndexReader(store, index, kBlockRecords)) {
        throw StoreIoError("cannot open", store.files.IndexPath());
    }
    const bool detailsOpen =
        details.Open(store.files.Path(ext::kDetail), kDetailRecordSize, 0, kBlockRecords);
    const bool infoOpen =
        k.commentCondition != 0 &&
        moveInfo.Open(store.files.Path(ext::kMoveInfo), kMoveInfoRecordSize, 0, kBlockRecords / 4);
    RecordFile infoOverflow;
    if (k.commentCondition != 0) {
        infoOverflow.Open(store.files.Path(ext::kMoveInfoOverflow), kMoveInfoRecordSize,
                          RecordFile::Access::Read);
    }
    const std::uint64_t games = index.recordCount() > 0 ? index.recordCount() - 1 : 0;

    SearchOutcome outcome;
    GameHeader* working = catalogue.working().data();
    const std::uint32_t capacity = GameCatalogue::capacity();
    const std::string caption = SearchProgressCaption();
    const std::uint8_t* indexBlock = nullptr;
    const std::uint8_t* detailBlock = nullptr;
    const std::uint8_t* infoBlock = nullptr;
    std::size_t indexLeft = 0, detailLeft = 0, infoLeft = 0;
    bool detailsEnded = !detailsOpen, infoEnded = !infoOpen;
    DetailRecord detail;
    MoveInfo info;
    std::uint32_t hits = 0;

    for (std::uint64_t i = 0; i < games; ++i) {
        if (indexLeft == 0 && (indexLeft = index.Next(indexBlock)) == 0) break;
        const std::uint8_t* record = indexBlock;
        indexBlock += kIndexRecordSize;
        --indexLeft;
        // A detail or move-info file shorter than the index reads as zero records.
        detail = DetailRecord{};
        if (!detailsEnded && detailLeft == 0 && (detailLeft = details.Next(detailBlock)) == 0) {
            detailsEnded = true;
        }
        if (!detailsEnded) {
            std::copy_n(detailBlock, kDetailRecordSize, detail.bytes.data());
            detailBlock += kDetailRecordSize;
            --detailLeft;
        }
        const std::uint8_t* infoRecord = nullptr;
        if (!infoEnded && infoLeft == 0 && (infoLeft = moveInfo.Next(infoBlock)) == 0) infoEnded = true;
        if (!infoEnded) {
            infoRecord = infoBlock;
            infoBlock += kMoveInfoRecordSize;
            --infoLeft;
        }

        ++outcome.examined;
        if (outcome.examined % 100 == 0 &&
            !prompter.Progress(caption, long(outcome.examined), long(games))) {
            outcome.stopped = true;
            return outcome;
        }
        if (!DetailRecordPasses(k, detail)) continue;
        if (NeedsMoveInfo(k, detail)) {
            info = MoveInfo{};
            if (infoRecord != nullptr) std::copy_n(infoRecord, kMoveInfoRecordSize, info.firstRecord());
            const int n = LoadU16(record + indexword::kOverflow * 2);
            if (IsOverflowNumber(n)) infoOverflow.Read(std::uint64_t(n), info.overflowRecord());
        }
        if (!CommentConditionPasses(k, detail, info)) continue;
        GameHeader h;
        if (!HeaderFromIndexBytes(record, std::uint32_t(i + 1), h)) {
            ++outcome.unlisted;
            continue;
        }
        if (hits >= capacity) {
            outcome.overCapacity = true;
            break;
        }
        working[hits++] = h;
    }
    outcome.hits = hits;
    if (hits > 0) {
        std::copy_n(working, hits, catalogue.allEntries().data());
        catalogue.setCount(hits);
        catalogue.setPageStart(1);
    }
    if (options.announce) prompter.Inform(SearchResultMessage(long(hits)));
    return outcome;
}

// --- the dialog --------------------------------------------------------------------------------------------

Kensaku2Check CheckKensaku2Form(const Kensaku2Form& f) {
    const auto blank = [](const std::string& t) { return Trim(t).empty(); };
    if (f.players && blank(f.player1) && blank(f.player2)) {
        return {Kensaku2Field::Player1, std::string{"棋士名を入力してください。"_sj}};
    }
    if (f.tournament && blank(f.tournamentText)) {
        return {Kensaku2Field::Tournament, std::string{"棋戦名(詳細)を入力してください。"_sj}};
    }
    if (f.place && blank(f.placeText)) {
        return {Kensaku2Field::Place, std::string{"対局場所を入力してください。"_sj}};
    }
    if (f.recorder && blank(f.recorderText)) {
        return {Kensaku2Field::Recorder, std::string{"記録係を入力してください。"_sj}};
    }
    if (f.remarks && blank(f.remarksText)) {
        return {Kensaku2Field::Remarks, std::string{"備考を入力してください。"_sj}};
    }
    if (!f.ratings.senteEnabled && !f.ratings.goteEnabled && !f.comments && !f.players &&
        !f.tournament && !f.place && !f.recorder && !f.remarks) {
        return {Kensaku2Field::Player1, std::string{"検索条件を指定してください。"_sj}};
    }
    return {};
}

Kensaku2Check BuildKensaku2(const Kensaku2Form& f, TKensaku2& out) {
    TKensaku2 k;
    const RatingRanges& r = f.ratings;
    k.ratingMode = f.ratingOr && (r.senteEnabled || r.goteEnabled) ? 2 : 1;
    const auto senteLow = RatingValue(r.senteLow);
    if (!senteLow) return {Kensaku2Field::SenteLow, BadRatingMessage()};
    // A negative sente low value asks for a rating difference, whether the row is on or not.
    if (*senteLow < 0) k.ratingMode = 3;

    // One row: the typed range when it is on, else everything (mode 1) or nothing (mode 2).
    const auto row = [&](bool enabled, const std::string& lowText, const std::string& highText,
                         std::uint16_t& low, std::uint16_t& high) {
        if (!enabled) {
            low = k.ratingMode == 2 ? 1 : 0;
            high = k.ratingMode == 2 ? 0 : 9999;
            return true;
        }
        const auto lo = RatingValue(lowText);
        const auto hi = RatingValue(highText);
        if (!lo || !hi || std::abs(*lo) > 0xFFFF || *hi < 0 || *hi > 0xFFFF) return false;
        low = std::uint16_t(std::abs(*lo));
        high = std::uint16_t(*hi);
        return true;
    };
    if (!row(r.senteEnabled, r.senteLow, r.senteHigh, k.senteLow, k.senteHigh)) {
        return {Kensaku2Field::SenteLow, BadRatingMessage()};
    }
    if (!row(r.goteEnabled, r.goteLow, r.goteHigh, k.goteLow, k.goteHigh)) {
        return {Kensaku2Field::GoteLow, BadRatingMessage()};
    }
    // The difference threshold is what was typed, whether the row is on or not.
    if (k.ratingMode == 3) k.senteLow = std::uint16_t(std::min(std::abs(*senteLow), 0xFFFF));

    k.commentCondition = f.comments ? (f.withComments ? 1 : -1) : 0;

    k.playerMode = f.playerMode == PlayerMode::Either ? 1 : 2;
    if (f.players) {
        const char marker = f.playersContain ? '>' : '=';
        const auto condition = [&](const std::string& box) {
            const std::string t = Trim(box);
            if (t.empty()) return std::string(" ");
            const std::string c = marker + LowerAscii(t);
            return c.substr(0, FittingBytes(c, kPlayerConditionBytes));
        };
        k.player1 = condition(f.player1);
        k.player2 = condition(f.player2);
        if (f.playerMode == PlayerMode::Swapped) std::swap(k.player1, k.player2);
    }
    const auto text = [](bool ticked, const std::string& box, bool exact) {
        if (!ticked || Trim(box).empty()) return std::string(" ");
        return (exact ? "=" : ">") + box;
    };
    k.tournamentText = text(f.tournament, f.tournamentText, f.tournamentExact);
    k.place = text(f.place, f.placeText, f.placeExact);
    k.recorder = text(f.recorder, f.recorderText, f.recorderExact);
    k.remarks = text(f.remarks, f.remarksText, f.remarksExact);
    out = k;
    return {};
}

Kensaku2Check CheckRatingPanel(RatingRanges& ranges) {
    const auto row = [](bool enabled, std::string& lowText, std::string& highText,
                        Kensaku2Field focus) -> Kensaku2Check {
        if (!enabled) return {};
        const auto lo = RatingValue(lowText);
        auto hi = RatingValue(highText);
        if (lo && hi && *lo == 0 && *hi == 0) {
            return {focus, std::string{"レーティング点数を入力してください。"_sj}};
        }
        if (hi && *hi == 0) {
            highText = "9999";
            hi = 9999;
        }
        if (!lo || !hi || *hi < *lo || *lo > 32767 || *hi > 32767) return {focus, BadRatingMessage()};
        return {};
    };
    if (Kensaku2Check c = row(ranges.senteEnabled, ranges.senteLow, ranges.senteHigh,
                              Kensaku2Field::SenteLow);
        !c.ok()) {
        return c;
    }
    return row(ranges.goteEnabled, ranges.goteLow, ranges.goteHigh, Kensaku2Field::GoteLow);
}

RatingRanges LoadRatingRanges(const Settings::Kensaku2& saved) {
    RatingRanges r;
    r.senteEnabled = saved.Rating1;
    r.senteLow = saved.Rating1F;
    r.senteHigh = saved.Rating1T;
    r.goteEnabled = saved.Rating2;
    r.goteLow = saved.Rating2F;
    r.goteHigh = saved.Rating2T;
    if (r.senteEnabled && RatingValue(r.senteHigh) == 0) r.senteHigh = "9999";
    if (r.goteEnabled && RatingValue(r.goteHigh) == 0) r.goteHigh = "9999";
    return r;
}

void SaveRatingRanges(const RatingRanges& r, Settings::Kensaku2& saved) {
    saved.Rating1 = r.senteEnabled;
    saved.Rating1F = r.senteLow;
    saved.Rating1T = r.senteHigh;
    saved.Rating2 = r.goteEnabled;
    saved.Rating2F = r.goteLow;
    saved.Rating2T = r.goteHigh;
}

void PushHistory(std::array<std::string, kSearchListCount>& history, std::string_view text) {
    if (Trim(text).empty()) return;
    auto found = std::find(history.begin(), history.end(), text);
    if (found == history.end()) found = history.end() - 1;  // the tenth falls off
    std::move_backward(history.begin(), found, found + 1);
    history[0] = std::string(text);
}

void PushHistories(const Kensaku2Form& f, Settings::Kensaku2& saved) {
    if (f.players) {
        PushHistory(saved.Kishi1, f.player1);
        PushHistory(saved.Kishi2, f.player2);
    }
    if (f.tournament) PushHistory(saved.Movra, f.tournamentText);
    if (f.place) PushHistory(saved.Place, f.placeText);
    if (f.recorder) PushHistory(saved.Kiroku, f.recorderText);
    if (f.remarks) PushHistory(saved.Bikou, f.remarksText);
}

}  // namespace movra
