#include "platform/sources/ffmpeg_diagnostics.h"

#include <cstdarg>
#include <cstdio>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace platform {
namespace {

void logToStandardError(void* context, int level, const char* format, std::va_list arguments) {
    if (level > av_log_get_level()) return;
    char line[1024];
    int printPrefix = 1;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    std::fputs(line, stderr);
}

}  // namespace

void prepareFfmpeg() {
    [[maybe_unused]] static const bool prepared = [] {
        // A source reports its own problems once, with the reason; FFmpeg's
        // per-packet complaints about a damaged recording would repeat them
        // hundreds of times.
        av_log_set_level(AV_LOG_FATAL);
        av_log_set_callback(logToStandardError);
        return true;
    }();
}

std::string ffmpegErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void reportSourceProblem(const std::string& source, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", source.c_str(), text.c_str());
}

}  // namespace platform
