// The Win32 window program as a user meets it, under Wine on an X display
// (scripts/xvfb): the confirmation, the port choice, whole runs through the
// stand-in client library put beside it as gds32.dll (it plays a server whose
// RDB$FILES accepts updates, which no real one here can be made to), each way
// the program ends, and the start without any gds32.dll.
#include "filetable/client_library.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/windows/window_driver.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>

#include <utility>

using namespace tessaldrin;
using namespace tessaldrin::testing;
using namespace tessaldrin::testing::windows;

namespace {

constexpr const char* kCaption = "Tessaldrin-Mover";
constexpr const char* kProgram = "tessaldrin-mover.exe";

// The warning's twelve lines, in Windows-1252.
const std::string kWarning =
    "Tessaldrin-Mover passt die internen Dateiverweise in einer \r\n"
    "Tessaldrin-Datenbank an, die in ein anderes Verzeichnis verschoben \r\nwurde.\r\n\r\n"
    "Dies ist ein kritischer Vorgang, bei dessen Fehlschlag die Datenbank \r\n"
    "m\xF6glicherweise nicht mehr verwendbar ist.\r\n\r\n"
    "Arbeiten Sie deshalb immer mit einer Kopie Ihrer Daten!\r\n\r\n"
    "Mit der Eingabe von JA im folgenden Eingabefeld best\xE4tigen Sie, dass Sie diesen \r\n"
    "Hinweis verstanden haben, und sich der Risiken beim Einsatz von \r\n"
    "Tessaldrin-Mover bewusst sind!";

// The log's text with the edit's line breaks, which must all be CR LF, as
// the console writes them.
std::string AsConsoleOutput(const std::string& text) {
    std::string output;
    std::size_t otherBreaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            output += '\n';
            ++i;
        } else {
            otherBreaks += text[i] == '\r' || text[i] == '\n';
            output += text[i];
        }
    }
    EXPECT_EQ(otherBreaks, 0u);
    return output + "\n";
}

// The client area's width and height.
std::pair<long, long> ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// Types `word` into the waiting confirmation dialog; "Weiter" is enabled
// exactly once the whole word is "JA". Returns the dialog.
HWND TypeConfirmation(const WindowProgram& program, const std::string& word) {
    const HWND dialog = program.Window("TfmTLMStart", kCaption);
    EXPECT_EQ(ClientSize(dialog), (std::pair<long, long>{700, 416}));
    const HWND warning = Child(dialog, "Edit", nullptr);
    EXPECT_EQ(Text(warning), kWarning);
    const HWND entry = Child(dialog, "Edit", nullptr, warning);
    const HWND weiter = Child(dialog, "Button", "Weiter");
    EXPECT_FALSE(IsWindowEnabled(weiter));
    for (std::size_t typed = 1; typed <= word.size(); ++typed) {
        Type(entry, word.substr(typed - 1, 1));
        EXPECT_EQ(IsWindowEnabled(weiter) != FALSE, word.substr(0, typed) == "JA") << typed;
    }
    return dialog;
}

// "Weiter" in the dialog where "JA" was typed; returns the main window, shown
// and idle.
HWND Accept(const WindowProgram& program, HWND dialog) {
    Click(Child(dialog, "Button", "Weiter"));
    const HWND main = program.Window("TfmTLMMain", kCaption);
    EXPECT_EQ(ClientSize(main), (std::pair<long, long>{862, 616}));
    EXPECT_TRUE(IsWindowEnabled(Child(main, "Button", " Start")));
    return main;
}

std::string RowsBefore() {
    return "1\t" + whole_run::kOldSecondary + "\n";
}

} // namespace

