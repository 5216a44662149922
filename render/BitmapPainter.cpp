#include "render/BitmapPainter.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/Errors.h"
#include "render/Colours.h"
#include "render/Raster.h"

namespace zandrel {

namespace {

constexpr Rgb kSilver = RgbOf(kColourSilver);

// The pixel of each combination of CELL_VALUE (bit 0 of the index) and CELL_SELECTED (bit 1).
constexpr std::array<Rgb, 4> kCellPixels = {RgbOf(CellColour(0)), RgbOf(CellColour(CELL_VALUE)),
                                            RgbOf(CellColour(CELL_SELECTED)),
                                            RgbOf(CellColour(CELL_SELECTED | CELL_VALUE))};

int CellKind(uint8_t cell) { return (cell & CELL_VALUE) | ((cell & CELL_SELECTED) >> 1); }

Rgb CellPixel(uint8_t cell) { return kCellPixels[CellKind(cell)]; }

uint8_t* LineOf(const RasterRegion& target, int64_t y) {
    return target.pixels + static_cast<size_t>(y - target.y0) * target.stride;
}

uint8_t* PixelOf(const RasterRegion& target, int64_t x, int64_t y) {
    return LineOf(target, y) + static_cast<size_t>(x - target.x0) * 3;
}

void FillLines(const RasterRegion& target, int64_t firstY, int64_t lastY) {
    for (int64_t y = firstY; y <= lastY; ++y) FillPixels(LineOf(target, y), target.width, kSilver);
}

}  // namespace

BitmapPainter::BitmapPainter(const Document& doc) : doc_(doc), picture_(ImageSize(doc)), geometry_(doc) {
    // A block may overwrite the pixels right of its cell with silver only when no cell of the same
    // row reaches there (BitGap of 1 or more) and the cell fits in the block.
    const int32_t sizeX = geometry_.bitSizeX();
    blocksUsable_ =
        geometry_.regular() && sizeX >= 0 && sizeX < kBlockBytes / 3 && geometry_.pitchX() > sizeX;
    for (int kind = 0; kind < 4; ++kind) {
        cellBlocks_[kind].fill(kSilver.r);  // silver is grey: every byte alike
        if (blocksUsable_) FillPixels(cellBlocks_[kind].data(), sizeX + 1, kCellPixels[kind]);
    }
}

void BitmapPainter::paint(const RasterRegion& target) const {
    if (target.width < 1 || target.height < 1) return;
    if (geometry_.dividesByZero()) throw DivisionByZero();

    const Clip clip{std::max<int64_t>(target.x0, 0), std::max<int64_t>(target.y0, 0),
                    std::min<int64_t>(int64_t{target.x0} + target.width, picture_.width) - 1,
                    std::min<int64_t>(int64_t{target.y0} + target.height, picture_.height) - 1};
    const bool clipEmpty = clip.x1 < clip.x0 || clip.y1 < clip.y0;
    if (clipEmpty || geometry_.cellCount() < 1) {
        FillLines(target, target.y0, int64_t{target.y0} + target.height - 1);
    } else if (geometry_.regular()) {
        paintRegular(target, clip);
    } else {
        paintByScan(target, clip);
    }
}

void BitmapPainter::paintRegular(const RasterRegion& target, const Clip& clip) const {
    const CellGeometry& g = geometry_;
    const int64_t lastY = int64_t{target.y0} + target.height - 1;
    // Rows and columns whose cells reach into the clip; a negative size draws no cell at all.
    const int32_t firstRow = g.lastRowStartingBy(clip.y0 - g.bitSizeY() - 1) + 1;
    const int32_t lastRow = g.lastRowStartingBy(clip.y1);
    const int32_t firstColumn = g.lastColumnStartingBy(clip.x0 - g.bitSizeX() - 1) + 1;
    const int32_t lastColumn = g.lastColumnStartingBy(clip.x1);
    if (g.bitSizeX() < 0 || g.bitSizeY() < 0 || firstRow > lastRow || firstColumn > lastColumn) {
        FillLines(target, target.y0, lastY);
        return;
    }

    if (g.pitchY() <= g.bitSizeY()) {
        // Rows overlap: draw every line of every row, later rows over earlier ones.
        FillLines(target, target.y0, lastY);
        for (int32_t row = firstRow; row <= lastRow; ++row) {
            const int64_t top = std::max<int64_t>(g.top(row), clip.y0);
            const int64_t bottom = std::min<int64_t>(int64_t{g.top(row)} + g.bitSizeY(), clip.y1);
            for (int64_t y = top; y <= bottom; ++y) {
                paintRowLine(row, firstColumn, lastColumn, LineOf(target, y), target, clip, false);
            }
        }
        return;
    }

    // Rows apart: all lines of a row's band are alike, so draw its first line and copy it down.
    const size_t lineBytes = static_cast<size_t>(target.width) * 3;
    int64_t nextY = target.y0;
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        const int64_t top = std::max<int64_t>(g.top(row), clip.y0);
        const int64_t bottom = std::min<int64_t>(int64_t{g.top(row)} + g.bitSizeY(), clip.y1);
        FillLines(target, nextY, top - 1);
        uint8_t* first = LineOf(target, top);
        FillPixels(first, target.width, kSilver);
        paintRowLine(row, firstColumn, lastColumn, first, target, clip, true);
        for (int64_t y = top + 1; y <= bottom; ++y) std::memcpy(LineOf(target, y), first, lineBytes);
        nextY = bottom + 1;
    }
    FillLines(target, nextY, lastY);
}

