// The process entry of the window program.
#include "app/program_start.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
    tessaldrin::toolkit::TApplication application(argc, argv);
    return tessaldrin::RunProgram(application);
}
