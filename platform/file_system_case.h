// Whether the file system tells names apart by the case of their letters.
#pragma once

#include <string>

namespace tessaldrin::platform {

// True when the file system that holds `path` (a directory, or an entry in
// one, which need not exist) finds a file under any spelling of its name as
// to case, as on Windows; false when only the exact spelling names it, as on
// the usual POSIX file systems.
bool FileSystemIgnoresCase(const std::string& path);

} // namespace tessaldrin::platform
