// Start in the main window: the port choice, and the log of every way a run
// can end, on real files and the real Firebird 3 server. Each test confirms
// with "JA" as the user does, clicks Start and reads memLog.
#include "filetable/dm_files.h"
#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "qt_test_support.h"
#include "tests/support/firebird_fixture.h"
#include "tests/support/stalling_proxy.h"

#include <QMessageBox>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tessaldrin::TfmTLMMain;
using tessaldrin::TfmTLMStart;
using tessaldrin::filetable::TdmFiles;
using tessaldrin::test::SaveRender;
using tessaldrin::test::WhenModal;
using namespace tessaldrin::testing;
using Entries = std::vector<std::string>;

namespace {

const std::string kNoServer =
    "Die Verbindung zum InterBase / FireBird-Server konnte nicht hergestellt werden: ";
const std::string kFound = "Datenbankmanagementsystem (Interbase / Firebird) vorhanden";
const std::string kFailed = "Tessaldrin Mover konnte Tessaldrin nicht anpassen!";
const std::string kAdjustedTableKept =
    "Tessaldrin Mover hat Tessaldrin angepasst: Die Datenbank \xC3\xB6"
    "ffnet an ihrem neuen Ort. RDB$FILES beh\xC3\xA4lt die alten Dateinamen, weil der Server sie "
    "nicht \xC3\xA4ndern l\xC3\xA4sst.";
const std::string kSucceeded =
    "Tessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich durchgef\xC3\xBChrt!";

// A main window whose runs search `dir`, confirmed with "JA" and idle.
struct ConfirmedWindow {
    TdmFiles dataModule;
    TfmTLMStart dialog;
    TfmTLMMain window;

    explicit ConfirmedWindow(const fs::path& dir)
        : window(nullptr, (dir / "tessaldrin-mover").string()) {
        window.SetDataModule(&dataModule);
        window.SetConfirmationDialog(&dialog);
        WhenModal<TfmTLMStart>([](TfmTLMStart& d) {
            QTest::keyClicks(d.Edit1, "JA");
            QTest::keyClick(d.Edit1, Qt::Key_Return);
        });
        if (!window.ShowMainForm()) {
            throw std::runtime_error("the confirmation did not lead to the main window");
        }
    }
    void start() { QTest::mouseClick(window.sbtnStart, Qt::LeftButton); }
    Entries log() const { return const_cast<TfmTLMMain&>(window).Log().Entries(); }
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A file that passes as the last file of a chain (a header page without
// links) but that no server opens as a database.
void WriteBareHeaderPage(const fs::path& file) {
    std::string page(1024, '\0');
    page[0] = 1;                      // header page
    page[2] = 0x39, page[3] = 0x30;   // checksum 12345
    page[16] = 0x00, page[17] = 0x04; // page size 1024
    page[18] = 10;                    // ODS 10
    std::ofstream(file, std::ios::binary) << page;
}

} // namespace

class MainWindowRunTest : public QObject {
    Q_OBJECT

private slots:
    void portChoiceReachesTheWindowAndTheServerCheck() {
        ServerDir dir{"tm-port"};
        ConfirmedWindow w(dir.path());
        auto& win = w.window;

        win.rbtnPortCustom->setChecked(true); // custom, nothing typed
        w.start();
        QCOMPARE(win.Port, 3050);

        QTest::keyClicks(win.edPortCustom, "30500");
        w.start();
        QCOMPARE(win.Port, 30500);

        win.rbtnPortStandard->setChecked(true); // the typed number no longer counts
        w.start();
        QCOMPARE(win.Port, 3050);
        win.rbtnPortKorvanta->setChecked(true);
        w.start();
        QCOMPARE(win.Port, 30500);

        // The runs really used those ports: on 3050 the server is found and
        // discovery finds no database (five entries); nobody answers on
        // 30500 (three entries).
        const Entries log = w.log();
        QCOMPARE(log.size(), std::size_t{5 + 3 + 5 + 3});
        QCOMPARE(log[0], kFound);
        QVERIFY(StartsWith(log[5], kNoServer));
        QCOMPARE(log[8], kFound);
        QVERIFY(StartsWith(log[13], kNoServer));
        QCOMPARE(log.back(), kFailed);

        // Nine digits that name no port: no server is asked.
        win.rbtnPortCustom->setChecked(true);
        win.edPortCustom->clear();
        QTest::keyClicks(win.edPortCustom, "68586");
        w.start();
        QCOMPARE(win.Port, 68586);
        const Entries refused = w.log();
        QCOMPARE(Entries(refused.begin() + log.size(), refused.end()),
                 (Entries{"FEHLER: Der Port 68586 ist kein Netzwerk-Port: Ports gehen von 0 bis "
                          "65535. Es wird kein Server gefragt.\n\n",
                          "", kFailed}));
    }

