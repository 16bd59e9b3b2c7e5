#include "platform/module_file_name.h"

#include <filesystem>
#include <system_error>

namespace tessaldrin::platform {

std::string ModuleFileName() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
}

} // namespace tessaldrin::platform
