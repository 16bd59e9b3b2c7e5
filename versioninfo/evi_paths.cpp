#include "versioninfo/evi_paths.h"

#include "platform/local_path.h"

namespace tessaldrin::versioninfo {

ModulePaths SplitModulePath(const std::string& programPath) {
    ModulePaths paths;
    const std::size_t lastSeparator = platform::LastPathSeparator(programPath);
    const std::size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    paths.directory = programPath.substr(0, nameStart);
    paths.fileName = programPath.substr(nameStart);

    // The extension is the name's last dot and what follows it.
    const std::size_t dot = paths.fileName.rfind('.');
    const std::string stem =
        dot == std::string::npos ? paths.fileName : paths.fileName.substr(0, dot);
    // The directory, when there is one, ends in its separator already.
    paths.reportPath = paths.directory + stem + ".EVI";
    return paths;
}

} // namespace tessaldrin::versioninfo
