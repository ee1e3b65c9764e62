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
};

bool compress(Compression& c, const PixelRows& rows, int quality) {
    if (setjmp(c.trap.resume) != 0) return false;
    jpeg_create_compress(&c.info);
    jpeg_mem_dest(&c.info, &c.output, &c.outputSize);
    c.info.image_width = static_cast<JDIMENSION>(rows.width);
    c.info.image_height = static_cast<JDIMENSION>(rows.height);
    c.info.input_components = 3;
    // libjpeg-turbo takes either byte order as it stands: no copy of a row.
    c.info.in_color_space = rows.bgr ? JCS_EXT_BGR : JCS_RGB;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    jpeg_start_compress(&c.info, TRUE);
    for (int y = 0; y < rows.height; ++y) {
        // libjpeg only reads the rows it is given, though its type says otherwise.
        JSAMPROW line = const_cast<std::uint8_t*>(rows.first + y * rows.stride);
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
