#include "core/textio/lisvek_reader.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "core/store/record_file.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/cp932.h"
#include "core/text/sjis_text.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

// The fixed tournament list of the collections: entry n - 1 is tournament n.
constexpr std::string_view kTournaments[] = {
    "名人戦"_sj, "順位戦"_sj, "王将戦"_sj, "王位戦"_sj, "竜王戦"_sj, "棋聖戦"_sj,
    "棋王戦"_sj, "王座戦"_sj, "全日プロ"_sj, "ＮＨＫ杯"_sj, "新人王戦"_sj, "早指戦"_sj,
    "早指新鋭戦"_sj, "日本シリーズ"_sj, "勝ち抜き戦"_sj, "銀河戦"_sj, "女流名人戦"_sj,
    "女流王将戦"_sj, "女流王位戦"_sj, "倉敷藤花"_sj, "レディースオープン"_sj, "鹿島杯"_sj,
    "２３"_sj, "達人戦"_sj, "その他の棋戦"_sj, "十段戦"_sj, "名将戦"_sj, "連盟杯戦"_sj,
    "天王戦"_sj, "若獅子戦"_sj};

// The file of that name in the folder, its name compared without regard to case (the product
// wrote "KIFU.DAT" as well as "kifu.dat"); the name as given when there is none.
fs::path FileIn(const fs::path& folder, const char* name) { return ResolvePath(folder, name); }

bool ReadWhole(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    bytes.clear();
    std::uint8_t buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// The trimmed names of a names file, record by record (none when it cannot be read).
template <class Record>
std::vector<std::string> ReadNames(const fs::path& path) {
    std::vector<std::string> names;
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, bytes)) return names;
    Record r;
    for (std::size_t at = 0; at + r.bytes.size() <= bytes.size(); at += r.bytes.size()) {
        std::copy_n(bytes.begin() + std::ptrdiff_t(at), r.bytes.size(), r.bytes.begin());
        names.push_back(TrimFullWidth(r.name()));
    }
    return names;
}

bool Contains(std::string_view name, std::string_view word) { return sjis::Contains(name, word); }

// The end character that gives the header's result: who won, against who made the last move.
char EndCharacterOfResult(int result, int moves) {
    const int lastMover = moves % 2 == 1 ? 1 : 2;
    switch (result) {
        case 1: case 2: return result == lastMover ? endchar::kResigned : endchar::kLastMoverLost;
        case 3: return endchar::kRepetition;
        case 4: return endchar::kImpasse;
        default: return endchar::kNone;
    }
}

}  // namespace

int LisvekEditionOfDate(std::string_view date) {
    constexpr std::string_view kReleases[] = {"1996/10/28", "1997/02/06", "1997/08/10",
                                              "1997/11/01", "1998/04/24", "1998/08/20"};
    for (std::size_t i = 0; i < std::size(kReleases); ++i) {
        if (date == kReleases[i]) return int(i) + 1;
    }
    return 7;
}

int LisvekEdition(const fs::path& kifuKif) {
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(kifuKif, ec);
    if (ec) return 7;
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::file_clock::to_sys(written));
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return 7;
    char date[48];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return LisvekEditionOfDate(date);
}

std::string LisvekMoveCode(std::int16_t destination, std::int16_t origin) {
    std::string code;
    if (origin > 10) {
        code += std::to_string(origin % 10);
        code += std::to_string(origin / 10);
    } else if (origin >= 1 && origin <= 8) {
        code += '0';
        code += char('0' + (9 - origin));
    } else {
        code += '0';
    }
    const int a = destination < 0 ? -int(destination) : int(destination);
    code += std::to_string(a % 10);
    code += std::to_string(a / 10);
    code += destination < 0 ? '+' : ' ';
    return code;
}

