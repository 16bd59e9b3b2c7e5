// What the Win32 main window's creation does for the version report, on its
// own: the collector EVI1 and the switches of its command line, a failing
// output shown by the exception display. The tests start it with switches
// from where they need the program to be.
#include "toolkit/windows/exception_display.h"
#include "versioninfo/windows/version_startup.h"

int main() {
    tessaldrin::toolkit::SetApplicationTitle("Tessaldrin-Mover");
    const auto EVI1 = tessaldrin::versioninfo::CreateVersionInfo();
    tessaldrin::toolkit::CallHandler([&] { tessaldrin::versioninfo::StartVersionInfo(*EVI1); });
    return 0;
}
