#include "header/planned_page.h"

#include "platform/format_message.h"

#include <algorithm>

namespace tessaldrin::header {

std::optional<PageFault> PlanNewPage(LinkEditor& editor, PlannedPage& page) {
    // Its error line is the refusal's, which the plan's describer writes.
    ListRunLog log;
    page.replaced.clear();
    const auto pageSize =
        editor.ChangeContinuationLink(log, page.newLink, [&page](const std::string& oldLink) {
            page.replaced.push_back(oldLink);
        });
    if (!pageSize) {
        // Never an answer that would let the page pass.
        return editor.Fault() ? editor.Fault() : PageFault{PageFault::Kind::kNotChecked};
    }
    page.page.assign(editor.HeaderPage(), editor.HeaderPage() + *pageSize);
    page.newPage.assign(editor.NewHeaderPage(), editor.NewHeaderPage() + *pageSize);
    if (page.newPage == page.page) {
        page.newPage.clear();
    }
    return std::nullopt;
}

bool ReopenAsPlanned(LinkEditor& editor, platform::LockedFile* file, const PlannedPage& page,
                     RunLog& log) {
    // The reading's lines were written with the plan.
    ListRunLog again;
    const bool read = editor.OpenDatabaseFile(again, page.writtenPath, file) &&
                      editor.ReadHeaderPage(again) && editor.CheckHeaderPage(again);
    if (!read || !std::equal(page.page.begin(), page.page.end(), editor.HeaderPage())) {
        log.LogError(platform::Format(msg::kPageChangedSincePlan));
        return false;
    }
    return true;
}

} // namespace tessaldrin::header
