#include "toolkit/canvas_font.h"

#include <cstdlib>
#include <limits>

namespace tessaldrin::toolkit {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < std::numeric_limits<std::int32_t>::min()) {
        return -1;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t TFont::Size() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(std::int32_t points) {
    height_ = -MulDiv(points, pixelsPerInch_, 72);
}

void TFont::SetPixelsPerInch(std::int32_t pixelsPerInch) {
    if (pixelsPerInch > 0) {
        pixelsPerInch_ = pixelsPerInch;
    }
}

} // namespace tessaldrin::toolkit
