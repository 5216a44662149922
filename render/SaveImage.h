#pragma once

#include <string>

#include "core/Document.h"
#include "render/RowSource.h"

namespace zandrel {

/// Writes the picture of `rows` to `path` in the format its extension selects (see
/// ImageFormatOf). Nothing is created when the format is unknown or cannot hold the picture.
/// The file is written under a temporary name beside the target and takes the target's place
/// only when complete, so a failure leaves any earlier file as it was. Throws Error with the
/// reason: "Cannot create file "<full path>". <system reason>" when the file cannot be created.
void SaveImage(const std::string& path, RowSource& rows);

/// "Save image": writes the whole bit map of `doc` (layout fields as last read, ImageWidth x
/// ImageHeight pixels) to `path`, drawing it in stripes, so pictures beyond the raster memory cap
/// are saved too. Throws DivisionByZero for a BitsPerRow or BitsPerOutput of 0, and Error as SaveImage.
void SaveBitmapImage(const Document& doc, const std::string& path);

}  // namespace zandrel
