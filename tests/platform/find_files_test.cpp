#include "platform/find_files.h"

#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using tessaldrin::platform::FileSearch;
using tessaldrin::platform::MatchesPattern;
using tessaldrin::testing::ServerDir;

namespace {

std::vector<std::string> AllMatches(const std::string& pathPattern) {
    std::vector<std::string> names;
    for (FileSearch search(pathPattern); search.Found(); search.Next()) {
        names.push_back(search.Name());
    }
    return names;
}

void Touch(const std::filesystem::path& file) {
    std::ofstream{file} << "x";
}

} // namespace

TEST(MatchesPattern, QuestionMarkTakesExactlyOneCharacter) {
    EXPECT_TRUE(MatchesPattern("Tessaldrin.?DB", "Tessaldrin.GDB"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin.?DB", "Tessaldrin.DB"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin.?DB", "Tessaldrin.GDBX"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin.?DB", "Tessaldrin.XXDB"));
    // One character, however many bytes it takes.
    EXPECT_TRUE(MatchesPattern("Tessaldrin.?DB", "Tessaldrin.\xC3\x96"
                                                 "DB"));
}

TEST(MatchesPattern, StarTakesAnyRunIncludingNone) {
    EXPECT_TRUE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin_.GDB"));
    EXPECT_TRUE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin_10.GDB"));
    EXPECT_TRUE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin_a.b.GDB"));
    EXPECT_TRUE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin_x.GDB.TDB"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin_1.GDB.bak"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin_*.?DB", "Tessaldrin.GDB"));
    EXPECT_TRUE(MatchesPattern("*", ""));
    EXPECT_FALSE(MatchesPattern("?", ""));
}

TEST(MatchesPattern, IgnoresCaseOfAsciiAndOtherLetters) {
    EXPECT_TRUE(MatchesPattern("Tessaldrin.?DB", "TESSALDRIN.gdb"));
    EXPECT_TRUE(MatchesPattern("Tessaldrin_*.?DB", "tessaldrin_1.tdb"));
    EXPECT_TRUE(MatchesPattern("Tessaldrin_\xC3\x84*", "TESSALDRIN_\xC3\xA4_1"));
    EXPECT_FALSE(MatchesPattern("Tessaldrin_\xC3\x84*", "TESSALDRIN_A_1"));
}

TEST(FileSearch, DeliversMatchesByNameWithoutRegardToCase) {
    ServerDir dir("tm-find");
    for (const char* name : {"tessaldrin_b.gdb", "Tessaldrin_2.GDB", "TESSALDRIN_A.GDB",
                             "Tessaldrin_10.gdb", "Tessaldrin.GDB", "Other_1.GDB"}) {
        Touch(dir.path() / name);
    }
    EXPECT_EQ(AllMatches(dir.withSeparator() + "Tessaldrin_*.?DB"),
              (std::vector<std::string>{"Tessaldrin_10.gdb", "Tessaldrin_2.GDB", "TESSALDRIN_A.GDB",
                                        "tessaldrin_b.gdb"}));
}

TEST(FileSearch, TakesEveryKindOfEntryButTheDirectoryItselfAndItsParent) {
    ServerDir dir("tm-find");
    std::filesystem::create_directory(dir.path() / "Tessaldrin_dir.GDB");
    Touch(dir.path() / "Tessaldrin_1.GDB");
    EXPECT_EQ(AllMatches(dir.withSeparator() + "Tessaldrin_*.?DB"),
              (std::vector<std::string>{"Tessaldrin_1.GDB", "Tessaldrin_dir.GDB"}));
    EXPECT_EQ(AllMatches(dir.withSeparator() + "*"),
              (std::vector<std::string>{"Tessaldrin_1.GDB", "Tessaldrin_dir.GDB"}));
}

TEST(FileSearch, NoMatchAndUnreadableDirectoryBothEndTheSearchAtOnce) {
    ServerDir dir("tm-find");
    Touch(dir.path() / "Tessaldrin_1.GDB");
    FileSearch none(dir.withSeparator() + "Tessaldrin.?DB");
    EXPECT_FALSE(none.Found());
    EXPECT_FALSE(none.Next());
    FileSearch missing(dir.withSeparator() + "gone/Tessaldrin_*.?DB");
    EXPECT_FALSE(missing.Found());

    FileSearch one(dir.withSeparator() + "Tessaldrin_*.?DB");
    ASSERT_TRUE(one.Found());
    EXPECT_FALSE(one.Next());
    EXPECT_FALSE(one.Next());
    EXPECT_FALSE(one.Found());
}
