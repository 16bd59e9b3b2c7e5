// The version report of the Windows build under Wine: the switches, the
// report file beside a program in a directory named with umlauts, the
// version window driven through its messages, and the system's printer setup
// dialog over it. What the printouts look like is checked from Linux, where
// the tools are (version_printout_test.sh runs VersionPrintout.*).
#include "tests/windows/layout_differences.h"
#include "tests/windows/window_driver.h"
#include "tests/windows/windows_test_support.h"
#include "toolkit/windows/gdi_printer.h"
#include "versioninfo/f_evi_layout.h"
#include "versioninfo/version_switches.h"
#include "versioninfo/windows/f_evi.h"

#include <gtest/gtest.h>

#include "platform/windows/windows_api.h"

#include <dlgs.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

using namespace tessaldrin;
using namespace tessaldrin::testing::windows;
using versioninfo::TExVersionInfoTyp;

namespace {

// The report of the program `file` in `dir`, with this program's version.
std::string ExpectedReport(const std::string& file, const std::string& dir) {
    const std::string rule(70, '-');
    std::string report;
    for (const std::string& line :
         {"Datei:       " + file, std::string("Version:      1.11.002"),
          std::string("Datum:       01.07.2015"), "Verzeichnis: " + dir, rule, std::string(),
          std::string("Verwendete Komponenten:"), rule,
          "EVI" + std::string(34, ' ') + "1.01.000" + std::string(5, ' ') + "16.11.2001",
          "-DOzadi" + std::string(31, ' ') + "1.08.050" + std::string(5, ' ') + "15.06.2007"}) {
        report += line + "\r\n";
    }
    return report;
}

// Waits up to half a minute for a window that `find` names.
HWND WaitForWindow(const std::function<HWND()>& find) {
    for (int i = 0; i < 300; ++i) {
        if (const HWND window = find()) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

// Once it is shown: made hidden, it takes input only then.
HWND VersionWindow() {
    return WaitForWindow([] {
        const HWND window = FindWindowA("TfmEVI", "Version Info");
        return window != nullptr && IsWindowVisible(window) ? window : HWND{};
    });
}

HWND Button(HWND window, const char* caption) {
    return FindWindowExA(window, nullptr, "Button", caption);
}

// The system's dialog that `owner` opened: the printer setup or a message box.
HWND OwnedDialog(HWND owner) {
    return WaitForWindow([owner] {
        for (HWND at = nullptr; (at = FindWindowExA(nullptr, at, "#32770", nullptr));) {
            if (GetWindow(at, GW_OWNER) == owner && IsWindowVisible(at)) {
                return at;
            }
        }
        return HWND{};
    });
}

// Chooses paper and orientation in the open setup dialog and leaves it with
// `button` (IDOK or IDCANCEL); true when the paper was offered.
bool ChooseInSetupDialog(HWND dialog, const char* paper, int orientation, int button) {
    const HWND papers = GetDlgItem(dialog, cmb2);
    const LRESULT index = SendMessageA(papers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(paper));
    SendMessageA(papers, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb2, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(papers));
    SendMessageA(GetDlgItem(dialog, orientation), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    return index != CB_ERR;
}

// What `control` shows on the screen, pixel by pixel, once it has repainted.
std::vector<std::uint32_t> Pixels(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT bounds{};
    GetClientRect(control, &bounds);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, bounds.right, -bounds.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bounds.right * bounds.bottom));
    const HDC screen = GetDC(control);
    const HDC memory = CreateCompatibleDC(screen);
    {
        const toolkit::GdiObject<HBITMAP> bitmap(
            CreateCompatibleBitmap(screen, bounds.right, bounds.bottom));
        {
            const toolkit::Selected selected(memory, bitmap.get());
            BitBlt(memory, 0, 0, bounds.right, bounds.bottom, screen, 0, 0, SRCCOPY);
        }
        GetDIBits(memory, bitmap.get(), 0, static_cast<UINT>(bounds.bottom), pixels.data(), &info,
                  DIB_RGB_COLORS);
    }
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return pixels;
}

// Shows the collector's window from the switch "/EVIS" on this thread while
// `drive` works it from another, as a user would; then it is closed.
void WithVersionWindow(versioninfo::TEVI& evi, const std::function<void(HWND)>& drive) {
    auto driven = std::async(std::launch::async, [&drive] {
        const HWND window = VersionWindow();
        if (window != nullptr) {
            drive(window);
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return window != nullptr;
    });
    // As the main window's creation does: its version texts, then the switch.
    versioninfo::SetVersionAndRunSwitches(evi, {"/EVIS"},
                                          [&evi](TExVersionInfoTyp kind) { evi.Info(kind); });
    EXPECT_TRUE(driven.get()) << "no version window: is there an X display (scripts/xvfb)?";
}

} // namespace

TEST(VersionSwitches, EachMatchedWholeInAnyCaseAndInTheirOrder) {
    using enum TExVersionInfoTyp;
    const struct {
        std::vector<std::string> arguments;
        std::vector<TExVersionInfoTyp> outputs;
    } cases[] = {
        {{}, {}},
        {{"/EVIS"}, {eviScreen}},
        {{"/evif", "/EViP"}, {eviFile, eviPrinter}},
        {{"/EVIF", "/EVIS", "/EVIF"}, {eviFile, eviScreen, eviFile}},
        {{"-EVIS", "/EVI", "/EVISX", "EVIS", "/EVIS ", "//EVIP", "/\xC9VIS"}, {}},
        {{"x", "/EVIP", "/EVIX", "/evis"}, {eviPrinter, eviScreen}},
    };
    for (const auto& entry : cases) {
        std::vector<TExVersionInfoTyp> asked;
        versioninfo::RunVersionSwitches(entry.arguments,
                                        [&](TExVersionInfoTyp kind) { asked.push_back(kind); });
        EXPECT_EQ(asked, entry.outputs) << ::testing::PrintToString(entry.arguments);
    }
}

TEST(VersionReportFile, BesideAProgramInADirectoryNamedWithUmlautsByteForByte) {
    WinTempDir temp;
    const std::string dir = temp / "B\xFCro \xC4\xD6\xDC\xDF\x80\\";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    for (const char* file : {"version_probe.exe", "gds32.dll"}) {
        WriteAll(dir + file, ReadAll(ProgramDir() + file));
    }
    // A second write replaces the first: the file never holds two reports.
    for (const char* switches : {"/EVIF", "/evif /EVIF"}) {
        EXPECT_EQ(RunProgram(dir + "version_probe.exe", switches, dir).exitCode, 0u);
        EXPECT_EQ(ReadAll(dir + "version_probe.EVI"), ExpectedReport("version_probe.exe", dir));
    }
    // A second name of another file where the report goes (a database file,
    // say) is replaced; the file itself keeps every byte.
    const std::string database = dir + "Kunden.fdb";
    const std::string bytes(413696, '\x5A');
    WriteAll(database, bytes);
    ASSERT_TRUE(DeleteFileA((dir + "version_probe.EVI").c_str()));
    ASSERT_TRUE(CreateHardLinkA((dir + "version_probe.EVI").c_str(), database.c_str(), nullptr));
    EXPECT_EQ(RunProgram(dir + "version_probe.exe", "/EVIF", dir).exitCode, 0u);
    EXPECT_EQ(ReadAll(database), bytes);
    EXPECT_EQ(ReadAll(dir + "version_probe.EVI"), ExpectedReport("version_probe.exe", dir));
}

TEST(VersionWindow, ShowsTheReportReadOnlyAndWritesTheFileAndClosesOnItsButtons) {
    const std::string reportFile = ProgramDir() + "version_info_tests.EVI";
    DeleteFileA(reportFile.c_str());
    versioninfo::TEVI evi(versioninfo::ShowVersionWindow);
    WithVersionWindow(evi, [&](HWND window) {
        RECT frame{};
        RECT client{};
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        EXPECT_EQ(frame.left, 192);
        EXPECT_EQ(frame.top, 112);
        EXPECT_EQ(client.right, 607);
        EXPECT_EQ(client.bottom, 343);
        char caption[64] = {};
        GetWindowTextA(window, caption, sizeof caption);
        EXPECT_STREQ(caption, "Version Info");
        EXPECT_EQ(LayoutDifferences(window, layout::version_window::kWindow), "");

        const HWND memo = FindWindowExA(window, nullptr, "Edit", nullptr);
        const struct {
            HWND control;
            RECT bounds;
        } layout[] = {
            {memo, {0, 0, 609, 297}},
            {Button(window, "&Schlie\xDF"
                            "en"),
             {506, 304, 593, 329}},
            {Button(window, "&Drucken"), {88, 304, 163, 329}},
            {Button(window, "Drucker &einrichten"), {176, 304, 305, 329}},
            {Button(window, "Datei&ausgabe"), {312, 304, 417, 329}},
        };
        for (std::size_t i = 0; i < std::size(layout); ++i) {
            ASSERT_NE(layout[i].control, nullptr) << i;
            RECT bounds{};
            GetWindowRect(layout[i].control, &bounds);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
            EXPECT_TRUE(EqualRect(&bounds, &layout[i].bounds)) << i;
            // Tab goes from each control to the next in the table, and round.
            EXPECT_EQ(GetNextDlgTabItem(window, layout[i].control, FALSE),
                      layout[(i + 1) % std::size(layout)].control)
                << i;
        }
        const LONG style = GetWindowLongA(memo, GWL_STYLE);
        EXPECT_EQ(style & (ES_READONLY | WS_VSCROLL | ES_MULTILINE),
                  ES_READONLY | WS_VSCROLL | ES_MULTILINE);
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, "Courier New");
        EXPECT_EQ(font.lfHeight, -11);
        // The memo shows the report; typing changes nothing.
        const std::string report = ExpectedReport("version_info_tests.exe", ProgramDir());
        SendMessageA(memo, WM_CHAR, 'x', 0);
        std::string shown(4096, '\0');
        shown.resize(static_cast<std::size_t>(
            GetWindowTextA(memo, shown.data(), static_cast<int>(shown.size()))));
        EXPECT_EQ(shown + "\r\n", report);

        // A disabled button draws its image and caption greyed.
        for (const HWND button : {layout[2].control, layout[3].control}) {
            const std::vector<std::uint32_t> enabled = Pixels(button);
            EnableWindow(button, FALSE);
            EXPECT_TRUE(Pixels(button) != enabled);
            EnableWindow(button, TRUE);
            EXPECT_TRUE(Pixels(button) == enabled);
        }

        // Enter presses the button that Tab moved the focus to: the file,
        // written before the next Tab moves the focus on, then the close button.
        ASSERT_TRUE(TabTo(window, Button(window, "Datei&ausgabe")));
        PressKey(window, VK_RETURN);
        ASSERT_TRUE(TabTo(window, layout[1].control));
        EXPECT_EQ(ReadAll(reportFile), report);
        PressKey(window, VK_RETURN);
    });
    EXPECT_EQ(FindWindowA("TfmEVI", nullptr), nullptr);
    DeleteFileA(reportFile.c_str());
}

// An output that fails shows the standard exception display, owned by the
// version window, which takes the keys again once the box is closed; once
// the version window is closed, the window below it takes them.
TEST(VersionWindow, GivesTheKeysBackAfterAnErrorAndToTheWindowBelowWhenClosed) {
    // A directory in the report file's place: the file output fails.
    const struct InPlaceOfTheReport {
        std::string path = ProgramDir() + "version_info_tests.EVI";
        InPlaceOfTheReport() {
            DeleteFileA(path.c_str());
            CreateDirectoryA(path.c_str(), nullptr);
        }
        ~InPlaceOfTheReport() { RemoveDirectoryA(path.c_str()); }
    } directory;
    const HWND below = CreateWindowExA(0, "STATIC", "darunter", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(below);
    ASSERT_EQ(GetActiveWindow(), below);
    versioninfo::TEVI evi(versioninfo::ShowVersionWindow);
    WithVersionWindow(evi, [&](HWND window) {
        EXPECT_EQ(GetWindow(window, GW_OWNER), below);
        PostMessageA(Button(window, "Datei&ausgabe"), BM_CLICK, 0, 0);
        const HWND box = WaitForWindow([] {
            const HWND shown = FindWindowA("#32770", nullptr);
            return shown != nullptr && IsWindowVisible(shown) ? shown : HWND{};
        });
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(GetWindow(box, GW_OWNER), window);
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] {
            return !IsWindow(box) && ActiveOf(window) == window && IsChild(window, FocusOf(window));
        }));
    });
    EXPECT_EQ(GetActiveWindow(), below);
    EXPECT_EQ(GetFocus(), below);
    DestroyWindow(below);
}

