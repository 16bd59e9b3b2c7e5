// The main window: its state after creation, the port edit, the confirmation
// before it is shown, Close, and the run log over memLog.
#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "gui/tfm_tlm_main_layout.h"
#include "qt_test_support.h"
#include "tests/app/qt_layout_differences.h"

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>

#include <string>
#include <vector>

using tessaldrin::TfmTLMMain;
using tessaldrin::TfmTLMStart;
using tessaldrin::test::LayoutDifferences;
using tessaldrin::test::SaveRender;
using tessaldrin::test::WhenModal;
using Entries = std::vector<std::string>;

namespace {

// Shows `window` as the main form, answering its confirmation with `answer`;
// notes whether the main window was visible while the dialog ran.
bool ShowAnswering(TfmTLMMain& window, TfmTLMStart& dialog,
                   std::function<void(TfmTLMStart&)> answer, bool& visibleDuringDialog) {
    window.SetConfirmationDialog(&dialog);
    WhenModal<TfmTLMStart>([&window, answer, &visibleDuringDialog](TfmTLMStart& shown) {
        visibleDuringDialog = window.isVisible();
        answer(shown);
    });
    return window.ShowMainForm();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void createdWindowAsDesigned() {
        TfmTLMMain window;
        QVERIFY(window.memLog->toPlainText().isEmpty()); // the layout's placeholder went
        QCOMPARE(window.Port, 3050);
        QVERIFY(!window.sbtnStart->isEnabled()); // until the confirmation
        QVERIFY(window.rbtnPortStandard->isChecked());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.size(), QSize(862, 616));
        QCOMPARE(QString::fromStdString(
                     LayoutDifferences(window, tessaldrin::layout::main_window::kWindow)),
                 QString());

        // Fonts as shown: the window's 11 pixels, a bold group caption over
        // regular radio buttons, 19-pixel navy Arial on the two buttons.
        QCOMPARE(QFontInfo(window.font()).pixelSize(), 11);
        QCOMPARE(QFontInfo(window.font()).family(), QString("Liberation Sans"));
        QVERIFY(QFontInfo(window.gbPort->font()).bold());
        QVERIFY(!QFontInfo(window.rbtnPortStandard->font()).bold());
        QCOMPARE(QFontInfo(window.rbtnPortStandard->font()).pixelSize(), 11);
        for (QToolButton* button : {window.sbtnStart, window.sbtnClose}) {
            QCOMPARE(QFontInfo(button->font()).pixelSize(), 19);
            QCOMPARE(QFontInfo(button->font()).family(), QString("Liberation Sans"));
            QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(0x00, 0x00, 0x80));
        }
        // The close glyph has a picture of its own for the disabled state.
        const QIcon close = window.sbtnClose->icon();
        QVERIFY(close.pixmap(20, QIcon::Normal).toImage() !=
                close.pixmap(20, QIcon::Disabled).toImage());

        // Tab order from the log: the selected radio button, the edit, the log.
        window.memLog->setFocus();
        for (QWidget* next :
             {static_cast<QWidget*>(window.rbtnPortStandard),
              static_cast<QWidget*>(window.edPortCustom), static_cast<QWidget*>(window.memLog)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(window.memLog->toPlainText().isEmpty()); // Tab moved, typed nothing

        // The log is aligned to the top: it follows the width, keeps its height.
        window.resize(1000, 700);
        QCOMPARE(window.memLog->geometry(), QRect(0, 0, 1000, 497));
    }

    void portEditTakesDigitsOnly() {
        TfmTLMMain window;
        window.show();
        QTest::keyClicks(window.edPortCustom, "30a5b0-0 ");
        QCOMPARE(window.edPortCustom->text(), QString("30500"));
        window.edPortCustom->clear();
        QTest::keyClicks(window.edPortCustom, "1234567890");
        QCOMPARE(window.edPortCustom->text(), QString("123456789"));

        // A paste is held to the same rule as typing.
        window.edPortCustom->clear();
        QGuiApplication::clipboard()->setText("3O50");
        QTest::keyClick(window.edPortCustom, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.edPortCustom->text(), QString());
        QGuiApplication::clipboard()->setText("30500");
        QTest::keyClick(window.edPortCustom, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.edPortCustom->text(), QString("30500"));

        // Editable whichever radio button is selected.
        window.rbtnPortKorvanta->setChecked(true);
        QTest::keyClicks(window.edPortCustom, "7");
        QCOMPARE(window.edPortCustom->text(), QString("305007"));
    }

    void confirmedWindowIsIdleWithAnEmptyLogUntilClosed() {
        TfmTLMMain window;
        TfmTLMStart dialog;
        bool visibleDuringDialog = true;
        QVERIFY(ShowAnswering(
            window, dialog,
            [](TfmTLMStart& d) {
                QTest::keyClicks(d.Edit1, "JA");
                QTest::keyClick(d.Edit1, Qt::Key_Return);
            },
            visibleDuringDialog));
        QVERIFY(!visibleDuringDialog);
        QVERIFY(window.isVisible());
        QVERIFY(window.sbtnStart->isEnabled());
        QVERIFY(window.Log().Entries().empty());
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // In the centre of the screen, as far as the screen is large enough
        // (the offscreen one is 800 pixels wide); never above or left of it.
        const QRect screen = window.screen()->availableGeometry();
        const QRect frame = window.frameGeometry();
        QVERIFY(frame.left() >= screen.left() && frame.top() >= screen.top());
        if (frame.width() <= screen.width()) {
            QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 4);
        }
        if (frame.height() <= screen.height()) {
            QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 4);
        }
        QVERIFY(SaveRender(window, "main_window"));

        QTest::mouseClick(window.sbtnClose, Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void logWritersAppendExactEntries() {
        TfmTLMMain window;
        window.Log().LogError("Die Header-Seite kann nicht gelesen werden!");
        window.Log().LogErrorNumber("Falsche Datenbank-Seiten-Größe!", -3000);
        QCOMPARE(window.Log().Entries(),
                 (Entries{"FEHLER: Die Header-Seite kann nicht gelesen werden!\n\n",
                          "FEHLER: Falsche Datenbank-Seiten-Größe! (-3000)\n\n"}));
        // Each entry, its two line feeds included, is one paragraph of memLog.
        const QTextDocument* document = window.memLog->document();
        QCOMPARE(document->blockCount(), 2);
        const QString breaks(2, QChar::LineSeparator);
        QCOMPARE(document->findBlockByNumber(1).text(),
                 "FEHLER: Falsche Datenbank-Seiten-Größe! (-3000)" + breaks);
    }

    void entriesStaySeparateWhateverTheyHold() {
        TfmTLMMain window;
        for (const char* entry : {"", "Dateien umbenennen:", "", "", "a\r\nb\rc\nd"}) {
            window.Log().append(entry);
        }
        QCOMPARE(window.Log().Entries(),
                 (Entries{"", "Dateien umbenennen:", "", "", "a\nb\nc\nd"}));
        QCOMPARE(window.memLog->document()->blockCount(), 5);
        QVERIFY(window.memLog->textCursor().atEnd()); // the newest entry is in view

        // A single empty entry is an entry too.
        TfmTLMMain other;
        other.Log().append("");
        QCOMPARE(other.Log().Entries(), Entries{""});

        // Text the user typed into the log stays apart from the next entry.
        TfmTLMMain typed;
        QTest::keyClicks(typed.memLog, "Notiz");
        typed.Log().append("Server gefunden");
        QCOMPARE(typed.Log().Entries(), (Entries{"Notiz", "Server gefunden"}));
    }
};

TM_QT_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
