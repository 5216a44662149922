#include "core/TextKernels.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ZANDREL_WIDE_TEXT_SCAN 1
#endif

namespace zandrel::textkernels {

namespace {

constexpr uint64_t kEach(uint8_t byte) { return 0x0101010101010101ull * byte; }

/// Whether any byte of `x` equals `byte`.
bool hasByte(uint64_t x, uint8_t byte) {
    const uint64_t y = x ^ kEach(byte);
    return ((y - kEach(1)) & ~y & kEach(0x80)) != 0;
}

// Eight characters at a time: a run of eight bits is stored at once, anything else one by one.
size_t scanPortable(const uint8_t* text, size_t length, uint8_t* cells, int64_t& count, uint8_t lineFeed,
                    uint8_t space) {
    size_t p = 0;
    for (; p + kPlainTextChunk <= length; p += kPlainTextChunk) {
        for (size_t q = p; q < p + kPlainTextChunk; q += 8) {
            uint64_t eight;
            std::memcpy(&eight, text + q, 8);
            if (hasByte(eight, '?') || hasByte(eight, lineFeed) || hasByte(eight, space)) return p;
        }
        for (size_t q = p; q < p + kPlainTextChunk; q += 8) {
            uint64_t eight;
            std::memcpy(&eight, text + q, 8);
            if (std::endian::native == std::endian::little && (eight & kEach(0xFE)) == kEach('0')) {
                const uint64_t values = eight & kEach(1);
                std::memcpy(cells + count, &values, 8);
                count += 8;
                continue;
            }
            for (size_t r = q; r < q + 8; ++r) {
                const uint8_t c = text[r];
                const bool bit = (c & 0xFE) == '0';
                cells[count] = c & 1 & bit;  // overwritten by the next bit when this is none
                count += bit;
            }
        }
    }
    return p;
}

#if defined(ZANDREL_WIDE_TEXT_SCAN)

__attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt"))) size_t scanAvx512(
    const uint8_t* text, size_t length, uint8_t* cells, int64_t& count, uint8_t lineFeed, uint8_t space) {
    const __m512i question = _mm512_set1_epi8('?');
    const __m512i feed = _mm512_set1_epi8(static_cast<char>(lineFeed));
    const __m512i blank = _mm512_set1_epi8(static_cast<char>(space));
    const __m512i lowBitOff = _mm512_set1_epi8(static_cast<char>(0xFE));
    const __m512i zeroDigit = _mm512_set1_epi8('0');
    const __m512i one = _mm512_set1_epi8(1);
    size_t p = 0;
    for (; p + 64 <= length; p += 64) {
        const __m512i chars = _mm512_loadu_si512(text + p);
        const __mmask64 look = _mm512_cmpeq_epi8_mask(chars, question) | _mm512_cmpeq_epi8_mask(chars, feed) |
                               _mm512_cmpeq_epi8_mask(chars, blank);
        if (look != 0) break;
        const __mmask64 bits = _mm512_cmpeq_epi8_mask(_mm512_and_si512(chars, lowBitOff), zeroDigit);
        const __m512i values = _mm512_maskz_compress_epi8(bits, _mm512_and_si512(chars, one));
        _mm512_storeu_si512(cells + count, values);
        count += _mm_popcnt_u64(bits);
    }
    return p;
}

bool hasAvx512() {
    static const bool supported = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                                  __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("popcnt");
    return supported;
}

#endif

}  // namespace

size_t scanPlainText(const uint8_t* text, size_t length, uint8_t* cells, int64_t& count, uint8_t lineFeed,
                     uint8_t space) {
#if defined(ZANDREL_WIDE_TEXT_SCAN)
    if (hasAvx512()) return scanAvx512(text, length, cells, count, lineFeed, space);
#endif
    return scanPortable(text, length, cells, count, lineFeed, space);
}

size_t scanPlainTextPortable(const uint8_t* text, size_t length, uint8_t* cells, int64_t& count,
                             uint8_t lineFeed, uint8_t space) {
    return scanPortable(text, length, cells, count, lineFeed, space);
}

}  // namespace zandrel::textkernels
