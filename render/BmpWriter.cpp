// 24-bit BMP: a 14-byte file header, a 40-byte info header, rows bottom-up in blue-green-red
// order, each padded to a multiple of 4 bytes.

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/Errors.h"
#include "render/ImageWriters.h"
#include "render/ReplacingFile.h"

namespace zandrel {

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;

uint64_t RowBytes(int32_t width) { return (uint64_t{3} * static_cast<uint64_t>(width) + 3) & ~uint64_t{3}; }

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

uint64_t BmpFileSize(int32_t width, int32_t height) {
    return kHeadersSize + RowBytes(width) * static_cast<uint64_t>(height);
}

void WriteBmp(std::FILE* stream, RowSource& rows, const std::string& fullPath) {
    const int32_t width = rows.width();
    const int32_t height = rows.height();
    const uint64_t rowBytes = RowBytes(width);
    auto write = [&](const std::vector<uint8_t>& bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
            throw Error(CannotWriteMessage(fullPath, std::strerror(errno)));
        }
    };

    std::vector<uint8_t> header;
    header.push_back('B');
    header.push_back('M');
    Put32(header, static_cast<uint32_t>(BmpFileSize(width, height)));
    Put32(header, 0);             // reserved
    Put32(header, kHeadersSize);  // offset of the pixels
    Put32(header, 40);            // BITMAPINFOHEADER
    Put32(header, static_cast<uint32_t>(width));
    Put32(header, static_cast<uint32_t>(height));  // positive: bottom-up
    Put16(header, 1);                              // planes
    Put16(header, 24);                             // bits per pixel
    Put32(header, 0);                              // no compression
    Put32(header, static_cast<uint32_t>(rowBytes * static_cast<uint64_t>(height)));
    Put32(header, 2835);  // 72 dpi, in pixels per metre
    Put32(header, 2835);
    Put32(header, 0);  // colours used
    Put32(header, 0);  // important colours
    write(header);

    std::vector<uint8_t> line(static_cast<size_t>(rowBytes), 0);
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t* rgb = rows.row(y);
        for (int32_t x = 0; x < width; ++x, rgb += 3) {
            uint8_t* bgr = line.data() + size_t{3} * static_cast<size_t>(x);
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
        write(line);
    }
}

}  // namespace zandrel
