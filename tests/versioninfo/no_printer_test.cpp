// Without a print system: the wrapper's defaults, the printout's canvas error,
// the "/EVIP" switch and the printer setup note. The test stops the print
// queue for its run and starts it again afterwards; it runs alone.
#include "print_queue.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/version_switches.h"

#include <QFile>
#include <QMessageBox>
#include <QtTest>

#include <cstdio>

namespace tessaldrin::versioninfo {
namespace {

const QString kPrintQueue = QStringLiteral(TM_SOURCE_DIR "/scripts/print-queue");
const QString kNoCanvas = QStringLiteral("Leinwand/Bild erlaubt kein Zeichnen");

} // namespace

class NoPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!test::PrintSystemAnswers(),
                 "the print system still answers: it was not started by scripts/print-queue");
    }

    void cleanup() {
        TEVI evi(ShowVersionWindow);
        QFile::remove(test::Q(evi.ReportPath()));
    }

    void everyQueryHasItsDefault() {
        TDOzadi wrapper;
        QVERIFY(!wrapper.GetPrinterAvailable());
        QCOMPARE(wrapper.PrintersInstalled(), std::uint16_t{0});
        QCOMPARE(wrapper.GetCopies(), 1);
        QCOMPARE(wrapper.GetPageNumber(), 1);
        QCOMPARE(wrapper.GetCurrentPrinter(), 0);
        QCOMPARE(wrapper.GetOrientation(), TDOzadierOrientation::xpoPortrait);
        QCOMPARE(test::Q(wrapper.GetTitle()), QString());
        QCOMPARE(wrapper.GetPrinterCapabilities().Bits(), std::uint8_t{0});
        QVERIFY(!wrapper.GetPrinting());
        QVERIFY(!wrapper.GetAborted());
        QVERIFY(wrapper.GetPrinters() == nullptr);
        QVERIFY(wrapper.GetFonts() == nullptr);
        QVERIFY(wrapper.GetHandle() == nullptr);
    }

    void everyCommandDoesNothing() {
        TDOzadi wrapper;
        wrapper.SetCopies(4);
        wrapper.SetTitle("Titel");
        wrapper.SetOrientation(TDOzadierOrientation::xpoLandscape);
        wrapper.SetCurrentPrinter(3);
        QCOMPARE(wrapper.GetCopies(), 1);
        QCOMPARE(test::Q(wrapper.GetTitle()), QString());
        QCOMPARE(wrapper.GetOrientation(), TDOzadierOrientation::xpoPortrait);

        wrapper.SetScaling(TScaling::pscMil);
        wrapper.SetMarginLeft(1000);
        wrapper.BeginDoc();
        wrapper.NewPage();
        wrapper.EndDoc();
        wrapper.Abort();
        QVERIFY(!wrapper.GetPrinting());
        QCOMPARE(wrapper.GetPageNumber(), 1);
        // Not in a document: the unit can change, at the 300 dots per inch
        // that the device never replaced.
        wrapper.SetScaling(TScaling::pscDot);
        QCOMPARE(wrapper.MarginLeft(), 300);

        // Font sizes are a printer's business.
        wrapper.GetFont().SetSize(10);
        wrapper.SetFontSize(-20);
        QCOMPARE(wrapper.GetFont().Size(), 10);
        toolkit::TFont other;
        other.SetName("Liberation Serif");
        wrapper.SelectFont(other);
        QVERIFY(wrapper.GetFont().Name() != other.Name());
        // The Font property works on the wrapper's own canvas.
        wrapper.SetFont(other);
        QCOMPARE(test::Q(wrapper.GetFont().Name()), test::Q(other.Name()));

        try {
            wrapper.Canvas().TextOut(0, 0, "x");
            QFAIL("the canvas without a device drew");
        } catch (const toolkit::EInvalidOperation& error) {
            QCOMPARE(QString::fromUtf8(error.what()), kNoCanvas);
        }
    }

    // The printout has no test of its own: drawing its first line fails.
    void printoutFailsWithTheCanvasError() {
        TEVI evi(ShowVersionWindow);
        try {
            evi.Info(TExVersionInfoTyp::eviPrinter);
            QFAIL("printing without a printer did not fail");
        } catch (const toolkit::EInvalidOperation& error) {
            QCOMPARE(QString::fromUtf8(error.what()), kNoCanvas);
        }
    }

    // "/EVIP" fails: the error goes to the standard exception display, and
    // the switches after it are not examined.
    void failingSwitchStopsTheSwitches() {
        TEVI evi(ShowVersionWindow);
        QString message;
        const auto shown = test::OnModalOf<QMessageBox>([&](QMessageBox& box) {
            message = box.text();
            box.accept();
        });
        QList<TExVersionInfoTyp> asked;
        // The main window's creation hands the error to the exception display.
        toolkit::CallHandler([&] {
            RunVersionSwitches({"/EVIP", "/EVIF"}, [&](TExVersionInfoTyp kind) {
                asked.append(kind);
                evi.Info(kind);
            });
        });
        QVERIFY(*shown);
        QCOMPARE(message, kNoCanvas);
        QCOMPARE(asked, QList<TExVersionInfoTyp>{TExVersionInfoTyp::eviPrinter});
        QVERIFY(!QFile::exists(test::Q(evi.ReportPath())));
    }

    void setupButtonSaysNoPrinterIsInstalled() {
        TEVI evi(ShowVersionWindow);
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* owner = nullptr;
        TfmEVI* window = nullptr;
        const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& shownWindow) {
            window = &shownWindow;
            const auto note = test::OnModalOf<QMessageBox>([&](QMessageBox& box) {
                text = box.text();
                title = box.windowTitle();
                icon = box.icon();
                owner = box.parentWidget();
                box.accept();
            });
            shownWindow.bbtnDruckerEinrichten->click();
            QVERIFY(*note);
            shownWindow.close();
        });
        evi.Info(TExVersionInfoTyp::eviScreen);
        QVERIFY(*seen);
        QCOMPARE(text, QStringLiteral("Keine Drucker installiert!"));
        QCOMPARE(title, QStringLiteral("Hinweis"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(owner, window);
    }
};

} // namespace tessaldrin::versioninfo

// Stops the print queue for the run and starts it again, whatever the run's outcome.
int main(int argc, char** argv) {
    tessaldrin::toolkit::TApplication app(argc, argv);
    using tessaldrin::versioninfo::kPrintQueue;
    if (!tessaldrin::versioninfo::test::RunTool(kPrintQueue, {QStringLiteral("stop")})) {
        std::fputs("no_printer_tests: the print queue could not be stopped\n", stderr);
        return 1;
    }
    int result = 0;
    {
        tessaldrin::versioninfo::NoPrinterTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    if (!tessaldrin::versioninfo::test::RunTool(kPrintQueue, {QStringLiteral("start")})) {
        std::fputs("no_printer_tests: the print queue could not be started again\n", stderr);
        return 1;
    }
    return result;
}
#include "no_printer_test.moc"
