#include "core/matesearch/engine_entry.h"

#include <dlfcn.h>

namespace movra {
namespace {

using mate::Color;
using mate::MakePiece;
using mate::Sq;

// Engine numbers 1-15 (13 unused) are the solver's piece types.
bool IsEngineType(int n) { return n >= 1 && n <= 15 && n != 13; }

int EngineOffsetOf(Sq s) { return EngineSquare(mate::FileOf(s), mate::RankOf(s)); }

}  // namespace

EnginePosition MakeEnginePosition(const BoardPosition& position) {
    EnginePosition bytes{};
    for (int file = 1; file <= 9; ++file)
        for (int rank = 1; rank <= 9; ++rank)
            bytes[EngineSquare(file, rank)] = std::int8_t(EngineNumber(position.board[BoardIndex(file, rank)]));
    bytes[kEngineKingOffset[0]] = std::int8_t(kEngineNoKing);
    bytes[kEngineKingOffset[1]] = std::int8_t(kEngineNoKing);
    for (int i = 1; i <= kPieceCount; ++i) {
        const PieceEntry& p = position.pieces[i];
        if (!p.present || !IsPiece(p.code)) continue;
        if (IsBoardSquare(p.file, p.rank)) {
            if (p.code == piece::Gyoku) bytes[kEngineKingOffset[0]] = std::int8_t(EngineSquare(p.file, p.rank));
            if (p.code == piece::Gyoku + piece::kGoteOffset)
                bytes[kEngineKingOffset[1]] = std::int8_t(EngineSquare(p.file, p.rank));
        } else if ((p.file == location::kSenteHand || p.file == location::kGoteHand) && p.rank >= 1 &&
                   p.rank <= 7) {
            // The hands are counted from the pieces: the derived counts may lag behind a move.
            ++bytes[kEngineHandOffset[p.file == location::kSenteHand ? 0 : 1] + p.rank - 1];
        }
    }
    return bytes;
}

std::optional<mate::SolverPosition> SolverPositionFromEngine(const std::int8_t* position, int attacker) {
    if (attacker != 0 && attacker != 1) return std::nullopt;
    mate::SolverPosition pos;
    int total[9] = {};
    int kings[2] = {};
    for (int rank = 1; rank <= 9; ++rank) {
        for (int file = 1; file <= 9; ++file) {
            int n = position[EngineSquare(file, rank)];
            if (n == 0) continue;
            int type = n < 0 ? -n : n;
            if (!IsEngineType(type)) return std::nullopt;
            Color color = n < 0 ? mate::kGote : mate::kSente;
            if (type == mate::pt::kKing) ++kings[color];
            ++total[mate::HandKindOf(type)];
            pos.PutPiece(mate::MakeSq(file, rank), MakePiece(color, type));
        }
    }
    for (int side = 0; side < 2; ++side) {
        for (int kind = 1; kind <= 7; ++kind) {
            int count = position[kEngineHandOffset[side] + kind - 1];
            if (count < 0) return std::nullopt;
            total[kind] += count;
            pos.SetHand(Color(side), kind, count);
        }
    }
    for (int kind = 1; kind <= 8; ++kind)
        if (total[kind] > mate::kSetCount[kind]) return std::nullopt;
    if (kings[0] > 1 || kings[1] > 1) return std::nullopt;
    pos.SetSideToMove(Color(attacker));
    return pos;
}

std::optional<MoveCode> EngineMoveCode(int from, int to, int promotion) {
    if (to < 1 || to > 81) return std::nullopt;
    MoveCode code;
    if (from >= 1 && from <= 81) {
        code.text[0] = char('0' + (from - 1) % 9 + 1);
        code.text[1] = char('0' + (from - 1) / 9 + 1);
    } else if (from > kEngineDropBase && from <= kEngineDropBase + 7) {
        code.text[0] = '0';
        code.text[1] = char('0' + from - kEngineDropBase);
    } else {
        return std::nullopt;
    }
    code.text[2] = char('0' + (to - 1) % 9 + 1);
    code.text[3] = char('0' + (to - 1) / 9 + 1);
    code.text[4] = promotion == 1 ? '+' : ' ';
    return code;
}

BuiltInMateEngine::BuiltInMateEngine(std::size_t tableMegabytes, const std::atomic<bool>* stop)
    : solver_(tableMegabytes), stop_(stop) {}

int BuiltInMateEngine::Call(const std::int8_t* position, int side, int depth, int* from, int* to,
                            int* promotion) {
    last_ = mate::SolveResult{};
    std::optional<mate::SolverPosition> pos = SolverPositionFromEngine(position, side);
    if (!pos) {
        last_.outcome = mate::Outcome::kNoMate;  // no position: nothing to find at any depth
        last_.noMateAtAll = true;
        return 0;
    }
    last_ = solver_.Solve(*pos, depth, stop_);
    if (last_.outcome != mate::Outcome::kMate) return 0;
    mate::Move m = last_.firstMove;
    from[0] = mate::IsDrop(m) ? kEngineDropBase + mate::DropKind(m) : EngineOffsetOf(mate::MoveFrom(m));
    to[0] = EngineOffsetOf(mate::MoveTo(m));
    promotion[0] = mate::IsPromotion(m) ? 1 : 0;
    return 1;
}

int plova_h(const std::int8_t* position, int side, int depth, int* from, int* to, int* promotion) {
    BuiltInMateEngine engine;
    return engine.Call(position, side, depth, from, to, promotion);
}

std::unique_ptr<LibraryMateEngine> LibraryMateEngine::Load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    void* symbol = dlsym(handle, "plova_h");
    if (!symbol) {
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<LibraryMateEngine>(
        new LibraryMateEngine(handle, reinterpret_cast<PlovaFunction>(symbol)));
}

LibraryMateEngine::~LibraryMateEngine() { dlclose(handle_); }

int LibraryMateEngine::Call(const std::int8_t* position, int side, int depth, int* from, int* to,
                            int* promotion) {
    return entry_(position, side, depth, from, to, promotion);
}

std::unique_ptr<MateEngine> LoadMateEngine(const std::string& libraryPath, std::size_t tableMegabytes,
                                           const std::atomic<bool>* stop) {
    if (libraryPath.empty()) return std::make_unique<BuiltInMateEngine>(tableMegabytes, stop);
    return LibraryMateEngine::Load(libraryPath);
}

}  // namespace movra
