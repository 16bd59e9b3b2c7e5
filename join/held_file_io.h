// Reads and writes of any length on a held file, and its header page.
#pragma once

#include "platform/locked_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaldrin::join {

// `count` bytes at `offset`, in as few calls as the system allows; true when
// every byte was read, or written.
bool ReadFully(platform::LockedFile& file, std::uint64_t offset, std::uint8_t* buffer,
               std::size_t count);
bool WriteFully(platform::LockedFile& file, std::uint64_t offset, const std::uint8_t* buffer,
                std::size_t count);

// The file's header page, as long as its first kMinPageSize bytes say; none
// when they are no header page, its size is not accepted or the file is
// shorter.
std::optional<std::vector<std::uint8_t>> ReadHeaderImage(platform::LockedFile& file);

} // namespace tessaldrin::join
