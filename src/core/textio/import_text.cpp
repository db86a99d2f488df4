#include "core/textio/import_text.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/store/comments.h"
#include "core/store/game_io.h"
#include "core/store/store_appender.h"
#include "core/textio/apply_coded_moves.h"
#include "core/textio/coded_file_reader.h"
#include "core/textio/csa_reader.h"
#include "core/textio/usi_reader.h"
#include "core/textio/flavour.h"
#include "core/textio/kakinoki_reader.h"
#include "core/textio/ki2_reader.h"
#include "core/textio/morita_reader.h"
#include "core/textio/text_lines.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

// What an import reads into, kept from file to file by a run so that its buffers are made once.
// Each game is played through on the import's own game record, never on the caller's.
struct ImportScratch {
    std::unique_ptr<TKifData> record = std::make_unique<TKifData>();
    TextLines lines;
    std::unique_ptr<ReadGame> game = std::make_unique<ReadGame>();
    std::vector<std::array<std::uint8_t, kCommentSlotSize>> commentSlots;
    std::vector<StoreAppender::GameComment> comments;
    bool storeFull = false;  // the store holds as many games as it can: the run stops
};

namespace {

std::string Describe(const char* what, const std::string& detail) {
    return detail.empty() ? std::string(what) : std::string(what) + ": " + detail;
}

// The comments of a game as the temporary comment area would hold them: its 255 slots taken in
// the order the reader found the comments (a comment beyond them is not kept), each text as a
// slot keeps it (256 bytes, up to its first zero byte), then stored in move order.
void ImportedComments(const ReadGame& game, int moveCount,
                      std::vector<std::array<std::uint8_t, kCommentSlotSize>>& texts,
                      std::vector<StoreAppender::GameComment>& out) {
    out.clear();
    texts.clear();
    const int last = moveCount + 1;
    for (const MoveComment& c : game.comments) {
        if (c.move < 0 || c.move > last || c.move > kMaxMoves) continue;
        if (out.size() == static_cast<std::size_t>(kWorkingSlotCount)) break;
        texts.emplace_back();
        TextToCommentSlot(texts.back().data(), c.text);
        out.push_back({c.move, {}, {}});
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* slot = texts[i].data();
        out[i].text = std::string_view(reinterpret_cast<const char*>(slot), CommentSlotLength(slot));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const StoreAppender::GameComment& a, const StoreAppender::GameComment& b) {
                         return a.move < b.move;
                     });
}

ReadStatus StoreGame(ReadGame& game, bool withBreaks, ImportContext& context,
                     StoreAppender& appender, ImportScratch& scratch);

// One file read and its game turned into coded text: the part of an import that needs neither
// the store nor a game record, so that it can be done a few files ahead of the storing.
struct ReadFile {
    std::string refusal;  // the file cannot be read, or is no game record this system reads
    TextFlavour flavour = TextFlavour::NotRecognised;
    std::string now;      // the start date of games whose file gives none
    TextLines lines;      // a coded file's games are read one by one as they are stored
    std::unique_ptr<ReadGame> game = std::make_unique<ReadGame>();
    ReadStatus read;
    bool breaks = false;  // the allowed times come with the breaks
    bool csaGameRead = false;  // a CSA file of one game, read into `game` already
    std::exception_ptr thrown;  // raised again where the file's games are stored
};

// Reads a file into `out`; never throws (what is thrown is kept in `out.thrown`).
void ReadOneFile(const fs::path& path, std::string_view now, ReadFile& out) noexcept;

// Stores the games of a file read by ReadOneFile through the session; a store that cannot be
// written raises StoreIoError (the session is then back at its last commit).
FileImport StoreReadFile(ReadFile& file, ImportContext& context, StoreAppender& appender,
                         ImportScratch& scratch);

