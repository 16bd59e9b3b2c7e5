// Discovery of the Tessaldrin database in the program's directory, and the
// names that renaming gives its files.
#pragma once

#include "header/file_index.h"
#include "runlog/run_log.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessaldrin {

// A file of the list whose name the directories searched hold in another
// place as well: either could be the file that the link before it means.
struct SecondPlace {
    header::FileIndex file{}; // its place in the list
    std::string path;         // the other place, in a later directory
    bool operator==(const SecondPlace&) const = default;
};

// What a discovery found.
struct DatabaseFiles {
    std::string DatabaseDir; // the directory searched, with its trailing separator
    // Full paths: the primary file first, then the secondary files (in text
    // order, or in chain order when found by the chain). Empty when no
    // database was found.
    std::vector<std::string> FileList;
    // The directories searched after DatabaseDir, in their order, each with
    // its trailing separator and none of them twice.
    std::vector<std::string> SearchDirs{};
    std::vector<SecondPlace> FoundTwice{};

    // DatabaseDir, then SearchDirs.
    std::vector<std::string> Directories() const;

    bool Found() const { return !FileList.empty(); }
    // The full path of `file` of the list.
    const std::string& Path(header::FileIndex file) const { return FileList.at(file.value); }
    // The primary file's full path; empty when none was found.
    std::string PrimaryFile() const { return Found() ? FileList.front() : std::string{}; }
    bool operator==(const DatabaseFiles&) const = default;
};

// Tessaldrin.?DB and Tessaldrin_*.?DB in the directory of `programPath`,
// listed in `log`: the discovery section, or the line that none was found.
DatabaseFiles FindDatabaseFiles(const std::string& programPath, RunLog& log);

// Whether any of `files` needs the extension ".TDB": where the file system
// ignores case, ".tdb" opens the file that the links name ".TDB"; where it
// does not, only the exact spelling does.
bool NeedsRenaming(const std::vector<std::string>& files);

// The name that renaming gives the file `path`: its last extension, if any,
// replaced by ".TDB".
std::string RenamedPath(const std::string& path);

// What tells two paths apart on the file system that holds them: their bytes
// where it tells names apart by case, their case-folded text where it does not.
std::wstring PathKey(const std::string& path);

} // namespace tessaldrin
