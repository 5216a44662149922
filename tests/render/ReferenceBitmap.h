#pragma once

// Straightforward reference versions of the drawing and the hit test, written from the
// formulas cell by cell, for the fast versions to be compared against.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
#include <vector>

#include "core/CellOps.h"
#include "core/Document.h"
#include "core/Int32.h"
#include "core/LayoutTexts.h"
#include "render/Colours.h"
#include "render/Raster.h"

namespace zandrel::testing {

struct Layout {
    int32_t BitSizeX = 4, BitSizeY = 4, BitGap = 2, ColGap = 4, BitsPerRow = 1024, BitsPerOutput = 32;
};

/// A document with `count` cells (cell i holds cells[i] when given) and the layout fields set
/// as ReadLayoutParams would set them.
inline Document MakeDocument(const Layout& layout, int32_t count, const std::vector<uint8_t>& cells = {}) {
    Document doc;
    doc.replaceCells(count);
    for (size_t i = 0; i < cells.size() && i < doc.Cells.size(); ++i) doc.Cells[i] = cells[i];
    doc.BitSizeX = layout.BitSizeX;
    doc.BitSizeY = layout.BitSizeY;
    doc.BitGap = layout.BitGap;
    doc.ColGap = layout.ColGap;
    doc.BitsPerRow = layout.BitsPerRow;
    doc.BitsPerOutput = layout.BitsPerOutput;
    doc.OutputsPerRow = layout.BitsPerOutput == 0 ? 0 : i32::div(layout.BitsPerRow, layout.BitsPerOutput);
    doc.ShownBitCount = count;
    return doc;
}

struct RefRect {
    int32_t x1, y1, x2, y2;
};

inline RefRect ReferenceCellRect(const Document& d, int32_t i) {
    using namespace i32;
    const int32_t r = div(i, d.BitsPerRow), c = mod(i, d.BitsPerRow), g = div(c, d.BitsPerOutput);
    RefRect rect;
    rect.x1 = add(add(mul(g, d.ColGap), mul(c, add(d.BitSizeX, d.BitGap))), 5);
    rect.y1 = add(mul(r, add(d.BitSizeY, d.BitGap)), 5);
    rect.x2 = add(rect.x1, d.BitSizeX);
    rect.y2 = add(rect.y1, d.BitSizeY);
    return rect;
}

inline int32_t ReferenceWidth(const Document& d) {
    using namespace i32;
    const int32_t lastGroup = div(sub(d.BitsPerRow, 1), d.BitsPerOutput);
    return add(sub(add(mul(lastGroup, d.ColGap), mul(add(d.BitSizeX, d.BitGap), d.BitsPerRow)), d.BitGap),
               11);
}

inline int32_t ReferenceHeight(const Document& d) {
    using namespace i32;
    const int32_t rows = div(sub(add(d.ShownBitCount, d.BitsPerRow), 1), d.BitsPerRow);
    return add(sub(mul(rows, add(d.BitSizeY, d.BitGap)), d.BitGap), 11);
}

inline int32_t ReferenceColour(uint8_t cell) {
    if (cell & CELL_SELECTED) return (cell & CELL_VALUE) ? 16711680 : 65535;
    return (cell & CELL_VALUE) ? 0 : 16777215;
}

/// The rectangle x0, y0, w x h of the whole drawing: silver, then every shown cell's rectangle
/// filled in index order, each clipped to the picture and to the rectangle.
inline Raster ReferenceRect(const Document& d, int32_t x0, int32_t y0, int32_t w, int32_t h) {
    const int64_t width = ReferenceWidth(d), height = ReferenceHeight(d);
    Raster out;
    out.Allocate(w, h);
    out.FillRect(0, 0, w, h, 12632256);
    for (int32_t i = 0; i < ShownCellCount(d); ++i) {
        const RefRect r = ReferenceCellRect(d, i);
        const int64_t x1 = std::max<int64_t>({r.x1, 0, x0}),
                      x2 = std::min<int64_t>({r.x2, width - 1, int64_t{x0} + w - 1});
        const int64_t y1 = std::max<int64_t>({r.y1, 0, y0}),
                      y2 = std::min<int64_t>({r.y2, height - 1, int64_t{y0} + h - 1});
        if (x1 > x2 || y1 > y2) continue;
        out.FillRect(static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0),
                     static_cast<int32_t>(x2 - x0), static_cast<int32_t>(y2 - y0),
                     ReferenceColour(d.Cells[static_cast<size_t>(i)]));
    }
    return out;
}

