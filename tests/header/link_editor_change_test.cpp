#include "tests/header/editor_fixture.h"

#include <csignal>
#include <fstream>
#include <sys/resource.h>

using namespace tessaldrin::testing;

namespace {

// A classic page of ODS 10 with a root entry, the link and two opaque
// entries behind it; the checksum is the fixed value of that version. Every
// byte of the fixed part that the rebuilt page must carry over is non-zero.
SyntheticPage ChainPage(const std::string& link, std::size_t size = 1024) {
    SyntheticPage page(size, 10);
    page.FillFixedPart().Set32(28, 0x01020304).Set16(64, 2);
    page.Entry(1, "root").Entry(3, link).Entry(6, std::string(4, '\x09')).Entry(8, "tail");
    return page.MarkEnd().StoreChecksum(12345);
}

} // namespace

using ChangeContinuationLink = EditorTest;

TEST_F(ChangeContinuationLink, MovesLaterEntriesAndRebuildsThePage) {
    // Longer and shorter names; behind the old end marker the page held
    // bytes that the rebuilt page does not carry.
    for (const std::string& newName : std::vector<std::string>{
             "/neu/Tessaldrin_1.TDB", "E:\\A\\T1.TDB", std::string(253, 'n')}) {
        SyntheticPage page = ChainPage("E:\\Alt\\Tessaldrin_1.GDB");
        page.Set8(page.End() + 3, 0xEE).Set8(1000, 0xEE);
        EXPECT_TRUE(Change(page, newName)) << newName;
        EXPECT_EQ(log.Lines,
                  (std::vector<std::string>{lines::Continuation("E:\\Alt\\Tessaldrin_1.GDB"),
                                            lines::Changed("E:\\Alt\\Tessaldrin_1.GDB", newName)}));
        EXPECT_EQ(editor.OldLinkName, "E:\\Alt\\Tessaldrin_1.GDB");
        EXPECT_EQ(editor.FileWrites(), 1u);
        EXPECT_EQ(FileBytes(), ChainPage(newName).Text()) << newName;
    }
}

TEST_F(ChangeContinuationLink, WritesTheComputedChecksumForOldVersionsAndReadsBackClean) {
    SyntheticPage page(2048, 8);
    page.FillFixedPart().Set16(60, 16).Entry(3, "old").Entry(5, "x").MarkEnd();
    EXPECT_TRUE(Change(page.StoreChecksum(page.Sum()), "C:\\new\\place\\Tessaldrin_1.TDB"));

    SyntheticPage expected(2048, 8);
    expected.FillFixedPart()
        .Set16(60, 16)
        .Entry(3, "C:\\new\\place\\Tessaldrin_1.TDB")
        .Entry(5, "x")
        .MarkEnd();
    EXPECT_EQ(FileBytes(), expected.StoreChecksum(expected.Sum()).Text());

    // Read again: the new link, and a checksum that matches.
    editor.CloseDatabaseFile(log);
    log.Lines.clear();
    ASSERT_TRUE(Open() && editor.ReadHeaderPage(log) && editor.CheckHeaderPage(log));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "C:\\new\\place\\Tessaldrin_1.TDB");
    EXPECT_EQ(log.Lines,
              std::vector<std::string>{lines::Continuation("C:\\new\\place\\Tessaldrin_1.TDB")});
}

TEST_F(ChangeContinuationLink, ReplacesEveryLinkEachWithItsOwnLine) {
    SyntheticPage page(1024, 10);
    page.Entry(3, "first").Entry(7, "between").Entry(3, "second-old").MarkEnd();
    EXPECT_TRUE(Change(page, "same"));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Continuation("first"),
                                                   lines::Changed("first", "same"),
                                                   lines::Changed("second-old", "same")}));
    EXPECT_EQ(editor.OldLinkName, "second-old");
    SyntheticPage expected(1024, 10);
    expected.Entry(3, "same").Entry(7, "between").Entry(3, "same").MarkEnd().StoreChecksum(12345);
    EXPECT_EQ(FileBytes(), expected.Text());
}

