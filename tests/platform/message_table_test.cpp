#include "platform/format_message.h"
#include "platform/load_string.h"

#include <gtest/gtest.h>

using tessaldrin::platform::FormatMessage;
using tessaldrin::platform::LoadString;

TEST(MessageTable, KeepsTabsLineFeedsAndUmlautsAsBytes) {
    EXPECT_EQ(LoadString(21016), "Fortsetzungsdatei:\t\"%s\"\n\n");
    EXPECT_EQ(LoadString(21021), "Falsche Datenbank-Seiten-Gr\xC3\xB6\xC3\x9F"
                                 "e!");
    EXPECT_EQ(LoadString(21033), "\xC3\x84ndere Links in den File-Headern ...");
    EXPECT_EQ(LoadString(21017),
              "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei gefunden!)\n\n");
    EXPECT_EQ(LoadString(21024), "WARNUNG: Checksummen-Fehler, erwarted %d, gefunden %d.\n\n");
}

TEST(MessageTable, HoldsEveryQuotedNumberAndNothingElse) {
    const int quoted[] = {21001, 21002, 21003, 21004, 21005, 21007, 21009, 21015, 21016, 21017,
                          21018, 21020, 21021, 21022, 21023, 21024, 21025, 21026, 21027, 21028,
                          21029, 21030, 21031, 21032, 21033, 21034, 21035, 21036, 21037, 21038,
                          21039, 21040, 21041, 21042, 21043, 21044, 21045, 21050, 21060, 21061,
                          21062, 21063, 21064, 21065, 21066, 21067, 21068, 21069, 21080, 21081,
                          21082, 21083, 21084, 21085, 21086, 21087, 21088, 21089, 21090, 21091};
    for (int id : quoted) {
        EXPECT_FALSE(LoadString(id).empty()) << id;
    }
    for (int id : {21000, 21006, 21008, 21019, 21046, 21051, 21070}) {
        EXPECT_TRUE(LoadString(id).empty()) << id;
    }
}

TEST(MessageTable, FormatsLongNamesWhole) {
    const std::string name(255, 'x');
    const std::string line = FormatMessage(21026, name, name);
    EXPECT_EQ(line, "Link ge\xC3\xA4ndert von \"" + name + "\" zu \"" + name + "\"");
}

TEST(MessageTable, FormatsSignedAndPlainMessages) {
    EXPECT_EQ(FormatMessage(21024, 12345, 0),
              "WARNUNG: Checksummen-Fehler, erwarted 12345, gefunden 0.\n\n");
    // A message without placeholders comes out as it stands, even with a "%".
    EXPECT_EQ(FormatMessage(21001), "JA");
}
