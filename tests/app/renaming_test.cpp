#include "tests/app/adjustment_in_dir.h"

#include "platform/format_message.h"
#include "platform/load_string.h"

#include <gtest/gtest.h>

using tessaldrin::platform::FormatMessage;
using tessaldrin::platform::LoadString;
using namespace tessaldrin::testing;
using Lines = std::vector<std::string>;

namespace {

// The log from the renaming section on, after a discovery.
Lines RenamingSection(const AdjustmentInDir& at, std::size_t discoveryLines) {
    return Lines(at.log.Lines.begin() + static_cast<std::ptrdiff_t>(discoveryLines),
                 at.log.Lines.end());
}

} // namespace

// On a file system that tells names apart by case, a link to ".TDB" finds
// only a file spelled ".TDB".
TEST(NeedsRenaming, OnlyAnExtensionOtherThanExactlyTdbNeedsIt) {
    tessaldrin::ListRunLog log;
    tessaldrin::Adjustment adjustment(log, "/d/tessaldrin-mover");
    EXPECT_FALSE(adjustment.NeedsRenaming());
    adjustment.FileList = {"/d/Tessaldrin.TDB", "/d/Tessaldrin_1.TDB", "/d/tessaldrin_2.TDB"};
    EXPECT_FALSE(adjustment.NeedsRenaming());
    for (const char* other : {"/d/Tessaldrin_3.GDB", "/d/Tessaldrin_3", "/d.TDB/Tessaldrin_3",
                              "/d/Tessaldrin_3.TDB.GDB", "/d/Tessaldrin_3.TDBX",
                              "/d/Tessaldrin_3.tdb", "/d/Tessaldrin_3.Tdb"}) {
        adjustment.FileList.push_back(other);
        EXPECT_TRUE(adjustment.NeedsRenaming()) << other;
        adjustment.FileList.pop_back();
    }
    EXPECT_TRUE(log.Lines.empty());
}

TEST(RenameFiles, GivesEveryFileTheExtensionTdbAndLogsEachRename) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    const std::size_t discovered = at.log.Lines.size();
    ASSERT_TRUE(at.adjustment.NeedsRenaming());
    at.adjustment.RenameFiles();

    const Lines renamed{at.PathOf("Tessaldrin.TDB"), at.PathOf("Tessaldrin_1.TDB")};
    EXPECT_EQ(at.adjustment.FileList, renamed);
    EXPECT_EQ(
        RenamingSection(at, discovered),
        (Lines{"", LoadString(21034), FormatMessage(21035, at.PathOf("Tessaldrin.GDB"), renamed[0]),
               FormatMessage(21035, at.PathOf("Tessaldrin_1.GDB"), renamed[1])}));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.TDB", "Tessaldrin_1.TDB"}));
    EXPECT_EQ(ReadBytes(at.dir.path() / "Tessaldrin_1.TDB"), "Tessaldrin_1.GDB");
    EXPECT_FALSE(at.adjustment.NeedsRenaming());
}

TEST(RenameFiles, AFileAlreadyNamedTdbIsMovedOntoItselfAndLogged) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.TDB", "Tessaldrin_2.tdb", "Tessaldrin_3.x.GDB",
              "Tessaldrin_4"});
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    // Tessaldrin_4 has no extension, so discovery does not find it; put it in
    // the list as a caller could, to see that the extension is appended.
    at.adjustment.FileList.push_back(at.PathOf("Tessaldrin_4"));
    const std::size_t discovered = at.log.Lines.size();
    at.adjustment.RenameFiles();

    const Lines renamed{at.PathOf("Tessaldrin.TDB"), at.PathOf("Tessaldrin_1.TDB"),
                        at.PathOf("Tessaldrin_2.TDB"), at.PathOf("Tessaldrin_3.x.TDB"),
                        at.PathOf("Tessaldrin_4.TDB")};
    EXPECT_EQ(at.adjustment.FileList, renamed);
    const Lines section = RenamingSection(at, discovered);
    ASSERT_EQ(section.size(), 7u);
    EXPECT_EQ(section[3], FormatMessage(21035, renamed[1], renamed[1]));
    EXPECT_EQ(section[4], FormatMessage(21035, at.PathOf("Tessaldrin_2.tdb"), renamed[2]));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB",
                                 "Tessaldrin_3.x.TDB", "Tessaldrin_4.TDB"}));
}

TEST(RenameFiles, ANameAlreadyTakenIsNeverOverwrittenAndTheFailureIsSilent) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.GDB", "Tessaldrin_1.TDB"});
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    ASSERT_EQ(at.adjustment.FileList,
              (Lines{at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin_1.GDB"),
                     at.PathOf("Tessaldrin_1.TDB")}));
    const std::size_t discovered = at.log.Lines.size();
    at.adjustment.RenameFiles();

    // Tessaldrin_1.GDB cannot take the name of Tessaldrin_1.TDB: no line, and
    // the entry keeps the name the file still has.
    EXPECT_EQ(at.adjustment.FileList,
              (Lines{at.PathOf("Tessaldrin.TDB"), at.PathOf("Tessaldrin_1.GDB"),
                     at.PathOf("Tessaldrin_1.TDB")}));
    EXPECT_EQ(RenamingSection(at, discovered),
              (Lines{"", LoadString(21034),
                     FormatMessage(21035, at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin.TDB")),
                     FormatMessage(21035, at.PathOf("Tessaldrin_1.TDB"),
                                   at.PathOf("Tessaldrin_1.TDB"))}));
    EXPECT_EQ(ReadBytes(at.dir.path() / "Tessaldrin_1.TDB"), "Tessaldrin_1.TDB");
    EXPECT_EQ(ReadBytes(at.dir.path() / "Tessaldrin_1.GDB"), "Tessaldrin_1.GDB");
}

TEST(RenameFiles, AFileTheServerHoldsOpenKeepsItsName) {
    AdjustmentInDir at;
    DatabaseLayout layout;
    layout.files = {at.dir.path() / "Tessaldrin.GDB", at.dir.path() / "Tessaldrin_1.GDB"};
    layout.rows = 10;
    CreateDatabase(layout);
    ASSERT_TRUE(at.adjustment.FindDatabaseFiles());
    const std::size_t discovered = at.log.Lines.size();
    {
        HeldAttachment held(layout.files);
        at.adjustment.RenameFiles();
    }
    EXPECT_EQ(at.adjustment.FileList, (Lines{layout.files[0].string(), layout.files[1].string()}));
    EXPECT_EQ(RenamingSection(at, discovered), (Lines{"", LoadString(21034)}));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.GDB", "Tessaldrin_1.GDB"}));
}
