#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/Document.h"
#include "render/CellGeometry.h"

namespace zandrel {

/// Pixels to draw into: `width` x `height` 24-bit RGB pixels, rows `stride` bytes apart, whose
/// top-left pixel shows pixel (x0, y0) of the whole bit map.
struct RasterRegion {
    uint8_t* pixels = nullptr;
    size_t stride = 0;
    int32_t x0 = 0;
    int32_t y0 = 0;
    int32_t width = 0;
    int32_t height = 0;
};

/// Draws any part of a document's bit map. Each part comes out exactly as the whole drawing has
/// it (silver background, then every cell's rectangle in index order, clipped to the picture);
/// pixels of the region outside the picture are silver. For regular layouts a part costs its
/// own area plus the cells that reach into it, whatever the size of the ROM.
/// The document must outlive the painter and keep its cells and layout while it paints.
class BitmapPainter {
public:
    /// Throws DivisionByZero as ImageSize does.
    explicit BitmapPainter(const Document& doc);

    BitmapSize pictureSize() const { return picture_; }
    const CellGeometry& geometry() const { return geometry_; }

    void paint(const RasterRegion& target) const;

private:
    struct Clip {
        int64_t x0, y0, x1, y1;  // inclusive, in bit map coordinates
    };

    void paintRegular(const RasterRegion& target, const Clip& clip) const;
    void paintByScan(const RasterRegion& target, const Clip& clip) const;
    /// Draws the cells of one row that lie in firstColumn..lastColumn on one line of the target.
    /// `silverLine`: the line is all silver, so cells may be drawn with their gaps as one block.
    void paintRowLine(int32_t row, int32_t firstColumn, int32_t lastColumn, uint8_t* line,
                      const RasterRegion& target, const Clip& clip, bool silverLine) const;

    // A cell's pixels followed by silver, one block per colour, for drawing narrow cells with one
    // fixed-size copy each.
    static constexpr int kBlockBytes = 32;
    using CellBlock = std::array<uint8_t, kBlockBytes>;

    const Document& doc_;
    BitmapSize picture_;
    CellGeometry geometry_;
    std::array<CellBlock, 4> cellBlocks_{};
    bool blocksUsable_ = false;
};

}  // namespace zandrel
