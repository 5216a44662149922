// JPEG through libjpeg(-turbo). Its errors leave by longjmp, so each libjpeg call sits in a small
// function of its own that holds no C++ object and turns the jump into a false result.

#include <csetjmp>
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "core/Errors.h"
#include "render/ImageWriters.h"
#include "render/ReplacingFile.h"

namespace zandrel {

namespace {

struct JpegFailure {
    jpeg_error_mgr manager;  // first, so the library's error pointer is also ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    (*info->err->format_message)(info, failure->message);
    std::longjmp(failure->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

bool BeginJpeg(jpeg_compress_struct* info, JpegFailure* failure, std::FILE* stream, int32_t width,
               int32_t height) {
    if (setjmp(failure->jump)) return false;
    jpeg_stdio_dest(info, stream);
    info->image_width = static_cast<JDIMENSION>(width);
    info->image_height = static_cast<JDIMENSION>(height);
    info->input_components = 3;
    info->in_color_space = JCS_RGB;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, kJpegQuality, TRUE);
    // No chroma subsampling: cells are a few pixels wide, and blue beside yellow would bleed.
    for (int component = 0; component < info->num_components; ++component) {
        info->comp_info[component].h_samp_factor = 1;
        info->comp_info[component].v_samp_factor = 1;
    }
    jpeg_start_compress(info, TRUE);
    return true;
}

bool CreateJpeg(jpeg_compress_struct* info, JpegFailure* failure) {
    if (setjmp(failure->jump)) return false;
    jpeg_create_compress(info);
    return true;
}

bool WriteJpegRow(jpeg_compress_struct* info, JpegFailure* failure, const uint8_t* row) {
    if (setjmp(failure->jump)) return false;
    JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
    jpeg_write_scanlines(info, rows, 1);
    return true;
}

bool EndJpeg(jpeg_compress_struct* info, JpegFailure* failure) {
    if (setjmp(failure->jump)) return false;
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

void WriteJpeg(std::FILE* stream, RowSource& rows, const std::string& fullPath) {
    JpegFailure failure{};
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegError;
    failure.manager.output_message = OnJpegMessage;
    if (!CreateJpeg(&info, &failure)) throw Error(CannotWriteMessage(fullPath, failure.message));

    // jpeg_destroy_compress releases everything, also after a failure part way.
    struct Destroy {
        jpeg_compress_struct* info;
        ~Destroy() { jpeg_destroy_compress(info); }
    } destroy{&info};
    auto fail = [&] { throw Error(CannotWriteMessage(fullPath, failure.message)); };

    if (!BeginJpeg(&info, &failure, stream, rows.width(), rows.height())) fail();
    for (int32_t y = 0; y < rows.height(); ++y) {
        if (!WriteJpegRow(&info, &failure, rows.row(y))) fail();
    }
    if (!EndJpeg(&info, &failure)) fail();
}

}  // namespace zandrel
