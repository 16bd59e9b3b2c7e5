// A file of a run by its place: its index in the run's list of files and its
// index among the held files, which are the same by construction. A type of
// its own, so that a change names its file the one way the run holds it.
#pragma once

#include <compare>
#include <cstddef>

namespace tessaldrin::header {

struct FileIndex {
    std::size_t value{};

    auto operator<=>(const FileIndex&) const = default;
};

} // namespace tessaldrin::header
