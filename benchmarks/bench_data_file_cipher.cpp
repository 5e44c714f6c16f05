// The data-file cipher on 64 MiB, the largest data file a profile is expected to
// hold. The comparison with the openssl command line is in
// data_file_cipher_vs_openssl.sh; this gives the in-memory figure alone.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "services/DataFileCipher.h"

namespace {

constexpr size_t kSize = 64 * 1024 * 1024;

std::vector<std::uint8_t> Input() {
    std::vector<std::uint8_t> bytes(kSize);
    std::uint32_t x = 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}

void BM_EncryptData(benchmark::State& state) {
    const auto plain = Input();
    for (auto _ : state) {
        auto cipher = EncryptData(plain);
        benchmark::DoNotOptimize(cipher.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_EncryptData)->Unit(benchmark::kMillisecond);

void BM_DecryptData(benchmark::State& state) {
    const auto cipher = Input();
    for (auto _ : state) {
        auto plain = DecryptData(cipher);
        benchmark::DoNotOptimize(plain.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_DecryptData)->Unit(benchmark::kMillisecond);

}  // namespace
