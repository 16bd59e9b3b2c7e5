#include "qt_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <memory>

namespace tessaldrin::versioninfo::test {

std::shared_ptr<bool> OnModal(std::function<bool(QWidget&)> action, int timeoutMs) {
    auto done = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, done, clock, action, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible() && action(*modal)) {
            *done = true;
        }
        if (*done || clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(50);
    return done;
}

std::optional<QString> RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Q(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Q(const std::vector<std::string>& texts) {
    QStringList converted;
    for (const std::string& text : texts) {
        converted.append(Q(text));
    }
    return converted;
}

} // namespace tessaldrin::versioninfo::test
