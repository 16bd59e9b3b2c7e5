#include "toolkit/qt_printer.h"

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

const char* const kPaperRefused = "Das Papierformat wird vom Drucker nicht unterstützt: ";
const char* const kCannotStart = "Der Druckauftrag kann nicht angelegt werden";
const char* const kNotAccepted = "Die Druckwarteschlange hat den Druckauftrag nicht angenommen: ";
const char* const kNoPrintCommand = "Der Druckbefehl „lp“ des Systems wurde nicht gefunden";
const char* const kPrintCommandFailed =
    "Der Druckbefehl „lp“ des Systems lässt sich nicht starten: ";

// How long the print system's client may take to queue one job.
constexpr int kSubmitTimeoutMs = 60'000;

// Far beyond any page; keeps a corrupt height from reaching Qt as a negative size.
constexpr std::int64_t kLargestPixelSize = 1 << 20;

// The canvas font to draw with, its height in the painter's logical units.
QFont ToQFont(const TFont& from) {
    QFont font(FromLocal(from.Name()));
    // Qt's pixel size is the character height; a cell height is taken as it,
    // which is near enough for the one-line steps the program draws.
    if (from.Height() != 0) {
        const std::int64_t pixels = std::llabs(static_cast<std::int64_t>(from.Height()));
        font.setPixelSize(static_cast<int>(std::min<std::int64_t>(pixels, kLargestPixelSize)));
    }
    if (from.Pitch() == TFontPitch::fpFixed) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    font.setBold((from.Style() & fsBold) != 0);
    font.setItalic((from.Style() & fsItalic) != 0);
    font.setUnderline((from.Style() & fsUnderline) != 0);
    font.setStrikeOut((from.Style() & fsStrikeOut) != 0);
    return font;
}

