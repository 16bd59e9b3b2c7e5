// The Win32 window program as a user meets it, driven from outside: its
// windows found by class and caption, typed into with WM_CHAR, clicked with
// BM_CLICK and read with WM_GETTEXT, as keystrokes and clicks reach them.
#pragma once

#include "platform/windows/windows_api.h"

#include <functional>
#include <string>

namespace tessaldrin::testing::windows {

class WindowProgram {
public:
    // Starts `program` in `workingDir`, with `arguments` on its command line.
    WindowProgram(const std::string& program, const std::string& workingDir,
                  const std::string& arguments = {});
    // Ends the program if it still runs.
    ~WindowProgram();
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    // The program's top-level window of this class and caption once it is
    // visible; throws when none is within half a minute.
    HWND Window(const char* windowClass, const char* caption) const;
    // The program's top-level window of this class and caption, visible or
    // not, now; null when there is none.
    HWND FindNow(const char* windowClass, const char* caption) const;
    // True once the program has ended, within half a minute.
    bool Ended() const;
    unsigned long ExitCode() const;

private:
    PROCESS_INFORMATION process_{};
};

// The first child of `parent` of this class and caption (any caption when
// null) after `after` in tab order; throws when there is none.
HWND Child(HWND parent, const char* windowClass, const char* caption, HWND after = nullptr);
// One WM_CHAR for each character, as typing sends them.
void Type(HWND control, const std::string& text);
void SetText(HWND control, const std::string& text);
// A click; returns when the program has handled it (a run included).
void Click(HWND button);
// A key pressed on the keyboard: WM_KEYDOWN to the control of `window`'s
// program that has the focus, through that program's message loop. Returns
// once it is posted.
void PressKey(HWND window, UINT key);
// Presses Tab in `window` until `control` has the focus, each time waiting
// for the focus to move; returns whether it got there.
bool TabTo(HWND window, HWND control);
// The control that has the keyboard focus and the active window of
// `window`'s program; null when there is none.
HWND FocusOf(HWND window);
HWND ActiveOf(HWND window);
// The colour that the screen shows at `x`, `y` of `window`, its frame included.
COLORREF ShownColour(HWND window, int x, int y);
// Waits up to half a minute until `holds` is true; returns whether it became so.
bool WaitUntil(const std::function<bool()>& holds);
std::string Text(HWND window);
// Sends `message` and returns the answer; throws when the program does not
// answer within a minute.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Writes what the screen shows of `window` to NAME.bmp in the folder
// screenshots beside the tests, for a person to look at.
void Screenshot(HWND window, const std::string& name);

} // namespace tessaldrin::testing::windows
