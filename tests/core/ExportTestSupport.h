#pragma once

// A literal, bit-by-bit export to check the real one against, and small document helpers.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/Int32.h"

namespace zandrel::testing {

/// The export of `doc` computed one output bit at a time with the layout fields as they are.
inline std::vector<uint8_t> ReferenceExport(const Document& doc) {
    const int32_t n = doc.BinDataLen / 8;
    std::vector<uint8_t> out(static_cast<size_t>(n), 0);
    const int32_t bpr = doc.BitsPerRow, bpo = doc.BitsPerOutput, opr = doc.OutputsPerRow;
    for (int32_t i = 0; i < 8 * n; ++i) {
        const int32_t row = i / bpr, col = i % bpr;
        int32_t k = col / opr;
        const int32_t b = col % opr;
        int32_t c = doc.OutputBitOrder[static_cast<size_t>(b)];
        if (doc.ReverseOutputs != 0) c = i32::sub(i32::sub(opr, 1), c);
        if (doc.ReverseWithinOutCol != 0) k = i32::sub(i32::sub(bpo, 1), k);
        const int32_t s = i32::add(i32::add(i32::mul(row, bpr), i32::mul(c, bpo)), k);
        if (s >= 0 && s < doc.BinDataLen && (doc.Cells[static_cast<size_t>(s)] & CELL_VALUE) != 0)
            out[static_cast<size_t>(i / 8)] |= static_cast<uint8_t>(1u << (i % 8));
    }
    if (doc.EndianMode == 1) {
        const int32_t g = (opr + 7) / 8;
        for (int32_t start = 0; start + g <= n; start += g)
            std::reverse(out.begin() + start, out.begin() + start + g);
    }
    return out;
}

inline LayoutTexts RowLayout(int32_t bitsPerRow, int32_t bitsPerOutput) {
    LayoutTexts edits;
    edits.BitsPerRowEdit = std::to_string(bitsPerRow);
    edits.BitsPerOutputEdit = std::to_string(bitsPerOutput);
    return edits;
}

/// A document of `count` cells, all 0.
inline Document DocumentWithCells(int32_t count) {
    Document doc;
    doc.replaceCells(count);
    return doc;
}

}  // namespace zandrel::testing
