#include "gui/win32/program_start.h"

#include "filetable/dm_files.h"
#include "gui/win32/tfm_tlm_main.h"
#include "gui/win32/tfm_tlm_start.h"

#include <memory>

namespace tessaldrin {

int RunProgram(toolkit::TApplication& application) {
    application.SetTitle("Tessaldrin-Mover");
    // Declared so that the main window goes first on the way out, then the
    // dialog it shows, then the data module the window's adjustment points to.
    std::unique_ptr<filetable::TdmFiles> dmFiles;
    std::unique_ptr<TfmTLMStart> fmTLMStart;
    std::unique_ptr<TfmTLMMain> fmTLMMain;
    try {
        fmTLMMain = std::make_unique<TfmTLMMain>(application);
        dmFiles = std::make_unique<filetable::TdmFiles>();
        fmTLMMain->SetDataModule(dmFiles.get());
        fmTLMStart = std::make_unique<TfmTLMStart>(application);
        fmTLMMain->SetConfirmationDialog(fmTLMStart.get());
        if (fmTLMMain->ShowMainForm()) {
            application.Run();
        }
    } catch (...) {
        application.HandleException();
    }
    return 0;
}

} // namespace tessaldrin
