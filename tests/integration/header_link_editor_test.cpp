// The link editor on the header pages that the Firebird 3 server writes.
#include "header/link_editor.h"
#include "runlog/run_log.h"
#include "tests/header/editor_fixture.h"
#include "tests/header/expected_lines.h"
#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace tessaldrin;
using namespace tessaldrin::testing;

namespace {

std::vector<fs::path> ThreeFiles(const fs::path& dir) {
    return {dir / "Tessaldrin.GDB", dir / "Tessaldrin_1.GDB", dir / "Tessaldrin_2.GDB"};
}

// Opens, reads and checks `file`, then reads its link; the editor stays
// open on it, held by `held`.
bool ReadLink(header::LinkEditor& editor, header::HeldDatabaseFiles& held, const fs::path& file,
              RunLog& log) {
    return OpenHeld(editor, held, file.string(), log) && editor.ReadHeaderPage(log) &&
           editor.CheckHeaderPage(log) && editor.ReadContinuationLink(log);
}

} // namespace

// Reads the links of a three-file database, rewrites them in a copy in
// another directory and lets the server read every row of the copy.
TEST(HeaderLinksOfARealDatabase, AreReadAndRewrittenSoThatTheServerReadsTheMovedCopy) {
    ServerDir dir;
    DatabaseLayout layout;
    layout.files = ThreeFiles(dir.path());
    CreateDatabase(layout);

    header::LinkEditor editor;
    header::HeldDatabaseFiles held;
    ListRunLog log;
    for (std::size_t i = 0; i < layout.files.size(); ++i) {
        const bool linked = ReadLink(editor, held, layout.files[i], log);
        editor.CloseDatabaseFile(log);
        held.Release();
        EXPECT_EQ(linked, i + 1 < layout.files.size()) << layout.files[i];
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Continuation(layout.files[1].string()),
                                                   lines::Continuation(layout.files[2].string()),
                                                   lines::kLastFile}));

    // The copy alone, the old files gone: the old links lead nowhere.
    const fs::path moved = dir.makeSubdir("Neu mit einem laengeren Namen");
    const auto copies = ThreeFiles(moved);
    for (std::size_t i = 0; i < layout.files.size(); ++i) {
        CopyForServer(layout.files[i], copies[i]);
        fs::remove(layout.files[i]);
    }
    ASSERT_EQ(CountRows(copies[0]), -1);

    log.Lines.clear();
    for (std::size_t i = 0; i + 1 < copies.size(); ++i) {
        ASSERT_TRUE(ReadLink(editor, held, copies[i], log));
        const std::string newLink = (moved / fs::path(editor.OldLinkName).filename()).string();
        EXPECT_EQ(newLink, copies[i + 1].string());
        EXPECT_TRUE(ChangeLink(editor, newLink, log));
        editor.CloseDatabaseFile(log);
    }
    held.Release();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             lines::Continuation(layout.files[1].string()),
                             lines::Changed(layout.files[1].string(), copies[1].string()),
                             lines::Continuation(layout.files[2].string()),
                             lines::Changed(layout.files[2].string(), copies[2].string())}));
    std::string why;
    EXPECT_EQ(CountRows(copies[0], &why), layout.rows) << why;
}

// The server locks every file of an attached database: each is refused and
// stays as it was, and is editable again once the attachment ends.
TEST(HeaderLinksOfARealDatabase, AreNotTouchedWhileTheServerHoldsTheDatabaseAttached) {
    ServerDir dir;
    DatabaseLayout layout;
    layout.files = ThreeFiles(dir.path());
    layout.rows = 20;
    CreateDatabase(layout);

    header::LinkEditor editor;
    header::HeldDatabaseFiles files;
    ListRunLog log;
    {
        HeldAttachment held(layout.files);
        std::vector<std::string> before;
        for (const auto& file : layout.files) {
            before.push_back(ReadBytes(file));
        }
        // The whole sequence, as a run would go through it.
        for (const auto& file : layout.files) {
            EXPECT_FALSE(ReadLink(editor, files, file, log)) << file;
            EXPECT_FALSE(ChangeLink(editor, "/elsewhere/Tessaldrin_1.GDB", log)) << file;
            editor.CloseDatabaseFile(log);
        }
        EXPECT_EQ(log.Lines,
                  (std::vector<std::string>{
                      lines::Error(lines::kCannotOpen), lines::Reason(lines::kHeldElsewhere),
                      lines::Error(lines::kCannotWrite), lines::Error(lines::kCannotOpen),
                      lines::Reason(lines::kHeldElsewhere), lines::Error(lines::kCannotWrite),
                      lines::Error(lines::kCannotOpen), lines::Reason(lines::kHeldElsewhere),
                      lines::Error(lines::kCannotWrite)}));
        for (std::size_t i = 0; i < layout.files.size(); ++i) {
            EXPECT_TRUE(ReadBytes(layout.files[i]) == before[i]) << layout.files[i];
        }
    }
    log.Lines.clear();
    EXPECT_TRUE(ReadLink(editor, files, layout.files[0], log));
    editor.CloseDatabaseFile(log);
    files.Release();
    EXPECT_EQ(CountRows(layout.files[0]), layout.rows);
}
