// The application object of the Win32 window programs: the program's title,
// its arguments, the message loop, and the standard exception display that
// every event handler hands its errors to.
#pragma once

#include "platform/windows/windows_api.h"
#include "toolkit/windows/exception_display.h"

#include <string>
#include <utility>
#include <vector>

namespace tessaldrin::toolkit {

class TApplication {
public:
    // `arguments` are the command line's arguments after the program's name.
    TApplication(HINSTANCE instance, std::vector<std::string> arguments);

    HINSTANCE Instance() const { return instance_; }
    const std::vector<std::string>& Arguments() const { return arguments_; }

    // The application title: the caption of the standard exception display.
    void SetTitle(std::string title);
    const std::string& Title() const { return title_; }

    // The standard exception display (toolkit/windows/exception_display.h),
    // which the version window's handlers reach as well: a task-modal message
    // box with `message`; returns when the user has closed it, and the program
    // goes on.
    void ShowException(const std::string& message) { toolkit::ShowException(message); }
    // Shows the exception being handled; call it only inside a catch block.
    void HandleException() noexcept { toolkit::HandleException(); }

    // Runs an event handler's body; whatever it throws goes to the standard
    // exception display, never through the system's window procedures.
    template <typename Handler> void CallHandler(Handler&& handler) noexcept {
        toolkit::CallHandler(std::forward<Handler>(handler));
    }

    // The message loop, until the main form has closed (WM_QUIT).
    void Run();

private:
    HINSTANCE instance_;
    std::vector<std::string> arguments_;
    std::string title_;
};

// Delivers one message that a message loop took from the queue, with the
// keyboard interface of the window it belongs to (Tab, Enter, Esc).
void DeliverMessage(MSG& message);

// The text of a window of this program: a control's text or a form's caption.
std::string WindowText(HWND window);

} // namespace tessaldrin::toolkit
