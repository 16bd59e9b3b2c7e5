// printf-style formatting of the program's messages.
#pragma once

#include <string>
#include <type_traits>

namespace tessaldrin::platform {

// `format` with its placeholders filled, however long the result.
std::string FormatText(const char* format, ...);

namespace detail {
inline const char* Arg(const std::string& text) { return text.c_str(); }
template <typename T>
    requires std::is_arithmetic_v<T>
T Arg(T value) {
    return value;
}
} // namespace detail

// Message `id` of the string table, loaded now and formatted with `args`
// (texts for %s, numbers for %d).
template <typename... Args>
std::string FormatMessage(int id, const Args&... args);

} // namespace tessaldrin::platform

#include "platform/load_string.h"

template <typename... Args>
std::string tessaldrin::platform::FormatMessage(int id, const Args&... args) {
    const std::string format = LoadString(id);
    if constexpr (sizeof...(Args) == 0) {
        return FormatText("%s", format.c_str());
    } else {
        return FormatText(format.c_str(), detail::Arg(args)...);
    }
}
