// A whole run of the console front end through the stand-in client library,
// which plays a server whose RDB$FILES accepts updates (no Firebird 3 or later
// does): every step, the console's output and the files afterwards. The
// Windows build runs the same run under Wine against the same expectation.
#include "app/console_front_end.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
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
