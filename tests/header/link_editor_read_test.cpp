#include "tests/header/editor_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tessaldrin::testing;
using tessaldrin::header::LinkEditor;

namespace {

// Another open of the file that holds a lock on it, as the server does.
class HeldLock {
public:
    HeldLock(const std::filesystem::path& file, int kind) : fd_(open(file.c_str(), O_RDONLY)) {
        if (fd_ < 0 || flock(fd_, kind | LOCK_NB) != 0) {
            ADD_FAILURE() << "cannot lock " << file;
        }
    }
    ~HeldLock() { close(fd_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int fd_;
};

bool LockableByOthers(const std::filesystem::path& file) {
    const int fd = open(file.c_str(), O_RDONLY);
    const bool free = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}

} // namespace

using OpenDatabaseFile = EditorTest;

TEST_F(OpenDatabaseFile, RefusesMissingFilesDirectoriesAndFilesLockedElsewhere) {
    EXPECT_FALSE(Open());
    EXPECT_FALSE(std::filesystem::exists(file)) << "an existing file is opened, never created";
    EXPECT_FALSE(Open(dir.path().string()));
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             lines::Error(lines::kCannotOpen), lines::Reason(lines::kMissing),
                             lines::Error(lines::kCannotOpen), lines::Reason(lines::kNotRegular)}));

    WriteFile(file, SyntheticPage().Text());
    for (int kind : {LOCK_SH, LOCK_EX}) {
        log.Lines.clear();
        HeldLock other(file, kind);
        EXPECT_FALSE(Open()) << kind;
        EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Error(lines::kCannotOpen),
                                                       lines::Reason(lines::kHeldElsewhere)}));
    }
}

// The editor works on the file that its holder locked, and closing gives it
// back still locked: only the holder lets go of it.
TEST_F(OpenDatabaseFile, TheFileStaysLockedUntilItsHolderLetsGo) {
    WriteFile(file, SyntheticPage().Text());
    ASSERT_TRUE(Open());
    EXPECT_FALSE(LockableByOthers(file));
    EXPECT_TRUE(editor.CloseDatabaseFile(log));
    EXPECT_FALSE(LockableByOthers(file));
    EXPECT_FALSE(editor.ReadHeaderPage(log)) << "a closed editor reads no file";
    held.Release();
    EXPECT_TRUE(LockableByOthers(file));
    // A second close, without an open, does nothing.
    log.Lines.clear();
    EXPECT_TRUE(editor.CloseDatabaseFile(log));
    // Another file held in the place of the one before.
    const auto other = dir.path() / "Tessaldrin_1.GDB";
    WriteFile(other, SyntheticPage().Text());
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Open(other.string()));
    EXPECT_TRUE(LockableByOthers(file));
    EXPECT_FALSE(LockableByOthers(other));
    EXPECT_TRUE(log.Lines.empty());
}

TEST_F(OpenDatabaseFile, RefusesNamesLongerThan300AndNamesWithAZeroByte) {
    // A path of exactly 300 characters is opened, one of 301 is refused.
    auto deep = dir.path();
    while (deep.string().size() < 300 - 11) {
        deep /= std::string(std::min<std::size_t>(100, 300 - 12 - deep.string().size()), 'd');
    }
    std::filesystem::create_directories(deep);
    const std::string stem = (deep / "").string();
    const std::string exact = stem + std::string(300 - stem.size(), 'f');
    ASSERT_EQ(exact.size(), 300u);
    WriteFile(exact, SyntheticPage().Text());
    WriteFile(exact + "g", SyntheticPage().Text());
    EXPECT_TRUE(Open(exact));
    // Held, as the system opens it, and refused by the editor all the same.
    EXPECT_FALSE(Open(exact + "g"));
    EXPECT_NE(held.At({0}), nullptr);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Error(lines::kCannotOpen),
                                                   lines::Reason(lines::kNameTooLong)}));

    WriteFile(file, SyntheticPage().Text());
    EXPECT_FALSE(Open(file.string() + std::string(1, '\0') + "x"));
    EXPECT_EQ(log.Lines.size(), 4u);
}

using ReadHeaderPage = EditorTest;

