#include "platform/windows/windows_api.h"

#include "platform/module_file_name.h"

namespace tessaldrin::platform {
namespace {

// The longest path that the system's long-path form allows.
constexpr std::size_t kLongestPath = 32768;

} // namespace

std::string ModuleFileName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A path that fills the buffer was cut short.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

} // namespace tessaldrin::platform
