// The process-wide printer object on the real print queue: what its printer
// setup dialog sets reaches the next job, and a missing print command is
// named as such.
#include "print_queue.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/printer_setup_dialog.h"
#include "toolkit/printer_setup_form.h"
#include "toolkit/qt_printer.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"

#include <QAbstractSpinBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace tessaldrin::versioninfo {
namespace {

using test::RunTool;
using toolkit::QtPrinter;
using toolkit::TPrinterSetupForm;

// A second cups-pdf queue beside the default one, so that choosing a printer
// has a printer to choose.
const QString kSecondQueue = QStringLiteral("PDF_Einrichtung");

// Makes the choices in the open setup dialog, the printer first (its papers
// follow it).
void Choose(TPrinterSetupForm& form, const QString& queue, const QString& paper, bool landscape) {
    form.cbPrinter->setCurrentIndex(form.cbPrinter->findText(queue));
    form.cbPaperSize->setCurrentIndex(form.cbPaperSize->findData(paper));
    QTest::mouseClick(landscape ? form.rbtnLandscape : form.rbtnPortrait, Qt::LeftButton);
}

} // namespace

class PrinterObjectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(test::PrintSystemAnswers(), "the print queue is not running");
        QVERIFY(RunTool(QStringLiteral("lpadmin"),
                        {QStringLiteral("-p"), kSecondQueue, QStringLiteral("-E"),
                         QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-m"),
                         QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")}));
    }

    void cleanupTestCase() {
        RunTool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kSecondQueue});
    }

    void setupChoicesReachTheNextPrintout_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("A5 quer, zweiter Drucker")
            << kSecondQueue << QPageSize(QPageSize::A5) << true;
        QTest::newRow("Letter hoch, Standarddrucker")
            << QString::fromLatin1(test::kDefaultQueue) << QPageSize(QPageSize::Letter) << false;
    }

    // Chosen in the dialog from the version window, the printer, paper and
    // orientation reach the job that its print button makes, which asks the
    // queue for them.
    void setupChoicesReachTheNextPrintout() {
        QFETCH(QString, queue);
        QFETCH(QPageSize, paper);
        QFETCH(bool, landscape);
        TEVI evi(ShowVersionWindow);
        const int last = std::max(test::LastJobId(), test::LastJobId(kSecondQueue));
        QString title;
        bool onlyItsChoices = false;
        const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& window) {
            const auto setup = test::OnModalOf<TPrinterSetupForm>([&](TPrinterSetupForm& form) {
                title = form.windowTitle();
                // Two lists, two orientations, OK and Abbrechen: nothing else.
                onlyItsChoices = form.findChildren<QComboBox*>().size() == 2 &&
                                 form.findChildren<QAbstractButton*>().size() == 4 &&
                                 form.findChildren<QAbstractSpinBox*>().isEmpty() &&
                                 form.bbtnCancel->text() == QStringLiteral("Abbrechen");
                Choose(form, queue, paper.key(), landscape);
                QTest::mouseClick(form.bbtnOK, Qt::LeftButton);
            });
            window.bbtnDruckerEinrichten->click();
            QVERIFY(*setup);
            window.bbtnDrucken->click();
            window.close();
        });
        evi.Info(TExVersionInfoTyp::eviScreen);
        QVERIFY(*seen);
        QCOMPARE(title, QStringLiteral("Druckeinrichtung"));
        QVERIFY(onlyItsChoices);

        const auto job = test::WaitForCompletedJob(
            last, test::Q(evi.ModuleFileName()) + QStringLiteral(" - EVI"), 60'000, queue);
        QVERIFY2(job, "no completed job on the chosen printer");
        QCOMPARE(job->media, paper.key());
        QCOMPARE(job->orientation,
                 landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    }

    // Abbrechen leaves the printer object as it was, whatever was chosen.
    void cancelChangesNothing() {
        TEVI evi(ShowVersionWindow);
        QPrinter& settings = QtPrinter().Settings();
        const QString printer = settings.printerName();
        const int index = QtPrinter().PrinterIndex();
        const QPageLayout layout = settings.pageLayout();
        // Every choice below differs from the settings before.
        QVERIFY(printer != kSecondQueue && layout.pageSize().key() != QStringLiteral("A5") &&
                layout.orientation() == QPageLayout::Portrait);
        const auto setup = test::OnModalOf<TPrinterSetupForm>([&](TPrinterSetupForm& form) {
            Choose(form, kSecondQueue, QPageSize(QPageSize::A5).key(), true);
            QTest::mouseClick(form.bbtnCancel, Qt::LeftButton);
        });
        QVERIFY(!toolkit::TPrinterSetupDialog().Execute());
        QVERIFY(*setup);
        QCOMPARE(settings.printerName(), printer);
        QCOMPARE(QtPrinter().PrinterIndex(), index);
        QVERIFY(settings.pageLayout() == layout);
    }

    // With no "lp" on the search path the document ends with that said, and
    // nothing is queued.
    void missingPrintCommandIsNamed() {
        const int last = test::LastJobId();
        QTemporaryDir withoutLp;
        QVERIFY(withoutLp.isValid());
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(withoutLp.path()));
        QString message;
        QtPrinter().BeginDoc();
        QtPrinter().Canvas().TextOut(0, 0, "nie gedruckt");
        try {
            QtPrinter().EndDoc();
        } catch (const toolkit::EPrinter& error) {
            message = QString::fromUtf8(error.what());
        }
        qputenv("PATH", path);
        QCOMPARE(message, QStringLiteral("Der Druckbefehl „lp“ des Systems wurde nicht gefunden"));
        QVERIFY(!QtPrinter().Printing());
        QCOMPARE(test::LastJobId(), last);
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::PrinterObjectTest)
#include "printer_object_test.moc"
