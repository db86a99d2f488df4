#pragma once
// Deterministic sample stores for the generators and benchmarks: legal games from the movement
// rules, realistic lengths, handicaps, consumed times, comments, dates over decades, thousands
// of player numbers and the master tables that name them.
//
// Playing out a million games move by move would take longer than the benchmarks deserve, so a
// pool of distinct games is played (a few thousand by default) and every stored game takes the
// moves of one of them with a header, times and comments of its own.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/sjis_literal.h"
#include "core/rules/move_list.h"
#include "core/store/comment_layout.h"
#include "core/store/game_io.h"
#include "core/store/layout.h"
#include "core/store/master_data.h"
#include "core/store/record_file.h"
#include "core/store/store_files.h"

namespace movra::sample {

using namespace movra::literals;

// splitmix64: the same numbers on every machine, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t start) : state_(start) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 … n - 1
    int Below(int n) { return n <= 0 ? 0 : int(Next() % std::uint64_t(n)); }
    // lo … hi
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Percent(double p) { return double(Next() % 1000000) < p * 10000.0; }

private:
    std::uint64_t state_;
};

struct PoolGame {
    int handicap = 0;
    int moveCount = 0;
    MoveBytes moves;
    MoveInfo info;  // placements only; times and comments are per stored game
};

// The length a game is played to: mostly 60-180 moves, some short, some past 256, a few that
// fill all 512 slots (511 moves in a handicap game).
inline int PickLength(Rng& rng, int handicap, bool full) {
    const int most = handicap != 0 ? 511 : 512;
    if (full) return most;
    const int r = rng.Below(1000);
    if (r < 850) return rng.Between(60, 180);
    if (r < 930) return rng.Between(20, 59);
    if (r < 990) return rng.Between(181, 256);
    return rng.Between(257, 400);
}

inline int PickHandicap(Rng& rng) {
    if (!rng.Percent(5.0)) return 0;
    const int r = rng.Below(100);
    if (r < 90) return rng.Between(1, 9);  // 香落ち … 十枚落ち
    return rng.Between(10, 14);
}

// Plays random moves the movement rules accept, never taking a king. Returns the moves made.
inline int PlayGame(Rng& rng, int handicap, int length, TKifData& record,
                    std::vector<MoveCode>& scratch) {
    record.ResetHeader(handicap);
    record.ClearMoves();
    record.SetUpStandard();
    for (int n = 1; n <= length; ++n) {
        ListMoves(record.position, record.SideOf(n), scratch);
        std::erase_if(scratch, [&](const MoveCode& m) {
            const PieceCode there =
                record.position.board[std::size_t(BoardIndex(m.toFile(), m.toRank()))];
            return there != 0 && OwnCode(there) == piece::Gyoku;
        });
        if (scratch.empty()) break;
        if (!record.AppendAndApply(scratch[std::size_t(rng.Below(int(scratch.size())))])) break;
    }
    return record.moveCount;
}

inline std::vector<PoolGame> MakePool(Rng& rng, int size) {
    std::vector<PoolGame> pool(std::size_t(std::max(size, 1)));
    TKifData record;
    std::vector<MoveCode> scratch;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        PoolGame& g = pool[i];
        // One game in 200 fills every slot, so that the longest games are always there.
        const bool full = i % 200 == 7;
        g.handicap = full && i % 400 == 7 ? 1 : PickHandicap(rng);
        const int length = PickLength(rng, g.handicap, full);
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (PlayGame(rng, g.handicap, length, record, scratch) >= length) break;
        }
        g.moveCount = FillMoveBuffers(record, g.moves, g.info);
    }
    return pool;
}