// Reads the files of a run on a second thread, a few files ahead of the storing. Reading works
// on nothing but the file's own text, so each file reads exactly as it would when its turn came;
// the store, the import's game record and the prompter are touched on the caller's thread only. Without a
// thread (none can be started) the files are read in turn.
class ReadAhead {
public:
    ReadAhead(const std::vector<fs::path>& files, std::string_view now);
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();
    // The next file of the list, once read. Valid until the following call.
    ReadFile& Next();

private:
    // Files read ahead at most, and the bytes of text they may hold between them (a folder can
    // hold large files that are no game records).
    static constexpr std::size_t kAhead = 32;
    static constexpr std::size_t kAheadBytes = 16u << 20;
    void Run();

    const std::vector<fs::path>& files_;
    std::string now_;
    std::array<ReadFile, kAhead> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t read_ = 0;  // files read
    std::size_t done_ = 0;  // files the caller has finished with; their slots can be used again
    std::size_t next_ = 0;  // the file Next hands out
    std::size_t heldBytes_ = 0;  // text of the files read and not finished with
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context,
                          StoreAppender& appender) {
    ImportScratch scratch;
    return StoreGame(game, withBreaks, context, appender, scratch);
}

ReadStatus StoreReadGame(ReadGame& game, bool withBreaks, ImportContext& context) {
    const std::uint32_t before = context.store.recordCount;
    StoreAppender appender(context.store, context.prompter);
    try {
        const ReadStatus status = StoreReadGame(game, withBreaks, context, appender);
        appender.Commit();
        return status;
    } catch (const StoreIoError& e) {
        context.store.recordCount = before;
        return ReadStatus::Refuse(Describe("the store could not be written", e.what()));
    }
}

ReadStatus ReadFirstGame(const fs::path& path, TKifData& record, FileGame& names) {
    auto file = std::make_unique<ReadFile>();
    ReadOneFile(path, {}, *file);
    if (file->thrown) std::rethrow_exception(file->thrown);
    if (!file->refusal.empty()) return ReadStatus::Refuse(file->refusal);
    ReadGame* game = file->game.get();
    ReadStatus status = file->read;
    bool found = true;
    if (file->flavour == TextFlavour::CodedFile || file->flavour == TextFlavour::Csa) {
        found = false;
        const auto first = [&](ReadGame& g, const ReadStatus& s) {
            *game = g;
            status = s;
            found = true;
            return false;
        };
        if (file->flavour == TextFlavour::CodedFile) {
            ReadCodedFile(file->lines, file->now, [&](ReadGame& g) { return first(g, ReadStatus::Ok()); });
        } else {
            ReadCsaFile(file->lines, file->now, first);
        }
    }
    if (!found) return ReadStatus::Refuse("the file holds no game");
    if (!status.ok()) return status;
    record.ClearMoves();
    record.ResetHeader(HandicapNumberOfChar(game->fields.handicap));
    record.SetUpStandard();
    AppliedMoves applied;
    if (ReadStatus s = ApplyCodedMoves(game->coded, record, applied); !s.ok()) return s;
    for (int m = 1; m <= record.moveCount; ++m) {
        record.moves[std::size_t(m)].consumedTime = game->consumedTimes[std::size_t(m)];
    }
    names.senteName = game->fields.senteName;
    names.goteName = game->fields.goteName;
    return ReadStatus::Ok();
}

GameImportSession::GameImportSession(ImportContext& context, RecordWriter& writer)
    : context_(context),
      appender_(std::make_unique<StoreAppender>(context.store, context.prompter, writer)),
      scratch_(std::make_unique<ImportScratch>()),
      committedCount_(context.store.recordCount) {}

GameImportSession::~GameImportSession() = default;

ReadStatus GameImportSession::Store(ReadGame& game, bool withBreaks) {
    const ReadStatus status = StoreGame(game, withBreaks, context_, *appender_, *scratch_);
    if (status.ok()) ++pending_;
    if (appender_->CommitDue()) Commit();
    return status;
}

void GameImportSession::Commit() {
    try {
        appender_->Commit();
    } catch (const StoreIoError&) {
        context_.store.recordCount = committedCount_;
        pending_ = 0;
        throw;
    }
    committedCount_ = context_.store.recordCount;
    committed_ += pending_;
    pending_ = 0;
}

