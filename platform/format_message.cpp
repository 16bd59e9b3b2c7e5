#include "platform/format_message.h"

#include <cstdarg>
#include <cstdio>

namespace tessaldrin::platform {

std::string FormatPlaceholders(std::string_view format,
                               std::initializer_list<MessageArgument> arguments) {
    std::string result;
    auto next = arguments.begin();
    for (std::size_t at = 0; at < format.size(); ++at) {
        const char kind = at + 1 < format.size() && format[at] == '%' ? format[at + 1] : '\0';
        if (kind == '%') {
            result += '%';
            ++at;
        } else if (kind == 's' && next != arguments.end() && std::holds_alternative<Text>(*next)) {
            result += std::get<Text>(*next++);
            ++at;
        } else if (kind == 'd' && next != arguments.end() &&
                   std::holds_alternative<Number>(*next)) {
            result += std::to_string(std::get<Number>(*next++));
            ++at;
        } else {
            result += format[at];
        }
    }
    return result;
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string result;
    if (length > 0) {
        result.resize(static_cast<std::size_t>(length));
        std::vsnprintf(result.data(), result.size() + 1, format, args);
    }
    va_end(args);
    return result;
}

} // namespace tessaldrin::platform
