#include "platform/files/jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <cstdlib>
#include <memory>

namespace platform {
namespace {

// libjpeg reports errors by calling error_exit, which must not return; it
// jumps back to encodeJpeg with the library's message.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

void leaveOnError(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->resume, 1);
}

void quietWarning(j_common_ptr, int) {}

// Everything libjpeg touches lives here, so nothing with a destructor sits
// between setjmp and a longjmp.
struct Compression {
    jpeg_compress_struct info{};
    ErrorTrap trap{};
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    std::vector<std::uint8_t> rgbRow;
};

bool compress(Compression& c, const PixelRows& rows, int quality) {
    if (setjmp(c.trap.resume) != 0) return false;
    jpeg_create_compress(&c.info);
    jpeg_mem_dest(&c.info, &c.output, &c.outputSize);
    c.info.image_width = static_cast<JDIMENSION>(rows.width);
    c.info.image_height = static_cast<JDIMENSION>(rows.height);
    c.info.input_components = 3;
    c.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    jpeg_start_compress(&c.info, TRUE);
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* row = rows.first + y * rows.stride;
        for (int x = 0; x < rows.width; ++x) {
            const std::uint8_t* pixel = row + 3 * x;
            c.rgbRow[3 * x] = rows.bgr ? pixel[2] : pixel[0];
            c.rgbRow[3 * x + 1] = pixel[1];
            c.rgbRow[3 * x + 2] = rows.bgr ? pixel[0] : pixel[2];
        }
        JSAMPROW line = c.rgbRow.data();
        jpeg_write_scanlines(&c.info, &line, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const PixelRows& rows, int quality, std::string& failure) {
    if (rows.width <= 0 || rows.height <= 0 || rows.first == nullptr || quality < 1 || quality > 100) {
        failure = "no picture to encode";
        return {};
    }
    auto c = std::make_unique<Compression>();
    c->info.err = jpeg_std_error(&c->trap.manager);
    c->trap.manager.error_exit = leaveOnError;
    c->trap.manager.emit_message = quietWarning;
    c->rgbRow.resize(static_cast<std::size_t>(rows.width) * 3);
    std::vector<std::uint8_t> jpeg;
    if (compress(*c, rows, quality))
        jpeg.assign(c->output, c->output + c->outputSize);
    else
        failure = std::string("JPEG encoding failed: ") + c->trap.message;
    jpeg_destroy_compress(&c->info);
    std::free(c->output);
    return jpeg;
}

}  // namespace platform
