// How much the disk that holds a directory can still take.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessaldrin::platform {

// The bytes that the program may still write on the file system of
// directory `dir`; none when the system does not tell.
std::optional<std::uint64_t> FreeSpace(const std::string& dir);

} // namespace tessaldrin::platform
