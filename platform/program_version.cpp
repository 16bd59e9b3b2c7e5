#include "platform/program_version.h"

#include "platform/format_message.h"

namespace tessaldrin::platform {

std::string ProgramVersion() {
    return FormatText("%2i.%02i.%03i", 1, 11, 2);
}

std::string ProgramVersionDate() {
    return "01.07.2015";
}

std::vector<std::string> ProgramIdentityLines(const std::string& fileName) {
    return {"Datei:       " + fileName, "Version:     " + ProgramVersion(),
            "Datum:       " + ProgramVersionDate()};
}

} // namespace tessaldrin::platform
