#include "platform/open_failure.h"

#include "platform/format_message.h"

namespace tessaldrin::platform {

std::string OpenFailureText(const OpenFailure& failure) {
    using Reason = OpenFailure::Reason;
    switch (failure.reason) {
    case Reason::kMissing:
        return LoadString(21081);
    case Reason::kNoPermission:
        return LoadString(21082);
    case Reason::kHeldElsewhere:
        return LoadString(21083);
    case Reason::kLink:
        return LoadString(21084);
    case Reason::kNotRegularFile:
        return LoadString(21085);
    case Reason::kSecondName:
        return LoadString(21086);
    case Reason::kReadOnlyFileSystem:
        return LoadString(21087);
    case Reason::kNameTooLong:
        return LoadString(21088);
    case Reason::kOther:
        break;
    }
    return FormatMessage(21089, std::to_string(failure.systemError));
}

} // namespace tessaldrin::platform
