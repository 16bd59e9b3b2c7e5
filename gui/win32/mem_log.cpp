#include "gui/win32/mem_log.h"

#include "toolkit/windows/dialog_keyboard.h"

namespace tessaldrin {
namespace {

// `entry` with every line feed form as CR LF, the only line break that a
// multi-line edit shows.
std::string ShownText(const std::string& entry) {
    std::string shown;
    shown.reserve(entry.size());
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '\r' || entry[i] == '\n') {
            shown += "\r\n";
            if (entry[i] == '\r' && i + 1 < entry.size() && entry[i + 1] == '\n') {
                ++i;
            }
        } else {
            shown += entry[i];
        }
    }
    return shown;
}

} // namespace

MemLog::MemLog(HWND control) : control_(control) {
    SendMessageA(control_, EM_SETLIMITTEXT, 0, 0);
    // The log stays editable, and a key typed into it must not replace a run's output.
    toolkit::KeepSelectionOnTab(control_);
}

void MemLog::append(const std::string& entry) {
    const LRESULT end = SendMessageA(control_, WM_GETTEXTLENGTH, 0, 0);
    // Text typed before the first entry keeps its own line.
    const std::string text = (written_ || end > 0 ? "\r\n" : "") + ShownText(entry);
    SendMessageA(control_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(control_, EM_SCROLLCARET, 0, 0);
    written_ = true;
    UpdateWindow(control_);
}

void MemLog::Clear() {
    SetWindowTextA(control_, "");
    written_ = false;
}

} // namespace tessaldrin