std::string MapLisvekOpening(int edition, std::string_view name) {
    switch (edition) {
        case 1:
            return std::string(name == "その他"_sj ? std::string_view("向飛車"_sj) : std::string_view("四間飛車"_sj));
        case 2:
            return std::string(name == "その他"_sj || name == "右玉"_sj ? std::string_view("その他の戦型"_sj)
                                                                  : std::string_view("矢倉"_sj));
        case 3:
            if (Contains(name, "三間飛車"_sj)) return std::string("三間飛車"_sj);
            if (Contains(name, "中飛車"_sj)) return std::string("中飛車"_sj);
            if (Contains(name, "向飛車"_sj)) return std::string("向飛車"_sj);
            if (Contains(name, "相振飛車"_sj) || Contains(name, "金無双"_sj)) return std::string("相振飛車"_sj);
            if (Contains(name, "陽動振飛車"_sj)) return std::string("その他の戦型"_sj);
            return {};
        case 4:
            if (Contains(name, "横歩取り"_sj)) return std::string("横歩取り"_sj);
            if (Contains(name, "相掛かり"_sj)) return std::string("相掛かり"_sj);
            if (Contains(name, "ひねり飛車"_sj)) return std::string("ひねり飛車"_sj);
            if (Contains(name, "角換わり腰掛け銀"_sj)) return std::string("角交換腰掛銀"_sj);
            if (Contains(name, "角換わり拒否型"_sj)) return std::string("その他の戦型"_sj);
            if (Contains(name, "角換わり"_sj)) return std::string("角交換その他"_sj);
            return {};
        case 5:
            return std::string("四間飛車"_sj);
        case 6:
            return std::string(name == "右玉"_sj ? std::string_view("その他の戦型"_sj) : std::string_view("矢倉"_sj));
        default:
            for (const std::string_view word : {std::string_view("三間飛車"_sj), std::string_view("中飛車"_sj),
                                                std::string_view("向飛車"_sj)}) {
                if (Contains(name, word)) return std::string(word);
            }
            if (Contains(name, "相振り飛車"_sj)) return std::string("相振飛車"_sj);
            if (Contains(name, "陽動振り飛車"_sj)) return std::string("その他の戦型"_sj);
            for (const std::string_view word : {std::string_view("横歩取り"_sj), std::string_view("ひねり飛車"_sj),
                                                std::string_view("相掛かり"_sj)}) {
                if (Contains(name, word)) return std::string(word);
            }
            if (Contains(name, "角換わり腰掛け銀"_sj)) return std::string("角交換腰掛銀"_sj);
            if (Contains(name, "角換わり拒否型"_sj)) return std::string("その他の戦型"_sj);
            if (Contains(name, "角換わり"_sj)) return std::string("角交換その他"_sj);
            return {};
    }
}

std::string LisvekTournamentName(int edition, int number) {
    if ((edition == 2 || edition == 3) && (number == 16 || number == 17)) ++number;
    if (number < 1 || number > int(std::size(kTournaments))) return {};
    return std::string(kTournaments[std::size_t(number - 1)]);
}

std::string LisvekDateText(std::uint32_t date) {
    const std::string digits = std::to_string(date);
    const auto part = [&](std::size_t from, std::size_t length) {
        if (from >= digits.size()) return std::string(length, '0');
        std::string p = digits.substr(from, length);
        while (p.size() < length) p.insert(p.begin(), '0');
        return p;
    };
    return part(0, 4) + "-" + part(4, 2) + "-" + part(6, 2) + " 00:00:00";
}

long CountLisvekGames(const fs::path& folder) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(FileIn(folder, kLisvekHeaders), ec);
    if (ec) return 0;
    return long(size / kLisvekHeaderSize);
}

std::vector<std::string> MissingLisvekFiles(const fs::path& kifuKif) {
    std::vector<std::string> missing;
    const fs::path folder = kifuKif.parent_path();
    const fs::path parent = folder.parent_path();
    const auto check = [&](const fs::path& in, const char* name) {
        if (!FileExistsNoCase(in, name)) missing.push_back(name);
    };
    check(folder, kLisvekMoves);
    check(folder, kLisvekHeaders);
    check(folder, kLisvekComments);
    check(parent, kLisvekPlayers);
    check(parent, kLisvekOpenings);
    return missing;
}

LisvekCollection::~LisvekCollection() {
    if (moves_ != nullptr) std::fclose(moves_);
}

bool LisvekCollection::Open(const fs::path& kifuKif, std::string* error) {
    folder_ = kifuKif.parent_path();
    edition_ = LisvekEdition(kifuKif);
    if (!ReadWhole(FileIn(folder_, kLisvekHeaders), headers_)) {
        if (error) *error = "kifu.dat cannot be read";
        return false;
    }
    count_ = long(headers_.size() / kLisvekHeaderSize);
    moves_ = std::fopen(kifuKif.c_str(), "rb");
    if (moves_ == nullptr) {
        if (error) *error = "kifu.kif cannot be read";
        return false;
    }
    std::setvbuf(moves_, nullptr, _IOFBF, 1 << 20);
    std::error_code ec;
    movesSize_ = fs::file_size(kifuKif, ec);
    if (ec) movesSize_ = 0;

    const fs::path parent = folder_.parent_path();
    players_ = ReadNames<LisvekPlayer>(FileIn(parent, kLisvekPlayers));
    openings_ = ReadNames<LisvekOpening>(FileIn(parent, kLisvekOpenings));
    std::vector<std::uint8_t> bytes;
    comments_.clear();
    commentByKey_.clear();
    if (ReadWhole(FileIn(folder_, kLisvekComments), bytes)) {
        comments_.resize(bytes.size() / kLisvekCommentSize);
        for (std::size_t i = 0; i < comments_.size(); ++i) {
            std::copy_n(bytes.begin() + std::ptrdiff_t(i * kLisvekCommentSize), kLisvekCommentSize,
                        comments_[i].bytes.begin());
            // The first record of a key is the one that counts.
            commentByKey_.emplace(comments_[i].key(), i);
        }
    }
    return true;
}

