#include "core/OutputBitOrder.h"

#include <charconv>
#include <vector>

#include "core/Document.h"
#include "core/Int32.h"

namespace zandrel {

namespace {

bool isOrderSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

/// Entries that the text form and the permutation test look at: never past the array.
int32_t usedEntries(int32_t outputsPerRow) {
    if (outputsPerRow <= 0) return 0;
    return outputsPerRow < kOutputBitOrderSize ? outputsPerRow : kOutputBitOrderSize;
}

}  // namespace

std::string OutputBitOrderWarning(int32_t outputsPerRow) {
    return "The Output bit order is not correct!\n\nThe Output bits include the range 0 .. " +
           std::to_string(i32::sub(outputsPerRow, 1)) +
           "\n\nDo you want to continue even though the exported data will be invalid?";
}

std::optional<OrderNumber> ReadOrderNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && isOrderSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '0') {
        // "0x" counts as a prefix only when a hexadecimal digit follows; else the "0" is the number.
        if (pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
            digitValue(text[pos + 2]) < 16) {
            base = 16;
            pos += 2;
        } else {
            base = 8;
        }
    }
    const size_t digitsStart = pos;
    uint32_t magnitude = 0;
    while (pos < text.size() && digitValue(text[pos]) < base) {
        magnitude = magnitude * static_cast<uint32_t>(base) + static_cast<uint32_t>(digitValue(text[pos]));
        ++pos;
    }
    if (pos == digitsStart) return std::nullopt;
    const uint32_t value = negative ? 0u - magnitude : magnitude;
    return OrderNumber{static_cast<int32_t>(value), pos};
}

int32_t Document::OutputBitOrderStrToArray(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    int32_t count = 0;
    while (count < kOutputBitOrderSize && !text.empty()) {
        const std::optional<OrderNumber> number = ReadOrderNumber(text);
        OutputBitOrder[static_cast<size_t>(count)] = number ? number->value : 0;
        if (!number) break;
        ++count;
        text.remove_prefix(number->length);
    }
    return count;
}

std::string Document::OutputBitOrderArrayToStr(const LayoutTexts& edits, int32_t size) {
    ReadLayoutParams(edits);
    return OutputBitOrderText(size);
}

std::string Document::OutputBitOrderText(int32_t size) const {
    const size_t room = size > 0 ? static_cast<size_t>(size) - 1 : 0;
    std::string text;
    const int32_t entries = usedEntries(OutputsPerRow);
    char piece[16];
    for (int32_t b = 0; b < entries; ++b) {
        char* end = piece;
        if (b > 0) *end++ = ' ';
        end = std::to_chars(end, piece + sizeof piece, OutputBitOrder[static_cast<size_t>(b)]).ptr;
        const size_t length = static_cast<size_t>(end - piece);
        // Only whole numbers go in: a cut number would read back as another value.
        if (text.size() + length > room) break;
        text.append(piece, length);
    }
    return text;
}

bool Document::OutputBitOrderIsPermutation() const {
    if (OutputsPerRow <= 0) return true;
    if (OutputsPerRow > kOutputBitOrderSize) return false;
    std::vector<bool> seen(static_cast<size_t>(OutputsPerRow), false);
    for (int32_t b = 0; b < OutputsPerRow; ++b) {
        const int32_t entry = OutputBitOrder[static_cast<size_t>(b)];
        if (entry < 0 || entry >= OutputsPerRow || seen[static_cast<size_t>(entry)]) return false;
        seen[static_cast<size_t>(entry)] = true;
    }
    return true;
}

}  // namespace zandrel
