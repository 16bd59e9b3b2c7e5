// The run log of the Win32 main window, over its multi-line edit memLog.
#pragma once

#include "platform/windows/windows_api.h"
#include "runlog/run_log.h"

#include <string>

namespace tessaldrin {

// Each entry starts a line of the edit; its line feeds (LF, CR LF or CR) are
// shown as the edit's line breaks, CR LF. An entry is on the screen when
// append returns: the run goes on without the message loop.
class MemLog : public RunLog {
public:
    // Lifts the edit's text limit, as the log grows with every run, and keeps
    // Tab from selecting the whole log.
    explicit MemLog(HWND control);

    void append(const std::string& entry) override;

    // Empties the log; the next entry becomes the first line.
    void Clear();

private:
    HWND control_;
    bool written_ = false; // an entry was appended since the log was emptied
};

} // namespace tessaldrin
