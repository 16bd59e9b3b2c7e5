// The version switches at the real start-up: the program's main window with
// EVI1, started with the command line "/EVIF /EVIS", in the order that the
// outputs and the confirmation dialog come.
#include "gui/qt/program_start.h"
#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QtTest>

#include <vector>

namespace tessaldrin::versioninfo {
namespace {

QString ReportPath() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return program.absolutePath() + '/' + program.completeBaseName() + ".EVI";
}

// What start-up showed, modal window by modal window, until the confirmation
// dialog, which is rejected so that the program ends.
struct StartUp {
    QStringList shown;
    QStringList memo;
    QByteArray fileWhileWindowShown;
    QString message;
    bool collectorIsEVI1 = false;
};

StartUp RunStartUp() {
    StartUp seen;
    const auto done = test::OnModal([&seen](QWidget& widget) {
        if (auto* window = dynamic_cast<TfmEVI*>(&widget)) {
            seen.shown.append(QStringLiteral("TfmEVI"));
            seen.memo = window->memInfo->toPlainText().split('\n');
            seen.fileWhileWindowShown = test::ReadFile(ReportPath());
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* main = dynamic_cast<TfmTLMMain*>(top)) {
                    seen.collectorIsEVI1 = window->DOzadi == &main->EVI1->PrinterWrapper();
                }
            }
            window->close();
            return false;
        }
        if (auto* box = dynamic_cast<QMessageBox*>(&widget)) {
            seen.shown.append(QStringLiteral("QMessageBox"));
            seen.message = box->text();
            box->accept();
            return false;
        }
        if (auto* dialog = dynamic_cast<TfmTLMStart*>(&widget)) {
            seen.shown.append(QStringLiteral("TfmTLMStart"));
            dialog->reject();
            return true;
        }
        return false;
    });
    const int exitCode = RunProgram(toolkit::Application());
    if (!*done || exitCode != 0) {
        seen.shown.append(QStringLiteral("no confirmation dialog or exit code %1").arg(exitCode));
    }
    return seen;
}

} // namespace

class VersionStartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(ReportPath()); }
    void cleanup() {
        QDir(ReportPath()).removeRecursively();
        QFile::remove(ReportPath());
    }

    // First the file, then the window, then the confirmation dialog.
    void fileThenWindowThenConfirmation() {
        const StartUp seen = RunStartUp();
        QCOMPARE(seen.shown, (QStringList{"TfmEVI", "TfmTLMStart"}));
        QVERIFY(seen.collectorIsEVI1);
        // The program's version texts, and no lines of its own.
        QCOMPARE(seen.memo.size(), 10);
        QCOMPARE(seen.memo[1], QStringLiteral("Version:      1.11.002"));
        QCOMPARE(seen.memo[2], QStringLiteral("Datum:       01.07.2015"));
        QCOMPARE(seen.memo[8].left(3), QStringLiteral("EVI"));
        QCOMPARE(seen.fileWhileWindowShown.count("\r\n"), 10);
        QCOMPARE(QString::fromLocal8Bit(seen.fileWhileWindowShown).split("\r\n").mid(0, 10),
                 seen.memo);
    }

    // A failing output ends the switches: the error is shown, the window
    // never comes, and start-up goes on to the confirmation dialog.
    void failingOutputLetsStartUpGoOn() {
        QVERIFY(QDir().mkpath(ReportPath()));
        const StartUp seen = RunStartUp();
        QCOMPARE(seen.shown, (QStringList{"QMessageBox", "TfmTLMStart"}));
        QVERIFY2(seen.message.contains(ReportPath() + " kann nicht erstellt werden"),
                 qPrintable(seen.message));
    }
};

} // namespace tessaldrin::versioninfo

// The program's command line is "/EVIF /EVIS"; the test's own options are
// Qt Test's.
int main(int argc, char** argv) {
    std::vector<char*> programArguments{argv[0], const_cast<char*>("/EVIF"),
                                        const_cast<char*>("/EVIS")};
    int programCount = static_cast<int>(programArguments.size());
    tessaldrin::toolkit::TApplication app(programCount, programArguments.data());
    tessaldrin::versioninfo::VersionStartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "version_startup_test.moc"
