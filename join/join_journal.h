// The journal of a join: written beside the primary and made durable before
// the first byte of the database changes, removed when the join is done. It
// names the chain and what a later run needs to tell how far an interrupted
// join came and to undo or complete it: the primary's size before the join,
// and its first sector before and after the commit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaldrin::join {

// The commit is one write of this many bytes at the start of the primary:
// a disk writes a sector whole or not at all.
inline constexpr std::size_t kCommitSectorSize = 512;

struct JoinJournal {
    std::string primary;
    std::uint64_t primarySize = 0;
    std::uint32_t pageSize = 0;
    std::string oldSector; // kCommitSectorSize bytes: the first sector as the chain has it
    std::string newSector; // and as the joined database has it
    struct Secondary {
        std::string path;
        std::uint64_t size = 0;
        std::uint64_t headerDigest = 0; // of its header page, HeaderDigest
    };
    std::vector<Secondary> secondaries;
};

// The journal's text: a line per fact, the sectors in hexadecimal, the
// paths last on their lines, and a closing line, without which a journal was
// cut short while it was written, before anything else changed.
std::string JournalText(const JoinJournal& journal);

struct JournalReading {
    enum class Outcome {
        kComplete,
        kCutShort, // begins as a journal does, but its closing line is missing
        kForeign,  // not a journal of this program, or one it cannot read
    };
    Outcome outcome = Outcome::kForeign;
    JoinJournal journal; // kComplete
};
JournalReading ReadJournal(std::string_view text);

// Where the journal of the join of `primary` lies, and the name a secondary
// is put aside under once the join no longer needs it: names that no search
// for database files matches.
std::string JournalPathFor(const std::string& primary);
std::string AsideNameFor(const std::string& secondary);

// A digest of a header page by which a later run knows the file again.
std::uint64_t HeaderDigest(const std::uint8_t* page, std::size_t size);

// The most that a journal holds: a chain of many files with long names.
inline constexpr std::size_t kJournalLimit = 1 << 20;

} // namespace tessaldrin::join
