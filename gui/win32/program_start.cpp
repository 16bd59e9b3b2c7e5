#include "gui/win32/program_start.h"

#include "gui/win32/tfm_tlm_main.h"
#include "gui/win32/tfm_tlm_start.h"
#include "gui/window_start.h"

#include <memory>

namespace tessaldrin {

namespace {

// The Win32 forms and message loop behind the common start-up.
class Win32Program : public gui::WindowProgram {
public:
    explicit Win32Program(toolkit::TApplication& application) : application_(application) {}

    void SetTitle(const char* title) override { application_.SetTitle(title); }
    std::unique_ptr<gui::MainForm> CreateMainForm() override {
        auto mainForm = std::make_unique<TfmTLMMain>(application_);
        mainForm_ = mainForm.get();
        return mainForm;
    }
    std::unique_ptr<gui::Form> CreateConfirmation(gui::MainForm&) override {
        auto dialog = std::make_unique<TfmTLMStart>(application_);
        mainForm_->SetConfirmationDialog(dialog.get());
        return dialog;
    }
    // A window program's end comes through its messages (WM_ENDSESSION).
    bool Ending() const override { return false; }
    void Run() override { application_.Run(); }
    void HandleException() override { application_.HandleException(); }

private:
    toolkit::TApplication& application_;
    TfmTLMMain* mainForm_ = nullptr;
};

} // namespace

int RunProgram(toolkit::TApplication& application) {
    Win32Program program(application);
    return gui::RunProgram(program, filetable::kClientLibraryName);
}

} // namespace tessaldrin
