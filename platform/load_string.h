// The program's message strings, looked up by number at the moment of use.
#pragma once

#include <string>

namespace tessaldrin::platform {

// The text of message `id`, or an empty text for a number the table does not
// hold (as the resource loader gives for a missing string).
std::string LoadString(int id);

} // namespace tessaldrin::platform