// Sequential writer of comment files: numbers are handed out in order, file by file.
class CommentSink {
public:
    explicit CommentSink(const StoreFiles& files) : files_(files) {}
    // Stores the text; answers its file and number.
    void Add(std::string_view text, int& file, int& number) {
        if (number_ == kMaxCommentNumber) Close();
        if (!writer_) Open();
        ++number_;
        TextToCommentSlot(record_.data() + std::size_t((number_ - 1) % kCommentsPerRecord) *
                                               kCommentSlotSize,
                          text);
        if (number_ % kCommentsPerRecord == 0) Flush();
        ++total_;
        file = file_;
        number = number_;
    }
    // Finishes the file being written. Without any comment, comment file 0 stays as the store
    // was created with it.
    void Close() {
        if (!writer_) return;
        if (number_ % kCommentsPerRecord != 0) Flush();
        writer_->Finish();
        writer_.reset();
        CommentBitmap bitmap = CommentBitmap::Fresh();
        for (int n = 1; n <= number_; ++n) bitmap.Set(n);
        RecordFile file;
        if (!file.Open(files_.Path(ext::CommentFile(file_)), kCommentRecordSize,
                       RecordFile::Access::ReadWrite) ||
            !file.Write(0, bitmap.bytes.data())) {
            throw StoreIoError("cannot write", files_.Path(ext::CommentFile(file_)));
        }
        ++file_;
        number_ = 0;
    }
    int commentCount() const { return total_; }

private:
    void Open() {
        if (file_ >= kCommentFileCount) throw StoreIoError("all comment files full", files_.Path(".cpf"));
        writer_ = std::make_unique<RecordBlockWriter>();
        if (!writer_->Create(files_.Path(ext::CommentFile(file_)), kCommentRecordSize, 64)) {
            throw StoreIoError("cannot create", files_.Path(ext::CommentFile(file_)));
        }
        const CommentBitmap placeholder;  // written properly when the file is closed
        writer_->Append(placeholder.bytes.data());
        record_.fill(0);
    }
    void Flush() {
        writer_->Append(record_.data());
        record_.fill(0);
    }
    const StoreFiles& files_;
    std::unique_ptr<RecordBlockWriter> writer_;
    std::array<std::uint8_t, kCommentRecordSize> record_{};
    int file_ = 0;
    int number_ = 0;
    int total_ = 0;
};

struct StoreOptions {
    std::filesystem::path path;  // the ".idx" or ".ipx" to write
    long games = 1000;
    std::uint64_t randomStart = 1;
    bool extended = true;
    int pool = 4000;              // distinct games played
    std::filesystem::path dat;    // where the master files go; empty: no master files
    bool quiet = true;
};

struct StoreFigures {
    long games = 0;
    long moves = 0;
    int overflowNumbers = 0;
    int truncated = 0;  // long games kept to 256 slots (classic kind, or no number left)
    int comments = 0;
};

