#include "versioninfo/dozadier_units.h"

#include <algorithm>
#include <limits>

namespace tessaldrin::versioninfo {
namespace {

// The extents' reference: 7200 is divisible by every usual printer resolution.
constexpr std::int32_t kViewportReference = 7200;
constexpr std::int32_t kLargestExtent = 32767;

std::int32_t Narrow(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int32_t UnitsPerInch(TScaling scaling) {
    switch (scaling) {
    case TScaling::pscMil:
        return 1000;
    case TScaling::pscMetric10:
        return 254;
    case TScaling::pscMetric100:
        return 2540;
    case TScaling::pscDot:
        break;
    }
    return 1;
}

std::int32_t MulDivTruncated(std::int32_t value, std::int32_t multiplier, std::int32_t divisor) {
    if (divisor == 0) {
        return 0;
    }
    // C++ division truncates toward zero, as the arithmetic requires.
    return Narrow(static_cast<std::int64_t>(value) * multiplier / divisor);
}

AxisLayout LayOutAxis(TScaling scaling, const AxisDevice& device, std::int32_t marginLow,
                      std::int32_t marginHigh) {
    AxisLayout layout{};
    if (scaling == TScaling::pscDot) {
        layout.pageSize =
            Narrow(static_cast<std::int64_t>(device.physicalSize) - marginLow - marginHigh - 1);
        return layout;
    }
    const std::int32_t unitsPerInch = UnitsPerInch(scaling);
    const std::int32_t dots = device.dotsPerInch;
    const std::int64_t drawableDots = static_cast<std::int64_t>(device.physicalSize) -
                                      MulDivTruncated(marginLow, dots, unitsPerInch) -
                                      MulDivTruncated(marginHigh, dots, unitsPerInch) - 1;
    layout.pageSize = MulDivTruncated(Narrow(drawableDots), unitsPerInch, dots);

    // The integer division comes first: the window extent is a multiple of
    // the units per inch.
    std::int64_t window =
        dots == 0 ? 0 : static_cast<std::int64_t>(kViewportReference / dots) * unitsPerInch;
    std::int32_t viewport = kViewportReference;
    while (window > kLargestExtent) {
        window /= 2;
        viewport /= 2;
    }
    layout.windowExtent = Narrow(window);
    layout.viewportExtent = viewport;
    layout.viewportOrigin =
        Narrow(static_cast<std::int64_t>(MulDivTruncated(marginLow, dots, unitsPerInch)) -
               device.physicalOffset);
    return layout;
}

} // namespace tessaldrin::versioninfo
