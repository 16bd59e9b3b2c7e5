// Discovery of a multi-file database by its header chain instead of by name:
// from the primary file, each header's continuation link names the next
// file, which is looked for by its file name in the primary file's directory.
#pragma once

#include <optional>
#include <string>

namespace tessaldrin {

// `path` made absolute against the working directory and normalised: no "."
// or ".." parts.
std::string AbsolutePath(const std::string& path);

// The name under which `dir` holds the entry that `name` means: `name` when an
// entry of that exact spelling exists; otherwise the one entry that equals it
// without regard to case (a copy from a volume that ignores case); nothing
// when there is neither, or several such entries.
std::optional<std::string> EntrySpelling(const std::string& dir, const std::string& name);

// The new link of a file of a chain, given the chain's directory `dir` (with
// its trailing separator): `dir`, then the stored name's file part, in the
// spelling of the entry that it means.
std::string KeptNameTarget(const std::string& dir, const std::string& stored);

} // namespace tessaldrin
