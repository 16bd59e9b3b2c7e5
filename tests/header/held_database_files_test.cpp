// The rename that a run gives its held files (MoveFileA): as a whole, never
// over another file, and never of a file that another process holds.
#include "header/held_database_files.h"

#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tessaldrin::header::HeldDatabaseFiles;
using namespace tessaldrin::testing;

namespace {
void Write(const fs::path& file, const std::string& content) {
    std::ofstream{file} << content;
}

// Holds `from` alone, as a run holds its files, and renames it to `to`.
bool RenameHeld(const fs::path& from, const fs::path& to) {
    HeldDatabaseFiles held;
    held.Take({from.string()});
    return held.Rename({0}, to.string());
}
} // namespace

TEST(HeldFileRename, RenamesAWholeFileAndNeverReplacesAnother) {
    ServerDir dir("tm-move");
    const fs::path gdb = dir.path() / "Tessaldrin_1.GDB";
    const fs::path tdb = dir.path() / "Tessaldrin_1.TDB";
    Write(gdb, "daten");
    ASSERT_TRUE(RenameHeld(gdb, tdb));
    EXPECT_FALSE(fs::exists(gdb));
    EXPECT_EQ(ReadBytes(tdb), "daten");

    Write(gdb, "andere");
    EXPECT_FALSE(RenameHeld(gdb, tdb));
    EXPECT_EQ(ReadBytes(gdb), "andere");
    EXPECT_EQ(ReadBytes(tdb), "daten");

    EXPECT_FALSE(RenameHeld(dir.path() / "gone.GDB", dir.path() / "gone.TDB"));
    EXPECT_FALSE(fs::exists(dir.path() / "gone.TDB"));
}

TEST(HeldFileRename, OntoItselfSucceedsAndAChangeOfCaseIsARename) {
    ServerDir dir("tm-move");
    const fs::path tdb = dir.path() / "Tessaldrin.TDB";
    Write(tdb, "daten");
    EXPECT_TRUE(RenameHeld(tdb, tdb));
    EXPECT_EQ(ReadBytes(tdb), "daten");

    const fs::path lower = dir.path() / "Tessaldrin_1.tdb";
    Write(lower, "zwei");
    ASSERT_TRUE(RenameHeld(lower, dir.path() / "Tessaldrin_1.TDB"));
    EXPECT_FALSE(fs::exists(lower));
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin_1.TDB"), "zwei");
}

TEST(HeldFileRename, RefusesAFileThatTheServerHoldsOpen) {
    ServerDir dir("tm-move");
    const fs::path gdb = dir.path() / "Tessaldrin.GDB";
    const fs::path tdb = dir.path() / "Tessaldrin.TDB";
    DatabaseLayout layout;
    layout.files = {gdb};
    layout.rows = 10;
    CreateDatabase(layout);
    {
        HeldAttachment held(gdb);
        EXPECT_FALSE(RenameHeld(gdb, tdb));
        EXPECT_FALSE(RenameHeld(gdb, gdb));
        EXPECT_TRUE(fs::exists(gdb));
        EXPECT_FALSE(fs::exists(tdb));
    }
    EXPECT_TRUE(RenameHeld(gdb, tdb));
    EXPECT_TRUE(fs::exists(tdb));
}
