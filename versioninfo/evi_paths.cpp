#include "versioninfo/evi_paths.h"

namespace tessaldrin::versioninfo {
namespace {

constexpr char kSeparator = '/';

} // namespace

ModulePaths SplitModulePath(const std::string& programPath) {
    ModulePaths paths;
    const std::size_t lastSeparator = programPath.rfind(kSeparator);
    const std::size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    paths.directory = programPath.substr(0, nameStart);
    paths.fileName = programPath.substr(nameStart);

    // The extension is the name's last dot and what follows it.
    const std::size_t dot = paths.fileName.rfind('.');
    const std::string stem =
        dot == std::string::npos ? paths.fileName : paths.fileName.substr(0, dot);
    paths.reportPath = paths.directory;
    if (!paths.reportPath.empty() && paths.reportPath.back() != kSeparator) {
        paths.reportPath += kSeparator;
    }
    paths.reportPath += stem + ".EVI";
    return paths;
}

} // namespace tessaldrin::versioninfo
