#include "versioninfo/f_evi.h"

#include "toolkit/application.h"
#include "toolkit/qt_printer.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi_images.h"
#include "versioninfo/f_evi_layout.h"
#include "versioninfo/printer_setup_request.h"

#include <QFont>
#include <QMessageBox>
#include <QStyle>

#include <exception>
#include <memory>

namespace tessaldrin::versioninfo {
namespace {

// A font of `pixels` pixels.
QFont PixelFont(const char* family, int pixels) {
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TfmEVI::TfmEVI(TEVI* owner) : QDialog(nullptr), owner_(owner) {
    setupUi(this);
    // Where the layout puts the window, and its font: Designer files place
    // no window on the screen and give fonts only in points.
    move(layout::version_window::kWindow.left, layout::version_window::kWindow.top);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setBackgroundRole(QPalette::Button);
    setFont(PixelFont(layout::version_window::kWindow.font.face,
                      layout::version_window::kWindow.font.pixels));
    bbtnClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    bbtnDrucken->setIcon(PrinterWithSheetIcon());
    bbtnDruckerEinrichten->setIcon(PrinterWithSpannerIcon());
    bbtnFile->setIcon(PageIntoDriveIcon());

    connect(bbtnDrucken, &QPushButton::clicked, this, &TfmEVI::bbtnDruckenClick);
    connect(bbtnDruckerEinrichten, &QPushButton::clicked, this,
            &TfmEVI::bbtnDruckerEinrichtenClick);
    connect(bbtnFile, &QPushButton::clicked, this, &TfmEVI::bbtnFileClick);
}

TfmEVI::~TfmEVI() = default;

void TfmEVI::bbtnDruckenClick() {
    toolkit::CallHandler([this] { owner_->Info(TExVersionInfoTyp::eviPrinter); });
}

void TfmEVI::bbtnDruckerEinrichtenClick() {
    toolkit::CallHandler([this] {
        RequestPrinterSetup(
            DOzadi, [this] { PSDlg.Execute(this); },
            [this](const Note& note) {
                QMessageBox box(QMessageBox::Critical, toolkit::FromLocal(note.title),
                                toolkit::FromLocal(note.text), QMessageBox::Ok, this);
                box.setWindowModality(Qt::ApplicationModal);
                box.exec();
            });
    });
}

void TfmEVI::bbtnFileClick() {
    toolkit::CallHandler([this] { owner_->Info(TExVersionInfoTyp::eviFile); });
}

void ShowVersionWindow(TEVI& collector) {
    const auto window = std::make_unique<TfmEVI>(&collector);
    try {
        QStringList lines;
        for (const std::string& line : collector.InfoList()) {
            lines.append(toolkit::FromLocal(line));
        }
        window->memInfo->setPlainText(lines.join(QLatin1Char('\n')));
        window->DOzadi = &collector.PrinterWrapper();
        window->exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(error.what()),
                        QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
}

} // namespace tessaldrin::versioninfo
