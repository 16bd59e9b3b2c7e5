#include "print_queue.h"

#include "qt_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace tessaldrin::versioninfo::test {
namespace {

// cups-pdf writes into the job owner's home, below PDF (its configuration's "Out").
QString CupsPdfDirectory() {
    const passwd* user = ::getpwuid(::getuid());
    const QString home = user != nullptr ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
    return home + QStringLiteral("/PDF");
}

void Pause() {
    QThread::msleep(200);
}

// The rows of an ipptool request in its CSV form, without the header row.
std::optional<QList<QStringList>> Ipp(const QString& queue, const QString& testFile,
                                      const QStringList& variables) {
    const QString uri = QStringLiteral("ipp://localhost/printers/") + queue;
    const auto output =
        RunTool(QStringLiteral("ipptool"),
                QStringList{QStringLiteral("-c")} + variables +
                    QStringList{uri, QStringLiteral(TM_VERSIONINFO_TEST_DIR "/") + testFile});
    if (!output) {
        return std::nullopt;
    }
    QList<QStringList> rows;
    const QStringList lines = output->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        rows.append(lines[i].trimmed().split(QLatin1Char(',')));
    }
    return rows;
}

} // namespace

std::optional<QList<PrintJob>> QueueJobs(const QString& queue) {
    const auto rows = Ipp(queue, QStringLiteral("get_jobs.test"), {});
    if (!rows) {
        return std::nullopt;
    }
    QList<PrintJob> jobs;
    for (const QStringList& row : *rows) {
        if (row.size() == 2) {
            jobs.append(PrintJob{row[0].toInt(), QString(), row[1], QString(), QString()});
        }
    }
    std::sort(jobs.begin(), jobs.end(),
              [](const PrintJob& a, const PrintJob& b) { return a.id < b.id; });
    return jobs;
}

std::optional<PrintJob> QueueJob(int jobId, const QString& queue) {
    const auto rows = Ipp(queue, QStringLiteral("get_job.test"),
                          {QStringLiteral("-d"), QStringLiteral("job=%1").arg(jobId)});
    if (!rows || rows->size() != 1 || rows->first().size() != 5) {
        return std::nullopt;
    }
    const QStringList& row = rows->first();
    return PrintJob{row[0].toInt(), row[1], row[2], row[3], row[4]};
}

int LastJobId(const QString& queue) {
    const auto jobs = QueueJobs(queue);
    return jobs && !jobs->isEmpty() ? jobs->last().id : 0;
}

std::optional<PrintJob> WaitForCompletedJob(int afterId, const QString& name, int timeoutMs,
                                            const QString& queue) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        for (const PrintJob& listed : QueueJobs(queue).value_or(QList<PrintJob>{})) {
            if (listed.id <= afterId || listed.state != QLatin1String("completed")) {
                continue;
            }
            const auto job = QueueJob(listed.id, queue);
            if (job && job->name == name) {
                return job;
            }
        }
        Pause();
    }
    return std::nullopt;
}

QString SpoolDocument(int jobId) {
    return QStringLiteral("/var/spool/cups/d%1-001").arg(jobId, 5, 10, QLatin1Char('0'));
}

QString CupsPdfOutput(int jobId, int timeoutMs) {
    // cups-pdf ends each file name with the job number.
    const QString suffix = QStringLiteral("_%1.pdf").arg(jobId);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QFileInfoList files = QDir(CupsPdfDirectory()).entryInfoList(QDir::Files);
        for (const QFileInfo& file : files) {
            if (file.fileName().endsWith(suffix) && file.size() > 0) {
                return file.absoluteFilePath();
            }
        }
        Pause();
    }
    return QString();
}

bool PrintSystemAnswers() {
    const auto output = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-r")});
    return output && output->trimmed() == QLatin1String("scheduler is running");
}

} // namespace tessaldrin::versioninfo::test
