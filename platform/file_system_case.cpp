#include "platform/file_system_case.h"

namespace tessaldrin::platform {

// The file systems that hold a database here tell names apart by case.
bool FileSystemIgnoresCase(const std::string& /*directory*/) {
    return false;
}

} // namespace tessaldrin::platform
