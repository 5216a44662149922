#pragma once

// Cell operations of the pointer actions and the selection commands. Each takes the layout fields
// as the last ReadLayoutParams left them, changes only its one flag, never touches a cell outside
// 0 .. ShownBitCount - 1 (nor beyond the cells held), and tells which cells it touched.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Document.h"

namespace zandrel {

/// The action chosen in the main window's action radio group, numbered as its ItemIndex.
enum class PointerAction : int32_t { None = -1, SelectBit = 0, SelectRow = 1, SelectColumn = 2, SetBit = 3 };

/// The action for a radio group ItemIndex; None for -1 and any index out of range.
PointerAction PointerActionFromItemIndex(int32_t itemIndex);

/// Cells an operation touched: `count` cells from `first` on, `stride` apart (stride 1: a range).
/// A touched cell may already have had the flag's new state.
struct CellChange {
    int32_t first = 0;
    int32_t count = 0;
    int32_t stride = 1;

    bool empty() const { return count <= 0; }
    /// The k-th touched cell, 0 <= k < count.
    int32_t cell(int32_t k) const { return static_cast<int32_t>(first + static_cast<int64_t>(k) * stride); }

    static CellChange range(int32_t first, int32_t count) { return {first, count, 1}; }
    bool operator==(const CellChange&) const = default;
};

/// Several changes, for example those of a drag between two refreshes.
using CellChangeList = std::vector<CellChange>;

/// The number of cells that drawing, hit-testing and the selection commands may touch:
/// ShownBitCount, bounded by 0 and the number of cells held.
int32_t ShownCellCount(const Document& doc);

/// Applies `action` to the cell `hitCell` that the hit test found, for the button that
/// `dragMode` names: 1 (left) sets the flag, 2 (right) clears it, 3 (middle) and any other value
/// change nothing. "Select Row" reaches the hit cell's row up to ShownBitCount, "Select Column"
/// its column in every row that holds it. A hit cell outside the shown cells changes nothing.
/// Throws DivisionByZero for a BitsPerRow of 0 with a row or column action.
CellChange ApplyPointerAction(Document& doc, PointerAction action, int32_t hitCell, int32_t dragMode);

/// Select all: every shown cell gets CELL_SELECTED.
CellChange SelectAllCells(Document& doc);

/// Unselect all: every shown cell loses CELL_SELECTED.
CellChange UnselectAllCells(Document& doc);

/// Invert selected bits: every shown cell with CELL_SELECTED has CELL_VALUE flipped.
CellChange InvertSelectedCells(Document& doc);

/// The pattern bit list of a pattern text: four bits per hexadecimal digit, most significant
/// first; every other character is skipped.
std::vector<uint8_t> PatternBits(std::string_view text);

/// Selects column j of every complete row where bit j % P of `bits` (P bits) is 1. Only adds
/// selections; a partial last row is left alone. Throws DivisionByZero, before any cell
/// changes, for an empty list with a BitsPerRow of 1 or more.
CellChange SelectPatternColumns(Document& doc, const std::vector<uint8_t>& bits);

}  // namespace zandrel
