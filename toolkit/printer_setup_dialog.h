// The printer setup dialog: the choice of printer, paper and orientation for
// the process-wide printer object, and so for its next printout.
#pragma once

class QWidget;

namespace tessaldrin::toolkit {

class TPrinterSetupDialog {
public:
    // Shows the dialog modally over `parent`; true when the user accepted it,
    // and only then are the choices applied.
    bool Execute(QWidget* parent = nullptr);
};

} // namespace tessaldrin::toolkit
