// The full path of the running program file.
#pragma once

#include <string>

namespace tessaldrin::platform {

// The path of this process's executable, or an empty text when the system
// cannot tell it.
std::string ModuleFileName();

} // namespace tessaldrin::platform
