// A whole run of the console front end through the stand-in client library,
// which plays a server whose RDB$FILES accepts updates (no Firebird 3 or later
// does): every step, the console's output and the files afterwards. The
// Windows build runs the same run under Wine against the same expectation.
#include "app/console_front_end.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/support/firebird_fixture.h"

#include "platform/locked_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;
using namespace tessaldrin;
using namespace tessaldrin::testing;

TEST(WholeRunThroughStandInClient, LogsEveryStepAndLeavesTheChainLinkedInItsNewPlace) {
    const TempDir dir;
    const std::string at = dir.path().string() + "/";
    WriteFile(dir.path() / "Tessaldrin.GDB",
              whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    WriteFile(dir.path() / "Tessaldrin_1.GDB", whole_run::SecondaryPage().Text());
    standin::Reset();
    standin::SetRows(whole_run::Rows());

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int exit = RunConsole({"--confirm", "JA"},
                                {at + "tessaldrin-mover-cli", STANDIN_FBCLIENT, in, out, err});
    EXPECT_EQ(exit, kExitSucceeded);
    EXPECT_EQ(out.str(), whole_run::Output(at));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin.TDB"),
              whole_run::PrimaryPage(at + "Tessaldrin_1.TDB").Text());
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin_1.TDB"), whole_run::SecondaryPage().Text());
    EXPECT_EQ(standin::Rows(), whole_run::Rows(at + "Tessaldrin_1.TDB"));
    EXPECT_EQ(standin::OpenHandles(), 0);
}

namespace {

struct ConsoleRun {
    int exitCode;
    std::string out;
};

ConsoleRun RunIn(const std::string& at, std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int exit =
        RunConsole(args, {at + "tessaldrin-mover-cli", STANDIN_FBCLIENT, in, out, err});
    return {exit, out.str() + err.str()};
}

// Every entry of the directory: its name and bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        entries[entry.path().filename().string()] = ReadBytes(entry.path());
    }
    return entries;
}

// The lines of `out` that say what a run changes or refuses, with the
// preview's wording made the run's.
std::vector<std::string> Changes(std::string out) {
    const std::string would = "w\xC3\xBCrde ";
    for (auto at = out.find(would); at != std::string::npos; at = out.find(would, at)) {
        out.erase(at, would.size());
    }
    std::vector<std::string> lines;
    std::istringstream read(out);
    for (std::string line; std::getline(read, line);) {
        for (const char* prefix :
             {"Datei \"", "Link ge\xC3\xA4ndert", "Link ist bereits richtig", "FEHLER: Datei \""}) {
            if (line.rfind(prefix, 0) == 0) {
                lines.push_back(line);
            }
        }
    }
    return lines;
}

SyntheticPage Linking(const std::string& link) {
    SyntheticPage page;
    return link.empty() ? page : page.Entry(3, link);
}

} // namespace

// The preview is the plan printed: for chains that the plan refuses and
// chains it accepts, the preview predicts the run's outcome and every rename,
// link and refusal of it, and a refused plan leaves every file as it was.
TEST(PlanOfARun, ThePreviewAndTheRunAgreeAndARefusedPlanChangesNothing) {
    struct Case {
        const char* what;
        std::map<std::string, SyntheticPage> files;
        bool holds;
        const char* held = nullptr; // a file that another holder keeps locked
    };
    SyntheticPage crowded = Linking("/a/Tessaldrin_1.GDB");
    crowded.FillTo(1024 - 8);
    SyntheticPage secondaryHeader = Linking("/a/Tessaldrin_1.GDB");
    secondaryHeader.Set16(40, 1);
    const TempDir dir;
    const std::string at = dir.path().string() + "/";
    const std::vector<Case> cases = {
        {"a chain that holds",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Linking("C:\\a\\Tessaldrin_2.GDB")},
          {"Tessaldrin_2.GDB", Linking("")}},
         true},
        {"names in another case on disk",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")}, {"TESSALDRIN_1.gdb", Linking("")}},
         true},
        {"every link right already",
         {{"Tessaldrin.TDB", Linking(at + "Tessaldrin_1.TDB")}, {"Tessaldrin_1.TDB", Linking("")}},
         true},
        {"a new link that does not fit",
         {{"Tessaldrin.GDB", crowded}, {"Tessaldrin_1.GDB", Linking("")}},
         false},
        {"a file that another holder keeps",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")}, {"Tessaldrin_1.GDB", Linking("")}},
         false,
         "Tessaldrin_1.GDB"},
        {"a .TDB beside its .GDB",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Linking("")},
          {"Tessaldrin_1.TDB", Linking("")}},
         false},
        {"a secondary file missing",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Linking("/a/Tessaldrin_2.GDB")}},
         false},
        {"a file that no link reaches",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Linking("")},
          {"Tessaldrin_9.GDB", Linking("")}},
         false},
        {"a loop",
         {{"Tessaldrin.GDB", Linking("/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Linking("/a/Tessaldrin_2.GDB")},
          {"Tessaldrin_2.GDB", Linking("/a/Tessaldrin_1.GDB")}},
         false},
        {"a primary file whose header says it is a secondary",
         {{"Tessaldrin.GDB", secondaryHeader}, {"Tessaldrin_1.GDB", Linking("")}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            fs::remove(entry.path());
        }
        for (const auto& [name, page] : c.files) {
            WriteFile(dir.path() / name, page.Text());
        }
        standin::Reset();
        std::vector<standin::Row> rows;
        for (int sequence = 1; sequence < static_cast<int>(c.files.size()); ++sequence) {
            rows.push_back({"/a/Tessaldrin_1.GDB", sequence, 0, 0, 0, 0});
        }
        standin::SetRows(rows);
        std::optional<platform::LockedFile> other;
        if (c.held != nullptr) {
            other = platform::LockedFile::Open(at + c.held);
            ASSERT_TRUE(other);
        }
        const auto before = Snapshot(dir.path());

        const ConsoleRun preview = RunIn(at, {"--dry-run"});
        EXPECT_EQ(preview.exitCode == kExitSucceeded, c.holds) << preview.out;
        EXPECT_EQ(Snapshot(dir.path()), before);
        const ConsoleRun run = RunIn(at, {"--confirm", "JA"});
        EXPECT_EQ(run.exitCode == kExitSucceeded, c.holds) << run.out;
        EXPECT_EQ(Changes(run.out), Changes(preview.out)) << run.out;
        EXPECT_FALSE(Changes(run.out).empty()) << run.out;
        if (!c.holds) {
            EXPECT_EQ(Snapshot(dir.path()), before);
            EXPECT_EQ(run.out.find("Bearbeite Datei"), std::string::npos) << run.out;
        }
    }
}
