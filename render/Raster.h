#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "render/Colours.h"

namespace zandrel {

/// The largest raster Allocate makes, in bytes: 512 MiB, about 179 million pixels (a picture of
/// 13,000 x 13,000). Larger pictures are drawn and saved in pieces instead.
inline constexpr uint64_t kRasterMemoryCap = uint64_t{512} << 20;

/// Fills `count` pixels from `pixels` on with one colour.
void FillPixels(uint8_t* pixels, int64_t count, Rgb colour);

/// A 24-bit RGB raster: rows top to bottom, three bytes (red, green, blue) per pixel, no padding.
class Raster {
public:
    /// Makes the raster width x height pixels; the content is then unspecified. Leaves it empty
    /// (0 x 0) and returns false, without an error, when a side is below 1, when the picture
    /// would need more than `memoryCap` bytes or when the memory cannot be had.
    bool Allocate(int32_t width, int32_t height, uint64_t memoryCap = kRasterMemoryCap);

    /// Fills the rectangle x1..x2, y1..y2, edges included, clipped to the raster. `value` is the
    /// colour number, truncated to an integer.
    void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double value);

    /// Makes the raster empty and gives its memory back.
    void Clear();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool empty() const { return width_ == 0; }
    /// Bytes from one row to the next.
    size_t stride() const { return size_t{3} * static_cast<size_t>(width_); }
    size_t byteSize() const { return stride() * static_cast<size_t>(height_); }

    uint8_t* row(int32_t y) { return data_.get() + stride() * static_cast<size_t>(y); }
    const uint8_t* row(int32_t y) const { return data_.get() + stride() * static_cast<size_t>(y); }
    Rgb pixel(int32_t x, int32_t y) const {
        const uint8_t* p = row(y) + size_t{3} * static_cast<size_t>(x);
        return {p[0], p[1], p[2]};
    }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

}  // namespace zandrel
