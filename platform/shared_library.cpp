#include "platform/shared_library.h"

#include <dlfcn.h>
#include <utility>

namespace tessaldrin::platform {

const char* const kClientLibraryFileName = "libfbclient.so.2";

std::optional<SharedLibrary> SharedLibrary::Load(const std::string& name) {
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return std::nullopt;
    }
    return SharedLibrary(handle);
}

void SharedLibrary::Release() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

SharedLibrary::EntryPoint SharedLibrary::Find(const char* symbol) const {
    return reinterpret_cast<EntryPoint>(dlsym(handle_, symbol));
}

} // namespace tessaldrin::platform
