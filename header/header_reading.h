// What the link editor finds in the header page of one held database file,
// kept as a value, so that a run can decide on every file before it changes
// any of them.
#pragma once

#include "header/link_editor.h"
#include "header/page_fault.h"
#include "platform/locked_file.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::header {

struct HeaderReading {
    // What reading wrote: a checksum warning, then the line of the link found
    // or the line of the last file of a chain; after a refusal, its error line.
    std::vector<std::string> lines;
    // Why the file cannot take part: its page cannot be read or is not
    // accepted, or the file could not be held.
    std::optional<PageFault> refusal;
    std::uint16_t odsVersion = 0;
    std::uint16_t pageSize = 0;
    std::uint16_t fileSequence = 0;
    // The continuation link as stored; none for the last file of a chain.
    std::optional<std::string> link;
};

// Reads and checks the header page of `file`, held for `path` (none: the file
// could not be held, for the reason `why`), and its link, with `editor`,
// which keeps the page for a rebuild until it opens the next file. A damaged
// entry list or link is a refusal, not a last file.
HeaderReading ReadHeader(LinkEditor& editor, platform::LockedFile* file, const std::string& path,
                         const std::optional<platform::OpenFailure>& why = std::nullopt);

} // namespace tessaldrin::header
