// The printer wrapper's drawing units and the page arithmetic behind them, in
// 32-bit integers truncated toward zero. Toolkit-free.
#pragma once

#include <cstdint>

namespace tessaldrin::versioninfo {

enum class TScaling : std::uint8_t { pscDot, pscMil, pscMetric10, pscMetric100 };

// 1 for device dots, 1000, 254 or 2540 for the others.
std::int32_t UnitsPerInch(TScaling scaling);

// value × multiplier ÷ divisor, truncated toward zero. The product is formed
// in 64 bits, so only a result beyond 32 bits is cut (to the nearest 32-bit
// value); a zero divisor gives 0.
std::int32_t MulDivTruncated(std::int32_t value, std::int32_t multiplier, std::int32_t divisor);

// One axis of a page in its device's dots, margins in the drawing unit.
struct AxisDevice {
    std::int32_t dotsPerInch;
    std::int32_t physicalSize;   // paper size in dots
    std::int32_t physicalOffset; // printable area from the paper edge in dots
};

// One axis of the page setup: the drawable size between the margins in the
// drawing unit, and (for every unit but dots) the isotropic mapping that makes
// logical 0 the margin, measured from the paper edge.
struct AxisLayout {
    std::int32_t pageSize;
    std::int32_t windowExtent;
    std::int32_t viewportExtent;
    std::int32_t viewportOrigin;
};

// The extents stay within 16 bits: both are halved while the window extent
// is above 32767.
AxisLayout LayOutAxis(TScaling scaling, const AxisDevice& device, std::int32_t marginLow,
                      std::int32_t marginHigh);

} // namespace tessaldrin::versioninfo
