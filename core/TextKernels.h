#pragma once

// Wide inner loop of the bit text loader.

#include <cstddef>
#include <cstdint>

namespace zandrel::textkernels {

/// Characters that scanPlainText looks at together; the caller goes on by itself for at least
/// this many characters after the point where the scanner stopped.
inline constexpr size_t kPlainTextChunk = 64;

/// Scans `text` from its start while it holds only bits ("0", "1") and characters to skip, and
/// none of "?", `lineFeed` and `space` (pass "?" for one that needs no look): stores the bits
/// at cells[count] on and counts them. Returns the number of characters scanned, a multiple of
/// kPlainTextChunk, possibly 0. cells[count + length - 1] must exist.
size_t scanPlainText(const uint8_t* text, size_t length, uint8_t* cells, int64_t& count, uint8_t lineFeed,
                     uint8_t space);

/// scanPlainText without the wide instructions of the processor, for any machine.
size_t scanPlainTextPortable(const uint8_t* text, size_t length, uint8_t* cells, int64_t& count,
                             uint8_t lineFeed, uint8_t space);

}  // namespace zandrel::textkernels
