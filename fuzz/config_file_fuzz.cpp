// Any tavomotion.ini: read without reading or writing outside a buffer.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/config_file.h"
#include "platform/clock/clock.h"
#include "platform/console/console.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool prepared = [] {
        char directory[] = "/tmp/tavo-fuzz-config-XXXXXX";
        if (mkdtemp(directory) == nullptr || chdir(directory) != 0) std::abort();
        platform::clock::select(platform::clock::Kind::virtualTime);
        return true;
    }();
    static_cast<void>(prepared);
    std::FILE* file = std::fopen("tavomotion.ini", "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::string console;
    platform::console::captureInto(&console);
    app::resetApp();
    app::readConfigFile();
    platform::console::captureInto(nullptr);
    return 0;
}
