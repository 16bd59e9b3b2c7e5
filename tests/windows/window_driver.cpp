#include "tests/windows/window_driver.h"

#include "tests/windows/windows_test_support.h"

#include <stdexcept>
#include <vector>

namespace tessaldrin::testing::windows {
namespace {

constexpr DWORD kLongestWaitMs = 30000;

HWND FindTopLevel(DWORD process, const char* windowClass, const char* caption, bool visibleOnly) {
    for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, caption); window != nullptr;
         window = FindWindowExA(nullptr, window, windowClass, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && (!visibleOnly || IsWindowVisible(window))) {
            return window;
        }
    }
    return nullptr;
}

// Under Wine on a bare X server no window manager draws the frames: Wine
// draws them itself when its windows are not managed, so that the
// screenshots show caption and icon. Windows itself has no such setting.
void LetWineDrawFrames() {
    const char value[] = "N";
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", REG_SZ, value,
                    sizeof value);
}

} // namespace

WindowProgram::WindowProgram(const std::string& program, const std::string& workingDir,
                             const std::string& arguments) {
    LetWineDrawFrames();
    std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.c_str(), &startup, &process_)) {
        throw std::runtime_error("cannot start " + program);
    }
    CloseHandle(process_.hThread);
}

WindowProgram::~WindowProgram() {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, kLongestWaitMs);
    }
    CloseHandle(process_.hProcess);
}

HWND WindowProgram::Window(const char* windowClass, const char* caption) const {
    for (DWORD waited = 0; waited < kLongestWaitMs; waited += 50) {
        if (const HWND window = FindTopLevel(process_.dwProcessId, windowClass, caption, true)) {
            return window;
        }
        if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) {
            throw std::runtime_error(std::string("the program ended before showing ") +
                                     windowClass + " (under Wine: is TM_WINE_DISPLAY set?)");
        }
    }
    throw std::runtime_error(std::string("no window ") + windowClass + " \"" + caption + "\"");
}

HWND WindowProgram::FindNow(const char* windowClass, const char* caption) const {
    return FindTopLevel(process_.dwProcessId, windowClass, caption, false);
}

bool WindowProgram::Ended() const {
    return WaitForSingleObject(process_.hProcess, kLongestWaitMs) == WAIT_OBJECT_0;
}

unsigned long WindowProgram::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

HWND Child(HWND parent, const char* windowClass, const char* caption, HWND after) {
    // Walked here: Wine's FindWindowExA finds nothing after a child of another class.
    for (HWND child = after != nullptr ? GetWindow(after, GW_HWNDNEXT)
                                       : GetWindow(parent, GW_CHILD);
         child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char childClass[256] = {};
        char text[1024] = {};
        GetClassNameA(child, childClass, sizeof childClass);
        // The caption as the system keeps it, which an edit's own text is not.
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(childClass, windowClass) == 0 &&
            (caption == nullptr || caption == std::string(text))) {
            return child;
        }
    }
    throw std::runtime_error(std::string("no control ") + windowClass + " \"" +
                             (caption != nullptr ? caption : "") + "\"");
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 2 * kLongestWaitMs,
                            &answer) == 0) {
        throw std::runtime_error("the program does not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(answer);
}

void Type(HWND control, const std::string& text) {
    for (const char c : text) {
        Send(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void SetText(HWND control, const std::string& text) {
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) {
    Send(button, BM_CLICK);
}

namespace {

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

} // namespace

void PressKey(HWND window, UINT key) {
    const HWND focus = FocusOf(window);
    if (focus == nullptr || !PostMessageA(focus, WM_KEYDOWN, key, 1)) {
        throw std::runtime_error("no control has the focus for key " + std::to_string(key));
    }
}

bool TabTo(HWND window, HWND control) {
    for (int tabs = 0; FocusOf(window) != control && tabs < 8; ++tabs) {
        const HWND before = FocusOf(window);
        PressKey(window, VK_TAB);
        WaitUntil([&] { return FocusOf(window) != before; });
    }
    return FocusOf(window) == control;
}

HWND FocusOf(HWND window) {
    return ThreadInfo(window).hwndFocus;
}

HWND ActiveOf(HWND window) {
    return ThreadInfo(window).hwndActive;
}

COLORREF ShownColour(HWND window, int x, int y) {
    RECT frame{};
    GetWindowRect(window, &frame);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, frame.left + x, frame.top + y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool WaitUntil(const std::function<bool()>& holds) {
    for (DWORD waited = 0; waited < kLongestWaitMs; waited += 20) {
        if (holds()) {
            return true;
        }
        Sleep(20);
    }
    return holds();
}

std::string Text(HWND window) {
    std::vector<char> text(static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH)) + 1);
    const auto length =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), static_cast<std::size_t>(length));
}

void Screenshot(HWND window, const std::string& name) {
    // What the last messages changed is painted once the program is idle.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    Sleep(300);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; // bottom-up, as a .bmp file holds its rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::string bits(rowBytes * static_cast<DWORD>(height), '\0');
    GetDIBits(memory, picture, 0, static_cast<UINT>(height), bits.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    const std::string dir = ProgramDir() + "screenshots\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteAll(dir + name + ".bmp",
             std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                 std::string(reinterpret_cast<const char*>(&info), sizeof info) + bits);
}

} // namespace tessaldrin::testing::windows
