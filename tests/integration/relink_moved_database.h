// A multi-file database that the local server created in one directory and
// whose files were then moved into another, with the program file beside
// them: the situation an adjustment run repairs.
#pragma once

#include "header/held_database_files.h"
#include "run/describer.h"
#include "run/executor.h"
#include "run/plan.h"
#include "tests/support/firebird_fixture.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::testing {

class MovedDatabase {
    // First, so that it exists before the adjustment is given a path in it.
    ServerDir dir_{"tm-relink"};
    std::filesystem::path newDir_;
    DatabaseLayout layout_;

public:
    // Creates the database of `names` (the primary first) in the old place.
    MovedDatabase(const std::vector<std::string>& names, int rows);

    // Moves every file into the new place, under the same name.
    void Move() { MoveFiles(layout_.files, newDir_); }

    // The old full path of file `i`, as the server stored it.
    std::string OldPath(std::size_t i) const { return layout_.files.at(i).string(); }
    // The path of file `i` in the new place, with its name `name`.
    std::string NewPath(const std::string& name) const { return (newDir_ / name).string(); }
    const std::vector<std::filesystem::path>& OldFiles() const { return layout_.files; }

    // The bytes of every file in the new place, in list order.
    std::vector<std::string> Contents(const std::vector<std::string>& paths) const;

    // Discovery beside the program in the new place, every file held as a
    // run holds it, and the plan.
    RunPlan Plan();
    // The renames and the relinking pass as planned, as a run makes them; the
    // log line where the pass began, or nothing when a rename failed.
    std::optional<std::size_t> Rename(const RunPlan& plan);

    ListRunLog log;
    header::HeldDatabaseFiles held;
};

// The error line that a refused plan gives `file` for `reason`.
std::string Refused(const std::string& file, const std::string& reason);

// Whether this process still has `path` open.
bool OpenInThisProcess(const std::string& path);

// The lines the relinking pass writes for one file of the chain whose stored
// link is `oldLink` and whose new link is `newLink`; for the last file, when
// `oldLink` is empty, the lines of a file without a link.
std::vector<std::string> RelinkedFileLines(const std::string& file, const std::string& oldLink,
                                           const std::string& newLink);

} // namespace tessaldrin::testing
