#pragma once
// Known answers for the crypto services, made by tests/fixtures/crypto/make_vectors.py
// from Python's standard library and the openssl command line, not from our code.
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

inline const nlohmann::json& CryptoVectors() {
    static const nlohmann::json vectors = [] {
        const std::string path = std::string(QARTO_FIXTURES_DIR) + "/crypto/vectors.json";
        std::ifstream file(path, std::ios::binary);
        if (!file) throw std::runtime_error("cannot open " + path);
        return nlohmann::json::parse(file);
    }();
    return vectors;
}

// The plain bytes of a data-file case (the generator the script describes).
inline std::vector<std::uint8_t> LcgBytes(std::uint32_t seed, size_t length) {
    std::vector<std::uint8_t> out(length);
    std::uint32_t x = seed;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return out;
}
