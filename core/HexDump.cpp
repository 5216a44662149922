#include "core/HexDump.h"

#include <algorithm>
#include <array>
#include <cstring>

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

    const size_t start = out.size();
    out.resize(start + size);
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
