// The start-up that both window programs share, toolkit-free: the
// application's title, the forms in their order (the main window, whose
// creation gives the version texts and carries out the switches; the data
// module; the confirmation dialog, hidden), then the main form, shown once the
// user confirmed, and the message loop. Each window program supplies its
// forms and its loop over its own toolkit.
#pragma once

#include "filetable/dm_files.h"

#include <memory>
#include <string>

namespace tessaldrin::gui {

// A form as the start-up holds it until the program ends.
class Form {
public:
    virtual ~Form() = default;
};

// The main window as the start-up sees it.
class MainForm : public Form {
public:
    // The data module that runs talk to, created after the main window.
    virtual void SetDataModule(filetable::TdmFiles* dataModule) = 0;
    // FormShow (the confirmation, modally), then the window when the user
    // confirmed; otherwise the window is closed. Returns whether the window
    // is shown and waits for the user.
    virtual bool ShowMainForm() = 0;
};

// A window program: its application object, forms and message loop.
class WindowProgram {
public:
    virtual ~WindowProgram() = default;
    virtual void SetTitle(const char* title) = 0;
    // The main window, built hidden, its FormCreate run.
    virtual std::unique_ptr<MainForm> CreateMainForm() = 0;
    // The confirmation dialog, built hidden and handed to `mainForm`.
    virtual std::unique_ptr<Form> CreateConfirmation(MainForm& mainForm) = 0;
    // Whether a termination signal has asked the program to end.
    virtual bool Ending() const = 0;
    // The message loop, until the main window closes.
    virtual void Run() = 0;
    // The standard exception display, for the exception being handled.
    virtual void HandleException() = 0;
};

// Starts `program` with the client library `clientLibrary` and runs it until
// its main window closes. An exception that escapes start-up is shown by the
// standard exception display and ends the program. Returns the process's
// exit code: 0, whichever way it ends.
int RunProgram(WindowProgram& program, const std::string& clientLibrary);

} // namespace tessaldrin::gui
