#include "core/HexDump.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace zandrel {

namespace {

constexpr int kBytesPerLine = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";

/// " XX" for every byte value, so a byte costs one 3-character copy.
struct ByteTexts {
    std::array<std::array<char, 4>, 256> hex{};
    std::array<char, 256> printable{};
    constexpr ByteTexts() {
        for (int v = 0; v < 256; ++v) {
            hex[v] = {' ', kHexDigits[v >> 4], kHexDigits[v & 15], 0};
            printable[v] = (v >= 32 && v <= 126) ? static_cast<char>(v) : '.';
        }
    }
};
constexpr ByteTexts kByteTexts;

int32_t clampLength(int32_t length) { return length < 0 ? 0 : length; }

int hexDigitCount(uint32_t value) {
    int digits = 1;
    while (value >= 16) {
        value >>= 4;
        ++digits;
    }
    return digits;
}

/// The width actually used: wide enough for the last offset, and never absurdly wide.
int usableWidth(int width, int32_t length) {
    const int32_t lastLine = length == 0 ? 0 : (length - 1) / kBytesPerLine;
    const int needed = hexDigitCount(static_cast<uint32_t>(lastLine) * kBytesPerLine);
    return std::clamp(width, needed, 32);
}

/// Characters of line `line`: offset, bytes, padding, separator and characters.
size_t lineLength(int32_t length, int32_t line, int width) {
    if (length == 0) return 2;
    const int32_t bytes = std::min<int32_t>(kBytesPerLine, length - line * kBytesPerLine);
    return static_cast<size_t>(width) + 1 + 3 * kBytesPerLine + 2 + static_cast<size_t>(bytes);
}

#if defined(__x86_64__) && defined(__GNUC__)

// The 48 characters " XX" x 16 come from the 32 hexadecimal digits: each 16-character part
// takes 11 or 12 neighbouring digits by one byte shuffle (0x80 leaves a 0 where a space goes).
struct SpreadMasks {
    alignas(16) uint8_t index[3][16];
    alignas(16) uint8_t spaces[3][16];
    static constexpr int kFirstDigit[3] = {0, 10, 16};  // where each part's source vector starts
    constexpr SpreadMasks() : index{}, spaces{} {
        for (int i = 0; i < 48; ++i) {
            const int part = i / 16, at = i % 16;
            index[part][at] = 0x80;
            spaces[part][at] = 0;
            if (i % 3 == 0) {
                spaces[part][at] = ' ';
                continue;
            }
            const int digit = 2 * (i / 3) + (i % 3 - 1);  // 0 .. 31
            index[part][at] = static_cast<uint8_t>(digit - kFirstDigit[part]);
        }
    }
};
constexpr SpreadMasks kSpreadMasks;

__attribute__((target("ssse3"))) inline __m128i spreadPart(__m128i digits, int part) {
    const __m128i index = _mm_load_si128(reinterpret_cast<const __m128i*>(kSpreadMasks.index[part]));
    const __m128i spaces = _mm_load_si128(reinterpret_cast<const __m128i*>(kSpreadMasks.spaces[part]));
    return _mm_or_si128(_mm_shuffle_epi8(digits, index), spaces);
}

/// " XX" x 16, two spaces and the 16 characters of `bytes`: 66 characters at `out`.
__attribute__((target("ssse3"))) inline void writeSixteenBytes(char* out, const uint8_t* bytes) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i digits =
        _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
    const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(v, 4), nibble));
    const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(v, nibble));
    const __m128i first = _mm_unpacklo_epi8(high, low);   // digits 0 .. 15: "HLHL..." of bytes 0 .. 7
    const __m128i second = _mm_unpackhi_epi8(high, low);  // digits 16 .. 31
    __m128i* parts = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(parts, spreadPart(first, 0));
    _mm_storeu_si128(parts + 1, spreadPart(_mm_alignr_epi8(second, first, 10), 1));
    _mm_storeu_si128(parts + 2, spreadPart(second, 2));
    out[48] = ' ';
    out[49] = ' ';
    // Printable: 32 .. 126, which as signed bytes is above 31 and below 127.
    const __m128i printable =
        _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(31)), _mm_cmplt_epi8(v, _mm_set1_epi8(127)));
    const __m128i shown =
        _mm_or_si128(_mm_and_si128(printable, v), _mm_andnot_si128(printable, _mm_set1_epi8('.')));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 50), shown);
}

/// Full lines firstLine .. endLine - 1, each followed by `lineEnd`; returns the end. The
/// offset of a line is formatted in registers too (width 8 at most).
__attribute__((target("ssse3"))) char* writeFullLines(char* out, const uint8_t* data, int32_t firstLine,
                                                      int32_t endLine, int width, char lineEnd) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i digits =
        _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
    // The last `width` of the 8 digits, then ":".
    alignas(16) uint8_t select[16];
    alignas(16) uint8_t colon[16] = {};
    for (int i = 0; i < 16; ++i) select[i] = i < width ? static_cast<uint8_t>(8 - width + i) : 0x80;
    colon[width] = ':';
    const __m128i selectDigits = _mm_load_si128(reinterpret_cast<const __m128i*>(select));
    const __m128i colonAfter = _mm_load_si128(reinterpret_cast<const __m128i*>(colon));
    for (int32_t line = firstLine; line < endLine; ++line) {
        const uint32_t offset = static_cast<uint32_t>(line) * kBytesPerLine;
        const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(__builtin_bswap32(offset)));
        const __m128i nibbles =
            _mm_unpacklo_epi8(_mm_and_si128(_mm_srli_epi16(bytes, 4), nibble), _mm_and_si128(bytes, nibble));
        const __m128i text =
            _mm_or_si128(_mm_shuffle_epi8(_mm_shuffle_epi8(digits, nibbles), selectDigits), colonAfter);
        // 16 characters at once: the line is longer, and what follows the offset overwrites the rest.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), text);
        out += width + 1;
        writeSixteenBytes(out, data + static_cast<size_t>(line) * kBytesPerLine);
        out += 3 * kBytesPerLine + 2 + kBytesPerLine;
        *out++ = lineEnd;
    }
    return out;
}

