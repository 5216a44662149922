#include "render/SaveImage.h"

#include "render/ImageFormat.h"
#include "render/ImageWriters.h"
#include "render/ReplacingFile.h"

namespace zandrel {

void SaveImage(const std::string& path, RowSource& rows) {
    const ImageFormat format = ImageFormatOf(path);
    CheckImageLimits(format, rows.width(), rows.height());

    ReplacingFile file(path);
    switch (format) {
        case ImageFormat::Png:
            WritePng(file.stream(), rows, file.fullPath());
            break;
        case ImageFormat::Jpeg:
            WriteJpeg(file.stream(), rows, file.fullPath());
            break;
        case ImageFormat::Tiff:
            WriteTiff(file.stream(), rows, file.fullPath());
            break;
        case ImageFormat::Bmp:
            WriteBmp(file.stream(), rows, file.fullPath());
            break;
    }
    file.commit();
}

void SaveBitmapImage(const Document& doc, const std::string& path) {
    const ImageFormat format = ImageFormatOf(path);
    BitmapRows rows(doc);
    CheckImageLimits(format, rows.width(), rows.height());
    SaveImage(path, rows);
}

}  // namespace zandrel