    void noServerWritesOnlyTheFailureLineAndTouchesNoFile() {
        ServerDir dir{"tm-noserver"};
        std::ofstream(dir.path() / "Tessaldrin.GDB") << "Daten";
        ConfirmedWindow w(dir.path());
        w.window.rbtnPortCustom->setChecked(true);
        QTest::keyClicks(w.window.edPortCustom, "1");
        w.start();
        const Entries log = w.log();
        QCOMPARE(log.size(), std::size_t{3});
        QVERIFY(StartsWith(log[0], kNoServer));
        QCOMPARE(log[1], std::string());
        QCOMPARE(log[2], kFailed);
        QVERIFY(fs::exists(dir.path() / "Tessaldrin.GDB"));
    }

    void noPrimaryFileStopsAfterDiscovery() {
        ServerDir dir{"tm-noprimary"};
        std::ofstream(dir.path() / "Tessaldrin_1.GDB") << "Daten";
        ConfirmedWindow w(dir.path());
        w.start();
        QCOMPARE(w.log(), (Entries{kFound, "Tessaldrin im aktuellen Verzeichnis nicht gefunden!",
                                   "Gesucht wurde im Verzeichnis \"" + dir.withSeparator() + "\".",
                                   "", kFailed}));
        QVERIFY(fs::exists(dir.path() / "Tessaldrin_1.GDB"));
    }

    void damagedHeaderStopsTheRunBeforeAnyChange() {
        ServerDir dir{"tm-damaged"};
        std::ofstream(dir.path() / "Tessaldrin.GDB") << std::string(2000, 'x');
        ConfirmedWindow w(dir.path());
        w.start();
        const std::string primary = (dir.path() / "Tessaldrin.GDB").string();
        QCOMPARE(w.log(),
                 (Entries{kFound, "", "Tessaldrin-Files im aktuellen Verzeichnis:", primary,
                          "FEHLER: Datei \"" + primary +
                              "\": Falsche Datenbank-Seiten-Gr\xC3\xB6\xC3\x9F"
                              "e! (30840)\n\n",
                          "", kFailed}));
        QVERIFY(fs::exists(dir.path() / "Tessaldrin.GDB"));
    }

    // In a directory named with umlauts, sharp s, spaces and quotes; ctest runs
    // this test once more without any locale variable.
    void movedDatabaseIsRelinkedAndTheServersRefusalEndsTheRun() {
        ServerDir dir{"tm-window-run"};
        const fs::path alt = dir.makeSubdir("alt");
        const fs::path neu = dir.makeSubdir("B\xC3\xBCro Da\xC3\x9F"
                                            "en '\xC3\x9C"
                                            "bertrag'");
        DatabaseLayout layout;
        layout.files = {alt / "Tessaldrin.GDB", alt / "Tessaldrin_1.GDB", alt / "Tessaldrin_2.GDB"};
        layout.owner = Owner::ProgramUser;
        CreateDatabase(layout);
        MoveFiles(layout.files, neu);

        ConfirmedWindow w(neu);
        w.start();
        const Entries log = w.log();
        const auto at = [&](const std::string& name) { return (neu / name).string(); };
        const Entries head{kFound,
                           "",
                           "Tessaldrin-Files im aktuellen Verzeichnis:",
                           at("Tessaldrin.GDB"),
                           at("Tessaldrin_1.GDB"),
                           at("Tessaldrin_2.GDB"),
                           "",
                           "Dateien umbenennen:"};
        QVERIFY(log.size() > head.size());
        QCOMPARE(Entries(log.begin(), log.begin() + head.size()), head);
        const Entries tail{"",
                           "\xC3\x84ndere File-Tabelle:",
                           "UPDATE operation is not allowed for system table RDB$FILES",
                           "Hinweis: Die Links in den File-Headern sind angepasst, und der Server "
                           "hat die Datenbank an ihrem neuen Ort ge\xC3\xB6"
                           "ffnet. RDB$FILES beh\xC3\xA4lt die alten Dateinamen, weil dieser "
                           "Server keine \xC3\x84nderung von RDB$FILES erlaubt.",
                           "",
                           kAdjustedTableKept};
        QCOMPARE(Entries(log.end() - tail.size(), log.end()), tail);
        QVERIFY(std::find(log.begin(), log.end(),
                          "Link ge\xC3\xA4ndert von \"" + layout.files[1].string() + "\" zu \"" +
                              at("Tessaldrin_1.TDB") + "\"") != log.end());
        QCOMPARE(CountRows(neu / "Tessaldrin.TDB"), static_cast<long>(layout.rows));
        QVERIFY(SaveRender(w.window, "main_window_after_run"));

        // Start again: a second run below the first, with nothing to rename.
        w.start();
        const Entries again = w.log();
        // Five entries fewer: the renaming heading with its empty entry and three renames.
        QCOMPARE(again.size(), log.size() * 2 - 5);
        QCOMPARE(again[log.size()], kFound);
        QCOMPARE(std::count(again.begin() + log.size(), again.end(), "Dateien umbenennen:"), 0);
        QCOMPARE(again.back(), kAdjustedTableKept);
    }