bool GameImportSession::storeFull() const { return scratch_->storeFull; }

std::size_t GameImportSession::cutGames() const { return appender_->cutGames(); }

FileImport ImportTextFile(const fs::path& path, ImportContext& context) {
    const std::uint32_t before = context.store.recordCount;
    StoreAppender appender(context.store, context.prompter);
    ImportScratch scratch;
    auto file = std::make_unique<ReadFile>();
    ReadOneFile(path, context.now, *file);
    try {
        FileImport result = StoreReadFile(*file, context, appender, scratch);
        appender.Commit();
        return result;
    } catch (const StoreIoError& e) {
        context.store.recordCount = before;
        return FileImport{0, Describe("the store could not be written", e.what()), {}};
    }
}

namespace {

ReadStatus StoreGame(ReadGame& game, bool withBreaks, ImportContext& context,
                     StoreAppender& appender, ImportScratch& scratch) {
    TKifData& record = *scratch.record;
    const ImportFields& fields = game.fields;
    record.ClearMoves();
    record.ResetHeader(HandicapNumberOfChar(fields.handicap));
    record.SetUpStandard();

    AppliedMoves applied;
    if (ReadStatus s = ApplyCodedMoves(game.coded, record, applied); !s.ok()) return s;
    for (int m = 1; m <= record.moveCount; ++m) {
        record.moves[static_cast<std::size_t>(m)].consumedTime =
            game.consumedTimes[static_cast<std::size_t>(m)];
    }

    IndexRecord index;
    DetailRecord detail;
    // The time of the end line is the closing time, unless the game goes on past what the
    // store holds.
    const int limit = record.handicap != '0' ? kMaxMoves - 1 : kMaxMoves;
    const bool whole = !applied.truncated && record.moveCount <= limit;
    const std::uint16_t closing =
        whole ? game.consumedTimes[static_cast<std::size_t>(record.moveCount + 1)] : 0;
    MakeImportedHeader(fields, applied, closing, context.masters, record, index, detail);
    SetAllowedTimes(fields, withBreaks, detail);

    MoveBytes moves;
    MoveInfo info;
    const int encoded = FillMoveBuffers(record, moves, info);
    if (encoded != record.moveCount) {
        return ReadStatus::Refuse("move " + std::to_string(encoded + 1) +
                                  " is one the store cannot keep");
    }
    // The catalogue shows at most a million games: a store is never grown past that.
    if (appender.gameCount() >= context.gameLimit) {
        scratch.storeFull = true;
        return ReadStatus::Refuse(kStoreFullReason);
    }
    // The store's part: the game appended with its comments and consumed times.
    std::vector<StoreAppender::GameComment>& comments = scratch.comments;
    comments.clear();
    if (context.store.extended()) {
        ImportedComments(game, record.moveCount, scratch.commentSlots, comments);
    }
    const StoreAppender::AppendedGame appended =
        appender.AppendGame(index, moves, detail, info, record.moveCount,
                            std::max(0, HandicapNumber(record.handicap)), comments);
    if (!appended.written.ok) return ReadStatus::Refuse("the store did not take the game");
    context.store.recordCount = appended.written.recordNumber;
    for (const StoreAppender::GameComment& c : comments) {
        if (c.stored.number == 0) continue;
        MoveRecord& move = record.moves[static_cast<std::size_t>(c.move)];
        move.commentFile = static_cast<std::uint8_t>(c.stored.file);
        move.commentRecord = static_cast<std::uint16_t>(c.stored.number);
    }
    return ReadStatus::Ok();
}

void ReadOneFile(const fs::path& path, std::string_view now, ReadFile& out) noexcept {
    try {
        out.refusal.clear();
        out.flavour = TextFlavour::NotRecognised;
        out.read = ReadStatus::Ok();
        out.breaks = false;
        out.csaGameRead = false;
        out.thrown = nullptr;
        if (std::string why = LoadTextLines(path, out.lines); !why.empty()) {
            out.refusal = why;
            return;
        }
        out.now = now.empty() ? NowText() : std::string(now);
        const std::string ext = UpperExtension(path);
        out.flavour = ext == ".KI2" || ext == ".KI2U" ? TextFlavour::Ki2
                      : ext == ".CSA"                 ? TextFlavour::Csa
                      : ext == ".USI" || ext == ".SFEN" ? TextFlavour::Usi
                                                      : DetectFlavour(out.lines);
        ReadGame& game = *out.game;
        switch (out.flavour) {
            case TextFlavour::Kakinoki:
            case TextFlavour::Todai:
                out.read = ReadKakinoki(out.lines, out.now, game);
                out.breaks = true;
                break;
            case TextFlavour::Ki2:
                out.read = ReadKi2(out.lines, out.now, game);
                break;
            case TextFlavour::Morita:
                out.read = ReadMorita(out.lines, out.now, game);
                // Morita files carry no allowed time.
                game.fields.senteHours.clear();
                game.fields.senteMinutes.clear();
                game.fields.goteHours.clear();
                game.fields.goteMinutes.clear();
                break;
            case TextFlavour::Usi:
                out.read = ReadUsi(out.lines, out.now, game);
                break;
            case TextFlavour::Csa:
                // A file of one game (nearly every CSA file) is read here, ahead of the storing
                // like the other formats; a file of several is read game by game as they are
                // stored.
                if (!CsaHasSeveralGames(out.lines)) {
                    const int games = ReadCsaFile(out.lines, out.now, game, [&](ReadGame&, const ReadStatus& s) {
                        out.read = s;
                        return true;
                    });
                    out.csaGameRead = games == 1;
                }
                break;
            case TextFlavour::CodedFile:
                break;  // read game by game as the games are stored
            case TextFlavour::Unreadable:
                out.refusal = "not a text game record (a line is not text)";
                break;
            default:
                out.refusal = "not a game record this system reads";
                break;
        }
    } catch (...) {
        out.thrown = std::current_exception();
    }
}

FileImport StoreReadFile(ReadFile& file, ImportContext& context, StoreAppender& appender,
                         ImportScratch& scratch) {
    if (file.thrown) std::rethrow_exception(file.thrown);
    FileImport result;
    if (!file.refusal.empty()) {
        result.refusal = file.refusal;
        return result;
    }
    if (file.flavour == TextFlavour::CodedFile) {
        int ordinal = 0;
        ReadCodedFile(file.lines, file.now, [&](ReadGame& g) {
            ++ordinal;
            const ReadStatus s = StoreGame(g, false, context, appender, scratch);
            if (s.ok()) {
                ++result.stored;
            } else if (scratch.storeFull) {
                if (result.refusal.empty()) result.refusal = s.refusal;
                return false;  // the rest of the file cannot be stored either
            } else {
                context.prompter.Warn("棋譜変換エラー！No."_sj + std::to_string(result.stored + 1) +
                                      "\r\r" + g.fields.senteName + " x " + g.fields.goteName);
                if (result.refusal.empty()) {
                    result.refusal = "game " + std::to_string(ordinal) + ": " + s.refusal;
                }
            }
            return true;
        });
        if (ordinal == 0) result.refusal = "the coded file holds no game";
        return result;
    }
    if (file.flavour == TextFlavour::Csa && file.csaGameRead) {
        ReadGame& g = *file.game;
        const ReadStatus s = file.read.ok() ? StoreGame(g, false, context, appender, scratch) : file.read;
        if (s.ok()) {
            result.stored = 1;
            for (const std::string& note : g.notes) result.notes.push_back("game 1: " + note);
        } else {
            // As for a file of several games: a full store is named as such.
            result.refusal = scratch.storeFull ? s.refusal : "game 1: " + s.refusal;
        }
        return result;
    }
    if (file.flavour == TextFlavour::Csa) {
        int ordinal = 0;
        ReadCsaFile(file.lines, file.now, [&](ReadGame& g, const ReadStatus& read) {
            ++ordinal;
            const ReadStatus s = read.ok() ? StoreGame(g, false, context, appender, scratch) : read;
            if (s.ok()) {
                ++result.stored;
                for (const std::string& note : g.notes) {
                    result.notes.push_back("game " + std::to_string(ordinal) + ": " + note);
                }
            } else if (scratch.storeFull) {
                if (result.refusal.empty()) result.refusal = s.refusal;
                return false;
            } else if (result.refusal.empty()) {
                result.refusal = "game " + std::to_string(ordinal) + ": " + s.refusal;
            }
            return true;
        });
        if (ordinal == 0) result.refusal = "the CSA file holds no game";
        return result;
    }
    if (!file.read.ok()) {
        result.refusal = file.read.refusal;
        return result;
    }
    const ReadStatus stored = StoreGame(*file.game, file.breaks, context, appender, scratch);
    if (!stored.ok()) {
        result.refusal = stored.refusal;
        return result;
    }
    result.stored = 1;
    result.notes = file.game->notes;
    return result;
}

ReadAhead::ReadAhead(const std::vector<fs::path>& files, std::string_view now)
    : files_(files), now_(now) {
    if (files_.size() < 2) return;  // nothing to read ahead of
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No second thread: the files are read in turn.
    }
}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ReadAhead::Run() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] {
                return stop_ || (i < done_ + kAhead && (heldBytes_ < kAheadBytes || i == done_));
            });
            if (stop_) return;
        }
        ReadFile& slot = slots_[i % kAhead];
        ReadOneFile(files_[i], now_, slot);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            read_ = i + 1;
            heldBytes_ += slot.lines.text.size();
        }
        changed_.notify_all();
    }
}

