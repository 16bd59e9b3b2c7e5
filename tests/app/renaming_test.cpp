#include "tests/app/adjustment_in_dir.h"
#include "tests/header/expected_lines.h"
#include "tests/support/plan_steps.h"

#include "platform/format_message.h"

#include <gtest/gtest.h>

using tessaldrin::platform::Format;
namespace msg = tessaldrin::msg;
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
    EXPECT_FALSE(tessaldrin::NeedsRenaming({}));
    Lines list = {"/d/Tessaldrin.TDB", "/d/Tessaldrin_1.TDB", "/d/tessaldrin_2.TDB"};
    EXPECT_FALSE(tessaldrin::NeedsRenaming(list));
    for (const char* other : {"/d/Tessaldrin_3.GDB", "/d/Tessaldrin_3", "/d.TDB/Tessaldrin_3",
                              "/d/Tessaldrin_3.TDB.GDB", "/d/Tessaldrin_3.TDBX",
                              "/d/Tessaldrin_3.tdb", "/d/Tessaldrin_3.Tdb"}) {
        list.push_back(other);
        EXPECT_TRUE(tessaldrin::NeedsRenaming(list)) << other;
        list.pop_back();
    }
}

TEST(RenameFiles, GivesEveryFileTheExtensionTdbAndLogsEachRename) {
    AdjustmentInDir at;
    at.WriteChain({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    const std::string secondary = ReadBytes(at.dir.path() / "Tessaldrin_1.GDB");
    const auto plan = at.Plan();
    ASSERT_TRUE(plan.Holds());
    const std::size_t discovered = at.log.Lines.size();
    ASSERT_TRUE(MakeStep<tessaldrin::Rename>(plan, at.held, at.log));

    const Lines renamed{at.PathOf("Tessaldrin.TDB"), at.PathOf("Tessaldrin_1.TDB")};
    EXPECT_EQ(RenamingSection(at, discovered),
              (Lines{"", Format(msg::kRenamingHeading),
                     Format(msg::kFileRenamed, at.PathOf("Tessaldrin.GDB"), renamed[0]),
                     Format(msg::kFileRenamed, at.PathOf("Tessaldrin_1.GDB"), renamed[1])}));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.TDB", "Tessaldrin_1.TDB"}));
    EXPECT_EQ(ReadBytes(at.dir.path() / "Tessaldrin_1.TDB"), secondary);
    EXPECT_FALSE(tessaldrin::NeedsRenaming(renamed));
}

TEST(RenameFiles, AFileAlreadyNamedTdbIsMovedOntoItselfAndLogged) {
    AdjustmentInDir at;
    at.WriteChain({"Tessaldrin.GDB", "Tessaldrin_1.TDB", "Tessaldrin_2.tdb", "Tessaldrin_3.x.GDB",
                   "Tessaldrin_4"});
    auto found = at.Find();
    // Tessaldrin_4 has no extension, so discovery does not find it; put it in
    // the list as a caller could, to see that the extension is appended.
    found.FileList.push_back(at.PathOf("Tessaldrin_4"));
    const auto plan = at.Plan(found);
    ASSERT_TRUE(plan.Holds()) << tessaldrin::ReasonText(plan.refusals.front());
    const std::size_t discovered = at.log.Lines.size();
    ASSERT_TRUE(MakeStep<tessaldrin::Rename>(plan, at.held, at.log));

    const Lines renamed{at.PathOf("Tessaldrin.TDB"), at.PathOf("Tessaldrin_1.TDB"),
                        at.PathOf("Tessaldrin_2.TDB"), at.PathOf("Tessaldrin_3.x.TDB"),
                        at.PathOf("Tessaldrin_4.TDB")};
    const Lines section = RenamingSection(at, discovered);
    ASSERT_EQ(section.size(), 7u);
    EXPECT_EQ(section[3], Format(msg::kFileRenamed, renamed[1], renamed[1]));
    EXPECT_EQ(section[4], Format(msg::kFileRenamed, at.PathOf("Tessaldrin_2.tdb"), renamed[2]));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.TDB", "Tessaldrin_1.TDB", "Tessaldrin_2.TDB",
                                 "Tessaldrin_3.x.TDB", "Tessaldrin_4.TDB"}));
}

// A rename that would fail stops the run before its first change: no file is
// renamed or written, and the name that is taken is named.
TEST(RenameFiles, ANameAlreadyTakenIsNeverOverwrittenAndStopsThePlan) {
    AdjustmentInDir at;
    at.WriteChain({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    WriteFile(at.dir.path() / "Tessaldrin_1.TDB", "another database's file");
    const auto found = at.Find();
    ASSERT_EQ(found.FileList, (Lines{at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin_1.GDB"),
                                     at.PathOf("Tessaldrin_1.TDB")}));
    const auto plan = at.Plan(found);
    ASSERT_FALSE(plan.Holds());
    EXPECT_EQ(plan.files.Path(plan.refusals.front().file), at.PathOf("Tessaldrin_1.GDB"));
    EXPECT_EQ(tessaldrin::ReasonText(plan.refusals.front()),
              Format(msg::kNameTaken, at.PathOf("Tessaldrin_1.TDB")));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.GDB", "Tessaldrin_1.GDB", "Tessaldrin_1.TDB"}));
    EXPECT_EQ(ReadBytes(at.dir.path() / "Tessaldrin_1.TDB"), "another database's file");
}

TEST(RenameFiles, AFileTheServerHoldsOpenIsRefusedAndNothingIsRenamed) {
    AdjustmentInDir at;
    DatabaseLayout layout;
    layout.files = {at.dir.path() / "Tessaldrin.GDB", at.dir.path() / "Tessaldrin_1.GDB"};
    layout.rows = 10;
    CreateDatabase(layout);
    const auto found = at.Find();
    tessaldrin::RunPlan plan;
    {
        HeldAttachment held(layout.files);
        plan = at.Plan(found);
    }
    EXPECT_FALSE(plan.Holds());
    ASSERT_EQ(plan.refusals.size(), 2u);
    EXPECT_EQ(tessaldrin::ReasonText(plan.refusals[0]), lines::kCannotOpen);
    EXPECT_TRUE(ChangesOf<tessaldrin::Rename>(plan).empty());
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.GDB", "Tessaldrin_1.GDB"}));
}

// The executor makes a plan's changes only in the order of their steps: a
// list with a page before a rename is no plan a run made, and nothing of it
// is done, though each change alone would be made.
TEST(RenameFiles, ChangesOutOfTheOrderOfTheirStepsAreNotMadeAtAll) {
    AdjustmentInDir at;
    at.WriteChain({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    const Lines before{ReadBytes(at.dir.path() / "Tessaldrin.GDB"),
                       ReadBytes(at.dir.path() / "Tessaldrin_1.GDB")};
    auto plan = at.Plan();
    ASSERT_TRUE(plan.Holds());
    std::rotate(plan.changes.begin(), plan.changes.begin() + 1, plan.changes.end() - 1);
    const std::size_t discovered = at.log.Lines.size();
    EXPECT_EQ(tessaldrin::Execute(plan, at.held, at.log), tessaldrin::RunOutcome::kFailed);
    EXPECT_EQ(at.log.Lines.size(), discovered);
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.GDB", "Tessaldrin_1.GDB"}));
    EXPECT_EQ((Lines{ReadBytes(at.dir.path() / "Tessaldrin.GDB"),
                     ReadBytes(at.dir.path() / "Tessaldrin_1.GDB")}),
              before);
}
