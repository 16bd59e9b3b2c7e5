// The database files of one run, each opened for update and locked before the
// run renames or writes any of them, and held until the last header page is
// written, synced and read back. Renaming renames a held file, and the link
// editor works on the held file, never on whatever a name points at later.
#pragma once

#include "platform/locked_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::header {

class HeldDatabaseFiles {
public:
    // Opens and locks every file of `files`, in list order, after letting go
    // of any held before; true when every one of them is held. A file that
    // cannot be held (missing, a link, no regular file, locked elsewhere)
    // leaves a gap at its index.
    bool Take(const std::vector<std::string>& files);
    // Opens and locks `file` as the next index, beside those held already;
    // none when it cannot be held, which leaves a gap there.
    platform::LockedFile* Add(const std::string& file);
    // Closes every held file, and so gives back its lock.
    void Release();

    // Whether every file that Take was given is held.
    bool HoldsAll() const;
    // The file held for list index `index`; none for a gap.
    platform::LockedFile* At(std::size_t index);
    // Why list index `index` is a gap; none where a file is held.
    std::optional<platform::OpenFailure> FailureAt(std::size_t index) const;

private:
    std::vector<std::optional<platform::LockedFile>> files_;
    std::vector<platform::OpenFailure> failures_; // one per index, read for gaps only
};

} // namespace tessaldrin::header