namespace names {
constexpr std::string_view kFamily[] = {
    "佐藤"_sj, "鈴木"_sj, "高橋"_sj, "田中"_sj, "伊藤"_sj, "渡辺"_sj, "山本"_sj, "中村"_sj,
    "小林"_sj, "加藤"_sj, "吉田"_sj, "山田"_sj, "佐々木"_sj, "山口"_sj, "松本"_sj, "井上"_sj,
    "木村"_sj, "林"_sj, "斎藤"_sj, "清水"_sj, "羽生"_sj, "森内"_sj, "谷川"_sj, "大山"_sj};
constexpr std::string_view kFamilyKana[] = {
    "ｻﾄｳ"_sj, "ｽｽﾞｷ"_sj, "ﾀｶﾊｼ"_sj, "ﾀﾅｶ"_sj, "ｲﾄｳ"_sj, "ﾜﾀﾅﾍﾞ"_sj, "ﾔﾏﾓﾄ"_sj, "ﾅｶﾑﾗ"_sj,
    "ｺﾊﾞﾔｼ"_sj, "ｶﾄｳ"_sj, "ﾖｼﾀﾞ"_sj, "ﾔﾏﾀﾞ"_sj, "ｻｻｷ"_sj, "ﾔﾏｸﾞﾁ"_sj, "ﾏﾂﾓﾄ"_sj, "ｲﾉｳｴ"_sj,
    "ｷﾑﾗ"_sj, "ﾊﾔｼ"_sj, "ｻｲﾄｳ"_sj, "ｼﾐｽﾞ"_sj, "ﾊﾌﾞ"_sj, "ﾓﾘｳﾁ"_sj, "ﾀﾆｶﾞﾜ"_sj, "ｵｵﾔﾏ"_sj};
constexpr std::string_view kGiven[] = {"一郎"_sj, "健太"_sj, "翔"_sj,   "大輔"_sj, "誠"_sj,
                                       "康光"_sj, "善治"_sj, "浩司"_sj, "俊之"_sj, "康晴"_sj,
                                       "拓也"_sj, "聡"_sj,   "涼"_sj,   "明"_sj,   "進"_sj};
constexpr std::string_view kGivenKana[] = {"ｲﾁﾛｳ"_sj, "ｹﾝﾀ"_sj,  "ｼｮｳ"_sj,   "ﾀﾞｲｽｹ"_sj,
                                           "ﾏｺﾄ"_sj,  "ﾔｽﾐﾂ"_sj, "ﾖｼﾊﾙ"_sj,  "ｺｳｼﾞ"_sj,
                                           "ﾄｼﾕｷ"_sj, "ﾔｽﾊﾙ"_sj, "ﾀｸﾔ"_sj,   "ｻﾄｼ"_sj,
                                           "ﾘｮｳ"_sj,  "ｱｷﾗ"_sj,  "ｽｽﾑ"_sj};
constexpr std::string_view kRanks[] = {"四段"_sj, "五段"_sj, "六段"_sj, "七段"_sj, "八段"_sj,
                                       "九段"_sj, "名人"_sj, "竜王"_sj, "王将"_sj, "アマ三段"_sj};
constexpr std::string_view kPlaces[] = {"東京・将棋会館"_sj, "関西将棋会館"_sj, "大阪"_sj,
                                        "名古屋"_sj, "福岡"_sj, "北海道"_sj};
constexpr std::string_view kTournaments[] = {"名人戦"_sj, "竜王戦"_sj, "王位戦"_sj, "王座戦"_sj,
                                             "棋王戦"_sj, "王将戦"_sj, "棋聖戦"_sj, "順位戦"_sj,
                                             "朝日杯"_sj, "銀河戦"_sj, "新人王戦"_sj};
constexpr std::string_view kOpenings[] = {"矢倉"_sj,     "角換わり"_sj, "相掛かり"_sj,
                                          "横歩取り"_sj, "四間飛車"_sj, "三間飛車"_sj,
                                          "中飛車"_sj,   "向かい飛車"_sj, "雁木"_sj, "力戦"_sj};
constexpr std::string_view kComments[] = {
    "ここが勝負所。"_sj, "疑問手。"_sj, "好手。"_sj, "この手で形勢が傾いた。"_sj,
    "▲７六歩なら互角だった。"_sj, "長考の一手。"_sj, "終盤の寄せが見事。"_sj};

template <std::size_t N>
std::string_view Pick(Rng& rng, const std::string_view (&list)[N]) {
    return list[std::size_t(rng.Below(int(N)))];
}
}  // namespace names

inline std::string PlayerName(Rng& rng, std::string* kana = nullptr) {
    const int f = rng.Below(int(std::size(names::kFamily)));
    const int g = rng.Below(int(std::size(names::kGiven)));
    if (kana) *kana = std::string(names::kFamilyKana[f]) + " " + std::string(names::kGivenKana[g]);
    return std::string(names::kFamily[f]) + std::string(names::kGiven[g]);
}

// Ksname.dat with players 1-999, Movra.dat with 99 tournaments (some with sub-tournaments) and
// Senkei.dat with 100 openings.
inline bool WriteMasterFiles(const std::filesystem::path& folder, std::uint64_t start) {
    Rng rng(start ^ 0x6D6173746572ull);
    PlayerTable players;
    for (int n = 1; n <= kLargestFilePlayer; ++n) {
        std::string kana;
        const std::string name = PlayerName(rng, &kana);
        players.SetEntry(n, char('A' + rng.Below(5)), name, kana);
    }
    TournamentTable tournaments;
    for (int t = 1; t <= kTournamentFileRows; ++t) {
        MasterRow& row = tournaments.MutableRow(t - 1);
        row.number = std::uint16_t(t);
        row.name = std::string("第"_sj) + std::to_string(t) + std::string("期"_sj) +
                   std::string(names::Pick(rng, names::kTournaments));
        if (t % 5 == 0) {
            for (int s = 1; s <= 1 + t % 10 && s <= kSubTournamentRows; ++s) {
                MasterRow& sub = tournaments.MutableSubRow(t, s - 1);
                sub.number = std::uint16_t(s);
                sub.name = "Block " + std::to_string(s);
            }
        }
    }
    OpeningTable openings;
    for (int o = 1; o <= kOpeningRows; ++o) {
        MasterRow& row = openings.MutableRow(o - 1);
        row.number = std::uint16_t(o);
        row.name = std::string(names::kOpenings[std::size_t(o) % std::size(names::kOpenings)]) +
                   std::to_string(o);
    }
    return players.Write(folder) && tournaments.Write(folder) && openings.Write(folder);
}

