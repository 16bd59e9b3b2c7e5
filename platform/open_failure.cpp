#include "platform/open_failure.h"

#include "platform/format_message.h"

namespace tessaldrin::platform {

std::string OpenFailureText(const OpenFailure& failure) {
    using Reason = OpenFailure::Reason;
    switch (failure.reason) {
    case Reason::kMissing:
        return Format(msg::kReasonMissing);
    case Reason::kNoPermission:
        return Format(msg::kReasonNoPermission);
    case Reason::kHeldElsewhere:
        return Format(msg::kReasonHeldElsewhere);
    case Reason::kHoldersUnknownNoRight:
        return Format(msg::kReasonHoldersUnknownNoRight);
    case Reason::kHoldersUnknownFileSystem:
        return Format(msg::kReasonHoldersUnknownFileSystem);
    case Reason::kLink:
        return Format(msg::kReasonLink);
    case Reason::kNotRegularFile:
        return Format(msg::kReasonNotRegularFile);
    case Reason::kSecondName:
        return Format(msg::kReasonSecondName);
    case Reason::kReadOnlyFileSystem:
        return Format(msg::kReasonReadOnlyFileSystem);
    case Reason::kNameTooLong:
        return Format(msg::kReasonNameTooLong);
    case Reason::kOther:
        break;
    }
    return Format(msg::kReasonSystemError, std::to_string(failure.systemError));
}

} // namespace tessaldrin::platform
