#include "app/confirmation.h"

#include "platform/load_string.h"

namespace tessaldrin {

bool IsConfirmationWord(const std::string& typed) { return typed == platform::LoadString(21001); }

} // namespace tessaldrin
