// The program's messages, loaded from the string table at the moment of use
// and formatted with values of the kinds that their names give.
#pragma once

#include "platform/messages.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace tessaldrin::platform {

// One value for a placeholder: a text for %s, a number for %d.
using MessageArgument = std::variant<Text, Number>;

// `format` with each placeholder replaced by the next of `arguments`, and
// "%%" by "%". A placeholder without a value of its kind stays as it is.
std::string FormatPlaceholders(std::string_view format,
                               std::initializer_list<MessageArgument> arguments);

// Message `message`, loaded now and formatted with `arguments`. A value of
// another kind than the placeholder's does not compile.
template <typename... Args>
std::string Format(const Message<Args...>& message, std::type_identity_t<Args>... arguments);

// `format` with its printf placeholders filled: for the literal formats of the
// version texts, which the compiler checks against their arguments.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tessaldrin::platform

#include "platform/load_string.h"

template <typename... Args>
std::string tessaldrin::platform::Format(const Message<Args...>& message,
                                         std::type_identity_t<Args>... arguments) {
    return FormatPlaceholders(LoadString(message.id()), {MessageArgument(arguments)...});
}
