#include "core/store/game_io.h"

#include <algorithm>

#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "core/rules/notation.h"
#include "core/text/range_error.h"
#include "core/store/store_appender.h"

namespace movra {

using namespace movra::literals;

std::string DamagedGameMessage() {
    return std::string{"棋譜の一部が壊れています。\r\rこの棋譜は使用できません！"_sj};
}

// --- reading ------------------------------------------------------------------------------------

GameMoves LoadGameMoves(const MoveBytes& moves, const MoveInfo* info, int handicapNumber,
                        bool fillLists, int moveOfInterest, TKifData& record,
                        Prompter& prompter) {
    GameMoves result;
    result.found = true;

    record.handicap = HandicapChar(handicapNumber);
    record.parityOffset = 0;
    record.moveCount = 0;
    record.currentMove = 0;
    record.SetUpStandard();
    record.ClearMoves();

    std::array<MoveCode, kMaxSlots> codes;
    bool damaged = false;
    const int maxMoves = moveOfInterest > 0 ? moveOfInterest : kMaxSlots;
    const int decoded = DecodeMoveBytes(moves, handicapNumber, maxMoves, codes, damaged);
    if (fillLists) result.lines.reserve(std::size_t(decoded) + 1);

    for (int n = 1; n <= decoded; ++n) {
        MoveRecord& move = record.moves[std::size_t(n)];
        if (fillLists && info != nullptr) {
            const int e = MoveInfoEntryOfMove(n, handicapNumber);
            if (e < kMoveInfoEntries) {
                const std::uint16_t comment = info->commentNumber(e);
                if (comment != 0) {
                    move.commentFile = std::uint8_t(info->commentFile(e));
                    move.commentRecord = comment;
                }
                move.consumedTime = info->consumedTime(e);
            }
        }
        try {
            if (!ResolveMove(record.position, codes[std::size_t(n - 1)], record.SideOf(n), move)) {
                move = MoveRecord{};
                damaged = true;
                break;
            }
            const PieceCode before = ApplyMove(record.position, move);
            record.moveCount = std::int16_t(n);
            if (fillLists || n == moveOfInterest) {
                std::string line = MoveLine(n, record.parityOffset, record.handicap,
                                            record.position.board, before, move,
                                            record.moves[std::size_t(n - 1)]);
                if (n == moveOfInterest) result.lineOfInterest = line;
                if (fillLists) result.lines.push_back(std::move(line));
            }
        } catch (const RangeError&) {
            // A stored move that the position cannot take (a square off the board, a piece
            // capturing itself): the game stops before it.
            if (record.moveCount < n) move = MoveRecord{};
            damaged = true;
            break;
        }
    }
    record.currentMove = record.moveCount;
    record.Rebuild();

    if (fillLists) {
        result.lines.push_back(ResultLine(record.moveCount, record.handicap, record.endCode));
    }
    if (moveOfInterest > 0 && record.moveCount < moveOfInterest) {
        result.lineOfInterest = std::string{"999  終局"_sj};
    }
    if (damaged) {
        result.damaged = true;
        prompter.Warn(DamagedGameMessage());
    }
    return result;
}

GameMoves ReadGameMoves(const StoreReader& reader, long k, int overflowNumber,
                        int handicapNumber, bool fillLists, int moveOfInterest, TKifData& record,
                        Prompter& prompter) {
    MoveBytes moves;
    if (k <= 0 || !reader.ReadGameData(k, overflowNumber, moves)) return GameMoves{};
    MoveInfo info;
    bool haveInfo = false;
    if (fillLists && reader.store().extended()) {
        haveInfo = reader.ReadMoveInfo(k, overflowNumber, info);
        if (!haveInfo) {
            prompter.Warn(PathText(reader.store().files.Path(ext::kMoveInfo)) + " 読込エラー！"_sj);
        }
    }
    return LoadGameMoves(moves, haveInfo ? &info : nullptr, handicapNumber, fillLists,
                         moveOfInterest, record, prompter);
}

GameMoves ReadGameMoves(const GameStore& store, long k, int overflowNumber, int handicapNumber,
                        bool fillLists, int moveOfInterest, TKifData& record, Prompter& prompter) {
    if (k <= 0) return GameMoves{};
    StoreReader reader(store);
    return ReadGameMoves(reader, k, overflowNumber, handicapNumber, fillLists, moveOfInterest,
                         record, prompter);
}

// --- filling the move buffers ---------------------------------------------------------------------

int FillMoveBuffers(const TKifData& record, MoveBytes& moves, MoveInfo& info) {
    moves = MoveBytes{};
    info = MoveInfo{};
    const bool handicapGame = record.handicap != '0';
    int slot = 1;
    if (handicapGame) {
        // 上手 moves first: slot 1 and entry 0 hold the placeholder.
        moves.setSlot(1, kPlaceholderByte, kPlaceholderByte);
        MoveInfoEntry placeholder;
        placeholder.destination = std::int8_t(kPlaceholderByte);
        placeholder.origin = std::int8_t(kPlaceholderByte);
        info.setEntry(0, placeholder);
        slot = 2;
    }
    BoardPosition start;
    SetUpStandard(start, record.handicap);
    SlotScratch scratch;
    scratch.SetUp(start);

    const int count = std::clamp<int>(record.moveCount, 0, kMaxMoves);
    int stored = 0;
    for (int n = 1; n <= count && slot <= kMaxSlots; ++n, ++slot) {
        const MoveRecord& move = record.moves[std::size_t(n)];
        const MoveCode code = move.moveCode();
        std::uint8_t destination = 0, origin = 0;
        if (!EncodeSlot(scratch, (slot & 1) ? 1 : 2, code, destination, origin)) break;
        moves.setSlot(slot, destination, origin);
        MoveInfoEntry entry;
        MoveInfoPlacement(code, entry.destination, entry.origin);
        entry.consumedTime = move.consumedTime;
        info.setEntry(slot - 1, entry);
        ++stored;
    }
    return stored;
}

// --- writing ----------------------------------------------------------------------------------------
//
// Both halves are one short session of the store's append path (store/store_appender.h).

WrittenGame WriteGame(const GameStore& store, IndexRecord& index, const MoveBytes& moves, long k,
                      bool keepMoves, Prompter& prompter) {
    const IndexRecord given = index;
    try {
        StoreAppender appender(store, prompter);
        const WrittenGame written = appender.WriteGame(index, moves, k, keepMoves);
        if (written.ok) appender.Commit();
        return written;
    } catch (const StoreIoError&) {
        // Nothing of the game reached the store: word 15 is the caller's again.
        index = given;
        throw;
    }
}

WrittenGame WriteGameDetail(const GameStore& store, const DetailRecord& detail,
                            const MoveInfo& info, long k, bool keepMoves) {
    SilentPrompter quiet;  // the second half has no message of its own
    StoreAppender appender(store, quiet);
    const WrittenGame written = appender.WriteGameDetail(detail, info, k, keepMoves);
    if (written.ok) appender.Commit();
    return written;
}

}  // namespace movra
