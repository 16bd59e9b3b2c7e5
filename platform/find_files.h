// The wildcard directory search (FindFirstFileA, FindNextFileA, FindClose):
// one directory, the names that match a pattern, one at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessaldrin::platform {

// Whether `name` matches `pattern` without regard to case: "?" stands for
// exactly one character, "*" for any run of characters, including none.
bool MatchesPattern(const std::string& pattern, const std::string& name);

class FileSearch {
public:
    // Searches the directory part of `pathPattern` (up to its last "/"; the
    // working directory when it has none) for entries whose names match the
    // rest. Every kind of entry counts; "." and ".." never do. The matches
    // come in the order the Windows file system keeps them: by name, without
    // regard to case. A directory that cannot be read has no matches.
    explicit FileSearch(const std::string& pathPattern);

    // Whether there is a current match (after the search, and after Next()).
    bool Found() const { return next_ < names_.size(); }
    // The current match's name, without directory.
    const std::string& Name() const { return names_.at(next_); }
    // Moves to the next match; false when the matches are exhausted.
    bool Next();

private:
    std::vector<std::string> names_;
    std::size_t next_ = 0;
};

} // namespace tessaldrin::platform
