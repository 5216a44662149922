#pragma once

#include <cstdint>
#include <optional>

#include "core/Document.h"

namespace zandrel {

/// The five numbers the main window shows for the pointer's position.
struct PointerReadout {
    int32_t BitNumber = 0;
    int32_t Group = 0;  ///< output group, counted from 1
    int32_t Row = 0;
    int32_t FullCol = 0;  ///< column within the row
    int32_t Col = 0;      ///< column within the output group; BitsPerOutput where that is 0
    bool operator==(const PointerReadout&) const = default;
};

/// The bit map x shown at client x: (x - imageOriginX + viewX) * 100 / zoomX, truncated toward
/// zero (NaN gives 0, values beyond 32 bits the nearest 32-bit value).
int32_t XScr2Bmp(int32_t x, int32_t imageOriginX, int32_t viewX, double zoomX);
/// The same for y.
int32_t YScr2Bmp(int32_t y, int32_t imageOriginY, int32_t viewY, double zoomY);

/// The read-out for bit map position (bx, by), measured from the bit map's top-left corner
/// (margin included) and not bounded by the cells. None when BitsPerOutput, BitSizeX or BitSizeY
/// is 0. Throws DivisionByZero for a zero pitch (BitSizeX + BitGap, BitSizeY + BitGap or the
/// group pitch).
std::optional<PointerReadout> ReadOut(const Document& doc, int32_t bx, int32_t by);

}  // namespace zandrel
