// The Windows implementation of the platform layer at work in the program's
// steps, under the Windows calls themselves: discovery, renaming, the
// relinking pass on both header page forms, and a database file that another
// process holds open.
#include "platform/windows/windows_api.h"

#include "app/adjustment.h"
#include "header/chain_relinking_pass.h"
#include "platform/format_message.h"
#include "platform/locked_file.h"
#include "platform/module_file_name.h"
#include "platform/move_file.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>

using namespace tessaldrin;
using namespace tessaldrin::testing;
using namespace tessaldrin::testing::windows;
using platform::FormatMessage;
using platform::LoadString;
using Lines = std::vector<std::string>;

namespace {

struct AdjustmentInWinDir {
    WinTempDir dir;
    ListRunLog log;
    Adjustment adjustment{log, dir / "tessaldrin-mover-cli.exe"};

    void Touch(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            WriteAll(dir / name, name);
        }
    }
};

Lines Listing(const Lines& paths) {
    Lines lines{"", LoadString(21031)};
    lines.insert(lines.end(), paths.begin(), paths.end());
    return lines;
}

} // namespace

TEST(WindowsDiscovery, ListsThePrimaryFirstThenSecondariesInTextOrderUnderWindowsPaths) {
    AdjustmentInWinDir at;
    at.Touch({"Tessaldrin_2.GDB", "Tessaldrin_10.GDB", "Tessaldrin.GDB", "Tessaldrin_b.GDB",
              "tessaldrin_A.gdb", "Tessaldrin.DB", "Tessaldrin.GDBX", "Tessaldrin_1.GDBX",
              "Other_1.GDB"});
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    const Lines expected{at.dir / "Tessaldrin.GDB", at.dir / "Tessaldrin_10.GDB",
                         at.dir / "Tessaldrin_2.GDB", at.dir / "tessaldrin_A.gdb",
                         at.dir / "Tessaldrin_b.GDB"};
    EXPECT_EQ(at.adjustment.FileList, expected);
    EXPECT_EQ(at.adjustment.DatabaseDir, at.dir.withSeparator());
    EXPECT_EQ(at.adjustment.DatabaseDir.back(), '\\');
    EXPECT_EQ(at.log.Lines, Listing(expected));

    AdjustmentInWinDir secondariesOnly;
    secondariesOnly.Touch({"Tessaldrin_1.GDB", "Tessaldrin.DB"});
    EXPECT_FALSE(secondariesOnly.adjustment.FindDatabaseFiles());
    EXPECT_TRUE(secondariesOnly.adjustment.FileList.empty());
    EXPECT_EQ(secondariesOnly.log.Lines, Lines{LoadString(21032)});
}

TEST(WindowsDiscovery, SearchesTheRunningProgramsDirectoryAsGetModuleFileNameGivesIt) {
    const std::string program = platform::ModuleFileName();
    ASSERT_GT(program.size(), 3u);
    EXPECT_EQ(program.substr(1, 2), ":\\") << program;
    EXPECT_EQ(program.substr(program.size() - 4), ".exe");
    ListRunLog log;
    Adjustment own(log, "");
    own.FindDatabaseFiles();
    EXPECT_EQ(own.DatabaseDir, program.substr(0, program.rfind('\\') + 1));
}

TEST(WindowsRenaming, GivesEveryFileTdbAndNeverReplacesAnExistingFile) {
    AdjustmentInWinDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.GDB", "Tessaldrin_1.TDB", "Tessaldrin_2.tdb"});
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    ASSERT_TRUE(at.adjustment.NeedsRenaming());
    at.log.Lines.clear();
    at.adjustment.RenameFiles();
    // Tessaldrin_1.TDB was there already: that rename fails silently, and
    // the file of that name is moved onto itself; the lower-case extension
    // becomes upper case.
    EXPECT_EQ(
        at.log.Lines,
        (Lines{"", LoadString(21034),
               FormatMessage(21035, at.dir / "Tessaldrin.GDB", at.dir / "Tessaldrin.TDB"),
               FormatMessage(21035, at.dir / "Tessaldrin_1.TDB", at.dir / "Tessaldrin_1.TDB"),
               FormatMessage(21035, at.dir / "Tessaldrin_2.tdb", at.dir / "Tessaldrin_2.TDB")}));
    EXPECT_EQ(at.adjustment.FileList,
              (Lines{at.dir / "Tessaldrin.TDB", at.dir / "Tessaldrin_1.GDB",
                     at.dir / "Tessaldrin_1.TDB", at.dir / "Tessaldrin_2.TDB"}));
    // Wine on a file system that tells case apart keeps the old spelling on
    // disk where Windows gives the new one; either way the new name opens it.
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_2.TDB"), "Tessaldrin_2.tdb");
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_1.TDB"), "Tessaldrin_1.TDB");
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin_1.GDB"), "Tessaldrin_1.GDB");
    EXPECT_EQ(ReadAll(at.dir / "Tessaldrin.TDB"), "Tessaldrin.GDB");

    // The run still holds its files, so the plain rename is tried on others:
    // onto itself allowed, nothing moves; onto another file refused.
    at.Touch({"Eigen.TDB", "Andere.GDB"});
    EXPECT_TRUE(platform::MoveFile(at.dir / "Eigen.TDB", at.dir / "Eigen.TDB"));
    EXPECT_FALSE(platform::MoveFile(at.dir / "Andere.GDB", at.dir / "Eigen.TDB"));
    EXPECT_FALSE(platform::MoveFile(at.dir / "missing.GDB", at.dir / "missing.TDB"));
    EXPECT_EQ(ReadAll(at.dir / "Eigen.TDB"), "Eigen.TDB");
    EXPECT_EQ(ReadAll(at.dir / "Andere.GDB"), "Andere.GDB");
}