QColor ToQColor(TColor colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// The printer object's canvas draws only into an open document.
class TPrinterCanvas final : public TCanvas {
public:
    explicit TPrinterCanvas(TQtPrinter& printer) : printer_(printer) {}

    void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override {
        QPainter* painter = printer_.Handle()->Painter();
        if (!printer_.Printing() || painter == nullptr) {
            throw EPrinter("Der Drucker druckt aktuell nicht");
        }
        painter->setFont(ToQFont(Font()));
        painter->setPen(ToQColor(Font().Color()));
        // Qt places text on its baseline; the canvas places the cell's top.
        const qreal ascent = painter->fontMetrics().ascent();
        painter->drawText(QPointF(x, y + ascent), FromLocal(text));
    }

private:
    TQtPrinter& printer_;
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
void SubmitJob(const QPrinter& settings, const std::string& title, const QString& file) {
    QStringList arguments;
    if (!settings.printerName().isEmpty()) {
        arguments << QStringLiteral("-d") << settings.printerName();
    }
    arguments << QStringLiteral("-t") << FromLocal(title) << QStringLiteral("-n")
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

TQtPrinter* instance = nullptr;

std::vector<std::string> ToLocalTexts(const QStringList& texts) {
    std::vector<std::string> converted;
    converted.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts) {
        converted.push_back(ToLocal(text));
    }
    return converted;
}

void DestroyPrinter() {
    delete instance;
    instance = nullptr;
}

} // namespace

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLocal(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

int InstalledPrinterCount() {
    try {
        return static_cast<int>(QPrinterInfo::availablePrinterNames().size());
    } catch (...) {
        return 0;
    }
}

TQtPrinter::TQtPrinter()
    : settings_(std::make_unique<QPrinter>(QPrinter::HighResolution)), device_(*settings_),
      canvas_(std::make_unique<TPrinterCanvas>(*this)) {
    SelectPrinter(settings_->printerName());
}

TQtPrinter::~TQtPrinter() {
    CloseDocument();
}

const std::vector<std::string>& TQtPrinter::Printers() {
    if (!printersRead_) {
        printers_ = ToLocalTexts(QPrinterInfo::availablePrinterNames());
        printersRead_ = true;
    }
    return printers_;
}

void TQtPrinter::Refresh() {
    printers_.clear();
    printersRead_ = false;
    fonts_.clear();
}

const std::vector<std::string>& TQtPrinter::Fonts() {
    if (fonts_.empty()) {
        fonts_ = ToLocalTexts(QFontDatabase::families());
    }
    return fonts_;
}

int TQtPrinter::PrinterIndex() {
    const QString name = settings_->printerName();
    if (name.isEmpty()) {
        return -1;
    }
    const std::vector<std::string>& printers = Printers();
    const auto found = std::find(printers.begin(), printers.end(), ToLocal(name));
    return found == printers.end() ? -1 : static_cast<int>(found - printers.begin());
}

void TQtPrinter::SetPrinterIndex(int index) {
    RequireIdle();
    if (index == -1) {
        Refresh();
        SelectPrinter(QPrinterInfo::defaultPrinterName());
        return;
    }
    RequirePrinterIndex(index);
    SelectPrinter(FromLocal(Printers()[static_cast<std::size_t>(index)]));
}

QPageSize TQtPrinter::PageSize() const {
    return settings_->pageLayout().pageSize();
}

void TQtPrinter::SetPageSize(const QPageSize& size) {
    RequireIdle();
    if (!settings_->setPageSize(size)) {
        throw EPrinter(kPaperRefused + size.name().toStdString());
    }
    UseDeviceMargins();
}

TPrinterOrientation TQtPrinter::Orientation() const {
    return settings_->pageLayout().orientation() == QPageLayout::Landscape
               ? TPrinterOrientation::poLandscape
               : TPrinterOrientation::poPortrait;
}

void TQtPrinter::SetOrientation(TPrinterOrientation orientation) {
    RequireIdle();
    settings_->setPageOrientation(orientation == TPrinterOrientation::poLandscape
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
}

int TQtPrinter::Copies() const {
    return settings_->copyCount();
}

void TQtPrinter::SetCopies(int copies) {
    RequireIdle();
    settings_->setCopyCount(copies);
}

TPrinterCapabilities TQtPrinter::Capabilities() const {
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

void TQtPrinter::BeginDoc() {
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
    job->setDocName(FromLocal(title_));
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

void TQtPrinter::NewPage() {
    RequirePrinting();
    job_->newPage();
    ++pageNumber_;
}

void TQtPrinter::EndDoc() {
    RequirePrinting();
    painter_->end();
    const std::unique_ptr<QTemporaryFile> file = std::move(jobFile_);
    CloseDocument();
    aborted_ = false;
    SubmitJob(*settings_, title_, file->fileName());
}

void TQtPrinter::Abort() {
    RequirePrinting();
    CloseDocument();
    aborted_ = true;
}

TCanvas& TQtPrinter::Canvas() {
    return *canvas_;
}

void TQtPrinter::SelectPrinter(const QString& name) {
    settings_->setPrinterName(name);
    UseDeviceMargins();
}

void TQtPrinter::UseDeviceMargins() {
    // The printable area is what the device can print: Qt's own default
    // margins would add a border of its choosing.
    const QPageLayout layout = settings_->pageLayout();
    settings_->setPageMargins(layout.minimumMargins(), layout.units());
}

void TQtPrinter::CloseDocument() {
    device_.Attach(nullptr);
    painter_.reset();
    job_.reset();
    jobFile_.reset();
}

TQtPrinter& QtPrinter() {
    if (instance == nullptr) {
        if (QCoreApplication::instance() == nullptr) {
            qFatal("Tessaldrin-Mover: the printer object needs the application object");
        }
        instance = new TQtPrinter;
        qAddPostRoutine(DestroyPrinter);
    }
    return *instance;
}

TPrinter& Printer() {
    return QtPrinter();
}

} // namespace tessaldrin::toolkit
