// The program's standard output and error as text for the user. The messages
// are 8-bit texts in the program's code page; where the output is a console
// that shows another one, they are shown as their characters, and where it is
// a file or a pipe, it receives their bytes unchanged.
#pragma once

#include <iosfwd>

namespace tessaldrin::platform {

std::ostream& ConsoleOutput();
std::ostream& ConsoleError();

} // namespace tessaldrin::platform
