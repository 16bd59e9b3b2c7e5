// The messages as LoadStringA reads them from the executable's string table:
// byte for byte the program's message table in Windows-1252. The table is
// compiled in here a second time, its literals turned into Windows-1252 by
// the compiler, so that the generated resource is checked against an
// independent conversion of the same source.
#include "platform/format_message.h"
#include "platform/load_string.h"

#include <gtest/gtest.h>

namespace tessaldrin::platform {
std::string CompiledInLoadString(int id); // load_string.cpp, renamed for this test
}

using tessaldrin::platform::CompiledInLoadString;
using tessaldrin::platform::Format;
namespace msg = tessaldrin::msg;
using tessaldrin::platform::LoadString;

TEST(WindowsStringTable, HoldsEveryMessageOfTheTableByteForByteInWindows1252) {
    int messages = 0;
    for (int id = 0; id <= 0xFFFF; ++id) {
        const std::string expected = CompiledInLoadString(id);
        EXPECT_EQ(LoadString(id), expected) << id;
        messages += expected.empty() ? 0 : 1;
    }
    EXPECT_GE(messages, 33);
}

TEST(WindowsStringTable, KeepsTabsLineFeedsQuotesAndUmlautsAsWindows1252Bytes) {
    EXPECT_EQ(LoadString(21002), "\xC4ndere File-Tabelle:");
    EXPECT_EQ(LoadString(21016), "Fortsetzungsdatei:\t\"%s\"\n\n");
    EXPECT_EQ(LoadString(21021), "Falsche Datenbank-Seiten-Gr\xF6\xDF"
                                 "e!");
    EXPECT_EQ(LoadString(21036), "Tessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich "
                                 "durchgef\xFChrt!");
    EXPECT_EQ(Format(msg::kRowRenamed, "E:\\Alt\\T_1.GDB", "D:\\Neu\\T_1.TDB"),
              "RDB$Files: RDB$FILE_NAME ge\xE4ndert von \"E:\\Alt\\T_1.GDB\" zu "
              "\"D:\\Neu\\T_1.TDB\"");
    EXPECT_EQ(LoadString(21000), "");
    EXPECT_EQ(LoadString(-1), "");
}
