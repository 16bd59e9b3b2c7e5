#include "app/port_choice.h"

#include <charconv>

namespace tessaldrin {

std::int32_t PortFromCustomText(const std::string& text) {
    std::int32_t port = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, port, 10);
    if (text.empty() || error != std::errc{} || stop != end) {
        return kStandardPort;
    }
    return port;
}

std::int32_t ChosenPort(const PortButtons& buttons) {
    if (buttons.custom) {
        return PortFromCustomText(buttons.customText);
    }
    return buttons.korvanta ? kKorvantaPort : kStandardPort;
}

} // namespace tessaldrin
