#include "platform/move_file.h"

#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tessaldrin::platform::MoveFile;
using namespace tessaldrin::testing;

namespace {
void Write(const fs::path& file, const std::string& content) {
    std::ofstream{file} << content;
}
} // namespace

TEST(MoveFile, RenamesAWholeFileAndNeverReplacesAnother) {
    ServerDir dir("tm-move");
    const fs::path gdb = dir.path() / "Tessaldrin_1.GDB";
    const fs::path tdb = dir.path() / "Tessaldrin_1.TDB";
    Write(gdb, "daten");
    ASSERT_TRUE(MoveFile(gdb.string(), tdb.string()));
    EXPECT_FALSE(fs::exists(gdb));
    EXPECT_EQ(ReadBytes(tdb), "daten");

    Write(gdb, "andere");
    EXPECT_FALSE(MoveFile(gdb.string(), tdb.string()));
    EXPECT_EQ(ReadBytes(gdb), "andere");
    EXPECT_EQ(ReadBytes(tdb), "daten");

    EXPECT_FALSE(MoveFile((dir.path() / "gone.GDB").string(), (dir.path() / "gone.TDB").string()));
    EXPECT_FALSE(fs::exists(dir.path() / "gone.TDB"));
}

TEST(MoveFile, OntoItselfSucceedsAndAChangeOfCaseIsARename) {
    ServerDir dir("tm-move");
    const fs::path tdb = dir.path() / "Tessaldrin.TDB";
    Write(tdb, "daten");
    EXPECT_TRUE(MoveFile(tdb.string(), tdb.string()));
    EXPECT_EQ(ReadBytes(tdb), "daten");

    const fs::path lower = dir.path() / "Tessaldrin_1.tdb";
    Write(lower, "zwei");
    ASSERT_TRUE(MoveFile(lower.string(), (dir.path() / "Tessaldrin_1.TDB").string()));
    EXPECT_FALSE(fs::exists(lower));
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin_1.TDB"), "zwei");
}

TEST(MoveFile, RefusesAFileThatTheServerHoldsOpen) {
    ServerDir dir("tm-move");
    const fs::path gdb = dir.path() / "Tessaldrin.GDB";
    const fs::path tdb = dir.path() / "Tessaldrin.TDB";
    DatabaseLayout layout;
    layout.files = {gdb};
    layout.rows = 10;
    CreateDatabase(layout);
    {
        HeldAttachment held(gdb);
        EXPECT_FALSE(MoveFile(gdb.string(), tdb.string()));
        EXPECT_FALSE(MoveFile(gdb.string(), gdb.string()));
        EXPECT_TRUE(fs::exists(gdb));
        EXPECT_FALSE(fs::exists(tdb));
    }
    EXPECT_TRUE(MoveFile(gdb.string(), tdb.string()));
    EXPECT_TRUE(fs::exists(tdb));
}
