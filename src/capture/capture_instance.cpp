#include "capture/capture_device.h"

namespace capture {

CaptureDevice captureDevice;

}  // namespace capture