// Writes a whole store in one sequential pass: the same bytes as appending every game with
// WriteGame and WriteGameDetail, overflow numbers handed out from 1 in order.
inline StoreFigures GenerateStore(const StoreOptions& options) {
    StoreFigures figures;
    Rng rng(options.randomStart);
    const int poolSize = int(std::min<long>(options.pool, std::max<long>(options.games, 8)));
    const std::vector<PoolGame> pool = MakePool(rng, poolSize);
    if (!options.quiet) std::fprintf(stderr, "pool of %zu games played\n", pool.size());

    if (!CreateStoreFiles(options.path, options.extended)) {
        throw StoreIoError("cannot create", options.path);
    }
    const StoreFiles files(options.path);
    RecordBlockWriter index, gameData, overflowData, detail, moveInfo, infoOverflow;
    const auto create = [&](RecordBlockWriter& w, std::string_view extension, std::size_t size,
                            std::size_t block) {
        if (!w.Create(files.Path(extension), size, block)) {
            throw StoreIoError("cannot create", files.Path(extension));
        }
    };
    create(index, ext::kIndex, kIndexRecordSize, 8192);
    create(gameData, ext::kGameData, kGameDataRecordSize, 1024);
    StoreHeader header;
    header.SetGameCount(std::uint32_t(options.games));
    index.Append(header.bytes.data());
    if (options.extended) {
        create(overflowData, ext::kOverflowGameData, kGameDataRecordSize, 256);
        create(detail, ext::kDetail, kDetailRecordSize, 1024);
        create(moveInfo, ext::kMoveInfo, kMoveInfoRecordSize, 256);
        create(infoOverflow, ext::kMoveInfoOverflow, kMoveInfoRecordSize, 256);
        const OverflowBitmap placeholder;  // record 0, written properly at the end
        infoOverflow.Append(placeholder.bytes.data());
    }
    CommentSink comments(files);
    int nextOverflow = 1;
    const std::array<std::uint8_t, kMoveInfoRecordSize> zeros{};

    for (long k = 1; k <= options.games; ++k) {
        const PoolGame& g = pool[std::size_t(rng.Below(int(pool.size())))];
        IndexRecord ix;
        const auto player = [&] { return std::uint16_t(rng.Percent(8) ? 0 : rng.Between(1, 999)); };
        ix.setSentePlayer(player());
        ix.setGotePlayer(player());
        if (!rng.Percent(15)) {
            ix.setTournament(std::uint16_t(rng.Between(1, 99)));
            if (ix.tournament() % 5 == 0 && rng.Percent(50)) {
                ix.setSubTournament(std::uint16_t(rng.Between(1, 1 + ix.tournament() % 10)));
            }
            if (rng.Percent(30)) ix.setGameNumber(std::uint16_t(rng.Between(1, 7)));
        }
        if (!rng.Percent(2)) {
            ix.setYear(std::uint16_t(rng.Between(1950, 2024)));
            ix.setMonth(std::uint16_t(rng.Between(1, 12)));
            ix.setDay(std::uint16_t(rng.Between(1, 28)));
        }
        if (!rng.Percent(20)) ix.setOpening(std::uint16_t(rng.Between(1, 100)));
        const int r = rng.Below(100);
        ix.setResult(std::uint16_t(r < 46 ? 1 : r < 92 ? 2 : r < 94 ? 3 : r < 95 ? 4 : r < 98 ? 0
                                                                                         : rng.Between(5, 8)));
        ix.setHandicap(std::uint16_t(g.handicap));

        MoveBytes moves = g.moves;
        int storedMoves = g.moveCount;
        if (moves.usesOverflow()) {
            if (options.extended && nextOverflow <= kMaxOverflowNumber) {
                ix.setOverflowNumber(std::uint16_t(nextOverflow++));
                overflowData.Append(moves.overflowRecord());
                ++figures.overflowNumbers;
            } else {
                std::fill(moves.bytes.begin() + kGameDataRecordSize, moves.bytes.end(), 0);
                storedMoves = CountMoves(moves);
                ++figures.truncated;
            }
        }
        index.Append(ix.bytes.data());
        gameData.Append(moves.firstRecord());
        figures.moves += storedMoves;

        if (options.extended) {
            MoveInfo info = g.info;
            if (!moves.usesOverflow()) {
                std::fill(info.bytes.begin() + kMoveInfoRecordSize, info.bytes.end(), 0);
            }
            const int first = MoveInfoEntryOfMove(1, g.handicap);
            for (int e = first; e < first + storedMoves; ++e) {
                info.setConsumedTime(e, std::uint16_t(rng.Between(1, 600)));
            }
            DetailRecord d;
            if (rng.Percent(3) && storedMoves > 0) {
                const int count = rng.Between(1, 3);
                for (int c = 0; c < count; ++c) {
                    int file = 0, number = 0;
                    comments.Add(names::Pick(rng, names::kComments), file, number);
                    const int e = first + rng.Below(storedMoves);
                    info.setCommentFile(e, file);
                    info.setCommentNumber(e, std::uint16_t(number));
                }
                if (rng.Percent(30)) {
                    int file = 0, number = 0;
                    comments.Add("序盤から激しい展開。"_sj, file, number);
                    d.setOpeningComment(std::uint8_t(file), std::uint16_t(number));
                }
            }
            if (ix.sentePlayer() == 0) d.setSenteName(PlayerName(rng));
            if (ix.gotePlayer() == 0) d.setGoteName(PlayerName(rng));
            if (rng.Percent(40)) {
                d.setSenteRank(names::Pick(rng, names::kRanks));
                d.setGoteRank(names::Pick(rng, names::kRanks));
            }
            if (rng.Percent(10)) d.setPlace(names::Pick(rng, names::kPlaces));
            if (ix.year() != 0) {
                d.setStart({ix.year(), std::uint8_t(ix.month()), std::uint8_t(ix.day()), 10, 0});
            }
            d.setSenteAllowedMinutes(std::uint16_t(rng.Between(0, 6) * 60));
            d.setGoteAllowedMinutes(d.senteAllowedMinutes());
            d.CopyIndexWords(ix);
            d.setMoveCount(std::uint16_t(storedMoves));
            if (rng.Percent(20)) d.setClosingTime(std::uint16_t(rng.Between(1, 300)));
            detail.Append(d.bytes.data());
            moveInfo.Append(info.firstRecord());
            if (ix.overflowNumber() != 0) {
                infoOverflow.Append(info.usesOverflow() ? info.overflowRecord() : zeros.data());
            }
        }
        if (!options.quiet && k % 100000 == 0) std::fprintf(stderr, "%ld games\n", k);
    }
    index.Finish();
    gameData.Finish();
    if (options.extended) {
        overflowData.Finish();
        detail.Finish();
        moveInfo.Finish();
        infoOverflow.Finish();
        OverflowBitmap bitmap;
        for (int n = 1; n < nextOverflow; ++n) bitmap.Set(n);
        RecordFile kp2;
        if (!kp2.Open(files.Path(ext::kMoveInfoOverflow), kOverflowBitmapSize,
                      RecordFile::Access::ReadWrite) ||
            !kp2.Write(0, bitmap.bytes.data())) {
            throw StoreIoError("cannot write", files.Path(ext::kMoveInfoOverflow));
        }
        comments.Close();
        figures.comments = comments.commentCount();
    }
    if (!options.dat.empty() && !WriteMasterFiles(options.dat, options.randomStart)) {
        throw StoreIoError("cannot write the master files", options.dat);
    }
    figures.games = options.games;
    return figures;
}

}  // namespace movra::sample
