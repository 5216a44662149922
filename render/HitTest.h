#pragma once

#include <cstdint>
#include <optional>

#include "core/CellOps.h"
#include "core/Document.h"

namespace zandrel {

/// The pointer's position in zoomed pixels from the bit map's top-left corner:
/// client + view (scroll) - image origin, wrapping as signed 32-bit.
int32_t PointerOffset(int32_t client, int32_t view, int32_t imageOrigin);

/// The cell a press or drag at the zoomed position (px, py) acts on: the first cell, in index
/// order, whose bands hold the pointer as `action` asks (Select Bit and Set Bit both bands,
/// Select Row the row band, Select Column the column band). The column band of a cell is
/// x1 * zx <= px <= x2 * zx with zx = zoomX * 0.01, the row band likewise, compared as doubles.
/// For Select Row the cell is the first of the row, for Select Column the column's cell in row 0.
/// No cell for PointerAction::None or when no cell is shown. Throws DivisionByZero for a
/// BitsPerRow or BitsPerOutput of 0 with cells shown. Regular layouts at positive zoom take
/// constant time; other layouts try the cells in order.
std::optional<int32_t> HitTest(const Document& doc, PointerAction action, int32_t px, int32_t py,
                               double zoomX, double zoomY);

/// A press, or a drag step, at the zoomed position (px, py): the hit test, then `action` applied
/// to the hit cell for the button `dragMode` names (1 left, 2 right, 3 middle). None without a
/// hit; otherwise the cells touched, none for the middle button, whose hit still counts.
std::optional<CellChange> PointerEdit(Document& doc, PointerAction action, int32_t dragMode, int32_t px,
                                      int32_t py, double zoomX, double zoomY);

}  // namespace zandrel
