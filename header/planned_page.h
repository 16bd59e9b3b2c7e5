// The header page operations of a run: a page read, checked and rebuilt in
// memory while the plan is made, before any file of the chain is changed,
// and, when the run writes it, read again from the held file to see that it
// is still the page planned. The write itself is the link editor's
// (LinkEditor::WritePage); the run's executor drives both.
#pragma once

#include "header/file_index.h"
#include "header/link_editor.h"
#include "header/page_fault.h"
#include "platform/locked_file.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::header {

// One file's new header page.
struct PlannedPage {
    FileIndex file;          // the file, in the list and among the held files
    std::string path;        // the file's name now
    std::string writtenPath; // its name when the page is written, once renamed
    // What reading the page wrote: a checksum warning, then the line of its
    // link or of the last file.
    std::vector<std::string> readLines;
    std::vector<std::uint8_t> page;    // the header page as read
    std::vector<std::uint8_t> newPage; // the page to write; empty: nothing to write
    std::string newLink;               // the link the page holds afterwards; empty: none
    std::vector<std::string> replaced; // the links its continuation entries held
    // Whether the run writes the page: a page that already holds its new
    // link byte for byte is left as it is.
    bool Writes() const { return !newPage.empty(); }
    bool operator==(const PlannedPage&) const = default;
};

// Rebuilds the page that `editor` has read and checked so that its link
// becomes `page.newLink`, into `page.newPage`, or leaves it empty when the
// rebuilt page equals the page as read. Why, when the page cannot take the
// new link; nothing is written either way.
std::optional<PageFault> PlanNewPage(LinkEditor& editor, PlannedPage& page);

// Opens `file`, held for `page`, with `editor`, and reads and checks its
// page again; true when it is still the page that the plan was made from, so
// that the editor may write `page.newPage` over it. Otherwise the one error
// line that says the page changed since the plan.
bool ReopenAsPlanned(LinkEditor& editor, platform::LockedFile* file, const PlannedPage& page,
                     RunLog& log);

// The last page that a run wrote, for whoever ends a run early. Written
// while termination is deferred, so it may be read whenever it is not.
struct RelinkProgress {
    std::string lastWritten;
};

} // namespace tessaldrin::header
