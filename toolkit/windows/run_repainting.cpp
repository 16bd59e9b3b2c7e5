#include "platform/windows/windows_api.h"

#include "toolkit/run_repainting.h"
#include "toolkit/worker.h"

namespace tessaldrin::toolkit {
namespace {

// An event that the worker sets when it has ended.
class EndedEvent {
public:
    EndedEvent() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~EndedEvent() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    EndedEvent(const EndedEvent&) = delete;
    EndedEvent& operator=(const EndedEvent&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

void RunRepainting(const std::function<void()>& work) {
    const EndedEvent ended;
    Worker worker(work, [&ended] { SetEvent(ended.get()); });
    // Only WM_PAINT is taken from the queue: input and everything posted wait
    // there until the run is over. Messages sent to the windows (the log's
    // entries from the worker among them) are handled while waiting.
    const HANDLE waitFor = ended.get();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE) ==
            WAIT_OBJECT_0) {
            break;
        }
    }
    worker.Join();
}

} // namespace tessaldrin::toolkit
