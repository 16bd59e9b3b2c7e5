#include "toolkit/printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

namespace tessaldrin::toolkit {
namespace {

const char* const kPrinting = "Der Druckvorgang läuft";
const char* const kNotPrinting = "Der Drucker druckt aktuell nicht";
const char* const kIndexError = "Der Druckerindex liegt außerhalb des gültigen Bereichs";
const char* const kPaperRefused = "Das Papierformat wird vom Drucker nicht unterstützt: ";
const char* const kCannotStart = "Der Druckauftrag kann nicht angelegt werden";
const char* const kNotAccepted = "Die Druckwarteschlange hat den Druckauftrag nicht angenommen: ";
const char* const kNoPrintCommand = "Der Druckbefehl „lp“ des Systems wurde nicht gefunden";
const char* const kPrintCommandFailed =
    "Der Druckbefehl „lp“ des Systems lässt sich nicht starten: ";

// How long the print system's client may take to queue one job.
constexpr int kSubmitTimeoutMs = 60'000;

// The printer object's canvas draws only into an open document.
class TPrinterCanvas final : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter& printer) : printer_(printer) {}

protected:
    QPainter& RequirePainter() override {
        QPainter* painter = printer_.Handle()->Painter();
        if (!printer_.Printing() || painter == nullptr) {
            throw EPrinter(kNotPrinting);
        }
        return *painter;
    }

private:
    TPrinter& printer_;
};

// The paper as the print system names it: the printer's own name for it, or
// its size for a paper that has none.
QString MediaName(const QPageSize& size) {
    if (!size.key().isEmpty()) {
        return size.key();
    }
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return QStringLiteral("Custom.%1x%2mm").arg(mm.width()).arg(mm.height());
}

// Queues `file` as one job with the print system's own client, which reports
// a refusal, where Qt's engine would drop it silently. The job carries the
// paper and orientation that the document was drawn for, so that the queue
// prints it on that paper instead of fitting it onto its own default.
void SubmitJob(const QPrinter& settings, const QString& title, const QString& file) {
    QStringList arguments;
    if (!settings.printerName().isEmpty()) {
        arguments << QStringLiteral("-d") << settings.printerName();
    }
    arguments << QStringLiteral("-t") << title << QStringLiteral("-n")
              << QString::number(std::max(1, settings.copyCount()));
    if (settings.collateCopies()) {
        arguments << QStringLiteral("-o") << QStringLiteral("collate=true");
    }
    const QPageLayout layout = settings.pageLayout();
    arguments << QStringLiteral("-o") << QStringLiteral("media=") + MediaName(layout.pageSize());
    // The IPP values of portrait (3) and landscape (4).
    arguments << QStringLiteral("-o")
              << QStringLiteral("orientation-requested=%1")
                     .arg(layout.orientation() == QPageLayout::Landscape ? 4 : 3);
    arguments << file;
    // A missing client is the machine's fault, not a refusal by the queue,
    // and the user is told so.
    const QString command = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (command.isEmpty()) {
        throw EPrinter(kNoPrintCommand);
    }
    QProcess lp;
    lp.start(command, arguments);
    if (!lp.waitForStarted(kSubmitTimeoutMs)) {
        throw EPrinter(kPrintCommandFailed + lp.errorString().toStdString());
    }
    const bool finished = lp.waitForFinished(kSubmitTimeoutMs);
    if (!finished || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        const QString reason =
            finished ? QString::fromLocal8Bit(lp.readAllStandardError()) : lp.errorString();
        throw EPrinter(kNotAccepted + reason.trimmed().toStdString());
    }
}

TPrinter* instance = nullptr;

void DestroyPrinter() {
    delete instance;
    instance = nullptr;
}

} // namespace

int InstalledPrinterCount() {
    try {
        return static_cast<int>(QPrinterInfo::availablePrinterNames().size());
    } catch (...) {
        return 0;
    }
}

TPrinter::TPrinter()
    : settings_(std::make_unique<QPrinter>(QPrinter::HighResolution)), device_(*settings_),
      canvas_(std::make_unique<TPrinterCanvas>(*this)) {
    SelectPrinter(settings_->printerName());
}

TPrinter::~TPrinter() {
    CloseDocument();
}

const QStringList& TPrinter::Printers() {
    if (!printersRead_) {
        printers_ = QPrinterInfo::availablePrinterNames();
        printersRead_ = true;
    }
    return printers_;
}

void TPrinter::Refresh() {
    printers_.clear();
    printersRead_ = false;
    fonts_.clear();
}

