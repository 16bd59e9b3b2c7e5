// The plan of a join: the files of a multi-file chain, held, each with the
// logical pages it holds, decided from their header pages and sizes before
// any byte changes; the new first sector of the primary; and the refusals
// that keep the join from going ahead. The plan holds only when it has none.
#pragma once

#include "header/header_page.h"
#include "join/join_journal.h"
#include "join/join_refusal.h"
#include "platform/locked_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::join {

struct JoinFile {
    platform::LockedFile file;
    std::uint64_t size = 0;
    // The logical pages of its range: the primary's from 0, each secondary's
    // from the page after the last of the file before; none for the last
    // file, whose range has no end.
    std::uint32_t firstPage = 0;
    std::optional<std::uint32_t> lastPage;
    std::uint64_t headerDigest = 0;
};

struct JoinPlan {
    // The chain's files in their order, the primary first.
    std::vector<JoinFile> files;
    std::uint32_t pageSize = 0;
    header::HeaderForm form{};
    // The primary's ODS version word: which server can open it.
    std::uint16_t odsVersion = 0;
    // The primary's length once every secondary's pages are in it.
    std::uint64_t joinedSize = 0;
    // The first sector of the primary's header page as it is, and as the
    // single-file database has it.
    std::string oldSector;
    std::string newSector;
    std::vector<JoinRefusal> refusals;

    bool Holds() const { return refusals.empty(); }
    // The pages a secondary brings, behind its own header page.
    std::uint64_t DataPages(std::size_t file) const;
    std::uint64_t BytesToCopy() const;
    JoinJournal Journal() const;
};

// Plans the join of `chain`, the files of one chain in their order, each
// opened and locked (discovery holds them), and takes them into the plan.
// `freeSpace` is what the disk of the primary can still take; none when the
// system does not tell.
JoinPlan PlanJoin(std::vector<platform::LockedFile> chain, std::optional<std::uint64_t> freeSpace);

} // namespace tessaldrin::join
