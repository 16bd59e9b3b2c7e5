// System calls that a signal may interrupt.
#pragma once

#include <cerrno>

namespace tessaldrin::platform {

// Makes `call` again for as long as it fails with EINTR; its last result.
template <typename Call> auto RetryOnInterrupt(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) {
        result = call();
    }
    return result;
}

} // namespace tessaldrin::platform