std::string LisvekCollection::PlayerName(int number) const {
    if (number < 1 || std::size_t(number) > players_.size()) return {};
    return players_[std::size_t(number - 1)];
}

std::string LisvekCollection::OpeningName(int number) const {
    if (number < 1 || std::size_t(number) > openings_.size()) return {};
    return openings_[std::size_t(number - 1)];
}

std::string LisvekCollection::Comment(std::uint32_t key) const {
    const auto it = commentByKey_.find(key);
    if (it == commentByKey_.end()) return {};
    return TrimFullWidth(comments_[it->second].text());
}

ReadStatus LisvekCollection::Read(long r, std::string_view now, ReadGame& game) {
    game.Clear(now);
    if (r < 1 || r > count_) return ReadStatus::Refuse("there is no game " + std::to_string(r));
    std::copy_n(headers_.begin() + std::ptrdiff_t(std::size_t(r - 1) * kLisvekHeaderSize),
                kLisvekHeaderSize, header_.bytes.begin());
    const std::uint64_t at = std::uint64_t(r - 1) * kLisvekGameSize;
    if (at + kLisvekGameSize > movesSize_ || fseeko(moves_, off_t(at), SEEK_SET) != 0 ||
        std::fread(gameBytes_.bytes.data(), 1, kLisvekGameSize, moves_) != kLisvekGameSize) {
        return ReadStatus::Refuse("kifu.kif ends before the moves of game " + std::to_string(r));
    }

    ImportFields& fields = game.fields;
    fields.senteName = PlayerName(header_.sentePlayer());
    fields.goteName = PlayerName(header_.gotePlayer());
    fields.tournament = LisvekTournamentName(edition_, header_.tournament());
    fields.opening = MapLisvekOpening(edition_, OpeningName(header_.opening()));
    fields.startDate = LisvekDateText(header_.date());

    codes_.clear();
    int moves = 0;
    for (int i = 0; i < kLisvekMoveEntries && gameBytes_.destination(i) != 0; ++i) {
        const std::string code = LisvekMoveCode(gameBytes_.destination(i), gameBytes_.origin(i));
        if (code.size() != 5) {
            return ReadStatus::Refuse("move " + std::to_string(i + 1) + " is no move");
        }
        codes_ += code;
        ++moves;
        if (const std::uint32_t key = gameBytes_.commentKey(i); key != 0) {
            game.AddComment(i + 1, Comment(key));
        }
    }
    game.AddComment(moves + 1, Comment(header_.finalCommentKey()));
    const int result = edition_ <= 2 ? 0 : header_.result();
    fields.endCharacter = moves == 0 ? endchar::kNone : EndCharacterOfResult(result, moves);

    CodedGameText& coded = game.coded;
    coded.lines.push_back("##");
    coded.lines.push_back("#:Title");
    WriteCodedHeader(fields, coded);
    const std::size_t endLinePosition = coded.lines.size();
    WriteCodeLines(codes_, coded);
    InsertEndLine(fields, endLinePosition, coded);
    coded.lines.push_back("##");
    return ReadStatus::Ok();
}

LisvekImport ImportLisvekFolder(const fs::path& kifuKif, ImportContext& context,
                                const std::function<void(long, long)>& progress,
                                RecordWriter& writer) {
    LisvekImport result;
    LisvekCollection collection;
    if (!collection.Open(kifuKif, &result.error)) return result;
    GameImportSession session(context, writer);
    ReadGame game;
    long storedBefore = 0;  // games stored by the commits so far and the games pending
    try {
        for (long r = 1; r <= collection.count(); ++r) {
            if (progress) progress(r, collection.count());
            ReadStatus status = collection.Read(r, context.now, game);
            if (status.ok()) status = session.Store(game, false);
            if (status.ok()) {
                ++storedBefore;
                continue;
            }
            if (session.storeFull()) {
                result.storeFull = true;
                break;
            }
            context.prompter.Warn("棋譜変換エラー！No."_sj + std::to_string(storedBefore + 1) +
                                  "\r\r" + game.fields.senteName + " x " + game.fields.goteName);
            result.refused.push_back({r, status.refusal});
        }
        session.Commit();
    } catch (const StoreIoError& e) {
        result.error = std::string("the store could not be written: ") + e.what();
        context.prompter.Warn("\r" + PathText(e.path()) + " 書込エラー！"_sj);
    }
    result.stored = session.committed();
    return result;
}

std::string LisvekImportQuestion(long count) {
    return std::to_string(count) + " 件のLisvek 棋譜を"_sj + "\r" +
           "Movraプラス形式に変換して取り込みます。"_sj + "\r\r" + "よろしいですか？"_sj;
}

std::string LisvekNotInstalledMessage() {
    return std::string("\rLisvekが正しくインストールされていません。"_sj);
}

}  // namespace movra
