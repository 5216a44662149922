#pragma once

// Where the cells lie in the bit map. All layout arithmetic wraps as signed 32-bit, as the layout
// fields do; integer divisions check their divisor.

#include <cstdint>

#include "core/Document.h"

namespace zandrel {

/// The size of the bit map in pixels. Either side may come out below 1: then there is no picture.
struct BitmapSize {
    int32_t width = 0;
    int32_t height = 0;
    bool empty() const { return width < 1 || height < 1; }
    bool operator==(const BitmapSize&) const = default;
};

/// ImageWidth and ImageHeight for the layout fields and ShownBitCount. Throws DivisionByZero for
/// a BitsPerOutput of 0 (at the last group) and a BitsPerRow of 0 (at the row count).
BitmapSize ImageSize(const Document& doc);

/// A cell's rectangle, edges included: it covers x1..x2 and y1..y2.
struct CellRect {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    bool operator==(const CellRect&) const = default;
};

/// The cell geometry of a document's layout: the rectangle of any cell, and for the usual
/// layouts direct answers to "which rows and columns lie where".
///
/// A layout is regular when rows and columns advance by positive steps (BitsPerRow and
/// BitsPerOutput at least 1, BitSizeX + BitGap, BitSizeY + BitGap and the step across a group
/// boundary at least 1) and no shown cell's edge needs more than 32 bits. Then the cell at row r,
/// column c has the edges left(c), left(c) + BitSizeX, top(r), top(r) + BitSizeY, both strictly
/// increasing, and rows and columns can be found without trying every cell.
class CellGeometry {
public:
    explicit CellGeometry(const Document& doc);

    /// Cells drawn and hit: ShownBitCount, bounded by 0 and the cells held.
    int32_t cellCount() const { return count_; }

    /// Rectangle of cell i, by the layout's formulas. Throws DivisionByZero for a BitsPerRow or
    /// BitsPerOutput of 0.
    CellRect rect(int32_t i) const;

    /// Whether there are cells and BitsPerRow or BitsPerOutput is 0, so that every cell's
    /// rectangle divides by zero.
    bool dividesByZero() const { return count_ > 0 && (perRow_ == 0 || perOutput_ == 0); }

    bool regular() const { return regular_; }

    // The rest holds for regular layouts only.
    int32_t lastRow() const { return lastRow_; }
    int32_t lastColumn() const { return lastColumn_; }
    /// Cells held by row r, 0 <= r <= lastRow().
    int32_t rowLength(int32_t r) const;
    int32_t index(int32_t row, int32_t column) const { return row * perRow_ + column; }
    int32_t bitSizeX() const { return sizeX_; }
    int32_t bitSizeY() const { return sizeY_; }
    int32_t pitchX() const { return pitchX_; }
    int32_t pitchY() const { return pitchY_; }
    int32_t bitsPerRow() const { return perRow_; }
    int32_t bitsPerOutput() const { return perOutput_; }
    int32_t colGap() const { return colGap_; }
    /// Left edge of column c and top edge of row r, 0 <= c <= lastColumn(), 0 <= r <= lastRow().
    int32_t left(int32_t c) const { return static_cast<int32_t>(leftExact(c)); }
    int32_t top(int32_t r) const { return static_cast<int32_t>(topExact(r)); }
    /// The last column whose left edge is at or before x, within -1 .. lastColumn().
    int32_t lastColumnStartingBy(int64_t x) const;
    /// The last row whose top edge is at or before y, within -1 .. lastRow().
    int32_t lastRowStartingBy(int64_t y) const;

private:
    int64_t leftExact(int64_t c) const { return (c / perOutput_) * colGap_ + c * pitchX_ + 5; }
    int64_t topExact(int64_t r) const { return r * pitchY_ + 5; }
    void classify();

    int32_t count_ = 0;
    int32_t sizeX_ = 0;
    int32_t sizeY_ = 0;
    int32_t colGap_ = 0;
    int32_t perRow_ = 0;
    int32_t perOutput_ = 0;
    int32_t pitchX_ = 0;
    int32_t pitchY_ = 0;
    int64_t groupPitch_ = 0;
    int32_t lastRow_ = -1;
    int32_t lastColumn_ = -1;
    bool regular_ = false;
};

}  // namespace zandrel
