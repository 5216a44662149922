// The select-pattern text: its bit list for any text, then selecting the columns on a small
// document with any BitsPerRow and any shown count, against the rule applied cell by cell.

#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/CellOps.h"
#include "core/Document.h"
#include "core/Errors.h"

using namespace zandrel;
using zandrel::fuzz::EdgyInt32;

namespace {

std::vector<uint8_t> ReferenceBits(const std::string& text) {
    std::vector<uint8_t> bits;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            continue;
        }
        for (int shift = 3; shift >= 0; --shift) bits.push_back(static_cast<uint8_t>((digit >> shift) & 1));
    }
    return bits;
}

// Column j of every complete row k gets selected where bit j % P is 1. No columns for a
// BitsPerRow below 1; an empty list with columns to walk is the division by zero.
std::optional<std::vector<uint8_t>> ReferenceSelect(std::vector<uint8_t> cells, int32_t perRow, int32_t shown,
                                                    const std::vector<uint8_t>& bits) {
    if (perRow < 1) return cells;
    if (bits.empty()) return std::nullopt;
    const int64_t rows = shown / perRow;
    for (int64_t k = 0; k < rows; ++k)
        for (int64_t j = 0; j < perRow; ++j)
            if (bits[static_cast<size_t>(j) % bits.size()])
                cells[static_cast<size_t>(k * perRow + j)] |= CELL_SELECTED;
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Document doc;
    doc.BitsPerRow = EdgyInt32(in);
    const size_t held = in.ConsumeIntegralInRange<size_t>(0, 4096);
    // The shown count may lag behind the cells held, either way, as between a load and a refresh.
    doc.ShownBitCount = in.ConsumeBool() ? static_cast<int32_t>(held) : EdgyInt32(in);
    doc.Cells = in.ConsumeBytes<uint8_t>(held);
    doc.Cells.resize(held, 0);
    doc.BinDataLen = static_cast<int32_t>(held);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::vector<uint8_t> bits = PatternBits(text);
    FUZZ_CHECK(bits == ReferenceBits(text));

    const std::vector<uint8_t> before = doc.Cells;
    const std::optional<std::vector<uint8_t>> expected =
        ReferenceSelect(before, doc.BitsPerRow, ShownCellCount(doc), bits);
    try {
        const CellChange change = SelectPatternColumns(doc, bits);
        FUZZ_CHECK(expected.has_value());
        FUZZ_CHECK(doc.Cells == *expected);
        // The change names every cell that changed, and only shown cells.
        for (size_t i = 0; i < before.size(); ++i) {
            if (before[i] == doc.Cells[i]) continue;
            const int64_t offset = static_cast<int64_t>(i) - change.first;
            FUZZ_CHECK(offset >= 0 && offset % change.stride == 0 && offset / change.stride < change.count);
        }
        FUZZ_CHECK(change.empty() ||
                   (change.first >= 0 && change.cell(change.count - 1) < ShownCellCount(doc)));
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(!expected.has_value());
        FUZZ_CHECK(doc.Cells == before);
    }
    return 0;
}