ReadFile& ReadAhead::Next() {
    const std::size_t i = next_++;
    ReadFile& slot = slots_[i % kAhead];
    if (!thread_.joinable()) {
        ReadOneFile(files_[i], now_, slot);
        return slot;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (i > 0) {
            // The file handed out before is finished with; a large text gives its memory back.
            ReadFile& previous = slots_[(i - 1) % kAhead];
            heldBytes_ -= previous.lines.text.size();
            if (previous.lines.text.capacity() > (1u << 20)) {
                previous.lines.lines = {};
                previous.lines.text = {};
            }
        }
        done_ = i;
        changed_.wait(lock, [&] { return read_ > i; });
    }
    changed_.notify_all();
    return slot;
}

}  // namespace

std::string ImportFailedMessage(const fs::path& path) {
    return "棋譜のインポートに失敗しました。\r\r( "_sj + PathText(path) + " )";
}

std::string ImportedCountMessage(long count) {
    return "\r" + std::to_string(count) + "件の棋譜をインポートしました。"_sj;
}

std::string StoreFullMessage() {
    return "棋譜データベースが一杯です。\r( "_sj + std::to_string(kMaxCatalogueGames) +
           " 局まで )\r\rこれ以上の棋譜はインポートされません。"_sj;
}

std::string NothingImportedMessage() { return std::string("\r棋譜はインポートされませんでした。"_sj); }

