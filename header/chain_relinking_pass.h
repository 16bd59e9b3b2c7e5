// The chain relinking pass: every file of a planned chain gets, in its header
// page, the new name of the continuation file that its own stored link
// names. Each page is read, checked and rebuilt in memory while the plan is
// made, before any file of the chain is changed; the pass then writes exactly
// those pages.
#pragma once

#include "header/held_database_files.h"
#include "header/link_editor.h"
#include "runlog/run_log.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::header {

// One file's part in the pass.
struct PlannedPage {
    std::string path;        // the file's name now
    std::string writtenPath; // its name when the pass reaches it, once renamed
    std::size_t held{};      // the file's index among the held files
    // What reading the page wrote: a checksum warning, then the line of its
    // link or of the last file.
    std::vector<std::string> readLines;
    std::vector<std::uint8_t> page;    // the header page as read
    std::vector<std::uint8_t> newPage; // the page to write; empty: nothing to write
    std::string newLink;               // the link the page holds afterwards; empty: none
    std::vector<std::string> replaced; // the links its continuation entries held
    // Whether the pass writes the page: a page that already holds its new
    // link byte for byte is left as it is.
    bool Writes() const { return !newPage.empty(); }
    bool operator==(const PlannedPage&) const = default;
};

// Rebuilds the page that `editor` has read and checked so that its link
// becomes `page.newLink`, into `page.newPage`, or leaves it empty when the
// rebuilt page equals the page as read. The reason when the page cannot take
// the new link; nothing is written either way.
std::optional<std::string> PlanNewPage(LinkEditor& editor, PlannedPage& page);

// The last page that the pass wrote, for whoever ends a run early. Written
// while termination is deferred, so it may be read whenever it is not.
struct RelinkProgress {
    std::string lastWritten;
};

// Writes the planned pages in order into the held files, each with its
// lines: "Bearbeite Datei", the reading's lines, then, with termination
// deferred, the changed links and the write, synced and read back (or the
// line that the link is right already). A page that is no longer the one
// planned is not written. Never stops early; true when every page was
// written as planned.
bool ChangeHeaderLinks(const std::vector<PlannedPage>& pages, HeldDatabaseFiles& held, RunLog& log,
                       RelinkProgress* progress = nullptr);

// The same pass as the preview shows it: the lines that ChangeHeaderLinks
// would write, under its own heading, with nothing written.
void ShowHeaderLinks(const std::vector<PlannedPage>& pages, RunLog& log);

} // namespace tessaldrin::header
