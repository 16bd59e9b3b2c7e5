#include "toolkit/run_repainting.h"

#include "toolkit/worker.h"

#include <QEventLoop>
#include <QMetaObject>

#include <atomic>

namespace tessaldrin::toolkit {

void RunRepainting(const std::function<void()>& work) {
    QEventLoop waiting;
    std::atomic<bool> ended{false};
    Worker worker(work, [&] {
        ended = true;
        QMetaObject::invokeMethod(
            &waiting, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    // An application told to quit ends every event loop, this one too: it is
    // entered again until the work has ended, and the main loop ends after.
    while (!ended) {
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    }
    worker.Join();
}

} // namespace tessaldrin::toolkit
