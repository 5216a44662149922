#pragma once

// Drawing the bit map of a document into rasters: the whole picture, any rectangle of it, and
// the cells a command changed. The layout fields are taken as the last ReadLayoutParams left them.

#include <cstdint>

#include "core/CellOps.h"
#include "core/Document.h"
#include "render/BitmapPainter.h"
#include "render/CellGeometry.h"
#include "render/Raster.h"

namespace zandrel {

/// The refresh's drawing: computes the picture's size (throwing DivisionByZero before anything
/// changes), stores it in ImageWidth and ImageHeight, makes `raster` that size and draws the whole
/// bit map into it. When a side is below 1 or the memory cannot be had (see kRasterMemoryCap) the
/// raster is left empty. Returns whether a picture was drawn.
bool RenderBitmap(Document& doc, Raster& raster);

/// Makes `raster` the size of the whole bit map and draws it; as RenderBitmap, but leaves the
/// document alone.
bool DrawWholeBitmap(const Document& doc, Raster& raster);

/// Makes `out` width x height pixels and draws the rectangle of the bit map whose top-left pixel
/// is (x0, y0) into it: the pixels the whole drawing has there, silver outside the picture.
/// Returns false, with `out` empty, when the rectangle has no pixels or cannot be allocated.
bool DrawBitmapRect(const Document& doc, Raster& out, int32_t x0, int32_t y0, int32_t width, int32_t height);

/// Redraws the cells of `changes` into `raster`, which holds the whole bit map drawn before the
/// cells changed (the layout unchanged), so that it equals a full redraw. A raster of another
/// size than the picture is drawn anew whole.
void RedrawCells(const Document& doc, Raster& raster, const CellChangeList& changes);

}  // namespace zandrel
