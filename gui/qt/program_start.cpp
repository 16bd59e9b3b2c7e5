#include "gui/qt/program_start.h"

#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "gui/window_start.h"
#include "platform/termination_signals.h"

#include <QApplication>
#include <QMetaObject>

#include <memory>

namespace tessaldrin {

namespace {

// While it lives, SIGINT and SIGTERM close every window on the window thread:
// the confirmation dialog or the main window, once a run in progress has
// returned. The message loop then ends and the program ends as after Close,
// the client library's own shutdown closing what is still open.
class CloseOnSignal {
public:
    explicit CloseOnSignal(toolkit::TApplication& application) {
        platform::SetTerminationAction([&application](int) {
            QMetaObject::invokeMethod(
                &application, [] { QApplication::closeAllWindows(); }, Qt::QueuedConnection);
        });
    }
    ~CloseOnSignal() { platform::SetTerminationAction({}); }
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;
};

// The Qt forms and message loop behind the common start-up.
class QtProgram : public gui::WindowProgram {
public:
    explicit QtProgram(toolkit::TApplication& application) : application_(application) {}

    void SetTitle(const char* title) override { application_.SetTitle(title); }
    std::unique_ptr<gui::MainForm> CreateMainForm() override {
        auto mainForm = std::make_unique<TfmTLMMain>();
        mainForm_ = mainForm.get();
        return mainForm;
    }
    std::unique_ptr<gui::Form> CreateConfirmation(gui::MainForm&) override {
        auto dialog = std::make_unique<TfmTLMStart>();
        mainForm_->SetConfirmationDialog(dialog.get());
        return dialog;
    }
    bool Ending() const override { return platform::TerminationSignal() != 0; }
    void Run() override { application_.exec(); }
    void HandleException() override { application_.HandleException(); }

private:
    toolkit::TApplication& application_;
    TfmTLMMain* mainForm_ = nullptr;
};

} // namespace

int RunProgram(toolkit::TApplication& application, const std::string& clientLibrary) {
    const CloseOnSignal closeOnSignal(application);
    QtProgram program(application);
    return gui::RunProgram(program, clientLibrary);
}

} // namespace tessaldrin
