#include "toolkit/windows/application.h"

#include <commctrl.h>

namespace tessaldrin::toolkit {

TApplication::TApplication(HINSTANCE instance, std::vector<std::string> arguments)
    : instance_(instance), arguments_(std::move(arguments)) {
    // The controls of the common controls 6 that the program's manifest asks for.
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

void TApplication::SetTitle(std::string title) {
    title_ = std::move(title);
    SetApplicationTitle(title_);
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
