#include "platform/sources/filter_library.h"

#include <dlfcn.h>

extern "C" {
#include <libavfilter/version_major.h>
#include <libavutil/macros.h>
}

namespace platform {
namespace {

template <typename Function>
bool find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool load(FilterLibrary& f) {
    // Stays loaded for the rest of the run.
    void* library = dlopen("libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
    return library != nullptr && find(library, "avfilter_graph_alloc", f.graphAlloc) &&
           find(library, "avfilter_graph_free", f.graphFree) &&
           find(library, "avfilter_get_by_name", f.filterNamed) &&
           find(library, "avfilter_graph_create_filter", f.createFilter) &&
           find(library, "avfilter_inout_alloc", f.inOutAlloc) &&
           find(library, "avfilter_inout_free", f.inOutFree) &&
           find(library, "avfilter_graph_parse_ptr", f.parse) &&
           find(library, "avfilter_graph_config", f.configure) &&
           find(library, "av_buffersrc_write_frame", f.writeFrame) &&
           find(library, "av_buffersink_get_frame", f.takeFrame);
}

}  // namespace

const FilterLibrary* filterLibrary() {
    static FilterLibrary library{};
    static const bool loaded = load(library);
    return loaded ? &library : nullptr;
}

}  // namespace platform
