// The identity line of the component family, and the paths that the version
// report takes from the program file.
#include "versioninfo/evi_paths.h"
#include "versioninfo/identity.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaldrin::versioninfo {
namespace {

TEST(IdentityLine, NameLeftInThirtyVersionAndDateRightInFifteen) {
    const std::string line = IdentityLine("EVI", "1.01.000", "16.11.2001");
    EXPECT_EQ(line, "EVI" + std::string(27, ' ') + std::string(7, ' ') + "1.01.000" +
                        std::string(5, ' ') + "16.11.2001");
    EXPECT_EQ(line.size(), 60U);

    const std::string cut = IdentityLine(std::string(40, 'N'), "1234567890123456789", "D");
    EXPECT_EQ(cut.size(), 60U);
    EXPECT_EQ(cut.substr(0, 30), std::string(30, 'N'));
    // A long version keeps its first 15 characters.
    EXPECT_EQ(cut.substr(30, 15), "123456789012345");
    EXPECT_EQ(cut.substr(45), std::string(14, ' ') + "D");

    EXPECT_EQ(IdentityLine("", "", "").size(), 60U);
}

TEST(IdentityLine, LevelPrefixHasOneDashLessThanTheLevel) {
    EXPECT_EQ(LevelPrefix(3), "--");
    EXPECT_EQ(LevelPrefix(2), "-");
    EXPECT_EQ(LevelPrefix(1), "");
    EXPECT_EQ(LevelPrefix(0), "");
    EXPECT_EQ(LevelPrefix(-4), "");
}

TEST(ModulePaths, DirectoryNameAndReportBesideTheProgram) {
    const ModulePaths tools = SplitModulePath("/Tools/X.exe");
    EXPECT_EQ(tools.directory, "/Tools/");
    EXPECT_EQ(tools.fileName, "X.exe");
    EXPECT_EQ(tools.reportPath, "/Tools/X.EVI");

    // The report's extension is upper case whatever the program's is.
    EXPECT_EQ(SplitModulePath("/opt/tm/mover.Exe").reportPath, "/opt/tm/mover.EVI");
    // Only the file name's last dot starts the extension.
    EXPECT_EQ(SplitModulePath("/opt/v1.2/mover").reportPath, "/opt/v1.2/mover.EVI");
    EXPECT_EQ(SplitModulePath("/opt/tm/mover.tar.gz").reportPath, "/opt/tm/mover.tar.EVI");

    const ModulePaths root = SplitModulePath("/mover");
    EXPECT_EQ(root.directory, "/");
    EXPECT_EQ(root.reportPath, "/mover.EVI");

    // Without a directory the report stays bare, not at the top of the tree.
    const ModulePaths bare = SplitModulePath("mover");
    EXPECT_EQ(bare.directory, "");
    EXPECT_EQ(bare.fileName, "mover");
    EXPECT_EQ(bare.reportPath, "mover.EVI");
}

} // namespace
} // namespace tessaldrin::versioninfo
