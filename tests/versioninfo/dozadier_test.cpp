// The printer wrapper on the real print queue "PDF" (the system default):
// the device it reads, the page setup it gives the device context, its
// fonts, its documents and its identity. Documents are aborted unless a test
// is about ending one, so the queue receives only what a test asks for.
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/qt_printer.h"
#include "versioninfo/dozadier.h"

#include <QPageSize>
#include <QPrinterInfo>
#include <QtTest>

namespace tessaldrin::versioninfo {
namespace {

using test::Q;
using toolkit::DeviceCap;
using toolkit::MapMode;
using toolkit::QtPrinter;
using toolkit::TPoint;
using toolkit::TSize;

std::int32_t Cap(DeviceCap cap) {
    return QtPrinter().Handle()->GetDeviceCaps(cap);
}

} // namespace

class DozadierTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY2(toolkit::InstalledPrinterCount() > 0, "the print queue is not running");
        QtPrinter().SetOrientation(toolkit::TPrinterOrientation::poPortrait);
    }
    void cleanup() {
        if (QtPrinter().Printing()) {
            QtPrinter().Abort();
        }
    }

    void identityIsFixed() {
        TDOzadi wrapper;
        wrapper.SetasVersion("9.99.999");
        wrapper.SetasVersionDate("01.01.1999");
        wrapper.SetasVersionName("Other");
        QCOMPARE(Q(wrapper.asVersion()), QStringLiteral("1.08.050"));
        QCOMPARE(Q(wrapper.asVersionDate()), QStringLiteral("15.06.2007"));
        QCOMPARE(Q(wrapper.asVersionName()), QStringLiteral("DOzadi"));
        QCOMPARE(Q(wrapper.asVersionString()), QStringLiteral("DOzadi") + QString(24, ' ') +
                                                   QString(7, ' ') + QStringLiteral("1.08.050") +
                                                   QString(5, ' ') + QStringLiteral("15.06.2007"));

        std::vector<std::string> list{"before"};
        QCOMPARE(Q(wrapper.EVI(&list, 3)), QString());
        QCOMPARE(list.size(), std::size_t{2});
        QCOMPARE(Q(list[1]), QStringLiteral("--") + Q(wrapper.asVersionString()));
        QCOMPARE(Q(wrapper.EVI(nullptr, 1)), QString());
    }

    // Before the device is read the wrapper converts at 300 dots per inch.
    void convertsAt300DotsPerInchUntilTheDeviceIsRead() {
        TDOzadi wrapper;
        QCOMPARE(wrapper.DotValX(123), 123);
        QCOMPARE(wrapper.ScaleValX(123), 123);
        wrapper.SetScaling(TScaling::pscMil);
        QCOMPARE(wrapper.DotValX(1000), 300);
        QCOMPARE(wrapper.ScaleValX(300), 1000);
        QCOMPARE(wrapper.DotValY(1000), 300);
        QCOMPARE(wrapper.ScaleValY(300), 1000);

        wrapper.DriverParams();
        const std::int32_t dpi = Cap(DeviceCap::LOGPIXELSX);
        QCOMPARE(wrapper.DotValX(1000), dpi);
        QCOMPARE(wrapper.ScaleValX(dpi), 1000);
    }

    void switchingUnitsTruncatesTheMargins() {
        TDOzadi wrapper;
        wrapper.SetMarginLeft(10);
        wrapper.SetMarginTop(10);
        wrapper.SetMarginRight(-10);
        wrapper.SetMarginBottom(0);
        wrapper.SetScaling(TScaling::pscMil);
        QCOMPARE(wrapper.MarginLeft(), 33);
        QCOMPARE(wrapper.MarginTop(), 33);
        QCOMPARE(wrapper.MarginRight(), -33);
        QCOMPARE(wrapper.MarginBottom(), 0);
        wrapper.SetScaling(TScaling::pscDot);
        QCOMPARE(wrapper.MarginLeft(), 9);
        QCOMPARE(wrapper.MarginTop(), 9);
        QCOMPARE(wrapper.MarginRight(), -9);
    }

    // The device cache holds the paper of the default printer; the page in
    // dots is the paper without the margins and its last dot.
    void readsThePaperAndPrintableAreaOfTheDevice() {
        TDOzadi wrapper;
        wrapper.DriverParams();
        const QPrinterInfo queue = QPrinterInfo::defaultPrinter();
        const std::int32_t dpi = Cap(DeviceCap::LOGPIXELSX);
        const QSize paper = queue.defaultPageSize().sizePixels(dpi);
        wrapper.SetMarginLeft(100);
        wrapper.SetMarginRight(50);
        wrapper.SetMarginTop(20);
        wrapper.BeginDoc();
        QCOMPARE(wrapper.PageWidth(), paper.width() - 100 - 50 - 1);
        QCOMPARE(wrapper.PageHeight(), paper.height() - 20 - 1);
        // In dots the mapping is left alone: device dots from the printable corner.
        QCOMPARE(wrapper.GetHandle()->GetMapMode(), MapMode::MM_TEXT);
        QVERIFY(wrapper.GetHandle()->GetViewportOrg() == (TPoint{0, 0}));
        wrapper.Abort();

        const std::int32_t border = Cap(DeviceCap::PHYSICALWIDTH) - Cap(DeviceCap::HORZRES) -
                                    Cap(DeviceCap::PHYSICALOFFSETX);
        QCOMPARE(wrapper.GetMinMarginLeft(), Cap(DeviceCap::PHYSICALOFFSETX));
        QCOMPARE(wrapper.GetMinMarginRight(), border);
        QVERIFY(wrapper.GetMinMarginTop() >= 0);
        QVERIFY(wrapper.GetMinMarginBottom() >= 0);
    }

    // A document in thousandths of an inch: the device context maps them
    // isotropically, with logical (0, 0) at the margin corner.
    void pageSetupMapsTheUnitOntoTheDevice() {
        TDOzadi wrapper;
        wrapper.SetScaling(TScaling::pscMil);
        wrapper.SetMarginLeft(500);
        wrapper.SetMarginTop(250);
        wrapper.SetMarginRight(500);
        wrapper.BeginDoc();
        const std::int32_t dpi = Cap(DeviceCap::LOGPIXELSX);
        const toolkit::TPrinterDevice& device = *wrapper.GetHandle();
        QCOMPARE(device.GetMapMode(), MapMode::MM_ISOTROPIC);
        const std::int32_t window = 7200 / dpi * 1000;
        QVERIFY(device.GetWindowExt() == (TSize{window, window}));
        QVERIFY(device.GetViewportExt() == (TSize{7200, 7200}));
        QVERIFY(device.GetViewportOrg() ==
                (TPoint{500 * dpi / 1000 - Cap(DeviceCap::PHYSICALOFFSETX),
                        250 * dpi / 1000 - Cap(DeviceCap::PHYSICALOFFSETY)}));
        const std::int32_t paperWidth = Cap(DeviceCap::PHYSICALWIDTH);
        QCOMPARE(
            wrapper.PageWidth(),
            static_cast<std::int32_t>((paperWidth - 2 * (500 * dpi / 1000) - 1) * 1000LL / dpi));

        // A new page starts with the mapping set again.
        wrapper.NewPage();
        QCOMPARE(wrapper.GetPageNumber(), 2);
        QCOMPARE(device.GetMapMode(), MapMode::MM_ISOTROPIC);
        QVERIFY(device.GetViewportExt() == (TSize{7200, 7200}));
        wrapper.Abort();
        QVERIFY(wrapper.GetAborted());
    }

    void scalingCannotChangeInsideADocument() {
        TDOzadi wrapper;
        wrapper.SetScaling(TScaling::pscMil);
        wrapper.SetMarginLeft(1000);
        wrapper.BeginDoc();
        wrapper.SetScaling(TScaling::pscMetric10);
        QCOMPARE(wrapper.Scaling(), TScaling::pscMil);
        QCOMPARE(wrapper.MarginLeft(), 1000);
        wrapper.Abort();
        wrapper.SetScaling(TScaling::pscMetric10);
        QCOMPARE(wrapper.Scaling(), TScaling::pscMetric10);
        QCOMPARE(wrapper.MarginLeft(), 254);
    }

    // Font sizes stay true in points: in a logical unit the font is as high
    // in that unit as its points are.
    void fontSizesStayTrueInPoints() {
        TDOzadi wrapper;
        wrapper.GetFont().SetSize(12);
        wrapper.BeginDoc();
        const std::int32_t dpiY = Cap(DeviceCap::LOGPIXELSY);
        QCOMPARE(wrapper.GetFont().PixelsPerInch(), dpiY);
        QCOMPARE(wrapper.GetFont().Height(), -(12 * dpiY / 72));
        wrapper.SetFontSize(-12);
        QCOMPARE(wrapper.GetFont().Size(), 12);
        wrapper.Abort();

        wrapper.SetScaling(TScaling::pscMil);
        wrapper.BeginDoc();
        wrapper.SetFontSize(12);
        // 12 points are 166.7 thousandths of an inch; the size is truncated first.
        const std::int32_t size = 12 * 1000 / dpiY;
        QCOMPARE(wrapper.GetFont().Size(), size);
        // The truncation costs less than one size step of dpiY / 72 units.
        QVERIFY(std::abs(-wrapper.GetFont().Height() - 167) <= dpiY / 72 + 1);
        wrapper.SetFontSize(-12);
        QCOMPARE(wrapper.GetFont().Size(), size);
        wrapper.Abort();
    }

    // The font of the canvas as the document began comes back when it ends,
    // whatever the document did to it.
    void endingADocumentRestoresTheFont() {
        TDOzadi wrapper;
        toolkit::TFont& font = wrapper.GetFont();
        font.SetName("Courier New");
        font.SetSize(12);
        font.SetColor(toolkit::clBlue);
        font.SetStyle(toolkit::fsBold | toolkit::fsItalic);
        font.SetPitch(toolkit::TFontPitch::fpFixed);
        wrapper.SetScaling(TScaling::pscMetric100);
        wrapper.BeginDoc();
        const std::int32_t began = -(12 * Cap(DeviceCap::LOGPIXELSY) / 72);

        toolkit::TFont other;
        other.SetName("Liberation Serif");
        other.SetSize(30);
        other.SetColor(toolkit::clRed);
        other.SetStyle(toolkit::fsUnderline);
        wrapper.SelectFont(other);
        QCOMPARE(Q(font.Name()), QStringLiteral("Liberation Serif"));
        // The colour is not part of a selection.
        QCOMPARE(font.Color(), toolkit::clBlue);
        wrapper.EndDoc();

        QCOMPARE(Q(font.Name()), QStringLiteral("Courier New"));
        QCOMPARE(font.Size(), 12);
        QCOMPARE(font.Height(), began);
        QCOMPARE(font.Color(), toolkit::clBlue);
        QCOMPARE(font.Style(), toolkit::TFontStyles(toolkit::fsBold | toolkit::fsItalic));
        QCOMPARE(font.Pitch(), toolkit::TFontPitch::fpFixed);

        // The Font property writes without conversion and without a document.
        wrapper.SetFont(other);
        QCOMPARE(Q(font.Name()), QStringLiteral("Liberation Serif"));
        QCOMPARE(font.Color(), toolkit::clRed);
        QCOMPARE(font.Size(), 30);
    }

    // The printer object's errors reach the caller, and the wrapper's steps
    // after the failing call do not run.
    void printerObjectErrorsPassUnchanged() {
        TDOzadi wrapper;
        try {
            wrapper.EndDoc();
            QFAIL("EndDoc outside a document did not fail");
        } catch (const toolkit::EPrinter& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Der Drucker druckt aktuell nicht"));
        }
        QVERIFY_THROWS_EXCEPTION(toolkit::EPrinter, wrapper.Abort());

        // Someone else's job is running on the shared printer object.
        QtPrinter().BeginDoc();
        wrapper.SetScaling(TScaling::pscMil);
        try {
            wrapper.BeginDoc();
            QFAIL("BeginDoc during another job did not fail");
        } catch (const toolkit::EPrinter& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Der Druckvorgang läuft"));
        }
        // The device was read, but the wrapper is not in a document.
        QCOMPARE(wrapper.DotValX(1000), Cap(DeviceCap::LOGPIXELSX));
        wrapper.SetScaling(TScaling::pscDot);
        QCOMPARE(wrapper.Scaling(), TScaling::pscDot);
        // Its NewPage outside a document is ignored.
        wrapper.NewPage();
        QCOMPARE(wrapper.GetPageNumber(), 1);
        QtPrinter().Abort();

        // The printer object's canvas draws only into a document.
        QVERIFY_THROWS_EXCEPTION(toolkit::EPrinter, wrapper.Canvas().TextOut(0, 0, "x"));
        QVERIFY_THROWS_EXCEPTION(toolkit::EPrinter, wrapper.SetCurrentPrinter(1000));
    }

    // The settings act on the shared printer object of the process.
    void settingsActOnThePrinterObject() {
        TDOzadi wrapper;
        QVERIFY(wrapper.GetPrinters() != nullptr);
        const QStringList printers = Q(*wrapper.GetPrinters());
        QVERIFY(printers.contains(QStringLiteral("PDF")));
        QCOMPARE(wrapper.GetCurrentPrinter(), printers.indexOf(QPrinterInfo::defaultPrinterName()));
        QVERIFY(wrapper.GetFonts() != nullptr);
        QVERIFY(Q(*wrapper.GetFonts()).contains(QStringLiteral("Liberation Mono")));
        QVERIFY(wrapper.GetPrinterCapabilities().Contains(TDOzadierCapability::xpcOrientation));

        wrapper.SetTitle("Titel");
        QCOMPARE(Q(QtPrinter().Title()), QStringLiteral("Titel"));
        wrapper.SetCopies(3);
        QCOMPARE(wrapper.GetCopies(), 3);
        wrapper.SetCopies(1);

        wrapper.SetOrientation(TDOzadierOrientation::xpoLandscape);
        QCOMPARE(wrapper.GetOrientation(), TDOzadierOrientation::xpoLandscape);
        QVERIFY(Cap(DeviceCap::PHYSICALWIDTH) > Cap(DeviceCap::PHYSICALHEIGHT));
        wrapper.SetOrientation(TDOzadierOrientation::xpoPortrait);
        QVERIFY(Cap(DeviceCap::PHYSICALWIDTH) < Cap(DeviceCap::PHYSICALHEIGHT));

        // A new wrapper selects the system default printer again.
        wrapper.SetCurrentPrinter(static_cast<int>(printers.indexOf(QStringLiteral("PDF"))));
        TDOzadi second;
        QCOMPARE(QtPrinter().PrinterIndex(),
                 Q(QtPrinter().Printers()).indexOf(QPrinterInfo::defaultPrinterName()));
        QVERIFY(second.GetPrinterAvailable());
    }

    void boundsAreLeftTopRightBottom() {
        TDOzadi wrapper;
        wrapper.SetScaling(TScaling::pscMil);
        const TRect bounds = wrapper.XBounds(10, 20, 300, 400);
        QCOMPARE(bounds.Left, 10);
        QCOMPARE(bounds.Top, 20);
        QCOMPARE(bounds.Right, 310);
        QCOMPARE(bounds.Bottom, 420);
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::DozadierTest)
#include "dozadier_test.moc"
