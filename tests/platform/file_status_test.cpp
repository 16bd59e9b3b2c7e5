#include "platform/file_status.h"
#include "platform/local_path.h"
#include "platform/locked_file.h"

#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace tessaldrin::platform;
using tessaldrin::testing::ServerDir;

// Each kind of entry that a moved database's directory may hold: whether it is
// there without its link followed, whether it is a directory, and which file
// it is (loops in a chain are found by identity, not by name).
TEST(FileStatus, EachKindOfEntryIsThereIsADirectoryAndIsAFileAsItsTargetIs) {
    ServerDir dir("tm-status");
    std::ofstream{dir.path() / "file"} << "daten";
    fs::create_symlink("file", dir.path() / "link");
    fs::create_symlink("gone", dir.path() / "dangling");
    fs::create_directory(dir.path() / "sub");
    fs::create_directory_symlink("sub", dir.path() / "sublink");
    const std::optional<FileIdentity> file = IdentityOf(dir.withSeparator() + "file");
    ASSERT_TRUE(file);
    const std::optional<FileIdentity> sub = IdentityOf(dir.withSeparator() + "sub");
    const struct {
        const char* name;
        bool exists;
        bool directory;
        std::optional<FileIdentity> identity;
    } cases[] = {
        {"file", true, false, file},
        {"link", true, false, file},
        {"dangling", true, false, std::nullopt},
        {"sub", true, true, sub},
        {"sublink", true, true, sub},
        {"gone", false, false, std::nullopt},
    };
    for (const auto& entry : cases) {
        const std::string path = dir.withSeparator() + entry.name;
        EXPECT_EQ(EntryExists(path), entry.exists) << entry.name;
        EXPECT_EQ(IsDirectory(path), entry.directory) << entry.name;
        EXPECT_EQ(IdentityOf(path), entry.identity) << entry.name;
    }
    EXPECT_NE(file, sub);
    EXPECT_FALSE(EntryExists(dir.withSeparator() + std::string("file\0x", 6)));

    // A held file is the file its name names, and stays it when renamed.
    std::ofstream{dir.path() / "alone"} << "eins";
    auto held = LockedFile::Open(dir.withSeparator() + "alone");
    ASSERT_TRUE(held && held->MoveTo(dir.withSeparator() + "moved"));
    EXPECT_EQ(IdentityOf(dir.withSeparator() + "moved"), held->Identity());
}

// A primary file is made absolute by its text, so that a link on its way is
// judged as the link it is; a directory given to search is resolved.
TEST(LocalPath, APathIsMadeAbsoluteByItsTextADirectoryWithItsLinksResolved) {
    ServerDir dir("tm-path");
    fs::create_directory(dir.path() / "sub");
    fs::create_directory_symlink("sub", dir.path() / "sublink");
    const std::string at = dir.withSeparator();
    const std::string real = fs::canonical(dir.path()).string() + "/";
    EXPECT_EQ(AbsolutePath(at + "sublink/../x/./Kunden.fdb"), at + "x/Kunden.fdb");
    EXPECT_EQ(AbsolutePath("a/../Kunden.fdb"), fs::current_path().string() + "/Kunden.fdb");
    EXPECT_EQ(AbsoluteDirectory(at + "sublink"), real + "sub/");
    EXPECT_EQ(AbsoluteDirectory(at + "sub/../sub/"), real + "sub/");
}
