// TfmEVI: the version window. It shows the report read-only and offers to
// print it, to set up the printer and to write the report file.
#pragma once

#include "toolkit/printer_setup_dialog.h"
#include "ui_f_evi.h"

#include <QDialog>

namespace tessaldrin::versioninfo {

class TDOzadi;
class TEVI;

class TfmEVI : public QDialog, public Ui::TfmEVI {
    Q_OBJECT

public:
    // Made only by the collector, which it reports back to; `owner` outlives it.
    explicit TfmEVI(TEVI* owner);
    ~TfmEVI() override;

    toolkit::TPrinterSetupDialog PSDlg;
    // The collector's printer wrapper, set before the window is shown; not owned.
    TDOzadi* DOzadi = nullptr;

    // Collect the report anew and print it; the memo keeps what it shows.
    void bbtnDruckenClick();
    // The printer setup dialog, or the note that no printer is installed.
    void bbtnDruckerEinrichtenClick();
    // Collect the report anew and write the report file.
    void bbtnFileClick();

private:
    TEVI* owner_;
};

// The collector's report in a new TfmEVI, shown modally: the collector's
// VersionInfoScreen with Qt. A general error while filling or showing it is
// shown in an untitled message box; the window lives only while it is shown.
void ShowVersionWindow(TEVI& collector);

} // namespace tessaldrin::versioninfo
