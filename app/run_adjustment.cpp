#include "app/adjustment.h"

#include "platform/load_string.h"

#include <stdexcept>

namespace tessaldrin {

void Adjustment::ChoosePort(std::int32_t port) {
    Port = port;
    if (DataModule != nullptr) {
        DataModule->Port = port;
    }
}

// The steps in order, each to its end. The server check, discovery and the
// relinking pass must succeed for the run to go on; a failed rename is silent.
// Nothing is rolled back: what a step changed stays when a later one fails.
// An exception from a step (a refused attachment) ends the run without its
// final line and reaches the caller.
bool Adjustment::RunAdjustment() {
    if (DataModule == nullptr) {
        throw std::logic_error("RunAdjustment without a data module");
    }
    bool succeeded = DataModule->CheckServer(&log_) && FindDatabaseFiles();
    if (succeeded) {
        if (NeedsRenaming()) {
            RenameFiles();
        }
        succeeded = ChangeHeaderLinks() && DataModule->ChangeFileTable(FileList, &log_);
    }
    log_.append("");
    log_.AppendMessage(succeeded ? 21036 : 21037);
    return succeeded;
}

} // namespace tessaldrin
