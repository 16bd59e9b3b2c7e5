#include "platform/file_system_case.h"

namespace tessaldrin::platform {

// Windows finds a file under any spelling of its name as to case.
bool FileSystemIgnoresCase(const std::string& /*path*/) {
    return true;
}

} // namespace tessaldrin::platform
