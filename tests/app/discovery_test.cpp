#include "tests/app/adjustment_in_dir.h"

#include "platform/format_message.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

using tessaldrin::testing::AdjustmentInDir;
using tessaldrin::testing::ServerDir;
using Lines = std::vector<std::string>;
using tessaldrin::platform::Format;
namespace msg = tessaldrin::msg;

namespace {

// The discovery section of the log for `paths`, primary first.
Lines Listing(const Lines& paths) {
    Lines lines{"", Format(msg::kFilesHeading)};
    lines.insert(lines.end(), paths.begin(), paths.end());
    return lines;
}

// Makes `dir` the working directory for the object's lifetime.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

} // namespace

TEST(FindDatabaseFiles, ListsThePrimaryFirstThenSecondariesInTextOrder) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin_2.GDB", "Tessaldrin_10.GDB", "Tessaldrin.GDB", "Tessaldrin_b.GDB",
              "Tessaldrin_A.GDB"});
    const auto found = at.Find();
    ASSERT_TRUE(found.Found());
    const Lines expected{at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin_10.GDB"),
                         at.PathOf("Tessaldrin_2.GDB"), at.PathOf("Tessaldrin_A.GDB"),
                         at.PathOf("Tessaldrin_b.GDB")};
    EXPECT_EQ(found.FileList, expected);
    EXPECT_EQ(found.DatabaseDir, at.dir.withSeparator());
    EXPECT_EQ(found.PrimaryFile(), at.PathOf("Tessaldrin.GDB"));
    EXPECT_EQ(at.log.Lines, Listing(expected));
}

TEST(FindDatabaseFiles, ThePrimaryAloneIsADatabase) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.TDB", "Tessaldrin.GDB.bak", "Other_1.GDB"});
    EXPECT_EQ(at.Find().FileList, Lines{at.PathOf("Tessaldrin.TDB")});
    EXPECT_EQ(at.log.Lines, Listing({at.PathOf("Tessaldrin.TDB")}));
}

TEST(FindDatabaseFiles, WithoutAPrimaryFileNothingIsListed) {
    AdjustmentInDir at;
    // Neither of these is a primary file: the extension is one dot, one
    // character and "DB".
    at.Touch({"Tessaldrin_1.GDB", "Tessaldrin_2.GDB", "Tessaldrin.DB", "Tessaldrin.GDBX"});
    const auto found = at.Find();
    EXPECT_FALSE(found.Found());
    EXPECT_TRUE(found.FileList.empty());
    EXPECT_TRUE(found.PrimaryFile().empty());
    EXPECT_EQ(found.DatabaseDir, at.dir.withSeparator());
    EXPECT_EQ(at.log.Lines, (Lines{Format(msg::kNoDatabase), "Gesucht wurde im Verzeichnis \"" +
                                                                 at.dir.withSeparator() + "\"."}));
}

TEST(FindDatabaseFiles, CaseDoesNotMatterAndNamesStayAsTheDirectoryHasThem) {
    AdjustmentInDir at;
    at.Touch({"tessaldrin.gdb", "TESSALDRIN_1.gdb", "Tessaldrin_2.Gdb"});
    EXPECT_EQ(at.Find().FileList, (Lines{at.PathOf("tessaldrin.gdb"), at.PathOf("TESSALDRIN_1.gdb"),
                                         at.PathOf("Tessaldrin_2.Gdb")}));
}

// This file system keeps both, and either could be the file that a link
// names: both are listed, for the plan to refuse.
TEST(FindDatabaseFiles, OfNamesEqualButForCaseBothAreListed) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.GDB", "TESSALDRIN_1.GDB", "tessaldrin.gdb"});
    Lines found = at.Find().FileList;
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0], at.PathOf("Tessaldrin.GDB")) << "the first match of the search";
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Lines{at.PathOf("TESSALDRIN_1.GDB"), at.PathOf("Tessaldrin.GDB"),
                            at.PathOf("Tessaldrin_1.GDB"), at.PathOf("tessaldrin.gdb")}));
}

TEST(FindDatabaseFiles, OfTwoPrimaryCandidatesOneIsUsedAndTheOtherNeitherListedNorRenamed) {
    AdjustmentInDir at;
    at.WriteChain({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    at.Touch({"Tessaldrin.TDB"});
    const auto found = at.Find();
    EXPECT_EQ(found.FileList, (Lines{at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin_1.GDB")}));
    EXPECT_EQ(at.log.Lines.back(), Format(msg::kAnotherPrimary, at.PathOf("Tessaldrin.TDB")));
    // Tessaldrin.TDB is taken, so the used primary cannot get its name: the
    // run renames nothing, and the other candidate is left alone.
    const auto plan = at.Plan(found);
    ASSERT_EQ(plan.refusals.size(), 1u);
    EXPECT_EQ(plan.files.Path(plan.refusals[0].file), at.PathOf("Tessaldrin.GDB"));
    EXPECT_EQ(at.Names(), (Lines{"Tessaldrin.GDB", "Tessaldrin.TDB", "Tessaldrin_1.GDB"}));
    EXPECT_EQ(tessaldrin::testing::ReadBytes(at.dir.path() / "Tessaldrin.TDB"), "Tessaldrin.TDB");
}

TEST(FindDatabaseFiles, SearchesTheProgramsDirectoryNeverTheWorkingDirectory) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB"});
    ServerDir elsewhere("tm-cwd");
    std::ofstream{elsewhere.path() / "Tessaldrin.GDB"} << "x";
    std::ofstream{elsewhere.path() / "Tessaldrin_1.GDB"} << "x";
    {
        const WorkingDirectory cwd(elsewhere.path());
        EXPECT_EQ(at.Find().FileList, Lines{at.PathOf("Tessaldrin.GDB")});
    }

    // A program file named without a directory names none to search, even
    // when the working directory holds a database.
    tessaldrin::ListRunLog log;
    const WorkingDirectory cwd(elsewhere.path());
    EXPECT_TRUE(tessaldrin::FindDatabaseFiles("tessaldrin-mover", log).FileList.empty());
    EXPECT_EQ(log.Lines, Lines{Format(msg::kNoDatabase)});
}

TEST(FindDatabaseFiles, EveryDiscoveryStartsAfresh) {
    AdjustmentInDir at;
    at.Touch({"Tessaldrin.GDB", "Tessaldrin_1.GDB"});
    ASSERT_TRUE(at.Find().Found());
    EXPECT_EQ(at.Find().FileList,
              (Lines{at.PathOf("Tessaldrin.GDB"), at.PathOf("Tessaldrin_1.GDB")}));
    std::filesystem::remove(at.dir.path() / "Tessaldrin.GDB");
    EXPECT_TRUE(at.Find().FileList.empty());
}
