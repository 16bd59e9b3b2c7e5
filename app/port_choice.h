// The server port a run uses.
#pragma once

#include <cstdint>
#include <string>

namespace tessaldrin {

inline constexpr std::int32_t kStandardPort = 3050;
inline constexpr std::int32_t kKorvantaPort = 30500;
// The custom port edit holds at most this many digits, so any value fits.
inline constexpr std::size_t kCustomPortDigitsMax = 9;

// The custom port text read as a decimal integer; kStandardPort when it is
// empty or not a valid integer.
std::int32_t PortFromCustomText(const std::string& text);

} // namespace tessaldrin
