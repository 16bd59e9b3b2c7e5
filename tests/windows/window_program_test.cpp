// The Win32 window program as a user meets it, under Wine on an X display
// (scripts/xvfb): the confirmation, the port choice, whole runs through the
// stand-in client library put beside it as gds32.dll (it plays a server whose
// RDB$FILES accepts updates, which no real one here can be made to), each way
// the program ends, and the start without any gds32.dll.
#include "filetable/client_library.h"
#include "platform/format_message.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/windows/window_driver.h"
#include "tests/windows/windows_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
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
    EXPECT_TRUE(
        WaitUntil([&] { return CaptionColour(dialog) == GetSysColor(COLOR_ACTIVECAPTION); }));
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

// What GetFileVersionInfoA and VerQueryValueA read of a program's version
// resource: its four file and product version numbers, its translations, and
// the texts of its German (0407) Windows-1252 block.
struct VersionResource {
    std::array<unsigned, 4> file{};
    std::array<unsigned, 4> product{};
    std::vector<std::pair<WORD, WORD>> translations;
    std::map<std::string, std::string> texts;
};

VersionResource ReadVersionResource(const std::string& program) {
    VersionResource resource;
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    if (data.empty() ||
        !GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) {
        return resource;
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
        resource.file = {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                         HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
        resource.product = {HIWORD(fixed.dwProductVersionMS), LOWORD(fixed.dwProductVersionMS),
                            HIWORD(fixed.dwProductVersionLS), LOWORD(fixed.dwProductVersionLS)};
    }
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length)) {
        const auto* pairs = static_cast<const WORD*>(value);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
            resource.translations.emplace_back(pairs[i], pairs[i + 1]);
        }
    }
    for (const char* name :
         {"FileDescription", "FileVersion", "OriginalFilename", "ProductName", "ProductVersion"}) {
        const std::string path = std::string("\\StringFileInfo\\040704E4\\") + name;
        if (VerQueryValueA(data.data(), path.c_str(), &value, &length) && length > 0) {
            resource.texts[name] = static_cast<const char*>(value);
        }
    }
    return resource;
}

// The application manifest in `program`'s resources; empty without one.
std::string Manifest(const std::string& program) {
    const HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC found = module != nullptr
                            ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))
                            : nullptr;
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const std::string manifest = loaded != nullptr
                                     ? std::string(static_cast<const char*>(LockResource(loaded)),
                                                   SizeofResource(module, found))
                                     : std::string{};
    if (module != nullptr) {
        FreeLibrary(module);
    }
    return manifest;
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

