// The Windows console program as a user starts it: a whole run through the
// stand-in client library put beside it as gds32.dll (it plays a server whose
// RDB$FILES accepts updates, which no real one here can be made to), and the
// start without any gds32.dll.
#include "filetable/client_library.h"
#include "platform/format_message.h"
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
    EXPECT_EQ(run.out, WithCrLf(whole_run::Output(dir.withSeparator())));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadAll(dir / "Tessaldrin.TDB"),
              whole_run::PrimaryPage(dir / "Tessaldrin_1.TDB").Text());
    EXPECT_EQ(ReadAll(dir / "Tessaldrin_1.TDB"), whole_run::SecondaryPage().Text());
    EXPECT_EQ(ReadAll(dir / "gds32.rows.after"), "1\t" + (dir / "Tessaldrin_1.TDB") + "\n");

    // A file table that does not fit the files: the run fails, and says so.
    DeleteFileA((dir / "gds32.rows").c_str());
    const ProgramRun failed = RunProgram(program, "--confirm JA", elsewhere.withSeparator());
    EXPECT_EQ(failed.exitCode, 1u);
    const std::string last = "\r\nTessaldrin Mover konnte Tessaldrin nicht anpassen!\r\n";
    EXPECT_EQ(failed.out.substr(failed.out.size() - std::min(failed.out.size(), last.size())),
              last);

    // Without the confirmation nothing runs.
    const ProgramRun refused = RunProgram(program, "--confirm ja", elsewhere.withSeparator());
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_EQ(refused.out, "");
}

