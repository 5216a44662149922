#pragma once

// The inner loops of the export for rows whose words start on byte boundaries: every output
// byte is bits 8m .. 8m + 7 of one word, and word k takes bit b from cell
// rowBase + groups[b] + kOffset(k), with kOffset(k) = k, or lastK - k when reversed.

#include <cstdint>

namespace zandrel::exportkernels {

struct WordShape {
    const int32_t* groups;  // source offset of each bit b of a word, relative to the row
    int32_t wordBytes;      // OutputsPerRow / 8
    int64_t lastK;          // BitsPerOutput - 1
    bool reverseK;          // ReverseWithinOutCol
};

/// Writes words firstWord .. endWord - 1 of the row starting at cell `rowBase` into `rowOut`,
/// word k at rowOut + k * wordBytes. Every cell rowBase + groups[b] + kOffset(k) of these
/// words must exist.
void exportWords(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t firstWord,
                 int32_t endWord, uint8_t* rowOut);

/// The first `bytes` bytes of word k alone, for a word that the row cuts short.
void exportWordStart(const uint8_t* cells, int64_t rowBase, const WordShape& shape, int32_t k, int32_t bytes,
                     uint8_t* rowOut);

}  // namespace zandrel::exportkernels
