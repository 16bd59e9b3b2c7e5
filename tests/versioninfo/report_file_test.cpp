// The report file on a real file system: every line ends in CR LF, a second
// write replaces the first, a failure is the file layer's error.
#include "versioninfo/report_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {
namespace {

namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tm-report-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

TEST_F(ReportFile, EveryLineEndsInCarriageReturnAndLineFeed) {
    const fs::path path = dir_ / "X.EVI";
    WriteReportFile(path.string(), {"Datei:       X", "", "Größe"});
    EXPECT_EQ(Read(path), "Datei:       X\r\n\r\nGröße\r\n");

    WriteReportFile(path.string(), {});
    EXPECT_EQ(Read(path), "");
}

TEST_F(ReportFile, ASecondWriteReplacesTheFirst) {
    const fs::path path = dir_ / "X.EVI";
    WriteReportFile(path.string(), {"first report, longer than the second", "line 2", "line 3"});
    WriteReportFile(path.string(), {"second"});
    EXPECT_EQ(Read(path), "second\r\n");
}

// The report's name may be a link that someone put there, to a database file
// say: the name is replaced by the report, and the file it named keeps every
// byte.
TEST_F(ReportFile, ALinkByTheReportsNameIsReplacedAndTheFileItNamesKeepsItsBytes) {
    for (const bool symbolic : {true, false}) {
        const fs::path database = dir_ / "Kunden.fdb";
        const std::string bytes(413696, '\x5A');
        std::ofstream(database, std::ios::binary) << bytes;
        const fs::path path = dir_ / "X.EVI";
        if (symbolic) {
            fs::create_symlink(database, path);
        } else {
            fs::create_hard_link(database, path);
        }
        WriteReportFile(path.string(), {"Datei:       X"});
        EXPECT_EQ(Read(database), bytes) << symbolic;
        EXPECT_EQ(Read(path), "Datei:       X\r\n");
        EXPECT_FALSE(fs::is_symlink(path));
        EXPECT_EQ(fs::hard_link_count(database), 1u);
        // Nothing else is left beside them.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
        fs::remove(path);
        fs::remove(database);
    }
}

TEST_F(ReportFile, AFileThatCannotBeCreatedRaisesTheFileError) {
    const fs::path missing = dir_ / "no such directory" / "X.EVI";
    try {
        WriteReportFile(missing.string(), {"line"});
        FAIL() << "no error for " << missing;
    } catch (const EReportFile& error) {
        EXPECT_NE(std::string(error.what()).find(missing.string() + " kann nicht erstellt werden"),
                  std::string::npos)
            << error.what();
    }
    // A directory where the report belongs cannot be replaced by it.
    const fs::path occupied = dir_ / "Y.EVI";
    fs::create_directory(occupied);
    EXPECT_THROW(WriteReportFile(occupied.string(), {"line"}), EReportFile);
    EXPECT_TRUE(fs::is_directory(occupied));
}

} // namespace
} // namespace tessaldrin::versioninfo
