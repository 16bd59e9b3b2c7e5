// The preview: what a run would do, worked out by the run's own steps and the
// link editor's own checks, with every write left out.
#include "app/adjustment.h"

#include "platform/format_message.h"
#include "platform/move_file.h"

#include <stdexcept>

namespace tessaldrin {

bool Adjustment::PreviewAdjustment() {
    if (DataModule == nullptr) {
        throw std::logic_error("PreviewAdjustment without a data module");
    }
    bool passes = DataModule->CheckServer(&log_) && FindFiles();
    if (passes) {
        if (ChainPrimary.empty() && NeedsRenaming()) {
            PreviewRenames();
        }
        // The files are read under the names they have now; the links are
        // mapped by the same rule as in a run, which does not depend on them.
        // They are held as a run holds them, so that the preview refuses what
        // the run would, and given back when the preview ends.
        header::HeldDatabaseFiles held;
        held.Take(FileList);
        passes = header::ChangeHeaderLinks(FileList, DatabaseDir, log_, held, LinkTarget(),
                                           header::PageChange::kPreview);
    }
    log_.append("");
    log_.AppendMessage(21063);
    return passes;
}

// The renames that a run would make; like the run, it is silent about one
// that would fail.
void Adjustment::PreviewRenames() {
    log_.append("");
    log_.AppendMessage(21034);
    for (const std::string& entry : FileList) {
        const std::string renamed = RenamedPath(entry);
        if (platform::MoveFileWouldSucceed(entry, renamed)) {
            log_.append(platform::FormatMessage(21060, entry, renamed));
        }
    }
}

} // namespace tessaldrin
