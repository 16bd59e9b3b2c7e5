#include "versioninfo/windows/version_startup.h"

#include "versioninfo/windows/f_evi.h"

namespace tessaldrin::versioninfo {

std::unique_ptr<TEVI> CreateVersionInfo() {
    return std::make_unique<TEVI>(ShowVersionWindow);
}

} // namespace tessaldrin::versioninfo
