// The application object: Qt's German texts and the standard exception display.
#include "qt_test_support.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

using tessaldrin::test::WhenModal;
using tessaldrin::toolkit::Application;
using tessaldrin::toolkit::CallHandler;

namespace {

// What the standard exception display showed, read off the real message box.
struct Shown {
    int boxes = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with its own button, noting what it showed.
void AnswerNextBox(Shown& shown, const QString& renderName = QString()) {
    WhenModal<QMessageBox>([&shown, renderName](QMessageBox& box) {
        ++shown.boxes;
        shown.title = box.windowTitle();
        shown.text = box.text();
        shown.icon = box.icon();
        if (!renderName.isEmpty()) {
            QVERIFY(tessaldrin::test::SaveRender(box, renderName));
        }
        QTest::keyClick(&box, Qt::Key_Return);
    });
}

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application().SetTitle("Tessaldrin-Mover"); }

    void standardButtonsSpeakGerman() {
        QVERIFY(Application().HasGermanQtTexts());
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                 QDialogButtonBox::Yes | QDialogButtonBox::No |
                                 QDialogButtonBox::Close);
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), QString("OK"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(), QString("&Ja"));
        QCOMPARE(buttons.button(QDialogButtonBox::No)->text(), QString("&Nein"));
        QCOMPARE(buttons.button(QDialogButtonBox::Close)->text(), QString("Schließen"));
    }

    // A handler's exception: a message box with what(), titled with the
    // application title; a foreign exception type gives an empty message.
    void handlerExceptionsAreShownAndTheProgramGoesOn() {
        Shown shown;
        AnswerNextBox(shown, "exception_display");
        CallHandler([] { throw std::runtime_error("Die Datei <b>x</b> fehlt: ä ö ß"); });
        QCOMPARE(shown.boxes, 1);
        QCOMPARE(shown.title, QString("Tessaldrin-Mover"));
        QCOMPARE(shown.text, QString("Die Datei <b>x</b> fehlt: ä ö ß"));
        QCOMPARE(shown.icon, QMessageBox::Critical);

        Shown foreign;
        AnswerNextBox(foreign);
        QPushButton button("Los");
        bool clicked = false;
        QObject::connect(&button, &QPushButton::clicked, [&clicked] {
            CallHandler([&clicked] {
                clicked = true;
                throw 42;
            });
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(clicked);
        QCOMPARE(foreign.boxes, 1);
        QCOMPARE(foreign.text, QString());
    }

    // An exception that a handler forgot to catch stops at the application
    // object instead of unwinding Qt's event loop: the loop delivers the
    // next event afterwards.
    void uncaughtHandlerExceptionStopsAtTheApplication() {
        Shown shown;
        AnswerNextBox(shown);
        QEventLoop loop;
        bool wentOn = false;
        QTimer::singleShot(0, [] { throw std::logic_error("entkommen"); });
        QTimer::singleShot(20, [&] {
            wentOn = true;
            loop.quit();
        });
        loop.exec();
        QVERIFY(wentOn);
        QCOMPARE(shown.boxes, 1);
        QCOMPARE(shown.text, QString("entkommen"));
    }
};

TM_QT_TEST_MAIN(ApplicationTest)
#include "application_test.moc"
