#include "runlog/run_log.h"

#include "platform/format_message.h"

namespace tessaldrin {
namespace {

// The error writers format into a buffer of this many characters; their
// callers pass short message texts, so nothing real is ever cut.
constexpr std::size_t kErrorEntryMax = 255;

// Cuts `text` to at most kErrorEntryMax bytes without splitting a UTF-8 sequence.
std::string Bounded(std::string text) {
    if (text.size() <= kErrorEntryMax) {
        return text;
    }
    std::size_t end = kErrorEntryMax;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text;
}

} // namespace

void RunLog::LogError(const std::string& text) {
    append(Bounded(platform::Format(msg::kError, text)));
}

void RunLog::LogErrorNumber(const std::string& text, std::int32_t number) {
    append(Bounded(platform::Format(msg::kErrorNumber, text, static_cast<int>(number))));
}

void RunLog::AppendMessage(const platform::Message<>& message) {
    append(platform::Format(message));
}

void RunLog::AppendAll(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        append(line);
    }
}

} // namespace tessaldrin