void BitmapPainter::paintRowLine(int32_t row, int32_t firstColumn, int32_t lastColumn, uint8_t* line,
                                 const RasterRegion& target, const Clip& clip, bool silverLine) const {
    const CellGeometry& g = geometry_;
    lastColumn = std::min(lastColumn, g.rowLength(row) - 1);
    if (firstColumn > lastColumn) return;
    const uint8_t* cells = doc_.Cells.data() + g.index(row, 0);
    const int32_t perOutput = g.bitsPerOutput();
    const int32_t sizeX = g.bitSizeX();
    const int32_t pitchX = g.pitchX();

    // Cells that start at or after blockFrom and no later than blockTo lie wholly inside the clip,
    // and their block stays inside the target's line (whose neighbours may be other pixels).
    const int64_t lineBytes = int64_t{target.width} * 3;
    const bool blocks = silverLine && blocksUsable_ && lineBytes >= kBlockBytes;
    const int64_t blockFrom = clip.x0;
    const int64_t blockTo =
        blocks ? std::min(clip.x1 - sizeX, target.x0 + (lineBytes - kBlockBytes) / 3) : -1;

    int64_t x = g.left(firstColumn);
    int64_t column = firstColumn;
    int64_t position = firstColumn % perOutput;
    // One output group at a time, so the column gap is added between groups only.
    while (column <= lastColumn) {
        const int64_t groupEnd = std::min<int64_t>(lastColumn, column + (perOutput - position) - 1);
        for (; column <= groupEnd; ++column, x += pitchX) {
            if (x >= blockFrom && x <= blockTo) {
                std::memcpy(line + (x - target.x0) * 3, cellBlocks_[CellKind(cells[column])].data(),
                            kBlockBytes);
                continue;
            }
            const int64_t from = std::max(x, clip.x0);
            const int64_t to = std::min(x + sizeX, clip.x1);
            if (from <= to)
                FillPixels(line + (from - target.x0) * 3, to - from + 1, CellPixel(cells[column]));
        }
        x += g.colGap();
        position = 0;
    }
}

void BitmapPainter::paintByScan(const RasterRegion& target, const Clip& clip) const {
    FillLines(target, target.y0, int64_t{target.y0} + target.height - 1);
    const int32_t count = geometry_.cellCount();
    const uint8_t* cells = doc_.Cells.data();
    for (int32_t i = 0; i < count; ++i) {
        const CellRect r = geometry_.rect(i);
        const int64_t x1 = std::max<int64_t>(r.x1, clip.x0), x2 = std::min<int64_t>(r.x2, clip.x1);
        const int64_t y1 = std::max<int64_t>(r.y1, clip.y0), y2 = std::min<int64_t>(r.y2, clip.y1);
        if (x1 > x2 || y1 > y2) continue;
        const Rgb colour = CellPixel(cells[i]);
        for (int64_t y = y1; y <= y2; ++y) FillPixels(PixelOf(target, x1, y), x2 - x1 + 1, colour);
    }
}

}  // namespace zandrel
