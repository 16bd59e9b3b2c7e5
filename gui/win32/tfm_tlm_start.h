// The confirmation dialog in Win32: a warning that the user must answer by
// typing the confirmation word before the main window can be used.
#pragma once

#include "gui/window_start.h"
#include "toolkit/windows/form.h"

namespace tessaldrin {

class TfmTLMStart : public toolkit::TForm, public gui::Form {
public:
    // Builds the dialog hidden.
    explicit TfmTLMStart(toolkit::TApplication& application);

    // Shows the dialog modally: FormShow, then the dialog's own message loop.
    // Returns IDOK when the user confirmed with "Weiter", IDCANCEL otherwise.
    int ShowModal();

    // The show handler: empties the entry, which disables "Weiter".
    void FormShow();
    // The entry's change handler: "Weiter" is enabled exactly while the whole
    // entry is the confirmation word.
    void Edit1Change();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace tessaldrin
