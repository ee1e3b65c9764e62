#include "platform/winsys/png_snapshot.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/winsys/window_surface.h"

namespace platform {
namespace {

struct PngFailure {
    char message[200];
};

void setMessage(PngFailure& failure, const char* message) {
    std::snprintf(failure.message, sizeof failure.message, "%s", message);
}

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    setMessage(*static_cast<PngFailure*>(png_get_error_ptr(png)), message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// libpng leaves this function by longjmp on error, so nothing in its frame
// may need a destructor.
bool encode(std::FILE* file, const Canvas& canvas, PngFailure& failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, onPngError, onPngWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        setMessage(failure, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.width()),
                 static_cast<png_uint_32>(canvas.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.height(); ++y) png_write_row(png, canvas.row(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// mkstemp makes the file private; a snapshot gets the usual permissions.
void giveUsualPermissions(int descriptor) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
}

// Takes the descriptor over, closed on return.
bool writeTemporary(int descriptor, const Canvas& canvas, std::string& failure) {
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        failure = std::strerror(errno);
        close(descriptor);
        return false;
    }
    PngFailure pngFailure{};
    const bool encoded = encode(file, canvas, pngFailure);
    const bool closed = std::fclose(file) == 0;
    if (!encoded) failure = pngFailure.message;
    if (encoded && !closed) failure = std::strerror(errno);
    return encoded && closed;
}

}  // namespace

bool writeCanvasPng(const Canvas& canvas, const std::string& path, std::string& failure) {
    std::string temporary = path + ".partial-XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        failure = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    giveUsualPermissions(descriptor);
    if (writeTemporary(descriptor, canvas, failure)) {
        if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
        failure = "cannot rename " + temporary + ": " + std::strerror(errno);
    }
    unlink(temporary.c_str());
    failure = "cannot write " + path + ": " + failure;
    return false;
}

bool writeWindowPng(HWND window, const std::string& path, std::string& failure) {
    const Canvas* canvas = windowCanvas(window);
    if (canvas == nullptr) {
        failure = "the window has no picture";
        return false;
    }
    return writeCanvasPng(*canvas, path, failure);
}

}  // namespace platform