namespace {

// A header page form: its ODS version word, where its entries start, and the
// type of its continuation entry. Both keep the checksum field as stored.
struct Form {
    std::uint16_t odsVersion;
    std::size_t dataStart;
    std::uint8_t linkType;
};

SyntheticPage LinkingPage(const Form& form, const std::string& link) {
    SyntheticPage page(2048, form.odsVersion, form.dataStart);
    return page.Entry(1, "root").Entry(form.linkType, link).Entry(8, "tail").MarkEnd();
}

} // namespace

TEST(WindowsRelinkingPass, RewritesTheClassicAndTheFirebird3FormByteExact) {
    for (const Form form : {Form{10, 96, 3}, Form{0x800C, 132, 2}}) {
        WinTempDir dir;
        const std::string old = "E:\\Alt\\Tessaldrin_1.GDB";
        WriteAll(dir / "Tessaldrin.TDB", LinkingPage(form, old).Text());
        SyntheticPage last(2048, form.odsVersion, form.dataStart);
        last.Entry(4, "x").MarkEnd();
        WriteAll(dir / "Tessaldrin_1.TDB", last.Text());

        ListRunLog log;
        const Lines files{dir / "Tessaldrin.TDB", dir / "Tessaldrin_1.TDB"};
        header::HeldDatabaseFiles held;
        EXPECT_TRUE(held.Take(files));
        EXPECT_TRUE(header::ChangeHeaderLinks(files, dir.withSeparator(), log, held));
        EXPECT_EQ(ReadAll(files[0]), LinkingPage(form, dir / "Tessaldrin_1.TDB").Text())
            << form.odsVersion;
        EXPECT_EQ(ReadAll(files[1]), last.Text());
        EXPECT_EQ(log.Lines,
                  (Lines{"", LoadString(21033), FormatMessage(21039, files[0]),
                         lines::Continuation(old), lines::Changed(old, dir / "Tessaldrin_1.TDB"),
                         "", FormatMessage(21039, files[1]), lines::kLastFile, ""}));
    }
}

TEST(WindowsRelinkingPass, RefusesAFileThatAnotherProcessHoldsOpenAndLeavesItAsItWas) {
    WinTempDir dir;
    const Form classic{10, 96, 3};
    const std::string file = dir / "Tessaldrin.TDB";
    const std::string before = LinkingPage(classic, "E:\\Alt\\Tessaldrin_1.GDB").Text();
    WriteAll(file, before);
    {
        const HeldByAnotherProcess server(file);
        EXPECT_FALSE(platform::LockedFile::Open(file));
        ListRunLog log;
        header::HeldDatabaseFiles held;
        EXPECT_FALSE(held.Take({file}));
        EXPECT_FALSE(header::ChangeHeaderLinks({file}, dir.withSeparator(), log, held));
        EXPECT_EQ(log.Lines, (Lines{"", LoadString(21033), FormatMessage(21039, file),
                                    lines::Error(lines::kCannotOpen),
                                    lines::Reason(lines::kHeldElsewhere), ""}));
        // Nor is it renamed while held, not even onto its own name.
        EXPECT_FALSE(platform::MoveFile(file, dir / "Tessaldrin.GDB"));
        EXPECT_FALSE(platform::MoveFile(file, file));
        EXPECT_EQ(ReadAll(file), before);
    }
    // Let go, it opens.
    EXPECT_TRUE(platform::LockedFile::Open(file));
    EXPECT_EQ(dir.Names(), Lines{"Tessaldrin.TDB"});
}

TEST(WindowsLockedFile, OpensForUpdateOnlyAFileWithOneNameAndKeepsOtherWritersOut) {
    WinTempDir dir;
    const std::string file = dir / "Tessaldrin.TDB";
    WriteAll(file, "page");
    {
        auto open = platform::LockedFile::Open(file);
        ASSERT_TRUE(open);
        // While it is open, others may read it (sharing the rename that the
        // holder may make) but not write it.
        const HANDLE reader = CreateFileA(file.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        CloseHandle(reader);
        const HANDLE writer =
            CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    // A second name for the same file: neither name opens it for update.
    using Reason = platform::OpenFailure::Reason;
    platform::OpenFailure why;
    ASSERT_TRUE(CreateHardLinkA((dir / "Zweiter.TDB").c_str(), file.c_str(), nullptr));
    EXPECT_FALSE(platform::LockedFile::Open(file, &why));
    EXPECT_EQ(why.reason, Reason::kSecondName);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "Zweiter.TDB"));
    EXPECT_EQ(ReadAll(file), "page");
    // Nor a link to it, where the system lets this process make one.
    if (CreateSymbolicLinkA((dir / "Verweis.TDB").c_str(), (dir / "Zweiter.TDB").c_str(),
                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        DeleteFileA(file.c_str());
        EXPECT_FALSE(platform::LockedFile::Open(dir / "Verweis.TDB"));
        EXPECT_EQ(ReadAll(dir / "Zweiter.TDB"), "page");
    }
    // Nor does a directory, or what does not exist.
    EXPECT_FALSE(platform::LockedFile::Open(dir.withSeparator()));
    CreateDirectoryA((dir / "Ordner.TDB").c_str(), nullptr);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "Ordner.TDB", &why));
    EXPECT_EQ(why.reason, Reason::kNotRegularFile);
    EXPECT_FALSE(platform::LockedFile::Open(dir / "missing.TDB", &why));
    EXPECT_EQ(why.reason, Reason::kMissing);
}
