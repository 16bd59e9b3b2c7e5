// The Win32 window program as a user meets it, under Wine on an X display
// (scripts/xvfb): the confirmation, the port choice, whole runs through the
// stand-in client library put beside it as gds32.dll (it plays a server whose
// RDB$FILES accepts updates, which no real one here can be made to), each way
// the program ends, and the start without any gds32.dll; and its windows,
// made here, against their layout.
#include "filetable/client_library.h"
#include "gui/tfm_tlm_main_layout.h"
#include "gui/tfm_tlm_start_layout.h"
#include "gui/win32/tfm_tlm_main.h"
#include "gui/win32/tfm_tlm_start.h"
#include "platform/format_message.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/windows/layout_differences.h"
#include "tests/windows/window_driver.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
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

// Types `word` into the waiting confirmation dialog, which is shown active
// with the focus in its entry; "Weiter" is enabled exactly once the whole
// word is "JA". Returns the dialog.
HWND TypeConfirmation(const WindowProgram& program, const std::string& word) {
    const HWND dialog = program.Window("TfmTLMStart", kCaption);
    EXPECT_EQ(ClientSize(dialog), (std::pair<long, long>{700, 416}));
    const HWND warning = Child(dialog, "Edit", nullptr);
    EXPECT_EQ(Text(warning), kWarning);
    const HWND entry = Child(dialog, "Edit", nullptr, warning);
    EXPECT_TRUE(WaitUntil([&] { return ActiveOf(dialog) == dialog && FocusOf(dialog) == entry; }));
    // The title bar in the colour of the active window, right of the caption.
    EXPECT_TRUE(WaitUntil([&] {
        return ShownColour(dialog, 350,
                           GetSystemMetrics(SM_CYFIXEDFRAME) +
                               GetSystemMetrics(SM_CYCAPTION) / 2) ==
               GetSysColor(COLOR_ACTIVECAPTION);
    }));
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

// A value of `program`'s version resource as VerQueryValueA reads it: at "\\"
// the fixed record, at a path of a text that text.
std::string VersionValue(const std::string& program, const std::string& path) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    void* value = nullptr;
    UINT length = 0;
    if (data.empty() ||
        !GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), path.c_str(), &value, &length)) {
        return {};
    }
    return path == "\\" ? std::string(static_cast<const char*>(value), length)
                        : std::string(static_cast<const char*>(value));
}

} // namespace

// The windows as the program makes them, here, where their fonts can be read.
TEST(WindowProgramWindows, AreLaidOutAsTheirDesignerFilesSay) {
    toolkit::TApplication application(GetModuleHandleA(nullptr), {});
    TfmTLMMain main(application);
    TfmTLMStart dialog(application);
    EXPECT_EQ(LayoutDifferences(dialog.Handle(), layout::start_dialog::kWindow), "");
    EXPECT_EQ(LayoutDifferences(main.Handle(), layout::main_window::kWindow), "");
}

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

