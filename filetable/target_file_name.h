// The one rule that maps a file name as stored in a database (a header page's
// continuation link, an RDB$FILES row) to the full name of that file now.
#pragma once

#include "filetable/name_index.h"

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

// The file part of a stored name: what follows its last "\", ":" or "/", the
// whole name when it holds none of them.
std::string StoredFilePart(const std::string& stored);

// How one run names the file that a stored name means. Both rewrites use the
// same value, so that the links, the file table and the names on disk agree
// byte for byte.
class TargetNaming {
public:
    enum class Rule {
        kTessaldrin, // TargetFileName: every file renamed to ".TDB"
        kKeptName,   // the directory, then the stored file part as it is
    };

    TargetNaming() = default;
    // `files`: the full names that the run's files have once it renamed them.
    TargetNaming(Rule rule, std::string dir, const std::vector<std::string>& files);
    // The same over several directories, each with its trailing separator:
    // a stored name means the file of its name in the first of `dirs` that
    // holds one. Only the kept-name rule looks beyond the first.
    TargetNaming(Rule rule, const std::vector<std::string>& dirs,
                 const std::vector<std::string>& files);

    // The new full name of `stored`, or empty when it names no file: in the
    // first directory, unless a later one holds a file of that name and no
    // earlier one does. Where the file system tells names apart by case and
    // no file there has the name exactly, while exactly one equals it without
    // regard to case (a copy from a volume that ignores case, say), that
    // file's spelling.
    std::string operator()(const std::string& stored) const;

    Rule rule() const { return rule_; }
    const std::string& dir() const { return dirs_.front().path; }
    bool operator==(const TargetNaming&) const = default;

private:
    struct Directory {
        std::string path;
        bool ignoresCase = false;
        bool operator==(const Directory&) const = default;
    };

    Rule rule_ = Rule::kTessaldrin;
    std::vector<Directory> dirs_{Directory{}}; // never empty
    NameIndex names_;                          // the files, by directory
};

} // namespace tessaldrin::filetable
