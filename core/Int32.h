#pragma once

// Signed 32-bit arithmetic on layout values: results wrap modulo 2^32 instead of
// overflowing, division truncates toward zero and a zero divisor raises DivisionByZero.

#include <cstdint>

#include "core/Errors.h"

namespace zandrel::i32 {

constexpr int32_t wrap(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

constexpr int32_t add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

constexpr int32_t sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

constexpr int32_t mul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

constexpr int32_t neg(int32_t a) { return sub(0, a); }

/// a / b truncated toward zero; INT32_MIN / -1 wraps to INT32_MIN.
constexpr int32_t div(int32_t a, int32_t b) {
    if (b == 0) throw DivisionByZero();
    if (b == -1) return neg(a);
    return a / b;
}

/// a % b with the sign of a; INT32_MIN % -1 is 0.
constexpr int32_t mod(int32_t a, int32_t b) {
    if (b == 0) throw DivisionByZero();
    if (b == -1) return 0;
    return a % b;
}

}  // namespace zandrel::i32
