#include "gui/window_start.h"

namespace tessaldrin::gui {

int RunProgram(WindowProgram& program, const std::string& clientLibrary) {
    program.SetTitle("Tessaldrin-Mover");
    // Declared so that the main window goes first on the way out, then the
    // dialog it shows, then the data module the window's runs point to.
    std::unique_ptr<filetable::TdmFiles> dmFiles;
    std::unique_ptr<Form> fmTLMStart;
    std::unique_ptr<MainForm> fmTLMMain;
    try {
        fmTLMMain = program.CreateMainForm();
        dmFiles = std::make_unique<filetable::TdmFiles>(clientLibrary);
        fmTLMMain->SetDataModule(dmFiles.get());
        fmTLMStart = program.CreateConfirmation(*fmTLMMain);
        // A signal that came before a window was up has nothing to close.
        if (!program.Ending() && fmTLMMain->ShowMainForm() && !program.Ending()) {
            program.Run();
        }
    } catch (...) {
        program.HandleException();
    }
    return 0;
}

} // namespace tessaldrin::gui
