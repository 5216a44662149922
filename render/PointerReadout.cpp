#include "render/PointerReadout.h"

#include <cmath>
#include <limits>

#include "core/Int32.h"

namespace zandrel {

namespace {

int32_t ScreenToBitmap(int32_t client, int32_t imageOrigin, int32_t view, double zoom) {
    const double value = std::trunc(double(i32::add(i32::sub(client, imageOrigin), view)) * 100 / zoom);
    if (std::isnan(value)) return 0;
    if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t XScr2Bmp(int32_t x, int32_t imageOriginX, int32_t viewX, double zoomX) {
    return ScreenToBitmap(x, imageOriginX, viewX, zoomX);
}

int32_t YScr2Bmp(int32_t y, int32_t imageOriginY, int32_t viewY, double zoomY) {
    return ScreenToBitmap(y, imageOriginY, viewY, zoomY);
}

std::optional<PointerReadout> ReadOut(const Document& doc, int32_t bx, int32_t by) {
    using namespace i32;
    if (doc.BitsPerOutput == 0 || doc.BitSizeX == 0 || doc.BitSizeY == 0) return std::nullopt;
    const int32_t pitchX = add(doc.BitSizeX, doc.BitGap);
    const int32_t groupPitch = add(mul(pitchX, doc.BitsPerOutput), doc.ColGap);
    bx = sub(bx, mul(div(bx, groupPitch), doc.ColGap));
    const int32_t column = div(bx, pitchX);
    const int32_t row = div(by, add(doc.BitSizeY, doc.BitGap));

    PointerReadout out;
    out.BitNumber = add(mul(row, doc.BitsPerRow), column);
    out.Row = row;
    out.Group = add(div(column, doc.BitsPerOutput), 1);
    const int32_t position = mod(column, doc.BitsPerOutput);
    out.Col = position == 0 ? doc.BitsPerOutput : position;
    out.FullCol = column;
    return out;
}

}  // namespace zandrel
