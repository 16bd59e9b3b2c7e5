#include "header/page_fault.h"

#include "platform/format_message.h"

namespace tessaldrin::header {

using Kind = PageFault::Kind;

const platform::Message<>& MessageOf(Kind kind) {
    switch (kind) {
    case Kind::kNotOpen:
        return msg::kCannotOpenFile;
    case Kind::kUnreadable:
        return msg::kCannotReadHeader;
    case Kind::kPageSize:
        return msg::kWrongPageSize;
    case Kind::kUnsupportedForm:
        return msg::kUnsupportedForm;
    case Kind::kPageType:
        return msg::kWrongPageType;
    case Kind::kContinuedHeader:
        return msg::kContinuedHeader;
    case Kind::kEntriesOverrunPage:
        return msg::kEntriesOverrunPage;
    case Kind::kDamagedLink:
        return msg::kDamagedLink;
    // The nearest case of a name longer than the editor takes.
    case Kind::kLinkTooLong:
    case Kind::kNameDoesNotFit:
        return msg::kNameDoesNotFit;
    case Kind::kEntriesTooLarge:
        return msg::kEntriesTooLarge;
    case Kind::kEntriesBroken:
        return msg::kEntriesBroken;
    case Kind::kNoContinuation:
        return msg::kNoContinuation;
    case Kind::kNotChecked:
        break;
    }
    return msg::kCannotWriteHeader;
}

bool ShowsNumber(Kind kind) {
    return kind == Kind::kPageSize || kind == Kind::kUnsupportedForm || kind == Kind::kPageType;
}

void LogFault(RunLog& log, const PageFault& fault) {
    if (ShowsNumber(fault.kind)) {
        log.LogErrorNumber(platform::Format(MessageOf(fault.kind)), fault.number);
    } else {
        log.LogError(platform::Format(MessageOf(fault.kind)));
    }
}

} // namespace tessaldrin::header
