#pragma once

// The colours of the bit map, as colour numbers with red in bits 0-7, green in 8-15, blue in 16-23.

#include <cstdint>

#include "core/Document.h"

namespace zandrel {

inline constexpr int32_t kColourBlue = 16711680;
inline constexpr int32_t kColourYellow = 65535;
inline constexpr int32_t kColourSilver = 12632256;
inline constexpr int32_t kColourWhite = 16777215;
inline constexpr int32_t kColourBlack = 0;

/// One pixel of a 24-bit RGB raster.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

/// The pixel of a colour number (only its low 24 bits count).
constexpr Rgb RgbOf(int64_t colour) {
    return {static_cast<uint8_t>(colour & 0xFF), static_cast<uint8_t>((colour >> 8) & 0xFF),
            static_cast<uint8_t>((colour >> 16) & 0xFF)};
}

/// The colour number of a cell: selected and 1 blue, selected yellow, 1 black, else white.
constexpr int32_t CellColour(uint8_t cell) {
    const bool selected = (cell & CELL_SELECTED) != 0;
    const bool value = (cell & CELL_VALUE) != 0;
    if (selected) return value ? kColourBlue : kColourYellow;
    return value ? kColourBlack : kColourWhite;
}

}  // namespace zandrel
