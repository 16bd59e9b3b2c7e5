#include "qt_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <memory>

namespace tessaldrin::test {
namespace {

constexpr int kPollMs = 5;
constexpr qint64 kGiveUpMs = 10000;

// The test function and data row now running.
QString CurrentTest() {
    return QString::fromLatin1(QTest::currentTestFunction()) + '/' +
           QString::fromLatin1(QTest::currentDataTag());
}

} // namespace

void WhenReady(std::function<bool()> ready, std::function<void()> act) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const QString owner = CurrentTest();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, owner, ready, act] {
        if (CurrentTest() != owner) {
            // Left over from a test that has ended: its objects are gone.
            timer->stop();
            timer->deleteLater();
        } else if (ready()) {
            timer->stop();
            timer->deleteLater();
            act();
        } else if (clock->elapsed() > kGiveUpMs) {
            timer->stop();
            timer->deleteLater();
            QTest::qFail("the awaited window state did not come", __FILE__, __LINE__);
            QApplication::closeAllWindows();
        }
    });
    timer->start(kPollMs);
}

bool SaveRender(QWidget& window, const QString& name) {
    const QDir dir(QStringLiteral(TM_RENDER_DIR));
    return dir.mkpath(".") && window.grab().save(dir.filePath(name + ".png"), "PNG");
}

} // namespace tessaldrin::test
