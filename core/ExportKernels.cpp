#include "core/ExportKernels.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zandrel::exportkernels {

namespace {

constexpr uint64_t kLowBitOfEachByte = 0x0101010101010101ull;

uint64_t load64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

int64_t kOffset(const WordShape& shape, int64_t k) { return shape.reverseK ? shape.lastK - k : k; }

/// Byte m of word k, one cell at a time.
uint8_t wordByte(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t k, int32_t m) {
    const int64_t cellOfK = rowBase + kOffset(shape, k);
    const int32_t* groups = shape.groups + 8 * m;
    uint32_t value = 0;
    for (int j = 0; j < 8; ++j) value |= static_cast<uint32_t>(cells[cellOfK + groups[j]] & 1) << j;
    return static_cast<uint8_t>(value);
}

// Eight words k .. k + 7 take bit b from 8 neighbouring cells: one 8-byte load gathers bit b
// of byte m of all eight words.
void exportEightWords(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t k,
                      uint8_t* rowOut) {
    const int64_t firstCell = rowBase + (shape.reverseK ? shape.lastK - (k + 7) : k);
    uint8_t* wordsOut = rowOut + int64_t{k} * shape.wordBytes;
    for (int32_t m = 0; m < shape.wordBytes; ++m) {
        const int32_t* groups = shape.groups + 8 * m;
        uint64_t gathered = 0;
        for (int j = 0; j < 8; ++j) {
            uint64_t eight = load64(cells + (firstCell + groups[j]));
            if (shape.reverseK) eight = __builtin_bswap64(eight);
            gathered |= (eight & kLowBitOfEachByte) << j;
        }
        if (std::endian::native == std::endian::little && shape.wordBytes == 1) {
            std::memcpy(wordsOut, &gathered, 8);
        } else {
            for (int t = 0; t < 8; ++t)
                wordsOut[t * shape.wordBytes + m] = static_cast<uint8_t>(gathered >> (8 * t));
        }
    }
}

#if defined(__SSE2__)

__m128i reverseBytes(__m128i v) {
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    v = _mm_shufflelo_epi16(v, 0x1B);
    v = _mm_shufflehi_epi16(v, 0x1B);
    return _mm_shuffle_epi32(v, 0x4E);
}

/// Byte m of the sixteen words k .. k + 15, byte t for word k + t.
template <bool Reverse>
__m128i gatherSixteen(const uint8_t* cells, int64_t firstCell, const int32_t* groups) {
    const __m128i ones = _mm_set1_epi8(1);
    __m128i gathered = _mm_setzero_si128();
    for (int j = 7; j >= 0; --j) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + (firstCell + groups[j])));
        gathered = _mm_or_si128(_mm_add_epi8(gathered, gathered), _mm_and_si128(chunk, ones));
    }
    // Reversed, the cells of word k + t lie at 15 - t: one reversal serves all eight bits.
    if constexpr (Reverse) gathered = reverseBytes(gathered);
    return gathered;
}

void store(uint8_t* out, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v); }

/// Words k .. k + 15: the bytes m of all sixteen words are gathered together, then
/// interleaved into word order.
template <bool Reverse>
void exportSixteenWords(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t k,
                        uint8_t* rowOut) {
    const int64_t firstCell = rowBase + (Reverse ? shape.lastK - (k + 15) : k);
    const int32_t wordBytes = shape.wordBytes;
    uint8_t* out = rowOut + int64_t{k} * wordBytes;
    const int32_t* groups = shape.groups;
    switch (wordBytes) {
        case 1:
            store(out, gatherSixteen<Reverse>(cells, firstCell, groups));
            return;
        case 2: {
            const __m128i b0 = gatherSixteen<Reverse>(cells, firstCell, groups);
            const __m128i b1 = gatherSixteen<Reverse>(cells, firstCell, groups + 8);
            store(out, _mm_unpacklo_epi8(b0, b1));
            store(out + 16, _mm_unpackhi_epi8(b0, b1));
            return;
        }
        default:
            break;
    }
    if (wordBytes % 4 == 0) {
        // Four bytes m .. m + 3 at a time: 4 x 16 bytes become sixteen 4-byte pieces.
        for (int32_t m = 0; m < wordBytes; m += 4) {
            const __m128i b0 = gatherSixteen<Reverse>(cells, firstCell, groups + 8 * m);
            const __m128i b1 = gatherSixteen<Reverse>(cells, firstCell, groups + 8 * (m + 1));
            const __m128i b2 = gatherSixteen<Reverse>(cells, firstCell, groups + 8 * (m + 2));
            const __m128i b3 = gatherSixteen<Reverse>(cells, firstCell, groups + 8 * (m + 3));
            const __m128i lo01 = _mm_unpacklo_epi8(b0, b1), hi01 = _mm_unpackhi_epi8(b0, b1);
            const __m128i lo23 = _mm_unpacklo_epi8(b2, b3), hi23 = _mm_unpackhi_epi8(b2, b3);
            const __m128i pieces[4] = {_mm_unpacklo_epi16(lo01, lo23), _mm_unpackhi_epi16(lo01, lo23),
                                       _mm_unpacklo_epi16(hi01, hi23), _mm_unpackhi_epi16(hi01, hi23)};
            if (wordBytes == 4) {
                for (int q = 0; q < 4; ++q) store(out + 16 * q, pieces[q]);
                continue;
            }
            alignas(16) uint8_t words[64];
            for (int q = 0; q < 4; ++q)
                _mm_store_si128(reinterpret_cast<__m128i*>(words + 16 * q), pieces[q]);
            for (int t = 0; t < 16; ++t) std::memcpy(out + t * wordBytes + m, words + 4 * t, 4);
        }
        return;
    }
    for (int32_t m = 0; m < wordBytes; ++m) {
        alignas(16) uint8_t bytes[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(bytes),
                        gatherSixteen<Reverse>(cells, firstCell, groups + 8 * m));
        for (int t = 0; t < 16; ++t) out[t * wordBytes + m] = bytes[t];
    }
}

#endif

}  // namespace

void exportWords(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t firstWord,
                 int32_t endWord, uint8_t* rowOut) {
    int32_t k = firstWord;
#if defined(__SSE2__)
    for (; k + 16 <= endWord; k += 16) {
        if (shape.reverseK)
            exportSixteenWords<true>(cells, rowBase, shape, k, rowOut);
        else
            exportSixteenWords<false>(cells, rowBase, shape, k, rowOut);
    }
#endif
    for (; k + 8 <= endWord; k += 8) exportEightWords(cells, rowBase, shape, k, rowOut);
    for (; k < endWord; ++k) exportWordStart(cells, rowBase, shape, k, shape.wordBytes, rowOut);
}

void exportWordStart(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t k, int32_t bytes,
                     uint8_t* rowOut) {
    for (int32_t m = 0; m < bytes; ++m)
        rowOut[int64_t{k} * shape.wordBytes + m] = wordByte(cells, rowBase, shape, k, m);
}

}  // namespace zandrel::exportkernels