TEST_F(ChangeContinuationLink, MovesTheEnginesEndOffsetOnlyWhenItPointedAtTheEnd) {
    SyntheticPage page = ChainPage("old");
    page.Set16(66, 0);
    EXPECT_TRUE(Change(page, "a good deal longer than old"));
    SyntheticPage expected = ChainPage("a good deal longer than old");
    EXPECT_EQ(FileBytes(), expected.Set16(66, 0).Text());

    // Pointing elsewhere in the entries: kept as it was.
    page.Set16(66, 100);
    EXPECT_TRUE(Change(page, "new"));
    EXPECT_EQ(FileBytes(), ChainPage("new").Set16(66, 100).Text());
}

TEST_F(ChangeContinuationLink, RefusesWhatDoesNotFitAndLeavesTheFileAsItWas) {
    struct Case {
        const char* what;
        SyntheticPage page;
        std::string newName;
        std::vector<std::string> lines;
    };
    // The link starts 155 + 2 bytes before the page end.
    SyntheticPage noRoom(1024);
    noRoom.Entry(1, std::string(255, 'a')).Entry(1, std::string(255, 'b'));
    noRoom.Entry(1, std::string(255, 'c')).Entry(3, "old");
    // The entries end 10 bytes before the page end: a name of 13 fits where
    // "old" stood, one of 14 pushes the last entry past the end.
    SyntheticPage pushed(1024);
    pushed.Entry(3, "old").Entry(1, std::string(255, 'a')).Entry(1, std::string(255, 'b'));
    pushed.Entry(1, std::string(255, 'c')).Entry(9, std::string(140, 'd'));
    SyntheticPage laterOverrun(1024);
    laterOverrun.Entry(3, std::string(200, 'o')).Entry(1, std::string(255, 'a'));
    laterOverrun.Entry(1, std::string(255, 'b')).Entry(1, std::string(200, 'c'));
    laterOverrun.Set8(1014, 9).Set8(1015, 100);
    SyntheticPage laterLinkOverrun(1024);
    laterLinkOverrun.Entry(3, std::string(200, 'o')).Entry(1, std::string(255, 'a'));
    laterLinkOverrun.Entry(1, std::string(255, 'b')).Entry(1, std::string(200, 'c'));
    laterLinkOverrun.Set8(1014, 3).Set8(1015, 20);
    SyntheticPage noLink(1024);
    noLink.Entry(1, "root").Entry(5, "x");
    // What a torn write can leave behind a sound first link.
    SyntheticPage damagedLater(1024);
    damagedLater.Entry(3, "old").Entry(3, "Tess\x1f\x7f");

    const std::vector<Case> cases = {
        {"a name that does not fit behind the entries before it",
         noRoom,
         std::string(156, 'n'),
         {lines::Continuation("old"), lines::Error(lines::kNameDoesNotFit)}},
        {"a longer name that pushes a later entry past the end",
         pushed,
         std::string(14, 'n'),
         {lines::Continuation("old"), lines::Changed("old", std::string(14, 'n')),
          lines::Error(lines::kEntriesTooLarge)}},
        {"a later entry that runs past the page as read",
         laterOverrun,
         "short",
         {lines::Continuation(std::string(200, 'o')),
          lines::Changed(std::string(200, 'o'), "short"), lines::Error(lines::kEntriesBroken)}},
        {"a longer name that pushes that entry further past the end",
         laterOverrun,
         std::string(250, 'n'),
         {lines::Continuation(std::string(200, 'o')),
          lines::Changed(std::string(200, 'o'), std::string(250, 'n')),
          lines::Error(lines::kEntriesTooLarge)}},
        {"a later link that runs past the page as read",
         laterLinkOverrun,
         "short",
         {lines::Continuation(std::string(200, 'o')),
          lines::Changed(std::string(200, 'o'), "short"), lines::Error(lines::kEntriesBroken)}},
        {"a page without a link",
         noLink,
         "new",
         {lines::kLastFile, lines::Error(lines::kNoContinuation)}},
        {"a later link holding a byte below 0x20",
         damagedLater,
         "new",
         {lines::Continuation("old"), lines::Changed("old", "new"),
          lines::Error(lines::kDamagedLink)}},
        {"a name longer than 253 characters",
         ChainPage("old", 4096),
         std::string(254, 'n'),
         {lines::Continuation("old"), lines::Error(lines::kNameDoesNotFit)}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Change(c.page, c.newName)) << c.what;
        EXPECT_EQ(log.Lines, c.lines) << c.what;
        EXPECT_EQ(editor.FileWrites(), 0u) << c.what;
        EXPECT_EQ(FileBytes(), c.page.Text()) << c.what;
    }
    // One character less fits in the pages that refused the name.
    EXPECT_TRUE(Change(pushed, std::string(13, 'n')));
    EXPECT_TRUE(Change(noRoom, std::string(155, 'n')));
}

