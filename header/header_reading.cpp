#include "header/header_reading.h"

#include "header/header_page.h"

namespace tessaldrin::header {

HeaderReading ReadHeader(LinkEditor& editor, platform::LockedFile* file, const std::string& path,
                         const std::optional<platform::OpenFailure>& why) {
    ListRunLog log;
    HeaderReading reading;
    if (editor.OpenDatabaseFile(log, path, file, why) && editor.ReadHeaderPage(log) &&
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
    reading.refusal = editor.Fault();
    return reading;
}

} // namespace tessaldrin::header
