// A piece of work on a thread of its own, for the window programs' runs:
// what it throws is kept for the thread that waits for it. Toolkit-free; the
// waiting is each toolkit's own (run_repainting.h).
#pragma once

#include <exception>
#include <functional>
#include <thread>
#include <utility>

namespace tessaldrin::toolkit {

class Worker {
public:
    // Starts `work`; `ended` is called on the worker's thread once it has
    // ended, thrown or not, to wake the waiting thread.
    Worker(std::function<void()> work, std::function<void()> ended)
        : thread_([this, work = std::move(work), ended = std::move(ended)] {
              try {
                  work();
              } catch (...) {
                  failure_ = std::current_exception();
              }
              ended();
          }) {}
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    // Waits for the thread and throws what the work threw.
    void Join() {
        thread_.join();
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

private:
    std::exception_ptr failure_;
    std::thread thread_; // last: it starts once the rest is there
};

} // namespace tessaldrin::toolkit
