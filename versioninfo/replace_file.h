// Writing a whole file under the bytes of its path, replacing the entry of
// that name: a new file beside it takes the name, so that a link by that name
// is replaced, never followed. The POSIX calls here, the Windows ones in
// windows/. Toolkit-free.
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
