// TIFF through libtiff: RGB, 8 bits a sample, LZW with the horizontal predictor, in strips.

#include <tiffio.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>
#include <vector>

#include "core/Errors.h"
#include "render/ImageWriters.h"
#include "render/ReplacingFile.h"

namespace zandrel {

namespace {

// Classic TIFF addresses 4 GiB; give large pictures BigTIFF, with room for compression overhead.
constexpr uint64_t kBigTiffFromBytes = uint64_t{1} << 30;

struct TiffFailure {
    std::string message;
};

int OnTiffError(TIFF*, void* userData, const char*, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    auto* failure = static_cast<TiffFailure*>(userData);
    if (failure->message.empty()) failure->message = text;
    return 1;
}

int OnTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

class TiffOptions {
public:
    explicit TiffOptions(TiffFailure& failure) : options_(TIFFOpenOptionsAlloc()) {
        if (!options_) return;
        TIFFOpenOptionsSetErrorHandlerExtR(options_, OnTiffError, &failure);
        TIFFOpenOptionsSetWarningHandlerExtR(options_, OnTiffWarning, nullptr);
    }
    ~TiffOptions() {
        if (options_) TIFFOpenOptionsFree(options_);
    }
    TiffOptions(const TiffOptions&) = delete;
    TiffOptions& operator=(const TiffOptions&) = delete;
    TIFFOpenOptions* get() const { return options_; }

private:
    TIFFOpenOptions* options_;
};

}  // namespace

void WriteTiff(std::FILE* stream, RowSource& rows, const std::string& fullPath) {
    TiffFailure failure;
    auto fail = [&](const char* fallback) {
        throw Error(CannotWriteMessage(fullPath, failure.message.empty() ? fallback : failure.message));
    };
    TiffOptions options(failure);
    if (!options.get()) fail("Out of memory");

    // libtiff writes through a descriptor of its own and closes it; the stream itself is unused.
    const int fd = ::dup(::fileno(stream));
    if (fd < 0) fail(std::strerror(errno));
    const uint64_t rawBytes =
        uint64_t{3} * static_cast<uint64_t>(rows.width()) * static_cast<uint64_t>(rows.height());
    TIFF* tiff =
        TIFFFdOpenExt(fd, fullPath.c_str(), rawBytes >= kBigTiffFromBytes ? "w8" : "w", options.get());
    if (!tiff) {
        ::close(fd);
        fail("The file could not be opened for writing.");
    }
    struct Close {
        TIFF*& tiff;
        ~Close() {
            if (tiff) TIFFClose(tiff);
        }
    } close{tiff};

    const uint32_t width = static_cast<uint32_t>(rows.width());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(rows.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));

    // The predictor works in place, so each row goes through a copy of its own.
    std::vector<uint8_t> scratch(size_t{3} * width);
    for (int32_t y = 0; y < rows.height(); ++y) {
        std::memcpy(scratch.data(), rows.row(y), scratch.size());
        if (TIFFWriteScanline(tiff, scratch.data(), static_cast<uint32_t>(y), 0) < 0)
            fail("A row could not be written.");
    }
    if (!TIFFWriteDirectory(tiff)) fail("The image directory could not be written.");
    TIFF* done = tiff;
    tiff = nullptr;
    if (TIFFFlush(done) != 1) {
        TIFFClose(done);
        fail("The data could not be written.");
    }
    TIFFClose(done);
}

}  // namespace zandrel
