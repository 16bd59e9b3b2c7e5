#include "versioninfo/evi_komp.h"

#include "platform/format_message.h"
#include "platform/module_file_name.h"
#include "toolkit/canvas.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_paths.h"
#include "versioninfo/identity.h"
#include "versioninfo/report_file.h"

#include <cstdlib>
#include <utility>

namespace tessaldrin::versioninfo {
namespace {

const std::string kRule(70, '-');

} // namespace

TEVI::TEVI(TVersionWindow window) : window_(std::move(window)) {
    const ModulePaths paths = SplitModulePath(platform::ModuleFileName());
    moduleDirectory_ = paths.directory;
    moduleFileName_ = paths.fileName;
    reportPath_ = paths.reportPath;
    printer_ = std::make_unique<TDOzadi>();
}

TEVI::~TEVI() {
    // The wrapper goes first, before the list and the texts.
    printer_.reset();
}

std::string TEVI::GetasVersion() const {
    return platform::FormatText("%i.%02i.%03i", 1, 1, 0);
}

std::string TEVI::GetasVersionDate() const {
    return "16.11.2001";
}

std::string TEVI::GetasVersionName() const {
    return "EVI";
}

std::string TEVI::GetasVersionString() const {
    return IdentityLine(GetasVersionName(), GetasVersion(), GetasVersionDate());
}

void TEVI::SetasVersion(const std::string&) {}
void TEVI::SetasVersionDate(const std::string&) {}
void TEVI::SetasVersionName(const std::string&) {}
void TEVI::SetasVersionString(const std::string&) {}

void TEVI::Header() {
    info_.push_back("Datei:       " + moduleFileName_);
    info_.push_back("Version:     " + asModuleVersion);
    info_.push_back("Datum:       " + asModuleVersionDate);
    info_.push_back("Verzeichnis: " + moduleDirectory_);
    info_.push_back(kRule);
    info_.emplace_back();
    info_.emplace_back("Verwendete Komponenten:");
    info_.push_back(kRule);
    EVI(&info_, 1);
}

void TEVI::EVI(std::vector<std::string>* list, int level) {
    if (list != nullptr) {
        list->push_back(LevelPrefix(level) + GetasVersionString());
    }
    printer_->EVI(list, level + 1);
}

void TEVI::DatenSammeln() {
    info_.clear();
    Header();
    if (OnDatenSammeln) {
        OnDatenSammeln(this, info_);
    }
}

void TEVI::Info(TExVersionInfoTyp kind) {
    DatenSammeln();
    switch (kind) {
    case TExVersionInfoTyp::eviFile:
        VersionInfoFile();
        break;
    case TExVersionInfoTyp::eviPrinter:
        VersionInfoPrinter();
        break;
    case TExVersionInfoTyp::eviScreen:
    default:
        VersionInfoScreen();
        break;
    }
}

void TEVI::VersionInfoScreen() {
    window_(*this);
}

void TEVI::VersionInfoFile() {
    WriteReportFile(reportPath_, info_);
}

void TEVI::VersionInfoPrinter() {
    TDOzadi& printer = *printer_;
    if (printer.GetPrinting()) {
        return;
    }
    printer.SetTitle(moduleFileName_ + " - EVI");
    printer.GetFont().SetName("Courier New");
    printer.GetFont().SetSize(12);
    printer.BeginDoc();
    toolkit::TCanvas& canvas = printer.Canvas();
    // One page: the report is short, and the lines below its end are lost.
    std::int32_t y = 0;
    for (const std::string& line : info_) {
        canvas.TextOut(0, y, line);
        y += std::abs(canvas.Font().Height());
    }
    printer.EndDoc();
}

} // namespace tessaldrin::versioninfo
