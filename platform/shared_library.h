// A library loaded at run time by file name, and the entry points it exports.
// Unloaded when the object goes, unless it is to stay loaded.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace tessaldrin::platform {

// The file name under which this platform's Firebird client library is
// loaded: the name that its search path resolves.
extern const char* const kClientLibraryFileName;

class SharedLibrary {
public:
    // Any entry point; the caller casts it to the type it was exported with.
    using EntryPoint = void (*)();

    // Loads `name` through the system's library search; nothing when that fails.
    static std::optional<SharedLibrary> Load(const std::string& name);

    SharedLibrary(SharedLibrary&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    SharedLibrary& operator=(SharedLibrary&& other) noexcept {
        if (this != &other) {
            Release();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary() { Release(); }

    // The entry point exported as `symbol`, or null when there is none.
    EntryPoint Find(const char* symbol) const;

    // Leaves the library loaded until the process ends (the entry points
    // found stay valid); Find answers nothing afterwards.
    void KeepLoaded() { handle_ = nullptr; }

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void Release();

    void* handle_ = nullptr;
};

} // namespace tessaldrin::platform
