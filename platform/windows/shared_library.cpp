#include "platform/windows/windows_api.h"

#include "platform/shared_library.h"

#include <utility>

namespace tessaldrin::platform {

const char* const kClientLibraryFileName = "gds32.dll";

std::optional<SharedLibrary> SharedLibrary::Load(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    // A missing library is the program's own start-up message, never a
    // system dialog box.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const HMODULE module = LoadLibraryA(name.c_str());
    SetThreadErrorMode(previousMode, nullptr);
    if (module == nullptr) {
        return std::nullopt;
    }
    return SharedLibrary(reinterpret_cast<void*>(module));
}

void SharedLibrary::Release() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        handle_ = nullptr;
    }
}

SharedLibrary::EntryPoint SharedLibrary::Find(const char* symbol) const {
    return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(handle_), symbol));
}

} // namespace tessaldrin::platform
