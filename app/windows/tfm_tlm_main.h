// The main window in Win32: the run log, the port choice, Start and Close.
// It owns the adjustment's state and steps, which need no toolkit.
#pragma once

#include "app/adjustment.h"
#include "app/windows/mem_log.h"
#include "toolkit/windows/form.h"

#include <memory>

namespace tessaldrin {

class TfmTLMStart;

class TfmTLMMain : public toolkit::TForm {
public:
    // Builds the window hidden and runs FormCreate.
    explicit TfmTLMMain(toolkit::TApplication& application);
    // Runs FormDestroy.
    ~TfmTLMMain() override;

    // The forms that start-up creates after the main window.
    void SetDataModule(filetable::TdmFiles* dataModule);
    void SetConfirmationDialog(TfmTLMStart* dialog) { confirmation_ = dialog; }

    // Shows the window as the application's main form: FormShow first, then
    // the window, when the user confirmed; otherwise the window is closed.
    // Returns whether the window is now shown and waits for the user.
    bool ShowMainForm();

    void FormCreate();
    // The confirmation, modally, before the window becomes visible. Returns
    // true (and enables Start) when the dialog ended with OK.
    bool FormShow();
    void FormDestroy();
    void sbtnStartClick();
    void sbtnCloseClick();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    MemLog log_;
    std::unique_ptr<Adjustment> adjustment_; // holds FileList
    TfmTLMStart* confirmation_ = nullptr;
};

} // namespace tessaldrin
