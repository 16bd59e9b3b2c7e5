// The printer wrapper's arithmetic: conversions truncated toward zero and the
// page setup of every unit, with the resolutions of real printers.
#include "versioninfo/dozadier_units.h"

#include <gtest/gtest.h>

#include <limits>

namespace tessaldrin::versioninfo {
namespace {

AxisLayout Axis(TScaling scaling, std::int32_t dpi, std::int32_t physical = 0,
                std::int32_t offset = 0, std::int32_t low = 0, std::int32_t high = 0) {
    return LayOutAxis(scaling, AxisDevice{dpi, physical, offset}, low, high);
}

TEST(DozadierUnits, ConversionsTruncateTowardZeroWithoutIntermediateOverflow) {
    EXPECT_EQ(MulDivTruncated(10, 1000, 300), 33);
    EXPECT_EQ(MulDivTruncated(33, 300, 1000), 9);
    EXPECT_EQ(MulDivTruncated(-10, 1000, 300), -33);
    EXPECT_EQ(MulDivTruncated(-33, 300, 1000), -9);
    // 4 000 000 × 2540 is beyond 32 bits; the quotient is not.
    EXPECT_EQ(MulDivTruncated(4'000'000, 2540, 2540), 4'000'000);
    EXPECT_EQ(MulDivTruncated(std::numeric_limits<std::int32_t>::max(), 2540, 96),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(MulDivTruncated(123, 456, 0), 0);
}

TEST(DozadierUnits, WindowAndViewportExtentsStayWithin16Bits) {
    const AxisLayout metric100At300 = Axis(TScaling::pscMetric100, 300);
    EXPECT_EQ(metric100At300.windowExtent, 30480);
    EXPECT_EQ(metric100At300.viewportExtent, 3600);

    const AxisLayout milAt600 = Axis(TScaling::pscMil, 600);
    EXPECT_EQ(milAt600.windowExtent, 12000);
    EXPECT_EQ(milAt600.viewportExtent, 7200);

    const AxisLayout milAt96 = Axis(TScaling::pscMil, 96);
    EXPECT_EQ(milAt96.windowExtent, 18750);
    EXPECT_EQ(milAt96.viewportExtent, 1800);

    // Three halvings: 190500, 95250, 47625 are all above 32767.
    const AxisLayout metric100At96 = Axis(TScaling::pscMetric100, 96);
    EXPECT_EQ(metric100At96.windowExtent, 23812);
    EXPECT_EQ(metric100At96.viewportExtent, 900);

    // The division comes first: 7200 ÷ 1200 = 6 thousandths per dot.
    const AxisLayout milAt1200 = Axis(TScaling::pscMil, 1200);
    EXPECT_EQ(milAt1200.windowExtent, 6000);
    EXPECT_EQ(milAt1200.viewportExtent, 7200);
}

TEST(DozadierUnits, PageSizeAndOriginMeasureTheMarginsFromThePaperEdge) {
    // 200 and 100 tenths of a millimetre are 472 and 236 dots at 600 dpi.
    const AxisLayout x = Axis(TScaling::pscMetric10, 600, 4960, 100, 200, 100);
    EXPECT_EQ(x.pageSize, 1799);
    EXPECT_EQ(x.viewportOrigin, 372);

    // In dots: no conversion, and the last dot is not part of the page.
    const AxisLayout dots = Axis(TScaling::pscDot, 600, 4960, 100, 200, 100);
    EXPECT_EQ(dots.pageSize, 4960 - 200 - 100 - 1);

    // A margin inside the unprintable border puts the origin before the
    // printable area; nothing is validated.
    const AxisLayout inside = Axis(TScaling::pscMil, 300, 2550, 50, 100, 0);
    EXPECT_EQ(inside.viewportOrigin, 30 - 50);
    const AxisLayout oversized = Axis(TScaling::pscMil, 300, 2550, 0, 9000, 0);
    EXPECT_LT(oversized.pageSize, 0);
}

} // namespace
} // namespace tessaldrin::versioninfo
