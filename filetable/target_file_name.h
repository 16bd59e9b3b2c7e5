// The one rule that maps a file name as stored in a database (a header page's
// continuation link, an RDB$FILES row) to the full name of that file now.
#pragma once

#include <string>
#include <vector>

namespace tessaldrin::filetable {

// `dir` (used unchanged), then the stored name's file part without its last
// extension, then ".TDB". The file part follows the last "\", ":" or "/", so a
// name stored by a Windows server maps as well as one stored here. Cutting at
// the last "." leaves the name that renaming gives the file on disk. Empty
// when the stored name names no file: empty, ending in a separator, or a file
// part that is only an extension; "<dir>.TDB" would name no database file.
std::string TargetFileName(const std::string& dir, const std::string& stored);

// `target` as it is spelled on disk. Where the file system tells names apart
// by case and `target` names no existing entry by its exact spelling, while
// exactly one of the `discovered` files equals it without regard to case
// (copied from a volume that ignores case, say), that file's name; otherwise
// `target` unchanged. Both rewrites pass their names through it, so that the
// links, the file table and the names on disk agree.
std::string SpelledAsOnDisk(const std::string& target, const std::vector<std::string>& discovered);
// The file part of a stored name: what follows its last "\", ":" or "/", the
// whole name when it holds none of them.
std::string StoredFilePart(const std::string& stored);

} // namespace tessaldrin::filetable
