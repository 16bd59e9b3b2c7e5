// The process-wide printer object on the real print queue: what its printer
// setup dialog sets reaches the next job, and a missing print command is
// named as such.
#include "print_queue.h"
#include "qt_test_support.h"
#include "toolkit/application.h"
#include "toolkit/printer.h"

#include <QTemporaryDir>
#include <QtTest>

namespace tessaldrin::versioninfo {
namespace {

using toolkit::Printer;

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name_, value);
    }
    ~ScopedEnvironment() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace

class PrinterObjectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(test::PrintSystemAnswers(), "the print queue is not running"); }

    // With no "lp" on the search path the document ends with that said, and
    // nothing is queued.
    void missingPrintCommandIsNamed() {
        const int last = test::LastJobId();
        QTemporaryDir withoutLp;
        QVERIFY(withoutLp.isValid());
        QString message;
        {
            const ScopedEnvironment path("PATH", QFile::encodeName(withoutLp.path()));
            Printer().SetTitle(QStringLiteral("printer_object_tests ohne lp"));
            Printer().BeginDoc();
            Printer().Canvas().TextOut(0, 0, QStringLiteral("nie gedruckt"));
            try {
                Printer().EndDoc();
            } catch (const toolkit::EPrinter& error) {
                message = QString::fromUtf8(error.what());
            }
        }
        QCOMPARE(message, QStringLiteral("Der Druckbefehl „lp“ des Systems wurde nicht gefunden"));
        QVERIFY(!Printer().Printing());
        QCOMPARE(test::LastJobId(), last);
    }
};

} // namespace tessaldrin::versioninfo

TM_QT_TEST_MAIN(tessaldrin::versioninfo::PrinterObjectTest)
#include "printer_object_test.moc"
