// The chain relinking pass: every listed database file gets, in its header
// page, the new name of the continuation file that its own stored link names.
#pragma once

#include "header/held_database_files.h"
#include "runlog/run_log.h"

#include <functional>
#include <string>
#include <vector>

namespace tessaldrin::header {

// The new link for a link as stored, given the database's directory; when
// unset, the target naming rule of the file table.
using TargetRule = std::function<std::string(const std::string& dir, const std::string& stored)>;

// What the pass does with each page whose link it would change.
enum class PageChange {
    kWrite,   // rebuild it and write it
    kPreview, // rebuild it and show the new link, but write nothing
};

// Visits every file of `files` in order through the link editor, maps each
// stored link to its target name in `databaseDir` (by `target` when set) and
// rewrites the page; a file without a link is the last of its chain and stays
// as it is. Never stops early, closes every file it opened and ends each
// file's section in `log` with an empty entry. True when every file was
// handled without failure; a damaged page, or a link that names no file, is a
// failure, not a last file. With kPreview the heading says so, every page is
// read and checked by the same rules, and no file is written; the result is
// the one the writing pass would have.
//
// The editor works on the files of `held`, taken for `files` beforehand; a
// file that `held` could not take is refused as one that cannot be opened,
// and while any is missing, no file is written at all: a chain is changed
// whole or not at all, never under a server that holds part of it.
bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log, HeldDatabaseFiles& held, const TargetRule& target = {},
                       PageChange change = PageChange::kWrite);

} // namespace tessaldrin::header
