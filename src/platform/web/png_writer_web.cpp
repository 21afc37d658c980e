// The browser keeps no picture folder of ours: a screenshot is not written there.
#include "platform/gfx/png_writer.h"

#include <cerrno>

bool WritePng(const std::string&, const std::uint8_t*, int, int) {
    errno = ENOTSUP;
    return false;
}
