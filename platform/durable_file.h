// Small files that the program writes whole and that must outlive a crash
// (the journal of a join), and the directory entries that name them: each
// change has reached the disk when its call returns true.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaldrin::platform {

// Creates `path` as a new regular file, never replacing an entry of that
// name and never through a link, writes `bytes` into it, makes them and the
// file's entry in its directory reach the disk, and closes it. On failure
// the file is removed again where it was created.
bool CreateDurableFile(const std::string& path, std::string_view bytes);

// The content of the regular file `path`, reached without following a link;
// none when it cannot be read or holds more than `limit` bytes.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit);

// Removes the file `path` (the entry itself, never what a link names) and
// makes its removal reach the disk.
bool RemoveDurably(const std::string& path);

// Makes the changes of the entries of directory `dir` (created, renamed,
// removed) reach the disk.
bool SyncDirectory(const std::string& dir);

} // namespace tessaldrin::platform
