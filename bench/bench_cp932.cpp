#include <benchmark/benchmark.h>
#include <string>
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
using namespace movra::literals;
static std::string Sample() {
    std::string line = "手数----指手---------消費時間--\r\n   1 ７六歩(77)   ( 0:00/00:00:00)\r\n*▲先手の意図：角道を開ける。\r\n"_sj;
    std::string s;
    while (s.size() < (1 << 20)) s += line;
    return s;
}
static void BM_Cp932ToUtf8(benchmark::State& st) {
    const std::string s = Sample();
    for (auto _ : st) benchmark::DoNotOptimize(movra::Cp932ToUtf8(s));
    st.SetBytesProcessed(st.iterations() * s.size());
}
static void BM_Utf8ToCp932(benchmark::State& st) {
    const std::string u = movra::Cp932ToUtf8(Sample());
    for (auto _ : st) benchmark::DoNotOptimize(movra::Utf8ToCp932(u));
    st.SetBytesProcessed(st.iterations() * u.size());
}
static void BM_IsValidCp932(benchmark::State& st) {
    const std::string s = Sample();
    for (auto _ : st) benchmark::DoNotOptimize(movra::IsValidCp932(s));
    st.SetBytesProcessed(st.iterations() * s.size());
}
BENCHMARK(BM_Cp932ToUtf8); BENCHMARK(BM_Utf8ToCp932); BENCHMARK(BM_IsValidCp932);
BENCHMARK_MAIN();