ImportSummary ImportFiles(const std::vector<fs::path>& files, ImportContext& context) {
    return ImportFiles(files, context, DirectRecordWriter());
}

ImportSummary ImportFiles(const std::vector<fs::path>& files, ImportContext& context,
                          RecordWriter& writer) {
    ImportSummary summary;
    const std::string banner = "【 棋譜インポート中 】"_sj;
    long ordinal = 0;
    const long total = static_cast<long>(files.size());

    // One session of the store for the whole run. Its games are committed a thousand or so at a
    // time; when the store cannot be written the session goes back to its last commit, so the
    // files read since then are named as refused and the run ends there.
    StoreAppender appender(context.store, context.prompter, writer);
    ImportScratch scratch;
    std::vector<std::pair<fs::path, int>> waiting;  // files whose games are not committed yet
    std::uint32_t committedCount = context.store.recordCount;
    std::optional<StoreIoError> failure;
    const auto commit = [&] {
        try {
            appender.Commit();
            waiting.clear();
            committedCount = context.store.recordCount;
        } catch (const StoreIoError& e) {
            failure = e;
        }
    };

    // The files are read a few ahead on a second thread while this one stores the games: the
    // two halves of an import take about the same time.
    ReadAhead reading(files, context.now);
    std::size_t next = 0;
    for (const fs::path& path : files) {
        ++next;
        ++ordinal;
        if (context.progressLine) {
            char number[32];
            std::snprintf(number, sizeof number, "%*ld: ", context.progressDigits, ordinal);
            context.progressLine(number + PathText(path.filename()));
        }
        context.prompter.Progress(banner, ordinal - 1, total);
        FileImport one;
        try {
            one = StoreReadFile(reading.Next(), context, appender, scratch);
        } catch (const StoreIoError& e) {
            failure = e;
            one = FileImport{0, Describe("the store could not be written", e.what()), {}};
        }
        ++summary.filesRead;
        summary.gamesStored += one.stored;
        for (std::string& note : one.notes) summary.noted.push_back({path, std::move(note)});
        if (one.stored > 0) {
            waiting.push_back({path, one.stored});
        } else {
            summary.refused.push_back({path, one.refusal});
            if (!failure) context.prompter.Inform(ImportFailedMessage(path));
        }
        if (!failure && appender.CommitDue()) commit();
        if (failure || scratch.storeFull) break;
    }
    if (!failure) commit();
    summary.gamesCut = long(appender.cutGames());
    if (failure) {
        const std::string reason = Describe("the store could not be written", failure->what());
        for (const auto& [path, games] : waiting) {
            summary.gamesStored -= games;
            summary.refused.push_back({path, reason});
        }
        for (std::size_t i = next; i < files.size(); ++i) {
            summary.refused.push_back({files[i], "the run ended before this file: " + reason});
        }
        context.store.recordCount = committedCount;
        context.prompter.Warn("\r" + PathText(failure->path()) + " 書込エラー！"_sj);
    }

    if (!failure && scratch.storeFull) {
        summary.storeFull = true;
        for (std::size_t i = next; i < files.size(); ++i) {
            summary.refused.push_back({files[i], kStoreFullReason});
        }
        context.prompter.Warn(StoreFullMessage());
    }

    EndImportRun(banner, total, summary, context.prompter);
    return summary;
}

