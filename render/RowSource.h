#pragma once

#include <cstdint>

#include "core/Document.h"
#include "render/BitmapPainter.h"
#include "render/Raster.h"

namespace zandrel {

/// Rows of a 24-bit RGB picture for an image writer, in any order.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    /// Row y (0 <= y < height()): width() pixels, 3 bytes each. Valid until the next call.
    virtual const uint8_t* row(int32_t y) = 0;
};

/// The rows of an existing raster.
class RasterRows : public RowSource {
public:
    explicit RasterRows(const Raster& raster) : raster_(raster) {}
    int32_t width() const override { return raster_.width(); }
    int32_t height() const override { return raster_.height(); }
    const uint8_t* row(int32_t y) override { return raster_.row(y); }

private:
    const Raster& raster_;
};

/// The rows of a document's bit map, drawn on demand in horizontal stripes of about
/// `stripeBytes`, so no more than one stripe is held however large the picture is.
class BitmapRows : public RowSource {
public:
    /// Default stripe size: big enough that per-stripe work is negligible, small enough to stay cheap.
    static constexpr uint64_t kDefaultStripeBytes = uint64_t{4} << 20;

    /// Throws DivisionByZero as ImageSize does, and Error when not even one row can be held.
    explicit BitmapRows(const Document& doc, uint64_t stripeBytes = kDefaultStripeBytes);

    int32_t width() const override { return painter_.pictureSize().width; }
    int32_t height() const override { return painter_.pictureSize().height; }
    const uint8_t* row(int32_t y) override;

private:
    BitmapPainter painter_;
    Raster stripe_;
    int32_t stripeRows_ = 0;
    int32_t stripeTop_ = -1;
};

}  // namespace zandrel