TEST_F(ReadHeaderPage, ReadsTheLeastPageOnceAndALargerOneWholeInASecondRead) {
    WriteFile(file, SyntheticPage(1024).Set8(1023, 0x77).Text());
    ASSERT_TRUE(Open());
    EXPECT_TRUE(editor.ReadHeaderPage(log));
    EXPECT_EQ(editor.FileReads(), 1u);
    EXPECT_EQ(editor.HeaderPage()[1023], 0x77);

    for (std::size_t size : {2048u, 4096u, 8192u, 16384u, 32768u}) {
        WriteFile(file, SyntheticPage(size).Set8(size - 1, 0x66).Text() + "behind the page");
        ASSERT_TRUE(Open());
        EXPECT_TRUE(editor.ReadHeaderPage(log)) << size;
        EXPECT_EQ(editor.FileReads(), 2u) << size;
        EXPECT_EQ(editor.HeaderPage()[size - 1], 0x66) << size;
    }
    EXPECT_TRUE(log.Lines.empty());
}

TEST_F(ReadHeaderPage, RefusesShortFilesAndPageSizesNotAccepted) {
    WriteFile(file, SyntheticPage(1024).Text().substr(0, 1023));
    ASSERT_TRUE(Open());
    EXPECT_FALSE(editor.ReadHeaderPage(log));

    // The page states 4096 bytes, the file holds 1024.
    WriteFile(file, SyntheticPage(4096).Text().substr(0, 1024));
    ASSERT_TRUE(Open());
    EXPECT_FALSE(editor.ReadHeaderPage(log));
    EXPECT_EQ(log.Lines, std::vector<std::string>(2, lines::Error(lines::kCannotRead)));

    log.Lines.clear();
    for (std::uint16_t size : {3000, 0, 512, 65535}) {
        WriteFile(file, SyntheticPage(4096).Set16(16, size).Text());
        ASSERT_TRUE(Open());
        EXPECT_FALSE(editor.ReadHeaderPage(log));
        EXPECT_EQ(editor.FileReads(), 1u);
    }
    EXPECT_EQ(log.Lines, (std::vector<std::string>{lines::Error(lines::kWrongPageSize, 3000),
                                                   lines::Error(lines::kWrongPageSize, 0),
                                                   lines::Error(lines::kWrongPageSize, 512),
                                                   lines::Error(lines::kWrongPageSize, 65535)}));

    // Without an open file there is nothing to read.
    editor.CloseDatabaseFile(log);
    log.Lines.clear();
    EXPECT_FALSE(editor.ReadHeaderPage(log));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kCannotRead)});
}

using CheckHeaderPage = EditorTest;

TEST_F(CheckHeaderPage, RefusesOtherPageTypesSignedAndContinuedHeaders) {
    EXPECT_FALSE(Prepare(SyntheticPage().Set8(0, 5)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kWrongPageType, 5)});
    EXPECT_FALSE(Prepare(SyntheticPage().Set8(0, 255)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kWrongPageType, -1)});
    EXPECT_FALSE(Prepare(SyntheticPage().Set32(24, 7)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kContinuedHeader)});
    EXPECT_FALSE(Prepare(SyntheticPage().Set32(24, 0x80000000)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kContinuedHeader)});
}

TEST_F(CheckHeaderPage, WarnsOfAChecksumMismatchWithExpectedThenStoredAndAcceptsThePage) {
    EXPECT_TRUE(Prepare(SyntheticPage(1024, 10).StoreChecksum(0)));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::ChecksumWarning(12345, 0)});
    EXPECT_TRUE(Prepare(SyntheticPage(1024, 10).StoreChecksum(12345)));
    EXPECT_TRUE(log.Lines.empty());

    SyntheticPage old(4096, 7);
    old.Entry(3, "C:\\DB\\Tessaldrin_1.GDB").Set16(60, 16);
    const std::uint16_t sum = old.Sum();
    EXPECT_TRUE(Prepare(old.StoreChecksum(sum)));
    EXPECT_TRUE(log.Lines.empty());
    // Unsigned: a stored value above 32767 is not shown negative.
    EXPECT_TRUE(Prepare(old.StoreChecksum(static_cast<std::uint16_t>(sum + 40000))));
    EXPECT_EQ(log.Lines, std::vector<std::string>{
                             lines::ChecksumWarning(sum, static_cast<std::uint16_t>(sum + 40000))});
}

