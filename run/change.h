// The changes of a plan, each a value that names its file by its index in
// the run's list and among the held files: a rename, a header page, the rows
// of RDB$FILES. The executor (run/executor.h) carries them out in the plan's
// order; the describer (run/describer.h) makes their lines.
#pragma once

#include "filetable/dm_files.h"
#include "header/file_index.h"
#include "header/planned_page.h"

#include <string>
#include <type_traits>
#include <variant>

namespace tessaldrin {

using header::FileIndex;

// One file's new name, given to the file while it is held.
struct Rename {
    FileIndex file;
    std::string from;
    std::string to;

    bool operator==(const Rename&) const = default;
};

// One file of the chain, from the primary file on: its page as read and the
// page to write in its place, or the line that it needs none.
using WriteHeaderPage = header::PlannedPage;

// The rows of RDB$FILES, rewritten through the server once every file of
// the chain is changed and let go of.
struct RewriteFileTable {
    filetable::FileTableChange change;

    bool operator==(const RewriteFileTable&) const = default;
};

using Change = std::variant<Rename, WriteHeaderPage, RewriteFileTable>;

// The steps of a run that the changes fall into, in the order a plan lists
// them: every rename, then every page, then the file table.
enum class ChangeStep { kRenaming, kRelinking, kFileTable };

static_assert(std::is_same_v<std::variant_alternative_t<0, Change>, Rename> &&
              std::is_same_v<std::variant_alternative_t<1, Change>, WriteHeaderPage> &&
              std::is_same_v<std::variant_alternative_t<2, Change>, RewriteFileTable>);

// A change's step is its place among the alternatives.
inline ChangeStep StepOf(const Change& change) {
    return static_cast<ChangeStep>(change.index());
}

} // namespace tessaldrin