// Enter and Esc in the confirmation dialog as the keyboard sends them, the
// focus moved there with Tab: Enter presses the push button that has the
// focus, which wears the default frame, and from any other control "Weiter"
// while it is enabled; Esc cancels from everywhere.
TEST(WindowProgramWithStandInGds32, EnterPressesTheFocusedButtonAndEscCancelsTheConfirmation) {
    enum Ends { kConfirmed, kCancelled, kStaysOpen };
    enum Focus { kWarning, kEntry, kWeiter, kAbbrechen };
    const struct {
        const char* typed;
        Focus focus;
        UINT key;
        Ends ends;
    } cases[] = {
        {"JA", kEntry, VK_RETURN, kConfirmed},   {"", kEntry, VK_RETURN, kStaysOpen},
        {"JA", kWeiter, VK_RETURN, kConfirmed},  {"JA", kAbbrechen, VK_RETURN, kCancelled},
        {"", kAbbrechen, VK_RETURN, kCancelled}, {"JA", kWarning, VK_RETURN, kConfirmed},
        {"", kWarning, VK_RETURN, kStaysOpen},   {"JA", kEntry, VK_ESCAPE, kCancelled},
        {"JA", kWeiter, VK_ESCAPE, kCancelled},  {"JA", kAbbrechen, VK_ESCAPE, kCancelled},
        {"JA", kWarning, VK_ESCAPE, kCancelled}, {"", kEntry, VK_ESCAPE, kCancelled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.typed << " focus " << c.focus << " key " << c.key);
        WinTempDir dir;
        PlaceMovedDatabaseWithStandIn(dir);
        const WindowProgram program(InstallProgram(dir, kProgram), dir.withSeparator());
        const HWND dialog = TypeConfirmation(program, c.typed);
        const HWND warning = Child(dialog, "Edit", nullptr);
        const HWND entry = Child(dialog, "Edit", nullptr, warning);
        const HWND buttons[] = {Child(dialog, "Button", "Weiter"),
                                Child(dialog, "Button", "Abbrechen")};
        const HWND target = std::array{warning, entry, buttons[0], buttons[1]}[c.focus];
        ASSERT_TRUE(TabTo(dialog, target));
        for (const HWND button : buttons) {
            EXPECT_TRUE(WaitUntil([&] {
                return (ShownColour(button, 0, 0) == GetSysColor(COLOR_WINDOWFRAME)) ==
                       (button == buttons[c.focus == kAbbrechen]);
            }));
        }
        PressKey(dialog, c.key);
        // The key is handled, and what it passed on (the warning passes Enter to
        // "Weiter"), once two selections posted one after the other behind it
        // have reached the warning, or the program has ended.
        for (const WPARAM at : {1, 2}) {
            PostMessageA(warning, EM_SETSEL, at, static_cast<LPARAM>(at));
            ASSERT_TRUE(WaitUntil([&] {
                DWORD_PTR selection = 0;
                return !SendMessageTimeoutA(warning, EM_GETSEL, 0, 0, SMTO_NORMAL, 1000,
                                            &selection) ||
                       LOWORD(selection) == at;
            }));
        }
        const HWND main = program.FindNow("TfmTLMMain", kCaption);
        EXPECT_EQ(IsWindowVisible(main)     ? kConfirmed
                  : IsWindowVisible(dialog) ? kStaysOpen
                                            : kCancelled,
                  c.ends);
        if (main != nullptr) {
            Send(main, WM_CLOSE);
        }
        ASSERT_TRUE(program.Ended());
        // No run: the stand-in, which writes its journal when the program ends, saw no call.
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

    // Tab into the log selects none of it: a key typed there adds to the
    // log, which stays editable, and replaces nothing.
    const std::string logged = Text(log);
    ASSERT_TRUE(TabTo(main, log));
    const LRESULT selection = Send(log, EM_GETSEL);
    EXPECT_EQ(LOWORD(selection), HIWORD(selection));
    PostMessageA(log, WM_CHAR, 'x', 1);
    EXPECT_TRUE(WaitUntil([&] { return Text(log).size() > logged.size(); }));
    EXPECT_EQ(Text(log), logged + "x");

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
// version window; once it is closed, the start goes on to the confirmation,
// which takes the keys.
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
    Click(Child(TypeConfirmation(program, ""), "Button", "Abbrechen"));
    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Explorer's details of both programs come from their version resource,
// German in Windows-1252, which carries the identity that the version report
// gives the program: the file's name, and the version whose first three
// numbers the report shows. The report's lines are the console's --version
// and the window program's report file. Both programs carry the manifest.
TEST(WindowsPrograms, VersionResourceCarriesTheIdentityOfTheReport) {
    WinTempDir dir;
    PlaceMovedDatabaseWithStandIn(dir);
    const std::string console = InstallProgram(dir, "tessaldrin-mover-cli.exe");
    const std::string window = InstallProgram(dir, kProgram);
    const ProgramRun version = RunProgram(console, "--version", dir.withSeparator());
    {
        const WindowProgram program(window, dir.withSeparator(), "/EVIF");
        Click(Child(TypeConfirmation(program, ""), "Button", "Abbrechen"));
        ASSERT_TRUE(program.Ended());
    }
    for (const auto& [program, report] :
         {std::pair{console, version.out}, {window, ReadAll(dir / "tessaldrin-mover.EVI")}}) {
        SCOPED_TRACE(program);
        VS_FIXEDFILEINFO fixed{};
        const std::string record = VersionValue(program, "\\");
        ASSERT_EQ(record.size(), sizeof fixed);
        std::memcpy(&fixed, record.data(), sizeof fixed);
        const int numbers[] = {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                               HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
        const auto text = [&](const char* name) {
            return VersionValue(program, std::string("\\StringFileInfo\\040704E4\\") + name);
        };
        const std::string identity =
            "Datei:       " + text("OriginalFilename") + "\r\nVersion:     " +
            platform::FormatText("%2i.%02i.%03i", numbers[0], numbers[1], numbers[2]) + "\r\n";
        EXPECT_EQ(report.substr(0, identity.size()), identity);
        const std::string dotted =
            platform::FormatText("%d.%d.%d.%d", numbers[0], numbers[1], numbers[2], numbers[3]);
        EXPECT_EQ(dotted, "1.11.2.0");
        EXPECT_EQ(text("FileVersion"), dotted);
        EXPECT_EQ(text("ProductVersion"), dotted);
        EXPECT_EQ(text("ProductName"), "Tessaldrin-Mover");
        EXPECT_NE(text("FileDescription"), "");
        const HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        const HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        ASSERT_NE(manifest, nullptr);
        const std::string xml(
            static_cast<const char*>(LockResource(LoadResource(module, manifest))),
            SizeofResource(module, manifest));
        EXPECT_NE(xml.find("\"asInvoker\""), std::string::npos);
        EXPECT_NE(xml.find("\"Microsoft.Windows.Common-Controls\""), std::string::npos);
        FreeLibrary(module);
    }
}
