// The version switches of the command line, on a real collector: which
// arguments are switches, their order, their repeats and the first failure.
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/version_switches.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QtTest>

namespace tessaldrin::versioninfo {

class VersionSwitchesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        TEVI evi(nullptr);
        QDir(evi.ReportPath()).removeRecursively();
        QFile::remove(evi.ReportPath());
    }

    void switchesMatchWholeInAnyCase() {
        QCOMPARE(VersionSwitchKind(QStringLiteral("/EVIS")), TExVersionInfoTyp::eviScreen);
        QCOMPARE(VersionSwitchKind(QStringLiteral("/EVIF")), TExVersionInfoTyp::eviFile);
        QCOMPARE(VersionSwitchKind(QStringLiteral("/EVIP")), TExVersionInfoTyp::eviPrinter);
        QCOMPARE(VersionSwitchKind(QStringLiteral("/evis")), TExVersionInfoTyp::eviScreen);
        QCOMPARE(VersionSwitchKind(QStringLiteral("/eViF")), TExVersionInfoTyp::eviFile);
        for (const char* other :
             {"-EVIS", "/EVI", "/EVISX", "EVIS", " /EVIS", "/EVIS ", "", "/EVIX", "//EVIS"}) {
            QVERIFY2(!VersionSwitchKind(QString::fromLatin1(other)), other);
        }
    }

    // Every argument is examined, in order; repeats repeat, others do nothing.
    void switchesRunInArgumentOrder() {
        QList<TExVersionInfoTyp> asked;
        RunVersionSwitches({QStringLiteral("EVIS"), QStringLiteral("/evip"),
                            QStringLiteral("-EVIF"), QStringLiteral("/EVIF"),
                            QStringLiteral("/EVISX"), QStringLiteral("/EVIP")},
                           [&](TExVersionInfoTyp kind) { asked.append(kind); });
        QCOMPARE(asked, (QList<TExVersionInfoTyp>{TExVersionInfoTyp::eviPrinter,
                                                  TExVersionInfoTyp::eviFile,
                                                  TExVersionInfoTyp::eviPrinter}));
        asked.clear();
        RunVersionSwitches({}, [&](TExVersionInfoTyp kind) { asked.append(kind); });
        QVERIFY(asked.isEmpty());
    }

    // "/EVIF /EVIS": first the file, then the window.
    void fileThenWindow() {
        TEVI evi(nullptr);
        SetProgramVersion(evi);
        QByteArray fileWhileShown;
        const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& window) {
            fileWhileShown = test::ReadFile(evi.ReportPath());
            window.close();
        });
        RunVersionSwitches({QStringLiteral("/EVIF"), QStringLiteral("/evis")},
                           [&](TExVersionInfoTyp kind) { evi.Info(kind); });
        QVERIFY(*seen);
        QCOMPARE(fileWhileShown.count("\r\n"), 10);
        QVERIFY(fileWhileShown.startsWith("Datei:       " + evi.ModuleFileName().toLocal8Bit()));
    }

    // A failing file output ends the switches: the standard exception display
    // shows it and the window that follows is never shown.
    void failingOutputEndsTheSwitches() {
        TEVI evi(nullptr);
        QVERIFY(QDir().mkpath(evi.ReportPath()));
        QString message;
        bool windowShown = false;
        const auto shown = test::OnModal([&](QWidget& widget) {
            if (dynamic_cast<TfmEVI*>(&widget) != nullptr) {
                windowShown = true;
                widget.close();
                return false;
            }
            if (auto* box = dynamic_cast<QMessageBox*>(&widget)) {
                message = box->text();
                box->accept();
                return true;
            }
            return false;
        });
        RunVersionSwitches({QStringLiteral("/EVIF"), QStringLiteral("/EVIS")},
                           [&](TExVersionInfoTyp kind) { evi.Info(kind); });
        QVERIFY(*shown);
        QVERIFY(!windowShown);
        QVERIFY2(message.contains(QStringLiteral("kann nicht erstellt werden")),
                 qPrintable(message));
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::VersionSwitchesTest)
#include "version_switches_test.moc"
