#include "render/CellGeometry.h"

#include <algorithm>
#include <limits>

#include "core/CellOps.h"
#include "core/Int32.h"

namespace zandrel {

BitmapSize ImageSize(const Document& doc) {
    using namespace i32;
    const int32_t lastGroup = div(sub(doc.BitsPerRow, 1), doc.BitsPerOutput);
    const int32_t rowCount = div(sub(add(doc.ShownBitCount, doc.BitsPerRow), 1), doc.BitsPerRow);
    const int32_t pitchX = add(doc.BitSizeX, doc.BitGap);
    const int32_t pitchY = add(doc.BitSizeY, doc.BitGap);
    BitmapSize size;
    size.width = add(sub(add(mul(lastGroup, doc.ColGap), mul(pitchX, doc.BitsPerRow)), doc.BitGap), 11);
    size.height = add(sub(mul(rowCount, pitchY), doc.BitGap), 11);
    return size;
}

CellGeometry::CellGeometry(const Document& doc)
    : count_(ShownCellCount(doc)),
      sizeX_(doc.BitSizeX),
      sizeY_(doc.BitSizeY),
      colGap_(doc.ColGap),
      perRow_(doc.BitsPerRow),
      perOutput_(doc.BitsPerOutput),
      pitchX_(i32::add(doc.BitSizeX, doc.BitGap)),
      pitchY_(i32::add(doc.BitSizeY, doc.BitGap)) {
    classify();
}

void CellGeometry::classify() {
    regular_ = false;
    if (count_ < 1 || perRow_ < 1 || perOutput_ < 1) return;
    if (pitchX_ < 1 || pitchY_ < 1 || int64_t{pitchX_} + colGap_ < 1) return;
    const int32_t lastColumn = std::min(perRow_, count_) - 1;
    const int32_t lastRow = (count_ - 1) / perRow_;
    // Edges grow with the column and the row, so the last ones are the largest. Each product
    // stays below 2^62, so these sums cannot overflow 64 bits.
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const int64_t lastLeft = leftExact(lastColumn);
    const int64_t lastTop = topExact(lastRow);
    if (lastLeft > kMax || lastLeft + std::max(sizeX_, 0) > kMax) return;
    if (lastTop > kMax || lastTop + std::max(sizeY_, 0) > kMax) return;
    lastColumn_ = lastColumn;
    lastRow_ = lastRow;
    groupPitch_ = int64_t{perOutput_} * pitchX_ + colGap_;
    regular_ = true;
}

CellRect CellGeometry::rect(int32_t i) const {
    using namespace i32;
    const int32_t row = div(i, perRow_);
    const int32_t column = mod(i, perRow_);
    const int32_t group = div(column, perOutput_);
    CellRect r;
    r.x1 = add(add(mul(group, colGap_), mul(column, pitchX_)), 5);
    r.y1 = add(mul(row, pitchY_), 5);
    r.x2 = add(r.x1, sizeX_);
    r.y2 = add(r.y1, sizeY_);
    return r;
}

int32_t CellGeometry::rowLength(int32_t r) const {
    return static_cast<int32_t>(std::min<int64_t>(perRow_, count_ - int64_t{r} * perRow_));
}

int32_t CellGeometry::lastColumnStartingBy(int64_t x) const {
    // Every edge lies in 32 bits, so clamping x this far changes no answer and keeps the
    // arithmetic small. A group spans groupPitch_ >= BitsPerOutput pixels, so g * BitsPerOutput
    // stays below x.
    const int64_t offset = std::clamp<int64_t>(x, -(int64_t{1} << 33), int64_t{1} << 33) - 5;
    if (offset < 0) return -1;
    const int64_t group = offset / groupPitch_;
    const int64_t within = offset - group * groupPitch_;
    const int64_t position = std::min<int64_t>(within / pitchX_, perOutput_ - 1);
    return static_cast<int32_t>(std::min<int64_t>(group * perOutput_ + position, lastColumn_));
}

int32_t CellGeometry::lastRowStartingBy(int64_t y) const {
    const int64_t offset = std::clamp<int64_t>(y, -(int64_t{1} << 33), int64_t{1} << 33) - 5;
    if (offset < 0) return -1;
    return static_cast<int32_t>(std::min<int64_t>(offset / pitchY_, lastRow_));
}

}  // namespace zandrel
