#include "versioninfo/evi_komp.h"

#include "platform/format_message.h"
#include "platform/module_file_name.h"
#include "toolkit/canvas.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_paths.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/identity.h"
#include "versioninfo/report_file.h"

#include <QMessageBox>

#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {
namespace {

const QString kRule(70, QLatin1Char('-'));

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text);
}

} // namespace

TEVI::TEVI(QObject* owner) : QObject(owner) {
    const ModulePaths paths = SplitModulePath(platform::ModuleFileName());
    moduleDirectory_ = FromLocal(paths.directory);
    moduleFileName_ = FromLocal(paths.fileName);
    reportPath_ = FromLocal(paths.reportPath);
    reportFile_ = paths.reportPath;
    printer_ = new TDOzadi(this);
}

TEVI::~TEVI() {
    // The wrapper goes first, before the list and the texts.
    delete printer_;
    printer_ = nullptr;
}

QString TEVI::GetasVersion() const {
    return QString::fromStdString(platform::FormatText("%i.%02i.%03i", 1, 1, 0));
}

QString TEVI::GetasVersionDate() const {
    return QStringLiteral("16.11.2001");
}

QString TEVI::GetasVersionName() const {
    return QStringLiteral("EVI");
}

QString TEVI::GetasVersionString() const {
    return QString::fromStdString(IdentityLine(GetasVersionName().toStdString(),
                                               GetasVersion().toStdString(),
                                               GetasVersionDate().toStdString()));
}

void TEVI::SetasVersion(const QString&) {}
void TEVI::SetasVersionDate(const QString&) {}
void TEVI::SetasVersionName(const QString&) {}
void TEVI::SetasVersionString(const QString&) {}

void TEVI::Header() {
    info_.append(QStringLiteral("Datei:       ") + moduleFileName_);
    info_.append(QStringLiteral("Version:     ") + asModuleVersion);
    info_.append(QStringLiteral("Datum:       ") + asModuleVersionDate);
    info_.append(QStringLiteral("Verzeichnis: ") + moduleDirectory_);
    info_.append(kRule);
    info_.append(QString());
    info_.append(QStringLiteral("Verwendete Komponenten:"));
    info_.append(kRule);
    EVI(&info_, 1);
}

void TEVI::EVI(QStringList* list, int level) {
    if (list != nullptr) {
        list->append(QString::fromStdString(LevelPrefix(level)) + GetasVersionString());
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
    const auto window = std::make_unique<TfmEVI>(this);
    try {
        window->memInfo->setPlainText(info_.join(QLatin1Char('\n')));
        window->DOzadi = printer_;
        window->exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(error.what()),
                        QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
}

void TEVI::VersionInfoFile() {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(info_.size()));
    for (const QString& line : info_) {
        lines.push_back(line.toLocal8Bit().toStdString());
    }
    WriteReportFile(reportFile_, lines);
}

void TEVI::VersionInfoPrinter() {
    TDOzadi& printer = *printer_;
    if (printer.GetPrinting()) {
        return;
    }
    printer.SetTitle(moduleFileName_ + QStringLiteral(" - EVI"));
    printer.GetFont().SetName(QStringLiteral("Courier New"));
    printer.GetFont().SetSize(12);
    printer.BeginDoc();
    toolkit::TCanvas& canvas = printer.Canvas();
    // One page: the report is short, and the lines below its end are lost.
    std::int32_t y = 0;
    for (const QString& line : info_) {
        canvas.TextOut(0, y, line);
        y += std::abs(canvas.Font().Height());
    }
    printer.EndDoc();
}

} // namespace tessaldrin::versioninfo
