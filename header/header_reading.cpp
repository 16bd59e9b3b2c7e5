#include "header/header_reading.h"

#include "header/header_page.h"
#include "platform/format_message.h"

namespace tessaldrin::header {

void ReasonLog::LogError(const std::string& text) {
    if (!Reason) {
        Reason = text;
    }
    ListRunLog::LogError(text);
}

void ReasonLog::LogErrorNumber(const std::string& text, std::int32_t number) {
    if (!Reason) {
        Reason = platform::FormatText("%s (%d)", text.c_str(), static_cast<int>(number));
    }
    ListRunLog::LogErrorNumber(text, number);
}

HeaderReading ReadHeader(LinkEditor& editor, platform::LockedFile* file, const std::string& path,
                         const std::optional<platform::OpenFailure>& why) {
    ReasonLog log;
    HeaderReading reading;
    editor.DatabaseFileName = path;
    if (editor.OpenHeldDatabaseFile(log, file, why) && editor.ReadHeaderPage(log) &&
        editor.CheckHeaderPage(log)) {
        const std::uint8_t* page = editor.HeaderPage();
        reading.odsVersion = OdsVersion(page);
        reading.pageSize = PageSize(page);
        reading.fileSequence = FileSequence(page);
        if (editor.ReadContinuationLink(log)) {
            reading.link = editor.OldLinkName;
        }
    }
    reading.lines = std::move(log.Lines);
    reading.refusal = std::move(log.Reason);
    return reading;
}

} // namespace tessaldrin::header
