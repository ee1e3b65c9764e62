#include "platform/sources/capture_device_formats.h"

#include <dlfcn.h>

extern "C" {
#include <libavdevice/version.h>
#include <libavutil/macros.h>
}

namespace platform {

bool loadCaptureDeviceFormats() {
    static const bool loaded = [] {
        // The library of the major version the program was built against;
        // it stays loaded for the rest of the run.
        void* library =
            dlopen("libavdevice.so." AV_STRINGIFY(LIBAVDEVICE_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return false;
        auto* registerAll = reinterpret_cast<void (*)()>(dlsym(library, "avdevice_register_all"));
        if (registerAll == nullptr) return false;
        registerAll();
        return true;
    }();
    return loaded;
}

}  // namespace platform
