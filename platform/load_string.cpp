#include "platform/load_string.h"

#include "platform/message_table.h"

namespace tessaldrin::platform {

std::string LoadString(int id) {
    return std::string(MessageTextOf(id));
}

} // namespace tessaldrin::platform
