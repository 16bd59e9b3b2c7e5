#include "app/confirmation.h"
#include "app/port_choice.h"

#include <gtest/gtest.h>

using namespace tessaldrin;

TEST(PortChoice, CustomTextIsADecimalIntegerOrTheStandardPort) {
    EXPECT_EQ(PortFromCustomText(""), 3050);
    EXPECT_EQ(PortFromCustomText("30500"), 30500);
    EXPECT_EQ(PortFromCustomText("0"), 0);
    EXPECT_EQ(PortFromCustomText("000123"), 123);
    EXPECT_EQ(PortFromCustomText("999999999"), 999999999);
    // Pasted text can get past the digits-only edit: nothing half-read.
    EXPECT_EQ(PortFromCustomText("12a"), 3050);
    EXPECT_EQ(PortFromCustomText(" 12"), 3050);
    EXPECT_EQ(PortFromCustomText("99999999999"), 3050);
}

TEST(PortChoice, TheSelectedButtonDecidesAndOnlyTheCustomOneReadsTheEdit) {
    const struct {
        PortButtons buttons;
        std::int32_t port;
    } cases[] = {
        {{false, false, "12345"}, 3050}, // a number typed for another button has no effect
        {{false, true, "12345"}, 30500}, {{true, false, "12345"}, 12345},
        {{true, false, ""}, 3050},       {{true, false, "30500"}, 30500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChosenPort(c.buttons), c.port) << c.buttons.customText;
    }
}

TEST(Confirmation, OnlyTheExactWordConfirms) {
    EXPECT_TRUE(IsConfirmationWord("JA"));
    for (const char* typed : {"", "ja", "Ja", "jA", " JA", "JA ", "JAX", "J", "JA\n"}) {
        EXPECT_FALSE(IsConfirmationWord(typed)) << '"' << typed << '"';
    }
}

TEST(Confirmation, WarningHasItsTrailingSpacesAndEmptyLines) {
    std::size_t withTrailingSpace = 0;
    for (std::size_t i = 0; i < kConfirmationWarning.size(); ++i) {
        const auto line = kConfirmationWarning[i];
        const bool expectSpace = i == 0 || i == 1 || i == 4 || i == 9 || i == 10;
        const bool expectEmpty = i == 3 || i == 6 || i == 8;
        EXPECT_EQ(!line.empty() && line.back() == ' ', expectSpace) << i;
        EXPECT_EQ(line.empty(), expectEmpty) << i;
        withTrailingSpace += expectSpace;
    }
    EXPECT_EQ(withTrailingSpace, 5u);
}
