#include "platform/program_version.h"

#include "platform/format_message.h"
#include "platform/program_version_number.h"

namespace tessaldrin::platform {

std::string ProgramVersion() {
    return FormatText("%2i.%02i.%03i", TM_VERSION_MAJOR, TM_VERSION_MINOR, TM_VERSION_RELEASE);
}

std::string ProgramVersionDate() {
    return TM_VERSION_DATE;
}

std::vector<std::string> ProgramIdentityLines(const std::string& fileName) {
    return {"Datei:       " + fileName, "Version:     " + ProgramVersion(),
            "Datum:       " + ProgramVersionDate()};
}

} // namespace tessaldrin::platform
