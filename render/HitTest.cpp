#include "render/HitTest.h"

#include <algorithm>
#include <cmath>

#include "core/Errors.h"
#include "core/Int32.h"
#include "render/CellGeometry.h"

namespace zandrel {

namespace {

bool UsesColumnBand(PointerAction action) { return action != PointerAction::SelectRow; }
bool UsesRowBand(PointerAction action) { return action != PointerAction::SelectColumn; }

bool InBand(double low, double high, double zoom, double position) {
    return low * zoom <= position && position <= high * zoom;
}

// Trying the cells in index order: the definition the direct search must agree with.
std::optional<int32_t> ScanHitTest(const CellGeometry& g, PointerAction action, double px, double py,
                                   double zx, double zy) {
    for (int32_t i = 0; i < g.cellCount(); ++i) {
        const CellRect r = g.rect(i);
        const bool inColumn = !UsesColumnBand(action) || InBand(r.x1, r.x2, zx, px);
        const bool inRow = !UsesRowBand(action) || InBand(r.y1, r.y2, zy, py);
        if (inColumn && inRow) return i;
    }
    return std::nullopt;
}

// Smallest k in lo..hi with pred(k), or hi + 1 when there is none; pred is false up to some k
// and true from there on. Searches outward from `hint`, so a good hint costs a few probes.
template <class Pred>
int64_t FirstTrue(int64_t lo, int64_t hi, int64_t hint, Pred pred) {
    if (lo > hi) return hi + 1;
    int64_t below = lo - 1;  // pred is false at and below `below`
    int64_t above = hi + 1;  // pred is true at and above `above`
    hint = std::clamp(hint, lo, hi);
    if (pred(hint)) {
        above = hint;
        for (int64_t step = 1; above - step > below; step *= 2) {
            if (!pred(above - step)) {
                below = above - step;
                break;
            }
            above -= step;
        }
    } else {
        below = hint;
        for (int64_t step = 1; below + step < above; step *= 2) {
            if (pred(below + step)) {
                above = below + step;
                break;
            }
            below += step;
        }
    }
    while (above - below > 1) {
        const int64_t middle = below + (above - below) / 2;
        if (pred(middle)) {
            above = middle;
        } else {
            below = middle;
        }
    }
    return above;
}

int64_t FloorToInt64(double value) {
    if (!(value > -1e15)) return -(int64_t{1} << 50);
    if (!(value < 1e15)) return int64_t{1} << 50;
    return static_cast<int64_t>(std::floor(value));
}

// The first column, up to lastColumn, whose column band holds px; -1 for none. Bands are
// intervals of increasing edges, so this is the first column whose right bound reaches px,
// provided its left bound does not already lie beyond px.
int32_t FirstColumnAt(const CellGeometry& g, int32_t lastColumn, double px, double zx) {
    auto reaches = [&](int64_t c) {
        return px <= double(int64_t{g.left(static_cast<int32_t>(c))} + g.bitSizeX()) * zx;
    };
    const int64_t hint = int64_t{g.lastColumnStartingBy(FloorToInt64(px / zx) - g.bitSizeX() - 1)} + 1;
    const int64_t c = FirstTrue(0, lastColumn, hint, reaches);
    if (c > lastColumn || !(double(g.left(static_cast<int32_t>(c))) * zx <= px)) return -1;
    return static_cast<int32_t>(c);
}

int32_t FirstRowAt(const CellGeometry& g, double py, double zy) {
    auto reaches = [&](int64_t r) {
        return py <= double(int64_t{g.top(static_cast<int32_t>(r))} + g.bitSizeY()) * zy;
    };
    const int64_t hint = int64_t{g.lastRowStartingBy(FloorToInt64(py / zy) - g.bitSizeY() - 1)} + 1;
    const int64_t r = FirstTrue(0, g.lastRow(), hint, reaches);
    if (r > g.lastRow() || !(double(g.top(static_cast<int32_t>(r))) * zy <= py)) return -1;
    return static_cast<int32_t>(r);
}

bool UsableZoom(double zoom) { return zoom > 0 && std::isfinite(zoom); }

}  // namespace

int32_t PointerOffset(int32_t client, int32_t view, int32_t imageOrigin) {
    return i32::sub(i32::add(client, view), imageOrigin);
}

std::optional<int32_t> HitTest(const Document& doc, PointerAction action, int32_t px, int32_t py,
                               double zoomX, double zoomY) {
    if (action == PointerAction::None) return std::nullopt;
    const CellGeometry g(doc);
    if (g.cellCount() < 1) return std::nullopt;
    if (g.dividesByZero()) throw DivisionByZero();

    const double zx = zoomX * 0.01;
    const double zy = zoomY * 0.01;
    const double x = px;
    const double y = py;
    const bool direct = g.regular() && (!UsesColumnBand(action) || UsableZoom(zx)) &&
                        (!UsesRowBand(action) || UsableZoom(zy));
    if (!direct) return ScanHitTest(g, action, x, y, zx, zy);

    switch (action) {
        case PointerAction::SelectRow: {
            const int32_t row = FirstRowAt(g, y, zy);
            if (row < 0) return std::nullopt;
            return g.index(row, 0);
        }
        case PointerAction::SelectColumn: {
            const int32_t column = FirstColumnAt(g, g.lastColumn(), x, zx);
            if (column < 0) return std::nullopt;
            return column;
        }
        case PointerAction::SelectBit:
        case PointerAction::SetBit: {
            // The first row whose band holds py; every row but the last holds all columns, so the
            // first column there decides, and in the last row that column must exist.
            const int32_t row = FirstRowAt(g, y, zy);
            if (row < 0) return std::nullopt;
            const int32_t column = FirstColumnAt(g, g.lastColumn(), x, zx);
            if (column < 0 || column >= g.rowLength(row)) return std::nullopt;
            return g.index(row, column);
        }
        case PointerAction::None:
            break;
    }
    return std::nullopt;
}

std::optional<CellChange> PointerEdit(Document& doc, PointerAction action, int32_t dragMode, int32_t px,
                                      int32_t py, double zoomX, double zoomY) {
    const std::optional<int32_t> hit = HitTest(doc, action, px, py, zoomX, zoomY);
    if (!hit) return std::nullopt;
    return ApplyPointerAction(doc, action, *hit, dragMode);
}

}  // namespace zandrel
