// The confirmation dialog as a user drives it: real keystrokes, a real paste,
// the dialog's own modal loop.
#include "gui/qt/tfm_tlm_start.h"
#include "gui/tfm_tlm_start_layout.h"
#include "qt_test_support.h"
#include "tests/app/qt_layout_differences.h"

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>

using tessaldrin::TfmTLMStart;
using tessaldrin::test::LayoutDifferences;
using tessaldrin::test::SaveRender;
using tessaldrin::test::WhenModal;

namespace {

// Runs the dialog modally, doing `act` to it once it is shown.
int RunDialog(TfmTLMStart& dialog, std::function<void(TfmTLMStart&)> act) {
    WhenModal<TfmTLMStart>(std::move(act));
    return dialog.exec();
}

} // namespace

class ConfirmationDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAsDesigned() {
        TfmTLMStart dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.size(), QSize(700, 416));
        QCOMPARE(QString::fromStdString(
                     LayoutDifferences(dialog, tessaldrin::layout::start_dialog::kWindow)),
                 QString());
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));

        // Fonts as the user sees them: 19-pixel Arial (its metric twin here)
        // on an 11-pixel window.
        QCOMPARE(QFontInfo(dialog.font()).pixelSize(), 11);
        for (QWidget* control :
             {static_cast<QWidget*>(dialog.Memo1), static_cast<QWidget*>(dialog.Edit1),
              static_cast<QWidget*>(dialog.bbtnWeiter)}) {
            QCOMPARE(QFontInfo(control->font()).pixelSize(), 19);
            QCOMPARE(QFontInfo(control->font()).family(), QString("Liberation Sans"));
        }
        QCOMPARE(dialog.Memo1->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(dialog.Edit1->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));

        // The warning, byte for byte: trailing spaces and empty lines included.
        const QStringList expected{
            "Tessaldrin-Mover passt die internen Dateiverweise in einer ",
            "Tessaldrin-Datenbank an, die in ein anderes Verzeichnis verschoben ",
            "wurde.",
            "",
            "Dies ist ein kritischer Vorgang, bei dessen Fehlschlag die Datenbank ",
            "möglicherweise nicht mehr verwendbar ist.",
            "",
            "Arbeiten Sie deshalb immer mit einer Kopie Ihrer Daten!",
            "",
            "Mit der Eingabe von JA im folgenden Eingabefeld bestätigen Sie, dass Sie diesen ",
            "Hinweis verstanden haben, und sich der Risiken beim Einsatz von ",
            "Tessaldrin-Mover bewusst sind!",
        };
        QCOMPARE(dialog.Memo1->toPlainText(), expected.join('\n'));
        QVERIFY(SaveRender(dialog, "confirmation_dialog"));

        // Typing starts in the entry; Tab walks Memo1, Edit1, Weiter, Abbrechen.
        QCOMPARE(QApplication::focusWidget(), dialog.Edit1);
        QTest::keyClicks(dialog.Edit1, "JA");
        dialog.Memo1->setFocus();
        for (QWidget* next :
             {static_cast<QWidget*>(dialog.Edit1), static_cast<QWidget*>(dialog.bbtnWeiter),
              static_cast<QWidget*>(dialog.BitBtn2), static_cast<QWidget*>(dialog.Memo1)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(SaveRender(dialog, "confirmation_dialog_confirmed"));
    }

    void onlyTheExactWordEnablesWeiter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("JA") << "JA" << true;
        QTest::newRow("ja") << "ja" << false;
        QTest::newRow("Ja") << "Ja" << false;
        QTest::newRow("space before") << " JA" << false;
        QTest::newRow("space after") << "JA " << false;
        QTest::newRow("letter after") << "JAX" << false;
    }

    void onlyTheExactWordEnablesWeiter() {
        QFETCH(QString, typed);
        QFETCH(bool, enabled);
        TfmTLMStart dialog;
        dialog.show();
        QTest::keyClicks(dialog.Edit1, typed);
        QCOMPARE(dialog.Edit1->text(), typed);
        QCOMPARE(dialog.bbtnWeiter->isEnabled(), enabled);
    }

    // Every change of the entry counts: each key, a deletion, a paste.
    void weiterFollowsEachChange() {
        TfmTLMStart dialog;
        dialog.show();
        QVERIFY(!dialog.bbtnWeiter->isEnabled());
        QTest::keyClick(dialog.Edit1, 'J');
        QVERIFY(!dialog.bbtnWeiter->isEnabled());
        QTest::keyClick(dialog.Edit1, 'A');
        QVERIFY(dialog.bbtnWeiter->isEnabled());
        QTest::keyClick(dialog.Edit1, Qt::Key_Backspace);
        QVERIFY(!dialog.bbtnWeiter->isEnabled());
        dialog.Edit1->clear();
        QGuiApplication::clipboard()->setText("JA");
        QTest::keyClick(dialog.Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialog.Edit1->text(), QString("JA"));
        QVERIFY(dialog.bbtnWeiter->isEnabled());
    }

    void okComesOnlyThroughWeiterAfterTheWord() {
        TfmTLMStart dialog;
        bool openAfterEmptyEnter = false;
        bool openAfterDisabledClick = false;
        QCOMPARE(RunDialog(dialog,
                           [&](TfmTLMStart& shown) {
                               QTest::keyClick(shown.Edit1, Qt::Key_Return);
                               openAfterEmptyEnter = shown.isVisible();
                               QTest::mouseClick(shown.bbtnWeiter, Qt::LeftButton);
                               openAfterDisabledClick = shown.isVisible();
                               QTest::keyClicks(shown.Edit1, "JA");
                               QTest::keyClick(shown.Edit1, Qt::Key_Return);
                           }),
                 int(QDialog::Accepted));
        QVERIFY(openAfterEmptyEnter);
        QVERIFY(openAfterDisabledClick);

        // Shown again: the entry starts empty, and a click on Weiter ends it.
        QString textOnShow = "unset";
        bool enabledOnShow = true;
        QCOMPARE(RunDialog(dialog,
                           [&](TfmTLMStart& shown) {
                               textOnShow = shown.Edit1->text();
                               enabledOnShow = shown.bbtnWeiter->isEnabled();
                               QTest::keyClicks(shown.Edit1, "JA");
                               QTest::mouseClick(shown.bbtnWeiter, Qt::LeftButton);
                           }),
                 int(QDialog::Accepted));
        QCOMPARE(textOnShow, QString());
        QVERIFY(!enabledOnShow);
    }

    void escapeAbbrechenAndCloseBoxCancel() {
        const std::vector<std::function<void(TfmTLMStart&)>> cancels{
            [](TfmTLMStart& d) { QTest::keyClick(d.Edit1, Qt::Key_Escape); },
            [](TfmTLMStart& d) { QTest::keyClick(d.bbtnWeiter, Qt::Key_Escape); },
            [](TfmTLMStart& d) { QTest::mouseClick(d.BitBtn2, Qt::LeftButton); },
            [](TfmTLMStart& d) { d.close(); },
        };
        TfmTLMStart dialog;
        for (const auto& cancel : cancels) {
            QCOMPARE(RunDialog(dialog,
                               [cancel](TfmTLMStart& shown) {
                                   QTest::keyClicks(shown.Edit1, "JA");
                                   cancel(shown);
                               }),
                     int(QDialog::Rejected));
        }
    }
};

TM_QT_TEST_MAIN(ConfirmationDialogTest)
#include "confirmation_dialog_test.moc"