// The printer wrapper's page setup on the default printer's GDI device
// context: thousandths of an inch mapped isotropically, the origin at the
// margins, fonts true in points. The document is aborted: no job.
TEST(PrinterWrapperOverGdi, MapsItsUnitOntoTheDeviceContext) {
    using toolkit::DeviceCap;
    versioninfo::TDOzadi wrapper;
    ASSERT_TRUE(wrapper.GetPrinterAvailable()) << "no printer: is CUPS running?";
    EXPECT_TRUE(wrapper.GetPrinterCapabilities().Contains(
        versioninfo::TDOzadierCapability::xpcOrientation));
    wrapper.SetScaling(versioninfo::TScaling::pscMil);
    wrapper.SetMarginLeft(500);
    wrapper.SetMarginTop(250);
    wrapper.BeginDoc();
    const HDC dc = toolkit::GdiPrinter().Handle()->Dc();
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    const int window = 7200 / dpi * 1000;
    SIZE windowExtent{};
    SIZE viewportExtent{};
    POINT origin{};
    GetWindowExtEx(dc, &windowExtent);
    GetViewportExtEx(dc, &viewportExtent);
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(GetMapMode(dc), MM_ISOTROPIC);
    EXPECT_EQ(windowExtent.cx, window);
    EXPECT_EQ(windowExtent.cy, window);
    // GDI keeps both axes at one scale in millimetres, as the device reports
    // its size in them: one viewport extent may shrink by a rounding.
    EXPECT_EQ(std::max(viewportExtent.cx, viewportExtent.cy), 7200);
    EXPECT_GT(std::min(viewportExtent.cx, viewportExtent.cy), 7200 * 99 / 100);
    EXPECT_EQ(origin.x, 500 * dpi / 1000 - GetDeviceCaps(dc, PHYSICALOFFSETX));
    EXPECT_EQ(origin.y, 250 * dpi / 1000 - GetDeviceCaps(dc, PHYSICALOFFSETY));
    EXPECT_EQ(wrapper.PageWidth(),
              (GetDeviceCaps(dc, PHYSICALWIDTH) - 500 * dpi / 1000 - 1) * 1000 / dpi);
    wrapper.SetFontSize(12);
    EXPECT_EQ(wrapper.GetFont().Size(), 12 * 1000 / GetDeviceCaps(dc, LOGPIXELSY));
    wrapper.Abort();
    EXPECT_TRUE(wrapper.GetAborted());
}

