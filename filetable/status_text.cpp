#include "filetable/status_text.h"

#include <array>
#include <cstring>

namespace tessaldrin::filetable {
namespace {

// Room for one interpreted message; the client library's own messages stay
// well below it, and fb_interpret cuts a longer one rather than overrun.
constexpr std::size_t kMessageBufferSize = 1024;
// isc_interprete writes without knowing the buffer's size; it gets far more
// room than any message the library builds.
constexpr std::size_t kUnboundedMessageBufferSize = 8192;

std::vector<std::string> InterpretedMessages(const ClientEntryPoints& api,
                                             const ISC_STATUS* status) {
    std::vector<std::string> messages;
    if (api.interpret != nullptr) {
        std::array<char, kMessageBufferSize> buffer{};
        const ISC_STATUS* cursor = status;
        while (api.interpret(buffer.data(), buffer.size(), &cursor) > 0) {
            messages.emplace_back(buffer.data(), strnlen(buffer.data(), buffer.size()));
        }
    } else if (api.interpreteUnbounded != nullptr) {
        std::array<char, kUnboundedMessageBufferSize> buffer{};
        ISC_STATUS* cursor = const_cast<ISC_STATUS*>(status);
        while (api.interpreteUnbounded(buffer.data(), &cursor) > 0) {
            messages.emplace_back(buffer.data(), strnlen(buffer.data(), buffer.size()));
        }
    }
    return messages;
}

} // namespace

std::string JoinStatusMessages(const std::vector<std::string>& messages) {
    std::string text;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (i > 0 && (text.empty() || text.back() != '\n')) {
            text += "\r\n";
        }
        text += messages[i];
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string StatusText(const ClientEntryPoints& api, const ISC_STATUS* status) {
    return JoinStatusMessages(InterpretedMessages(api, status));
}

} // namespace tessaldrin::filetable
