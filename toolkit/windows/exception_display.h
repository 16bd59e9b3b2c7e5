// The standard exception display of the Win32 windows: an error that an
// event handler lets escape is shown in a task-modal message box under the
// application's title, owned by the program's active window, and the program
// goes on.
#pragma once

#include <string>
#include <utility>

namespace tessaldrin::toolkit {

// The caption of the display; the window program sets it at its start.
void SetApplicationTitle(const std::string& title);

// Shows `message`; returns when the user has closed the box.
void ShowException(const std::string& message);

// Shows the exception being handled; call it only inside a catch block. A
// std::exception shows its what(), anything else an empty message.
void HandleException() noexcept;

// Runs an event handler's body; whatever it throws goes to the display, so
// that nothing crosses the message loop.
template <typename Handler> void CallHandler(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        HandleException();
    }
}

} // namespace tessaldrin::toolkit