void EndImportRun(const std::string& banner, long total, const ImportSummary& summary,
                  Prompter& prompter) {
    prompter.Progress(banner, total, total);
    if (summary.gamesStored < 1) {
        prompter.Inform(NothingImportedMessage());
    } else {
        prompter.Inform(ImportedCountMessage(summary.gamesStored));
    }
}

std::vector<fs::path> GameRecordFiles(const fs::path& folder, int levels, const StoreFiles* store) {
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    std::error_code ec;
    const fs::path ownData =
        store != nullptr && !store->empty() ? store->Path(ext::kGameData) : fs::path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            // A linked folder may lead back to where the search came from.
            if (!it->is_symlink(typeError)) folders.push_back(it->path());
            continue;
        }
        const std::string ext = UpperExtension(it->path());
        if (ext != ".KIF" && ext != ".KI2" && ext != ".KIFU" && ext != ".KI2U" && ext != ".CSA" &&
            ext != ".USI" && ext != ".SFEN") {
            continue;
        }
        // A pipe or device that happens to be named like a game record is never opened.
        if (!it->is_regular_file(typeError)) continue;
        if (!ownData.empty()) {
            std::error_code same;
            if (fs::equivalent(it->path(), ownData, same)) continue;
        }
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    if (levels != 0) {
        std::sort(folders.begin(), folders.end());
        for (const fs::path& sub : folders) {
            std::vector<fs::path> inner = GameRecordFiles(sub, levels < 0 ? levels : levels - 1, store);
            files.insert(files.end(), inner.begin(), inner.end());
        }
    }
    return files;
}

}  // namespace movra
