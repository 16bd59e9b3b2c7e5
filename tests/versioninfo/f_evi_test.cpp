// The version window under the offscreen platform: its layout, its read-only
// memo, and its file and printer setup buttons.
#include "qt_test_support.h"
#include "tests/app/qt_layout_differences.h"
#include "toolkit/application.h"
#include "toolkit/printer_setup_form.h"
#include "versioninfo/dozadier.h"
#include "versioninfo/evi_komp.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/f_evi_layout.h"
#include "versioninfo/version_switches.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QtTest>

#include <functional>

namespace tessaldrin::versioninfo {

class FEviTest : public QObject {
    Q_OBJECT

private:
    // Shows the collector's window and runs `check` on it while it is open.
    static bool WithWindow(TEVI& evi, const std::function<void(TfmEVI&)>& check) {
        const auto seen = test::OnModalOf<TfmEVI>([check](TfmEVI& window) {
            check(window);
            window.close();
        });
        evi.Info(TExVersionInfoTyp::eviScreen);
        return *seen;
    }

private slots:
    void cleanup() {
        TEVI evi(ShowVersionWindow);
        QDir(test::Q(evi.ReportPath())).removeRecursively();
        QFile::remove(test::Q(evi.ReportPath()));
    }

    void layoutIsFixed() {
        TEVI evi(ShowVersionWindow);
        QVERIFY(WithWindow(evi, [](TfmEVI& window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Version Info"));
            QCOMPARE(window.pos(), QPoint(192, 112));
            QCOMPARE(window.size(), QSize(607, 343));
            QCOMPARE(window.minimumSize(), QSize(607, 343));
            QCOMPARE(window.maximumSize(), QSize(607, 343));
            QCOMPARE(window.font().pixelSize(), 11);

            QCOMPARE(window.memInfo->geometry(), QRect(0, 0, 609, 297));
            QCOMPARE(window.memInfo->font().pixelSize(), 11);
            QCOMPARE(QFontInfo(window.memInfo->font()).family(), QStringLiteral("Liberation Mono"));
            QCOMPARE(window.memInfo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(QString::fromStdString(tessaldrin::test::LayoutDifferences(
                         window, layout::version_window::kWindow)),
                     QString());

            const struct {
                QPushButton* button;
                QString caption;
                QRect geometry;
            } buttons[] = {
                {window.bbtnClose, QStringLiteral("&Schließen"), QRect(506, 304, 87, 25)},
                {window.bbtnDrucken, QStringLiteral("&Drucken"), QRect(88, 304, 75, 25)},
                {window.bbtnDruckerEinrichten, QStringLiteral("Drucker &einrichten"),
                 QRect(176, 304, 129, 25)},
                {window.bbtnFile, QStringLiteral("Datei&ausgabe"), QRect(312, 304, 105, 25)},
            };
            for (const auto& expected : buttons) {
                QCOMPARE(expected.button->text(), expected.caption);
                QCOMPARE(expected.button->geometry(), expected.geometry);
                QVERIFY(!expected.button->icon().isNull());
            }
            QCOMPARE(window.bbtnDruckerEinrichten->iconSize(), QSize(20, 20));
            // The printer images have a disabled state of their own.
            for (QPushButton* button : {window.bbtnDrucken, window.bbtnDruckerEinrichten}) {
                const QSize size = button->iconSize();
                QVERIFY(button->icon().pixmap(size, QIcon::Normal).toImage() !=
                        button->icon().pixmap(size, QIcon::Disabled).toImage());
            }

            // Tab moves from the memo to close, print, setup and file, and round.
            const QList<QWidget*> order{window.memInfo, window.bbtnClose, window.bbtnDrucken,
                                        window.bbtnDruckerEinrichten, window.bbtnFile};
            // Focus goes to a window only once it is active, which comes
            // late on a loaded machine.
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.memInfo->setFocus();
            for (qsizetype i = 1; i <= order.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), order[i % order.size()]);
            }
        }));
    }

    // The user can select the report but not change it.
    void memoIsReadOnly() {
        TEVI evi(ShowVersionWindow);
        QString before;
        QString after;
        QString selected;
        QVERIFY(WithWindow(evi, [&](TfmEVI& window) {
            before = window.memInfo->toPlainText();
            window.memInfo->setFocus();
            QTest::keyClicks(window.memInfo, QStringLiteral("xyz"));
            QTest::keyClick(window.memInfo, Qt::Key_Delete);
            QTest::keyClick(window.memInfo, Qt::Key_A, Qt::ControlModifier);
            after = window.memInfo->toPlainText();
            selected = window.memInfo->textCursor().selectedText();
        }));
        QVERIFY(!before.isEmpty());
        QCOMPARE(after, before);
        QCOMPARE(selected.size(), before.size());
    }

    // "Dateiausgabe" collects anew and writes the file; the memo keeps the
    // report it was opened with.
    void fileButtonWritesAFreshReport() {
        TEVI evi(ShowVersionWindow);
        SetProgramVersion(evi);
        QString memo;
        QVERIFY(WithWindow(evi, [&](TfmEVI& window) {
            evi.asModuleVersion = " 2.00.000";
            QTest::mouseClick(window.bbtnFile, Qt::LeftButton);
            memo = window.memInfo->toPlainText();
        }));
        const QString file = QString::fromLocal8Bit(test::ReadFile(test::Q(evi.ReportPath())));
        QVERIFY(file.contains(QStringLiteral("Version:      2.00.000\r\n")));
        QVERIFY(memo.contains(QStringLiteral("Version:      1.11.002\n")));
    }

    // A failing file output from the button goes to the standard exception
    // display, and the window stays open.
    void fileButtonErrorsGoToTheExceptionDisplay() {
        TEVI evi(ShowVersionWindow);
        QVERIFY(QDir().mkpath(test::Q(evi.ReportPath())));
        QString message;
        bool stillOpen = false;
        QVERIFY(WithWindow(evi, [&](TfmEVI& window) {
            const auto shown = test::OnModalOf<QMessageBox>([&](QMessageBox& box) {
                message = box.text();
                box.accept();
            });
            window.bbtnFile->click();
            QVERIFY(*shown);
            stillOpen = window.isVisible();
        }));
        QVERIFY2(message.contains(test::Q(evi.ReportPath()) +
                                  QStringLiteral(" kann nicht erstellt werden")),
                 qPrintable(message));
        QVERIFY(stillOpen);
    }

    // With a printer, "Drucker einrichten" opens the printer setup dialog
    // on the process-wide printer.
    void setupButtonOpensThePrinterDialog() {
        TEVI evi(ShowVersionWindow);
        QVERIFY2(evi.PrinterWrapper().GetPrinterAvailable(), "the print queue is not running");
        QString printerName;
        QVERIFY(WithWindow(evi, [&](TfmEVI& window) {
            const auto shown =
                test::OnModalOf<toolkit::TPrinterSetupForm>([&](toolkit::TPrinterSetupForm& form) {
                    printerName = form.cbPrinter->currentText();
                    form.reject();
                });
            window.bbtnDruckerEinrichten->click();
            QVERIFY(*shown);
        }));
        QCOMPARE(printerName, QStringLiteral("PDF"));
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::FEviTest)
#include "f_evi_test.moc"
