// The confirmation dialog: a warning that the user must answer by typing the
// confirmation word before the main window can be used.
#pragma once

#include "gui/window_start.h"
#include "ui_tfm_tlm_start.h"

#include <QDialog>

namespace tessaldrin {

class TfmTLMStart : public QDialog, public Ui_TfmTLMStart, public gui::Form {
    Q_OBJECT

public:
    explicit TfmTLMStart(QWidget* parent = nullptr);

    // The show handler: empties the entry, which disables "Weiter".
    void FormShow();
    // The entry's change handler: "Weiter" is enabled exactly while the whole
    // entry is the confirmation word.
    void Edit1Change();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tessaldrin
