#include "gui/qt/tfm_tlm_main.h"

#include "app/start_run.h"
#include "gui/qt/tfm_tlm_start.h"
#include "platform/module_file_name.h"
#include "toolkit/application.h"
#include "toolkit/run_repainting.h"
#include "versioninfo/f_evi.h"
#include "versioninfo/version_switches.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tessaldrin {

TfmTLMMain::TfmTLMMain(QWidget* parent, std::string programPath)
    : QWidget(parent),
      programPath_(programPath.empty() ? platform::ModuleFileName() : std::move(programPath)) {
    setupUi(this);
    // EVI1 with its stored settings; the identity writes are ignored by design.
    EVI1 = std::make_unique<versioninfo::TEVI>(versioninfo::ShowVersionWindow);
    versioninfo::SetStoredSettings(*EVI1);
    EVI1->OnDatenSammeln = [this](versioninfo::TEVI* sender, std::vector<std::string>& lines) {
        EVI1DatenSammeln(sender, lines);
    };
    log_ = std::make_unique<MemLog>(*memLog);
    connect(sbtnStart, &QToolButton::clicked, this,
            [this] { toolkit::CallHandler([this] { sbtnStartClick(); }); });
    connect(sbtnClose, &QToolButton::clicked, this,
            [this] { toolkit::CallHandler([this] { sbtnCloseClick(); }); });
    toolkit::CallHandler([this] { FormCreate(); });
}

TfmTLMMain::~TfmTLMMain() = default;

void TfmTLMMain::SetDataModule(filetable::TdmFiles* dataModule) {
    dataModule_ = dataModule;
}

void TfmTLMMain::FormCreate() {
    log_->Clear();
    // Digits only, typed or pasted: the port is read as a decimal number.
    edPortCustom->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edPortCustom));
    Port = kStandardPort;

    // Version settings and command-line switches: the last steps, so that a
    // failing version output skips nothing else of the window's creation.
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        arguments.push_back(argument.toLocal8Bit().toStdString());
    }
    versioninfo::SetVersionAndRunSwitches(
        *EVI1, arguments, [this](versioninfo::TExVersionInfoTyp kind) { ShowVersionInfo(kind); });
}

bool TfmTLMMain::FormShow() {
    if (confirmation_ == nullptr) {
        throw std::logic_error("Tessaldrin-Mover: no confirmation dialog");
    }
    const bool confirmed = confirmation_->exec() == QDialog::Accepted;
    if (confirmed) {
        sbtnStart->setEnabled(true);
    }
    return confirmed;
}

bool TfmTLMMain::ShowMainForm() {
    bool confirmed = false;
    toolkit::CallHandler([this, &confirmed] { confirmed = FormShow(); });
    if (!confirmed) {
        close();
        return false;
    }
    PlaceInScreenCentre();
    show();
    return true;
}

void TfmTLMMain::PlaceInScreenCentre() {
    const QScreen* shown = screen();
    if (shown == nullptr) {
        return;
    }
    const QRect area = shown->availableGeometry();
    const QPoint centred = area.center() - rect().center();
    // On a screen smaller than the window the title bar stays reachable.
    move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

void TfmTLMMain::sbtnStartClick() {
    // The port choice as the click finds it; input waits until the run is over.
    const PortButtons buttons{rbtnPortCustom->isChecked(), rbtnPortKorvanta->isChecked(),
                              edPortCustom->text().toStdString()};
    // An exception goes to the exception display through the click's handler.
    toolkit::RunRepainting([&] { StartRun(dataModule_, programPath_, buttons, Port, *log_); });
}

void TfmTLMMain::EVI1DatenSammeln(versioninfo::TEVI*, std::vector<std::string>&) {}

void TfmTLMMain::ShowVersionInfo(versioninfo::TExVersionInfoTyp kind) {
    EVI1->Info(kind);
}

void TfmTLMMain::sbtnCloseClick() {
    close();
}

void TfmTLMMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The log is aligned to the top: full width, its own height.
    memLog->setGeometry(0, 0, event->size().width(), memLog->height());
}

} // namespace tessaldrin
