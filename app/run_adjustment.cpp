#include "app/adjustment.h"

#include "app/chain_discovery.h"
#include "platform/format_message.h"
#include "platform/load_string.h"

#include <stdexcept>

namespace tessaldrin {
namespace {

// Runs `step` and, when `timed` is set, tells it how long the step took.
template <typename Step>
bool Timed(const Adjustment::StepTimer& timed, std::string_view name, Step step) {
    if (!timed) {
        return step();
    }
    const auto start = std::chrono::steady_clock::now();
    const bool result = step();
    timed(name, std::chrono::steady_clock::now() - start);
    return result;
}

} // namespace

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
    bool succeeded =
        Timed(StepTimed, "server-check", [this] { return DataModule->CheckServer(&log_); }) &&
        Timed(StepTimed, "discovery", [this] { return FindFiles(); });
    if (succeeded) {
        // Every file is held before the first rename or write of the run, so
        // that no server attachment can begin on part of the chain meanwhile.
        HoldDatabaseFiles();
        Timed(StepTimed, "renaming", [this] {
            if (ChainPrimary.empty() && NeedsRenaming()) {
                RenameFiles();
            }
            return true;
        });
        succeeded = Timed(StepTimed, "relinking", [this] { return ChangeHeaderLinks(); }) &&
                    Timed(StepTimed, "file-table",
                          [this] { return DataModule->ChangeFileTable(FileList, &log_); });
    }
    AppendFinalLine(succeeded);
    return succeeded;
}

// The Tessaldrin run's own lines; a run from a primary file names that file.
void Adjustment::AppendFinalLine(bool succeeded) {
    log_.append("");
    if (ChainPrimary.empty()) {
        log_.AppendMessage(succeeded ? 21036 : 21037);
    } else {
        log_.append(platform::FormatMessage(succeeded ? 21068 : 21069, AbsolutePath(ChainPrimary)));
    }
}

} // namespace tessaldrin
