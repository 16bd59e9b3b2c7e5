// The version printout on the real print queue "PDF": the job that the queue
// receives, its document, and the page that cups-pdf makes of it. The page is
// also rendered as a PNG in the build folder, for anyone to look at.
#include "print_queue.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/qt_printer.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/version_switches.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace tessaldrin::versioninfo {
namespace {

using test::Q;
using test::RunTool;

QString JobName(const TEVI& evi) {
    return Q(evi.ModuleFileName()) + QStringLiteral(" - EVI");
}

// The text of a PDF, with the layout of its lines kept.
QStringList TextLines(const QString& pdf) {
    const auto text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text) {
        return {};
    }
    QStringList lines = text->split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// The tops of the text lines on the first page, in points, top first (a
// line whose words pdftotext puts in several blocks counts once).
QList<double> LineTops(const QString& pdf) {
    const auto html =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox-layout"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    QList<double> tops;
    if (!html) {
        return tops;
    }
    static const QRegularExpression line(
        QStringLiteral("<line xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\""));
    for (auto match = line.globalMatch(*html); match.hasNext();) {
        const double top = match.next().captured(1).toDouble();
        const bool known = std::any_of(tops.begin(), tops.end(),
                                       [top](double seen) { return std::abs(seen - top) < 0.01; });
        if (!known) {
            tops.append(top);
        }
    }
    std::sort(tops.begin(), tops.end());
    return tops;
}

int PageCount(const QString& pdf) {
    const auto info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    const auto match = pages.match(info.value_or(QString()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class EviPrintTest : public QObject {
    Q_OBJECT

private:
    // Prints through `print` and returns the completed job of the report.
    static std::optional<test::PrintJob> PrintedJob(const TEVI& evi,
                                                    const std::function<void()>& print) {
        const int last = test::LastJobId();
        print();
        return test::WaitForCompletedJob(last, JobName(evi));
    }

private slots:
    void initTestCase() { QVERIFY2(test::PrintSystemAnswers(), "the print queue is not running"); }

    // "/EVIP": one page that holds the ten report lines in order, in a job
    // named after the program file.
    void switchPrintsTheReport() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        const auto job = PrintedJob(evi, [&] {
            RunVersionSwitches({"/EVIP"}, [&](TExVersionInfoTyp kind) { evi.Info(kind); });
        });
        QVERIFY2(job, "no completed job named after the program");
        QCOMPARE(job->name, JobName(evi));

        // What the queue received: Qt's PDF with real fonts, so its text can be read.
        const QString document = test::SpoolDocument(job->id);
        QCOMPARE(PageCount(document), 1);
        // pdftotext keeps the columns of the fixed pitch but gives no line
        // for the empty one; the line tops show where it is.
        QStringList printed;
        QList<qsizetype> printedAt;
        const QStringList report = Q(evi.InfoList());
        for (qsizetype i = 0; i < report.size(); ++i) {
            if (!report[i].isEmpty()) {
                printed.append(report[i]);
                printedAt.append(i);
            }
        }
        QCOMPARE(TextLines(document), printed);

        // Each line one step of 12 points below the one before, the
        // "Courier New" 12 of the printout at any resolution; the first at
        // the top of the printable area.
        const QList<double> tops = LineTops(document);
        QCOMPARE(tops.size(), printed.size());
        for (qsizetype k = 0; k < tops.size(); ++k) {
            const double expected = tops[0] + 12.0 * static_cast<double>(printedAt[k]);
            QVERIFY2(std::abs(tops[k] - expected) < 0.05,
                     qPrintable(QStringLiteral("line %1 at %2 pt, expected %3 pt")
                                    .arg(printedAt[k] + 1)
                                    .arg(tops[k])
                                    .arg(expected)));
        }
        QVERIFY(tops[0] < 12.0);

        // What cups-pdf made of it, as a picture for the eye.
        const QString output = test::CupsPdfOutput(job->id);
        QVERIFY2(!output.isEmpty(), "cups-pdf wrote no file for the job");
        QCOMPARE(PageCount(output), 1);
        const QString png = QStringLiteral(TM_VERSIONINFO_TEST_OUTPUT_DIR "/evi-printout");
        QFile::remove(png + QStringLiteral(".png"));
        QVERIFY(RunTool(QStringLiteral("pdftoppm"),
                        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                         QStringLiteral("-singlefile"), output, png}));
        QVERIFY(QFile(png + QStringLiteral(".png")).size() > 1000);
    }

    // While the printer object is printing another job the printout is
    // skipped: no job, no message.
    void printoutIsSkippedWhilePrinting() {
        TEVI evi(ShowVersionWindow);
        const int last = test::LastJobId();
        toolkit::QtPrinter().BeginDoc();
        evi.Info(TExVersionInfoTyp::eviPrinter);
        QVERIFY(toolkit::QtPrinter().Printing());
        QCOMPARE(toolkit::QtPrinter().PageNumber(), 1);
        toolkit::QtPrinter().Abort();
        // lp queues a job before it returns, so a printout would be listed now.
        QCOMPARE(test::LastJobId(), last);
    }

    // "Drucken" in the window prints a freshly collected report.
    void windowPrintButtonPrints() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        bool shown = false;
        const auto job = PrintedJob(evi, [&] {
            const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& window) {
                evi.asModuleVersionDate = "02.02.2022";
                window.bbtnDrucken->click();
                window.close();
            });
            evi.Info(TExVersionInfoTyp::eviScreen);
            shown = *seen;
        });
        QVERIFY(shown);
        QVERIFY2(job, "the print button gave no job");
        const QStringList lines = TextLines(test::SpoolDocument(job->id));
        QVERIFY(lines.size() > 2);
        QCOMPARE(lines[2], QStringLiteral("Datum:       02.02.2022"));
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::EviPrintTest)
#include "evi_print_test.moc"
