// The entries of one or more directories by name, "one spelling or none":
// a name means the entry of its exact spelling or, where there is none, the
// one entry that equals it without regard to case (a copy from a volume that
// ignores case). Two entries that differ only in case are neither of them the
// one meant.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace tessaldrin::filetable {

class NameIndex {
public:
    // The entry `name` of the directory `dir` (with its trailing separator).
    void Add(const std::string& dir, const std::string& name);

    // The name under which `dir` holds the entry that `name` means: `name`
    // when it was added so, else the one entry added that equals it without
    // regard to case; nothing when there is neither, or several such.
    std::optional<std::string> Spelling(const std::string& dir, const std::string& name) const;

    // Whether `dir` holds an entry equal to `name` without regard to case,
    // whether or not it is the one meant.
    bool Holds(const std::string& dir, const std::string& name) const;

    bool operator==(const NameIndex&) const = default;

private:
    std::set<std::pair<std::string, std::string>> exact_;
    // Per directory, each case-folded name with its one spelling; none when
    // two entries share it.
    std::map<std::pair<std::string, std::wstring>, std::optional<std::string>> folded_;
};

} // namespace tessaldrin::filetable
