#include "platform/local_path.h"

namespace tessaldrin::platform {

std::string::size_type LastPathSeparator(const std::string& path) {
    return path.rfind('/');
}

} // namespace tessaldrin::platform
