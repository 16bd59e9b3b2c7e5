#include "gui/qt/tfm_tlm_start.h"

#include "app/confirmation.h"
#include "toolkit/application.h"

#include <QShowEvent>

namespace tessaldrin {

TfmTLMStart::TfmTLMStart(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    // A fixed dialog border: a close box, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QString warning;
    for (std::size_t line = 0; line < kConfirmationWarning.size(); ++line) {
        if (line > 0) {
            warning += '\n';
        }
        const std::string_view text = kConfirmationWarning[line];
        warning += QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    Memo1->setPlainText(warning);
    connect(Edit1, &QLineEdit::textChanged, this,
            [this] { toolkit::CallHandler([this] { Edit1Change(); }); });
}

void TfmTLMStart::FormShow() {
    Edit1->setText(QString());
    // setText signals a change only when the text was not empty already.
    Edit1Change();
    // The entry is the one control to type into, so typing starts there.
    Edit1->setFocus();
}

void TfmTLMStart::Edit1Change() {
    bbtnWeiter->setEnabled(IsConfirmationWord(Edit1->text().toStdString()));
}

void TfmTLMStart::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        toolkit::CallHandler([this] { FormShow(); });
    }
}

} // namespace tessaldrin
