// Any layout values, cells and export options through everything that reads the layout: the
// layout reading, the picture's size, the whole drawing, a rectangle of it, the read-out, the hit
// test of each action, each cell operation, the redrawing of changed cells and the export, whole
// and of changed cells. Each outcome must be the result the cell-by-cell rules give, or the error
// the program shows (zandrel::Error); pictures are drawn only while they stay small.

#include <cstdlib>
#include <optional>
#include <vector>

#include "ExportTestSupport.h"
#include "FuzzSupport.h"
#include "LayoutScenario.h"
#include "ReferenceBitmap.h"
#include "core/CellOps.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/Int32.h"
#include "render/BitmapDrawing.h"
#include "render/CellGeometry.h"
#include "render/HitTest.h"
#include "render/PointerReadout.h"
#include "render/Raster.h"

using namespace zandrel;
using namespace zandrel::testing;
using zandrel::fuzz::LayoutScenario;
using zandrel::fuzz::PointerProbe;

namespace {

/// Pictures up to this size are drawn whole, when drawing them fills no more pixels than that.
constexpr int64_t kWholePicturePixels = int64_t{4} << 20;
/// Pixel fills that a cell-by-cell reference drawing may take.
constexpr int64_t kReferenceBudget = int64_t{256} << 10;

bool DividesByZero(const Document& doc) { return doc.BitsPerRow == 0 || doc.BitsPerOutput == 0; }

// The pixels that drawing the part x0, y0, w x h of the picture fills cell by cell, counted up
// to a little beyond `limit`.
int64_t DrawingCost(const Document& doc, int64_t x0, int64_t y0, int64_t w, int64_t h, int64_t limit) {
    const int64_t right = std::min<int64_t>(x0 + w, ReferenceWidth(doc)) - 1;
    const int64_t bottom = std::min<int64_t>(y0 + h, ReferenceHeight(doc)) - 1;
    int64_t cost = w * h;
    for (int32_t i = 0; i < ShownCellCount(doc) && cost <= limit; ++i) {
        const RefRect r = ReferenceCellRect(doc, i);
        const int64_t across = std::min<int64_t>(r.x2, right) - std::max<int64_t>({r.x1, x0, 0}) + 1;
        const int64_t down = std::min<int64_t>(r.y2, bottom) - std::max<int64_t>({r.y1, y0, 0}) + 1;
        if (across > 0 && down > 0) cost += across * down;
    }
    return cost;
}

void CheckLayoutReading(LayoutScenario& s) {
    Document& doc = s.doc;
    try {
        doc.ReadLayoutParams(s.edits);
        FUZZ_CHECK(doc.OutputsPerRow == i32::div(doc.BitsPerRow, doc.BitsPerOutput));
        FUZZ_CHECK(doc.ShownBitCount == doc.BinDataLen);
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(doc.BitsPerOutput == 0 && doc.OutputsPerRow == 0 && doc.ShownBitCount == 0);
    }
    FUZZ_CHECK(std::to_string(doc.BitSizeX) == s.edits.BitSizeXEdit);
    FUZZ_CHECK(std::to_string(doc.BitsPerRow) == s.edits.BitsPerRowEdit);
    FUZZ_CHECK(std::to_string(doc.BitsPerOutput) == s.edits.BitsPerOutputEdit);
}

std::optional<BitmapSize> CheckImageSize(const Document& doc) {
    try {
        const BitmapSize size = ImageSize(doc);
        FUZZ_CHECK(!DividesByZero(doc));
        FUZZ_CHECK(size.width == ReferenceWidth(doc) && size.height == ReferenceHeight(doc));
        return size;
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(DividesByZero(doc));
        return std::nullopt;
    }
}

// Rasters live from one input to the next: their memory is then ready, and whatever an earlier
// picture left in them must not show through.
Raster& KeptRaster(int which) {
    static Raster rasters[3];
    return rasters[which];
}

// The whole picture when it is small enough to draw, checked against the reference.
Raster* CheckWholeDrawing(Document& doc, const std::optional<BitmapSize>& size) {
    Raster& whole = KeptRaster(0);
    if (!size) {
        try {
            DrawWholeBitmap(doc, whole);
            FUZZ_CHECK(false);
        } catch (const DivisionByZero&) {
        }
        return nullptr;
    }
    if (size->empty()) {
        FUZZ_CHECK(!DrawWholeBitmap(doc, whole) && whole.empty());
        return nullptr;
    }
    if (int64_t{size->width} * size->height > kWholePicturePixels) return nullptr;
    const int64_t cost = DrawingCost(doc, 0, 0, size->width, size->height, kWholePicturePixels);
    if (cost > kWholePicturePixels) return nullptr;
    FUZZ_CHECK(RenderBitmap(doc, whole));
    FUZZ_CHECK(doc.ImageWidth == size->width && doc.ImageHeight == size->height);
    FUZZ_CHECK(whole.width() == size->width && whole.height() == size->height);
    if (cost <= kReferenceBudget) FUZZ_CHECK(SamePixels(whole, ReferenceWhole(doc)));
    return &whole;
}

// A rectangle of the picture equals that part of the whole drawing, silver outside the picture.
void CheckRectangle(const Document& doc, const LayoutScenario& s, const std::optional<BitmapSize>& size,
                    const Raster* whole) {
    Raster& part = KeptRaster(1);
    if (!size) {
        try {
            DrawBitmapRect(doc, part, s.rectX0, s.rectY0, s.rectWidth, s.rectHeight);
            FUZZ_CHECK(false);
        } catch (const DivisionByZero&) {
        }
        return;
    }
    const bool drawn = DrawBitmapRect(doc, part, s.rectX0, s.rectY0, s.rectWidth, s.rectHeight);
    FUZZ_CHECK(drawn == (s.rectWidth >= 1 && s.rectHeight >= 1));
    if (!drawn) return;
    if (whole) {
        const Rgb silver = RgbOf(kColourSilver);
        for (int32_t y = 0; y < part.height(); ++y) {
            for (int32_t x = 0; x < part.width(); ++x) {
                const int64_t wx = int64_t{s.rectX0} + x, wy = int64_t{s.rectY0} + y;
                const bool inside = wx >= 0 && wy >= 0 && wx < whole->width() && wy < whole->height();
                const Rgb expected =
                    inside ? whole->pixel(static_cast<int32_t>(wx), static_cast<int32_t>(wy)) : silver;
                FUZZ_CHECK(part.pixel(x, y) == expected);
            }
        }
    } else if (DrawingCost(doc, s.rectX0, s.rectY0, s.rectWidth, s.rectHeight, kReferenceBudget) <=
               kReferenceBudget) {
        FUZZ_CHECK(SamePixels(part, ReferenceRect(doc, s.rectX0, s.rectY0, s.rectWidth, s.rectHeight)));
    }
}

void CheckReadOut(const Document& doc, const PointerProbe& probe) {
    FUZZ_CHECK(XScr2Bmp(probe.px, 7, -3, 100) == i32::add(i32::sub(probe.px, 7), -3));
    const int32_t bx = XScr2Bmp(probe.px, 0, 0, probe.zoomX);
    const int32_t by = YScr2Bmp(probe.py, 0, 0, probe.zoomY);
    const int32_t pitchX = i32::add(doc.BitSizeX, doc.BitGap);
    const int32_t pitchY = i32::add(doc.BitSizeY, doc.BitGap);
    const int32_t groupPitch = i32::add(i32::mul(pitchX, doc.BitsPerOutput), doc.ColGap);
    const bool skipped = doc.BitsPerOutput == 0 || doc.BitSizeX == 0 || doc.BitSizeY == 0;
    try {
        const std::optional<PointerReadout> out = ReadOut(doc, bx, by);
        FUZZ_CHECK(out.has_value() == !skipped);
        if (out)
            FUZZ_CHECK(out->Col == doc.BitsPerOutput ||
                       (out->Col != 0 && std::llabs(out->Col) < std::llabs(doc.BitsPerOutput)));
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(!skipped && (pitchX == 0 || pitchY == 0 || groupPitch == 0));
    }
}

constexpr PointerAction kActions[] = {PointerAction::None, PointerAction::SelectBit, PointerAction::SelectRow,
                                      PointerAction::SelectColumn, PointerAction::SetBit};

void CheckHitTests(const Document& doc, const PointerProbe& probe) {
    for (PointerAction action : kActions) {
        std::optional<int32_t> got, want;
        bool threw = false, referenceThrew = false;
        try {
            got = HitTest(doc, action, probe.px, probe.py, probe.zoomX, probe.zoomY);
        } catch (const DivisionByZero&) {
            threw = true;
        }
        try {
            want = ReferenceHit(doc, action, probe.px, probe.py, probe.zoomX, probe.zoomY);
        } catch (const DivisionByZero&) {
            referenceThrew = true;
        }
        FUZZ_CHECK(threw == referenceThrew);
        FUZZ_CHECK(got == want);
    }
}

// ----- cell operations, each against its rule applied to a copy of the cells -----

using Cells = std::vector<uint8_t>;

void SetFlag(Cells& cells, int64_t i, uint8_t flag, bool on) {
    uint8_t& cell = cells[static_cast<size_t>(i)];
    cell = static_cast<uint8_t>(on ? cell | flag : cell & ~flag);
}

// ApplyPointerAction's rule: nothing for no action, a cell outside the shown ones or a button
// other than left and right; a row up to the shown count; a column down through the rows (only
// the cell itself when BitsPerRow is below 1, since the rows then step away from the cells).
Cells ReferenceAction(Cells cells, int32_t shown, int32_t perRow, PointerAction action, int32_t hit,
                      int32_t dragMode) {
    if (action == PointerAction::None || hit < 0 || hit >= shown) return cells;
    if (dragMode != 1 && dragMode != 2) return cells;
    const bool on = dragMode == 1;
    switch (action) {
        case PointerAction::SelectBit:
            SetFlag(cells, hit, CELL_SELECTED, on);
            break;
        case PointerAction::SetBit:
            SetFlag(cells, hit, CELL_VALUE, on);
            break;
        case PointerAction::SelectRow: {
            const int64_t row = i32::div(hit, perRow);
            const int64_t end = std::min<int64_t>((row + 1) * perRow, shown);
            for (int64_t i = std::max<int64_t>(row * perRow, 0); i < end; ++i)
                SetFlag(cells, i, CELL_SELECTED, on);
            break;
        }
        case PointerAction::SelectColumn: {
            const int32_t column = i32::mod(hit, perRow);
            if (perRow < 1) {
                SetFlag(cells, column, CELL_SELECTED, on);
                break;
            }
            for (int64_t i = column; i < shown; i += perRow) SetFlag(cells, i, CELL_SELECTED, on);
            break;
        }
        case PointerAction::None:
            break;
    }
    return cells;
}

// Every cell that changed is one the change names, and the change names only shown cells.
void CheckChangeCovers(const Cells& before, const Cells& after, const CellChange& change, int32_t shown) {
    if (!change.empty()) {
        FUZZ_CHECK(change.first >= 0 && change.first < shown && change.stride >= 1);
        FUZZ_CHECK(change.cell(change.count - 1) < shown);
    }
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        const int64_t offset = static_cast<int64_t>(i) - change.first;
        FUZZ_CHECK(!change.empty() && offset >= 0 && offset % change.stride == 0 &&
                   offset / change.stride < change.count);
    }
}

