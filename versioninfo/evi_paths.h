// Where the running program lives and where its version report goes.
// Toolkit-free.
#pragma once

#include <string>

namespace tessaldrin::versioninfo {

struct ModulePaths {
    std::string directory;  // the program's directory with its closing separator
    std::string fileName;   // name and extension of the program file
    std::string reportPath; // directory, name and ".EVI"
};

// Splits the full path of a program file. The report's extension is ".EVI"
// in upper case whatever the program's own extension is.
ModulePaths SplitModulePath(const std::string& programPath);

} // namespace tessaldrin::versioninfo
