#include "toolkit/windows/exception_display.h"

#include "platform/windows/windows_api.h"

#include <exception>

namespace tessaldrin::toolkit {
namespace {

std::string& Title() {
    static std::string title;
    return title;
}

} // namespace

void SetApplicationTitle(const std::string& title) {
    Title() = title;
}

void ShowException(const std::string& message) {
    // Owned by the window whose handler failed, which is active again, and
    // takes the keys, once the box is closed.
    MessageBoxA(GetActiveWindow(), message.c_str(), Title().c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void HandleException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            ShowException(error.what());
        } catch (...) {
            ShowException({});
        }
    } catch (...) {
        // The display itself failed (out of memory): nothing is left to show it.
        OutputDebugStringA("Tessaldrin-Mover: an error could not be shown\n");
    }
}

} // namespace tessaldrin::toolkit
