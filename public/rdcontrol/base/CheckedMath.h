#pragma once
// Arithmetic on sizes, counts and offsets that come from outside the program (server
// headers, state files, skins, pictures): every result is exact or absent, never
// wrapped. A caller refuses the input when a result is absent. Header only, no state,
// any thread.
#include <initializer_list>
#include <optional>
#include <type_traits>

template <typename T>
    requires std::is_integral_v<T>
std::optional<T> CheckedAdd(T a, T b) {
    T sum;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

template <typename T>
    requires std::is_integral_v<T>
std::optional<T> CheckedSub(T a, T b) {
    T difference;
    if (__builtin_sub_overflow(a, b, &difference)) return std::nullopt;
    return difference;
}

template <typename T>
    requires std::is_integral_v<T>
std::optional<T> CheckedMul(T a, T b) {
    T product;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

// The product of all factors, absent when any step overflows or a factor is negative
// (a size is never negative): width x height x bytes per pixel, parts x part length.
template <typename T>
    requires std::is_integral_v<T>
std::optional<T> CheckedSize(std::initializer_list<T> factors) {
    std::optional<T> product = T{1};
    for (const T factor : factors) {
        if constexpr (std::is_signed_v<T>)
            if (factor < 0) return std::nullopt;
        product = CheckedMul(*product, factor);
        if (!product) return std::nullopt;
    }
    return product;
}
