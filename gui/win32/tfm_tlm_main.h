// The main window in Win32: the run log, the port choice, Start and Close. A
// run's steps need no toolkit; the window gives them the port and its path.
#pragma once

#include "app/port_choice.h"
#include "filetable/dm_files.h"
#include "gui/win32/mem_log.h"
#include "gui/window_start.h"
#include "toolkit/windows/form.h"
#include "versioninfo/evi_komp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin {

class TfmTLMStart;

class TfmTLMMain : public toolkit::TForm, public gui::MainForm {
public:
    // Builds the window hidden and runs FormCreate.
    explicit TfmTLMMain(toolkit::TApplication& application);

    // The forms that start-up creates after the main window.
    void SetDataModule(filetable::TdmFiles* dataModule) override;
    void SetConfirmationDialog(TfmTLMStart* dialog) { confirmation_ = dialog; }

    // Shows the window as the application's main form: FormShow first, then
    // the window, when the user confirmed; otherwise the window is closed.
    // Returns whether the window is now shown and waits for the user.
    bool ShowMainForm() override;

    void FormCreate();
    // The confirmation, modally, before the window becomes visible. Returns
    // true (and enables Start) when the dialog ended with OK.
    bool FormShow();
    void sbtnStartClick();
    void sbtnCloseClick();

    // The program's version information, shown in the Win32 version window.
    std::unique_ptr<versioninfo::TEVI> EVI1;
    // EVI1's OnDatenSammeln: the program adds no lines of its own.
    void EVI1DatenSammeln(versioninfo::TEVI* Sender, std::vector<std::string>& slInfo);
    // Collects the version information and sends it to `kind`; returns when
    // that output is done (the screen's window is modal).
    void ShowVersionInfo(versioninfo::TExVersionInfoTyp kind);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    MemLog log_;
    filetable::TdmFiles* dataModule_ = nullptr;
    TfmTLMStart* confirmation_ = nullptr;
    std::string programPath_; // whose directory a run searches
    // The server port of the next run; set by Start from the port choice.
    std::int32_t Port = kStandardPort;
    bool running_ = false; // a run is under way, off the window's thread
};

} // namespace tessaldrin
