#include "toolkit/windows/application.h"

#include <exception>

namespace tessaldrin::toolkit {

TApplication::TApplication(HINSTANCE instance, std::vector<std::string> arguments)
    : instance_(instance), arguments_(std::move(arguments)) {}

void TApplication::ShowException(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void TApplication::HandleException() noexcept {
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
        MessageBeep(MB_ICONERROR);
    }
}

void TApplication::Run() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DeliverMessage(message);
    }
}

void DeliverMessage(MSG& message) {
    const HWND form = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (form != nullptr && IsDialogMessageA(form, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)), '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()) + 1)));
    return text;
}

} // namespace tessaldrin::toolkit
