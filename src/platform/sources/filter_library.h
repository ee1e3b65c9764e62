#pragma once
// libavfilter, loaded the first time a filter graph is asked for: with the
// libraries it pulls in (speech synthesis, SVG, GPU rendering among them) it
// would otherwise add some 12 MiB to the memory of every run.
// (FFmpeg's headers need the fixed-width integer macros of <cstdint> first.)
#include <cstdint>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace platform {

struct FilterLibrary {
    decltype(&avfilter_graph_alloc) graphAlloc;
    decltype(&avfilter_graph_free) graphFree;
    decltype(&avfilter_get_by_name) filterNamed;
    decltype(&avfilter_graph_create_filter) createFilter;
    decltype(&avfilter_inout_alloc) inOutAlloc;
    decltype(&avfilter_inout_free) inOutFree;
    decltype(&avfilter_graph_parse_ptr) parse;
    decltype(&avfilter_graph_config) configure;
    decltype(&av_buffersrc_write_frame) writeFrame;
    decltype(&av_buffersink_get_frame) takeFrame;
};

// The library of the major version the program was built against; null when
// it cannot be loaded or lacks a function.
const FilterLibrary* filterLibrary();

}  // namespace platform
