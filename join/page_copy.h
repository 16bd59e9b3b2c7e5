// The copy of a secondary's pages into the primary, at disk speed: large
// reads and writes of many pages each, every page's own number checked on
// the way where the form keeps one.
#pragma once

#include "join/join_plan.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tessaldrin::join {

// The bytes of one read or write: a whole number of pages of every size.
inline constexpr std::size_t kCopyChunk = std::size_t{8} << 20;
static_assert(kCopyChunk % header::kMaxPageSize == 0);

struct PageCopy {
    enum class Outcome { kCopied, kStopped, kReadFailed, kWriteFailed, kPageMisplaced };
    Outcome outcome = Outcome::kCopied;
    std::uint64_t copied = 0; // bytes written into the primary
    // kPageMisplaced: the page's logical number, and the one it holds.
    std::uint32_t page = 0;
    std::uint32_t holds = 0;
};

// Asked after each chunk with the bytes copied so far; false stops the copy.
using CopyProceed = std::function<bool(std::uint64_t copied)>;

// Copies the data pages of secondary `file` of `plan` into the primary at
// their logical places. A page never written is zero throughout and holds no
// number; every other page must hold its own.
PageCopy CopyPages(JoinPlan& plan, std::size_t file, const CopyProceed& proceed);

} // namespace tessaldrin::join