TEST(WindowProgramWithStandInGds32, EndsWithoutARunEveryWayTheUserEndsIt) {
    enum class Ending { kAbbrechen, kDialogCloseBox, kSchliessen, kMainCloseBox, kEndSession };
    const struct {
        const char* typed;
        Ending ending;
    } cases[] = {
        {"ja", Ending::kAbbrechen},    {"JA", Ending::kDialogCloseBox}, {"JA", Ending::kSchliessen},
        {"JA", Ending::kMainCloseBox}, {"JA", Ending::kEndSession},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.ending));
        WinTempDir dir;
        PlaceMovedDatabaseWithStandIn(dir);
        const WindowProgram program(InstallProgram(dir, kProgram), dir.withSeparator());
        const HWND dialog = TypeConfirmation(program, c.typed);
        // The main window exists, hidden, until the confirmation is given.
        EXPECT_FALSE(IsWindowVisible(program.FindNow("TfmTLMMain", kCaption)));
        switch (c.ending) {
        case Ending::kAbbrechen:
            Screenshot(dialog, "confirmation_dialog");
            Click(Child(dialog, "Button", "Abbrechen"));
            break;
        case Ending::kDialogCloseBox:
            Send(dialog, WM_CLOSE);
            break;
        case Ending::kSchliessen:
            Click(Child(Accept(program, dialog), "Button", "Schließen"));
            break;
        case Ending::kMainCloseBox:
            Send(Accept(program, dialog), WM_CLOSE);
            break;
        case Ending::kEndSession: {
            const HWND main = Accept(program, dialog);
            EXPECT_TRUE(Send(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
            Send(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            break;
        }
        }
        ASSERT_TRUE(program.Ended());
        EXPECT_EQ(program.ExitCode(), 0u);
        // No run: nothing renamed or written, the file table untouched.
        EXPECT_EQ(ReadAll(dir / "Tessaldrin.GDB"),
                  whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
        EXPECT_EQ(ReadAll(dir / "gds32.rows.after"), RowsBefore());
        EXPECT_EQ(ReadAll(dir / "gds32.journal"), "");
    }
}

TEST(WindowProgramWithStandInGds32, RunsTheWholeRepairWithTheConsolesLogAndRepeatsIt) {
    WinTempDir dir;
    PlaceMovedDatabaseWithStandIn(dir);
    // Started from another working directory: the program's own is searched.
    WinTempDir elsewhere;
    const WindowProgram program(InstallProgram(dir, kProgram), elsewhere.withSeparator());
    const HWND main = Accept(program, TypeConfirmation(program, "JA"));
    const HWND log = Child(main, "Edit", nullptr);
    EXPECT_EQ(Text(log), "");

    // Typed digits only, at most nine; a custom port reaches the server check.
    const HWND custom = Child(main, "Button", "Benutzerdefiniert:");
    const HWND port = Child(main, "Edit", nullptr, custom);
    Type(port, "1234567890");
    EXPECT_EQ(Text(port), "123456789");
    SetText(port, "");
    Type(port, "4x0y5z0-1 ");
    EXPECT_EQ(Text(port), "40501");
    Click(custom);

    const HWND start = Child(main, "Button", " Start");
    Click(start);
    const std::string first = AsConsoleOutput(Text(log));
    EXPECT_EQ(first, whole_run::Output(dir.withSeparator()));

    // Again: the second run goes below the first, and the files are already moved.
    Click(start);
    const std::string both = AsConsoleOutput(Text(log));
    ASSERT_GT(both.size(), first.size());
    EXPECT_EQ(both.substr(0, first.size()), first);
    const std::string finalLine = first.substr(first.rfind('\n', first.size() - 2));
    EXPECT_EQ(both.substr(both.size() - finalLine.size()), finalLine);
    EXPECT_EQ(both.find("umbenannt", first.size()), std::string::npos);
    Screenshot(main, "main_window");

    // Nine digits that name no port: no server is asked, the log says why.
    SetText(port, "");
    Type(port, "68586");
    Click(start);
    const std::string refused = AsConsoleOutput(Text(log)).substr(both.size());
    EXPECT_EQ(refused, "FEHLER: Der Port 68586 ist kein Netzwerk-Port: Ports gehen von 0 bis "
                       "65535. Es wird kein Server gefragt.\n\n\n\nTessaldrin Mover konnte "
                       "Tessaldrin nicht anpassen!\n");

    Click(Child(main, "Button", "Schließen"));
    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(ReadAll(dir / "gds32.rows.after"), "1\t" + (dir / "Tessaldrin_1.TDB") + "\n");
    const std::string journal = ReadAll(dir / "gds32.journal");
    EXPECT_NE(journal.find("isc_service_attach localhost/40501:"), std::string::npos);
    EXPECT_EQ(journal.find("68586"), std::string::npos);
}

TEST(WindowProgramWithoutGds32, ShowsTheLoadFailureAndEndsBeforeTheConfirmation) {
    WinTempDir dir;
    const std::string installed = InstallProgram(dir, kProgram);
    WriteAll(dir / "Tessaldrin.GDB", whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    const WindowProgram program(installed, dir.withSeparator());

    const HWND display = program.Window("#32770", kCaption);
    const std::string text = filetable::LibraryNotFoundText("gds32.dll");
    EXPECT_NO_THROW(Child(display, "Static", text.c_str())) << text;
    // The main window and the data module came first; the dialog never did.
    EXPECT_FALSE(IsWindowVisible(program.FindNow("TfmTLMMain", kCaption)));
    EXPECT_EQ(program.FindNow("TfmTLMStart", kCaption), nullptr);
    Screenshot(display, "exception_display");

    Click(GetDlgItem(display, IDOK));
    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Tessaldrin.GDB", kProgram}));
}

// The version switches of the window program's start, before the data module
// and the confirmation exist: the report file beside the program, then the
// version window; once it is closed, the start goes on to the confirmation.
TEST(WindowProgramWithStandInGds32, CarriesOutTheVersionSwitchesBeforeTheConfirmation) {
    WinTempDir dir;
    PlaceMovedDatabaseWithStandIn(dir);
    const WindowProgram program(InstallProgram(dir, kProgram), dir.withSeparator(),
                                "/evif -EVIS /EVIS");
    const HWND version = program.Window("TfmEVI", "Version Info");
    EXPECT_EQ(ReadAll(dir / "tessaldrin-mover.EVI")
                  .rfind("Datei:       tessaldrin-mover.exe\r\n"
                         "Version:      1.11.002\r\n",
                         0),
              0u);
    EXPECT_EQ(program.FindNow("TfmTLMStart", kCaption), nullptr);
    Send(version, WM_CLOSE);
    Click(Child(program.Window("TfmTLMStart", kCaption), "Button", "Abbrechen"));
    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(program.ExitCode(), 0u);
}