TEST_F(CheckHeaderPage, KeepsTheChecksumOfNewerFormsUncomparedAndRefusesUnknownOnes) {
    EXPECT_TRUE(Prepare(SyntheticPage(4096, 0x800C, 132).StoreChecksum(0x1234)));
    EXPECT_TRUE(Prepare(SyntheticPage(8192, 0x800D, 128).StoreChecksum(0)));
    EXPECT_TRUE(log.Lines.empty());
    for (std::uint16_t word : {0x800E, 0x8013}) {
        SyntheticPage page(4096, word, 128);
        page.Entry(2, "/db/Tessaldrin_1.GDB");
        EXPECT_FALSE(Prepare(page));
        EXPECT_EQ(log.Lines,
                  std::vector<std::string>{lines::Error(lines::kUnsupportedForm, word & 0x7FFF)});
    }
}

using ReadContinuationLink = EditorTest;

TEST_F(ReadContinuationLink, FindsTheFirstLinkBehindOpaqueEntries) {
    SyntheticPage page(2048, 10);
    page.Entry(1, "root file")
        .Entry(4, std::string(4, '\x01'))
        .Entry(3, "E:\\Alt\\Tessaldrin_1.GDB");
    page.Entry(3, "second");
    ASSERT_TRUE(Prepare(page));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "E:\\Alt\\Tessaldrin_1.GDB");
    EXPECT_EQ(log.Lines,
              std::vector<std::string>{lines::Continuation("E:\\Alt\\Tessaldrin_1.GDB")});

    // A name of 255 characters comes out whole.
    const std::string longName(255, 'L');
    ASSERT_TRUE(Prepare(SyntheticPage(1024).Entry(3, longName)));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Continuation(longName)});
}

TEST_F(ReadContinuationLink, ReportsTheLastFileWhenTheEntriesEndWithoutALink) {
    ASSERT_TRUE(Prepare(SyntheticPage()));
    EXPECT_FALSE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "");
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::kLastFile});

    // Opaque entries that fill the page to its last byte: the page end ends
    // the entries, and it is no overrun.
    ASSERT_TRUE(Prepare(SyntheticPage(1024).FillTo(1024)));
    EXPECT_FALSE(editor.ReadContinuationLink(log));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::kLastFile});
}

TEST_F(ReadContinuationLink, ReportsEntriesThatOverrunThePage) {
    SyntheticPage page(1024);
    page.FillTo(1021);
    page.Set8(1021, 3).Set8(1022, 2); // two bytes of data, only one left
    ASSERT_TRUE(Prepare(page));
    EXPECT_FALSE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "");
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Error(lines::kOverran)});

    // The next read of a sound page finds its link.
    ASSERT_TRUE(Prepare(SyntheticPage().Entry(3, "next")));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(log.Lines, std::vector<std::string>{lines::Continuation("next")});
}

TEST_F(ReadContinuationLink, ReadsTheNewerFormsFromTheirOwnDataStart) {
    // In the Firebird 3 form, type 3 is the last-page entry, and bytes 96 to
    // 131 belong to the fixed part.
    SyntheticPage ods12(4096, 0x800C, 132);
    ods12.Set8(96, 3).Set8(97, 10).Set8(98, 'X');
    ods12.Entry(3, std::string("\x2c\x01\x00\x00", 4)).Entry(2, "/srv/db/Tessaldrin_1.GDB");
    ASSERT_TRUE(Prepare(ods12));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "/srv/db/Tessaldrin_1.GDB");

    SyntheticPage ods13(8192, 0x800D, 128);
    ods13.Entry(2, "/srv/db/Tessaldrin_2.GDB").Entry(3, std::string(4, '\0'));
    ASSERT_TRUE(Prepare(ods13));
    EXPECT_TRUE(editor.ReadContinuationLink(log));
    EXPECT_EQ(editor.OldLinkName, "/srv/db/Tessaldrin_2.GDB");
}
