// Speed of the built-in mate solver on the problems in MOVRA_MATE, searched as the main window
// searches: depths 1, 3, 5, ... up to the bound, stopping at the first depth that mates. Every
// measured run starts from an empty table of 256 MB, on one thread.
//
//   suite/NAME         the whole sequence up to the problem's length L (L <= 13)
//   suite_summary/11   all problems with L <= 11 in turn: median and longest sequence
//   nomate15/NAME      no mate within 15 on the bare kings of nomate.tsv
//   long/NAME          no bound at all: the 117-ply 図巧99番 (煙詰, "c-kemuri" in suite.tsv),
//                      given up after kLongCapSeconds
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/matesearch/dfpn.h"
#include "core/matesearch/engine_entry.h"
#include "core/rules/sfen.h"

namespace {

using namespace movra;
using namespace movra::mate;

constexpr std::size_t kTableMegabytes = 256;
constexpr double kLongCapSeconds = 120;

struct Problem {
    std::string name;
    int plies = 0;
    std::string sfen;
};

std::vector<Problem> ReadProblems(const std::string& file) {
    std::vector<Problem> problems;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Problem p;
        std::string plies;
        std::getline(fields, p.name, '\t');
        std::getline(fields, plies, '\t');
        std::getline(fields, p.sfen);
        p.plies = std::atoi(plies.c_str());
        problems.push_back(p);
    }
    return problems;
}

SolverPosition Position(const Problem& p) {
    std::optional<SfenPosition> s = ParseSfen(p.sfen);
    if (!s) {
        std::fprintf(stderr, "bench_mate: bad position %s\n", p.name.c_str());
        std::exit(1);
    }
    return *SolverPositionFromEngine(MakeEnginePosition(s->position).data(), s->sideToMove - 1);
}

DfpnSolver& Solver() {
    static DfpnSolver solver(kTableMegabytes);  // allocated once, emptied before every run
    return solver;
}

// The window's sequence of depths; returns the mate's length, 0 for none, -1 when stopped.
// `cleared` gets the deepest bound answered "no mate".
int Sequence(SolverPosition pos, int limit, const std::atomic<bool>* stop = nullptr, int* cleared = nullptr) {
    DfpnSolver& solver = Solver();
    solver.ClearTable();
    for (int depth = 1; depth <= limit; depth += 2) {
        SolveResult r = solver.Solve(pos, depth, stop);
        if (r.outcome == Outcome::kUnknown) return -1;
        if (r.outcome == Outcome::kMate) return r.plies;
        if (cleared) *cleared = depth;
        if (r.noMateAtAll) return 0;
    }
    return 0;
}

void Measure(benchmark::State& state, const Problem& p, int limit) {
    SolverPosition pos = Position(p);
    int found = 0;
    for (auto _ : state) found = Sequence(pos, limit);
    state.counters["plies"] = found;
    if (p.plies > 0 && found != p.plies) state.SkipWithError("wrong mate length");
}

void SuiteSummary(benchmark::State& state, std::vector<Problem> problems) {
    std::vector<double> times;
    for (auto _ : state) {
        times.clear();
        for (const Problem& p : problems) {
            SolverPosition pos = Position(p);
            auto start = std::chrono::steady_clock::now();
            int found = Sequence(pos, p.plies);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (found != p.plies) state.SkipWithError(("wrong mate length: " + p.name).c_str());
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["problems"] = double(times.size());
    state.counters["median_ms"] = times.empty() ? 0 : times[times.size() / 2];
    state.counters["max_ms"] = times.empty() ? 0 : times.back();
}

void Long(benchmark::State& state, const Problem& p) {
    SolverPosition pos = Position(p);
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::mutex m;
        std::condition_variable cv;
        bool finished = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(m);
            if (!cv.wait_for(lock, std::chrono::duration<double>(kLongCapSeconds), [&] { return finished; })) stop = true;
        });
        int cleared = 0;
        const auto start = std::chrono::steady_clock::now();
        int found = Sequence(pos, 4095, &stop, &cleared);
        state.counters["seconds"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["no_mate_within"] = cleared;
        {
            std::lock_guard<std::mutex> lock(m);
            finished = true;
        }
        cv.notify_all();
        watchdog.join();
        state.counters["plies"] = found;
        if (found <= 0) {
            std::fprintf(stderr, "bench_mate: %s: no mate within %d plies after %.0f s, given up\n", p.name.c_str(),
                         cleared, kLongCapSeconds);
            state.SkipWithError("no mate found within the time cap");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("MOVRA_MATE");
    if (!folder) {
        std::printf("bench_mate: MOVRA_MATE is not set; no mate problems to measure\n");
        return 0;
    }
    const std::vector<Problem> suite = ReadProblems(std::string(folder) + "/suite.tsv");
    const std::vector<Problem> nomate = ReadProblems(std::string(folder) + "/nomate.tsv");
    std::vector<Problem> upTo11;
    for (const Problem& p : suite) {
        if (p.plies < 1 || p.plies > 13) continue;
        if (p.plies <= 11) upTo11.push_back(p);
        benchmark::RegisterBenchmark(("suite/" + p.name).c_str(), Measure, p, p.plies)->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("suite_summary/11", SuiteSummary, upTo11)->Unit(benchmark::kMillisecond)->Iterations(1);
    for (const Problem& p : nomate)
        benchmark::RegisterBenchmark(("nomate15/" + p.name).c_str(), Measure, p, 15)->Unit(benchmark::kMillisecond)->Iterations(1);
    for (const Problem& p : suite) {
        if (p.name == "c-kemuri")
            benchmark::RegisterBenchmark(("long/" + p.name).c_str(), Long, p)->Unit(benchmark::kSecond)->Iterations(1);
    }
    Solver();  // the table is allocated and cleared before anything is measured
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
