// Why the link editor refuses a file's header page, as a value: the kind of
// refusal and the number its error line shows (the page size, the page type,
// the form's major version, or the width a name exceeds). The editor writes
// its own error line for it; a run's plan keeps the value, and its text is
// made where the plan's text is made.
#pragma once

#include "platform/messages.h"
#include "runlog/run_log.h"

#include <cstdint>

namespace tessaldrin::header {

struct PageFault {
    enum class Kind {
        kNotOpen,            // no file: it could not be opened or held
        kUnreadable,         // the page cannot be read whole
        kPageSize,           // number: the page size, which is not accepted
        kUnsupportedForm,    // number: the major version of a form not handled
        kPageType,           // number: the page type, not a header page's
        kContinuedHeader,    // the header goes on on another page
        kEntriesOverrunPage, // the entries before the link run past the page end
        kDamagedLink,        // the link holds bytes that no file name holds
        kLinkTooLong,        // number: the width of a link, which the new one exceeds
        kNameDoesNotFit,     // the new link finds no room in the page
        kEntriesTooLarge,    // the new link pushes a later entry past the page end
        kEntriesBroken,      // a later entry runs past the end of the page as read
        kNoContinuation,     // the page has no continuation entry to rebuild
        kNotChecked,         // no page was read from this very file and checked
    };

    Kind kind = Kind::kNotOpen;
    std::int32_t number{};

    bool operator==(const PageFault&) const = default;
};

// The message of the editor's error line for a fault of `kind`.
const platform::Message<>& MessageOf(PageFault::Kind kind);
// Whether that error line shows the fault's number (21009 rather than 21007).
bool ShowsNumber(PageFault::Kind kind);
// The editor's one error line for `fault`.
void LogFault(RunLog& log, const PageFault& fault);

} // namespace tessaldrin::header
