#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaldrin::testing;

// The helpers that the real-server tests stand on: a three-file database is
// created with data in every file, and stays readable after a move only through
// the old paths that its headers still name.
TEST(RealServerFixture, CreatesAThreeFileDatabaseWithDataInEveryFile) {
    ServerDir dir;
    DatabaseSpec spec;
    spec.files = {dir.path() / "Tessaldrin.GDB", dir.path() / "Tessaldrin_1.GDB",
                  dir.path() / "Tessaldrin_2.GDB"};
    CreateDatabase(spec);
    for (const auto& file : spec.files) {
        EXPECT_GT(std::filesystem::file_size(file), 8u * 4096u) << file;
    }
    EXPECT_EQ(CountRows(spec.files[0]), 1500);
    EXPECT_EQ(StoredFileNames(spec.files[0]),
              (std::vector<std::string>{spec.files[1].string(), spec.files[2].string()}));

    const auto moved = dir.makeSubdir("moved");
    MoveFiles(spec.files, moved);
    std::string why;
    EXPECT_EQ(CountRows(moved / "Tessaldrin.GDB", &why), -1);
    EXPECT_NE(why.find("Tessaldrin_1.GDB"), std::string::npos) << why;
}

TEST(RealServerFixture, HeldAttachmentLocksTheFilesUntilItEnds) {
    ServerDir dir;
    DatabaseSpec spec;
    spec.files = {dir.path() / "Tessaldrin.GDB", dir.path() / "Tessaldrin_1.GDB"};
    spec.rows = 10;
    CreateDatabase(spec);
    EXPECT_FALSE(IsLockedByAnotherProcess(spec.files[0]));
    {
        HeldAttachment held(spec.files[0]);
        EXPECT_TRUE(IsLockedByAnotherProcess(spec.files[0]));
        EXPECT_TRUE(IsLockedByAnotherProcess(spec.files[1]));
    }
    for (int i = 0; i < 100 && IsLockedByAnotherProcess(spec.files[0]); ++i) {
        usleep(50'000);
    }
    EXPECT_FALSE(IsLockedByAnotherProcess(spec.files[0]));
}
