#include "runlog/run_log.h"

#include <gtest/gtest.h>

using tessaldrin::ListRunLog;

TEST(RunLogWriters, ErrorWritersFrameTheTextExactly) {
    ListRunLog log;
    log.LogError("Die Header-Seite kann nicht gelesen werden!");
    log.LogErrorNumber("Falsche Datenbank-Seiten-Gr\xC3\xB6\xC3\x9F"
                       "e!",
                       3000);
    log.LogErrorNumber("Falsche Header-Seiten-Typ, erwartet 1, gefunden", -1);
    ASSERT_EQ(log.Lines.size(), 3u);
    EXPECT_EQ(log.Lines[0], "FEHLER: Die Header-Seite kann nicht gelesen werden!\n\n");
    EXPECT_EQ(log.Lines[1], "FEHLER: Falsche Datenbank-Seiten-Gr\xC3\xB6\xC3\x9F"
                            "e! (3000)\n\n");
    EXPECT_EQ(log.Lines[2], "FEHLER: Falsche Header-Seiten-Typ, erwartet 1, gefunden (-1)\n\n");
}

TEST(RunLogWriters, EntryWithLineFeedsStaysOneEntryAndWritesAccumulate) {
    ListRunLog log;
    log.append("erste\nzweite\r\ndritte");
    log.append("");
    log.AppendMessage(tessaldrin::msg::kRenamingHeading);
    ASSERT_EQ(log.Lines.size(), 3u);
    EXPECT_EQ(log.Lines[0], "erste\nzweite\r\ndritte");
    EXPECT_EQ(log.Lines[1], "");
    EXPECT_EQ(log.Lines[2], "Dateien umbenennen:");
}

TEST(RunLogWriters, ErrorEntriesStayWithin255BytesWithoutSplittingACharacter) {
    ListRunLog log;
    log.LogErrorNumber(std::string(300, 'x'), 7);
    log.LogError(std::string(246, 'y') + "\xC3\xB6\xC3\xB6");
    ASSERT_EQ(log.Lines.size(), 2u);
    EXPECT_EQ(log.Lines[0], "FEHLER: " + std::string(247, 'x'));
    // 8 + 246 = 254 bytes leave no room for the two-byte umlaut at 255.
    EXPECT_EQ(log.Lines[1], "FEHLER: " + std::string(246, 'y'));
}
