// The version switches of the command line: which arguments are switches,
// their order and their repeats. Their outputs at start-up are tested with the
// program's start.
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "versioninfo/version_switches.h"

#include <QtTest>

namespace tessaldrin::versioninfo {

class VersionSwitchesTest : public QObject {
    Q_OBJECT

private slots:
    void switchesMatchWholeInAnyCase() {
        QCOMPARE(VersionSwitchKind("/EVIS"), TExVersionInfoTyp::eviScreen);
        QCOMPARE(VersionSwitchKind("/EVIF"), TExVersionInfoTyp::eviFile);
        QCOMPARE(VersionSwitchKind("/EVIP"), TExVersionInfoTyp::eviPrinter);
        QCOMPARE(VersionSwitchKind("/evis"), TExVersionInfoTyp::eviScreen);
        QCOMPARE(VersionSwitchKind("/eViF"), TExVersionInfoTyp::eviFile);
        for (const char* other :
             {"-EVIS", "/EVI", "/EVISX", "EVIS", " /EVIS", "/EVIS ", "", "/EVIX", "//EVIS"}) {
            QVERIFY2(!VersionSwitchKind(other), other);
        }
    }

    // Every argument is examined, in order; repeats repeat, others do nothing.
    void switchesRunInArgumentOrder() {
        QList<TExVersionInfoTyp> asked;
        RunVersionSwitches({"EVIS", "/evip", "-EVIF", "/EVIF", "/EVISX", "/EVIP"},
                           [&](TExVersionInfoTyp kind) { asked.append(kind); });
        QCOMPARE(asked, (QList<TExVersionInfoTyp>{TExVersionInfoTyp::eviPrinter,
                                                  TExVersionInfoTyp::eviFile,
                                                  TExVersionInfoTyp::eviPrinter}));
        asked.clear();
        RunVersionSwitches({}, [&](TExVersionInfoTyp kind) { asked.append(kind); });
        QVERIFY(asked.isEmpty());
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::VersionSwitchesTest)
#include "version_switches_test.moc"
