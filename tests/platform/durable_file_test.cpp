// The journal's file operations, on real files.
#include "platform/durable_file.h"
#include "platform/free_space.h"

#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace tessaldrin::platform;
using namespace tessaldrin::testing;

TEST(DurableFile, IsCreatedReadAndRemovedButNeverOverOrThroughAnotherEntry) {
    ServerDir dir("tm-durable");
    const std::string journal = (dir.path() / "j").string();
    ASSERT_TRUE(CreateDurableFile(journal, "zeile\n"));
    EXPECT_EQ(ReadSmallFile(journal, 6), "zeile\n");
    EXPECT_EQ(ReadSmallFile(journal, 5), std::nullopt);
    EXPECT_FALSE(CreateDurableFile(journal, "anders"));
    EXPECT_EQ(ReadBytes(journal), "zeile\n");

    // A link in its place is neither written through nor read through.
    const fs::path target = dir.path() / "ziel";
    std::ofstream(target) << "ziel";
    const fs::path link = dir.path() / "link";
    fs::create_symlink(target, link);
    EXPECT_FALSE(CreateDurableFile(link.string(), "anders"));
    EXPECT_EQ(ReadSmallFile(link.string(), 100), std::nullopt);
    EXPECT_TRUE(RemoveDurably(link.string()));
    EXPECT_EQ(ReadBytes(target), "ziel");

    EXPECT_TRUE(RemoveDurably(journal));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_FALSE(RemoveDurably(journal));
    EXPECT_TRUE(FreeSpace(dir.path().string()).value_or(0) > 0);
    EXPECT_EQ(FreeSpace((dir.path() / "fehlt").string()), std::nullopt);
}
