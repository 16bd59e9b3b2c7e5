// The two ways a join that has begun comes to its end, shared by the join
// itself and by the recovery of one that was interrupted: undone before its
// commit, or finished after it.
#pragma once

#include "join/join_progress.h"
#include "platform/locked_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaldrin::join {

struct Rename {
    std::string from;
    std::string to;
};

// Before the commit the primary's header still names the chain and nothing
// reads the bytes behind its old end: cuts it back to `originalSize` (never
// below), syncs it, and removes the journal at `journalPath`.
bool Undo(platform::LockedFile& primary, std::uint64_t originalSize,
          const std::string& journalPath);

// After the commit: renames each of `secondaries` aside, in order, appending
// each rename made to `renamed` and making it reach the disk, then removes
// the journal; `proceed` is asked before each rename and before the removal.
// Stops at the first that fails or is not to proceed, leaving the journal
// for a later run to finish.
enum class Finishing { kFinished, kStopped, kFailed };
Finishing Finish(const std::vector<platform::LockedFile*>& secondaries,
                 const std::string& journalPath, std::vector<Rename>& renamed,
                 const JoinProceed& proceed);

} // namespace tessaldrin::join