bool hasSsse3() {
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}

#define ZANDREL_WIDE_DUMP 1
#endif

/// Writes line `line` at `out`, which has room for lineLength() characters; returns the end.
char* writeLine(char* out, const uint8_t* data, int32_t length, int32_t line, int width) {
    if (length > 0) {
        uint32_t offset = static_cast<uint32_t>(line) * kBytesPerLine;
        for (int digit = width - 1; digit >= 0; --digit) {
            out[digit] = kHexDigits[offset & 15];
            offset >>= 4;
        }
        out += width;
        *out++ = ':';
    }
    const int32_t first = line * kBytesPerLine;
    const int32_t bytes = std::min<int32_t>(kBytesPerLine, length - first);
    const uint8_t* lineData = data + first;
#if defined(ZANDREL_WIDE_DUMP)
    if (bytes == kBytesPerLine && hasSsse3()) {
        writeSixteenBytes(out, lineData);
        return out + 3 * kBytesPerLine + 2 + kBytesPerLine;
    }
#endif
    for (int32_t i = 0; i < bytes; ++i) {
        std::memcpy(out, kByteTexts.hex[lineData[i]].data(), 3);
        out += 3;
    }
    for (int32_t i = bytes; i < kBytesPerLine && length > 0; ++i) {
        std::memcpy(out, "   ", 3);
        out += 3;
    }
    *out++ = ' ';
    *out++ = ' ';
    for (int32_t i = 0; i < bytes; ++i) *out++ = kByteTexts.printable[lineData[i]];
    return out;
}

}  // namespace

int DumpAddressWidth(int32_t length) {
    // The count is formatted as its unsigned 32-bit pattern, as "%X" does.
    return std::max(4, hexDigitCount(static_cast<uint32_t>(length)));
}

int32_t DumpLineCount(int32_t length) {
    length = clampLength(length);
    if (length == 0) return 1;
    return length / kBytesPerLine + (length % kBytesPerLine != 0 ? 1 : 0);
}

void AppendDumpLine(std::string& out, const uint8_t* data, int32_t length, int32_t line, int width) {
    length = clampLength(length);
    if (line < 0 || line >= DumpLineCount(length)) return;
    width = usableWidth(width, length);
    const size_t start = out.size();
    out.resize(start + lineLength(length, line, width));
    writeLine(out.data() + start, data, length, line, width);
}

std::string DumpLine(const uint8_t* data, int32_t length, int32_t line) {
    std::string out;
    AppendDumpLine(out, data, length, line, DumpAddressWidth(clampLength(length)));
    return out;
}

void AppendDumpLines(std::string& out, const uint8_t* data, int32_t length, int32_t firstLine,
                     int32_t lineCount, int width, char lineEnd) {
    length = clampLength(length);
    const int32_t total = DumpLineCount(length);
    const int64_t endLine64 = std::min<int64_t>(int64_t{firstLine} + lineCount, total);
    if (firstLine < 0) firstLine = 0;
    if (endLine64 <= firstLine) return;
    const int32_t endLine = static_cast<int32_t>(endLine64);
    lineCount = endLine - firstLine;
    width = usableWidth(width, length);

    size_t size = 0;
    const size_t fullLine = lineLength(length, 0, width);
    const bool lastIsShort = endLine == total;
    size += fullLine * static_cast<size_t>(lineCount - (lastIsShort ? 1 : 0));
    if (lastIsShort) size += lineLength(length, total - 1, width);
    size += static_cast<size_t>(lineCount);  // a line end after every line

    out.reserve(out.size() + size);
#if defined(ZANDREL_WIDE_DUMP)
    if (hasSsse3() && length > 0 && width <= 8) {
        // Full lines are built in a small buffer that stays in the cache, then appended:
        // the text is written once, with no zero fill before it.
        const int32_t fullEnd = std::min(endLine, length / kBytesPerLine);
        constexpr int32_t kLinesPerBatch = 64;
        char batch[kLinesPerBatch * (32 + 1 + 3 * kBytesPerLine + 2 + kBytesPerLine + 1)];
        while (firstLine < fullEnd) {
            const int32_t batchEnd = std::min(fullEnd, firstLine + kLinesPerBatch);
            const char* end = writeFullLines(batch, data, firstLine, batchEnd, width, lineEnd);
            out.append(batch, static_cast<size_t>(end - batch));
            firstLine = batchEnd;
        }
        if (firstLine >= endLine) return;
    }
#endif
    const size_t start = out.size();
    size_t rest = 0;
    for (int32_t line = firstLine; line < endLine; ++line) rest += lineLength(length, line, width) + 1;
    out.resize(start + rest);
    char* cursor = out.data() + start;
    for (int32_t line = firstLine; line < endLine; ++line) {
        cursor = writeLine(cursor, data, length, line, width);
        *cursor++ = lineEnd;
    }
}

std::string DumpText(const uint8_t* data, int32_t length) {
    std::string out;
    AppendDumpLines(out, data, length, 0, DumpLineCount(length), DumpAddressWidth(clampLength(length)), '\n');
    return out;
}

}  // namespace zandrel
