// The one rule that maps a file name as stored in a database (a header page's
// continuation link, an RDB$FILES row) to the full name of that file now.
#pragma once

#include <string>

namespace tessaldrin::filetable {

// `dir` (used unchanged), then the stored name's file part without its last
// extension, then ".TDB". The file part follows the last "\", ":" or "/", so a
// name stored by a Windows server maps as well as one stored here. Cutting at
// the last "." leaves the name that renaming gives the file on disk.
std::string TargetFileName(const std::string& dir, const std::string& stored);

// The file part of a stored name: what follows its last "\", ":" or "/", the
// whole name when it holds none of them.
std::string StoredFilePart(const std::string& stored);

} // namespace tessaldrin::filetable
