#include "platform/compare_string.h"

#include <gtest/gtest.h>

using tessaldrin::platform::CompareTextIgnoreCase;

namespace {
int Sign(int value) {
    return (value > 0) - (value < 0);
}
} // namespace

TEST(CompareTextIgnoreCase, TextsThatDifferOnlyInCaseAreEqual) {
    EXPECT_EQ(CompareTextIgnoreCase("/d/Tessaldrin_1.GDB", "/d/TESSALDRIN_1.gdb"), 0);
    EXPECT_EQ(CompareTextIgnoreCase("/d/Tessaldrin_\xC3\x84.GDB", "/d/tessaldrin_\xC3\xA4.gdb"), 0);
    EXPECT_NE(CompareTextIgnoreCase("/d/Tessaldrin_1.GDB", "/d/Tessaldrin_1.GDBX"), 0);
}

TEST(CompareTextIgnoreCase, OrdersAsTextCharacterByCharacterNotByNumber) {
    EXPECT_LT(CompareTextIgnoreCase("Tessaldrin_10.GDB", "Tessaldrin_2.GDB"), 0);
    EXPECT_LT(CompareTextIgnoreCase("Tessaldrin_a.GDB", "TESSALDRIN_B.GDB"), 0);
    EXPECT_LT(CompareTextIgnoreCase("Tessaldrin_B.GDB", "tessaldrin_c.gdb"), 0);
    EXPECT_LT(CompareTextIgnoreCase("Tessaldrin", "Tessaldrin_1"), 0);
    EXPECT_GT(CompareTextIgnoreCase("Tessaldrin_2.GDB", "Tessaldrin_10.GDB"), 0);
}

TEST(CompareTextIgnoreCase, BytesOutsideUtf8StayDistinctAndOrderConsistently) {
    // Latin-1 bytes as a name from another system may carry them.
    const std::string latin = "Tessaldrin_\xE4.GDB";
    const std::string other = "Tessaldrin_\xF6.GDB";
    const std::string utf8 = "Tessaldrin_\xC3\xA4.GDB";
    EXPECT_NE(CompareTextIgnoreCase(latin, other), 0);
    EXPECT_NE(CompareTextIgnoreCase(latin, utf8), 0);
    EXPECT_EQ(Sign(CompareTextIgnoreCase(latin, other)),
              -Sign(CompareTextIgnoreCase(other, latin)));
    EXPECT_EQ(CompareTextIgnoreCase(latin, latin), 0);
    // A sequence cut short is a stray byte, not the start of a character.
    EXPECT_NE(CompareTextIgnoreCase("a\xC3", "a"), 0);
}
