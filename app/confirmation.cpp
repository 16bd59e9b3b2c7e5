#include "app/confirmation.h"

#include "platform/format_message.h"

namespace tessaldrin {

bool IsConfirmationWord(const std::string& typed) {
    return typed == platform::Format(msg::kConfirmationWord);
}

} // namespace tessaldrin
