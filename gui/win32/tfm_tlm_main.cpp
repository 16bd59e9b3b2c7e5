#include "gui/win32/tfm_tlm_main.h"

#include "app/start_run.h"
#include "gui/win32/tfm_tlm_main_layout.h"
#include "gui/win32/tfm_tlm_start.h"
#include "platform/module_file_name.h"
#include "toolkit/run_repainting.h"
#include "versioninfo/version_switches.h"
#include "versioninfo/windows/version_startup.h"

#include <stdexcept>

namespace tessaldrin {

using namespace main_window;

namespace {

constexpr const toolkit::ControlSpec& Layout(int id) {
    for (const toolkit::ControlSpec& control : kControls) {
        if (control.id == id) {
            return control;
        }
    }
    throw std::logic_error("Tessaldrin-Mover: no such control");
}

// The port edit holds as many digits as the port choice reads.
static_assert(Layout(kEdPortCustom).textLimit == kCustomPortDigitsMax);

// memLog is aligned to the top: the window keeps its height from the layout.
constexpr int kMemLogHeight = Layout(kMemLog).bounds.height;

} // namespace

TfmTLMMain::TfmTLMMain(toolkit::TApplication& application)
    : TForm(application, kForm, kControls), EVI1(versioninfo::CreateVersionInfo()),
      log_(Control(kMemLog)), programPath_(platform::ModuleFileName()) {
    // EVI1 with its stored settings; the identity writes are ignored by design.
    versioninfo::SetStoredSettings(*EVI1);
    EVI1->OnDatenSammeln = [this](versioninfo::TEVI* sender, std::vector<std::string>& lines) {
        EVI1DatenSammeln(sender, lines);
    };
    Application().CallHandler([this] { FormCreate(); });
}

void TfmTLMMain::SetDataModule(filetable::TdmFiles* dataModule) {
    dataModule_ = dataModule;
}

void TfmTLMMain::FormCreate() {
    log_.Clear();
    // Typed digits only: the port is read as a decimal number.
    const HWND edit = Control(kEdPortCustom);
    SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | ES_NUMBER);
    Port = kStandardPort;
    // The version settings and the command-line switches, last, so that a
    // failing version output skips nothing else of the creation.
    versioninfo::SetVersionAndRunSwitches(
        *EVI1, Application().Arguments(),
        [this](versioninfo::TExVersionInfoTyp kind) { ShowVersionInfo(kind); });
}

void TfmTLMMain::EVI1DatenSammeln(versioninfo::TEVI*, std::vector<std::string>&) {}

void TfmTLMMain::ShowVersionInfo(versioninfo::TExVersionInfoTyp kind) {
    EVI1->Info(kind);
}

bool TfmTLMMain::FormShow() {
    if (confirmation_ == nullptr) {
        throw std::logic_error("Tessaldrin-Mover: no confirmation dialog");
    }
    const bool confirmed = confirmation_->ShowModal() == IDOK;
    if (confirmed) {
        EnableWindow(Control(kSbtnStart), TRUE);
    }
    return confirmed;
}

bool TfmTLMMain::ShowMainForm() {
    bool confirmed = false;
    Application().CallHandler([this, &confirmed] { confirmed = FormShow(); });
    // A logoff during the confirmation may have closed the window already.
    if (Handle() == nullptr) {
        return false;
    }
    if (!confirmed) {
        Close();
        return false;
    }
    ShowCentred();
    return true;
}

void TfmTLMMain::sbtnStartClick() {
    const PortButtons buttons{Checked(kRbtnPortCustom), Checked(kRbtnPortKorvanta),
                              Text(kEdPortCustom)};
    running_ = true;
    try {
        toolkit::RunRepainting([&] { StartRun(dataModule_, programPath_, buttons, Port, log_); });
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
}

void TfmTLMMain::sbtnCloseClick() {
    Close();
}

LRESULT TfmTLMMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CLOSE:
        // While a run goes on, the window only repaints: a click or a close
        // sent to it meanwhile waits in the queue until the run is over.
        if (running_) {
            PostMessageA(Handle(), message, wParam, lParam);
            return 0;
        }
        if (message == WM_CLOSE) {
            return TForm::HandleMessage(message, wParam, lParam);
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kSbtnStart) {
            Application().CallHandler([this] { sbtnStartClick(); });
        } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kSbtnClose) {
            Application().CallHandler([this] { sbtnCloseClick(); });
        }
        return 0;
    case WM_SIZE:
        // memLog is aligned to the top: full width, its own height.
        SetWindowPos(Control(kMemLog), nullptr, 0, 0, LOWORD(lParam), kMemLogHeight,
                     SWP_NOZORDER | SWP_NOMOVE);
        return 0;
    case WM_QUERYENDSESSION:
        // A run is never cut short: the session may end once it is over.
        return running_ ? FALSE : TRUE;
    case WM_ENDSESSION:
        if (wParam != 0) {
            Close();
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return TForm::HandleMessage(message, wParam, lParam);
    }
}

} // namespace tessaldrin
