// The main window: the run log, the port choice, Start and Close. A run's
// steps need no toolkit; the window gives them the port and its program path.
#pragma once

#include "app/run_adjustment.h"
#include "gui/qt/mem_log.h"
#include "gui/window_start.h"
#include "ui_tfm_tlm_main.h"
#include "versioninfo/evi_komp.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace tessaldrin {

class TfmTLMStart;

class TfmTLMMain : public QWidget, public Ui_TfmTLMMain, public gui::MainForm {
    Q_OBJECT

public:
    // Builds the window and runs FormCreate. `programPath` is the program file
    // whose directory a run searches; empty means this process's executable.
    explicit TfmTLMMain(QWidget* parent = nullptr, std::string programPath = {});
    ~TfmTLMMain() override;

    // The forms that start-up creates after the main window.
    void SetDataModule(filetable::TdmFiles* dataModule) override;
    void SetConfirmationDialog(TfmTLMStart* dialog) { confirmation_ = dialog; }

    // Shows the window as the application's main form: FormShow first, then
    // the window, when the user confirmed; otherwise the window is closed.
    // Returns whether the window is now shown and waits for the user.
    bool ShowMainForm() override;

    // The run log over memLog.
    MemLog& Log() { return *log_; }
    // The data module that runs talk to; null until start-up sets it.
    filetable::TdmFiles* DataModule() const { return dataModule_; }

    // The server port of the next run; set by Start from the port choice.
    std::int32_t Port = kStandardPort;

    void FormCreate();
    // The confirmation, modally, before the window becomes visible. Returns
    // true (and enables Start) when the dialog ended with OK.
    bool FormShow();
    // The run, on a thread of its own, while this one handles no input but
    // repaints the window; returns when the run is over.
    void sbtnStartClick();
    void sbtnCloseClick();

    // The program's version information; a child of the window, not visible.
    std::unique_ptr<versioninfo::TEVI> EVI1;
    // EVI1's OnDatenSammeln: the program adds no lines of its own.
    void EVI1DatenSammeln(versioninfo::TEVI* Sender, std::vector<std::string>& slInfo);
    // Collects the version information and sends it to `kind`; returns when
    // that output is done (the screen's window is modal).
    void ShowVersionInfo(versioninfo::TExVersionInfoTyp kind);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceInScreenCentre();

    std::unique_ptr<MemLog> log_;
    filetable::TdmFiles* dataModule_ = nullptr;
    TfmTLMStart* confirmation_ = nullptr;
    std::string programPath_; // whose directory a run searches
};

} // namespace tessaldrin
