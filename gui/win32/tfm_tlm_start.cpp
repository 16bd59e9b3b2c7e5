#include "gui/win32/tfm_tlm_start.h"

#include "app/confirmation.h"
#include "gui/win32/tfm_tlm_start_layout.h"

#include <string>

namespace tessaldrin {

using namespace start_dialog;

TfmTLMStart::TfmTLMStart(toolkit::TApplication& application)
    : TForm(application, kForm, kControls) {
    std::string warning;
    for (std::size_t line = 0; line < kConfirmationWarning.size(); ++line) {
        warning += (line > 0 ? "\r\n" : "") + std::string(kConfirmationWarning[line]);
    }
    SetWindowTextA(Control(kMemo1), warning.c_str());
}

int TfmTLMStart::ShowModal() {
    // Before the dialog is visible, so that nothing typed into it is lost.
    Application().CallHandler([this] { FormShow(); });
    ShowCentred();
    return RunModal();
}

void TfmTLMStart::FormShow() {
    SetWindowTextA(Control(kEdit1), "");
    // Emptying an empty entry is no change the edit reports.
    Edit1Change();
    // The entry is the one control to type into, so typing starts there
    // once the dialog is shown.
    Focus(kEdit1);
}

void TfmTLMStart::Edit1Change() {
    EnableWindow(Control(kBbtnWeiter), IsConfirmationWord(Text(kEdit1)) ? TRUE : FALSE);
}

LRESULT TfmTLMStart::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kEdit1 && code == EN_CHANGE) {
            Application().CallHandler([this] { Edit1Change(); });
        } else if (id == kBbtnWeiter && code == BN_CLICKED && IsWindowEnabled(Control(id))) {
            // Enter sends this too; it counts only while the word is typed.
            SetModalResult(IDOK);
        } else if (id == kBitBtn2 && code == BN_CLICKED) {
            SetModalResult(IDCANCEL); // Abbrechen or Esc
        }
        return 0;
    }
    case WM_CLOSE:
        SetModalResult(IDCANCEL); // the close box: hidden, not destroyed
        return 0;
    case WM_ENDSESSION:
        if (wParam != 0) {
            SetModalResult(IDCANCEL);
        }
        return 0;
    default:
        return TForm::HandleMessage(message, wParam, lParam);
    }
}

} // namespace tessaldrin
