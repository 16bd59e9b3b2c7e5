// The database files of one run, each opened for update and locked before the
// run renames or writes any of them, and held until the last header page is
// written, synced and read back. Renaming renames a held file, and the link
// editor works on the held file, never on whatever a name points at later.
#pragma once

#include "header/file_index.h"
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
    // The file held for `file`; none for a gap.
    platform::LockedFile* At(FileIndex file);
    // Why `file` is a gap; none where a file is held.
    std::optional<platform::OpenFailure> FailureAt(FileIndex file) const;
    // Gives the held file `file` the name `to` while it stays held, so that
    // no other process can take it between the test and the rename: as a
    // whole, never over another existing entry, and not once the entry at
    // its name is no longer this file; false, with both names as they were,
    // for a gap. Renaming a file onto its own name succeeds.
    bool Rename(FileIndex file, const std::string& to);

private:
    std::vector<std::optional<platform::LockedFile>> files_;
    std::vector<platform::OpenFailure> failures_; // one per index, read for gaps only
};

} // namespace tessaldrin::header
