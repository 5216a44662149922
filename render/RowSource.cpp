#include "render/RowSource.h"

#include <algorithm>
#include <string>

#include "core/Errors.h"

namespace zandrel {

BitmapRows::BitmapRows(const Document& doc, uint64_t stripeBytes) : painter_(doc) {
    const BitmapSize size = painter_.pictureSize();
    if (size.empty()) return;
    const uint64_t rowBytes = uint64_t{3} * static_cast<uint64_t>(size.width);
    stripeRows_ = static_cast<int32_t>(
        std::clamp<uint64_t>(stripeBytes / rowBytes, 1, static_cast<uint64_t>(size.height)));
    if (!stripe_.Allocate(size.width, stripeRows_)) {
        throw Error("The picture is too wide to be written: one row of " + std::to_string(size.width) +
                    " pixels needs more memory than is available");
    }
}

const uint8_t* BitmapRows::row(int32_t y) {
    if (stripeRows_ == 0 || y < 0 || y >= height())
        throw Error("No such row of the bit map: " + std::to_string(y));
    if (stripeTop_ < 0 || y < stripeTop_ || y >= stripeTop_ + stripeRows_) {
        stripeTop_ = y - y % stripeRows_;
        RasterRegion region{stripe_.row(0), stripe_.stride(), 0, stripeTop_, stripe_.width(), stripeRows_};
        painter_.paint(region);
    }
    return stripe_.row(y - stripeTop_);
}

}  // namespace zandrel
