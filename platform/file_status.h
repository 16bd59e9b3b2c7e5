// What the file system says of an entry named by a local path (bytes of the
// system's code page): whether it is there, whether it is a directory, and
// which file it is.
#pragma once

#include "platform/open_failure.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace tessaldrin::platform {

// True when `path` names a directory, or a link to one.
bool IsDirectory(const std::string& path);

// True when an entry of that name exists, of any kind: a link counts as
// itself, whether or not its target exists. False when there is none, or
// when the system cannot tell.
bool EntryExists(const std::string& path);

// Which file an entry is, whatever name reaches it: the device and file
// number here, the volume serial number and file index on Windows. Two
// names with the same identity name one file.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// The identity of the file that `path` names, following links; nothing when
// there is no such file or the system does not tell.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Why the entry `path` cannot be renamed within its directory, where the
// system tells beforehand: no permission to change the directory (its mode,
// an immutable directory, a sticky one whose entry belongs to another user),
// or a file system that takes no writes. Nothing when it can be, or when the
// system cannot tell before the rename itself (Windows).
std::optional<OpenFailure> RenameRefusal(const std::string& path);

} // namespace tessaldrin::platform
