#include "render/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace zandrel {

namespace {

// The colour number of a floating-point value: truncated toward zero; values no integer can hold
// (NaN, infinities, beyond 2^62) give 0.
int64_t TruncatedColour(double value) {
    if (!(std::fabs(value) < 4.6e18)) return 0;
    return static_cast<int64_t>(value);
}

}  // namespace

void FillPixels(uint8_t* pixels, int64_t count, Rgb colour) {
    if (count <= 0) return;
    if (colour.r == colour.g && colour.g == colour.b) {
        std::memset(pixels, colour.r, static_cast<size_t>(count) * 3);
        return;
    }
    for (int64_t i = 0; i < count; ++i, pixels += 3) {
        pixels[0] = colour.r;
        pixels[1] = colour.g;
        pixels[2] = colour.b;
    }
}

bool Raster::Allocate(int32_t width, int32_t height, uint64_t memoryCap) {
    if (width < 1 || height < 1) {
        Clear();
        return false;
    }
    const uint64_t bytes = uint64_t{3} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (bytes > memoryCap || bytes > SIZE_MAX) {
        Clear();
        return false;
    }
    // Keep the buffer when it is big enough and not wastefully big: refreshes mostly keep the size.
    if (bytes > capacity_ || bytes < capacity_ / 4) {
        Clear();
        try {
            data_.reset(new uint8_t[static_cast<size_t>(bytes)]);
        } catch (const std::bad_alloc&) {
            return false;
        }
        capacity_ = static_cast<size_t>(bytes);
    }
    width_ = width;
    height_ = height;
    return true;
}

void Raster::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double value) {
    const Rgb colour = RgbOf(TruncatedColour(value));
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x2 < x1 || y2 < y1) return;
    for (int32_t y = y1; y <= y2; ++y)
        FillPixels(row(y) + size_t{3} * static_cast<size_t>(x1), x2 - x1 + 1, colour);
}

void Raster::Clear() {
    data_.reset();
    capacity_ = 0;
    width_ = 0;
    height_ = 0;
}

}  // namespace zandrel
