#include "render/BitmapDrawing.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zandrel {

namespace {

// Beyond this many separate rectangles a change is cheaper to redraw whole.
constexpr int32_t kMaxRedrawRectangles = 4096;

RasterRegion WholeRegion(Raster& raster) {
    return {raster.row(0), raster.stride(), 0, 0, raster.width(), raster.height()};
}

// The part of `raster` covering bit map pixels x1..x2, y1..y2, clipped to the raster; none when
// nothing of it lies inside.
std::optional<RasterRegion> SubRegion(Raster& raster, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    x1 = std::max<int64_t>(x1, 0);
    y1 = std::max<int64_t>(y1, 0);
    x2 = std::min<int64_t>(x2, raster.width() - 1);
    y2 = std::min<int64_t>(y2, raster.height() - 1);
    if (x1 > x2 || y1 > y2) return std::nullopt;
    RasterRegion region;
    region.pixels = raster.row(static_cast<int32_t>(y1)) + static_cast<size_t>(x1) * 3;
    region.stride = raster.stride();
    region.x0 = static_cast<int32_t>(x1);
    region.y0 = static_cast<int32_t>(y1);
    region.width = static_cast<int32_t>(x2 - x1 + 1);
    region.height = static_cast<int32_t>(y2 - y1 + 1);
    return region;
}

struct PixelBox {
    int64_t x1, y1, x2, y2;
};

// The rectangles that cover the cells of `change` in a regular layout: a run of cells gives at
// most three (its first row, the whole rows between, its last row), a column one; false when
// that would take too many rectangles.
bool CoveringBoxes(const CellGeometry& g, const CellChange& change, std::vector<PixelBox>& boxes) {
    const int32_t perRow = g.bitsPerRow();
    const int64_t count = g.cellCount();
    auto cellBox = [&](int32_t firstCell, int32_t lastCell, int32_t firstColumn, int32_t lastColumn) {
        const int32_t firstRow = firstCell / perRow, lastRow = lastCell / perRow;
        boxes.push_back({g.left(firstColumn), g.top(firstRow), int64_t{g.left(lastColumn)} + g.bitSizeX(),
                         int64_t{g.top(lastRow)} + g.bitSizeY()});
    };
    if (change.empty()) return true;
    const int64_t first = change.first;
    const int64_t last = first + (int64_t{change.count} - 1) * change.stride;
    if (first >= 0 && (change.stride == 1 || change.stride == perRow)) {
        const int64_t from = first;
        const int64_t to = std::min<int64_t>(last, count - 1);
        if (from > to) return true;
        const int32_t a = static_cast<int32_t>(from), b = static_cast<int32_t>(to);
        if (change.stride == perRow) {
            cellBox(a, b, a % perRow, a % perRow);
        } else if (a / perRow == b / perRow) {
            cellBox(a, b, a % perRow, b % perRow);
        } else {
            const int32_t rowEnd = (a / perRow + 1) * perRow - 1;  // last cell of a's row
            const int32_t rowStart = (b / perRow) * perRow;        // first cell of b's row
            cellBox(a, rowEnd, a % perRow, g.lastColumn());
            if (rowEnd + 1 < rowStart) cellBox(rowEnd + 1, rowStart - 1, 0, g.lastColumn());
            cellBox(rowStart, b, 0, b % perRow);
        }
        return true;
    }
    if (change.count > kMaxRedrawRectangles) return false;
    for (int32_t k = 0; k < change.count; ++k) {
        const int32_t cell = change.cell(k);
        if (cell >= 0 && cell < count) cellBox(cell, cell, cell % perRow, cell % perRow);
    }
    return true;
}

}  // namespace

bool RenderBitmap(Document& doc, Raster& raster) {
    const BitmapPainter painter(doc);
    doc.ImageWidth = painter.pictureSize().width;
    doc.ImageHeight = painter.pictureSize().height;
    if (!raster.Allocate(doc.ImageWidth, doc.ImageHeight)) return false;
    painter.paint(WholeRegion(raster));
    return true;
}

bool DrawWholeBitmap(const Document& doc, Raster& raster) {
    const BitmapPainter painter(doc);
    if (!raster.Allocate(painter.pictureSize().width, painter.pictureSize().height)) return false;
    painter.paint(WholeRegion(raster));
    return true;
}

bool DrawBitmapRect(const Document& doc, Raster& out, int32_t x0, int32_t y0, int32_t width, int32_t height) {
    const BitmapPainter painter(doc);
    if (!out.Allocate(width, height)) return false;
    RasterRegion region = WholeRegion(out);
    region.x0 = x0;
    region.y0 = y0;
    painter.paint(region);
    return true;
}

void RedrawCells(const Document& doc, Raster& raster, const CellChangeList& changes) {
    const BitmapPainter painter(doc);
    const BitmapSize size = painter.pictureSize();
    const bool holdsPicture =
        size.empty() ? raster.empty() : raster.width() == size.width && raster.height() == size.height;
    if (!holdsPicture) {
        DrawWholeBitmap(doc, raster);
        return;
    }
    if (raster.empty()) return;

    const CellGeometry& g = painter.geometry();
    std::vector<PixelBox> boxes;
    bool coverable = g.regular() || g.cellCount() < 1;
    for (const CellChange& change : changes) {
        if (!coverable) break;
        if (g.regular()) coverable = CoveringBoxes(g, change, boxes);
    }
    if (!coverable) {
        painter.paint(WholeRegion(raster));
        return;
    }
    for (const PixelBox& box : boxes) {
        if (auto region = SubRegion(raster, box.x1, box.y1, box.x2, box.y2)) painter.paint(*region);
    }
}

}  // namespace zandrel
