// The process-wide printer object on the real print queue: what its printer
// setup dialog sets reaches the next job, and a missing print command is
// named as such.
#include "print_queue.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/printer.h"
#include "toolkit/printer_setup_dialog.h"
#include "toolkit/printer_setup_form.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace tessaldrin::versioninfo {
namespace {

using test::RunTool;
using toolkit::Printer;
using toolkit::TPrinterSetupForm;

// A second cups-pdf queue beside the default one, so that choosing a printer
// has a printer to choose.
const QString kSecondQueue = QStringLiteral("PDF_Einrichtung");
const QString kCupsPdfModel = QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd");

// The first page of a PDF as it is shown, its rotation applied, and whether
// its text runs along the page's long side: a landscape printout, whichever
// way the sheet lies in the file.
struct PdfPage {
    QSizeF points;
    bool landscapeText = false;
    bool valid = false;
};

PdfPage FirstPage(const QString& pdf) {
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf}).value_or(QString());
    static const QRegularExpression size(QStringLiteral("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts"),
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression rotation(QStringLiteral("^Page rot:\\s+(\\d+)"),
                                             QRegularExpression::MultilineOption);
    const auto sizeMatch = size.match(info);
    if (!sizeMatch.hasMatch()) {
        return {};
    }
    PdfPage page;
    page.points = QSizeF(sizeMatch.captured(1).toDouble(), sizeMatch.captured(2).toDouble());
    if (rotation.match(info).captured(1).toInt() % 180 == 90) {
        page.points.transpose();
    }
    // The box of the longest word shows which way the text runs.
    const QString words =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")})
            .value_or(QString());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    qsizetype longest = 0;
    for (auto match = word.globalMatch(words); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(5).size() <= longest) {
            continue;
        }
        longest = found.captured(5).size();
        const double width = found.captured(3).toDouble() - found.captured(1).toDouble();
        const double height = found.captured(4).toDouble() - found.captured(2).toDouble();
        page.landscapeText = (width > height) == (page.points.width() > page.points.height());
    }
    page.valid = longest > 0;
    return page;
}

bool Near(double a, double b) {
    return std::abs(a - b) < 1.5;
}

// The page is `expected`, in that position.
bool SamePage(const PdfPage& page, const QSizeF& expected) {
    return page.valid && Near(page.points.width(), expected.width()) &&
           Near(page.points.height(), expected.height());
}

// The page is a sheet of `paper`, in either position.
bool SameSheet(const PdfPage& page, const QSizeF& paper) {
    return SamePage(page, paper) || SamePage(page, paper.transposed());
}

QString Describe(const PdfPage& page) {
    return QStringLiteral("%1 x %2 pt, text along the %3 side")
        .arg(page.points.width())
        .arg(page.points.height())
        .arg(page.landscapeText ? QStringLiteral("long") : QStringLiteral("short"));
}

// Makes the choices in the open setup dialog, the printer first (its papers
// follow it).
void Choose(TPrinterSetupForm& form, const QString& queue, const QString& paper, bool landscape) {
    form.cbPrinter->setCurrentIndex(form.cbPrinter->findText(queue));
    form.cbPaperSize->setCurrentIndex(form.cbPaperSize->findData(paper));
    QTest::mouseClick(landscape ? form.rbtnLandscape : form.rbtnPortrait, Qt::LeftButton);
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name_, value);
    }
    ~ScopedEnvironment() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace

class PrinterObjectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(test::PrintSystemAnswers(), "the print queue is not running");
        QVERIFY(
            RunTool(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), kSecondQueue, QStringLiteral("-E"), QStringLiteral("-v"),
                     QStringLiteral("cups-pdf:/"), QStringLiteral("-m"), kCupsPdfModel}));
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
    // orientation reach the job that its print button makes: the job asks
    // for them, the document is drawn on that page, and the printout is on it.
    void setupChoicesReachTheNextPrintout() {
        QFETCH(QString, queue);
        QFETCH(QPageSize, paper);
        QFETCH(bool, landscape);
        TEVI evi(nullptr);
        const int last = std::max(test::LastJobId(), test::LastJobId(kSecondQueue));
        QString title;
        QStringList printers;
        QStringList buttons;
        bool onlyItsChoices = false;
        const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& window) {
            const auto setup = test::OnModalOf<TPrinterSetupForm>([&](TPrinterSetupForm& form) {
                title = form.windowTitle();
                for (int i = 0; i < form.cbPrinter->count(); ++i) {
                    printers.append(form.cbPrinter->itemText(i));
                }
                for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
                    buttons.append(button->text());
                }
                onlyItsChoices = form.findChildren<QComboBox*>().size() == 2 &&
                                 form.findChildren<QAbstractSpinBox*>().isEmpty() &&
                                 form.findChildren<QLineEdit*>().isEmpty();
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
        QCOMPARE(printers, Printer().Printers());
        QVERIFY(printers.contains(queue));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Hochformat"), QStringLiteral("&Querformat"),
                                       QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
        QVERIFY(onlyItsChoices);

        const auto job = test::WaitForCompletedJob(
            last, evi.ModuleFileName() + QStringLiteral(" - EVI"), 60'000, queue);
        QVERIFY2(job, "no completed job on the chosen printer");
        QCOMPARE(job->media, paper.key());
        QCOMPARE(job->orientation,
                 landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));

        // Qt draws the document on the paper in the chosen position; the
        // queue prints it on that paper, turned as the printer feeds it.
        const QSizeF sheet = paper.size(QPageSize::Point);
        const PdfPage drawn = FirstPage(test::SpoolDocument(job->id));
        QVERIFY2(SamePage(drawn, landscape ? sheet.transposed() : sheet),
                 qPrintable(Describe(drawn)));
        QCOMPARE(drawn.landscapeText, landscape);
        const QString output = test::CupsPdfOutput(job->id);
        QVERIFY2(!output.isEmpty(), "cups-pdf wrote no file for the job");
        const PdfPage printed = FirstPage(output);
        QVERIFY2(SameSheet(printed, sheet), qPrintable(Describe(printed)));
        QCOMPARE(printed.landscapeText, landscape);
    }

    // Abbrechen leaves the printer object as it was, whatever was chosen.
    void cancelChangesNothing() {
        TEVI evi(nullptr);
        QPrinter& settings = Printer().Settings();
        const QString printer = settings.printerName();
        const int index = Printer().PrinterIndex();
        const QPageLayout layout = settings.pageLayout();
        QVERIFY(printer != kSecondQueue);
        QVERIFY(!layout.pageSize().isEquivalentTo(QPageSize(QPageSize::A5)));
        QCOMPARE(layout.orientation(), QPageLayout::Portrait);
        const auto setup = test::OnModalOf<TPrinterSetupForm>([&](TPrinterSetupForm& form) {
            Choose(form, kSecondQueue, QPageSize(QPageSize::A5).key(), true);
            QTest::mouseClick(form.bbtnCancel, Qt::LeftButton);
        });
        QVERIFY(!toolkit::TPrinterSetupDialog().Execute());
        QVERIFY(*setup);
        QCOMPARE(settings.printerName(), printer);
        QCOMPARE(Printer().PrinterIndex(), index);
        QVERIFY(settings.pageLayout() == layout);
    }

    // With no "lp" on the search path the document ends with that said, and
    // nothing is queued.
    void missingPrintCommandIsNamed() {
        const int last = test::LastJobId();
        QTemporaryDir withoutLp;
        QVERIFY(withoutLp.isValid());
        QString message;
        {
            const ScopedEnvironment path("PATH", QFile::encodeName(withoutLp.path()));
            Printer().SetTitle(QStringLiteral("printer_object_tests ohne lp"));
            Printer().BeginDoc();
            Printer().Canvas().TextOut(0, 0, QStringLiteral("nie gedruckt"));
            try {
                Printer().EndDoc();
            } catch (const toolkit::EPrinter& error) {
                message = QString::fromUtf8(error.what());
            }
        }
        QCOMPARE(message, QStringLiteral("Der Druckbefehl „lp“ des Systems wurde nicht gefunden"));
        QVERIFY(!Printer().Printing());
        QCOMPARE(test::LastJobId(), last);
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::PrinterObjectTest)
#include "printer_object_test.moc"