/// The whole drawing, exactly as the refresh makes it: Allocate, FillRect silver, FillRect per cell.
inline Raster ReferenceWhole(const Document& d) {
    Raster out;
    if (!out.Allocate(ReferenceWidth(d), ReferenceHeight(d))) return out;
    out.FillRect(0, 0, out.width(), out.height(), 12632256);
    for (int32_t i = 0; i < ShownCellCount(d); ++i) {
        const RefRect r = ReferenceCellRect(d, i);
        out.FillRect(r.x1, r.y1, r.x2, r.y2, ReferenceColour(d.Cells[static_cast<size_t>(i)]));
    }
    return out;
}

/// The hit test by trying every cell in index order.
inline std::optional<int32_t> ReferenceHit(const Document& d, PointerAction action, int32_t px, int32_t py,
                                           double zoomX, double zoomY) {
    if (action == PointerAction::None) return std::nullopt;
    const double zx = zoomX * 0.01, zy = zoomY * 0.01;
    for (int32_t i = 0; i < ShownCellCount(d); ++i) {
        const RefRect r = ReferenceCellRect(d, i);
        const bool inColumn = r.x1 * zx <= px && px <= r.x2 * zx;
        const bool inRow = r.y1 * zy <= py && py <= r.y2 * zy;
        const bool hit = action == PointerAction::SelectRow      ? inRow
                         : action == PointerAction::SelectColumn ? inColumn
                                                                 : inColumn && inRow;
        if (hit) return i;
    }
    return std::nullopt;
}

inline bool SamePixels(const Raster& a, const Raster& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int32_t y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), a.stride()) != 0) return false;
    }
    return true;
}

/// Layout values for randomised tests: mostly small ones, some zero, negative and extreme.
inline int32_t RandomLayoutValue(std::mt19937& rng, int32_t low, int32_t high) {
    static constexpr int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, -1000000000,   -65536,
                                            65536,     1000000000,    INT32_MAX - 5, INT32_MAX};
    const int kind = static_cast<int>(rng() % 20);
    if (kind == 0) return kExtremes[rng() % std::size(kExtremes)];
    if (kind == 1) return 0;
    if (kind == 2) return -static_cast<int32_t>(rng() % 8);
    return low + static_cast<int32_t>(rng() % static_cast<uint32_t>(high - low + 1));
}

inline Layout RandomLayout(std::mt19937& rng) {
    Layout l;
    l.BitSizeX = RandomLayoutValue(rng, 0, 7);
    l.BitSizeY = RandomLayoutValue(rng, 0, 7);
    l.BitGap = RandomLayoutValue(rng, -2, 4);
    l.ColGap = RandomLayoutValue(rng, -3, 8);
    l.BitsPerRow = RandomLayoutValue(rng, 1, 60);
    l.BitsPerOutput = RandomLayoutValue(rng, 1, 20);
    return l;
}

inline std::vector<uint8_t> RandomCells(std::mt19937& rng, int32_t count) {
    std::vector<uint8_t> cells(static_cast<size_t>(count));
    for (uint8_t& cell : cells) cell = static_cast<uint8_t>(rng() % 4 == 0 ? rng() : rng() % 8);
    return cells;
}

}  // namespace zandrel::testing
