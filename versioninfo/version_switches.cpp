#include "versioninfo/version_switches.h"

#include "platform/compare_string.h"
#include "platform/program_version.h"

#include <array>

namespace tessaldrin::versioninfo {
namespace {

struct Switch {
    const wchar_t* text;
    TExVersionInfoTyp kind;
};

constexpr std::array kSwitches{
    Switch{L"/EVIS", TExVersionInfoTyp::eviScreen},
    Switch{L"/EVIF", TExVersionInfoTyp::eviFile},
    Switch{L"/EVIP", TExVersionInfoTyp::eviPrinter},
};

} // namespace

void SetStoredSettings(TEVI& evi) {
    evi.SetasVersion("1.01.000");
    evi.SetasVersionDate("16.11.2001");
    evi.SetasVersionName("EVI");
}

void SetProgramVersion(TEVI& evi) {
    evi.asModuleVersion = platform::ProgramVersion();
    evi.asModuleVersionDate = platform::ProgramVersionDate();
}

std::optional<TExVersionInfoTyp> VersionSwitchKind(const std::string& argument) {
    const std::wstring upper = platform::UpcaseText(argument);
    for (const Switch& entry : kSwitches) {
        if (upper == entry.text) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

void RunVersionSwitches(const std::vector<std::string>& arguments,
                        const std::function<void(TExVersionInfoTyp)>& showVersionInfo) {
    for (const std::string& argument : arguments) {
        if (const auto kind = VersionSwitchKind(argument)) {
            showVersionInfo(*kind);
        }
    }
}

void SetVersionAndRunSwitches(TEVI& evi, const std::vector<std::string>& arguments,
                              const std::function<void(TExVersionInfoTyp)>& showVersionInfo) {
    SetProgramVersion(evi);
    RunVersionSwitches(arguments, showVersionInfo);
}

} // namespace tessaldrin::versioninfo
