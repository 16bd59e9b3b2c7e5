// The version collector of this program: its report line by line, the
// report file beside the program, the hook, and the window for unknown kinds.
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/version_switches.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace tessaldrin::versioninfo {

// A collector of another family member: its identity line follows its reads.
class RenamedCollector : public TEVI {
public:
    using TEVI::TEVI;
    std::string GetasVersionName() const override { return "Renamed"; }
};

class EviTest : public QObject {
    Q_OBJECT

private:
    // Independent of the collector: what Qt says the program file is.
    static QString ProgramName() {
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    }
    static QString ProgramDirectory() { return QCoreApplication::applicationDirPath() + '/'; }
    static QString ReportPath() {
        return ProgramDirectory() + QFileInfo(ProgramName()).completeBaseName() + ".EVI";
    }

private slots:
    void init() { QFile::remove(ReportPath()); }
    void cleanup() {
        QDir(ReportPath()).removeRecursively();
        QFile::remove(ReportPath());
    }

    // The report of this program has ten lines of known lengths.
    void reportHasTenLines() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        evi.DatenSammeln();
        const QStringList lines = test::Q(evi.InfoList());
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], "Datei:       " + ProgramName());
        QCOMPARE(lines[1], QStringLiteral("Version:      1.11.002"));
        QCOMPARE(lines[2], QStringLiteral("Datum:       01.07.2015"));
        QCOMPARE(lines[3], "Verzeichnis: " + ProgramDirectory());
        QCOMPARE(lines[4], QString(70, '-'));
        QCOMPARE(lines[5], QString());
        QCOMPARE(lines[6], QStringLiteral("Verwendete Komponenten:"));
        QCOMPARE(lines[7], QString(70, '-'));
        QCOMPARE(lines[8], "EVI" + QString(27, ' ') + QString(7, ' ') + "1.01.000" +
                               QString(5, ' ') + "16.11.2001");
        QCOMPARE(lines[9], "-DOzadi" + QString(24, ' ') + QString(7, ' ') + "1.08.050" +
                               QString(5, ' ') + "15.06.2007");
        const QList<qsizetype> lengths{13 + ProgramName().size(),
                                       22,
                                       23,
                                       13 + ProgramDirectory().size(),
                                       70,
                                       0,
                                       23,
                                       70,
                                       60,
                                       61};
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QCOMPARE(lines[i].size(), lengths[i]);
        }
        QCOMPARE(test::Q(evi.ReportPath()), ReportPath());
    }

    void unsetVersionTextsLeaveTheBareLabels() {
        TEVI evi(ShowVersionWindow);
        evi.DatenSammeln();
        QCOMPARE(test::Q(evi.InfoList()[1]), QStringLiteral("Version:     "));
        QCOMPARE(test::Q(evi.InfoList()[2]), QStringLiteral("Datum:       "));
    }

    void identityWritesAreIgnoredAndReadsAreVirtual() {
        TEVI evi(ShowVersionWindow);
        evi.SetasVersion("7.77.777");
        evi.SetasVersionDate("31.12.1999");
        evi.SetasVersionName("X");
        evi.SetasVersionString("anything");
        QCOMPARE(test::Q(evi.GetasVersion()), QStringLiteral("1.01.000"));
        QCOMPARE(test::Q(evi.GetasVersionDate()), QStringLiteral("16.11.2001"));
        QCOMPARE(test::Q(evi.GetasVersionName()), QStringLiteral("EVI"));
        QCOMPARE(evi.GetasVersionString().size(), std::size_t{60});

        RenamedCollector renamed(ShowVersionWindow);
        std::vector<std::string> lines;
        renamed.EVI(&lines, 2);
        const QStringList list = test::Q(lines);
        QCOMPARE(list.size(), 2);
        QVERIFY(list[0].startsWith(QStringLiteral("-Renamed ")));
        QCOMPARE(list[0].size(), 61);
        QVERIFY(list[1].startsWith(QStringLiteral("--DOzadi ")));

        // Without a list nothing is appended, and the wrapper is still asked.
        renamed.EVI(nullptr, 1);
        QCOMPARE(lines.size(), std::size_t{2});
    }

    // Every Info collects anew: the hook's lines follow the component lines,
    // and lines never pile up.
    void everyInfoCollectsAnew() {
        TEVI evi(ShowVersionWindow);
        int calls = 0;
        TEVI* sender = nullptr;
        evi.OnDatenSammeln = [&](TEVI* from, std::vector<std::string>& lines) {
            ++calls;
            sender = from;
            lines.emplace_back("Eigene Zeile");
        };
        evi.asModuleVersion = "first";
        evi.Info(TExVersionInfoTyp::eviFile);
        const std::size_t count = evi.InfoList().size();
        QCOMPARE(count, std::size_t{11});
        QCOMPARE(test::Q(evi.InfoList().back()), QStringLiteral("Eigene Zeile"));
        evi.asModuleVersion = "second";
        evi.Info(TExVersionInfoTyp::eviFile);
        QCOMPARE(evi.InfoList().size(), count);
        QCOMPARE(test::Q(evi.InfoList()[1]), QStringLiteral("Version:     second"));
        QCOMPARE(calls, 2);
        QCOMPARE(sender, &evi);
    }

    // The hook's error reaches the caller of Info, and nothing is output.
    void hookErrorsStopTheOutput() {
        TEVI evi(ShowVersionWindow);
        evi.OnDatenSammeln = [](TEVI*, std::vector<std::string>&) {
            throw std::runtime_error("hook");
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, evi.Info(TExVersionInfoTyp::eviFile));
        QVERIFY(!QFile::exists(ReportPath()));
    }

    // A directory whose name is no UTF-8 text (a Latin-1 byte): the report is
    // written beside the program all the same, under the directory's bytes.
    // The test runs a copy of itself from there, which only writes the file.
    void reportFileBesideAProgramInADirectoryNamedInLatin1() {
        if (qEnvironmentVariableIsSet("TM_EVI_WRITE_ONLY")) {
            TEVI evi(ShowVersionWindow);
            evi.Info(TExVersionInfoTyp::eviFile);
            return;
        }
        const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                          ("tm-evi-" + std::to_string(::getpid())) / "B\xFCro";
        std::filesystem::create_directories(dir);
        const std::filesystem::path program = dir / "evi_copy";
        std::filesystem::copy_file(QCoreApplication::applicationFilePath().toStdString(), program);
        const std::string command =
            "TM_EVI_WRITE_ONLY=1 '" + program.string() +
            "' reportFileBesideAProgramInADirectoryNamedInLatin1 >/dev/null";
        const int status = std::system(command.c_str());
        const bool written = std::filesystem::exists(dir / "evi_copy.EVI");
        std::filesystem::remove_all(dir.parent_path());
        QCOMPARE(status, 0);
        QVERIFY(written);
    }

    // The file beside the program: ten lines with CR LF, written twice
    // still one report.
    void reportFileHoldsOneReport() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        evi.Info(TExVersionInfoTyp::eviFile);
        const QByteArray first = test::ReadFile(ReportPath());
        evi.Info(TExVersionInfoTyp::eviFile);
        const QByteArray second = test::ReadFile(ReportPath());
        QCOMPARE(second, first);
        QCOMPARE(second.count("\r\n"), 10);
        QVERIFY(second.endsWith("\r\n"));
        QCOMPARE(second.count('\n'), 10);
        QCOMPARE(QString::fromLocal8Bit(second).split(QStringLiteral("\r\n")).mid(0, 10),
                 test::Q(evi.InfoList()));
    }

    // An output kind out of range shows the window, with the fresh report.
    void unknownKindShowsTheWindow() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        QStringList shown;
        TDOzadi* wrapper = nullptr;
        const auto seen = test::OnModalOf<TfmEVI>([&](TfmEVI& window) {
            shown = window.memInfo->toPlainText().split('\n');
            wrapper = window.DOzadi;
            window.bbtnClose->click();
        });
        evi.Info(static_cast<TExVersionInfoTyp>(7));
        QVERIFY(*seen);
        QCOMPARE(shown, test::Q(evi.InfoList()));
        QCOMPARE(wrapper, &evi.PrinterWrapper());
        // The window lives only while it is shown.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY(dynamic_cast<TfmEVI*>(widget) == nullptr);
        }
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::EviTest)
#include "evi_test.moc"
