// Writing a whole file under the bytes of its path, replacing what it held:
// the POSIX calls here, CreateFileA in windows/. Toolkit-free.
#pragma once

#include <optional>
#include <string>

namespace tessaldrin::versioninfo {

// Why a file could not be replaced: the step that failed and the system's
// reason in its own words.
struct FileFailure {
    enum class Step { Create, Write } step;
    std::string reason;
};

std::optional<FileFailure> ReplaceFileContents(const std::string& path, const std::string& bytes);

} // namespace tessaldrin::versioninfo
