#pragma once

// Decodes a fuzz input into a document for the layout target: the six layout values as the
// edits' decimal texts, up to 4096 cells with any flags, the export options, some output bit
// order entries, and the pointer positions, zooms and rectangle that the checks use.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/CellOps.h"
#include "core/Document.h"
#include "core/Int32.h"
#include "core/LayoutTexts.h"

namespace zandrel::fuzz {

inline constexpr size_t kMaxScenarioCells = 4096;

struct PointerProbe {
    int32_t px = 0;
    int32_t py = 0;
    double zoomX = 100;
    double zoomY = 100;
    int32_t dragMode = 1;
    PointerAction action = PointerAction::SelectBit;
};

struct LayoutScenario {
    Document doc;
    LayoutTexts edits;
    std::vector<PointerProbe> probes;
    int32_t rectX0 = 0, rectY0 = 0, rectWidth = 0, rectHeight = 0;
    int32_t hitCell = 0;  // a hit cell for ApplyPointerAction, possibly outside the cells
    int32_t dragMode = 1;
    std::vector<uint8_t> patternBits;
};

namespace detail {

// A position near cell `cell` (its corners and edges are where bands meet), scaled by the zoom,
// or anywhere at all.
inline int32_t NearEdge(FuzzedDataProvider& in, int64_t edge, double zoom) {
    const double scaled = static_cast<double>(edge) * zoom / 100;
    const int32_t wiggle = in.ConsumeIntegralInRange<int32_t>(-2, 2);
    if (std::isnan(scaled)) return wiggle;
    return i32::add(static_cast<int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0)), wiggle);
}

}  // namespace detail

inline LayoutScenario DecodeLayoutScenario(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    LayoutScenario s;
    Document& doc = s.doc;

    int32_t values[6];
    for (int32_t& v : values) v = EdgyInt32(in);
    s.edits.BitSizeXEdit = std::to_string(values[0]);
    s.edits.BitSizeYEdit = std::to_string(values[1]);
    s.edits.BitGapEdit = std::to_string(values[2]);
    s.edits.ColGapEdit = std::to_string(values[3]);
    s.edits.BitsPerRowEdit = std::to_string(values[4]);
    s.edits.BitsPerOutputEdit = std::to_string(values[5]);

    doc.ReverseOutputs = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 1) : EdgyInt32(in);
    doc.ReverseWithinOutCol = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 1) : EdgyInt32(in);
    doc.EndianMode = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 1) : EdgyInt32(in);
    doc.ROMLayout = in.ConsumeIntegral<int8_t>();

    // The order: the identity, reversed over the row's outputs, and some entries set to anything.
    const int32_t outputs = values[5] == 0 ? 0 : i32::div(values[4], values[5]);
    if (in.ConsumeBool()) {
        const int32_t n = std::clamp(outputs, 0, kOutputBitOrderSize);
        std::reverse(doc.OutputBitOrder.begin(), doc.OutputBitOrder.begin() + n);
    }
    for (int entries = in.ConsumeIntegralInRange<int>(0, 4); entries > 0; --entries) {
        const size_t at = in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 15)
                                           : in.ConsumeIntegralInRange<size_t>(0, kOutputBitOrderSize - 1);
        doc.OutputBitOrder[at] = EdgyInt32(in);
    }

    const size_t shown = in.ConsumeIntegralInRange<size_t>(0, kMaxScenarioCells);
    // A loader may leave more cells than BinDataLen counts.
    const size_t held = shown + (in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 64) : 0);
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    s.dragMode = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1, 3) : EdgyInt32(in);
    s.hitCell =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-1, static_cast<int32_t>(held)) : EdgyInt32(in);

    // Pointer probes: around a cell's corners by the plain formulas, or anywhere.
    const int probes = in.ConsumeIntegralInRange<int>(1, 3);
    const int32_t pitchX = i32::add(values[0], values[2]);
    const int32_t pitchY = i32::add(values[1], values[2]);
    for (int p = 0; p < probes; ++p) {
        PointerProbe probe;
        probe.zoomX = in.ConsumeBool() ? 100 : EdgyZoom(in);
        probe.zoomY = in.ConsumeBool() ? probe.zoomX : EdgyZoom(in);
        probe.action = static_cast<PointerAction>(in.ConsumeIntegralInRange<int32_t>(-1, 3));
        probe.dragMode = in.ConsumeIntegralInRange<int32_t>(0, 3);
        if (in.ConsumeBool()) {
            const int64_t column = in.ConsumeIntegralInRange<int64_t>(-1, 70);
            const int64_t row = in.ConsumeIntegralInRange<int64_t>(-1, 70);
            const int64_t group = values[5] == 0 ? 0 : column / values[5];
            const int64_t x = group * values[3] + column * pitchX + 5 + (in.ConsumeBool() ? values[0] : 0);
            const int64_t y = row * pitchY + 5 + (in.ConsumeBool() ? values[1] : 0);
            probe.px = detail::NearEdge(in, x, probe.zoomX);
            probe.py = detail::NearEdge(in, y, probe.zoomY);
        } else {
            probe.px = EdgyInt32(in);
            probe.py = EdgyInt32(in);
        }
        s.probes.push_back(probe);
    }

    s.rectX0 = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-20, 2000) : EdgyInt32(in);
    s.rectY0 = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-20, 2000) : EdgyInt32(in);
    s.rectWidth = in.ConsumeIntegralInRange<int32_t>(-1, 200);
    s.rectHeight = in.ConsumeIntegralInRange<int32_t>(-1, 200);
    for (int bits = in.ConsumeIntegralInRange<int>(0, 12); bits > 0; --bits)
        s.patternBits.push_back(in.ConsumeBool());

    // The cells come from the front of the input: mostly the two flags, sometimes any byte.
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(held);
    bytes.resize(held, 0);
    if (kind == 0)
        for (uint8_t& b : bytes) b &= CELL_VALUE | CELL_SELECTED;
    if (kind == 1)
        for (uint8_t& b : bytes) b &= CELL_VALUE;
    doc.Cells = std::move(bytes);
    doc.BinDataLen = static_cast<int32_t>(shown);
    return s;
}

}  // namespace zandrel::fuzz
