// The Windows console program as a user starts it: a whole run through the
// stand-in client library put beside it as gds32.dll (it plays a server whose
// RDB$FILES accepts updates, which no real one here can be made to), and the
// start without any gds32.dll.
#include "filetable/client_library.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>

#include "platform/windows/windows_api.h"

#include <algorithm>

using namespace tessaldrin;
using namespace tessaldrin::testing;
using namespace tessaldrin::testing::windows;

TEST(WindowsProgramWithStandInGds32, RunsTheWholeRepairWithTheSameLogAsElsewhere) {
    WinTempDir dir;
    const std::string program = InstallProgram(dir, "tessaldrin-mover-cli.exe");
    PlaceMovedDatabaseWithStandIn(dir);

    // Started from another working directory: the program's own is searched.
    WinTempDir elsewhere;
    const ProgramRun run = RunProgram(program, "--confirm JA", elsewhere.withSeparator());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, whole_run::Output(dir.withSeparator()));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadAll(dir / "Tessaldrin.TDB"),
              whole_run::PrimaryPage(dir / "Tessaldrin_1.TDB").Text());
    EXPECT_EQ(ReadAll(dir / "Tessaldrin_1.TDB"), whole_run::SecondaryPage().Text());
    EXPECT_EQ(ReadAll(dir / "gds32.rows.after"), "1\t" + (dir / "Tessaldrin_1.TDB") + "\n");

    // A file table that does not fit the files: the run fails, and says so.
    DeleteFileA((dir / "gds32.rows").c_str());
    const ProgramRun failed = RunProgram(program, "--confirm JA", elsewhere.withSeparator());
    EXPECT_EQ(failed.exitCode, 1u);
    const std::string last = "\nTessaldrin Mover konnte Tessaldrin nicht anpassen!\n";
    EXPECT_EQ(failed.out.substr(failed.out.size() - std::min(failed.out.size(), last.size())),
              last);

    // Without the confirmation nothing runs.
    const ProgramRun refused = RunProgram(program, "--confirm ja", elsewhere.withSeparator());
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_EQ(refused.out, "");
}

TEST(WindowsProgramWithoutGds32, SaysSoAndEndsBeforeAnyRun) {
    WinTempDir dir;
    const std::string program = InstallProgram(dir, "tessaldrin-mover-cli.exe");
    WriteAll(dir / "Tessaldrin.GDB", whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    const ProgramRun run = RunProgram(program, "--confirm JA", dir.withSeparator());
    EXPECT_EQ(run.err, "InterBase-Bibliothek gds32.dll im Pfad nicht gefunden. Bitte installieren "
                       "Sie InterBase, um diese Funktionalit\xE4t zu verwenden\n");
    EXPECT_EQ(run.err, filetable::LibraryNotFoundText("gds32.dll") + "\n");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"Tessaldrin.GDB", "tessaldrin-mover-cli.exe"}));
    EXPECT_EQ(ReadAll(dir / "Tessaldrin.GDB"),
              whole_run::PrimaryPage(whole_run::kOldSecondary).Text());

    // The program's own texts are Windows-1252 too, and reach a file unchanged.
    const ProgramRun help = RunProgram(program, "--help", dir.withSeparator());
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("  --confirm JA   best\xE4tigt den Hinweis ohne R\xFC"
                            "ckfrage (f\xFCr Skripte)\n"),
              std::string::npos)
        << help.out;
}