// Prints twice from the window: after the setup dialog's OK with landscape
// A5, and after Abbrechen with portrait A4 chosen. Both jobs must come out on
// A5 in landscape, which version_printout_test.sh checks in the PDFs.
TEST(VersionPrintout, SetupChoiceReachesTheNextPrintoutAndAbbrechenChangesNothing) {
    versioninfo::TEVI evi(versioninfo::ShowVersionWindow);
    toolkit::TGdiPrinter& printer = toolkit::GdiPrinter();
    ASSERT_TRUE(evi.PrinterWrapper().GetPrinterAvailable()) << "no printer: is CUPS running?";
    std::vector<bool> offered;
    std::vector<toolkit::TPrinterOrientation> orientations;
    WithVersionWindow(evi, [&](HWND window) {
        for (const auto& [paper, orientation, button] :
             {std::tuple{"A5", rad2, IDOK}, std::tuple{"A4", rad1, IDCANCEL}}) {
            PostMessageA(Button(window, "Drucker &einrichten"), BM_CLICK, 0, 0);
            const HWND dialog = OwnedDialog(window);
            offered.push_back(dialog != nullptr &&
                              ChooseInSetupDialog(dialog, paper, orientation, button));
            WaitForWindow([dialog] { return IsWindow(dialog) ? HWND{} : dialog; });
            orientations.push_back(printer.Orientation());
            SendMessageA(Button(window, "&Drucken"), BM_CLICK, 0, 0);
        }
    });
    EXPECT_EQ(offered, (std::vector<bool>{true, true}));
    EXPECT_EQ(orientations, (std::vector<toolkit::TPrinterOrientation>(
                                2, toolkit::TPrinterOrientation::poLandscape)));
    EXPECT_EQ(printer.Title(), "version_info_tests.exe - EVI");
}
