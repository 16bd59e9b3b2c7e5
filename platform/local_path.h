// The paths of this machine: which characters end a directory part.
#pragma once

#include <string>

namespace tessaldrin::platform {

// Where the last path separator of a local path stands ("/" here, "\" or ":"
// on Windows); npos when the path has none.
std::string::size_type LastPathSeparator(const std::string& path);

} // namespace tessaldrin::platform
