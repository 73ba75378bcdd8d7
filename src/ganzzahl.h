// SPDX-License-Identifier: MIT
// Ganze Zahlen modulo 2^64: Summe, Produkt und Negation, wie die Hardware sie liefert,
// ueber unsigned gerechnet und damit ohne undefiniertes Verhalten.
#pragma once
#include <cstdint>

inline int64_t wrap_add(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
inline int64_t wrap_mul(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
inline int64_t wrap_neg(int64_t a) { return static_cast<int64_t>(0 - static_cast<uint64_t>(a)); }