// Directories named as a German user names them: the program takes --dir and
// --primary, relative or absolute, as bytes of the ANSI code page, makes them
// absolute and logs and writes them byte for byte as they are.
TEST(WindowsProgramWithStandInGds32, DirectoriesNamedWithUmlautsAreFoundAndNamedInTheirOwnBytes) {
    ASSERT_EQ(GetACP(), 1252u) << "the names below are Windows-1252";
    WinTempDir base;
    const std::string office = "B\xFCro M\xFCller";
    const std::string customers = "Kunden B\xE4r";
    ASSERT_TRUE(CreateDirectoryA((base / office).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((base / customers).c_str(), nullptr));
    const std::string officeDir = base / office + "\\";
    const std::string customersDir = base / customers + "\\";
    WriteAll(officeDir + "Tessaldrin.GDB", whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    WriteAll(officeDir + "Tessaldrin_1.GDB", whole_run::SecondaryPage().Text());
    const std::string oldCustomers1 = "E:\\Alt\\Kunden.f01";
    WriteAll(customersDir + "Kunden.fdb", whole_run::PrimaryPage(oldCustomers1).Text());
    WriteAll(customersDir + "Kunden.f01",
             SyntheticPage(1024, 10).Sequence(1).Entry(1, "root").MarkEnd().Text());

    WinTempDir installed;
    const std::string program = InstallProgram(installed, "tessaldrin-mover-cli.exe");
    WriteAll(installed / "gds32.dll", ReadAll(ProgramDir() + "gds32.dll"));
    const struct {
        std::string arguments;
        std::string rows; // the stand-in's RDB$FILES
        std::string said; // in the program's output
    } runs[] = {
        {"--dry-run --dir \"" + office + "\"", "",
         "\n" + officeDir + "Tessaldrin.GDB\n" + officeDir + "Tessaldrin_1.GDB\n"},
        {"--confirm JA --dir \"" + base / office + "\"", "1\t" + whole_run::kOldSecondary + "\n",
         whole_run::Output(officeDir)},
        {"--dry-run --primary \"" + customers + "\\Kunden.fdb\"", "",
         platform::Format(msg::kChainHeading, customersDir + "Kunden.fdb") + "\n" + customersDir +
             "Kunden.fdb\n" + customersDir + "Kunden.f01\n"},
        {"--confirm JA --primary \"" + customersDir + "Kunden.fdb\"", "1\t" + oldCustomers1 + "\n",
         platform::Format(msg::kChainAdjusted, customersDir + "Kunden.fdb") + "\n"},
    };
    for (const auto& run : runs) {
        WriteAll(installed / "gds32.rows", run.rows);
        const ProgramRun ran = RunProgram(program, run.arguments, base.withSeparator());
        EXPECT_EQ(ran.exitCode, 0u) << run.arguments << "\n" << ran.out << ran.err;
        EXPECT_NE(ran.out.find(WithCrLf(run.said)), std::string::npos) << run.arguments << "\n"
                                                                       << ran.out;
    }
    EXPECT_EQ(ReadAll(officeDir + "Tessaldrin.TDB"),
              whole_run::PrimaryPage(officeDir + "Tessaldrin_1.TDB").Text());
    EXPECT_EQ(ReadAll(customersDir + "Kunden.fdb"),
              whole_run::PrimaryPage(customersDir + "Kunden.f01").Text());
    EXPECT_EQ(ReadAll(installed / "gds32.rows.after"), "1\t" + customersDir + "Kunden.f01\n");
}

TEST(WindowsProgramWithoutGds32, SaysSoAndEndsBeforeAnyRun) {
    WinTempDir dir;
    const std::string program = InstallProgram(dir, "tessaldrin-mover-cli.exe");
    WriteAll(dir / "Tessaldrin.GDB", whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    const ProgramRun run = RunProgram(program, "--confirm JA", dir.withSeparator());
    EXPECT_EQ(run.err, "InterBase-Bibliothek gds32.dll im Pfad nicht gefunden. Bitte installieren "
                       "Sie InterBase, um diese Funktionalit\xE4t zu verwenden\r\n");
    EXPECT_EQ(run.err, filetable::LibraryNotFoundText("gds32.dll") + "\r\n");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"Tessaldrin.GDB", "tessaldrin-mover-cli.exe"}));
    EXPECT_EQ(ReadAll(dir / "Tessaldrin.GDB"),
              whole_run::PrimaryPage(whole_run::kOldSecondary).Text());

    // The program's own texts are Windows-1252 too, and reach a file unchanged
    // but for the line ends, CR LF; each line of the help fits a console of
    // 80 columns without touching its last one.
    const ProgramRun help = RunProgram(program, "--help", dir.withSeparator());
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("  --confirm JA   best\xE4tigt den Hinweis ohne R\xFC"
                            "ckfrage (f\xFCr Skripte)\r\n"),
              std::string::npos)
        << help.out;
    ASSERT_EQ(help.out.substr(help.out.size() - 2), "\r\n");
    for (std::size_t at = 0; at < help.out.size();) {
        const std::size_t end = help.out.find("\r\n", at);
        const std::string line = help.out.substr(at, end - at);
        EXPECT_LE(line.size(), 79u) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        at = end + 2;
    }
    // The system's own way of asking for help shows the same.
    const ProgramRun asked = RunProgram(program, "/?", dir.withSeparator());
    EXPECT_EQ(asked.exitCode, 0u);
    EXPECT_EQ(asked.out, help.out);
}

// Started by a double click, in a console of its own that goes when it
// ends, the program waits for Enter after its last line (here the load
// failure, which ends a run at once); with --confirm, or started from a
// console (cmd.exe's), it ends.
TEST(WindowsProgramWithoutGds32, WaitsForEnterOnlyInAConsoleOfItsOwn) {
    WinTempDir dir;
    const std::string program = "\"" + InstallProgram(dir, "tessaldrin-mover-cli.exe") + "\"";
    for (const auto& [commandLine, waits] : {std::pair{program, true},
                                             {program + " --confirm JA", false},
                                             {"cmd.exe /c \"" + program + "\"", false}}) {
        std::string command = commandLine;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                                   CREATE_NEW_CONSOLE, nullptr, dir.withSeparator().c_str(),
                                   &startup, &started));
        EXPECT_EQ(WaitForSingleObject(started.hProcess, waits ? 3000 : 30000) == WAIT_TIMEOUT,
                  waits)
            << commandLine;
        TerminateProcess(started.hProcess, 99);
        WaitForSingleObject(started.hProcess, 30000);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
}
