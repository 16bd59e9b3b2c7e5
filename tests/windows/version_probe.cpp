// What the Win32 window program's start does for the version report, on its
// own: the common start-up of both window programs over a main window that
// holds only the collector EVI1, whose creation gives it the version texts
// and carries out the switches of the command line (a failing output shown
// by the exception display), and that ends where the confirmation would be
// asked, as a cancelled one ends the program. The tests start it with
// switches from where they need the program to be, with the stand-in client
// library beside it as gds32.dll for the data module's creation.
#include "filetable/dm_files.h"
#include "gui/window_start.h"
#include "toolkit/windows/application.h"
#include "versioninfo/version_switches.h"
#include "versioninfo/windows/version_startup.h"

#include <memory>

namespace {

using namespace tessaldrin;

class ProbeMainWindow : public gui::MainForm {
public:
    explicit ProbeMainWindow(toolkit::TApplication& application)
        : EVI1(versioninfo::CreateVersionInfo()) {
        versioninfo::SetStoredSettings(*EVI1);
        application.CallHandler([this, &application] {
            versioninfo::SetVersionAndRunSwitches(
                *EVI1, application.Arguments(),
                [this](versioninfo::TExVersionInfoTyp kind) { EVI1->Info(kind); });
        });
    }
    void SetDataModule(filetable::TdmFiles*) override {}
    bool ShowMainForm() override { return false; }

private:
    std::unique_ptr<versioninfo::TEVI> EVI1;
};

class ProbeProgram : public gui::WindowProgram {
public:
    explicit ProbeProgram(toolkit::TApplication& application) : application_(application) {}

    void SetTitle(const char* title) override { application_.SetTitle(title); }
    std::unique_ptr<gui::MainForm> CreateMainForm() override {
        return std::make_unique<ProbeMainWindow>(application_);
    }
    std::unique_ptr<gui::Form> CreateConfirmation(gui::MainForm&) override {
        return std::make_unique<gui::Form>();
    }
    bool Ending() const override { return false; }
    void Run() override { application_.Run(); }
    void HandleException() override { application_.HandleException(); }

private:
    toolkit::TApplication& application_;
};

} // namespace

int main(int argc, char** argv) {
    toolkit::TApplication application(GetModuleHandleA(nullptr), {argv + 1, argv + argc});
    ProbeProgram program(application);
    return gui::RunProgram(program, filetable::kClientLibraryName);
}
