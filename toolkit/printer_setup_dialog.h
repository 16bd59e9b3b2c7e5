// The system's printer setup dialog: its choices (printer, copies, page,
// orientation) apply to the process-wide printer object.
#pragma once

class QWidget;

namespace tessaldrin::toolkit {

class TPrinterSetupDialog {
public:
    // Shows the dialog modally over `parent`; true when the user accepted it.
    bool Execute(QWidget* parent = nullptr);
};

} // namespace tessaldrin::toolkit
