#include "versioninfo/windows/version_startup.h"

#include "versioninfo/version_switches.h"
#include "versioninfo/windows/f_evi.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

std::unique_ptr<TEVI> CreateVersionInfo() {
    return std::make_unique<TEVI>(ShowVersionWindow);
}

void StartVersionInfo(TEVI& evi) {
    // The runtime's split of the command line, in the ANSI code page.
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.emplace_back(__argv[i]);
    }
    StartVersionInfo(evi, arguments);
}

} // namespace tessaldrin::versioninfo
