// The identity line that every component of the version report family gives
// itself, and the indentation of the component lines. Toolkit-free.
#pragma once

#include <string>

namespace tessaldrin::versioninfo {

// Exactly 60 characters: the name left-aligned and cut to 30, then version and
// date each right-aligned in 15 and cut to their first 15.
std::string IdentityLine(const std::string& name, const std::string& version,
                         const std::string& date);

// level − 1 minus signs; none for level 1 or less.
std::string LevelPrefix(int level);

} // namespace tessaldrin::versioninfo
