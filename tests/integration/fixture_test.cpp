#include "tests/support/firebird_fixture.h"

#include <gtest/gtest.h>

using namespace tessaldrin::testing;

// The helpers that the real-server tests stand on: a three-file database is
// created with data in every file, and stays readable after a move only through
// the old paths that its headers still name.
TEST(RealServerFixture, CreatesAThreeFileDatabaseWithDataInEveryFile) {
    ServerDir dir;
    DatabaseLayout layout;
    layout.files = {dir.path() / "Tessaldrin.GDB", dir.path() / "Tessaldrin_1.GDB",
                    dir.path() / "Tessaldrin_2.GDB"};
    CreateDatabase(layout);
    for (const auto& file : layout.files) {
        EXPECT_GT(std::filesystem::file_size(file), 8u * 4096u) << file;
    }
    EXPECT_EQ(CountRows(layout.files[0]), 1500);
    EXPECT_EQ(StoredFileNames(layout.files[0]),
              (std::vector<std::string>{layout.files[1].string(), layout.files[2].string()}));

    const auto moved = dir.makeSubdir("moved");
    MoveFiles(layout.files, moved);
    std::string why;
    EXPECT_EQ(CountRows(moved / "Tessaldrin.GDB", &why), -1);
    EXPECT_NE(why.find("Tessaldrin_1.GDB"), std::string::npos) << why;
}

TEST(RealServerFixture, HeldAttachmentLocksTheFilesUntilItEnds) {
    ServerDir dir;
    DatabaseLayout layout;
    layout.files = {dir.path() / "Tessaldrin.GDB", dir.path() / "Tessaldrin_1.GDB"};
    layout.rows = 10;
    CreateDatabase(layout);
    EXPECT_FALSE(IsLockedByAnotherProcess(layout.files[0]));
    {
        HeldAttachment held(layout.files);
        EXPECT_TRUE(IsLockedByAnotherProcess(layout.files[0]));
        EXPECT_TRUE(IsLockedByAnotherProcess(layout.files[1]));
    }
    // Gone: the server has let go of every file.
    EXPECT_FALSE(IsLockedByAnotherProcess(layout.files[0]));
    EXPECT_FALSE(IsLockedByAnotherProcess(layout.files[1]));
}