const QStringList& TPrinter::Fonts() {
    if (fonts_.isEmpty()) {
        fonts_ = QFontDatabase::families();
    }
    return fonts_;
}

int TPrinter::PrinterIndex() {
    const QString name = settings_->printerName();
    return name.isEmpty() ? -1 : static_cast<int>(Printers().indexOf(name));
}

void TPrinter::SetPrinterIndex(int index) {
    RequireIdle();
    if (index == -1) {
        Refresh();
        SelectPrinter(QPrinterInfo::defaultPrinterName());
        return;
    }
    if (index < 0 || index >= Printers().size()) {
        throw EPrinter(kIndexError);
    }
    SelectPrinter(Printers().at(index));
}

QPageSize TPrinter::PageSize() const {
    return settings_->pageLayout().pageSize();
}

void TPrinter::SetPageSize(const QPageSize& size) {
    RequireIdle();
    if (!settings_->setPageSize(size)) {
        throw EPrinter(kPaperRefused + size.name().toStdString());
    }
    UseDeviceMargins();
}

TPrinterOrientation TPrinter::Orientation() const {
    return settings_->pageLayout().orientation() == QPageLayout::Landscape
               ? TPrinterOrientation::poLandscape
               : TPrinterOrientation::poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
    RequireIdle();
    settings_->setPageOrientation(orientation == TPrinterOrientation::poLandscape
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
}

int TPrinter::Copies() const {
    return settings_->copyCount();
}

void TPrinter::SetCopies(int copies) {
    RequireIdle();
    settings_->setCopyCount(copies);
}

TPrinterCapabilities TPrinter::Capabilities() const {
    if (settings_->printerName().isEmpty()) {
        return 0;
    }
    // Qt lays out every page in either orientation; the print system collates
    // whenever it makes copies.
    TPrinterCapabilities capabilities = pcOrientation;
    if (settings_->supportsMultipleCopies()) {
        capabilities |= pcCopies | pcCollation;
    }
    return capabilities;
}

void TPrinter::BeginDoc() {
    RequireIdle();
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/tessaldrin-print-XXXXXX.pdf"));
    if (!file->open()) {
        throw EPrinter(kCannotStart);
    }
    file->close();
    auto job = std::make_unique<QPrinter>(QPrinter::HighResolution);
    job->setOutputFormat(QPrinter::PdfFormat);
    job->setOutputFileName(file->fileName());
    job->setResolution(settings_->resolution());
    job->setPageLayout(settings_->pageLayout());
    job->setColorMode(settings_->colorMode());
    job->setDocName(title_);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(job.get())) {
        throw EPrinter(kCannotStart);
    }
    jobFile_ = std::move(file);
    job_ = std::move(job);
    painter_ = std::move(painter);
    device_.Attach(painter_.get());
    aborted_ = false;
    pageNumber_ = 1;
}

void TPrinter::NewPage() {
    RequirePrinting();
    job_->newPage();
    ++pageNumber_;
}

void TPrinter::EndDoc() {
    RequirePrinting();
    painter_->end();
    const std::unique_ptr<QTemporaryFile> file = std::move(jobFile_);
    CloseDocument();
    aborted_ = false;
    SubmitJob(*settings_, title_, file->fileName());
}

void TPrinter::Abort() {
    RequirePrinting();
    CloseDocument();
    aborted_ = true;
}

TCanvas& TPrinter::Canvas() {
    return *canvas_;
}

void TPrinter::RequirePrinting() const {
    if (!Printing()) {
        throw EPrinter(kNotPrinting);
    }
}

void TPrinter::RequireIdle() const {
    if (Printing()) {
        throw EPrinter(kPrinting);
    }
}

void TPrinter::SelectPrinter(const QString& name) {
    settings_->setPrinterName(name);
    UseDeviceMargins();
}

void TPrinter::UseDeviceMargins() {
    // The printable area is what the device can print: Qt's own default
    // margins would add a border of its choosing.
    const QPageLayout layout = settings_->pageLayout();
    settings_->setPageMargins(layout.minimumMargins(), layout.units());
}

void TPrinter::CloseDocument() {
    device_.Attach(nullptr);
    painter_.reset();
    job_.reset();
    jobFile_.reset();
}

TPrinter& Printer() {
    if (instance == nullptr) {
        if (QCoreApplication::instance() == nullptr) {
            qFatal("Tessaldrin-Mover: the printer object needs the application object");
        }
        instance = new TPrinter;
        qAddPostRoutine(DestroyPrinter);
    }
    return *instance;
}

} // namespace tessaldrin::toolkit
