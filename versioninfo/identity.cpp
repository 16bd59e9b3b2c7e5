#include "versioninfo/identity.h"

#include "platform/format_message.h"

namespace tessaldrin::versioninfo {

std::string IdentityLine(const std::string& name, const std::string& version,
                         const std::string& date) {
    // The padding makes a short name fill its 30 columns on the left.
    const std::string paddedName = name + std::string(30, ' ');
    return platform::FormatText("%30.30s%15.15s%15.15s", paddedName.c_str(), version.c_str(),
                                date.c_str());
}

std::string LevelPrefix(int level) {
    return level > 1 ? std::string(static_cast<std::size_t>(level - 1), '-') : std::string{};
}

} // namespace tessaldrin::versioninfo
