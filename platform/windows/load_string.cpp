#include "platform/windows/windows_api.h"

#include "platform/load_string.h"

namespace tessaldrin::platform {
namespace {

// A string table entry holds at most 65535 UTF-16 units.
constexpr std::size_t kLongestMessage = 65536;

} // namespace

std::string LoadString(int id) {
    if (id < 0 || id > 0xFFFF) {
        return {};
    }
    // The table is the program's own resource, compiled into the executable.
    const HINSTANCE module = GetModuleHandleA(nullptr);
    std::string text(256, '\0');
    for (;;) {
        const int length =
            LoadStringA(module, static_cast<UINT>(id), text.data(), static_cast<int>(text.size()));
        if (length <= 0) {
            return {};
        }
        // A text that filled the buffer may have been cut: try a larger one.
        if (static_cast<std::size_t>(length) + 1 < text.size() || text.size() >= kLongestMessage) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

} // namespace tessaldrin::platform
