// The paths of this machine, on the bytes of the system's code page: which
// characters end a directory part, and a path made absolute.
#pragma once

#include <string>

namespace tessaldrin::platform {

// Where the last path separator of a local path stands ("/" here, "\" or ":"
// on Windows); npos when the path has none.
std::string::size_type LastPathSeparator(const std::string& path);

// The part of a local path after its last separator; the whole path when it
// has none.
inline std::string FilePart(const std::string& path) {
    const auto separator = LastPathSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The part of a local path up to and with its last separator; empty when it
// has none.
inline std::string DirectoryPart(const std::string& path) {
    const auto separator = LastPathSeparator(path);
    return separator == std::string::npos ? std::string{} : path.substr(0, separator + 1);
}

// A path with a zero byte inside would name a shorter, different path.
inline bool HoldsZeroByte(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// `path` made absolute against the working directory and freed of "." and
// ".." parts by its text alone: a link on the way is not followed, so that
// whatever the path names is judged as the entry that it is. `path` itself
// when it cannot be made absolute.
std::string AbsolutePath(const std::string& path);

// The directory `dir` as an absolute path without "." or ".." parts, with its
// trailing separator: here with its links resolved where it can be, on
// Windows by its text, as the system makes a path full.
std::string AbsoluteDirectory(const std::string& dir);

// The entry `path` names, as the system finds it: its directory as
// AbsoluteDirectory makes it (here "a/link/../b" is the directory "b" beside
// the link's target, not "a/b"), then its last part as given, so that a link
// there stays the entry that it is.
inline std::string ResolvedEntryPath(const std::string& path) {
    const std::string dir = DirectoryPart(path);
    return AbsoluteDirectory(dir.empty() ? "." : dir) + FilePart(path);
}

// Whether `text` is characters of the system's character set (UTF-8 here,
// the ANSI code page on Windows), as the client library must be able to read
// a path that it passes to the server: it converts such a path to UTF-8 on
// the way, and refuses one that is not.
bool IsSystemText(const std::string& text);

} // namespace tessaldrin::platform
