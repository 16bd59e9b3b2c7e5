#include "platform/local_path.h"

namespace tessaldrin::platform {

std::string::size_type LastPathSeparator(const std::string& path) {
    // "C:Name" names a file on drive C as surely as "C:\Name" does.
    return path.find_last_of("\\:");
}

} // namespace tessaldrin::platform
