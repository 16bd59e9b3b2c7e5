#include "gui/qt/program_start.h"

#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
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

bool Ending() {
    return platform::TerminationSignal() != 0;
}

} // namespace

int RunProgram(toolkit::TApplication& application, const std::string& clientLibrary) {
    application.SetTitle("Tessaldrin-Mover");
    const CloseOnSignal closeOnSignal(application);
    // Declared so that the main window goes first on the way out, then the
    // dialog it shows, then the data module the window's adjustment points to.
    std::unique_ptr<filetable::TdmFiles> dmFiles;
    std::unique_ptr<TfmTLMStart> fmTLMStart;
    std::unique_ptr<TfmTLMMain> fmTLMMain;
    try {
        fmTLMMain = std::make_unique<TfmTLMMain>();
        dmFiles = std::make_unique<filetable::TdmFiles>(clientLibrary);
        fmTLMMain->SetDataModule(dmFiles.get());
        fmTLMStart = std::make_unique<TfmTLMStart>();
        fmTLMMain->SetConfirmationDialog(fmTLMStart.get());
        // A signal that came before a window was up has nothing to close.
        if (!Ending() && fmTLMMain->ShowMainForm() && !Ending()) {
            application.exec();
        }
    } catch (...) {
        application.HandleException();
    }
    return 0;
}

} // namespace tessaldrin