TEST_F(ChangeContinuationLink, NeverWritesAPageThatWasNotReadAndCheckedForThisFile) {
    // A page read and checked from one file is not written into the next
    // file, whose own page could not be read.
    const auto other = dir.path() / "Tessaldrin_1.GDB";
    ASSERT_TRUE(Prepare(ChainPage("old")));
    ASSERT_TRUE(editor.ReadContinuationLink(log));
    WriteFile(other, "too short");
    ASSERT_TRUE(Open(other.string()));
    EXPECT_FALSE(editor.ReadHeaderPage(log));
    log.Lines.clear();
    EXPECT_FALSE(ChangeLink("new"));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kCannotWrite)});
    EXPECT_EQ(ReadBytes(other), "too short");

    // Read but refused by the check.
    EXPECT_FALSE(Prepare(ChainPage("old").Set8(0, 5)));
    EXPECT_FALSE(ChangeLink("new"));
    EXPECT_EQ(FileBytes(), ChainPage("old").Set8(0, 5).Text());

    // Checked, then closed.
    ASSERT_TRUE(Prepare(ChainPage("old")));
    editor.CloseDatabaseFile(log);
    EXPECT_FALSE(ChangeLink("new"));
    EXPECT_EQ(FileBytes(), ChainPage("old").Text());

    // Checked, then opened for reading elsewhere, as by a program that locks
    // nothing; then changed on disk by one.
    ASSERT_TRUE(Prepare(ChainPage("old")));
    {
        std::ifstream reader(file);
        EXPECT_FALSE(ChangeLink("new"));
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Changed("old", "new"),
                                                   lines::Error(lines::kCannotWrite),
                                                   lines::Reason(lines::kHeldElsewhere)}));
    WriteFile(file, ChainPage("other").Text());
    log.Lines.clear();
    EXPECT_FALSE(ChangeLink("new"));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Changed("old", "new"),
                                                   lines::Error(lines::kPageChanged)}));
    EXPECT_EQ(FileBytes(), ChainPage("other").Text());
}

TEST_F(ChangeContinuationLink, RebuildsTheNewerFormsKeepingTheirFixedPartAndChecksum) {
    struct Form {
        std::uint16_t word;
        std::size_t dataStart;
    };
    for (const Form form : {Form{0x800C, 132}, Form{0x800D, 128}}) {
        const auto page = [&](const std::string& link) {
            SyntheticPage p(4096, form.word, form.dataStart);
            p.FillFixedPart().StoreChecksum(0xBEEF).Set32(88, 0x41414141).Set8(96, 3).Set8(97, 200);
            p.Entry(2, link).Entry(3, std::string("\x2c\x01\x00\x00", 4));
            return p.MarkEnd();
        };
        EXPECT_TRUE(Change(page("/tmp/old/Tessaldrin_1.GDB"), "/srv/new/Tessaldrin_1.TDB"))
            << form.word;
        EXPECT_EQ(FileBytes(), page("/srv/new/Tessaldrin_1.TDB").Text()) << form.word;
    }
}

// The kernel shortens a write that would pass the file size limit: a real
// short write, and with a limit of 0 a failed one. The page as read is
// written back, so the file stays as it was.
TEST_F(ChangeContinuationLink, ReportsAShortOrFailedWriteUnderAFileSizeLimit) {
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    for (rlim_t limit : {rlim_t{1000}, rlim_t{0}}) {
        const SyntheticPage page = ChainPage("old");
        ASSERT_TRUE(Prepare(page));
        ASSERT_TRUE(editor.ReadContinuationLink(log));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tight = saved;
        tight.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &tight);
        const bool changed = ChangeLink("a new and longer name");
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(changed) << limit;
        EXPECT_EQ(log.Lines.back(), lines::Error(lines::kCannotWrite)) << limit;
        EXPECT_EQ(FileBytes(), page.Text()) << limit;
    }
    std::signal(SIGXFSZ, previous);
}
