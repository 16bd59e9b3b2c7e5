#include "versioninfo/version_switches.h"

#include "platform/program_version.h"

#include "toolkit/application.h"

#include <QLocale>

#include <array>

namespace tessaldrin::versioninfo {
namespace {

struct Switch {
    const char* text;
    TExVersionInfoTyp kind;
};

constexpr std::array kSwitches{
    Switch{"/EVIS", TExVersionInfoTyp::eviScreen},
    Switch{"/EVIF", TExVersionInfoTyp::eviFile},
    Switch{"/EVIP", TExVersionInfoTyp::eviPrinter},
};

} // namespace

void SetProgramVersion(TEVI& evi) {
    evi.asModuleVersion = QString::fromStdString(platform::ProgramVersion());
    evi.asModuleVersionDate = QString::fromStdString(platform::ProgramVersionDate());
}

std::optional<TExVersionInfoTyp> VersionSwitchKind(const QString& argument) {
    const QString upper = QLocale::system().toUpper(argument);
    for (const Switch& entry : kSwitches) {
        if (upper == QLatin1String(entry.text)) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

void RunVersionSwitches(const QStringList& arguments,
                        const std::function<void(TExVersionInfoTyp)>& showVersionInfo) {
    toolkit::CallHandler([&] {
        for (const QString& argument : arguments) {
            if (const auto kind = VersionSwitchKind(argument)) {
                showVersionInfo(*kind);
            }
        }
    });
}

} // namespace tessaldrin::versioninfo