/// Runs `op` on the document's cells and checks them against `expected`, or, when the rule
/// divides by zero, that `op` raised the error and changed nothing.
template <class Op>
void CheckOperation(Document& doc, const std::optional<Cells>& expected, Op op, CellChangeList& changes) {
    const Cells before = doc.Cells;
    const int32_t shown = ShownCellCount(doc);
    try {
        const std::optional<CellChange> change = op();
        FUZZ_CHECK(expected.has_value());
        FUZZ_CHECK(doc.Cells == *expected);
        if (change) {
            CheckChangeCovers(before, doc.Cells, *change, shown);
            changes.push_back(*change);
        } else {
            FUZZ_CHECK(doc.Cells == before);
        }
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(!expected.has_value());
        FUZZ_CHECK(doc.Cells == before);
    }
}

template <class Rule>
std::optional<Cells> ExpectedCells(const Document& doc, Rule rule) {
    try {
        return rule(doc.Cells);
    } catch (const DivisionByZero&) {
        return std::nullopt;
    }
}

CellChangeList CheckCellOperations(Document& doc, const LayoutScenario& s) {
    CellChangeList changes;
    const int32_t shown = ShownCellCount(doc);
    const int32_t perRow = doc.BitsPerRow;

    for (const PointerProbe& p : s.probes) {
        const auto expected = ExpectedCells(doc, [&](const Cells& cells) {
            const std::optional<int32_t> hit = ReferenceHit(doc, p.action, p.px, p.py, p.zoomX, p.zoomY);
            return hit ? ReferenceAction(cells, shown, perRow, p.action, *hit, p.dragMode) : cells;
        });
        CheckOperation(
            doc, expected,
            [&] { return PointerEdit(doc, p.action, p.dragMode, p.px, p.py, p.zoomX, p.zoomY); }, changes);
    }

    const PointerAction action = s.probes.front().action;
    CheckOperation(
        doc,
        ExpectedCells(doc,
                      [&](const Cells& cells) {
                          return ReferenceAction(cells, shown, perRow, action, s.hitCell, s.dragMode);
                      }),
        [&] { return std::optional(ApplyPointerAction(doc, action, s.hitCell, s.dragMode)); }, changes);

    CheckOperation(
        doc,
        ExpectedCells(doc,
                      [&](Cells cells) -> Cells {
                          if (perRow < 1) return cells;
                          if (s.patternBits.empty()) throw DivisionByZero();
                          for (int64_t row = 0; row < shown / perRow; ++row)
                              for (int64_t j = 0; j < perRow; ++j)
                                  if (s.patternBits[static_cast<size_t>(j) % s.patternBits.size()])
                                      SetFlag(cells, row * perRow + j, CELL_SELECTED, true);
                          return cells;
                      }),
        [&] { return std::optional(SelectPatternColumns(doc, s.patternBits)); }, changes);

    CheckOperation(
        doc,
        ExpectedCells(doc,
                      [&](Cells cells) {
                          for (int32_t i = 0; i < shown; ++i)
                              if (cells[static_cast<size_t>(i)] & CELL_SELECTED)
                                  cells[static_cast<size_t>(i)] ^= CELL_VALUE;
                          return cells;
                      }),
        [&] { return std::optional(InvertSelectedCells(doc)); }, changes);

    const bool selectAll = s.dragMode % 2 == 0;
    CheckOperation(
        doc,
        ExpectedCells(doc,
                      [&](Cells cells) {
                          for (int32_t i = 0; i < shown; ++i) SetFlag(cells, i, CELL_SELECTED, selectAll);
                          return cells;
                      }),
        [&] { return std::optional(selectAll ? SelectAllCells(doc) : UnselectAllCells(doc)); }, changes);
    return changes;
}

