// TSafeIniFile look-ups stay constant-time: writing and then reading N keys in one
// section, for N = 1,000, 10,000 and 100,000. The figure to compare is the time per
// operation (write + read of one key) across N; safe_ini_scaling.sh prints the ratio.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/ini/SafeIniFile.h"

static void BM_SafeIniWriteThenRead(benchmark::State& state) {
    const auto n = static_cast<size_t>(state.range(0));
    std::vector<std::string> keys(n);
    for (size_t i = 0; i < n; ++i) keys[i] = "Key" + std::to_string(i * 7919 % n);
    for (auto _ : state) {
        // Only the writes and reads are timed, not creating and freeing the object.
        state.PauseTiming();
        auto ini = std::make_unique<TSafeIniFile>();
        state.ResumeTiming();
        for (size_t i = 0; i < n; ++i) ini->WriteString("Download", keys[i], "value");
        size_t found = 0;
        for (size_t i = 0; i < n; ++i) found += ini->ReadString("download", keys[i], "").size();
        benchmark::DoNotOptimize(found);
        state.PauseTiming();
        ini.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_SafeIniWriteThenRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
