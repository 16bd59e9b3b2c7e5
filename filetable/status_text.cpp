#include "filetable/status_text.h"

#include "platform/format_message.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tessaldrin::filetable {
namespace {

// Room for one interpreted message; the client library's own messages stay
// well below it, and fb_interpret cuts a longer one rather than overrun.
constexpr std::size_t kMessageBufferSize = 1024;
// isc_interprete writes without knowing the buffer's size; it gets far more
// room than any message the library builds.
constexpr std::size_t kUnboundedMessageBufferSize = 8192;

// The message that the library made of the item at `item`: its own text for
// a code it knows; for a code it has no text for (one of a newer server, read
// by an older library) the program's own, in place of the library's
// "unknown ISC error N".
std::string Message(const ISC_STATUS* item, const char* text, std::size_t size) {
    std::string message(text, strnlen(text, size));
    if (item[0] == isc_arg_gds && message == "unknown ISC error " + std::to_string(item[1])) {
        return platform::Format(msg::kFirebirdError, std::to_string(item[1]));
    }
    return message;
}

std::vector<std::string> InterpretedMessages(const ClientEntryPoints& api,
                                             const ISC_STATUS* status) {
    std::vector<std::string> messages;
    if (api.interpret != nullptr) {
        std::array<char, kMessageBufferSize> buffer{};
        const ISC_STATUS* cursor = status;
        for (const ISC_STATUS* item = cursor;
             api.interpret(buffer.data(), buffer.size(), &cursor) > 0; item = cursor) {
            messages.push_back(Message(item, buffer.data(), buffer.size()));
        }
    } else if (api.interpreteUnbounded != nullptr) {
        std::array<char, kUnboundedMessageBufferSize> buffer{};
        ISC_STATUS* cursor = const_cast<ISC_STATUS*>(status);
        for (const ISC_STATUS* item = cursor; api.interpreteUnbounded(buffer.data(), &cursor) > 0;
             item = cursor) {
            messages.push_back(Message(item, buffer.data(), buffer.size()));
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

namespace tessaldrin::filetable {
namespace {

bool Has(const StatusItem& item, std::string_view text) {
    return std::find(item.texts.begin(), item.texts.end(), text) != item.texts.end();
}

} // namespace

std::vector<StatusItem> StatusItems(const ISC_STATUS* status) {
    std::vector<StatusItem> items;
    // A status vector ends at isc_arg_end; it never runs past its fixed length.
    const ISC_STATUS* const end = status + ISC_STATUS_LENGTH;
    const ISC_STATUS* at = status;
    while (at < end && *at != isc_arg_end && *at != isc_arg_warning) {
        const ISC_STATUS kind = *at++;
        if (at >= end) {
            break;
        }
        if (kind == isc_arg_gds) {
            items.push_back({*at++, {}});
        } else if (kind == isc_arg_string || kind == isc_arg_interpreted ||
                   kind == isc_arg_sql_state) {
            const char* text = reinterpret_cast<const char*>(*at++);
            if (!items.empty() && text != nullptr) {
                items.back().texts.emplace_back(text);
            }
        } else if (kind == isc_arg_cstring) {
            const auto length = static_cast<std::size_t>(*at++);
            if (at >= end) {
                break;
            }
            const char* text = reinterpret_cast<const char*>(*at++);
            if (!items.empty() && text != nullptr) {
                items.back().texts.emplace_back(text, length);
            }
        } else {
            ++at; // a number or an operating-system code: one value
        }
    }
    return items;
}

bool RefusesFileTableUpdate(const std::vector<StatusItem>& items) {
    return std::any_of(items.begin(), items.end(), [](const StatusItem& item) {
        const bool systemTable = item.code == isc_protect_sys_tab;
        const bool noPermission = item.code == isc_no_priv;
        return (systemTable || noPermission) && Has(item, "UPDATE") && Has(item, "RDB$FILES");
    });
}

} // namespace tessaldrin::filetable