// ----- export -----

bool InExportDomain(const Document& doc) {
    return doc.BitsPerRow >= 1 && doc.BitsPerOutput >= 1 && doc.OutputsPerRow >= 1 &&
           doc.OutputsPerRow <= kOutputBitOrderSize;
}

/// The export, whole or of the changed cells: the reference bytes, or the shown error with the
/// cache as it was.
template <class Export>
void CheckExport(Document& doc, Export exportNow) {
    const std::vector<uint8_t> cacheBefore = doc.ExportData;
    try {
        const int32_t bytes = exportNow();
        FUZZ_CHECK(doc.ExportData.size() == static_cast<size_t>(doc.ExportLen));
        if (doc.BinDataLen < 8) {
            FUZZ_CHECK(bytes == 0 && doc.ExportData == cacheBefore);
            return;
        }
        FUZZ_CHECK(InExportDomain(doc));
        FUZZ_CHECK(doc.ExportLen == doc.BinDataLen / 8);
        FUZZ_CHECK(doc.ExportData == ReferenceExport(doc));
        FUZZ_CHECK(bytes == (doc.ExportData != cacheBefore ? doc.ExportLen : 0));
    } catch (const DivisionByZero&) {
        FUZZ_CHECK(doc.BinDataLen >= 8 && (DividesByZero(doc) || doc.OutputsPerRow == 0));
        FUZZ_CHECK(doc.ExportData == cacheBefore);
    } catch (const Error&) {
        FUZZ_CHECK(doc.BinDataLen >= 8 && !InExportDomain(doc));
        FUZZ_CHECK(doc.ExportData == cacheBefore);
    }
}

