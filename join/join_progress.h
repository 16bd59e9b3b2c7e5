// How far a join has come, as the one who runs it is told at each step, and
// how that one stops it.
#pragma once

#include <cstdint>
#include <functional>

namespace tessaldrin::join {

enum class JoinStep { kJournal, kReserve, kCopy, kSync, kCommit, kRename, kRemoveJournal };

struct JoinProgress {
    JoinStep step;
    // kCopy: the bytes copied of all there are; kRename: the secondaries
    // renamed of all there are.
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

// Asked before each step, after each chunk of the copy and before each
// rename; false stops the join there (on a signal, say), leaving it as a
// crash at that moment would but with every write whole, so that a recovery
// from its journal completes or undoes it. Never asked during the commit.
using JoinProceed = std::function<bool(const JoinProgress&)>;

} // namespace tessaldrin::join
