#include "render/ImageFormat.h"

#include <array>
#include <string_view>
#include <utility>

#include "core/Errors.h"
#include "render/ImageWriters.h"

namespace zandrel {

namespace {

constexpr std::array<std::pair<std::string_view, ImageFormat>, 8> kExtensions = {{
    {".png", ImageFormat::Png},
    {".jpg", ImageFormat::Jpeg},
    {".jpeg", ImageFormat::Jpeg},
    {".jpe", ImageFormat::Jpeg},
    {".jif", ImageFormat::Jpeg},
    {".tif", ImageFormat::Tiff},
    {".tiff", ImageFormat::Tiff},
    {".bmp", ImageFormat::Bmp},
}};

constexpr const char* kFormatAdvice = "Use .png, .tif, .jpg or .bmp.";

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& ch : lower) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
    return lower;
}

std::string Dimensions(int32_t width, int32_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

ImageFormat ImageFormatOf(const std::string& path) {
    const size_t nameStart = path.find_last_of("/\\:");
    const std::string_view name =
        std::string_view(path).substr(nameStart == std::string::npos ? 0 : nameStart + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        throw Error("The file name \"" + std::string(name) +
                    "\" has no extension to choose an image format. " + kFormatAdvice);
    }
    const std::string extension = LowerCase(name.substr(dot));
    for (const auto& [known, format] : kExtensions) {
        if (extension == known) return format;
    }
    throw Error("Unsupported image format \"" + std::string(name.substr(dot)) + "\". " + kFormatAdvice);
}

void CheckImageLimits(ImageFormat format, int32_t width, int32_t height) {
    if (width < 1 || height < 1) {
        throw Error("The bit map has no pixels (" + Dimensions(width, height) +
                    "), so there is no picture to save");
    }
    if (format == ImageFormat::Jpeg && (width > kJpegMaxSide || height > kJpegMaxSide)) {
        throw Error("A JPEG image can be at most " + std::to_string(kJpegMaxSide) +
                    " pixels wide and high; the bit map is " + Dimensions(width, height) +
                    ". Save it as .png or .tif instead");
    }
    if (format == ImageFormat::Bmp && BmpFileSize(width, height) > kBmpMaxFileSize) {
        throw Error("A BMP image can hold at most 4 GiB; the bit map of " + Dimensions(width, height) +
                    " needs more. Save it as .png or .tif instead");
    }
}

}  // namespace zandrel
