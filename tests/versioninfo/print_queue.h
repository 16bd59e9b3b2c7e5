// What the printing tests read back from the real print queues ("PDF" unless
// a test names another): their jobs, the document that the queue received for a job, and the PDF
// file that the cups-pdf printer wrote for it.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tessaldrin::versioninfo::test {

struct PrintJob {
    int id = 0;
    QString name;
    QString state;
    // The paper and orientation that the job asked the queue for, as IPP
    // names them ("A5", "landscape"); empty when it asked for none.
    QString media;
    QString orientation;
};

// The queue that the print system offers as its default.
inline const char* const kDefaultQueue = "PDF";

// Every job that the queue knows, oldest first, without names; nothing when
// the print system cannot be asked.
std::optional<QList<PrintJob>> QueueJobs(const QString& queue = kDefaultQueue);

// One job with its name and what it asked for.
std::optional<PrintJob> QueueJob(int jobId, const QString& queue = kDefaultQueue);

// The highest job number so far, 0 for none.
int LastJobId(const QString& queue = kDefaultQueue);

// Waits until the first job after `afterId` named `name` has completed;
// nothing when none completes within `timeoutMs`.
std::optional<PrintJob> WaitForCompletedJob(int afterId, const QString& name,
                                            int timeoutMs = 60'000,
                                            const QString& queue = kDefaultQueue);

// The document as the queue received it (the spool keeps it once printed).
QString SpoolDocument(int jobId);

// The PDF file that the cups-pdf printer wrote for the job; empty when it
// does not appear within `timeoutMs`.
QString CupsPdfOutput(int jobId, int timeoutMs = 30'000);

// True when the print system's scheduler answers.
bool PrintSystemAnswers();

} // namespace tessaldrin::versioninfo::test
