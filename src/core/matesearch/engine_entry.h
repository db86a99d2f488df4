#pragma once
// The mate engine's entry: the 100-byte position, the call `plova_h` with its three result
// arrays, the built-in solver behind that call, and an external library loaded by name.
//
// Engine position, by byte offset:
//   0       0
//   1-81    square (file f, rank r) at (r - 1) * 9 + f: the engine number of the piece there
//           (positive for sente, negative for gote), 0 for empty
//   82      0
//   83-89   sente's pieces in hand, one count per kind 歩 香 桂 銀 金 角 飛
//   90      0
//   91-97   gote's pieces in hand, the same kinds
//   98, 99  square offset of sente's and gote's king, 255 when it is not on the board
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/matesearch/dfpn.h"
#include "core/rules/move.h"
#include "core/rules/position.h"

namespace movra {

inline constexpr int kEnginePositionSize = 100;
inline constexpr int kEngineHandOffset[2] = {83, 91};
inline constexpr int kEngineKingOffset[2] = {98, 99};
inline constexpr int kEngineNoKing = 255;
inline constexpr int kEngineDropBase = 100;       // a drop's origin is 100 + the piece kind
inline constexpr int kEngineResultLength = 1025;  // elements of each result array
inline constexpr std::size_t kDefaultMateTableMegabytes = 64;

using EnginePosition = std::array<std::int8_t, kEnginePositionSize>;

// The engine's offset of a board square: (rank - 1) * 9 + file.
constexpr int EngineSquare(int file, int rank) { return (rank - 1) * 9 + file; }

// Squares from the board, hands by counting the pieces in each hand per kind 1-7, king squares
// from the two kings in the piece table.
EnginePosition MakeEnginePosition(const BoardPosition& position);

// The solver's position with the attacker (0 sente, 1 gote) to move. Nothing for bytes that do
// not describe a position: an unknown piece number, more pieces of a kind than a set holds, more
// than one king of a side.
std::optional<mate::SolverPosition> SolverPositionFromEngine(const std::int8_t* position, int attacker);

// The move code of the engine's first move (origin square offset or 100 + kind, destination
// offset, promotion flag); nothing when the numbers name no move.
std::optional<MoveCode> EngineMoveCode(int from, int to, int promotion);

// The library call: nonzero when `side` (0 sente, 1 gote) mates within `depth` plies; element
// 0 of from, to and promotion then hold the first move.
using PlovaFunction = int (*)(const std::int8_t* position, int side, int depth, int* from, int* to,
                              int* promotion);

// The built-in solver behind the library's signature (a fresh table of the default size each
// call). from, to and promotion must each hold at least one element.
int plova_h(const std::int8_t* position, int side, int depth, int* from, int* to, int* promotion);

// What the search thread calls: the built-in solver or a loaded library.
class MateEngine {
public:
    virtual ~MateEngine() = default;
    virtual int Call(const std::int8_t* position, int side, int depth, int* from, int* to,
                     int* promotion) = 0;
    // True when the last call found that no depth at all would give a mate, so that deeper calls
    // are pointless. A library cannot tell.
    virtual bool ProvedNoMateAtAll() const { return false; }
};

// The built-in solver, keeping its table between the calls of one search so that each deeper
// call builds on the shallower ones. A set stop flag ends a running call early (no mate).
class BuiltInMateEngine : public MateEngine {
public:
    explicit BuiltInMateEngine(std::size_t tableMegabytes = kDefaultMateTableMegabytes,
                               const std::atomic<bool>* stop = nullptr);
    int Call(const std::int8_t* position, int side, int depth, int* from, int* to, int* promotion) override;
    bool ProvedNoMateAtAll() const override { return last_.noMateAtAll; }
    // The answer of the last call, with the solver's own details.
    const mate::SolveResult& lastResult() const { return last_; }

private:
    mate::DfpnSolver solver_;
    const std::atomic<bool>* stop_;
    mate::SolveResult last_;
};

// An external library with the entry "plova_h", loaded by name and released when destroyed.
class LibraryMateEngine : public MateEngine {
public:
    // Nothing when the file cannot be loaded or has no entry "plova_h".
    static std::unique_ptr<LibraryMateEngine> Load(const std::string& path);
    ~LibraryMateEngine() override;
    int Call(const std::int8_t* position, int side, int depth, int* from, int* to, int* promotion) override;

private:
    LibraryMateEngine(void* handle, PlovaFunction entry) : handle_(handle), entry_(entry) {}
    void* handle_;
    PlovaFunction entry_;
};

// The engine a search uses: the built-in solver when `libraryPath` is empty, else the library;
// nothing when the library or its entry is missing.
std::unique_ptr<MateEngine> LoadMateEngine(const std::string& libraryPath, std::size_t tableMegabytes,
                                           const std::atomic<bool>* stop);

}  // namespace movra
