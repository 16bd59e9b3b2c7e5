// The process entry of the Win32 window program.
#include "gui/win32/program_start.h"
#include "toolkit/windows/application.h"

int main(int argc, char** argv) {
    tessaldrin::toolkit::TApplication application(GetModuleHandleA(nullptr),
                                                  {argv + 1, argv + argc});
    return tessaldrin::RunProgram(application);
}
