// The continuation link editor: opens one database file for update, reads and
// checks its header page, reads its continuation link and rewrites it on disk.
// Its state exists once per process and is reused for every file. Every
// operation reports to the run log and returns its success flag; none throws.
#pragma once

#include "app/run_log.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaldrin::header {

class LinkEditor {
public:
    static LinkEditor& Instance();

    // Set by the caller before OpenDatabaseFile.
    std::string DatabaseFileName;
    // The continuation link found in the page; empty when there is none.
    std::string OldLinkName;
    // Set by the caller before ChangeContinuationLink.
    std::string NewLinkName;

    bool OpenDatabaseFile(RunLog& log);
    bool ReadHeaderPage(RunLog& log);
    bool CheckHeaderPage(RunLog& log);
    bool ReadContinuationLink(RunLog& log);
    bool ChangeContinuationLink(RunLog& log);
    bool CloseDatabaseFile(RunLog& log);

    // True when the last ReadContinuationLink met entries that run past the
    // page end (21015), as opposed to a page that simply has no link.
    bool EntriesOverranPage() const;

    // The page images, 32768 bytes each, for inspection by tests.
    const std::uint8_t* HeaderPage() const;
    const std::uint8_t* NewHeaderPage() const;
};

} // namespace tessaldrin::header
