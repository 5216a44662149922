#pragma once

// The encoders behind SaveImage. Each writes the rows of `rows` to `stream` and throws Error,
// naming `fullPath`, when the library or the file fails.

#include <cstdint>
#include <cstdio>
#include <string>

#include "render/RowSource.h"

namespace zandrel {

/// The largest side libjpeg encodes.
inline constexpr int32_t kJpegMaxSide = 65500;
/// JPEG quality (libjpeg scale 0-100) of saved pictures: no visible loss on the flat cell colours.
inline constexpr int kJpegQuality = 90;

/// The size of a 24-bit BMP file of width x height pixels, and the most its header can state.
uint64_t BmpFileSize(int32_t width, int32_t height);
inline constexpr uint64_t kBmpMaxFileSize = 0xFFFFFFFFu;

void WritePng(std::FILE* stream, RowSource& rows, const std::string& fullPath);
void WriteJpeg(std::FILE* stream, RowSource& rows, const std::string& fullPath);
void WriteTiff(std::FILE* stream, RowSource& rows, const std::string& fullPath);
void WriteBmp(std::FILE* stream, RowSource& rows, const std::string& fullPath);

}  // namespace zandrel