std::vector<int32_t> ChangedCells(const CellChangeList& changes) {
    std::vector<int32_t> cells;
    for (const CellChange& change : changes)
        for (int32_t k = 0; k < change.count; ++k) cells.push_back(change.cell(k));
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LayoutScenario s = fuzz::DecodeLayoutScenario(data, size);
    Document& doc = s.doc;

    CheckLayoutReading(s);
    const std::optional<BitmapSize> picture = CheckImageSize(doc);
    Raster* whole = CheckWholeDrawing(doc, picture);
    CheckRectangle(doc, s, picture, whole);
    for (const PointerProbe& probe : s.probes) {
        CheckReadOut(doc, probe);
        CheckHitTests(doc, probe);
        // The same place at the usual zooms too.
        for (const double zoom : {100.0, 200.0, 50.0}) {
            PointerProbe zoomed = probe;
            zoomed.zoomX = zoomed.zoomY = zoom;
            CheckHitTests(doc, zoomed);
        }
    }

    // The export before the edits fills the cache; a second one finds nothing new.
    CheckExport(doc, [&] { return doc.ExportBin(s.edits); });
    CheckExport(doc, [&] { return doc.ExportBin(s.edits); });

    const CellChangeList changes = CheckCellOperations(doc, s);

    if (whole) {
        RedrawCells(doc, *whole, changes);
        Raster& fresh = KeptRaster(2);
        FUZZ_CHECK(DrawWholeBitmap(doc, fresh) && SamePixels(*whole, fresh));
    }
    const std::vector<int32_t> changed = ChangedCells(changes);
    CheckExport(doc, [&] {
        ExportChange change;
        const std::vector<uint8_t> before = doc.ExportData;
        const int32_t bytes = doc.ExportBinChanged(s.edits, changed, change);
        if (!change.whole && bytes >= 0 && doc.ExportData.size() == before.size()) {
            std::vector<int32_t> differing;
            for (size_t i = 0; i < before.size(); ++i)
                if (before[i] != doc.ExportData[i]) differing.push_back(static_cast<int32_t>(i));
            FUZZ_CHECK(change.bytes == differing);
        }
        return bytes;
    });
    return 0;
}