    void singleFileDatabaseSucceeds() {
        ServerDir dir{"tm-window-single"};
        DatabaseLayout layout;
        layout.files = {dir.path() / "Tessaldrin.TDB"};
        layout.owner = Owner::ProgramUser;
        layout.rows = 10;
        CreateDatabase(layout);
        ConfirmedWindow w(dir.path());
        w.start();
        const std::string primary = layout.files[0].string();
        QCOMPARE(
            w.log(),
            (Entries{kFound, "", "Tessaldrin-Files im aktuellen Verzeichnis:", primary, "",
                     "\xC3\x84ndere Links in den File-Headern ...", "Bearbeite Datei: " + primary,
                     "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei "
                     "gefunden!)\n\n",
                     "", "", "\xC3\x84ndere File-Tabelle:", "", kSucceeded}));
    }

    // A server that falls silent before the commit's answer: the run waits the
    // bound off the window's thread, the window keeps handling its timers and
    // painting the log as the entries come, and after the run nothing of it
    // goes on: when the server wakes up, the program sends it nothing more.
    void aServerThatFallsSilentEndsTheRunWithinTheBoundWhileTheWindowRepaints() {
        ServerDir dir{"tm-window-silent"};
        DatabaseLayout layout;
        layout.files = {dir.path() / "Tessaldrin.TDB"};
        layout.owner = Owner::ProgramUser;
        layout.rows = 3;
        CreateDatabase(layout);
        StallingProxy proxy(Firebird3().port, {1, kRequestsBeforeTheCommit, kNoLimit});
        ConfirmedWindow w(dir.path());
        w.window.rbtnPortCustom->setChecked(true);
        QTest::keyClicks(w.window.edPortCustom, QString::number(proxy.port()));

        // Painted while the run waits, and with the entries made so far.
        struct Painted : QObject {
            QPlainTextEdit* log = nullptr;
            bool tableHeadingShown = false;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Paint) {
                    tableHeadingShown = tableHeadingShown ||
                                        log->toPlainText().contains("\xC3\x84ndere File-Tabelle:");
                }
                return false;
            }
        } painted;
        painted.log = w.window.memLog;
        w.window.memLog->viewport()->installEventFilter(&painted);
        const auto start = std::chrono::steady_clock::now();
        w.start();
        const auto took = std::chrono::steady_clock::now() - start;
        w.window.memLog->viewport()->removeEventFilter(&painted);

        QVERIFY(proxy.Stalled());
        QVERIFY(took >= std::chrono::seconds(15));
        QVERIFY(took < std::chrono::seconds(25));
        QVERIFY(painted.tableHeadingShown);
        const Entries log = w.log();
        QCOMPARE(Entries(log.end() - 4, log.end()),
                 (Entries{"\xC3\x84ndere File-Tabelle:",
                          "Der Server hat 15 Sekunden lang nicht geantwortet; das Programm hat die "
                          "Verbindung beendet.\nOb der Server die \xC3\x84nderung von RDB$FILES "
                          "\xC3\xBC"
                          "bernommen hat, ist nicht bekannt: die Antwort auf das Commit blieb "
                          "aus.\nServer: localhost, Port " +
                              std::to_string(proxy.port()) +
                              " (ohne Antwort wird nach 15 Sekunden aufgegeben)",
                          "", kFailed}));

        QVERIFY(WaitUntil([&] { return proxy.ClientEnded(); }, 5));
        proxy.Resume();
        QTest::qWait(1000);
        QCOMPARE(proxy.ClientBytesAfterResume(), std::size_t{0});
        QCOMPARE(w.log(), log);
        QCOMPARE(CountRows(layout.files[0]), 3L);
    }

    void refusedAttachmentEndsTheRunInTheExceptionDisplay() {
        ServerDir dir{"tm-window-refused"};
        WriteBareHeaderPage(dir.path() / "Tessaldrin.TDB");
        ConfirmedWindow w(dir.path());
        QString shown;
        WhenModal<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.text();
            box.accept();
        });
        w.start();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(shown.contains("Tessaldrin.TDB"), qPrintable(shown));
        const Entries first = w.log();
        // The run ended at the attachment: the table heading, no final line.
        QCOMPARE(first.back(), "\xC3\x84ndere File-Tabelle:");

        // The window stays usable; the next run appends below.
        WhenModal<QMessageBox>([](QMessageBox& box) { box.accept(); });
        w.start();
        const Entries second = w.log();
        QCOMPARE(second.size(), first.size() * 2);
        QCOMPARE(second[first.size()], kFound);
    }
};

TM_QT_TEST_MAIN(MainWindowRunTest)
#include "main_window_run_test.moc"
