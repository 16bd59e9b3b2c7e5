// The chain relinking pass: every listed database file gets, in its header
// page, the new name of the continuation file that its own stored link names.
#pragma once

#include "runlog/run_log.h"

#include <functional>
#include <string>
#include <vector>

namespace tessaldrin::header {

// Visits every file of `files` in order through the link editor, maps each
// stored link to its target name in `databaseDir` and rewrites the page; a
// file without a link is the last of its chain and stays as it is. Never stops
// early, closes every file it opened and ends each file's section in `log`
// with an empty entry. True when every file was handled without failure; a
// page whose entries run past its end is a failure, not a last file.
bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log);

// The new link for a link as stored, given the database's directory; when
// unset, the target naming rule of the file table.
using TargetRule = std::function<std::string(const std::string& dir, const std::string& stored)>;

// What the pass does with each page whose link it would change.
enum class PageChange {
    kWrite,   // rebuild it and write it
    kPreview, // rebuild it and show the new link, but write nothing
};

// The pass as above with the links mapped by `target`; with kPreview its
// heading says so, every page is read and checked by the same rules, and no
// file is written. The result is the one the writing pass would have.
bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log, const TargetRule& target, PageChange change);

} // namespace tessaldrin::header
