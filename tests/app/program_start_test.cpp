// The start-up as the process entry runs it: the forms in their order, the
// confirmation first, the message loop, and a start-up failure's display.
// The data module loads the real client library of this machine.
#include "gui/qt/program_start.h"
#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "platform/termination_signals.h"
#include "qt_test_support.h"

#include <QTimer>
#include <csignal>
#include <unistd.h>

#include <QMessageBox>

using tessaldrin::RunProgram;
using tessaldrin::TfmTLMMain;
using tessaldrin::TfmTLMStart;
using tessaldrin::test::SaveRender;
using tessaldrin::test::WhenModal;
using tessaldrin::test::WhenReady;
using tessaldrin::toolkit::Application;

namespace {

template <typename T> T* FindTopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<T*>(widget)) {
            return found;
        }
    }
    return nullptr;
}

// The main window's state while the confirmation dialog is up.
struct AtConfirmation {
    int dialogs = 0;
    bool mainExists = false;
    bool mainVisible = true;
    bool dataModuleSet = false;
};

void NoteAndAnswer(AtConfirmation& seen, std::function<void(TfmTLMStart&)> answer) {
    WhenModal<TfmTLMStart>([&seen, answer](TfmTLMStart& dialog) {
        ++seen.dialogs;
        if (TfmTLMMain* main = FindTopLevel<TfmTLMMain>()) {
            seen.mainExists = true;
            seen.mainVisible = main->isVisible();
            seen.dataModuleSet = main->DataModule() != nullptr;
        }
        answer(dialog);
    });
}

// Once the main window is shown with no modal dialog in front of it, runs
// `act` on it inside the message loop.
void WhenMainWindowIdle(std::function<void(TfmTLMMain*)> act) {
    WhenReady(
        [] {
            TfmTLMMain* main = FindTopLevel<TfmTLMMain>();
            return main != nullptr && main->isVisible() &&
                   QApplication::activeModalWidget() == nullptr;
        },
        [act] { act(FindTopLevel<TfmTLMMain>()); });
}

} // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT

private slots:
    void cancelledConfirmationEndsTheProgramWithoutARun() {
        AtConfirmation seen;
        NoteAndAnswer(seen, [](TfmTLMStart& d) { QTest::keyClick(d.Edit1, Qt::Key_Escape); });
        QCOMPARE(RunProgram(Application()), 0);
        QCOMPARE(Application().Title(), QString("Tessaldrin-Mover"));
        QCOMPARE(seen.dialogs, 1);
        QVERIFY(seen.mainExists);
        QVERIFY(!seen.mainVisible);
        QVERIFY(seen.dataModuleSet);
        // The program ended: its forms are gone.
        QVERIFY(FindTopLevel<TfmTLMMain>() == nullptr);
        QVERIFY(FindTopLevel<TfmTLMStart>() == nullptr);
    }

    void confirmedStartWaitsInTheMainWindowUntilClosed() {
        AtConfirmation seen;
        NoteAndAnswer(seen, [](TfmTLMStart& d) {
            QTest::keyClicks(d.Edit1, "JA");
            QTest::keyClick(d.Edit1, Qt::Key_Return);
        });
        bool idle = false;
        bool closedByUser = false;
        WhenMainWindowIdle([&](TfmTLMMain* main) {
            idle = main->sbtnStart->isEnabled() && main->Log().Entries().empty();
            QVERIFY(SaveRender(*main, "main_window_after_start"));
            closedByUser = true;
            QTest::mouseClick(main->sbtnClose, Qt::LeftButton);
        });
        QCOMPARE(RunProgram(Application()), 0);
        QCOMPARE(seen.dialogs, 1);
        QVERIFY(!seen.mainVisible);
        QVERIFY(closedByUser); // the message loop ran until the window was closed
        QVERIFY(idle);
        QVERIFY(FindTopLevel<TfmTLMMain>() == nullptr);
    }

    // A real SIGTERM once the client library has attached to the real server
    // (it then catches the signal itself): every window closes, the message
    // loop ends and the program with it, as after Close.
    void terminationSignalEndsTheProgramAfterTheClientLibraryAttached() {
        tessaldrin::platform::WatchTerminationSignals();
        AtConfirmation seen;
        NoteAndAnswer(seen, [](TfmTLMStart& d) {
            QTest::keyClicks(d.Edit1, "JA");
            QTest::keyClick(d.Edit1, Qt::Key_Return);
        });
        bool checked = false;
        WhenMainWindowIdle([&](TfmTLMMain* main) {
            checked = main->DataModule()->CheckServer(3050, nullptr);
            ::kill(::getpid(), SIGTERM);
        });
        // Should the signal be lost, the window is closed here and the test fails.
        bool closedByFallback = false;
        QTimer fallback;
        fallback.setSingleShot(true);
        QObject::connect(&fallback, &QTimer::timeout, [&] {
            closedByFallback = true;
            QApplication::closeAllWindows();
        });
        fallback.start(20000);
        QCOMPARE(RunProgram(Application()), 0);
        QVERIFY(checked);
        QVERIFY(!closedByFallback);
        QCOMPARE(tessaldrin::platform::TerminationSignal(), SIGTERM);
        QVERIFY(FindTopLevel<TfmTLMMain>() == nullptr);
    }

    // A client library that cannot be loaded: its message, then the end,
    // before any confirmation.
    void missingClientLibraryIsShownAndEndsTheProgram() {
        int boxes = 0;
        QString text;
        bool dialogCreated = true;
        bool mainVisible = true;
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            ++boxes;
            text = box.text();
            dialogCreated = FindTopLevel<TfmTLMStart>() != nullptr;
            TfmTLMMain* main = FindTopLevel<TfmTLMMain>();
            mainVisible = main != nullptr && main->isVisible();
            QVERIFY(SaveRender(box, "missing_client_library"));
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QCOMPARE(RunProgram(Application(), "libfbclient-not-installed.so.2"), 0);
        QCOMPARE(boxes, 1);
        QVERIFY2(text.contains("libfbclient-not-installed.so.2"), qPrintable(text));
        QVERIFY(!dialogCreated);
        QVERIFY(!mainVisible);
        QVERIFY(FindTopLevel<TfmTLMMain>() == nullptr);
    }
};

TM_QT_TEST_MAIN(ProgramStartTest)
#include "program_start_test.moc"
