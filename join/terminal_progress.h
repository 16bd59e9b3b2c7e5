// The copy's progress on a terminal: one line, rewritten in place as the
// copy goes on, ended with a line feed at the step after it.
#pragma once

#include "join/join_progress.h"

#include <chrono>
#include <iosfwd>

namespace tessaldrin::join {

class TerminalProgress {
public:
    explicit TerminalProgress(std::ostream& terminal) : terminal_(terminal) {}

    // Shows how far the copy has come: at once, then at most every
    // kInterval, and when it is complete.
    void Show(const JoinProgress& progress);

    static constexpr std::chrono::milliseconds kInterval{200};

private:
    std::ostream& terminal_;
    std::chrono::steady_clock::time_point shownAt_;
    bool shown_ = false;
};

} // namespace tessaldrin::join
