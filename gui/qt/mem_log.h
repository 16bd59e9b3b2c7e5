// The run log of the main window, over its multi-line text memLog.
#pragma once

#include "runlog/run_log.h"

#include <string>
#include <vector>

class QPlainTextEdit;

namespace tessaldrin {

// Each entry is one paragraph of the control. Line feeds inside an entry (LF,
// CR LF or CR) are shown as line breaks within that paragraph, so that the
// entry stays one entry however many lines it takes on the screen.
class MemLog : public RunLog {
public:
    explicit MemLog(QPlainTextEdit& control) : control_(control) {}

    // From any thread: a run appends from a thread of its own, and the entry
    // is on the control, on the control's thread, when append returns.
    void append(const std::string& entry) override;

    // Empties the log; the next entry becomes the first line.
    void Clear();

    // The entries as the control now holds them, each line break within an
    // entry as one "\n"; empty when nothing was written since Clear and
    // nothing was typed.
    std::vector<std::string> Entries() const;

private:
    void AppendHere(const std::string& entry);

    QPlainTextEdit& control_;
    bool written_ = false; // an entry was appended since the log was emptied
};

} // namespace tessaldrin
