#include "filetable/target_file_name.h"

#include <gtest/gtest.h>

using tessaldrin::filetable::TargetFileName;

TEST(TargetFileName, MapsStoredWindowsNamesIntoTheDirectory) {
    EXPECT_EQ(TargetFileName("D:\\NEU\\", "C:\\ALT\\Tessaldrin_1.GDB"),
              "D:\\NEU\\Tessaldrin_1.TDB");
    EXPECT_EQ(TargetFileName("D:\\NEU\\", "Tessaldrin_2.gdb"), "D:\\NEU\\Tessaldrin_2.TDB");
    EXPECT_EQ(TargetFileName("D:\\NEU\\", "tessaldrin_3.GDB"), "D:\\NEU\\tessaldrin_3.TDB");
    EXPECT_EQ(TargetFileName("D:\\", "server:C:\\X\\Tessaldrin_4.GDB"), "D:\\Tessaldrin_4.TDB");
    EXPECT_EQ(TargetFileName("D:\\", "C:Tessaldrin_4.GDB"), "D:\\Tessaldrin_4.TDB");
    EXPECT_EQ(TargetFileName("", "E:\\Alt\\Tessaldrin_1.GDB"), "Tessaldrin_1.TDB");
}

TEST(TargetFileName, MapsNamesStoredByThisMachineOrAWindowsServer) {
    EXPECT_EQ(TargetFileName("/srv/neu/", "/var/alt/Tessaldrin_1.GDB"),
              "/srv/neu/Tessaldrin_1.TDB");
    EXPECT_EQ(TargetFileName("/srv/neu/", "E:\\Alt\\Tessaldrin_1.GDB"),
              "/srv/neu/Tessaldrin_1.TDB");
    EXPECT_EQ(TargetFileName("/srv/neu/", "/srv/neu/Tessaldrin_1.TDB"),
              "/srv/neu/Tessaldrin_1.TDB");
}

TEST(TargetFileName, KeepsWhatRenamingKeeps) {
    // Renaming replaces only the last extension, so the link must too.
    EXPECT_EQ(TargetFileName("/d/", "/a/Tessaldrin_x.y.GDB"), "/d/Tessaldrin_x.y.TDB");
    EXPECT_EQ(TargetFileName("/d/", "C:\\a.b\\Tessaldrin_1.GDB"), "/d/Tessaldrin_1.TDB");
    // Without an extension renaming appends one; the whole file part stays.
    EXPECT_EQ(TargetFileName("/d/", "/a/Tessaldrin_1"), "/d/Tessaldrin_1.TDB");
    EXPECT_EQ(TargetFileName("/d/", "/a.b/Tessaldrin_1"), "/d/Tessaldrin_1.TDB");
    EXPECT_EQ(TargetFileName("/d/", "C:\\a.b\\Tessaldrin_1"), "/d/Tessaldrin_1.TDB");
}

TEST(TargetFileName, IsEmptyForANameThatNamesNoFile) {
    // "/d/.TDB" would name no database file, and a link to it no file at all.
    for (const char* stored : {"", "/a/", "C:\\ALT\\", "server:", ".GDB", "/a/.GDB", "C:.gdb"}) {
        EXPECT_EQ(TargetFileName("/d/", stored), "") << stored;
    }
}
