// The join's journal, the names it puts files aside under, and its progress
// line.
#include "join/join_journal.h"
#include "join/terminal_progress.h"
#include "platform/find_files.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tessaldrin::join;
using Outcome = JournalReading::Outcome;

namespace {

JoinJournal Sample() {
    return {"/db/Tessaldrin.TDB",
            1232896,
            4096,
            std::string(kCommitSectorSize, '\x01'),
            std::string(kCommitSectorSize, '\xfe'),
            {{"/db/mit Leerzeichen/Tessaldrin_1.TDB", 1232896, 0xfeedbeefcafe0001u},
             {"/db/Tessaldrin_2.TDB", 8192, 1}}};
}

} // namespace

// Every fact stands in the text, so a journal read back and written again
// is the same text.
TEST(JoinJournal, ReadsBackEveryFactItWrote) {
    const std::string text = JournalText(Sample());
    const JournalReading read = ReadJournal(text);
    ASSERT_EQ(read.outcome, Outcome::kComplete);
    EXPECT_EQ(JournalText(read.journal), text);
    EXPECT_EQ(read.journal.secondaries.at(0).path, Sample().secondaries[0].path);
}

// Cut short while it was written, nothing else changed and the journal may
// go; anything else is not this program's journal and is never acted on.
TEST(JoinJournal, TellsOneCutShortFromAFileItCannotTrust) {
    const std::string text = JournalText(Sample());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        return changed.replace(changed.find(from), from.size(), to);
    };
    const struct {
        const char* name;
        std::string text;
        Outcome outcome;
    } cases[] = {
        {"empty", "", Outcome::kCutShort},
        {"blocks of zeros", std::string(4096, '\0'), Outcome::kCutShort},
        {"in its first line", text.substr(0, 12), Outcome::kCutShort},
        {"before its closing line", text.substr(0, text.size() - 4), Outcome::kCutShort},
        {"followed by zeros", text.substr(0, 300) + std::string(4096, '\0'), Outcome::kCutShort},
        {"another file", "Tessaldrin-Mover log\n", Outcome::kForeign},
        {"a page size that is no number", replaced("page-size 4096", "page-size 4O96"),
         Outcome::kForeign},
        {"a sector a byte short", replaced("old-sector 0101", "old-sector 01"), Outcome::kForeign},
        {"no secondary", replaced(text.substr(text.find("secondary")), "end\n"), Outcome::kForeign},
        {"a secondary without a path", replaced(" /db/Tessaldrin_2.TDB", ""), Outcome::kForeign},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadJournal(c.text).outcome, c.outcome) << c.name;
    }
}

TEST(JoinNames, AreMatchedByNoSearchForDatabaseFiles) {
    for (const std::string name :
         {"Tessaldrin.TDB", "Tessaldrin.GDB", "Tessaldrin_1.TDB", "Tessaldrin_12.gdb"}) {
        for (const std::string& left : {JournalPathFor(name), AsideNameFor(name)}) {
            EXPECT_FALSE(tessaldrin::platform::MatchesPattern("Tessaldrin.?DB", left)) << left;
            EXPECT_FALSE(tessaldrin::platform::MatchesPattern("Tessaldrin_*.?DB", left)) << left;
        }
    }
}

TEST(JoinProgressLine, IsRewrittenInPlaceAndEndedByTheNextStep) {
    std::ostringstream terminal;
    TerminalProgress progress(terminal);
    constexpr std::uint64_t kMb = 1 << 20;
    progress.Show({JoinStep::kCopy, 0, 300 * kMb});
    progress.Show({JoinStep::kCopy, 150 * kMb, 300 * kMb}); // within the interval: not shown
    progress.Show({JoinStep::kCopy, 300 * kMb, 300 * kMb});
    progress.Show({JoinStep::kSync});
    progress.Show({JoinStep::kCommit});
    EXPECT_EQ(terminal.str(), "\rKopiere Seiten: 0 % (0 von 300 MB)"
                              "\rKopiere Seiten: 100 % (300 von 300 MB)\n");
}
