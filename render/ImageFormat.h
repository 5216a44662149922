#pragma once

#include <cstdint>
#include <string>

namespace zandrel {

/// The image file formats the bit map can be saved in.
enum class ImageFormat { Png, Jpeg, Tiff, Bmp };

/// The format that a file name's extension selects, compared without regard to case: ".png";
/// ".jpg", ".jpeg", ".jpe", ".jif"; ".tif", ".tiff"; ".bmp". Throws Error for any other.
ImageFormat ImageFormatOf(const std::string& path);

/// Throws Error when a picture of width x height pixels cannot be written in `format`
/// (no pixels at all; JPEG beyond the library's 65500 pixels a side; BMP beyond 4 GiB).
void CheckImageLimits(ImageFormat format, int32_t width, int32_t height);

}  // namespace zandrel
