// The server port a run uses.
#pragma once

#include <cstdint>
#include <string>

namespace tessaldrin {

inline constexpr std::int32_t kStandardPort = 3050;
inline constexpr std::int32_t kKorvantaPort = 30500;
// The custom port edit holds at most this many digits, so any value fits.
inline constexpr std::size_t kCustomPortDigitsMax = 9;
// A TCP port is a 16-bit number; the client library takes a larger one
// modulo 65536, and would ask another server than the one the log names.
inline constexpr std::int32_t kHighestPort = 65535;

// Whether `port` is one that a run may ask a server on.
constexpr bool IsServerPort(std::int32_t port) {
    return port >= 0 && port <= kHighestPort;
}

// The custom port text read as a decimal integer; kStandardPort when it is
// empty or not a valid integer.
std::int32_t PortFromCustomText(const std::string& text);

// The port choice of a main window as a click on Start finds it.
struct PortButtons {
    bool custom = false;    // rbtnPortCustom selected
    bool korvanta = false;  // rbtnPortKorvanta selected
    std::string customText; // the text of edPortCustom, read only when custom
};

// The custom port when its button is selected, else the Korvanta port when
// that one is, else the standard port.
std::int32_t ChosenPort(const PortButtons& buttons);

} // namespace tessaldrin