// Enter and Esc in the confirmation dialog as the keyboard sends them, the
// focus moved there with Tab: Enter presses the push button that has the
// focus, and from any other control "Weiter" while it is enabled; Esc
// cancels from everywhere.
TEST(WindowProgramWithStandInGds32, EnterPressesTheFocusedButtonAndEscCancelsTheConfirmation) {
    enum class Ends { kConfirmed, kCancelled, kStaysOpen };
    enum class Focus { kWarning, kEntry, kWeiter, kAbbrechen };
    const struct {
        const char* typed;
        Focus focus;
        UINT key;
        Ends ends;
    } cases[] = {
        {"JA", Focus::kEntry, VK_RETURN, Ends::kConfirmed},
        {"", Focus::kEntry, VK_RETURN, Ends::kStaysOpen},
        {"JA", Focus::kWeiter, VK_RETURN, Ends::kConfirmed},
        {"JA", Focus::kAbbrechen, VK_RETURN, Ends::kCancelled},
        {"", Focus::kAbbrechen, VK_RETURN, Ends::kCancelled},
        {"JA", Focus::kWarning, VK_RETURN, Ends::kConfirmed},
        {"", Focus::kWarning, VK_RETURN, Ends::kStaysOpen},
        {"JA", Focus::kEntry, VK_ESCAPE, Ends::kCancelled},
        {"JA", Focus::kWeiter, VK_ESCAPE, Ends::kCancelled},
        {"JA", Focus::kAbbrechen, VK_ESCAPE, Ends::kCancelled},
        {"JA", Focus::kWarning, VK_ESCAPE, Ends::kCancelled},
        {"", Focus::kEntry, VK_ESCAPE, Ends::kCancelled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.typed << " focus " << static_cast<int>(c.focus) << " key " << c.key);
        WinTempDir dir;
        PlaceMovedDatabaseWithStandIn(dir);
        const WindowProgram program(InstallProgram(dir, kProgram), dir.withSeparator());
        const HWND dialog = TypeConfirmation(program, c.typed);
        const HWND warning = Child(dialog, "Edit", nullptr);
        const HWND entry = Child(dialog, "Edit", nullptr, warning);
        const HWND weiter = Child(dialog, "Button", "Weiter");
        const HWND abbrechen = Child(dialog, "Button", "Abbrechen");
        const HWND target =
            std::array{warning, entry, weiter, abbrechen}[static_cast<int>(c.focus)];
        // Tab goes round Memo1, Edit1, Weiter (while enabled), BitBtn2.
        ASSERT_TRUE(TabTo(dialog, target));
        // The default frame is on the button that Enter is to press.
        const HWND pressed = c.focus == Focus::kAbbrechen ? abbrechen : weiter;
        for (const HWND button : {weiter, abbrechen}) {
            EXPECT_TRUE(WaitUntil([&] {
                return (CornerColour(button) == GetSysColor(COLOR_WINDOWFRAME)) ==
                       (button == pressed);
            })) << (button == weiter ? "Weiter" : "Abbrechen");
        }
        PressKey(dialog, c.key);
        switch (c.ends) {
        case Ends::kConfirmed: {
            const HWND main = program.Window("TfmTLMMain", kCaption);
            EXPECT_TRUE(IsWindowEnabled(Child(main, "Button", " Start")));
            Click(Child(main, "Button", "Schließen"));
            ASSERT_TRUE(program.Ended());
            break;
        }
        case Ends::kCancelled:
            ASSERT_TRUE(program.Ended());
            EXPECT_EQ(program.ExitCode(), 0u);
            break;
        case Ends::kStaysOpen:
            // A character posted behind the key reaches the entry once the key is handled.
            PostMessageA(entry, WM_CHAR, '.', 1);
            ASSERT_TRUE(WaitUntil([&] { return Text(entry) == c.typed + std::string("."); }));
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(FocusOf(dialog), target);
            EXPECT_FALSE(IsWindowVisible(program.FindNow("TfmTLMMain", kCaption)));
            PressKey(dialog, VK_ESCAPE);
            ASSERT_TRUE(program.Ended());
            break;
        }
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
    EXPECT_NE(ReadAll(dir / "gds32.journal").find("isc_service_attach localhost/40501:"),
              std::string::npos);
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
// which carries the identity that the version report gives the program: the
// file's name, and the version whose first three numbers the report shows.
// The report's lines are the console's --version and the window program's
// report file. Both programs carry the same manifest.
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
    const struct {
        std::string program;
        std::string report;
    } programs[] = {{console, version.out}, {window, ReadAll(dir / "tessaldrin-mover.EVI")}};
    for (const auto& p : programs) {
        SCOPED_TRACE(p.program);
        VersionResource resource = ReadVersionResource(p.program);
        const auto [major, minor, release, build] = resource.file;
        const std::string identity =
            "Datei:       " + resource.texts["OriginalFilename"] + "\r\nVersion:     " +
            platform::FormatText("%2i.%02i.%03i", static_cast<int>(major), static_cast<int>(minor),
                                 static_cast<int>(release)) +
            "\r\n";
        EXPECT_EQ(p.report.substr(0, identity.size()), identity);
        EXPECT_EQ(build, 0u);
        EXPECT_EQ(resource.product, resource.file);
        const std::string numbers = std::to_string(major) + "." + std::to_string(minor) + "." +
                                    std::to_string(release) + "." + std::to_string(build);
        EXPECT_EQ(resource.texts["FileVersion"], numbers);
        EXPECT_EQ(resource.texts["ProductVersion"], numbers);
        EXPECT_EQ(resource.texts["ProductName"], "Tessaldrin-Mover");
        EXPECT_NE(resource.texts["FileDescription"], "");
        EXPECT_EQ(resource.translations, (std::vector<std::pair<WORD, WORD>>{{0x0407, 1252}}));
        const std::string manifest = Manifest(p.program);
        for (const char* wanted :
             {"level=\"asInvoker\"", "name=\"Microsoft.Windows.Common-Controls\"",
              ">system</dpiAwareness>", "<supportedOS"}) {
            EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
        }
    }
}
