#include "core/CellOps.h"

#include <algorithm>

#include "core/Int32.h"

namespace zandrel {

namespace {

enum class FlagOp { Set, Clear };

void ApplyFlag(uint8_t& cell, uint8_t flag, FlagOp op) {
    if (op == FlagOp::Set) {
        cell = static_cast<uint8_t>(cell | flag);
    } else {
        cell = static_cast<uint8_t>(cell & ~flag);
    }
}

CellChange ApplyToRange(Document& doc, int64_t first, int64_t end, uint8_t flag, FlagOp op) {
    first = std::max<int64_t>(first, 0);
    end = std::min<int64_t>(end, ShownCellCount(doc));
    if (first >= end) return {};
    for (int64_t i = first; i < end; ++i) ApplyFlag(doc.Cells[static_cast<size_t>(i)], flag, op);
    return CellChange::range(static_cast<int32_t>(first), static_cast<int32_t>(end - first));
}

// The cells c, c + BitsPerRow, c + 2 * BitsPerRow, ... below the shown count. A BitsPerRow below 1
// would step away from the cells, so only c itself is then in range.
CellChange ApplyToColumn(Document& doc, int32_t column, uint8_t flag, FlagOp op) {
    const int64_t shown = ShownCellCount(doc);
    if (column < 0 || column >= shown) return {};
    const int64_t stride = doc.BitsPerRow >= 1 ? doc.BitsPerRow : 1;
    const int64_t count = doc.BitsPerRow >= 1 ? (shown - 1 - column) / stride + 1 : 1;
    for (int64_t k = 0; k < count; ++k) {
        ApplyFlag(doc.Cells[static_cast<size_t>(column + k * stride)], flag, op);
    }
    return {column, static_cast<int32_t>(count), static_cast<int32_t>(stride)};
}

}  // namespace

PointerAction PointerActionFromItemIndex(int32_t itemIndex) {
    if (itemIndex < 0 || itemIndex > 3) return PointerAction::None;
    return static_cast<PointerAction>(itemIndex);
}

int32_t ShownCellCount(const Document& doc) {
    const int64_t held = static_cast<int64_t>(doc.Cells.size());
    return static_cast<int32_t>(std::clamp<int64_t>(doc.ShownBitCount, 0, held));
}

CellChange ApplyPointerAction(Document& doc, PointerAction action, int32_t hitCell, int32_t dragMode) {
    if (action == PointerAction::None) return {};
    if (hitCell < 0 || hitCell >= ShownCellCount(doc)) return {};
    if (dragMode != 1 && dragMode != 2) return {};
    const FlagOp op = dragMode == 1 ? FlagOp::Set : FlagOp::Clear;
    const uint8_t flag = action == PointerAction::SetBit ? CELL_VALUE : CELL_SELECTED;

    switch (action) {
        case PointerAction::SelectBit:
        case PointerAction::SetBit:
            return ApplyToRange(doc, hitCell, int64_t{hitCell} + 1, flag, op);
        case PointerAction::SelectRow: {
            const int64_t row = i32::div(hitCell, doc.BitsPerRow);
            return ApplyToRange(doc, row * doc.BitsPerRow, (row + 1) * doc.BitsPerRow, flag, op);
        }
        case PointerAction::SelectColumn:
            return ApplyToColumn(doc, i32::mod(hitCell, doc.BitsPerRow), flag, op);
        case PointerAction::None:
            break;
    }
    return {};
}

CellChange SelectAllCells(Document& doc) {
    return ApplyToRange(doc, 0, ShownCellCount(doc), CELL_SELECTED, FlagOp::Set);
}

CellChange UnselectAllCells(Document& doc) {
    return ApplyToRange(doc, 0, ShownCellCount(doc), CELL_SELECTED, FlagOp::Clear);
}

CellChange InvertSelectedCells(Document& doc) {
    const int32_t shown = ShownCellCount(doc);
    for (int32_t i = 0; i < shown; ++i) {
        uint8_t& cell = doc.Cells[static_cast<size_t>(i)];
        if (cell & CELL_SELECTED) cell = static_cast<uint8_t>(cell ^ CELL_VALUE);
    }
    return shown > 0 ? CellChange::range(0, shown) : CellChange{};
}

std::vector<uint8_t> PatternBits(std::string_view text) {
    std::vector<uint8_t> bits;
    for (char ch : text) {
        int digit = -1;
        if (ch >= '0' && ch <= '9') digit = ch - '0';
        if (ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
        if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        if (digit < 0) continue;
        for (int bit = 3; bit >= 0; --bit) bits.push_back(static_cast<uint8_t>((digit >> bit) & 1));
    }
    return bits;
}

CellChange SelectPatternColumns(Document& doc, const std::vector<uint8_t>& bits) {
    const int32_t perRow = doc.BitsPerRow;
    if (perRow < 1) return {};
    if (bits.empty()) throw DivisionByZero();  // the first column's j % P

    const int32_t rows = ShownCellCount(doc) / perRow;
    const size_t patternLength = bits.size();
    // Row by row rather than column by column: the same cells, in memory order.
    for (int32_t row = 0; row < rows; ++row) {
        uint8_t* cells = doc.Cells.data() + static_cast<size_t>(row) * static_cast<size_t>(perRow);
        size_t bit = 0;
        for (int32_t column = 0; column < perRow; ++column) {
            if (bits[bit]) cells[column] = static_cast<uint8_t>(cells[column] | CELL_SELECTED);
            if (++bit == patternLength) bit = 0;
        }
    }
    const int64_t touched = int64_t{rows} * perRow;
    return touched > 0 ? CellChange::range(0, static_cast<int32_t>(touched)) : CellChange{};
}

}  // namespace zandrel
