#include "header/chain_relinking_pass.h"

#include "header/header_reading.h"
#include "platform/format_message.h"
#include "platform/termination_signals.h"

#include <algorithm>

namespace tessaldrin::header {
namespace {

void AppendAll(RunLog& log, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        log.append(line);
    }
}

// Reads the page of `file` again; true when it is still the page that the
// plan was made from. The reading's lines were written with the plan.
bool StillAsPlanned(LinkEditor& editor, platform::LockedFile* file, const PlannedPage& page,
                    RunLog& log) {
    ListRunLog again;
    editor.DatabaseFileName = page.writtenPath;
    const bool read = editor.OpenHeldDatabaseFile(again, file) && editor.ReadHeaderPage(again) &&
                      editor.CheckHeaderPage(again);
    if (!read || !std::equal(page.page.begin(), page.page.end(), editor.HeaderPage())) {
        log.LogError(platform::Format(msg::kPageChangedSincePlan));
        return false;
    }
    return true;
}

// The change of one planned page; false when it failed, with its error line
// in the log.
bool Relink(LinkEditor& editor, platform::LockedFile* file, const PlannedPage& page, RunLog& log,
            RelinkProgress* progress) {
    if (page.newLink.empty()) {
        return true; // the last file of the chain
    }
    if (!page.Writes()) {
        log.append(platform::Format(msg::kLinkAlreadyRight, page.newLink));
        return true;
    }
    if (!StillAsPlanned(editor, file, page, log)) {
        return false;
    }
    // A SIGINT or SIGTERM waits until the page is written, synced and read
    // back, or restored: no line claims a change that it cut short.
    const platform::TerminationDeferred untilThePageIsDone;
    for (const std::string& oldLink : page.replaced) {
        log.append(platform::Format(msg::kLinkChanged, oldLink, page.newLink));
    }
    if (!editor.WritePage(log, page.newPage.data(), page.newPage.size())) {
        return false;
    }
    if (progress != nullptr) {
        progress->lastWritten = page.writtenPath;
    }
    return true;
}

} // namespace

std::optional<std::string> PlanNewPage(LinkEditor& editor, PlannedPage& page) {
    ReasonLog log;
    editor.NewLinkName = page.newLink;
    page.replaced.clear();
    const auto pageSize = editor.BuildNewPage(
        log, [&page](const std::string& oldLink) { page.replaced.push_back(oldLink); });
    if (!pageSize) {
        return log.Reason;
    }
    page.page.assign(editor.HeaderPage(), editor.HeaderPage() + *pageSize);
    page.newPage.assign(editor.NewHeaderPage(), editor.NewHeaderPage() + *pageSize);
    if (page.newPage == page.page) {
        page.newPage.clear();
    }
    return std::nullopt;
}

bool ChangeHeaderLinks(const std::vector<PlannedPage>& pages, HeldDatabaseFiles& held, RunLog& log,
                       RelinkProgress* progress) {
    log.append("");
    log.AppendMessage(msg::kRelinkingHeading);
    LinkEditor editor;
    bool result = true;
    for (const PlannedPage& page : pages) {
        log.append(platform::Format(msg::kProcessingFile, page.writtenPath));
        AppendAll(log, page.readLines);
        // Every page is worked on, also after an earlier one failed.
        result = Relink(editor, held.At(page.held), page, log, progress) && result;
        editor.CloseDatabaseFile(log);
        log.append("");
    }
    return result;
}

void ShowHeaderLinks(const std::vector<PlannedPage>& pages, RunLog& log) {
    log.append("");
    log.AppendMessage(msg::kPreviewHeading);
    for (const PlannedPage& page : pages) {
        log.append(platform::Format(msg::kProcessingFile, page.path));
        AppendAll(log, page.readLines);
        if (page.Writes()) {
            for (const std::string& oldLink : page.replaced) {
                log.append(platform::Format(msg::kLinkWouldChange, oldLink, page.newLink));
            }
        } else if (!page.newLink.empty()) {
            log.append(platform::Format(msg::kLinkAlreadyRight, page.newLink));
        }
        log.append("");
    }
}

} // namespace tessaldrin::header
